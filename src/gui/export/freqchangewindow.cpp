#include "gui/export/freqchangewindow.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <memory>
#include <optional>
#include <string>

#include "core/base/messages.h"
#include "core/export/exportfile.h"
#include "core/export/freqchange.h"
#include "gui/base/checkpanel.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

FrequencyChangeWindow::FrequencyChangeWindow(Session& session, QWidget* parent)
    : ExportWindow(session, "freq-change", exports::kExportFilter, parent) {
    setObjectName("改频点窗口");

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("要改频点小区名："), UNIT(编辑框_小区名));
    form->addRow(QStringLiteral("原频点："), UNIT(标签_原小区频点));
    form->addRow(QStringLiteral("要改的频点："), UNIT(编辑框2));
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(UNIT(按钮_查询, QStringLiteral("查询")));
    buttonRow->addWidget(UNIT(按钮_选择MML报文, QStringLiteral("选择MML报文")));
    buttonRow->addWidget(UNIT(按钮_生成脚本, QStringLiteral("生成脚本")));
    buttonRow->addWidget(UNIT(按钮_另存脚本, QStringLiteral("另存脚本")));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttonRow);
    layout->addWidget(scriptLook(UNIT(编辑框_脚本内容)), 1);

    connect(按钮_查询, &QPushButton::clicked, this, &FrequencyChangeWindow::query);
    connect(按钮_选择MML报文, &QPushButton::clicked, this, &FrequencyChangeWindow::chooseExport);
    connect(按钮_生成脚本, &QPushButton::clicked, this, &FrequencyChangeWindow::generate);
    connect(按钮_另存脚本, &QPushButton::clicked, this, &FrequencyChangeWindow::save);
    attachCheckPanels(session_, {编辑框_脚本内容});
    resize(640, 480);
}

void FrequencyChangeWindow::query() {
    auto carrier = std::make_shared<std::optional<std::string>>();
    runOnLibrary(
        nullptr, nullptr,
        [cell = u8(编辑框_小区名->text()), carrier](const Library& library, ScriptSink&,
                                                    Feedback& feedback) {
            *carrier = exports::currentCarrier(library, cell, feedback);
        },
        // A missing cell clears the label: the carrier of the cell asked
        // before must not pass for this one's.
        [this, carrier] { 标签_原小区频点->setText(*carrier ? qs(**carrier) : QString()); });
}

void FrequencyChangeWindow::generate() {
    runOnBook(编辑框_脚本内容, nullptr,
              [cell = u8(编辑框_小区名->text())](const Library& library, exports::ExportBook& book,
                                                 ScriptSink& box, Feedback& feedback) {
                  exports::generateFrequencyChange(library, book, cell, box, feedback);
              });
}

void FrequencyChangeWindow::save() {
    saveBox(编辑框_脚本内容, exports::frequencyChangeScriptName(u8(编辑框_小区名->text())),
            msg::kScriptFileFilter);
}

}  // namespace brindle::gui
