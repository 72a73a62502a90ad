#include "gui/export/reductionwindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <memory>
#include <optional>
#include <string>

#include "core/base/messages.h"
#include "core/export/exportfile.h"
#include "core/export/reduction.h"
#include "core/freqplan/frequencyplan.h"
#include "gui/base/checkpanel.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

namespace {

QGroupBox* groupOf(const char* caption, QWidget* content) {
    auto* box = new QGroupBox(QString::fromUtf8(caption));
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

QWidget* labelled(const char* caption, QWidget* content) {
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QString::fromUtf8(caption)));
    layout->addWidget(content);
    return holder;
}

}  // namespace

ReductionWindow::ReductionWindow(Session& session, QWidget* parent)
    : ExportWindow(session, "reduce", exports::kExportFilter, parent) {
    setObjectName("一键减容窗口");
    session_.reload2GSettings();

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("减容小区名：")));
    nameRow->addWidget(UNIT(操作小区名编辑框), 1);
    nameRow->addWidget(UNIT(生成回退脚本选择框, QStringLiteral("回退脚本")));

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(UNIT(按钮1, QStringLiteral("1选择MML报文")));
    buttonRow->addWidget(UNIT(生成相关信息按钮, QStringLiteral("2生成相关信息")));
    buttonRow->addWidget(UNIT(生成脚本按钮, QStringLiteral("3生成脚本信息")));
    buttonRow->addWidget(UNIT(另存为文本按钮, QStringLiteral("4另存为脚本")));
    buttonRow->addWidget(UNIT(清空内容按钮, QStringLiteral("清空内容")));
    buttonRow->addWidget(UNIT(参数2G设置按钮, QStringLiteral("2G参数设置")));

    auto* lists = new QHBoxLayout;
    lists->addWidget(groupOf("源4G小区邻区列表", UNIT(源小区编辑框)));
    lists->addWidget(groupOf("源小区2G小区CI", UNIT(CI编辑框)));
    lists->addWidget(labelled("4G频点数据", UNIT(频点4G_编辑框)));

    auto* scripts = new QHBoxLayout;
    scripts->addWidget(scriptLook(UNIT(脚本编辑框)), 2);
    scripts->addWidget(labelled("回退脚本", scriptLook(UNIT(回退脚本编辑框))), 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("添加减容小区名，然后依次操作；请提取同频、异频、2G邻区。")));
    layout->addLayout(nameRow);
    layout->addLayout(buttonRow);
    layout->addLayout(lists, 1);
    layout->addLayout(scripts, 2);
    layout->addWidget(UNIT(进度条1));

    const FrequencyPlan plan(session_.folder.earfcnIni());
    setBoxText(频点4G_编辑框, exports::reductionCarriers(plan));

    connect(按钮1, &QPushButton::clicked, this, &ReductionWindow::chooseExport);
    connect(生成相关信息按钮, &QPushButton::clicked, this, &ReductionWindow::fillLists);
    connect(生成脚本按钮, &QPushButton::clicked, this, &ReductionWindow::generate);
    connect(另存为文本按钮, &QPushButton::clicked, this, &ReductionWindow::save);
    connect(清空内容按钮, &QPushButton::clicked, this, &ReductionWindow::clearContents);
    connect(参数2G设置按钮, &QPushButton::clicked, this, &ReductionWindow::settings2GRequested);
    attachCheckPanels(session_, {脚本编辑框, 回退脚本编辑框});
    resize(1000, 680);
}

void ReductionWindow::fillLists() {
    auto lists = std::make_shared<exports::ReductionLists>();
    runOnBook(
        nullptr, 进度条1,
        [cell = u8(操作小区名编辑框->text()), lists](
            const Library& library, exports::ExportBook& book, ScriptSink&, Feedback& feedback) {
            exports::fillReductionLists(library, book, cell, *lists, feedback);
        },
        [this, lists] {
            setBoxText(源小区编辑框, lists->sources);
            setBoxText(CI编辑框, lists->cis);
        });
}

// Works from the lists alone, which the engineer may also type by hand: no
// workbook is needed for this step.
void ReductionWindow::generate() {
    // The window's own "2G参数设置" saves new values while it is open; the
    // script must carry those, not the ones loaded when it opened.
    session_.reload2GSettings();
    auto made = std::make_shared<std::optional<exports::ReductionScript>>();
    runOnLibrary(
        nullptr, 进度条1,
        [library2G = session_.library2G, settings = session_.settings2G,
         cell = u8(操作小区名编辑框->text()),
         lists = exports::ReductionLists{boxText(源小区编辑框), boxText(CI编辑框),
                                         boxText(频点4G_编辑框)},
         rollback = 生成回退脚本选择框->isChecked(),
         made](const Library& library, ScriptSink&, Feedback& feedback) {
            *made = exports::generateReduction(library, library2G.get(), settings, cell, lists,
                                               rollback, feedback);
        },
        [this, made] {
            if (!*made) return;
            setBoxText(脚本编辑框, (*made)->script);
            // The rollback box answers to the script beside it.
            setBoxText(回退脚本编辑框, (*made)->rollback);
        });
}

void ReductionWindow::save() {
    const std::string cell = u8(操作小区名编辑框->text());
    saveBox(脚本编辑框, exports::reductionScriptName(cell), msg::kScriptFileFilter);
    if (!回退脚本编辑框->document()->isEmpty())
        saveBox(回退脚本编辑框, exports::rollbackScriptName(cell), msg::kScriptFileFilter,
                FileKind::RollbackSave);
}

void ReductionWindow::clearContents() {
    for (QPlainTextEdit* box : {源小区编辑框, CI编辑框, 脚本编辑框, 回退脚本编辑框}) clearBox(box);
}

}  // namespace brindle::gui
