#include "gui/app/windowflow.h"

#include "gui/app/mainwindow.h"
#include "gui/app/startwindow.h"
#include "gui/library/importwindow.h"
#include "gui/tools/sitetypewindow.h"
#include "gui/tools/splitterwindow.h"

namespace brindle::gui {

WindowFlow::WindowFlow(Session& session, QObject* parent) : QObject(parent), session_(session) {}

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
            start_->close();
        });
        connect(start_, &StartWindow::import4GRequested, this, [this] {
            auto* window = new ImportWindow4G(session_);
            connect(window, &ImportWindowBase::left, this, [this] { showStart(); });
            window->show();
            start_->close();
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

MainWindow* WindowFlow::showMain() {
    if (!main_) {
        main_ = new MainWindow(session_);
        connect(main_, &MainWindow::scriptSplitterRequested, this, [this] {
            auto* window = new SplitterWindow;
            connect(window, &SplitterWindow::closed, this, [this] { showMain(); });
            openInPlaceOfMain(window);
        });
        connect(main_, &MainWindow::siteTypeBuilderRequested, this, [this] {
            auto* window = new SiteTypeWindow(session_);
            connect(window, &SiteTypeWindow::closed, this, [this] { showMain(); });
            openInPlaceOfMain(window);
        });
    }
    main_->show();
    main_->raise();
    return main_;
}

void WindowFlow::openInPlaceOfMain(QWidget* tool) {
    tool->show();
    // The closed window is deleted later; until then it must not be shown
    // again as the main window.
    QPointer<MainWindow> old = main_;
    main_ = nullptr;
    if (old) old->close();
}

}  // namespace brindle::gui
