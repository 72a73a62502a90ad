// The GUI's neighbour-add run on a bench province, driven offscreen as an
// engineer would: the source and target cells pasted into the 4G page, "双向"
// ticked, "添加邻区" clicked, then "复制脚本内容" saving the pane to a file.
// For whole-process measurement (/usr/bin/time -v, perf, heaptrack):
//   QT_QPA_PLATFORM=offscreen brindle-guineighbours <home> <sources> <targets> <out.txt>
// Prints the time of each stage and what the window said.

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>

#include <cstdio>

#include "core/app/session.h"
#include "core/base/platform.h"
#include "core/base/textcodec.h"
#include "core/library/store.h"
#include "gui/app/mainwindow.h"
#include "gui/base/application.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

using namespace brindle;

namespace {

std::string readText(const char* path) {
    const auto contents = platform::readWholeFile(path);
    return contents.state == platform::FileContents::State::Read
               ? codec::decodeDetected(contents.bytes).value_or(std::string())
               : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    gui::Application app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: brindle-guineighbours <home> <sources> <targets> <out>\n");
        return 2;
    }
    Session session{std::filesystem::path(argv[1])};
    session.current4G = session.folder.libraries(LibraryKind::Lte) / "cells4g.edb";
    auto library = store::load(session.current4G, LibraryKind::Lte);
    if (!library) {
        std::fprintf(stderr, "%s\n", library.error().c_str());
        return 1;
    }
    session.library4G = *library;
    gui::MainWindow window(session);
    window.show();
    gui::setBoxText(window.编辑框_4G源小区, readText(argv[2]));
    gui::setBoxText(window.编辑框_4G目标小区, readText(argv[3]));
    window.选择框_4G小区操作_双向操作选择框->setChecked(true);

    gui::GuiFeedback::Preset answers;
    answers.files.push_back(std::filesystem::path(argv[4]));
    gui::GuiFeedback::preset(&answers);
    QElapsedTimer timer;
    timer.start();
    window.按钮_4G小区操作_添加邻区按钮->click();
    const double run = timer.elapsed() / 1000.0;
    timer.restart();
    window.按钮_4G小区操作_复制脚本内容按钮->click();
    const double save = timer.elapsed() / 1000.0;
    gui::GuiFeedback::preset(nullptr);
    std::printf("run %.3f s, save %.3f s, %d pane lines\n", run, save,
                window.编辑框_4G脚本内容->document()->blockCount() - 1);
    for (const std::string& text : answers.shown) std::printf("%s\n", text.c_str());
    return 0;
}
