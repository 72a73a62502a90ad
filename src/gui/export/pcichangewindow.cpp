#include "gui/export/pcichangewindow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <memory>
#include <optional>
#include <string>

#include "core/base/messages.h"
#include "core/export/exportfile.h"
#include "core/export/pcichange.h"
#include "gui/base/checkpanel.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

PciChangeWindow::PciChangeWindow(Session& session, QWidget* parent)
    : ExportWindow(session, "pci-change", exports::kExportFilter, parent) {
    setObjectName("PCI修改窗口");

    auto* cells = new QGridLayout;
    const auto label = [](const char* text) { return new QLabel(QString::fromUtf8(text)); };
    struct CellRow {
        const char* caption;
        QWidget *name, *pci, *enodeb, *oldPci;
    };
    const CellRow rows[] = {
        {"主小区名1：", UNIT(改PCI小区名1编辑框), UNIT(修改PCI1编辑框), UNIT(标签6), UNIT(标签7)},
        {"主小区名2：", UNIT(改PCI小区名2编辑框), UNIT(修改PCI2编辑框), UNIT(标签8), UNIT(标签11)},
    };
    for (int r = 0; r < 2; ++r) {
        const CellRow& row = rows[r];
        cells->addWidget(label(row.caption), r, 0);
        cells->addWidget(row.name, r, 1);
        cells->addWidget(label("修改PCI："), r, 2);
        cells->addWidget(row.pci, r, 3);
        cells->addWidget(label("基站号："), r, 4);
        cells->addWidget(row.enodeb, r, 5);
        cells->addWidget(label("原PCI："), r, 6);
        cells->addWidget(row.oldPci, r, 7);
    }
    cells->addWidget(label("扩容小区最大数："), 2, 0);
    cells->addWidget(UNIT(扩容小区数据编辑框), 2, 1);
    for (QLabel* shown : {标签6, 标签7, 标签8, 标签11}) shown->setMinimumWidth(60);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(UNIT(查询按钮, QStringLiteral("查询按钮")));
    buttonRow->addWidget(UNIT(修改按钮, QStringLiteral("修改按钮")));
    buttonRow->addWidget(UNIT(选择MML外部报文按钮, QStringLiteral("选择MML外部")));
    buttonRow->addWidget(UNIT(新PCI修改按钮, QStringLiteral("生成脚本")));
    buttonRow->addWidget(UNIT(另存为脚本按钮, QStringLiteral("另存为脚本")));
    buttonRow->addWidget(UNIT(返回按钮, QStringLiteral("返回")));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(cells);
    layout->addWidget(
        label("思路：将被调换PCI小区去激活，PCI分别+10，扩容小区判断采用eNodeB "
              "ID+PCI方式。"));
    layout->addWidget(label("注意：提出外部并解析成EXCEL文件，★去掉数字上面的绿色的角标。"));
    layout->addLayout(buttonRow);
    layout->addWidget(scriptLook(UNIT(脚本编辑框)), 1);
    layout->addWidget(UNIT(进度条1));

    connect(查询按钮, &QPushButton::clicked, this, &PciChangeWindow::query);
    connect(修改按钮, &QPushButton::clicked, this, &PciChangeWindow::updateLibrary);
    connect(选择MML外部报文按钮, &QPushButton::clicked, this, &PciChangeWindow::chooseExport);
    connect(新PCI修改按钮, &QPushButton::clicked, this, &PciChangeWindow::generate);
    connect(另存为脚本按钮, &QPushButton::clicked, this, &PciChangeWindow::save);
    connect(返回按钮, &QPushButton::clicked, this, &QWidget::close);
    attachCheckPanels(session_, {脚本编辑框});
    resize(820, 560);
}

exports::PciChange PciChangeWindow::change() const {
    return {
        u8(改PCI小区名1编辑框->text()), u8(修改PCI1编辑框->text()), u8(改PCI小区名2编辑框->text()),
        u8(修改PCI2编辑框->text()),     u8(标签7->text()),          u8(标签11->text()),
        u8(扩容小区数据编辑框->text())};
}

void PciChangeWindow::query() {
    // Labels of an earlier query are not kept: the generator takes the old
    // PCIs from them, and a stale one would update the wrong external cells.
    auto labels = std::make_shared<exports::PciLabels>();
    runOnLibrary(
        nullptr, nullptr,
        [cell1 = u8(改PCI小区名1编辑框->text()), cell2 = u8(改PCI小区名2编辑框->text()), labels](
            const Library& library, ScriptSink&, Feedback& feedback) {
            exports::queryPciCells(&library, cell1, cell2, *labels, feedback);
        },
        [this, labels] {
            标签6->setText(qs(labels->enodeb1));
            标签7->setText(qs(labels->oldPci1));
            标签8->setText(qs(labels->enodeb2));
            标签11->setText(qs(labels->oldPci2));
        });
}

void PciChangeWindow::updateLibrary() {
    runOnLibrary(
        nullptr, nullptr,
        [&session = session_, change = change()](const Library&, ScriptSink&, Feedback& feedback) {
            exports::updatePcis(session.library4G.get(), change, feedback);
        });
}

void PciChangeWindow::generate() {
    auto site = std::make_shared<std::string>();
    runOnBook(
        脚本编辑框, 进度条1,
        [change = change(), site](const Library& library, exports::ExportBook& book,
                                  ScriptSink& box, Feedback& feedback) {
            *site = exports::generatePciChange(library, book, change, box, feedback).lastSiteName;
        },
        // A run that gave no lines leaves the box as it was, and so the name.
        [this, site] {
            if (!site->empty()) lastSite_ = *site;
        });
}

std::string PciChangeWindow::proposedScriptName() const {
    if (!lastSite_.empty()) return exports::pciScriptName(lastSite_);
    // Before any run the box holds what the engineer typed or pasted; cell
    // 1's site names it best, and the typed name when the cell is unknown.
    const std::string cell1 = u8(改PCI小区名1编辑框->text());
    if (const Library* library = session_.library4G.get())
        if (const auto found = library->findCell(cell1))
            return exports::pciScriptName(library->at(*found).field(kSiteNameField));
    return exports::pciScriptName(cell1);
}

void PciChangeWindow::save() {
    saveBox(脚本编辑框, proposedScriptName(), msg::kToolScriptFilter);
}

}  // namespace brindle::gui
