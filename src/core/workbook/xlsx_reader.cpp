// .xlsx / .xlsm: a zip package of SpreadsheetML parts. The package is
// followed the way Excel follows it: _rels/.rels names the workbook part, the
// workbook lists its sheets in order and its relationships name each sheet's
// part. A worksheet is parsed only as far as the caller reads it.

#include <algorithm>
#include <charconv>
#include <deque>

#include "core/base/textcodec.h"
#include "core/workbook/cellformat.h"
#include "core/workbook/internal.h"
#include "core/workbook/xml_stream.h"

namespace brindle::workbook::detail {

namespace {

using SharedStrings = std::shared_ptr<const std::vector<std::string>>;
using Styles = std::shared_ptr<const CellStyles>;

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// ---- package paths ----------------------------------------------------------

// A relationship target is relative to the folder of the part that names it,
// or absolute ("/xl/worksheets/sheet1.xml") from the package root.
std::string resolvePart(std::string_view baseFolder, std::string_view target) {
    std::string joined = !target.empty() && (target[0] == '/' || target[0] == '\\')
                             ? std::string(target.substr(1))
                             : std::string(baseFolder) + std::string(target);
    std::replace(joined.begin(), joined.end(), '\\', '/');
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t slash = joined.find('/', start);
        if (slash == std::string::npos) slash = joined.size();
        const std::string segment = joined.substr(start, slash - start);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    std::string part;
    for (const std::string& segment : segments) part += (part.empty() ? "" : "/") + segment;
    return part;
}

std::string folderOf(const std::string& part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string relationshipsOf(const std::string& part) {
    const std::string folder = folderOf(part);
    return folder + "_rels/" + part.substr(folder.size()) + ".rels";
}

// ---- cell text --------------------------------------------------------------

// Excel writes characters XML cannot carry, carriage returns above all, as
// "_xHHHH_" (and a literal "_x" sequence as "_x005F_x..."). Decoded in place:
// the seven bytes of an escape stand for at most three of UTF-8.
void decodeEscapes(std::string& text) {
    if (text.find("_x") == std::string::npos) return;
    std::size_t out = 0;
    std::string character;
    for (std::size_t i = 0; i < text.size();) {
        unsigned code = 0;
        if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_') {
            const char* first = text.data() + i + 2;
            const auto [end, ec] = std::from_chars(first, first + 4, code, 16);
            if (ec == std::errc() && end == first + 4 && code != 0 &&
                (code < 0xD800 || code > 0xDFFF)) {
                character.clear();
                codec::appendUtf8(character, code);
                std::copy(character.begin(), character.end(), text.begin() + out);
                out += character.size();
                i += 7;
                continue;
            }
        }
        text[out++] = text[i++];
    }
    text.resize(out);
}

// An integer that General shows exactly as it is stored: at most 15 digits
// (General writes those without an exponent), no leading zero, no sign but
// a minus, and not "-0" (shown as "0"). Most numbers of a cell workbook are
// such integers.
bool plainInteger(std::string_view text) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (digits.empty() || digits.size() > 15) return false;
    if (digits[0] == '0' && (digits.size() > 1 || negative)) return false;
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

template <typename T>
bool parseWhole(std::string_view text, T& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Column of a cell reference: "A7" is 0, "AA7" is 26. Absolute references
// ("$A$7") and lower-case letters ("a7") are read as the spreadsheet reads them.
bool columnOfReference(std::string_view reference, std::size_t& column) {
    std::size_t number = 0;
    std::size_t letters = 0;
    std::size_t i = reference.empty() || reference[0] != '$' ? 0 : 1;
    for (; i < reference.size(); ++i) {
        char c = reference[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') break;
        number = number * 26 + static_cast<std::size_t>(c - 'A' + 1);
        ++letters;
        if (number > kMaxColumns) return false;
    }
    if (letters == 0) return false;
    column = number - 1;
    return true;
}

// Adds to the text of one cell; false, adding nothing, past what a cell holds.
bool appendCellText(std::string& text, std::string_view more) {
    if (text.size() + more.size() > kMaxCellBytes) return false;
    text += more;
    return true;
}

// ---- small parts ------------------------------------------------------------

struct Relationship {
    std::string id;
    std::string type;
    std::string target;
};

struct RelationshipsHandler : XmlHandler {
    std::vector<Relationship> relationships;

    void startElement(std::string_view name, const char** attributes) override {
        if (name != "Relationship") return;
        const char* mode = attribute(attributes, "TargetMode");
        if (mode && std::string_view(mode) == "External") return;
        const char* id = attribute(attributes, "Id");
        const char* type = attribute(attributes, "Type");
        const char* target = attribute(attributes, "Target");
        if (id && type && target) relationships.push_back({id, type, target});
    }
    void endElement(std::string_view) override {}

    const Relationship* ofType(std::string_view typeTail) const {
        for (const Relationship& r : relationships)
            if (endsWith(r.type, typeTail)) return &r;
        return nullptr;
    }
    const Relationship* withId(std::string_view id) const {
        for (const Relationship& r : relationships)
            if (r.id == id) return &r;
        return nullptr;
    }
};

struct SheetReference {
    std::string name;
    std::string relationshipId;
};

struct WorkbookHandler : XmlHandler {
    std::string root;
    std::vector<SheetReference> sheets;
    bool date1904 = false;

    void startElement(std::string_view name, const char** attributes) override {
        if (root.empty()) root = name;
        if (name == "workbookPr") {
            const char* flag = attribute(attributes, "date1904");
            date1904 = flag && (std::string_view(flag) == "1" || std::string_view(flag) == "true");
        }
        if (name != "sheet") return;
        const char* sheetName = attribute(attributes, "name");
        const char* id = attribute(attributes, "id");  // r:id
        sheets.push_back({sheetName ? sheetName : "", id ? id : ""});
    }
    void endElement(std::string_view name) override {
        if (name == "sheets") finished = true;
    }
};

// Text of every <si>: its own <t>, or its rich-text runs joined. Phonetic
// guides (<rPh>) are reading aids, not part of the text. A part past its
// limits is invalid, and so is an item longer than a cell can hold.
struct SharedStringsHandler : XmlHandler {
    std::vector<std::string> strings;

    explicit SharedStringsHandler(SharedStringLimits limits) : limits_(limits) {}

    void startElement(std::string_view name, const char** /*attributes*/) override {
        if (name == "si") {
            inItem_ = true;
            phonetic_ = 0;
            current_.clear();
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t") {
            collecting_ = inItem_ && phonetic_ == 0;
        }
    }
    void endElement(std::string_view name) override {
        if (name == "t") {
            collecting_ = false;
        } else if (name == "rPh") {
            --phonetic_;
        } else if (name == "si") {
            if (strings.size() >= limits_.count) {
                invalid = true;
                return;
            }
            decodeEscapes(current_);
            strings.push_back(std::move(current_));
            current_.clear();
            inItem_ = false;
        }
    }
    void characters(std::string_view text) override {
        if (!collecting_) return;
        bytes_ += text.size();
        if (bytes_ > limits_.bytes || !appendCellText(current_, text)) invalid = true;
    }

private:
    bool inItem_ = false;
    bool collecting_ = false;
    int phonetic_ = 0;
    std::string current_;
    SharedStringLimits limits_;
    std::size_t bytes_ = 0;  // text of all items so far
};

// The number formats of styles.xml: custom codes (<numFmts>) and the format
// of every cell style (<cellXfs>, which a cell names by index in "s").
struct StylesHandler : XmlHandler {
    CellStyles styles;

    void startElement(std::string_view name, const char** attributes) override {
        if (name == "cellXfs") {
            inCellXfs_ = true;
        } else if (name == "numFmt") {
            const char* id = attribute(attributes, "numFmtId");
            const char* code = attribute(attributes, "formatCode");
            int number = 0;
            if (id && code && parseWhole(std::string_view(id), number))
                styles.defineFormat(number, code);
        } else if (name == "xf" && inCellXfs_) {
            const char* id = attribute(attributes, "numFmtId");
            int number = 0;
            styles.addStyle(id && parseWhole(std::string_view(id), number) ? number : 0);
        }
    }
    void endElement(std::string_view name) override {
        if (name == "cellXfs") inCellXfs_ = false;
    }

private:
    bool inCellXfs_ = false;
};

// Whether a sheet part stores its rows in ascending order. This reads the
// row numbers straight from the bytes, without an XML parse: it runs over
// the whole sheet, and a full parse would cost as much as reading every row.
// Element names may carry a prefix ("x:row"); a row without "r" follows the
// last. Damage is left to the real parse.
bool rowsAscend(zip_t* zip, const std::string& part) {
    const zip_int64_t index = findPart(zip, part);
    if (index < 0) return true;
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(
        zip_fopen_index(zip, static_cast<zip_uint64_t>(index), 0), zip_fclose);
    if (!file) return true;
    std::string buffer;
    std::vector<char> chunk(1 << 18);
    std::size_t last = 0;
    std::size_t searched = 0;  // how far the unfinished tag at the start was searched for its '>'
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), chunk.data(), chunk.size());
        if (got <= 0) return true;
        buffer.append(chunk.data(), static_cast<std::size_t>(got));
        std::size_t at = 0;
        std::size_t keep = buffer.size();  // where an unfinished tag starts
        while ((at = buffer.find('<', at)) != std::string::npos) {
            const std::size_t close = buffer.find('>', std::max(at, searched));
            searched = 0;
            if (close == std::string::npos) {
                keep = at;
                break;
            }
            std::string_view tag(buffer.data() + at + 1, close - at - 1);
            at = close;
            const std::size_t nameEnd = tag.find_first_of(" \t\r\n/");
            std::string_view name = tag.substr(0, nameEnd);
            if (const std::size_t colon = name.find(':'); colon != std::string_view::npos)
                name.remove_prefix(colon + 1);
            if (name != "row") continue;
            std::size_t number = last + 1;
            for (std::size_t r = tag.find("r=", nameEnd); r != std::string_view::npos;
                 r = tag.find("r=", r + 2)) {
                const char before = tag[r - 1];
                if (before != ' ' && before != '\t' && before != '\r' && before != '\n') continue;
                std::size_t digits = r + 3;
                std::size_t value = 0;
                bool any = false;
                for (; digits < tag.size() && tag[digits] >= '0' && tag[digits] <= '9'; ++digits) {
                    value = value * 10 + static_cast<std::size_t>(tag[digits] - '0');
                    any = true;
                    if (value > kMaxRows) break;
                }
                if (any) number = value;
                break;
            }
            if (number <= last) return false;
            last = number;
        }
        buffer.erase(0, keep);
        // A tag longer than any tag may be is refused by the parse; its row
        // number, if it has one, cannot be told here without holding it all.
        // The sheet is then read whole and sorted, which is right either way.
        if (buffer.size() > kLongestTag) return false;
        searched = buffer.size();
    }
}

// ---- the worksheet ----------------------------------------------------------

// Turns <sheetData> into rows as its elements arrive. Completed rows wait in
// `rows` until handed out; one parsed chunk completes at most a few thousand.
class SheetHandler : public XmlHandler {
    // A cell's "t": number (none or "n"), shared string, inline string,
    // formula string, boolean, ISO date, or error, kept as written.
    enum class Type { Number, Shared, Inline, Formula, Boolean, Date, Other };
    static Type typeOf(const char* t) {
        if (!t) return Type::Number;
        const std::string_view type(t);
        if (type == "s") return Type::Shared;
        if (type == "inlineStr") return Type::Inline;
        if (type == "str") return Type::Formula;
        if (type == "b") return Type::Boolean;
        if (type == "n") return Type::Number;
        if (type == "d") return Type::Date;
        return Type::Other;
    }

public:
    // `anyOrder`: rows may come in any order (they are sorted afterwards);
    // otherwise a row that does not follow the last one ends the parse with
    // `outOfOrder` set.
    SheetHandler(SharedStrings strings, Styles styles, bool anyOrder)
        : strings_(std::move(strings)), styles_(std::move(styles)), anyOrder_(anyOrder) {
        spare_.reserve(kSpareRows);
    }

