#include "core/base/namelist.h"

#include "core/base/messages.h"

namespace brindle {

std::vector<std::string_view> splitViews(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> pieces;
    if (text.empty() || separator.empty()) {
        if (!text.empty()) pieces.push_back(text);
        return pieces;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) break;
        pieces.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    if (start < text.size()) pieces.push_back(text.substr(start));
    return pieces;
}

std::vector<std::string> splitList(std::string_view text, std::string_view separator) {
    const auto views = splitViews(text, separator);
    return {views.begin(), views.end()};
}

std::string shownName(std::string_view name, bool* marked) {
    constexpr std::string_view kWideSpace = "\xE3\x80\x80";  // U+3000 in UTF-8
    std::string out(msg::kNameOpen);
    bool any = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (name.substr(i, kWideSpace.size()) == kWideSpace) {
            out += msg::kWideSpaceMark;
            i += kWideSpace.size() - 1;
        } else if (byte == ' ') {
            out += msg::kSpaceMark;
        } else if (byte == '\t') {
            out += msg::kTabMark;
        } else if (byte < 0x20 || byte == 0x7f) {
            constexpr char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += name[i];
            continue;
        }
        any = true;
    }
    if (marked) *marked = *marked || any;
    return out.append(msg::kNameClose);
}

}  // namespace brindle
