#pragma once
// Small widgets and helpers shared by the windows.

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPointer>

#include <string>

#include "core/base/script.h"

namespace brindle::gui {

// A multi-line box that the engineer empties by double-clicking it; Ctrl+Z
// brings the text back.
class ClearingTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// A script pane as the core's output. Lines are gathered and put into the
// pane in batches: inserting a line at a time would relayout the pane per
// line on long runs. A page without a pane (its result goes to the
// clipboard) has none, and the window's pane may go with the window.
class PaneSink : public ScriptSink {
public:
    explicit PaneSink(QPlainTextEdit* pane);
    ~PaneSink() override { flush(); }
    PaneSink(const PaneSink&) = delete;
    PaneSink& operator=(const PaneSink&) = delete;

    void append(std::string_view text) override;
    void clear() override;
    bool empty() const override;
    void flush();
    void flushIfDue();  // at most a few times a second

private:
    QPointer<QPlainTextEdit> pane_;
    std::string pending_;
    QElapsedTimer sinceFlush_;
};

// Sets a widget's objectName to its unit name, so tests and the generators
// find it by that name.
template <typename W>
W* named(W* widget, const char* unit) {
    widget->setObjectName(QString::fromUtf8(unit));
    return widget;
}

}  // namespace brindle::gui

// Creates a window unit and names it after its member: UNIT(按钮_x, "caption")
// makes the member, sets its objectName to "按钮_x" and passes the rest to
// the widget's constructor.
#define UNIT(member, ...) \
    (member =             \
         ::brindle::gui::named(new std::remove_pointer_t<decltype(member)>(__VA_ARGS__), #member))
