#pragma once
// Which window opens which: the start window, the import windows, the main
// window and the tool windows that open beside it or in its place.

#include <QObject>
#include <QPointer>

#include "core/app/exporttools.h"
#include "core/app/session.h"

namespace brindle::gui {

class ExportWindow;
class MainWindow;
class PlanEditor;
class Settings2GWindow;
class StartWindow;
class QueryWindow;

class WindowFlow : public QObject {
    Q_OBJECT
public:
    explicit WindowFlow(Session& session, QObject* parent = nullptr);

    StartWindow* showStart();
    MainWindow* showMain();
    PlanEditor* showPlanEditor();
    Settings2GWindow* showSettings2G();

    // 文件 → 切换工参库: the start window, the main window hidden meanwhile.
    void switchLibraries();

    StartWindow* startWindow() const;
    MainWindow* mainWindow() const;
    // The library query window beside the main window; one at a time.
    QueryWindow* showLibraryQuery();

private:
    // Closes the start window on the way to another window.
    void leaveStart();
    // Opens the window of an export tool's row as the row says.
    void openExportTool(const ExportTool* tool);
    // Shows an export tool window modally beside the main window; its
    // closing shows the main window again. The window is shown, not run in
    // a nested loop, so the caller (and a test) carries on at once.
    void openModalBesideMain(ExportWindow* tool);
    // Shows `tool` and hides the main window; the tool's `closed` shows the
    // same main window again, as it was left.
    template <class Tool>
    void openInPlaceOfMain(Tool* tool);

    Session& session_;
    QPointer<StartWindow> start_;
    QPointer<MainWindow> main_;
    QPointer<PlanEditor> planEditor_;
    QPointer<Settings2GWindow> settings2G_;
    QPointer<QueryWindow> query_;
};

}  // namespace brindle::gui
