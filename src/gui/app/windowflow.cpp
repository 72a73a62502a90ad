#include "gui/app/windowflow.h"

#include "gui/app/mainwindow.h"
#include "gui/app/startwindow.h"
#include "gui/base/screenfit.h"
#include "gui/export/reductionwindow.h"
#include "gui/export/toolwindows.h"
#include "gui/freqplan/planeditor.h"
#include "gui/freqplan/settings2gwindow.h"
#include "gui/library/importwindow.h"
#include "gui/library/querywindow.h"
#include "gui/tools/sitetypewindow.h"
#include "gui/tools/splitterwindow.h"

namespace brindle::gui {

// Every window the flow opens, and every window those open, fits its screen
// when first shown.
WindowFlow::WindowFlow(Session& session, QObject* parent) : QObject(parent), session_(session) {
    ScreenFit::install();
}

StartWindow* WindowFlow::startWindow() const {
    return start_;
}
MainWindow* WindowFlow::mainWindow() const {
    return main_;
}

StartWindow* WindowFlow::showStart() {
    if (!start_) {
        start_ = new StartWindow(session_);
        connect(start_, &StartWindow::librariesOpened, this, [this] {
            showMain();
            leaveStart();
        });
        connect(start_, &StartWindow::import4GRequested, this, [this] {
            auto* window = new ImportWindow4G(session_);
            connect(window, &ImportWindowBase::left, this, [this] { showStart(); });
            window->show();
            leaveStart();
        });
        // Closed without opening libraries: a main window left hidden by
        // 切换工参库 comes back with the libraries it had.
        connect(start_, &QObject::destroyed, this, [this] {
            if (main_ && main_->isHidden()) showMain();
        });
        connect(start_, &StartWindow::import2GRequested, this, [this] {
            auto* window = new ImportWindow2G(session_, start_);
            connect(window, &ImportWindowBase::left, this, [this] { showStart(); });
            window->show();
        });
    }
    start_->reloadLists();
    start_->show();
    start_->raise();
    return start_;
}

// The main window is hidden, not closed: its names, scripts and ticks are
// the engineer's work, and they are all there again when the tool closes.
// The tool's closing shows it again (a new one only should it be gone), so
// the process never lives on with its one window hidden, and it ends as
// usual when the last shown window closes.
template <class Tool>
void WindowFlow::openInPlaceOfMain(Tool* tool) {
    connect(tool, &Tool::closed, this, [this] { showMain(); });
    tool->show();
    if (main_) main_->hide();
}

// The closed window deletes itself later; a start window wanted before
// then (切换工参库 at once) is a new one.
void WindowFlow::leaveStart() {
    start_->disconnect(this);
    start_->close();
    start_ = nullptr;
}

// The main window waits hidden, with the engineer's names and scripts, until
// the start window has opened the libraries chosen there (or is closed).
// The query window edits the libraries of the time it opened: it closes.
void WindowFlow::switchLibraries() {
    if (query_) query_->close();
    showStart();
    if (main_) main_->hide();
}

MainWindow* WindowFlow::showMain() {
    if (!main_) {
        main_ = new MainWindow(session_);
        connect(main_, &MainWindow::librariesSwitchRequested, this, &WindowFlow::switchLibraries);
        connect(main_, &MainWindow::frequencyPlanRequested, this, &WindowFlow::showPlanEditor);
        connect(main_, &MainWindow::settings2GRequested, this, &WindowFlow::showSettings2G);
        connect(main_, &MainWindow::libraryQueryRequested, this, [this] { showLibraryQuery(); });
        connect(main_, &MainWindow::scriptSplitterRequested, this,
                [this] { openInPlaceOfMain(new SplitterWindow); });
        connect(main_, &MainWindow::siteTypeBuilderRequested, this,
                [this] { openInPlaceOfMain(new SiteTypeWindow(session_)); });
        connect(main_, &MainWindow::exportToolRequested, this, &WindowFlow::openExportTool);
    }
    main_->show();
    main_->raise();
    return main_;
}

// The settings windows open beside the window that asked for them; a second
// request brings the open one forward, so two editors never save over each
// other.
PlanEditor* WindowFlow::showPlanEditor() {
    if (!planEditor_) {
        planEditor_ = new PlanEditor(session_);
        // Closing the editor brings the main window up again.
        connect(planEditor_, &PlanEditor::closed, this, [this] { showMain(); });
    }
    planEditor_->show();
    planEditor_->raise();
    return planEditor_;
}

Settings2GWindow* WindowFlow::showSettings2G() {
    if (!settings2G_) settings2G_ = new Settings2GWindow(session_);
    settings2G_->show();
    settings2G_->raise();
    return settings2G_;
}

QueryWindow* WindowFlow::showLibraryQuery() {
    if (!query_) {
        query_ = new QueryWindow(session_);
        connect(query_, &QueryWindow::left, this, [this] { showMain(); });
    }
    query_->show();
    query_->raise();
    return query_;
}

void WindowFlow::openExportTool(const ExportTool* tool) {
    ExportWindow* window = makeToolWindow(*tool, session_);
    if (!window) return;
    // 一键减容 opens the 2G settings window from a button of its own.
    if (auto* reduction = qobject_cast<ReductionWindow*>(window))
        connect(reduction, &ReductionWindow::settings2GRequested, this,
                &WindowFlow::showSettings2G);
    if (tool->opens == ToolOpens::ModalBeside)
        openModalBesideMain(window);
    else
        openInPlaceOfMain(window);
}

void WindowFlow::openModalBesideMain(ExportWindow* tool) {
    tool->setWindowModality(Qt::ApplicationModal);
    connect(tool, &ExportWindow::closed, this, [this] { showMain(); });
    tool->show();
}

}  // namespace brindle::gui
