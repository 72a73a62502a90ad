#include "gui/base/conventions.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

#include "gui/base/remembered.h"

namespace brindle::gui {

namespace {

constexpr const char* kKeepOnEscape = "brindleKeepOnEscape";
constexpr const char* kPlaced = "brindleGeometryRestored";

// The program's own windows; Qt's boxes and dialogs look after themselves.
bool isProgramWindow(const QObject* object) {
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget && widget->isWindow() && !qobject_cast<const QDialog*>(widget) &&
           QByteArray(widget->metaObject()->className()).startsWith("brindle::gui::");
}

bool isEnter(const QKeyEvent* key) {
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

class DesktopConventions : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Show:
                if (isProgramWindow(watched) && !watched->property(kPlaced).toBool()) {
                    watched->setProperty(kPlaced, true);
                    restoreWindowGeometry(static_cast<QWidget*>(watched));
                }
                break;
            case QEvent::Close:
                if (isProgramWindow(watched)) saveWindowGeometry(static_cast<QWidget*>(watched));
                break;
            case QEvent::KeyPress:
                return keyPressed(watched, static_cast<QKeyEvent*>(event));
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // A key press reaches the filter once for the focused widget and again
    // for each parent it is passed on to: Esc closes the window only when
    // nothing inside took it (an open list, an edited cell).
    static bool keyPressed(QObject* watched, QKeyEvent* key) {
        if (auto* button = qobject_cast<QPushButton*>(watched);
            button && isEnter(key) && button->isEnabled() &&
            !qobject_cast<QDialog*>(button->window())) {  // a dialog's buttons are its default's
            button->click();
            return true;
        }
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier &&
            isProgramWindow(watched) && !watched->property(kKeepOnEscape).toBool()) {
            static_cast<QWidget*>(watched)->close();
            return true;
        }
        return false;
    }
};

}  // namespace

void installDesktopConventions(QApplication& app) {
    const QString name = QStringLiteral("brindleDesktopConventions");
    if (app.findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) return;
    auto* filter = new DesktopConventions(&app);
    filter->setObjectName(name);
    app.installEventFilter(filter);
}

void keepOnEscape(QWidget* window) {
    window->setProperty(kKeepOnEscape, true);
}

}  // namespace brindle::gui
