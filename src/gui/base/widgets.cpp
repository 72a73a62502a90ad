#include "gui/base/widgets.h"

#include <QLayout>
#include <QMouseEvent>
#include <QScrollBar>

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

ScrollingPanel::ScrollingPanel(QWidget* content, Scrolls scrolls) : scrolls_(scrolls) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    if (scrolls == Scrolls::Vertically) setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidget(content);
}

// QScrollArea's own hint is bounded to a few dozen lines of text, which
// would open every window smaller than its content.
QSize ScrollingPanel::sizeHint() const {
    const int frame = 2 * frameWidth();
    if (!widget()) return QScrollArea::sizeHint();
    return widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) + QSize(frame, frame);
}

QSize ScrollingPanel::minimumSizeHint() const {
    QSize least = QScrollArea::minimumSizeHint();
    if (scrolls_ == Scrolls::Vertically && widget())
        least.setWidth(widget()->minimumSizeHint().width() +
                       verticalScrollBar()->sizeHint().width() + 2 * frameWidth());
    return least;
}

ScrollingPanel* scrollingPanel(QLayout* layout, ScrollingPanel::Scrolls scrolls) {
    auto* content = new QWidget;
    content->setLayout(layout);
    return new ScrollingPanel(content, scrolls);
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
