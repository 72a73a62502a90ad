#include "core/base/namelist.h"

namespace brindle {

std::vector<std::string> splitList(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty() || separator.empty()) {
        if (!text.empty()) pieces.emplace_back(text);
        return pieces;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) break;
        pieces.emplace_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    if (start < text.size()) pieces.emplace_back(text.substr(start));
    return pieces;
}

}  // namespace brindle
