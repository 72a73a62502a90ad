#pragma once
// The system clipboard behind the core's Clipboard.

#include <QClipboard>
#include <QGuiApplication>

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

}  // namespace brindle::gui
