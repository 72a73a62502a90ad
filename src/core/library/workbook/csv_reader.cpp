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

#include <fstream>

#include "core/base/textcodec.h"
#include "core/library/workbook/internal.h"

namespace brindle::workbook::detail {

namespace {

using Traits = std::char_traits<char>;

struct CsvFormat {
    std::streamoff start = 0;  // past the byte-order mark
    bool gbk = false;
    char separator = ',';
};

char headerSeparator(std::istream& in) {
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

// Checked a piece at a time, each piece ending at a line end: no UTF-8 or
// GBK character spans one, so no piece splits a character.
bool isUtf8(std::istream& in) {
    std::vector<char> chunk(64 * 1024);
    std::string pending;
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
        pending.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
        const std::size_t end = pending.find_last_of("\r\n");
        if (end == std::string::npos) continue;
        if (!codec::isValidUtf8(std::string_view(pending).substr(0, end + 1))) return false;
        pending.erase(0, end + 1);
    }
    return codec::isValidUtf8(pending);
}

bool detectFormat(const std::filesystem::path& path, CsvFormat& format) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    char bom[3] = {};
    in.read(bom, sizeof bom);
    if (in.gcount() == 3 && std::string_view(bom, 3) == "\xEF\xBB\xBF") format.start = 3;
    in.clear();
    in.seekg(format.start);
    format.separator = headerSeparator(in);
    in.clear();
    in.seekg(format.start);
    format.gbk = !isUtf8(in);
    return !in.bad();
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

    bool open(const std::filesystem::path& path) {
        return file_.open(path, std::ios::in | std::ios::binary) &&
               file_.pubseekpos(format_.start, std::ios::in) == format_.start;
    }

    bool next(Row& row) override {
        if (ended_) return false;
        if (Traits::eq_int_type(file_.sgetc(), Traits::eof())) {
            ended_ = true;
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
            const int c = file_.sbumpc();
            if (Traits::eq_int_type(c, Traits::eof())) {
                ended_ = true;
                if (quoted)
                    return fail(std::string(reason::kDamaged) + "（第 " + std::to_string(number_) +
                                " 行的引号没有闭合）");
                break;
            }
            const char ch = Traits::to_char_type(c);
            if (quoted) {
                if (ch != '"') {
                    field += ch;
                } else if (file_.sgetc() == '"') {
                    file_.sbumpc();
                    field += '"';
                } else {
                    quoted = false;
                }
            } else if (ch == '"' && atFieldStart) {
                quoted = true;
                atFieldStart = false;
            } else if (ch == format_.separator) {
                cells.push_back(std::move(field));
                field.clear();
                atFieldStart = true;
            } else if (ch == '\n') {
                break;
            } else if (ch == '\r') {
                if (file_.sgetc() == '\n') file_.sbumpc();
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

    std::filebuf file_;
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
