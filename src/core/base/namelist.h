#pragma once
// Name lists: the text of a multi-line box, one name per line.

#include <string>
#include <string_view>
#include <vector>

namespace brindle {

// Splits `text` at every `separator`. Pieces stay exactly as they are (never
// trimmed), empty inner pieces included; the piece after the last separator
// is kept only when it is not empty. An empty text gives an empty list.
std::vector<std::string> splitList(std::string_view text, std::string_view separator);

// The same pieces as views of `text`, for readers that need no copies.
std::vector<std::string_view> splitViews(std::string_view text, std::string_view separator);

// A box's text split at "\r\n".
inline std::vector<std::string> nameList(std::string_view boxText) {
    return splitList(boxText, "\r\n");
}
inline std::vector<std::string_view> nameViews(std::string_view boxText) {
    return splitViews(boxText, "\r\n");
}

// A name as a message lists it: between 「」, each space, full-width space
// and tab replaced by a visible mark and any other control character by
// "\\xHH", so that an empty name or a trailing blank can be seen.
// `marked` is set when a mark was needed.
std::string shownName(std::string_view name, bool* marked = nullptr);

}  // namespace brindle
