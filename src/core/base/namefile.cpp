#include "core/base/namefile.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <system_error>

#include "core/base/platform.h"
#include "core/base/textcodec.h"

namespace brindle {

namespace {

// The stream's bytes, or nothing when reading fails. The standard library
// reports a failed read (a folder, an I/O error) by throwing from inside the
// stream buffer, or by just ending the stream early.
std::optional<std::string> readAll(std::istream& in) {
    try {
        std::string bytes(std::istreambuf_iterator<char>(in), {});
        if (in.bad()) return std::nullopt;
        return bytes;
    } catch (const std::ios_base::failure&) {
        return std::nullopt;
    }
}

}  // namespace

Result<std::string> readNameFile(const std::string& path) {
    const std::string unreadable = "无法读取文件：" + path;
    std::optional<std::string> bytes;
    if (path == "-") {
        bytes = readAll(std::cin);
    } else {
        // A folder opens like a file and, depending on the library, reads as
        // nothing at all: it would pass for an empty list.
        const std::filesystem::path file = platform::pathFromUtf8(path);
        std::error_code ec;
        if (std::filesystem::is_directory(file, ec)) return fail(unreadable);
        std::ifstream in(file, std::ios::binary);
        if (!in) return fail(unreadable);
        bytes = readAll(in);
    }
    if (!bytes) return fail(unreadable);
    auto text = codec::decodeDetected(*bytes);
    if (!text) return fail("文件既不是UTF-8也不是GBK编码：" + path);
    return codec::toCrLf(*text);
}

}  // namespace brindle
