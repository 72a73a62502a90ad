// Name lists: the pieces of a box's text, joined again at "\r\n", give the
// text back (less one final "\r\n"), and no piece holds a separator.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/base/namelist.h"
#include "fuzzsupport.h"

using namespace brindle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::bytesOf(data, size);
    const auto names = nameList(text);
    std::string joined;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].find("\r\n") != std::string::npos) fuzz::fail("a name holds a line break");
        if (i > 0) joined += "\r\n";
        joined += names[i];
    }
    if (joined != text && joined + "\r\n" != text)
        fuzz::fail("the names do not give the text back");
    if (text.empty() != names.empty()) fuzz::fail("an empty text is not an empty list");
    return 0;
}
