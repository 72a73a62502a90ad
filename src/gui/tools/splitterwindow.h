#pragma once
// The script splitter window: a chosen script file written back as numbered
// files beside it, a number of NEs or of lines per file. It opens in the
// main window's place; `closed` tells the window flow to bring that back.

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <filesystem>
#include <string>

namespace brindle::gui {

class SplitterWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplitterWindow(QWidget* parent = nullptr);

    QPushButton* 打开按钮 = nullptr;
    QLineEdit* 编辑框1 = nullptr;
    QGroupBox* 分组框1 = nullptr;
    QCheckBox* 选择框1 = nullptr;
    QLineEdit* 编辑框2 = nullptr;
    QGroupBox* 分组框2 = nullptr;
    QCheckBox* 选择框2 = nullptr;
    QLineEdit* 编辑框3 = nullptr;
    QPushButton* 开始按钮 = nullptr;
    QProgressBar* 进度条1 = nullptr;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void chooseScript();
    void split();

    // The chosen file's bytes as read, and the folder that receives the files.
    std::string script_;
    std::filesystem::path folder_;
    bool chosen_ = false;  // a script file was read
};

}  // namespace brindle::gui
