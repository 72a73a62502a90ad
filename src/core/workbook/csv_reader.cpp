// .csv: one sheet of RFC 4180 records, read straight from the file (or the
// bytes in memory).
//
// Encoding: UTF-8 (with or without a byte-order mark) when the whole file is
// valid UTF-8, otherwise GBK, which is what Excel on a Chinese Windows saves.
// Separator: the header line decides. A tab when the header has more tabs
// than commas outside quotes, otherwise a comma; a parameter name may hold a
// comma ("带宽,MHz") but practically never a tab.
//
// Both encodings keep every byte below 0x40 for itself (GBK trail bytes start
// at 0x40), so quotes, separators and line ends can be found in the raw
// bytes and only the finished fields need converting.

#include "core/base/textcodec.h"
#include "core/workbook/internal.h"

namespace brindle::workbook::detail {

namespace {

using Traits = std::char_traits<char>;

// The bytes read front to back through a buffer of their own. A file is
// opened as every file the program reads is: a FIFO is refused rather than
// waited on.
class FileBytes {
public:
    bool open(const ByteSource& source, std::uintmax_t from) {
        offset_ = from;
        auto reader = source.open();
        if (!reader) return false;
        file_ = *std::move(reader);
        return true;
    }
    int peek() {
        return at_ < size_ || refill() ? Traits::to_int_type(buffer_[at_]) : Traits::eof();
    }
    int get() {
        const int c = peek();
        if (!Traits::eq_int_type(c, Traits::eof())) ++at_;
        return c;
    }
    // What is left of the buffer, taken whole; empty at the end.
    std::string_view take() {
        if (at_ == size_ && !refill()) return {};
        const std::string_view rest(buffer_.data() + at_, size_ - at_);
        at_ = size_;
        return rest;
    }
    // Whether reading failed (the end of the file is no failure).
    bool failed() const { return failed_; }

private:
    bool refill() {
        if (failed_) return false;
        const std::optional<std::size_t> got =
            file_.readAt(offset_, buffer_.data(), buffer_.size());
        failed_ = !got;
        at_ = 0;
        size_ = got.value_or(0);
        offset_ += size_;
        return size_ > 0;
    }

