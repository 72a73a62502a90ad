#include "gui/base/widgets.h"

#include <QMouseEvent>

#include "gui/base/qtext.h"

namespace brindle::gui {

void ClearingTextEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        clearBox(this);
        event->accept();
        return;
    }
    QPlainTextEdit::mouseDoubleClickEvent(event);
}

PaneSink::PaneSink(QPlainTextEdit* pane) : pane_(pane) {
    sinceFlush_.start();
}

void PaneSink::append(std::string_view text) {
    pending_ += text;
}

void PaneSink::clear() {
    pending_.clear();
    if (pane_) clearBox(pane_);
}

bool PaneSink::empty() const {
    return pending_.empty() && (!pane_ || pane_->document()->isEmpty());
}

void PaneSink::flush() {
    if (pane_) appendToBox(pane_, pending_);
    pending_.clear();
    sinceFlush_.restart();
}

void PaneSink::flushIfDue() {
    if (!pending_.empty() && sinceFlush_.elapsed() >= 100) flush();
}

}  // namespace brindle::gui
