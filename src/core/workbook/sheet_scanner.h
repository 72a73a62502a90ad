#pragma once
// A scanner for worksheet parts that delivers the XmlHandler events expat
// would, for the plain XML spreadsheet writers produce.
//
// Why not expat alone: at province scale a worksheet is some 66 MB of XML,
// and expat took half of the import's CPU on it (about 125 MB/s), which
// kept the import of 200,000 rows from its target. This scanner accepts only
// a small subset of XML: elements with or without one namespace prefix,
// attributes in either quotes, text with the five predefined entities and
// character references, an XML declaration naming UTF-8 or no encoding, and
// whitespace between elements. It gives up on anything else, on anything it
// cannot prove well-formed, and on markup past kLongestTag or kMostAttributes;
// the part is then parsed again from its start by expat, which remains the
// parser of record (see XmlPartStream).
//
// Text is delivered only once the tag after it is complete, so every event
// delivered before giving up is one expat delivers too, in the same place:
// counting the start and end events is enough to resume expat after them.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/workbook/xml_stream.h"

namespace brindle::workbook::detail {

class SheetScanner {
public:
    enum class Status {
        More,     // wants the next bytes
        Done,     // the part ended well-formed
        Stopped,  // the handler is finished or found the content invalid
        GaveUp,   // outside the subset or not proven well-formed
    };

    explicit SheetScanner(XmlHandler& handler) : handler_(handler) {}

    // Room for `size` more bytes of the part, valid until parse().
    char* buffer(std::size_t size);
    // Scans the `size` bytes just written into buffer(); `last` when the part
    // has no more.
    Status parse(std::size_t size, bool last);

    // Start and end events delivered so far.
    std::size_t tagsDelivered() const { return tags_; }

private:
    enum class Step { Ok, NeedMore, GiveUp, Stop };
    enum class Where { Start, Prolog, Content, Epilog };

    Step scanDeclaration(const char*& p, const char* end);
    Step scanContent(const char*& p, const char* end);
    Step scanStartTag(const char*& p, const char* end);
    Step scanEndTag(const char*& p, const char* end);
    // Tells the handler the innermost open element ended and closes it.
    Step closeElement(std::string_view local);
    Step reference(const char*& p, const char* end, std::string& out) const;
    // The byte at `p` of the bytes held, to be written.
    char* writable(const char* p) { return data_.data() + (p - data_.data()); }
    char* decodeInPlace(char* value, const char* valueEnd);
    bool repeatsAName();
    // Moves the text run that ends at `upTo` into text_.
    void keepRun(const char* upTo);
    // Delivers the text that ends where `tag` begins. Most tags follow a tag
    // with no text between: that is told here, without a call.
    Step flushText(const char* tag) {
        if (!text_.empty() || (run_ && run_ != tag)) return deliverText(tag);
        run_ = nullptr;
        return Step::Ok;
    }
    Step deliverText(const char* tag);

    XmlHandler& handler_;
    std::vector<char> data_;
    std::size_t begin_ = 0;  // first byte not yet scanned
    std::size_t end_ = 0;    // end of the bytes held
    bool last_ = false;
    Where where_ = Where::Start;
    std::size_t tags_ = 0;
    std::string text_;                 // text not yet delivered, but for run_
    const char* run_ = nullptr;        // text after text_, in the bytes held
    std::string open_;                 // names of the open elements, each ended by '\0'
    std::vector<std::size_t> openAt_;  // where each name begins in open_
    // An attribute of the tag being scanned, in the bytes held.
    struct Found {
        char* name = nullptr;
        std::size_t nameLength = 0;
        char* value = nullptr;
        char* valueEnd = nullptr;  // its closing quote
        bool references = false;   // its text needs decoding
    };
    std::vector<Found> found_;
    std::string decoded_;                  // one reference, decoded
    std::vector<std::string_view> names_;  // the tag's attribute names, in the bytes held
    std::vector<const char*> attributes_;
};

}  // namespace brindle::workbook::detail
