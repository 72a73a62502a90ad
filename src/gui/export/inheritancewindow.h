#pragma once
// The neighbour-inheritance window: a new cell gets the LTE and GSM
// relations an existing cell holds in the network. It opens in the main
// window's place.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/export/exportwindow.h"

namespace brindle::gui {

class InheritanceWindow : public ExportWindow {
    Q_OBJECT
public:
    // Reloads the 2G settings: the GSM lines carry the values saved last.
    explicit InheritanceWindow(Session& session, QWidget* parent = nullptr);

    QLineEdit* 扩容小区编辑框 = nullptr;
    QLineEdit* 继承小区编辑框 = nullptr;
    QPushButton* 选择MML报文按钮 = nullptr;
    QPushButton* 生成脚本按钮 = nullptr;
    QPushButton* 另存脚本按钮 = nullptr;
    QPlainTextEdit* 脚本编辑框 = nullptr;

private:
    void generate();
    void save();
};

}  // namespace brindle::gui