    std::deque<Row> rows;
    bool outOfOrder = false;

    // A row handed out earlier and given back: the next row is read into its
    // cells, whose memory is then used again instead of freed and taken anew.
    void recycle(Row&& row) {
        if (spare_.size() < spare_.capacity()) spare_.push_back(std::move(row));
    }

    // The one-letter elements (<c>, <v>, <t>) come first: they are most of a sheet.
    void startElement(std::string_view name, const char** attributes) override {
        if (!inSheetData_) {
            inSheetData_ = name == "sheetData";
        } else if (name.size() == 1) {
            if (name[0] == 'c') {
                startCell(attributes);
            } else if (!inCell_) {
                return;
            } else if (name[0] == 'v') {
                collecting_ = !inInline_;
                target_ = &value_;
            } else if (name[0] == 't') {
                collecting_ = inInline_ && phonetic_ == 0;
                target_ = &inline_;
            }
        } else if (name == "row") {
            startRow(attributes);
        } else if (!inCell_) {
            return;
        } else if (name == "is") {
            inInline_ = true;
        } else if (name == "rPh") {
            ++phonetic_;
        }
    }

    void endElement(std::string_view name) override {
        if (!inSheetData_) return;
        if (name.size() == 1) {
            if (name[0] == 'c')
                endCell();
            else if (name[0] == 'v' || name[0] == 't')
                collecting_ = false;
        } else if (name == "row") {
            endRow();
        } else if (name == "sheetData") {
            finished = true;  // the rest of the part holds no cells
        } else if (name == "is") {
            inInline_ = false;
        } else if (name == "rPh") {
            --phonetic_;
        }
    }

