#pragma once
// Replacing a file so that a crash, a full disk or a power cut leaves either
// the old file or the new one, never half of one.

#include <filesystem>
#include <string>
#include <string_view>

namespace brindle {

// Writes `bytes` to a temporary file beside `path`, flushes it and renames it
// over `path`. An existing file keeps its permission bits (and its owner,
// where the process may set it); a symbolic link is followed and the file it
// names is replaced. A read-only file (no write permission bit, whoever we
// run as) and anything but a plain file are refused. Returns "" or the reason
// the file could not be written.
std::string replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The permission check of replaceFileAtomically, for callers that want to
// refuse before doing any work.
bool isReadOnlyFile(const std::filesystem::path& path);

}  // namespace brindle
