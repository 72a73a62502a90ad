#pragma once
// The site-type builder window: per base station, the per-sector carrier
// counts of four bands from the current 4G library. It opens in the main
// window's place; `closed` tells the window flow to bring that back.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include "core/app/session.h"

namespace brindle::gui {

class SiteTypeWindow : public QWidget {
    Q_OBJECT
public:
    explicit SiteTypeWindow(Session& session, QWidget* parent = nullptr);

    QLineEdit* 频段1编辑框 = nullptr;
    QLineEdit* 频段1频点编辑框 = nullptr;
    QLineEdit* 频段2编辑框 = nullptr;
    QLineEdit* 频段2频点编辑框 = nullptr;
    QLineEdit* 频段3编辑框 = nullptr;
    QLineEdit* 频段3频点编辑框 = nullptr;
    QLineEdit* 频段4编辑框 = nullptr;
    QLineEdit* 频段4频点编辑框 = nullptr;
    QLineEdit* 头编辑框 = nullptr;
    QLineEdit* 连接符编辑框 = nullptr;
    QLineEdit* 最大小区数编辑框 = nullptr;
    QLineEdit* 站型连接符编辑框 = nullptr;
    QPlainTextEdit* 基站名编辑框 = nullptr;
    QPushButton* 按钮1 = nullptr;
    QPlainTextEdit* 输出编辑框 = nullptr;
    QPushButton* 复制按钮 = nullptr;
    QProgressBar* 进度条1 = nullptr;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void convert();
    void copy();

    Session& session_;
};

}  // namespace brindle::gui