    void characters(std::string_view text) override {
        if (collecting_ && !appendCellText(*target_, text)) invalid = true;
    }

private:
    // A row without "r" follows the last.
    void startRow(const char** attributes) {
        std::size_t number = lastRow_ + 1;
        const char* r = attribute(attributes, "r");
        if ((r && !parseWhole(std::string_view(r), number)) || number == 0 || number > kMaxRows) {
            invalid = true;
            return;
        }
        if (number <= lastRow_ && !anyOrder_) {
            outOfOrder = finished = true;
            return;
        }
        if (!spare_.empty()) {
            row_ = std::move(spare_.back());
            spare_.pop_back();
        }
        row_.number = number;
        for (std::string& cell : row_.cells) cell.clear();
        nextColumn_ = 0;
        inRow_ = true;
    }

    void endRow() {
        trimTrailingEmpty(row_.cells);
        lastRow_ = row_.number;
        rows.push_back(std::move(row_));
        row_ = Row();
        inRow_ = false;
    }

    // A cell without "r" follows the previous cell of its row.
    void startCell(const char** attributes) {
        // One pass over the attributes: this runs for every cell of the sheet.
        const char *r = nullptr, *t = nullptr, *style = nullptr;
        for (const char** a = attributes; a[0]; a += 2) {
            // Most are one letter, with no prefix to look for.
            const std::string_view name =
                a[0][0] && !a[0][1] ? std::string_view(a[0], 1) : withoutPrefix(a[0]);
            if (name == "r")
                r = a[1];
            else if (name == "t")
                t = a[1];
            else if (name == "s")
                style = a[1];
        }
        std::size_t column = nextColumn_;
        if (!inRow_ || (r && !columnOfReference(r, column)) || column >= kMaxColumns) {
            invalid = true;
            return;
        }
        type_ = typeOf(t);
        style_ = 0;
        if (style && !parseWhole(std::string_view(style), style_)) style_ = 0;
        column_ = column;
        nextColumn_ = column + 1;
        value_.clear();
        inline_.clear();
        inCell_ = true;
        inInline_ = false;
        phonetic_ = 0;
    }

