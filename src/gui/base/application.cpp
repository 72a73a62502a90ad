#include "gui/base/application.h"

#include <exception>
#include <string>

#include "core/base/messages.h"
#include "gui/base/guifeedback.h"

namespace brindle::gui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        reportInternalError(e.what());
    } catch (...) {
        reportInternalError(msg::kUnknownInternalError);
    }
    return false;
}

void Application::reportInternalError(std::string_view what) {
    const std::string text = std::string(msg::kInternalError) + std::string(what);
    // The box runs its own event loop; should a handler fail again while it
    // is open, that failure goes to the log instead of stacking up boxes.
    if (reporting_) {
        qWarning("%s", text.c_str());
        return;
    }
    reporting_ = true;
    GuiFeedback(activeWindow()).message(text, {}, Icon::Error);
    reporting_ = false;
}

}  // namespace brindle::gui
