#include "fuzzsupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace brindle::fuzz {

namespace fs = std::filesystem;

namespace {

// Each input is written to a file before it is read. On a disk mounted with
// "discard", truncating that file waited for the device every time and took
// most of a run; a folder in memory (/dev/shm) answers at once. The temporary
// folder serves where there is none, or it cannot be written.
struct Scratch {
    fs::path path;
    Scratch() {
        std::error_code ec;
        for (const fs::path& base : {fs::path("/dev/shm"), fs::temp_directory_path()}) {
            if (!fs::is_directory(base, ec)) continue;
            std::string pattern = (base / "brindle-fuzz-XXXXXX").string();
            if (!::mkdtemp(pattern.data())) continue;
            path = pattern;
            return;
        }
        throw std::runtime_error("mkdtemp failed");
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

}  // namespace

const fs::path& scratchFolder() {
    static Scratch scratch;
    return scratch.path;
}

fs::path writeScratchFile(std::string_view name, std::string_view bytes) {
    fs::path path = scratchFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) fail("cannot write the scratch file", path.string());
    return path;
}

void fail(std::string_view what, std::string_view detail) {
    std::fprintf(stderr, "fuzz: %.*s\n", static_cast<int>(what.size()), what.data());
    if (!detail.empty())
        std::fprintf(stderr, "  %.*s\n", static_cast<int>(detail.size()), detail.data());
    std::abort();
}

}  // namespace brindle::fuzz
