#pragma once
// Joining the pieces of one command line, as every template of the program
// writes them: fixed texts and record fields in order, nothing in between.

#include <initializer_list>
#include <string>
#include <string_view>

namespace brindle::mml {

inline std::string cat(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (auto p : pieces) size += p.size();
    std::string line;
    line.reserve(size);
    for (auto p : pieces) line += p;
    return line;
}

}  // namespace brindle::mml
