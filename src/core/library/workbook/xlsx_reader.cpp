// .xlsx / .xlsm: a zip package of SpreadsheetML parts. The package is
// followed the way Excel follows it: _rels/.rels names the workbook part, the
// workbook lists its sheets in order and its relationships name each sheet's
// part. A worksheet is parsed only as far as the caller reads it.

#include <algorithm>
#include <charconv>
#include <deque>

#include "core/library/workbook/internal.h"
#include "core/library/workbook/xml_stream.h"

namespace brindle::workbook::detail {

namespace {

using SharedStrings = std::shared_ptr<const std::vector<std::string>>;

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

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Excel writes characters XML cannot carry, carriage returns above all, as
// "_xHHHH_" (and a literal "_x" sequence as "_x005F_x...").
std::string decodeEscapes(std::string text) {
    if (text.find("_x") == std::string::npos) return text;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        unsigned code = 0;
        if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_') {
            const char* first = text.data() + i + 2;
            const auto [end, ec] = std::from_chars(first, first + 4, code, 16);
            if (ec == std::errc() && end == first + 4 && code != 0 &&
                (code < 0xD800 || code > 0xDFFF)) {
                appendUtf8(out, code);
                i += 7;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

template <typename T>
bool parseWhole(std::string_view text, T& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Column of a cell reference: "A7" is 0, "AA7" is 26.
bool columnOfReference(std::string_view reference, std::size_t& column) {
    std::size_t number = 0;
    std::size_t i = 0;
    for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z'; ++i) {
        number = number * 26 + static_cast<std::size_t>(reference[i] - 'A' + 1);
        if (number > kMaxColumns) return false;
    }
    if (i == 0) return false;
    column = number - 1;
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

    void startElement(std::string_view name, const char** attributes) override {
        if (root.empty()) root = name;
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
// guides (<rPh>) are reading aids, not part of the text.
struct SharedStringsHandler : XmlHandler {
    std::vector<std::string> strings;

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
            strings.push_back(decodeEscapes(std::move(current_)));
            current_.clear();
            inItem_ = false;
        }
    }
    void characters(std::string_view text) override {
        if (collecting_) current_ += text;
    }

private:
    bool inItem_ = false;
    bool collecting_ = false;
    int phonetic_ = 0;
    std::string current_;
};

// ---- the worksheet ----------------------------------------------------------

// Turns <sheetData> into rows as its elements arrive. Completed rows wait in
// `rows` until handed out; one parsed chunk completes at most a few thousand.
class SheetHandler : public XmlHandler {
public:
    explicit SheetHandler(SharedStrings strings) : strings_(std::move(strings)) {}

    std::deque<Row> rows;

    void startElement(std::string_view name, const char** attributes) override {
        if (!inSheetData_) {
            inSheetData_ = name == "sheetData";
        } else if (name == "row") {
            startRow(attributes);
        } else if (name == "c") {
            startCell(attributes);
        } else if (!inCell_) {
            return;
        } else if (name == "v") {
            collecting_ = true;
        } else if (name == "is") {
            inInline_ = true;
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t") {
            collecting_ = inInline_ && phonetic_ == 0;
        }
    }

    void endElement(std::string_view name) override {
        if (!inSheetData_) return;
        if (name == "sheetData") {
            finished = true;  // the rest of the part holds no cells
        } else if (name == "row") {
            endRow();
        } else if (name == "c") {
            endCell();
        } else if (name == "v" || name == "t") {
            collecting_ = false;
        } else if (name == "is") {
            inInline_ = false;
        } else if (name == "rPh") {
            --phonetic_;
        }
    }

    void characters(std::string_view text) override {
        if (collecting_) text_ += text;
    }

private:
    // Rows must come in ascending order; a row without "r" follows the last.
    void startRow(const char** attributes) {
        std::size_t number = lastRow_ + 1;
        const char* r = attribute(attributes, "r");
        if ((r && !parseWhole(r, number)) || number <= lastRow_ || number > kMaxRows) {
            invalid = true;
            return;
        }
        row_.number = number;
        row_.cells.clear();
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
        std::size_t column = nextColumn_;
        const char* r = attribute(attributes, "r");
        if (!inRow_ || (r && !columnOfReference(r, column)) || column >= kMaxColumns) {
            invalid = true;
            return;
        }
        const char* t = attribute(attributes, "t");
        type_ = t ? t : "n";
        column_ = column;
        nextColumn_ = column + 1;
        text_.clear();
        inCell_ = true;
        inInline_ = false;
        phonetic_ = 0;
    }

    void endCell() {
        inCell_ = collecting_ = false;
        std::string value;
        if (!cellText(value)) {
            invalid = true;
            return;
        }
        if (value.empty()) return;
        if (row_.cells.size() <= column_) row_.cells.resize(column_ + 1);
        row_.cells[column_] = std::move(value);
    }

    // The text of the finished cell by its type; false when it refers to a
    // shared string that does not exist.
    bool cellText(std::string& value) {
        if (type_ == "s") {
            if (text_.empty()) return true;
            std::size_t index = 0;
            if (!strings_ || !parseWhole(text_, index) || index >= strings_->size()) return false;
            value = (*strings_)[index];
        } else if (type_ == "inlineStr" || type_ == "str") {
            value = decodeEscapes(std::move(text_));
        } else if (type_ == "b") {
            value = text_ == "1" ? "TRUE" : text_ == "0" ? "FALSE" : text_;
        } else if (type_ == "e" || type_ == "d") {
            value = text_;
        } else {
            double number = 0;
            value = parseWhole(text_, number) ? formatNumber(number) : text_;
        }
        return true;
    }

    SharedStrings strings_;
    bool inSheetData_ = false;
    bool inRow_ = false;
    bool inCell_ = false;
    bool inInline_ = false;
    bool collecting_ = false;
    int phonetic_ = 0;
    std::size_t lastRow_ = 0;
    std::size_t nextColumn_ = 0;
    std::size_t column_ = 0;
    std::string type_;
    std::string text_;
    Row row_;
};

class XlsxRowReader final : public RowReader {
public:
    XlsxRowReader(const ZipHandle& zip, SharedStrings strings, std::string damaged)
        : handler_(std::move(strings)), stream_(zip, handler_), damaged_(std::move(damaged)) {}

    bool open(const std::string& part) { return stream_.open(part); }

    bool next(Row& row) override {
        while (handler_.rows.empty() && !ended_) {
            const XmlPartStream::Status status = stream_.pump();
            failed_ = status == XmlPartStream::Status::Failed;
            ended_ = status != XmlPartStream::Status::More;
        }
        if (handler_.rows.empty()) {
            if (failed_) error_ = damaged_;
            return false;
        }
        Row& waiting = handler_.rows.front();
        if (waiting.number > nextNumber_) {  // a row the file leaves out
            row.number = nextNumber_++;
            row.cells.clear();
            return true;
        }
        row = std::move(waiting);
        handler_.rows.pop_front();
        ++nextNumber_;
        return true;
    }

    const std::string& error() const override { return error_; }

private:
    SheetHandler handler_;
    XmlPartStream stream_;
    std::string damaged_;
    std::string error_;
    std::size_t nextNumber_ = 1;
    bool ended_ = false;
    bool failed_ = false;
};

// ---- the workbook -----------------------------------------------------------

struct SheetPart {
    std::string name;
    std::string part;
};

class XlsxWorkbook final : public Workbook {
public:
    XlsxWorkbook(const std::filesystem::path& path, ZipHandle zip, std::vector<SheetPart> sheets,
                 std::string sharedStringsPart)
        : Workbook(path),
          zip_(std::move(zip)),
          sheets_(std::move(sheets)),
          sharedStringsPart_(std::move(sharedStringsPart)) {}

    std::vector<std::string> sheetNames() const override {
        std::vector<std::string> names;
        for (const SheetPart& sheet : sheets_) names.push_back(sheet.name);
        return names;
    }

    Result<std::unique_ptr<RowReader>> rows(std::size_t sheetIndex) override {
        if (sheetIndex >= sheets_.size())
            return fail(failure("工作簿中没有第 " + std::to_string(sheetIndex + 1) + " 个工作表"));
        if (!loadSharedStrings()) return fail(failure(reason::kDamaged));
        auto reader = std::make_unique<XlsxRowReader>(zip_, strings_, failure(reason::kDamaged));
        if (!reader->open(sheets_[sheetIndex].part)) return fail(failure(reason::kDamaged));
        return reader;
    }

private:
    // Read once, on the first rows() call: listing the sheets needs none.
    bool loadSharedStrings() {
        if (strings_) return true;
        // A part that is named but absent only matters if a cell refers to
        // it, and such a cell is reported then.
        SharedStringsHandler handler;
        if (!sharedStringsPart_.empty() &&
            parsePart(zip_, sharedStringsPart_, handler) == PartResult::Failed)
            return false;
        strings_ = std::make_shared<const std::vector<std::string>>(std::move(handler.strings));
        return true;
    }

    ZipHandle zip_;
    std::vector<SheetPart> sheets_;
    std::string sharedStringsPart_;
    SharedStrings strings_;
};

// The workbook part named by the package relationships; older or simpler
// writers may leave those out, and then it sits in its usual place. The
// errors here and below are the reasons of failureMessage.
Result<std::string> findWorkbookPart(const ZipHandle& zip) {
    RelationshipsHandler rels;
    switch (parsePart(zip, "_rels/.rels", rels)) {
        case PartResult::Failed:
            return fail(std::string(reason::kDamaged));
        case PartResult::Missing:
            return std::string("xl/workbook.xml");
        case PartResult::Parsed:
            break;
    }
    const Relationship* main = rels.ofType("/officeDocument");
    if (!main) return fail(std::string(reason::kUnrecognised));
    return resolvePart("", main->target);
}

struct SheetList {
    std::vector<SheetPart> sheets;
    std::string sharedStringsPart;
};

// Worksheets in workbook order with their part paths; chart and dialog
// sheets have no cells and are left out.
Result<SheetList> listSheets(const ZipHandle& zip, const std::string& workbookPart) {
    const auto problem = [](std::string_view reason) { return fail(std::string(reason)); };
    // A binary (.xlsb) workbook or another kind of package (.docx).
    if (!endsWith(workbookPart, ".xml")) return problem(reason::kUnrecognised);
    WorkbookHandler workbook;
    const PartResult result = parsePart(zip, workbookPart, workbook);
    if (result == PartResult::Missing) return problem(reason::kUnrecognised);
    if (workbook.root != "workbook" && !workbook.root.empty())
        return problem(reason::kUnrecognised);
    if (result == PartResult::Failed) return problem(reason::kDamaged);

    RelationshipsHandler rels;
    if (parsePart(zip, relationshipsOf(workbookPart), rels) != PartResult::Parsed)
        return problem(reason::kDamaged);
    const std::string folder = folderOf(workbookPart);
    SheetList list;
    for (const SheetReference& sheet : workbook.sheets) {
        const Relationship* rel = rels.withId(sheet.relationshipId);
        if (!rel) return problem(reason::kDamaged);
        if (endsWith(rel->type, "/worksheet"))
            list.sheets.push_back({sheet.name, resolvePart(folder, rel->target)});
    }
    if (list.sheets.empty()) return problem(reason::kNoSheets);
    if (const Relationship* strings = rels.ofType("/sharedStrings"))
        list.sharedStringsPart = resolvePart(folder, strings->target);
    return list;
}

}  // namespace

Result<std::unique_ptr<Workbook>> openXlsx(const std::filesystem::path& path) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!archive) {
        const bool unreadable = code == ZIP_ER_OPEN || code == ZIP_ER_READ || code == ZIP_ER_NOENT;
        return fail(failureMessage(path, unreadable ? reason::kCannotOpen : reason::kDamaged));
    }
    const ZipHandle zip(archive, zip_discard);
    const Result<std::string> workbookPart = findWorkbookPart(zip);
    if (!workbookPart) return fail(failureMessage(path, workbookPart.error()));
    Result<SheetList> listed = listSheets(zip, *workbookPart);
    if (!listed) return fail(failureMessage(path, listed.error()));
    return std::make_unique<XlsxWorkbook>(path, zip, std::move(listed->sheets),
                                          std::move(listed->sharedStringsPart));
}

}  // namespace brindle::workbook::detail
