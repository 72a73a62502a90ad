#pragma once
// The 2G settings window: the five values of 2G.ini ("特殊设置") and the
// record group "查询修改数据库", which shows and changes the radio
// parameters of one cell of the current 2G library.

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <map>
#include <string_view>

#include "core/app/session.h"

namespace brindle::gui {

class Settings2GWindow : public QWidget {
    Q_OBJECT
public:
    explicit Settings2GWindow(Session& session, QWidget* parent = nullptr);

    QPushButton* 保存设置按钮 = nullptr;

    QLineEdit* 编辑框_2G数据库_小区名 = nullptr;
    QLineEdit* 编辑框_2G数据库_LAC = nullptr;
    QLineEdit* 编辑框_2G数据库_CI = nullptr;
    QLineEdit* 编辑框_2G数据库_BCCH = nullptr;
    QLineEdit* 编辑框_2G数据库_NCC = nullptr;
    QLineEdit* 编辑框_2G数据库_BCC = nullptr;
    QPushButton* 按钮_2G基站数据_查询 = nullptr;
    QPushButton* 按钮_2G基站数据_修改 = nullptr;

    // Writes the five boxes to 2G.ini; the 2G settings in memory stay as
    // they are until their next reload.
    void saveSettings();
    void queryRecord();
    void modifyRecord();

    // A box of "特殊设置" (built from planform::kSettings2GBoxes) by its unit
    // name; a box the window lacks is a program error.
    QLineEdit& settingsBox(std::string_view unit) const;

private:
    // The radio boxes in the order of kRadioFields2G.
    std::array<QLineEdit*, 5> radioBoxes() const;

    Session& session_;
    std::map<std::string_view, QPointer<QLineEdit>> settingsBoxes_;
};

}  // namespace brindle::gui
