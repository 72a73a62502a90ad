#include "core/base/clipboard.h"

#include "core/base/messages.h"

namespace brindle {

bool copyScript(std::string_view text, std::string_view emptyMessage, Clipboard& clipboard,
                Feedback& feedback) {
    if (text.empty()) {
        feedback.message(emptyMessage);
        return false;
    }
    const bool copied = clipboard.setText(text);
    feedback.message(copied ? msg::kCopied : msg::kClipboardFailed);
    return copied;
}

}  // namespace brindle
