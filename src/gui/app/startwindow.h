#pragma once
// The start window: choose the 4G and 2G libraries, go to an import window,
// or open the main window.

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QWidget>

#include "core/app/session.h"

namespace brindle::gui {

class StartWindow : public QWidget {
    Q_OBJECT
public:
    explicit StartWindow(Session& session, QWidget* parent = nullptr);

    // Fills both lists from mu/ and mu2/ and preselects in each the library
    // just imported, chosen before, or opened last time, where one is listed.
    void reloadLists();

    QGroupBox* 分组框1 = nullptr;
    QComboBox* 组合框1 = nullptr;
    QGroupBox* 分组框2 = nullptr;
    QComboBox* 组合框2 = nullptr;
    QPushButton* 添加工参按钮 = nullptr;
    QPushButton* 添加2G工参按钮 = nullptr;
    QPushButton* 添加处理小区按钮 = nullptr;

signals:
    void import4GRequested();
    void import2GRequested();
    // The chosen libraries passed their checks and are open.
    void librariesOpened();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* comboOf(LibraryKind kind) const;
    void fill(LibraryKind kind);
    void preselect(LibraryKind kind);
    void choose(LibraryKind kind, int index);
    void deleteSelected(LibraryKind kind);
    void openLibraries();

    Session& session_;
};

}  // namespace brindle::gui
