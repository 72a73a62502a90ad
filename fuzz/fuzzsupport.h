#pragma once
// Shared by the fuzz targets: a scratch folder for the inputs that have to be
// files, and a stop that libFuzzer reports as a crash.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace brindle::fuzz {

// A folder of this process's own, removed when the process exits.
const std::filesystem::path& scratchFolder();

// Writes `bytes` to `name` in the scratch folder and returns its path.
std::filesystem::path writeScratchFile(std::string_view name, std::string_view bytes);

// Reports a broken property with its details and aborts, so the input is
// kept as a crash.
[[noreturn]] void fail(std::string_view what, std::string_view detail = {});

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace brindle::fuzz
