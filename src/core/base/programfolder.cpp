#include "core/base/programfolder.h"

#include <system_error>

namespace brindle {

std::filesystem::path executableFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec);
    return exe.parent_path();
}

}  // namespace brindle
