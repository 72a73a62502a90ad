#pragma once
// Small widgets and helpers shared by the windows.

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollArea>

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

// A scroll area that asks for all of its content's size and scrolls only
// when its window is smaller than that: on a large screen the window looks
// as laid out, on a small one everything stays within reach. A column
// (`Scrolls::Vertically`) keeps its content's width and scrolls up and down
// only; a page (`Scrolls::Both`) may also become narrower than its content.
class ScrollingPanel : public QScrollArea {
    Q_OBJECT
public:
    enum class Scrolls { Both, Vertically };
    explicit ScrollingPanel(QWidget* content, Scrolls scrolls = Scrolls::Both);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    Scrolls scrolls_;
};
// The widget holding `layout`, in a ScrollingPanel.
ScrollingPanel* scrollingPanel(QLayout* layout,
                               ScrollingPanel::Scrolls scrolls = ScrollingPanel::Scrolls::Both);

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
