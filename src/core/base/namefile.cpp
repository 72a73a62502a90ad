#include "core/base/namefile.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "core/base/textcodec.h"

namespace brindle {

Result<std::string> readNameFile(const std::string& path) {
    std::string bytes;
    if (path == "-") {
        bytes.assign(std::istreambuf_iterator<char>(std::cin), {});
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in) return fail("无法读取文件：" + path);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    auto text = codec::decodeDetected(bytes);
    if (!text) return fail("文件既不是UTF-8也不是GBK编码：" + path);
    return codec::toCrLf(*text);
}

}  // namespace brindle
