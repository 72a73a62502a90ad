#pragma once
// Name lists handed in from files (the command line) read exactly as if
// pasted into a box.

#include <string>

#include "core/base/result.h"

namespace brindle {

// Reads a name file ('-' is standard input), UTF-8 or GBK, with LF line ends
// read as CR LF. Fails, saying why, when it cannot be read or decoded.
Result<std::string> readNameFile(const std::string& path);

}  // namespace brindle