    // The text is made in text_ and swapped into its cell: the cell's
    // memory becomes text_'s for the next cell, and none is taken anew.
    void endCell() {
        inCell_ = collecting_ = false;
        text_.clear();
        if (!cellText(text_)) {
            invalid = true;
            return;
        }
        if (text_.empty()) return;
        if (row_.cells.size() <= column_) row_.cells.resize(column_ + 1);
        row_.cells[column_].swap(text_);
    }

    // The text of the finished cell by its type, into the empty `value`;
    // false when it refers to a shared string that does not exist.
    bool cellText(std::string& value) {
        if (type_ == Type::Shared) {
            if (value_.empty()) return true;
            std::size_t index = 0;
            if (!strings_ || !parseWhole(std::string_view(value_), index) ||
                index >= strings_->size())
                return false;
            value = (*strings_)[index];
        } else if (type_ == Type::Inline) {
            value.swap(inline_);  // its <is> text, never a <v> beside it
            decodeEscapes(value);
        } else if (type_ == Type::Formula) {
            value.swap(value_);
            decodeEscapes(value);
        } else if (type_ == Type::Boolean) {
            value = value_ == "1"   ? std::string(renderBoolean(true))
                    : value_ == "0" ? std::string(renderBoolean(false))
                                    : value_;
        } else if (type_ == Type::Date) {
            // Text that is no date the spreadsheet can show is shown as stored.
            value = styles_->isoDate(value_, style_).value_or(value_);
        } else if (type_ == Type::Other) {
            value = value_;
        } else if (plainInteger(value_) && styles_->isGeneral(style_)) {
            value = value_;  // what General would make of it, without the round trip
        } else {
            double number = 0;
            value = parseWhole(std::string_view(value_), number) ? styles_->number(number, style_)
                                                                 : value_;
        }
        return true;
    }

