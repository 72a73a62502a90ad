#pragma once
// Every window of the program fits the screen it opens on. Windows are laid
// out for a large screen; on a small one (1366×768 at 150 % leaves 910×512
// logical pixels) a window opened at its natural size would put its buttons
// off-screen. ScreenFit watches the first showing of every top-level window
// and, before it appears, shrinks it to the screen's available area
// (the frame included) and centres it there. A window that was given a
// position of its own (a remembered geometry) keeps it, moved only as far as
// needed to lie inside the screen. Dialogs (message boxes, file dialogs) are
// left to Qt, which centres them over their window.

#include <QObject>

class QWidget;

namespace brindle::gui {

class ScreenFit : public QObject {
    Q_OBJECT
public:
    // Installs the one watcher on the application; a second call does nothing.
    static void install();

    // Fits `window` into the available area of the screen it opens on.
    static void fit(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

}  // namespace brindle::gui
