#pragma once
// What the systems' implementation files of the platform module share: the
// parts that need no system call (platform.cpp) and a few questions each
// system answers its own way. Only the platform module includes this.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace brindle::platform::detail {

// The name of a temporary file: ".brindle-<process>-<serial>.tmp", short
// whatever the target is called, and telling the process that made it.
std::string temporaryName(std::uint32_t process, unsigned serial);
// The process number in a temporary file's name; nothing for another name.
std::optional<std::uint32_t> temporaryOwner(std::string_view name);

// A temporary of an interrupted save is removed once it is this old even
// when a process of its number runs: that number is another process's by now.
inline constexpr std::int64_t kStaleTemporaryNs = 15LL * 60 * 1'000'000'000;

// The folder a file of `path` lies in: "." for a bare name.
std::filesystem::path folderOf(const std::filesystem::path& path);
bool isFolder(const std::filesystem::path& path);
// The current folder; empty when it cannot be told.
std::filesystem::path currentFolder();

// Whether two names (the last parts of two paths) name one entry of one
// folder: byte for byte on POSIX, ignoring case on Windows. Each system's
// file defines it.
bool sameEntryName(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace brindle::platform::detail
