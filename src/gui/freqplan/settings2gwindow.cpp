#include "gui/freqplan/settings2gwindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

#include <stdexcept>
#include <string>

#include "core/base/messages.h"
#include "core/freqplan/planform.h"
#include "core/library/lookup.h"
#include "core/library/record2g.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

Settings2GWindow::Settings2GWindow(Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName("参数2G设置窗口");
    setWindowTitle(QStringLiteral("参数2G设置"));
    setAttribute(Qt::WA_DeleteOnClose);

    UNIT(保存设置按钮, "保存设置");
    auto* settings = new QGridLayout;
    int row = 0;
    for (const planform::Settings2GBox& b : planform::kSettings2GBoxes) {
        auto* box = new QLineEdit;
        box->setObjectName(qs(b.box));
        settingsBoxes_[b.box] = box;
        settings->addWidget(new QLabel(qs(b.label)), row, 0);
        settings->addWidget(box, row, 1);
        ++row;
    }
    settings->addWidget(保存设置按钮, row, 1);
    auto* special = new QGroupBox(QStringLiteral("特殊设置"));
    special->setLayout(settings);

    UNIT(编辑框_2G数据库_小区名);
    UNIT(编辑框_2G数据库_LAC);
    UNIT(编辑框_2G数据库_CI);
    UNIT(编辑框_2G数据库_BCCH);
    UNIT(编辑框_2G数据库_NCC);
    UNIT(编辑框_2G数据库_BCC);
    UNIT(按钮_2G基站数据_查询, "查询");
    UNIT(按钮_2G基站数据_修改, "修改");
    auto* record = new QGridLayout;
    const std::pair<const char*, QLineEdit*> rows[] = {
        {"小区名", 编辑框_2G数据库_小区名}, {"LAC", 编辑框_2G数据库_LAC},
        {"CI", 编辑框_2G数据库_CI},         {"BCCH", 编辑框_2G数据库_BCCH},
        {"NCC", 编辑框_2G数据库_NCC},       {"BCC", 编辑框_2G数据库_BCC}};
    row = 0;
    for (const auto& [label, box] : rows) {
        record->addWidget(new QLabel(QString::fromUtf8(label)), row, 0);
        record->addWidget(box, row, 1);
        ++row;
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(按钮_2G基站数据_查询);
    buttons->addWidget(按钮_2G基站数据_修改);
    record->addLayout(buttons, row, 1);
    auto* database = new QGroupBox(QStringLiteral("查询修改数据库"));
    database->setLayout(record);
    if (!session_.library2G) {
        // Without a chosen 2G library there is no record to show or change.
        database->setEnabled(false);
        database->setToolTip(QStringLiteral("没有打开2G工参库"));
    }

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(special);
    layout->addWidget(database);

    connect(保存设置按钮, &QPushButton::clicked, this, &Settings2GWindow::saveSettings);
    connect(按钮_2G基站数据_查询, &QPushButton::clicked, this, &Settings2GWindow::queryRecord);
    connect(编辑框_2G数据库_小区名, &QLineEdit::returnPressed, this,
            &Settings2GWindow::queryRecord);
    connect(按钮_2G基站数据_修改, &QPushButton::clicked, this, &Settings2GWindow::modifyRecord);

    // Fills the boxes only: the 2G settings in memory are not touched.
    for (const auto& [unit, text] :
         planform::load(session_.folder.ini2G(), planform::settings2GOrder()))
        settingsBox(unit).setText(qs(text));
}

QLineEdit& Settings2GWindow::settingsBox(std::string_view unit) const {
    const auto it = settingsBoxes_.find(unit);
    if (it == settingsBoxes_.end() || !it->second)
        throw std::logic_error(std::string(msg::kMissingUnit) + std::string(unit));
    return *it->second;
}

std::array<QLineEdit*, 5> Settings2GWindow::radioBoxes() const {
    // Record order: 小区LAC, 小区CI, BCCH频点, 小区网络色码, 小区基站色码.
    return {编辑框_2G数据库_LAC, 编辑框_2G数据库_CI, 编辑框_2G数据库_BCCH, 编辑框_2G数据库_NCC,
            编辑框_2G数据库_BCC};
}

void Settings2GWindow::saveSettings() {
    GuiFeedback feedback(this);
    (void)planform::saveSettings2G(
        session_.folder.ini2G(),
        [this](const std::string& unit) { return u8(settingsBox(unit).text()); }, feedback);
}

void Settings2GWindow::queryRecord() {
    GuiFeedback feedback(this);
    const std::string name = u8(编辑框_2G数据库_小区名->text());
    const auto values = session_.library2G ? queryRadio2G(*session_.library2G, name) : std::nullopt;
    if (!values) {
        reportMissingCell(feedback, name);
        return;
    }
    const auto boxes = radioBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) boxes[i]->setText(qs((*values)[i]));
}

void Settings2GWindow::modifyRecord() {
    GuiFeedback feedback(this);
    const std::string name = u8(编辑框_2G数据库_小区名->text());
    RadioValues2G values;
    const auto boxes = radioBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) values[i] = u8(boxes[i]->text());
    static_cast<void>(saveRadioEdit2G(session_.library2G.get(), name, values, feedback));
}

}  // namespace brindle::gui
