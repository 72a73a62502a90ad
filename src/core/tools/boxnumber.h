#pragma once
// The count boxes of the script tools: a box read as a number, where an
// empty box or one that is not a whole number counts as 0.

#include <cstddef>
#include <string_view>

namespace brindle::tools {

// Digits only, surrounding spaces allowed; anything else, or a value too
// large to be a count, is 0.
inline std::size_t boxNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty() || text.size() > 9) return 0;
    std::size_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    return value;
}

}  // namespace brindle::tools
