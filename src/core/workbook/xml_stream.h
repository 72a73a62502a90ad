#pragma once
// Streams one XML part of a zip package through expat a chunk at a time, so
// a worksheet is parsed only as far as its rows are asked for.

#include <zip.h>

#include <expat.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::workbook::detail {

// Receives the elements of one XML part. Names arrive without any namespace
// prefix: writers differ in the prefixes they use ("x:row"), never in the
// local names.
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void startElement(std::string_view name, const char** attributes) = 0;
    virtual void endElement(std::string_view name) = 0;
    virtual void characters(std::string_view text) { (void)text; }

    // A handler sets `finished` once it has everything it wants from the part
    // and `invalid` when the content cannot be right; either ends the parse.
    bool finished = false;
    bool invalid = false;
};

// Markup that no writer comes near, refused as damage whichever parser reads
// the part: a tag (or a comment, or whatever else lies between two events)
// longer than this, an element with more attributes than this. Without them
// a package of a few hundred kilobytes held the import for minutes, or made
// it hold hundreds of megabytes of one tag.
inline constexpr std::size_t kLongestTag = 1024 * 1024;
inline constexpr std::size_t kMostAttributes = 4096;

// Runs one handler call. A handler that throws (out of memory while handling
// an element) marks the part invalid, reported like any unreadable content;
// no exception crosses the parser.
template <class Call>
void deliver(XmlHandler& handler, Call&& call) {
    try {
        call();
    } catch (...) {
        handler.invalid = true;
    }
}

// A name without its namespace prefix ("x:row" is "row").
std::string_view withoutPrefix(const char* name);

// The value of the attribute with this local name, or nullptr.
const char* attribute(const char** attributes, std::string_view localName);

using ZipHandle = std::shared_ptr<zip_t>;

// Index of a part in the package, matched without regard to case as Excel
// does; -1 when absent.
zip_int64_t findPart(zip_t* zip, const std::string& name);

class SheetScanner;

class XmlPartStream {
public:
    enum class Status { More, Done, Failed };
    // Expat parses every part. Worksheets, being most of a workbook's bytes,
    // may go through the SheetScanner first: whatever it leaves is parsed
    // by expat as if expat had read the part from the start.
    enum class Parser { Expat, Scanner };

    // `chunkSize` is the bytes read at a time; only tests change it.
    XmlPartStream(ZipHandle zip, XmlHandler& handler, Parser parser = Parser::Expat,
                  std::size_t chunkSize = 0);
    ~XmlPartStream();
    XmlPartStream(const XmlPartStream&) = delete;
    XmlPartStream& operator=(const XmlPartStream&) = delete;

    // False when the part is absent or cannot be opened.
    bool open(const std::string& partName);
    // Reads and parses the next chunk. Failed covers a damaged entry, XML
    // that is not well-formed and content the handler found invalid.
    Status pump();
    // Parses until the end of the part or until the handler is finished.
    Status parseAll();
    // Whether the scanner gave the part over to expat.
    bool fellBack() const { return fellBack_; }

private:
    static void onStart(void* self, const XML_Char* name, const XML_Char** attributes);
    static void onEnd(void* self, const XML_Char* name);
    static void onText(void* self, const XML_Char* text, int length);
    static void onDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int);
    Status pumpScanner();
    bool startExpat();
    Status drain();
    bool done() const;
    void stopIfDone();
    // Notes where expat's current event ends; returns its length in bytes.
    std::uint64_t noteEvent();
    // Makes the part invalid and stops expat.
    void refuse();

    ZipHandle zip_;
    XmlHandler& handler_;
    zip_uint64_t index_ = 0;
    zip_file_t* file_ = nullptr;
    XML_Parser parser_ = nullptr;
    std::unique_ptr<SheetScanner> scanner_;
    // Start and end events expat is still to keep from the handler: the
    // scanner delivered them before it gave up.
    std::size_t skip_ = 0;
    bool fellBack_ = false;
    std::uint64_t fed_ = 0;        // bytes given to expat
    std::uint64_t lastEvent_ = 0;  // where its last event ended
    std::vector<char> chunk_;
    Status status_ = Status::Failed;
};

// Parses a whole (small) part. Missing when the package has no such part.
enum class PartResult { Parsed, Missing, Failed };
PartResult parsePart(const ZipHandle& zip, const std::string& partName, XmlHandler& handler);

}  // namespace brindle::workbook::detail
