#pragma once
// The PCI change window: one cell's PCI changed or two cells' PCIs swapped,
// with every external-cell definition of the old PCI that the export shows.
// It opens modally beside the main window; "返回" closes it.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include <string>

#include "core/export/pcichange.h"
#include "gui/export/exportwindow.h"

namespace brindle::gui {

class PciChangeWindow : public ExportWindow {
    Q_OBJECT
public:
    explicit PciChangeWindow(Session& session, QWidget* parent = nullptr);

    QLineEdit* 改PCI小区名1编辑框 = nullptr;
    QLineEdit* 改PCI小区名2编辑框 = nullptr;
    QLineEdit* 修改PCI1编辑框 = nullptr;
    QLineEdit* 修改PCI2编辑框 = nullptr;
    QLabel* 标签6 = nullptr;
    QLabel* 标签7 = nullptr;
    QLabel* 标签8 = nullptr;
    QLabel* 标签11 = nullptr;
    QLineEdit* 扩容小区数据编辑框 = nullptr;
    QPushButton* 查询按钮 = nullptr;
    QPushButton* 修改按钮 = nullptr;
    QPushButton* 选择MML外部报文按钮 = nullptr;
    QPushButton* 新PCI修改按钮 = nullptr;
    QPushButton* 另存为脚本按钮 = nullptr;
    QPlainTextEdit* 脚本编辑框 = nullptr;
    QProgressBar* 进度条1 = nullptr;
    QPushButton* 返回按钮 = nullptr;

    // The name the save proposes, without extension.
    std::string proposedScriptName() const;

private:
    // What the boxes and the labels of the last query hold.
    exports::PciChange change() const;
    void query();
    void updateLibrary();
    void generate();
    void save();

    // 基站名 of the last cell a run gave lines for.
    std::string lastSite_;
};

}  // namespace brindle::gui
