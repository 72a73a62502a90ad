#pragma once

#include <filesystem>

namespace brindle {

// The folder that holds the running executable: the default program folder,
// where `mu/` and `mu2/` live.
std::filesystem::path executableFolder();

}  // namespace brindle