    ByteSource::Reader file_;
    std::vector<char> buffer_ = std::vector<char>(64 * 1024);
    std::size_t at_ = 0;
    std::size_t size_ = 0;
    std::uintmax_t offset_ = 0;
    bool failed_ = false;
};

struct CsvFormat {
    std::uintmax_t start = 0;  // past the byte-order mark
    bool gbk = false;
    char separator = ',';
};

char headerSeparator(FileBytes& in) {
    std::size_t commas = 0;
    std::size_t tabs = 0;
    bool quoted = false;
    for (int c = in.get(); c != Traits::eof(); c = in.get()) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        if (c == ',') ++commas;
        if (c == '\t') ++tabs;
    }
    return tabs > commas ? '\t' : ',';
}

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Checked a piece at a time, each piece cut before the first byte of its
// last character, which may not be complete yet: in a valid file no
// character spans two pieces, and a piece never holds more than a buffer.
bool isUtf8(FileBytes& in) {
    std::string pending;
    for (std::string_view more = in.take(); !more.empty(); more = in.take()) {
        pending.append(more);
        std::size_t last = pending.size();
        while (last > 0 && isContinuation(pending[last - 1])) --last;
        if (last == 0 || pending.size() - last > 3) return false;
        --last;
        if (!codec::isValidUtf8(std::string_view(pending).substr(0, last))) return false;
        pending.erase(0, last);
    }
    return codec::isValidUtf8(pending);
}

bool detectFormat(const ByteSource& source, CsvFormat& format) {
    FileBytes bom;
    if (!bom.open(source, 0)) return false;
    if (bom.get() == 0xEF && bom.get() == 0xBB && bom.get() == 0xBF) format.start = 3;
    FileBytes header, text;
    if (!header.open(source, format.start) || !text.open(source, format.start)) return false;
    format.separator = headerSeparator(header);
    format.gbk = !isUtf8(text);
    return !header.failed() && !text.failed();
}

bool hasHighBytes(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

class CsvRowReader final : public RowReader {
public:
    explicit CsvRowReader(CsvFormat format) : format_(format) {}

    bool open(const ByteSource& source) { return file_.open(source, format_.start); }

    bool next(Row& row) override {
        if (ended_) return false;
        if (Traits::eq_int_type(file_.peek(), Traits::eof())) {
            ended_ = true;
            if (file_.failed()) return fail(Kind::CannotOpen);
            return false;
        }
        row.number = ++number_;
        row.cells.clear();
        if (!readRecord(row.cells) || !decode(row.cells)) {
            ended_ = true;
            return false;
        }
        trimTrailingEmpty(row.cells);
        return true;
    }

    const std::optional<WorkbookError>& error() const override { return error_; }

private:
    // One record: fields up to a line end outside quotes. A quote opens a
    // quoted field only at the start of a field; elsewhere it is kept as
    // text, as Excel does.
    bool readRecord(std::vector<std::string>& cells) {
        std::string field;
        bool quoted = false;
        bool atFieldStart = true;
        for (;;) {
            if (field.size() > kMaxCellBytes) return damaged(Kind::LongCell);
            const int c = file_.get();
            if (Traits::eq_int_type(c, Traits::eof())) {
                ended_ = true;
                if (file_.failed()) return fail(Kind::CannotOpen);
                if (quoted) return damaged(Kind::OpenQuote);
                break;
            }
            const char ch = Traits::to_char_type(c);
            if (quoted) {
                if (ch != '"') {
                    field += ch;
                } else if (file_.peek() == '"') {
                    file_.get();
                    field += '"';
                } else {
                    quoted = false;
                }
            } else if (ch == '"' && atFieldStart) {
                quoted = true;
                atFieldStart = false;
            } else if (ch == format_.separator) {
                if (cells.size() + 1 >= kMaxColumns) return damaged(Kind::TooManyFields);
                cells.push_back(std::move(field));
                field.clear();
                atFieldStart = true;
            } else if (ch == '\n') {
                break;
            } else if (ch == '\r') {
                if (file_.peek() == '\n') file_.get();
                break;
            } else {
                field += ch;
                atFieldStart = false;
            }
        }
        cells.push_back(std::move(field));
        return true;
    }

    // ASCII reads the same in both encodings; only fields with other
    // characters go through the converter.
    bool decode(std::vector<std::string>& cells) {
        if (!format_.gbk) return true;
        for (std::string& cell : cells) {
            if (!hasHighBytes(cell)) continue;
            std::optional<std::string> text = codec::fromGbk(cell);
            if (!text) return fail(Kind::Encoding);
            cell = std::move(*text);
        }
        return true;
    }

    bool fail(Kind kind, std::string detail = {}) {
        error_ = WorkbookError{kind, std::move(detail)};
        return false;
    }

    // What is wrong with the record being read, told with its row number.
    bool damaged(Kind kind) { return fail(kind, std::to_string(number_)); }

    FileBytes file_;
    CsvFormat format_;
    std::optional<WorkbookError> error_;
    std::size_t number_ = 0;
    bool ended_ = false;
};

class CsvWorkbook final : public Workbook {
public:
    explicit CsvWorkbook(ByteSource source) : Workbook(source.name()), source_(std::move(source)) {}

    std::vector<std::string> sheetNames() const override {
        const std::u8string stem = path().stem().u8string();
        return {std::string(reinterpret_cast<const char*>(stem.data()), stem.size())};
    }

    Read<std::unique_ptr<RowReader>> rows(std::size_t sheetIndex) override {
        if (sheetIndex != 0) return noSheetAt(sheetIndex);
        // Found once: it takes a pass over the whole file.
        if (!formatKnown_) formatKnown_ = detectFormat(source_, format_);
        auto reader = std::make_unique<CsvRowReader>(format_);
        if (!formatKnown_ || !reader->open(source_)) return WorkbookError{Kind::CannotOpen};
        return std::unique_ptr<RowReader>(std::move(reader));
    }

private:
    ByteSource source_;
    CsvFormat format_;
    bool formatKnown_ = false;
};

}  // namespace

// Nothing can fail yet: the file is first read when its rows are asked for.
Read<std::unique_ptr<Workbook>> openCsv(const ByteSource& source) {
    return std::unique_ptr<Workbook>(std::make_unique<CsvWorkbook>(source));
}

}  // namespace brindle::workbook::detail
