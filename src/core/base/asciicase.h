#pragma once
// Letter case of ASCII only. File extensions, part names, number-format codes
// and the 频点 comparisons ignore the case of A–Z and nothing else: the
// C library's tolower follows the process's locale, and under a double-byte
// code page it could change the bytes of a Chinese character.

#include <algorithm>
#include <string>
#include <string_view>

namespace brindle::ascii {

constexpr char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

constexpr bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace brindle::ascii
