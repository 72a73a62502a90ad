#include "core/base/namefile.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "core/base/textcodec.h"

namespace brindle {

std::optional<std::string> readNameFile(const std::string& path, std::string& error) {
    std::string bytes;
    if (path == "-") {
        bytes.assign(std::istreambuf_iterator<char>(std::cin), {});
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            error = "无法读取文件：" + path;
            return std::nullopt;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    auto text = codec::decodeDetected(bytes);
    if (!text) {
        error = "文件既不是UTF-8也不是GBK编码：" + path;
        return std::nullopt;
    }
    return codec::toCrLf(*text);
}

}  // namespace brindle
