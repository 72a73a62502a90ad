// The OLE2 compound-file reader: the input is opened from memory as a
// container, and every stream its directory reaches is read whole and again
// in two pieces. A refusal is a good answer; a crash, a sanitizer report, a
// stream larger than the file could hold or two readings that differ are not.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/workbook/ole2.h"
#include "fuzzsupport.h"

using namespace brindle;
using workbook::ole2::CompoundFile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto source =
        workbook::ByteSource::memory(std::string(fuzz::bytesOf(data, size)), "input.xls");
    auto file = CompoundFile::open(source);
    if (!file) return 0;
    (void)file->child(CompoundFile::kRoot, u"Workbook");
    for (CompoundFile::Id id = 0; id < file->entries().size(); ++id) {
        if (file->entries()[id].storage) continue;
        auto stream = file->stream(id);
        if (!stream) continue;
        // The last sector may be cut short; no stream is larger than that.
        if (stream->size() > size + 4096)
            fuzz::fail("a stream larger than the file", std::to_string(stream->size()));
        std::string whole(static_cast<std::size_t>(stream->size()), '\0');
        if (!stream->read(0, whole.data(), whole.size())) continue;
        std::string pieces(whole.size(), '\0');
        const std::size_t cut = whole.size() / 3 + 1 < whole.size() ? whole.size() / 3 + 1 : 0;
        if (!stream->read(0, pieces.data(), cut) ||
            !stream->read(cut, pieces.data() + cut, whole.size() - cut))
            fuzz::fail("a stream read in pieces fails where it read whole");
        if (pieces != whole) fuzz::fail("a stream read in pieces differs from the whole");
        char past = 0;
        if (stream->read(stream->size(), &past, 1)) fuzz::fail("a read past the stream's end");
    }
    return 0;
}
