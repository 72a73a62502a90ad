// A script file checked in the GUI's own window, as the menu's 检查脚本文件…
// opens it: the file shown, checked, every finding in the window's list.
// bench/run holds the peak memory of this whole process against that of
// `brindle-cli check` on the same file. For whole-process measurement:
//   brindle-guicheck <script>
// (offscreen by itself). Prints the findings listed and the check's time.

#include <QElapsedTimer>

#include <cstdio>
#include <filesystem>

#include "core/app/session.h"
#include "gui/base/application.h"
#include "gui/base/checkpanel.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"
#include "gui/tools/scriptcheckwindow.h"

using namespace brindle;

int main(int argc, char** argv) {
    // Under Wine no QT_ variable reaches the process: the platform is set here.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    gui::Application app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: brindle-guicheck <script>\n");
        return 2;
    }
    const Session session{std::filesystem::temp_directory_path()};
    gui::GuiFeedback::Preset answers;
    gui::GuiFeedback::preset(&answers);
    gui::GuiFeedback feedback(nullptr);
    QElapsedTimer timer;
    timer.start();
    auto* window =
        gui::ScriptCheckWindow::open(session, gui::fsPath(app.arguments().at(1)), feedback);
    const double seconds = timer.elapsed() / 1000.0;
    gui::GuiFeedback::preset(nullptr);
    if (!window) {
        for (const std::string& text : answers.shown) std::fprintf(stderr, "%s\n", text.c_str());
        return 1;
    }
    // The list drawn once, as the engineer first sees it.
    QCoreApplication::processEvents();
    std::printf("%zu findings listed, open and check %.2f s\n",
                window->checkPanel()->model()->size(), seconds);
    return 0;
}
