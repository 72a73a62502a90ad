#include "gui/tools/splitterwindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/tools/boxnumber.h"
#include "core/tools/splitter.h"
#include "gui/base/backgroundrun.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

SplitterWindow::SplitterWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("脚本分割窗口");
    setWindowTitle(QStringLiteral("脚本分割"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("文件：")));
    fileRow->addWidget(UNIT(编辑框1), 1);
    fileRow->addWidget(UNIT(打开按钮, QStringLiteral("..")));

    UNIT(分组框1, QStringLiteral("基站功能"));
    auto* byNe = new QHBoxLayout(分组框1);
    byNe->addWidget(UNIT(选择框1, QStringLiteral("按照基站分割")));
    byNe->addWidget(UNIT(编辑框2, QStringLiteral("200")));
    byNe->addWidget(new QLabel(QStringLiteral("个基站一个文本")));

    UNIT(分组框2, QStringLiteral("高级功能"));
    auto* byLines = new QHBoxLayout(分组框2);
    byLines->addWidget(UNIT(选择框2, QStringLiteral("按照行数分割")));
    byLines->addWidget(UNIT(编辑框3, QStringLiteral("1000")));
    byLines->addWidget(new QLabel(QStringLiteral("行保存一个文本")));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(分组框1);
    layout->addWidget(分组框2);
    layout->addWidget(UNIT(开始按钮, QStringLiteral("开始")));
    layout->addWidget(UNIT(进度条1));

    // The two ways exclude each other: ticking one clears the other.
    connect(选择框1, &QCheckBox::clicked, 选择框2, [this] { 选择框2->setChecked(false); });
    connect(选择框2, &QCheckBox::clicked, 选择框1, [this] { 选择框1->setChecked(false); });
    connect(打开按钮, &QPushButton::clicked, this, &SplitterWindow::chooseScript);
    connect(开始按钮, &QPushButton::clicked, this, &SplitterWindow::split);
    addStopButtons(this);
    resize(420, 240);
}

void SplitterWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

void SplitterWindow::chooseScript() {
    GuiFeedback feedback(this);
    const auto path = feedback.chooseOpenFile(
        {std::string(msg::kScriptFileFilter), {}, platform::desktopFolder(), FileKind::ScriptFile});
    if (!path) return;  // cancelled: the loaded script stays
    platform::FileContents contents = platform::readWholeFile(*path);
    if (contents.state != platform::FileContents::State::Read) {
        feedback.message(std::string(msg::kScriptUnreadable) + platform::utf8Name(*path), {},
                         Icon::Error);
        return;
    }
    script_ = std::move(contents.bytes);
    folder_ = path->parent_path();
    chosen_ = true;
    编辑框1->setText(qs(tools::baseNameOf(platform::utf8Name(*path))));
}

void SplitterWindow::split() {
    // Without a script there is nothing to split, and "done" would be untrue.
    if (!chosen_) {
        GuiFeedback(this).message(msg::kChooseScriptFirst);
        return;
    }
    tools::SplitSettings settings;
    if (选择框1->isChecked())
        settings = {tools::SplitBy::NeCount, tools::boxNumber(u8(编辑框2->text()))};
    else if (选择框2->isChecked())
        settings = {tools::SplitBy::LineCount, tools::boxNumber(u8(编辑框3->text()))};
    // The script stays as it is while the split runs: 打开 waits with 开始.
    startRun({this, 进度条1, nullptr, {打开按钮, 开始按钮}, {}},
             [script = script_, folder = folder_, name = u8(编辑框1->text()), settings](
                 ScriptSink&, Feedback& feedback) {
                 // A failure has been shown; the run just ends there.
                 (void)tools::splitToFiles(script, folder, name, settings, feedback);
             });
}

}  // namespace brindle::gui
