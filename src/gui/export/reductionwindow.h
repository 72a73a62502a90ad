#pragma once
// The capacity-reduction window: every reference to a cell taken out of
// service removed. Step 2 lists, from the export, the cells that hold it as
// a neighbour and its GSM neighbours; step 3 turns the lists (which the
// engineer may edit) into the removal script. It opens in the main window's
// place.

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "gui/export/exportwindow.h"

namespace brindle::gui {

class ReductionWindow : public ExportWindow {
    Q_OBJECT
public:
    // Reloads the 2G settings and lists the plan's carriers.
    explicit ReductionWindow(Session& session, QWidget* parent = nullptr);

    QLineEdit* 操作小区名编辑框 = nullptr;
    QPushButton* 按钮1 = nullptr;
    QPushButton* 生成相关信息按钮 = nullptr;
    QPushButton* 生成脚本按钮 = nullptr;
    QPushButton* 另存为文本按钮 = nullptr;
    QPushButton* 清空内容按钮 = nullptr;
    QPushButton* 参数2G设置按钮 = nullptr;
    QCheckBox* 生成回退脚本选择框 = nullptr;
    QPlainTextEdit* 源小区编辑框 = nullptr;
    QPlainTextEdit* CI编辑框 = nullptr;
    QPlainTextEdit* 频点4G_编辑框 = nullptr;
    QPlainTextEdit* 脚本编辑框 = nullptr;
    // The rollback lines of the last generation with "回退脚本" ticked; they
    // are saved to a file of their own, never into the removal script.
    QPlainTextEdit* 回退脚本编辑框 = nullptr;
    QProgressBar* 进度条1 = nullptr;

signals:
    void settings2GRequested();

private:
    void fillLists();
    void generate();
    void save();
    void clearContents();
};

}  // namespace brindle::gui
