// Settings files: the input is parsed as a profile file; then a section, a
// key and a value taken from its head are set in a copy of the rest, and the
// value must read back as written, or the write must be refused with a
// reason and the file left as it was.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/base/platform.h"
#include "core/freqplan/profile.h"
#include "fuzzsupport.h"

using namespace brindle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(64);
    const std::string key = input.ConsumeRandomLengthString(64);
    const std::string value = input.ConsumeRandomLengthString(256);
    const std::string file = input.ConsumeRemainingBytesAsString();

    const ProfileFile parsed = ProfileFile::parse(file);
    (void)parsed.find(section, key);
    (void)parsed.hasSection(section);

    const auto path = fuzz::writeScratchFile("settings.ini", file);
    const Status written = writeProfile(path, section, key, value);
    const auto after = platform::readWholeFile(path);
    if (after.state != platform::FileContents::State::Read) fuzz::fail("the file cannot be read");
    if (!written) {
        if (written.error().empty()) fuzz::fail("a refused write gives no reason");
        if (after.bytes != file) fuzz::fail("a refused write changed the file", written.error());
        return 0;
    }
    const std::string back = readProfile(path, section, key);
    if (back != value)
        fuzz::fail("the value does not read back", "[" + value + "] -> [" + back + "]");
    if (ProfileFile::parse(after.bytes).value(section, key) != value)
        fuzz::fail("the parsed file does not give the value back");
    return 0;
}
