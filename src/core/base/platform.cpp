// The parts of the platform module that are the same on every system.

#include "core/base/platform.h"

#include "core/base/platform_shared.h"

namespace brindle::platform {

namespace fs = std::filesystem;

namespace detail {

namespace {
constexpr std::string_view kTempHead = ".brindle-";
constexpr std::string_view kTempTail = ".tmp";
}  // namespace

std::string temporaryName(std::uint32_t process, unsigned serial) {
    return std::string(kTempHead) + std::to_string(process) + "-" + std::to_string(serial) +
           std::string(kTempTail);
}

std::optional<std::uint32_t> temporaryOwner(std::string_view name) {
    if (!name.starts_with(kTempHead) || !name.ends_with(kTempTail)) return std::nullopt;
    name.remove_prefix(kTempHead.size());
    name.remove_suffix(kTempTail.size());
    const std::size_t dash = name.find('-');
    const auto digits = [](std::string_view s) {
        return !s.empty() && s.size() <= 9 && s.find_first_not_of("0123456789") == s.npos;
    };
    if (dash == name.npos || !digits(name.substr(0, dash)) || !digits(name.substr(dash + 1)))
        return std::nullopt;
    return static_cast<std::uint32_t>(std::stoul(std::string(name.substr(0, dash))));
}

fs::path folderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

fs::path currentFolder() {
    std::error_code ec;
    return fs::current_path(ec);
}

}  // namespace detail

Status replaceFileAtomically(const fs::path& path, std::string_view bytes) {
    FileReplacement file;
    if (Status opened = file.open(path); !opened) return opened;
    file.write(bytes);
    return file.commit();
}

bool sameFile(const fs::path& a, const fs::path& b) {
    const FileStamp first = fileStamp(a), second = fileStamp(b);
    if (first.exists || second.exists)
        return first.exists && second.exists && first.device == second.device &&
               first.fileIndex == second.fileIndex;
    // Neither is there yet: the same name in the same folder, the folder
    // known by what it is rather than by how the path reaches it.
    if (!detail::sameEntryName(a.filename(), b.filename())) return false;
    const FileStamp folderA = fileStamp(detail::folderOf(a)),
                    folderB = fileStamp(detail::folderOf(b));
    if (!folderA.exists || !folderB.exists) return a.lexically_normal() == b.lexically_normal();
    return folderA.device == folderB.device && folderA.fileIndex == folderB.fileIndex;
}

}  // namespace brindle::platform
