#include "core/workbook/xml_stream.h"

#include <cstring>

#include "core/base/asciicase.h"
#include "core/workbook/sheet_scanner.h"

namespace brindle::workbook::detail {

namespace {

// Large enough that expat's per-call overhead vanishes, small enough that the
// rows completed by one chunk are a trifle to hold.
constexpr std::size_t kChunkSize = 64 * 1024;

}  // namespace

std::string_view withoutPrefix(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? std::string_view(colon + 1) : std::string_view(name);
}

const char* attribute(const char** attributes, std::string_view localName) {
    for (const char** a = attributes; a[0]; a += 2)
        if (withoutPrefix(a[0]) == localName) return a[1];
    return nullptr;
}

zip_int64_t findPart(zip_t* zip, const std::string& name) {
    const zip_int64_t index = zip_name_locate(zip, name.c_str(), ZIP_FL_NOCASE);
    if (index >= 0) return index;
    // Some writers store entry names with backslashes ("xl\\workbook.xml") or
    // a leading slash; the spreadsheet application reads those packages too.
    const auto normal = [](std::string_view entry) {
        std::string out;
        for (char c : entry) {
            out += c == '\\' ? '/' : ascii::lower(c);
        }
        return out.substr(out.find_first_not_of('/') == std::string::npos
                              ? out.size()
                              : out.find_first_not_of('/'));
    };
    const std::string wanted = normal(name);
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* entry = zip_get_name(zip, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        if (entry && normal(entry) == wanted) return i;
    }
    return -1;
}

XmlPartStream::XmlPartStream(ZipHandle zip, XmlHandler& handler, Parser parser,
                             std::size_t chunkSize)
    : zip_(std::move(zip)),
      handler_(handler),
      scanner_(parser == Parser::Scanner ? std::make_unique<SheetScanner>(handler) : nullptr),
      chunk_(chunkSize ? chunkSize : kChunkSize) {}

XmlPartStream::~XmlPartStream() {
    if (parser_) XML_ParserFree(parser_);
    if (file_) zip_fclose(file_);
}

bool XmlPartStream::open(const std::string& partName) {
    const zip_int64_t index = findPart(zip_.get(), partName);
    if (index < 0) return false;
    index_ = static_cast<zip_uint64_t>(index);
    file_ = zip_fopen_index(zip_.get(), index_, 0);
    if (!file_ || (!scanner_ && !startExpat())) return false;
    status_ = Status::More;
    return true;
}

bool XmlPartStream::startExpat() {
    parser_ = XML_ParserCreate(nullptr);
    if (!parser_) return false;
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, onStart, onEnd);
    XML_SetCharacterDataHandler(parser_, onText);
    XML_SetStartDoctypeDeclHandler(parser_, onDoctype);
    return true;
}

XmlPartStream::Status XmlPartStream::pump() {
    if (status_ != Status::More) return status_;
    if (scanner_) return status_ = pumpScanner();
    // The entry is inflated straight into expat's own buffer: a worksheet
    // of 60 MB is then not copied once more on its way in.
    void* buffer = XML_GetBuffer(parser_, static_cast<int>(chunk_.size()));
    if (!buffer) return status_ = Status::Failed;
    const zip_int64_t got = zip_fread(file_, buffer, chunk_.size());
    if (got < 0) return status_ = Status::Failed;
    const bool last = got == 0;
    fed_ += static_cast<std::uint64_t>(got);
    const XML_Status parsed = XML_ParseBuffer(parser_, static_cast<int>(got), last);
    // A handler's verdict comes first: stopping the parser on purpose also
    // makes XML_Parse report an error.
    if (handler_.invalid) return status_ = Status::Failed;
    if (handler_.finished) return status_ = drain();
    if (parsed != XML_STATUS_OK) return status_ = Status::Failed;
    // Expat holds an unfinished tag whole and, in this version, reads it again
    // from its start with every chunk: one that has grown past any real tag
    // is refused before it costs more.
    if (fed_ - lastEvent_ > kLongestTag) return status_ = Status::Failed;
    return status_ = last ? Status::Done : Status::More;
}

