// .csv: one sheet of RFC 4180 records, read straight from the file.
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

#include "core/base/platform.h"
#include "core/base/textcodec.h"
#include "core/workbook/internal.h"

namespace brindle::workbook::detail {

namespace {

using Traits = std::char_traits<char>;

// The file read front to back through a buffer of its own. It is opened as
// every file the program reads is: a FIFO is refused rather than waited on.
class FileBytes {
public:
    bool open(const std::filesystem::path& path, std::uintmax_t from) {
        offset_ = from;
        return file_.open(path) == platform::FileContents::State::Read;
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

    platform::FileReader file_;
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

bool detectFormat(const std::filesystem::path& path, CsvFormat& format) {
    FileBytes bom;
    if (!bom.open(path, 0)) return false;
    if (bom.get() == 0xEF && bom.get() == 0xBB && bom.get() == 0xBF) format.start = 3;
    FileBytes header, text;
    if (!header.open(path, format.start) || !text.open(path, format.start)) return false;
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
    CsvRowReader(CsvFormat format, std::string failurePrefix)
        : format_(format), failurePrefix_(std::move(failurePrefix)) {}

    bool open(const std::filesystem::path& path) { return file_.open(path, format_.start); }

    bool next(Row& row) override {
        if (ended_) return false;
        if (Traits::eq_int_type(file_.peek(), Traits::eof())) {
            ended_ = true;
            if (file_.failed()) return fail(std::string(reason::kCannotOpen));
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

    const std::string& error() const override { return error_; }

private:
    // One record: fields up to a line end outside quotes. A quote opens a
    // quoted field only at the start of a field; elsewhere it is kept as
    // text, as Excel does.
    bool readRecord(std::vector<std::string>& cells) {
        std::string field;
        bool quoted = false;
        bool atFieldStart = true;
        for (;;) {
            if (field.size() > kMaxCellBytes) return damaged("单元格过长");
            const int c = file_.get();
            if (Traits::eq_int_type(c, Traits::eof())) {
                ended_ = true;
                if (file_.failed()) return fail(std::string(reason::kCannotOpen));
                if (quoted) return damaged("引号没有闭合");
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
                if (cells.size() + 1 >= kMaxColumns)
                    return damaged("列数超过 " + std::to_string(kMaxColumns));
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
            if (!text) return fail(std::string(reason::kEncoding));
            cell = std::move(*text);
        }
        return true;
    }

    bool fail(const std::string& reason) {
        error_ = failurePrefix_ + reason;
        return false;
    }

    // What is wrong with the record being read, told with its row number.
    bool damaged(const std::string& what) {
        return fail(std::string(reason::kDamaged) + "（第 " + std::to_string(number_) + " 行的" +
                    what + "）");
    }

    FileBytes file_;
    CsvFormat format_;
    std::string failurePrefix_;
    std::string error_;
    std::size_t number_ = 0;
    bool ended_ = false;
};

class CsvWorkbook final : public Workbook {
public:
    explicit CsvWorkbook(const std::filesystem::path& path) : Workbook(path) {}

    std::vector<std::string> sheetNames() const override {
        const std::u8string stem = path().stem().u8string();
        return {std::string(reinterpret_cast<const char*>(stem.data()), stem.size())};
    }

    Result<std::unique_ptr<RowReader>> rows(std::size_t sheetIndex) override {
        if (sheetIndex != 0)
            return fail(failure("工作簿中没有第 " + std::to_string(sheetIndex + 1) + " 个工作表"));
        // Found once: it takes a pass over the whole file.
        if (!formatKnown_) formatKnown_ = detectFormat(path(), format_);
        auto reader = std::make_unique<CsvRowReader>(format_, failure(""));
        if (!formatKnown_ || !reader->open(path())) return fail(failure(reason::kCannotOpen));
        return reader;
    }

private:
    CsvFormat format_;
    bool formatKnown_ = false;
};

}  // namespace

// Nothing can fail yet: the file is first read when its rows are asked for.
Result<std::unique_ptr<Workbook>> openCsv(const std::filesystem::path& path) {
    return std::make_unique<CsvWorkbook>(path);
}

}  // namespace brindle::workbook::detail
