#include "core/base/clipboard.h"

#include "core/base/messages.h"

namespace brindle {

void copyScript(std::string_view text, std::string_view emptyMessage, Clipboard& clipboard,
                Feedback& feedback) {
    if (text.empty()) {
        feedback.message(emptyMessage);
        return;
    }
    feedback.message(clipboard.setText(text) ? msg::kCopied : msg::kClipboardFailed);
}

}  // namespace brindle