    SharedStrings strings_;
    Styles styles_;
    bool anyOrder_;
    bool inSheetData_ = false;
    bool inRow_ = false;
    bool inCell_ = false;
    bool inInline_ = false;
    bool collecting_ = false;
    int phonetic_ = 0;
    std::size_t lastRow_ = 0;
    std::size_t nextColumn_ = 0;
    std::size_t column_ = 0;
    std::size_t style_ = 0;
    Type type_ = Type::Number;
    std::string value_;   // <v>
    std::string inline_;  // the <t> of an inline string
    std::string* target_ = &value_;
    std::string text_;  // the finished cell's text
    Row row_;
    // As many as one chunk of the sheet may complete, each of a row's size.
    static constexpr std::size_t kSpareRows = 1024;
    std::vector<Row> spare_;
};

// Hands out rows in row order. Rows are parsed only as far as they are
// asked for while the sheet stores them in ascending order, which nearly
// every writer does. Before a row the file leaves out is handed out as empty
// (the end of an import), one scan of the row numbers makes sure the row is
// not stored further on; a sheet whose rows are out of order is then read
// whole and sorted, as the spreadsheet application would show it.
class XlsxRowReader final : public RowReader {
public:
    XlsxRowReader(ZipHandle zip, std::string part, SharedStrings strings, Styles styles)
        : zip_(std::move(zip)),
          part_(std::move(part)),
          strings_(std::move(strings)),
          styles_(std::move(styles)) {}

    bool open() { return start(false); }

    bool next(Row& row) override {
        if (error_) return false;
        fill();
        if (handler_->outOfOrder && !readWholeSorted()) return false;
        if (handler_->rows.empty()) {
            if (failed_) error_ = WorkbookError{Kind::Damaged};
            return false;
        }
        if (handler_->rows.front().number > nextNumber_) {  // a row the file leaves out
            if (!orderKnown_) {
                orderKnown_ = true;
                if (!rowsAscend(zip_.get(), part_)) {
                    if (!readWholeSorted()) return false;
                    return next(row);
                }
            }
            row.number = nextNumber_++;
            row.cells.clear();
            return true;
        }
        std::swap(row, handler_->rows.front());
        handler_->recycle(std::move(handler_->rows.front()));
        handler_->rows.pop_front();
        ++nextNumber_;
        return true;
    }

    const std::optional<WorkbookError>& error() const override { return error_; }

private:
    bool start(bool anyOrder) {
        handler_ = std::make_unique<SheetHandler>(strings_, styles_, anyOrder);
        stream_ = std::make_unique<XmlPartStream>(zip_, *handler_, XmlPartStream::Parser::Scanner);
        ended_ = failed_ = false;
        return stream_->open(part_);
    }

    void fill() {
        while (handler_->rows.empty() && !ended_) {
            const XmlPartStream::Status status = stream_->pump();
            failed_ = status == XmlPartStream::Status::Failed && !handler_->outOfOrder;
            ended_ = status != XmlPartStream::Status::More;
        }
    }

