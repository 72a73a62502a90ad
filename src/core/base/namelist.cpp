#include "core/base/namelist.h"

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

}  // namespace brindle
