// The text codec: whatever decodes is valid UTF-8; UTF-8 that converts to GBK
// converts back to the same text; GBK that decodes encodes again to bytes
// that decode to the same text; decodeDetected keeps valid UTF-8 as it is.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/base/textcodec.h"
#include "fuzzsupport.h"

using namespace brindle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::bytesOf(data, size);

    if (codec::isValidUtf8(bytes)) {
        const auto gbk = codec::toGbk(bytes);
        if (gbk.text) {
            const auto back = codec::fromGbk(*gbk.text);
            if (!back || *back != bytes) fuzz::fail("UTF-8 -> GBK -> UTF-8 changes the text");
        } else if (gbk.badOffset >= bytes.size()) {
            fuzz::fail("the unconvertible character lies past the end");
        }
    }

    if (const auto text = codec::fromGbk(bytes)) {
        if (!codec::isValidUtf8(*text)) fuzz::fail("GBK decodes to invalid UTF-8");
        const auto again = codec::toGbk(*text);
        if (!again.text) fuzz::fail("decoded GBK does not encode again");
        const auto back = codec::fromGbk(*again.text);
        if (!back || *back != *text) fuzz::fail("GBK -> UTF-8 -> GBK -> UTF-8 changes the text");
    }

    if (const auto text = codec::decodeDetected(bytes)) {
        if (!codec::isValidUtf8(*text)) fuzz::fail("decodeDetected gives invalid UTF-8");
        const bool bom = bytes.starts_with("\xEF\xBB\xBF");
        if (!bom && codec::isValidUtf8(bytes) && *text != bytes)
            fuzz::fail("decodeDetected changes valid UTF-8");
    }
    return 0;
}
