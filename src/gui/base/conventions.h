#pragma once
// What every window of the program does as desktop programs do, in one
// application-wide event filter rather than in each window: a window takes
// its remembered geometry when first shown and keeps it when closed, Enter
// on a focused button presses it, and Esc closes a tool window.

#include <QApplication>
#include <QWidget>

namespace brindle::gui {

// Installs the filter on the application (once).
void installDesktopConventions(QApplication& app);

// A window Esc does not close: the start and main windows, whose closing
// ends the program or asks about unsaved scripts.
void keepOnEscape(QWidget* window);

}  // namespace brindle::gui
