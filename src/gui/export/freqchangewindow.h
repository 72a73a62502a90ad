#pragma once
// The frequency-change window: before a cell moves to another carrier, the
// intra-frequency relations other cells hold towards it are removed. It
// opens modally beside the main window.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/export/exportwindow.h"

namespace brindle::gui {

class FrequencyChangeWindow : public ExportWindow {
    Q_OBJECT
public:
    explicit FrequencyChangeWindow(Session& session, QWidget* parent = nullptr);

    QLineEdit* 编辑框_小区名 = nullptr;
    QLabel* 标签_原小区频点 = nullptr;
    QLineEdit* 编辑框2 = nullptr;  // the new carrier, for the engineer's notes
    QPushButton* 按钮_查询 = nullptr;
    QPushButton* 按钮_选择MML报文 = nullptr;
    QPushButton* 按钮_生成脚本 = nullptr;
    QPushButton* 按钮_另存脚本 = nullptr;
    QPlainTextEdit* 编辑框_脚本内容 = nullptr;

private:
    void query();
    void generate();
    void save();
};

}  // namespace brindle::gui
