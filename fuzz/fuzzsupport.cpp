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

struct Scratch {
    fs::path path;
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "brindle-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path = pattern;
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
