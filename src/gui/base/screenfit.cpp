#include "gui/base/screenfit.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace brindle::gui {

namespace {

constexpr char kFitted[] = "brindleScreenFitted";

// The frame of a window not yet shown: the platform knows it once the
// window is created (Windows, offscreen); an X11 window manager tells it
// only after mapping, so a usual title bar and border are kept free then.
QMargins frameOf(QWidget* window) {
    const QMargins known =
        window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    return known.isNull() ? QMargins(4, 30, 4, 4) : known;
}

QScreen* screenFor(QWidget* window) {
    if (QWidget* parent = window->parentWidget()) return parent->window()->screen();
    if (QWidget* active = QApplication::activeWindow(); active && active != window)
        return active->screen();
    return window->screen();
}

}  // namespace

void ScreenFit::install() {
    // Goes with the application, so a later application gets its own.
    static QPointer<ScreenFit> installed;
    if (installed) return;
    installed = new ScreenFit(qApp);
    qApp->installEventFilter(installed);
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->windowType() == Qt::Window && !widget->property(kFitted).toBool()) {
            widget->setProperty(kFitted, true);
            fit(widget);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ScreenFit::fit(QWidget* window) {
    QScreen* screen = screenFor(window);
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QMargins frame = frameOf(window);
    const QSize room = area.size().shrunkBy(frame);
    // A window that was not given a size has Qt's: its hint, at most two
    // thirds of the screen, which opens a window whose content scrolls at
    // less than its content; it gets all of its hint the screen has room for.
    const QSize wanted =
        window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    const QSize size = wanted.boundedTo(room).expandedTo(window->minimumSize());
    if (size != window->size()) window->resize(size);

    const QSize outer = size.grownBy(frame);
    QPoint at = window->testAttribute(Qt::WA_Moved)
                    ? window->pos()
                    : area.topLeft() + QPoint((area.width() - outer.width()) / 2,
                                              (area.height() - outer.height()) / 2);
    // Inside the area where it fits; its top-left corner (the title bar) first.
    at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - outer.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - outer.height())));
    window->move(at);
}

}  // namespace brindle::gui
