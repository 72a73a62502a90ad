#include "gui/base/busy.h"

#include <QCloseEvent>

namespace brindle::gui {

Busy::Busy(QWidget* window, const std::vector<QPushButton*>& buttons) : window_(window) {
    for (QPushButton* b : buttons) {
        buttons_.emplace_back(b, b->isEnabled());
        b->setEnabled(false);
    }
    if (window_) window_->installEventFilter(this);
}

Busy::~Busy() {
    // Buttons of work still to come were disabled before and stay so.
    for (auto& [button, enabled] : buttons_)
        if (button) button->setEnabled(enabled);
    if (!window_) return;
    window_->removeEventFilter(this);
    if (closeHeldBack_) window_->close();
}

bool Busy::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Close) {
        closeHeldBack_ = true;
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace brindle::gui
