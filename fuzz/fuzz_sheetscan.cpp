// The sheet scanner against expat, the parser of record, on the same bytes.
//
// The first input byte picks the size of the pieces the scanner is fed (1 to
// 255 bytes, or 0: all at once); the rest is the part. Both logs are of the
// events an XmlHandler sees: a start tag with its local name and its
// attributes (names as written, values, in order), an end tag with its local
// name, and the text between two tags joined into one run (a parser may cut
// a run anywhere).
//
// - The scanner accepts the part (Done): expat accepts it too, with the
//   same log.
// - The scanner gives up after N start and end events: expat delivers at
//   least N, and its log up to its N-th is the scanner's log.
// - The scanner never stops on its own (the handler here has no verdict).

#include <expat.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/workbook/sheet_scanner.h"
#include "fuzzsupport.h"

using namespace brindle;
using workbook::detail::SheetScanner;
using workbook::detail::withoutPrefix;

namespace {

struct EventLog : workbook::detail::XmlHandler {
    std::vector<std::string> events;
    std::string text;

    void flush() {
        if (!text.empty()) events.push_back("[" + text + "]");
        text.clear();
    }
    void startElement(std::string_view name, const char** attributes) override {
        flush();
        std::string event = "<" + std::string(name);
        for (const char** a = attributes; a[0]; a += 2)
            event += " " + std::string(a[0]) + "=" + a[1] + ";";
        events.push_back(event + ">");
        ++tags;
    }
    void endElement(std::string_view name) override {
        flush();
        events.push_back("</" + std::string(name) + ">");
        ++tags;
    }
    void characters(std::string_view more) override { text += more; }

    // The events up to the `count`-th start or end event.
    std::vector<std::string> upToTag(std::size_t count) const {
        std::vector<std::string> out;
        for (std::size_t seen = 0; seen < count && out.size() < events.size();) {
            const std::string& event = events[out.size()];
            out.push_back(event);
            if (event[0] == '<') ++seen;
        }
        return out;
    }

    std::size_t tags = 0;
};

struct Expat {
    EventLog log;
    bool accepted = false;

    explicit Expat(std::string_view part) {
        XML_Parser parser = XML_ParserCreate(nullptr);
        if (!parser) fuzz::fail("expat cannot be made");
        XML_SetUserData(parser, this);
        XML_SetElementHandler(
            parser,
            [](void* self, const XML_Char* name, const XML_Char** attributes) {
                static_cast<Expat*>(self)->log.startElement(withoutPrefix(name), attributes);
            },
            [](void* self, const XML_Char* name) {
                static_cast<Expat*>(self)->log.endElement(withoutPrefix(name));
            });
        XML_SetCharacterDataHandler(parser, [](void* self, const XML_Char* text, int length) {
            static_cast<Expat*>(self)->log.characters(
                std::string_view(text, static_cast<std::size_t>(length)));
        });
        // As the workbook reader does: a part with a DTD is refused, and
        // entity expansion never starts.
        XML_SetStartDoctypeDeclHandler(
            parser, [](void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
                static_cast<Expat*>(self)->doctype = true;
                XML_StopParser(static_cast<Expat*>(self)->parser, XML_FALSE);
            });
        this->parser = parser;
        accepted = XML_Parse(parser, part.data(), static_cast<int>(part.size()), XML_TRUE) ==
                       XML_STATUS_OK &&
                   !doctype;
        log.flush();
        XML_ParserFree(parser);
    }

    XML_Parser parser = nullptr;
    bool doctype = false;
};

std::string joined(const std::vector<std::string>& events) {
    std::string out;
    for (const std::string& e : events) out += e;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = data[0] == 0 ? size : data[0];
    const std::string_view part = fuzz::bytesOf(data + 1, size - 1);

    EventLog scanned;
    SheetScanner scanner(scanned);
    SheetScanner::Status status = SheetScanner::Status::More;
    for (std::size_t at = 0; status == SheetScanner::Status::More;) {
        // As the part stream does: room for a whole piece, fewer bytes at the end.
        const std::size_t length = std::min(piece, part.size() - at);
        std::memcpy(scanner.buffer(piece), part.data() + at, length);
        at += length;
        const bool last = at == part.size();
        status = scanner.parse(length, last);
        if (last && status == SheetScanner::Status::More)
            fuzz::fail("the scanner wants more after the last byte");
    }
    if (status == SheetScanner::Status::Stopped) fuzz::fail("the scanner stopped on its own");
    const bool accepted = status == SheetScanner::Status::Done;
    // Text after the last tag is delivered only once a tag completes it.
    if (accepted) scanned.flush();
    if (scanned.tags != scanner.tagsDelivered()) fuzz::fail("the scanner miscounts its events");

    const Expat expat(part);
    if (accepted) {
        if (!expat.accepted)
            fuzz::fail("the scanner accepts what expat refuses", joined(scanned.events));
        if (scanned.events != expat.log.events)
            fuzz::fail("the scanner's events differ from expat's",
                       joined(scanned.events) + "\n  expat: " + joined(expat.log.events));
        return 0;
    }
    if (expat.log.tags < scanned.tags)
        fuzz::fail("the scanner delivered events expat does not",
                   joined(scanned.events) + "\n  expat: " + joined(expat.log.events));
    if (expat.log.upToTag(scanned.tags) != scanned.events)
        fuzz::fail("the scanner's events before giving up differ from expat's",
                   joined(scanned.events) + "\n  expat: " + joined(expat.log.events));
    return 0;
}
