#pragma once
// The system clipboard behind the core's Clipboard.

#include <QClipboard>
#include <QGuiApplication>
#include <QThread>

#include "core/base/clipboard.h"
#include "gui/base/qtext.h"

namespace brindle::gui {

class QtClipboard : public Clipboard {
public:
    // Refused when there is no clipboard or it does not keep the text.
    bool setText(std::string_view text) override {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (!clipboard) return false;
        clipboard->setText(qs(text));
        return clipboard->text() == qs(text);
    }
};

// The system clipboard for a job on a worker thread: the clipboard is the
// GUI thread's, so the text is set there and the job waits for it.
class GuiThreadClipboard : public Clipboard {
public:
    bool setText(std::string_view text) override {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return false;
        if (QThread::currentThread() == app->thread()) return clipboard_.setText(text);
        bool kept = false;
        QMetaObject::invokeMethod(
            app, [this, text, &kept] { kept = clipboard_.setText(text); },
            Qt::BlockingQueuedConnection);
        return kept;
    }

private:
    QtClipboard clipboard_;
};

}  // namespace brindle::gui
