#pragma once
// Copying a script to the clipboard, as the copy buttons do.

#include <string_view>

#include "core/base/feedback.h"

namespace brindle {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's content with plain text; false when refused.
    virtual bool setText(std::string_view text) = 0;
};

// An empty text shows `emptyMessage`; otherwise the text goes to the
// clipboard and "复制成功！" or "复制内容失败" follows. True when copied.
bool copyScript(std::string_view text, std::string_view emptyMessage, Clipboard& clipboard,
                Feedback& feedback);

}  // namespace brindle