XmlPartStream::Status XmlPartStream::pumpScanner() {
    char* buffer = scanner_->buffer(chunk_.size());
    const zip_int64_t got = zip_fread(file_, buffer, chunk_.size());
    if (got < 0) return Status::Failed;
    const bool last = got == 0;
    switch (scanner_->parse(static_cast<std::size_t>(got), last)) {
        case SheetScanner::Status::More:
            return Status::More;
        case SheetScanner::Status::Done:
            return Status::Done;
        case SheetScanner::Status::Stopped:
            return handler_.invalid ? Status::Failed : drain();
        case SheetScanner::Status::GaveUp:
            break;
    }
    // Expat reads the part again from its start; the events the scanner
    // delivered are the first expat finds, so it keeps just those back.
    skip_ = scanner_->tagsDelivered();
    scanner_.reset();
    fellBack_ = true;
    zip_fclose(file_);
    file_ = zip_fopen_index(zip_.get(), index_, 0);
    if (!file_ || !startExpat()) return Status::Failed;
    status_ = Status::More;
    return pump();
}

// libzip checks an entry's checksum only once it is read to the end, so the
// rest of a finished part is still read, though not parsed: a damaged entry
// must not pass for a good one.
XmlPartStream::Status XmlPartStream::drain() {
    zip_int64_t got;
    while ((got = zip_fread(file_, chunk_.data(), chunk_.size())) > 0) {
    }
    return got < 0 ? Status::Failed : Status::Done;
}

XmlPartStream::Status XmlPartStream::parseAll() {
    Status status;
    while ((status = pump()) == Status::More) {
    }
    return status;
}

// Exceptions must not cross expat's C frames; a failure to allocate while
// handling an element is reported like any other unreadable content.
void XmlPartStream::onStart(void* self, const XML_Char* name, const XML_Char** attributes) {
    auto* stream = static_cast<XmlPartStream*>(self);
    const bool tooLong = stream->noteEvent() > kLongestTag;
    std::size_t count = 0;
    while (count <= kMostAttributes && attributes[2 * count]) ++count;
    if (tooLong || count > kMostAttributes) return stream->refuse();
    if (stream->skip_ > 0) {
        --stream->skip_;
        return;
    }
    if (stream->done()) return;
    deliver(stream->handler_,
            [&] { stream->handler_.startElement(withoutPrefix(name), attributes); });
    stream->stopIfDone();
}

void XmlPartStream::onEnd(void* self, const XML_Char* name) {
    auto* stream = static_cast<XmlPartStream*>(self);
    if (stream->noteEvent() > kLongestTag) return stream->refuse();
    if (stream->skip_ > 0) {
        --stream->skip_;
        return;
    }
    if (stream->done()) return;
    deliver(stream->handler_, [&] { stream->handler_.endElement(withoutPrefix(name)); });
    stream->stopIfDone();
}

void XmlPartStream::onText(void* self, const XML_Char* text, int length) {
    auto* stream = static_cast<XmlPartStream*>(self);
    stream->noteEvent();
    // Text before the last event skipped reached the handler already.
    if (stream->skip_ > 0 || stream->done()) return;
    deliver(stream->handler_, [&] {
        stream->handler_.characters(std::string_view(text, static_cast<std::size_t>(length)));
    });
    stream->stopIfDone();
}

// Package parts never carry a DTD; refusing one shuts out entity expansion
// tricks altogether.
void XmlPartStream::onDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    static_cast<XmlPartStream*>(self)->refuse();
}

// The scanner gives the same markup up to expat, so whichever parser reads a
// part, expat is the one that refuses it.
std::uint64_t XmlPartStream::noteEvent() {
    const auto at = static_cast<std::uint64_t>(XML_GetCurrentByteIndex(parser_));
    const auto length = static_cast<std::uint64_t>(XML_GetCurrentByteCount(parser_));
    lastEvent_ = at + length;
    return length;
}

void XmlPartStream::refuse() {
    handler_.invalid = true;
    stopIfDone();
}

// expat may still deliver an event or two after being stopped; done() keeps
// them from the handler.
bool XmlPartStream::done() const {
    return handler_.finished || handler_.invalid;
}

void XmlPartStream::stopIfDone() {
    if (done()) XML_StopParser(parser_, XML_FALSE);
}

PartResult parsePart(const ZipHandle& zip, const std::string& partName, XmlHandler& handler) {
    if (findPart(zip.get(), partName) < 0) return PartResult::Missing;
    XmlPartStream stream(zip, handler);
    if (!stream.open(partName)) return PartResult::Failed;
    return stream.parseAll() == XmlPartStream::Status::Done ? PartResult::Parsed
                                                            : PartResult::Failed;
}

}  // namespace brindle::workbook::detail