    // Parses the whole sheet in any order, sorts its rows (a row stored twice
    // is one row, later cells over earlier ones) and drops those handed out.
    bool readWholeSorted() {
        orderKnown_ = true;
        if (!start(true)) {
            error_ = WorkbookError{Kind::Damaged};
            return false;
        }
        failed_ = stream_->parseAll() == XmlPartStream::Status::Failed;
        ended_ = true;
        std::deque<Row>& rows = handler_->rows;
        std::stable_sort(rows.begin(), rows.end(),
                         [](const Row& a, const Row& b) { return a.number < b.number; });
        std::deque<Row> merged;
        for (Row& r : rows) {
            if (r.number < nextNumber_) continue;
            if (!merged.empty() && merged.back().number == r.number) {
                Row& into = merged.back();
                if (into.cells.size() < r.cells.size()) into.cells.resize(r.cells.size());
                for (std::size_t c = 0; c < r.cells.size(); ++c)
                    if (!r.cells[c].empty()) into.cells[c] = std::move(r.cells[c]);
            } else {
                merged.push_back(std::move(r));
            }
        }
        rows = std::move(merged);
        return true;
    }

    ZipHandle zip_;
    std::string part_;
    SharedStrings strings_;
    Styles styles_;
    std::unique_ptr<SheetHandler> handler_;
    std::unique_ptr<XmlPartStream> stream_;
    std::optional<WorkbookError> error_;
    std::size_t nextNumber_ = 1;
    bool ended_ = false;
    bool failed_ = false;
    bool orderKnown_ = false;  // the rows' order was checked (or they were sorted)
};

// ---- the workbook -----------------------------------------------------------

struct SheetPart {
    std::string name;
    std::string part;
};

struct SheetList {
    std::vector<SheetPart> sheets;
    std::string sharedStringsPart;
    std::string stylesPart;
    bool date1904 = false;
};

class XlsxWorkbook final : public Workbook {
public:
    XlsxWorkbook(const std::filesystem::path& path, ZipHandle zip, SheetList list,
                 SharedStringLimits limits)
        : Workbook(path), zip_(std::move(zip)), list_(std::move(list)), limits_(limits) {}

    std::vector<std::string> sheetNames() const override {
        std::vector<std::string> names;
        for (const SheetPart& sheet : list_.sheets) names.push_back(sheet.name);
        return names;
    }

    Read<std::unique_ptr<RowReader>> rows(std::size_t sheetIndex) override {
        if (sheetIndex >= list_.sheets.size()) return noSheetAt(sheetIndex);
        if (!loadSharedStrings()) return WorkbookError{Kind::Damaged};
        loadStyles();
        auto reader =
            std::make_unique<XlsxRowReader>(zip_, list_.sheets[sheetIndex].part, strings_, styles_);
        if (!reader->open()) return WorkbookError{Kind::Damaged};
        return std::unique_ptr<RowReader>(std::move(reader));
    }

private:
    // Read once, on the first rows() call: listing the sheets needs none.
    bool loadSharedStrings() {
        if (strings_) return true;
        // A part that is named but absent only matters if a cell refers to
        // it, and such a cell is reported then.
        SharedStringsHandler handler(limits_);
        if (!list_.sharedStringsPart.empty() &&
            parsePart(zip_, list_.sharedStringsPart, handler) == PartResult::Failed)
            return false;
        strings_ = std::make_shared<const std::vector<std::string>>(std::move(handler.strings));
        return true;
    }

    // Number formats are a matter of display: a styles part that is missing
    // or damaged leaves every number under General rather than refusing the
    // workbook.
    void loadStyles() {
        if (styles_) return;
        StylesHandler handler;
        if (!list_.stylesPart.empty() &&
            parsePart(zip_, list_.stylesPart, handler) != PartResult::Parsed)
            handler.styles = CellStyles();
        handler.styles.date1904 = list_.date1904;
        styles_ = std::make_shared<const CellStyles>(std::move(handler.styles));
    }

