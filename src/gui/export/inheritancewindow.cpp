#include "gui/export/inheritancewindow.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/base/messages.h"
#include "core/export/inheritance.h"
#include "core/freqplan/frequencyplan.h"
#include "gui/base/checkpanel.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

InheritanceWindow::InheritanceWindow(Session& session, QWidget* parent)
    : ExportWindow(session, "inherit", {}, parent) {
    setObjectName("一键扩容窗口");
    session_.reload2GSettings();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("扩容小区名："), UNIT(扩容小区编辑框));
    form->addRow(QStringLiteral("继承小区名："), UNIT(继承小区编辑框));
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(UNIT(选择MML报文按钮, QStringLiteral("选择MML报文")));
    buttonRow->addWidget(UNIT(生成脚本按钮, QStringLiteral("生成脚本")));
    buttonRow->addWidget(UNIT(另存脚本按钮, QStringLiteral("另存脚本")));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttonRow);
    layout->addWidget(scriptLook(UNIT(脚本编辑框)), 1);

    connect(选择MML报文按钮, &QPushButton::clicked, this, &InheritanceWindow::chooseExport);
    connect(生成脚本按钮, &QPushButton::clicked, this, &InheritanceWindow::generate);
    connect(另存脚本按钮, &QPushButton::clicked, this, &InheritanceWindow::save);
    attachCheckPanels(session_, {脚本编辑框});
    resize(820, 560);
}

void InheritanceWindow::generate() {
    runOnBook(
        脚本编辑框, nullptr,
        [earfcnIni = session_.folder.earfcnIni(), library2G = session_.library2G,
         settings = session_.settings2G,
         cells = exports::Inheritance{u8(扩容小区编辑框->text()), u8(继承小区编辑框->text())}](
            const Library& library, exports::ExportBook& book, ScriptSink& box,
            Feedback& feedback) {
            const FrequencyPlan plan(earfcnIni);
            exports::generateInheritance(library, library2G.get(), plan, settings, book, cells, box,
                                         feedback);
        });
}

void InheritanceWindow::save() {
    saveBox(脚本编辑框, exports::inheritanceScriptName(u8(扩容小区编辑框->text())),
            msg::kScriptFileFilter);
}

}  // namespace brindle::gui
