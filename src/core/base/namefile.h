#pragma once
// Name lists handed in from files (the command line) read exactly as if
// pasted into a box.

#include <filesystem>
#include <optional>
#include <string>

namespace brindle {

// Reads a name file ('-' is standard input), UTF-8 or GBK, with LF line ends
// read as CR LF. Nothing when it cannot be read or decoded; `error` says why.
std::optional<std::string> readNameFile(const std::string& path, std::string& error);

}  // namespace brindle