    ZipHandle zip_;
    SheetList list_;
    SharedStringLimits limits_;
    SharedStrings strings_;
    Styles styles_;
};

// The workbook part named by the package relationships; older or simpler
// writers may leave those out, and then it sits in its usual place.
Read<std::string> findWorkbookPart(const ZipHandle& zip) {
    RelationshipsHandler rels;
    switch (parsePart(zip, "_rels/.rels", rels)) {
        case PartResult::Failed:
            return WorkbookError{Kind::Damaged};
        case PartResult::Missing:
            return std::string("xl/workbook.xml");
        case PartResult::Parsed:
            break;
    }
    const Relationship* main = rels.ofType("/officeDocument");
    if (!main) return WorkbookError{Kind::NotAWorkbook};
    return resolvePart("", main->target);
}

// Worksheets in workbook order with their part paths; chart and dialog
// sheets have no cells and are left out.
Read<SheetList> listSheets(const ZipHandle& zip, const std::string& workbookPart) {
    const auto problem = [](Kind kind) { return WorkbookError{kind}; };
    // A binary (.xlsb) workbook or another kind of package (.docx).
    if (!endsWith(workbookPart, ".xml")) return problem(Kind::NotAWorkbook);
    WorkbookHandler workbook;
    const PartResult result = parsePart(zip, workbookPart, workbook);
    if (result == PartResult::Missing) return problem(Kind::NotAWorkbook);
    if (workbook.root != "workbook" && !workbook.root.empty()) return problem(Kind::NotAWorkbook);
    if (result == PartResult::Failed) return problem(Kind::Damaged);

    RelationshipsHandler rels;
    if (parsePart(zip, relationshipsOf(workbookPart), rels) != PartResult::Parsed)
        return problem(Kind::Damaged);
    const std::string folder = folderOf(workbookPart);
    SheetList list;
    list.date1904 = workbook.date1904;
    bool broken = false;
    for (const SheetReference& sheet : workbook.sheets) {
        // A sheet whose relationship or part is missing cannot be read; the
        // spreadsheet application opens the rest of the workbook anyway.
        const Relationship* rel = rels.withId(sheet.relationshipId);
        if (!rel) {
            broken = true;
            continue;
        }
        if (!endsWith(rel->type, "/worksheet")) continue;
        std::string part = resolvePart(folder, rel->target);
        if (findPart(zip.get(), part) < 0) {
            broken = true;
            continue;
        }
        list.sheets.push_back({sheet.name, std::move(part)});
    }
    if (list.sheets.empty()) return problem(broken ? Kind::Damaged : Kind::NoSheets);
    if (const Relationship* strings = rels.ofType("/sharedStrings"))
        list.sharedStringsPart = resolvePart(folder, strings->target);
    if (const Relationship* styles = rels.ofType("/styles"))
        list.stylesPart = resolvePart(folder, styles->target);
    return list;
}

}  // namespace

// A file is handed to libzip as the stream the program opened (never read
// whole: libzip reads the central directory and then only the parts asked
// for); bytes in memory are read where they are.
Read<std::unique_ptr<Workbook>> openXlsx(const ByteSource& source, SharedStringLimits limits) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* zipSource = nullptr;
    if (const auto& bytes = source.bytes()) {
        zipSource = zip_source_buffer_create(bytes->data(), bytes->size(), 0, &error);
    } else {
        Read<std::FILE*> opened = source.openStream();
        if (!opened) {
            zip_error_fini(&error);
            return opened.error();
        }
        // Once made, the source closes the stream itself.
        zipSource = zip_source_filep_create(*opened, 0, -1, &error);
        if (!zipSource) std::fclose(*opened);
    }
    // The archive frees the source.
    zip_t* archive = zipSource ? zip_open_from_source(zipSource, ZIP_RDONLY, &error) : nullptr;
    if (zipSource && !archive) zip_source_free(zipSource);
    const int code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    if (!archive) {
        const bool unreadable = code == ZIP_ER_OPEN || code == ZIP_ER_READ || code == ZIP_ER_NOENT;
        return WorkbookError{unreadable ? Kind::CannotOpen : Kind::Damaged};
    }
    // The bytes in memory live as long as the archive reads them.
    const ZipHandle zip(archive, [keep = source.bytes()](zip_t* z) { zip_discard(z); });
    const Read<std::string> workbookPart = findWorkbookPart(zip);
    if (!workbookPart) return workbookPart.error();
    Read<SheetList> listed = listSheets(zip, *workbookPart);
    if (!listed) return listed.error();
    return std::unique_ptr<Workbook>(
        std::make_unique<XlsxWorkbook>(source.name(), zip, std::move(*listed), limits));
}

}  // namespace brindle::workbook::detail
