// .xls: the BIFF5 (Excel 5.0/95) and BIFF8 (Excel 97–2003) workbook formats.
//
// The OLE compound file a workbook is stored in is opened by core/workbook/
// ole2; the BIFF records inside its "Workbook" (BIFF8) or "Book" (BIFF5)
// stream are read here. No Debian library hands out BIFF records together with the cached
// results of formulas, and a formula cell shows exactly that result, so the
// record reader is the program's own. The workbook globals (shared strings,
// number formats, the sheet list) are read when the workbook opens; a
// worksheet is read record by record, only as far as its caller reads rows.
//
// Every length in a file is checked against the bytes that are there: a
// damaged or hostile file ends in "文件已损坏", never in a read past a record
// or an allocation the file asked for.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <optional>

#include "core/base/asciicase.h"
#include "core/base/textcodec.h"
#include "core/workbook/cellformat.h"
#include "core/workbook/internal.h"
#include "core/workbook/ole2.h"

namespace brindle::workbook::detail {

namespace {

// ---- record ids ---------------------------------------------------------------

constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kFilePass = 0x002F;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kDateMode = 0x0022;
constexpr std::uint16_t kFormat = 0x041E;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kLabelSst = 0x00FD;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kRString = 0x00D6;
constexpr std::uint16_t kNumber = 0x0203;
constexpr std::uint16_t kRk = 0x027E;
constexpr std::uint16_t kMulRk = 0x00BD;
constexpr std::uint16_t kBoolErr = 0x0205;
constexpr std::uint16_t kFormula = 0x0006;
constexpr std::uint16_t kString = 0x0207;
constexpr std::uint16_t kBlank = 0x0201;
constexpr std::uint16_t kMulBlank = 0x00BE;
constexpr std::uint16_t kRow = 0x0208;
constexpr std::uint16_t kDbCell = 0x00D7;
constexpr std::uint16_t kShrFmla = 0x04BC;
constexpr std::uint16_t kShrFmlaBiff5 = 0x00BC;  // Excel 5.0/95's number for it
constexpr std::uint16_t kArray = 0x0221;
constexpr std::uint16_t kTable = 0x0236;

// BOF versions and substream kinds.
constexpr unsigned kBiff5 = 0x0500;
constexpr unsigned kBiff8 = 0x0600;
constexpr unsigned kGlobalsSubstream = 0x0005;

// A BIFF5/BIFF8 sheet has 256 columns; rows are 16-bit in the records.
constexpr unsigned kColumns = 256;

// A cell's text, STRING or LABEL, holds at most 32767 characters: with its
// CONTINUE records it never comes near this.
constexpr std::size_t kMaxCellRecord = 256 * 1024;

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
double leDouble(const std::uint8_t* p) {
    const std::uint64_t bits = le32(p) | static_cast<std::uint64_t>(le32(p + 4)) << 32;
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// ---- the workbook stream ----------------------------------------------------------

// The workbook stream, shared by a workbook and its row readers so that a
// reader can outlive its workbook; it keeps the file or the bytes it is read
// from.
struct Stream {
    ole2::Stream input;
    std::uint64_t size = 0;
};

// One record, with the data of the CONTINUE records that follow it appended
// when the reader asked for them. `breaks` are the offsets in `data` where
// each CONTINUE's data begins: a string split there starts its continued
// characters with a new option-flags byte.
struct Record {
    std::uint16_t id = 0;
    std::vector<std::uint8_t> data;
    std::vector<std::size_t> breaks;
};

enum class Got { Record, End, Damaged };

// Reads records one after another from a position in the stream, through a
// window of the stream's bytes. Readers of different sheets take turns on one
// stream: each reads from its own position.
class RecordStream {
public:
    RecordStream(std::shared_ptr<const Stream> stream, std::uint64_t at)
        : stream_(std::move(stream)), position_(at) {}

    // The next record. `joinLimit(id)` is the most bytes a record with that id
    // may have with its CONTINUE records joined, or 0 to leave them as
    // records of their own.
    template <class JoinLimit>
    Got next(Record& record, JoinLimit joinLimit) {
        const std::uint8_t* header = bytes(position_, 4);
        if (!header) return position_ == stream_->size ? Got::End : Got::Damaged;
        const std::uint16_t id = le16(header);
        const std::size_t length = le16(header + 2);
        const std::uint8_t* body = bytes(position_ + 4, length);
        if (!body) return Got::Damaged;
        record.id = id;
        record.data.assign(body, body + length);
        record.breaks.clear();
        position_ += 4 + length;
        const std::size_t limit = joinLimit(id);
        if (limit == 0) return Got::Record;
        while (const std::uint8_t* next = bytes(position_, 4)) {
            if (le16(next) != kContinue) break;
            const std::size_t more = le16(next + 2);
            if (record.data.size() + more > limit) return Got::Damaged;
            const std::uint8_t* data = bytes(position_ + 4, more);
            if (!data) return Got::Damaged;
            record.breaks.push_back(record.data.size());
            record.data.insert(record.data.end(), data, data + more);
            position_ += 4 + more;
        }
        return Got::Record;
    }

    Got next(Record& record) {
        return next(record, [](std::uint16_t) { return std::size_t{0}; });
    }

private:
    static constexpr std::size_t kWindow = 64 * 1024;

    // `count` bytes at `at`, or null when the stream ends before them or
    // cannot be read. Valid until the next call.
    const std::uint8_t* bytes(std::uint64_t at, std::size_t count) {
        if (at > stream_->size || count > stream_->size - at) return nullptr;
        static const std::uint8_t kNothing = 0;
        if (count == 0) return &kNothing;  // an empty record's data, wherever it ends
        if (at >= windowStart_ && at + count <= windowStart_ + window_.size())
            return window_.data() + (at - windowStart_);
        const std::size_t length = static_cast<std::size_t>(
            std::min<std::uint64_t>(std::max(kWindow, count), stream_->size - at));
        window_.resize(length);
        windowStart_ = at;
        if (!stream_->input.read(at, reinterpret_cast<char*>(window_.data()), length)) {
            window_.clear();
            return nullptr;
        }
        return window_.data();
    }

    std::shared_ptr<const Stream> stream_;
    std::uint64_t position_;
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
};

// Reads the fields of one record in order; every read fails rather than
// pass the end of the record.
class Cursor {
public:
    explicit Cursor(const Record& record) : record_(record) {}

    std::size_t remaining() const { return record_.data.size() - position_; }

    bool skip(std::size_t count) {
        if (count > remaining()) return false;
        position_ += count;
        return true;
    }
    bool u8(unsigned& value) {
        if (remaining() < 1) return false;
        value = record_.data[position_++];
        return true;
    }
    bool u16(unsigned& value) {
        if (remaining() < 2) return false;
        value = le16(record_.data.data() + position_);
        position_ += 2;
        return true;
    }
    bool u32(std::uint32_t& value) {
        if (remaining() < 4) return false;
        value = le32(record_.data.data() + position_);
        position_ += 4;
        return true;
    }

    // `count` raw bytes: a BIFF5 string in the workbook's code page.
    bool bytes(std::size_t count, std::string& out) {
        if (count > remaining()) return false;
        out.assign(reinterpret_cast<const char*>(record_.data.data() + position_), count);
        position_ += count;
        return true;
    }

    // BIFF8 character data: `count` characters of one byte (the low byte of
    // UTF-16) or two (UTF-16LE) as `highByte` says. Where a CONTINUE record
    // splits them, the continued characters start with an option-flags byte
    // of their own, and may change width.
    bool characters(std::size_t count, bool highByte, std::string& out) {
        std::u16string units;
        units.reserve(std::min(count, remaining()));
        while (count > 0) {
            if (atBreak()) {
                unsigned flags = 0;
                if (!u8(flags)) return false;
                highByte = (flags & 0x01) != 0;
                continue;
            }
            const std::size_t width = highByte ? 2 : 1;
            const std::size_t available = (segmentEnd() - position_) / width;
            if (available == 0) return false;
            const std::size_t take = std::min(available, count);
            const std::uint8_t* p = record_.data.data() + position_;
            for (std::size_t i = 0; i < take; ++i)
                units += highByte ? static_cast<char16_t>(le16(p + 2 * i)) : char16_t(p[i]);
            position_ += take * width;
            count -= take;
        }
        out = codec::fromUtf16(units);
        return true;
    }

private:
    bool atBreak() const {
        return std::binary_search(record_.breaks.begin(), record_.breaks.end(), position_);
    }
    std::size_t segmentEnd() const {
        const auto next = std::upper_bound(record_.breaks.begin(), record_.breaks.end(), position_);
        return next == record_.breaks.end() ? record_.data.size() : *next;
    }

    const Record& record_;
    std::size_t position_ = 0;
};

// A BIFF8 XLUnicodeString (`countBytes` 2) or ShortXLUnicodeString (1): the
// character count, the option flags, the characters.
bool readBiff8String(Cursor& cursor, int countBytes, std::string& out) {
    unsigned count = 0, flags = 0;
    if (!(countBytes == 1 ? cursor.u8(count) : cursor.u16(count)) || !cursor.u8(flags))
        return false;
    return cursor.characters(count, (flags & 0x01) != 0, out);
}

// A string of the shared string table: as above, with rich-text formatting
// runs and phonetic data after the characters, which are not part of the
// text and are skipped even where they run into the next CONTINUE record.
bool readSharedString(Cursor& cursor, std::string& out) {
    unsigned count = 0, flags = 0, runs = 0;
    std::uint32_t phonetic = 0;
    if (!cursor.u16(count) || !cursor.u8(flags)) return false;
    if ((flags & 0x08) && !cursor.u16(runs)) return false;
    if ((flags & 0x04) && !cursor.u32(phonetic)) return false;
    return cursor.characters(count, (flags & 0x01) != 0, out) &&
           cursor.skip(std::size_t{4} * runs) && cursor.skip(phonetic);
}

// A BIFF5 string: its byte count (`countBytes` 1 or 2), then the bytes.
bool readBiff5String(Cursor& cursor, int countBytes, std::string& out) {
    unsigned count = 0;
    if (!(countBytes == 1 ? cursor.u8(count) : cursor.u16(count))) return false;
    return cursor.bytes(count, out);
}

// ---- the workbook globals ---------------------------------------------------------

struct Sheet {
    std::string name;
    std::uint32_t offset = 0;  // of its BOF record in the stream
};

struct Globals {
    bool biff8 = true;
    // Of BIFF5 text (BIFF8 text is Unicode). Excel 5.0/95 always names its
    // code page; a writer that does not most likely wrote the system's,
    // which for the engineers' Excel is GBK.
    int codePage = 936;
    CellStyles styles;
    std::vector<std::string> strings;  // the shared string table
    std::vector<Sheet> sheets;         // worksheets only
};

// Text of a BIFF5 string in the workbook's code page.
std::optional<std::string> decode(const Globals& globals, std::string_view bytes) {
    return codec::fromCodePage(bytes, globals.codePage);
}

bool readSharedStrings(const Record& record, std::vector<std::string>& strings) {
    Cursor cursor(record);
    std::uint32_t total = 0, unique = 0;
    if (!cursor.u32(total) || !cursor.u32(unique)) return false;
    // Each string takes at least three bytes: the count is no reason to
    // allocate more than the record could hold.
    strings.reserve(std::min<std::size_t>(unique, cursor.remaining() / 3));
    // Some writers count the strings wrongly; the record's end is the end.
    for (std::uint32_t i = 0; i < unique && cursor.remaining() > 0; ++i) {
        std::string text;
        if (!readSharedString(cursor, text)) return false;
        strings.push_back(std::move(text));
    }
    return true;
}

// The globals substream, from the stream's first record to its EOF. The
// stream's name ("Workbook" or "Book") tells BIFF8 from BIFF5 where the BOF's
// version is neither's.
Read<std::shared_ptr<const Globals>> readGlobals(const std::shared_ptr<const Stream>& stream,
                                                 bool workbookStream) {
    const auto damaged = [] { return WorkbookError{Kind::Damaged}; };
    RecordStream records(stream, 0);
    Record record;
    if (records.next(record) != Got::Record || record.id != kBof || record.data.size() < 4 ||
        le16(record.data.data() + 2) != kGlobalsSubstream)
        return damaged();
    const unsigned version = le16(record.data.data());

    auto globals = std::make_shared<Globals>();
    globals->biff8 = version == kBiff8 || (version != kBiff5 && workbookStream);
    struct RawSheet {
        std::string name;
        std::uint32_t offset;
    };
    std::vector<RawSheet> sheets;
    std::vector<std::pair<int, std::string>> formats;
    const auto joinLimit = [&stream](std::uint16_t id) {
        return id == kSst ? static_cast<std::size_t>(stream->size) : std::size_t{0};
    };
    for (;;) {
        const Got got = records.next(record, joinLimit);
        if (got != Got::Record) return damaged();  // the stream ends before the globals' EOF
        Cursor cursor(record);
        unsigned value = 0;
        switch (record.id) {
            case kEof:
                break;
            case kFilePass:
                return WorkbookError{Kind::Password};
            case kCodePage:
                if (!cursor.u16(value)) return damaged();
                globals->codePage = static_cast<int>(value);
                continue;
            case kDateMode:
                if (!cursor.u16(value)) return damaged();
                globals->styles.date1904 = value == 1;
                continue;
            case kFormat: {
                std::string code;
                if (!cursor.u16(value) || !(globals->biff8 ? readBiff8String(cursor, 2, code)
                                                           : readBiff5String(cursor, 1, code)))
                    return damaged();
                formats.emplace_back(static_cast<int>(value), std::move(code));
                continue;
            }
            case kXf:
                if (!cursor.skip(2) || !cursor.u16(value)) return damaged();
                globals->styles.addStyle(static_cast<int>(value));
                continue;
            case kSst:
                if (!globals->biff8 || !readSharedStrings(record, globals->strings))
                    return damaged();
                continue;
            case kBoundSheet: {
                std::uint32_t offset = 0;
                unsigned state = 0, type = 0;
                std::string name;
                if (!cursor.u32(offset) || !cursor.u8(state) || !cursor.u8(type) ||
                    !(globals->biff8 ? readBiff8String(cursor, 1, name)
                                     : readBiff5String(cursor, 1, name)))
                    return damaged();
                // Chart, macro and module sheets have no cells to read.
                if (type == 0) sheets.push_back({std::move(name), offset});
                continue;
            }
            default:
                continue;
        }
        break;  // EOF
    }

    // BIFF5 names and format codes are bytes in the code page, which the
    // globals may name after them.
    for (auto& [id, code] : formats) {
        if (!globals->biff8) {
            std::optional<std::string> text = decode(*globals, code);
            if (!text) return damaged();
            code = std::move(*text);
        }
        globals->styles.defineFormat(id, code);
    }
    for (RawSheet& sheet : sheets) {
        if (!globals->biff8) {
            std::optional<std::string> text = decode(*globals, sheet.name);
            if (!text) return damaged();
            sheet.name = std::move(*text);
        }
        globals->sheets.push_back({std::move(sheet.name), sheet.offset});
    }
    if (globals->sheets.empty()) return WorkbookError{Kind::NoSheets};
    return std::shared_ptr<const Globals>(std::move(globals));
}

// ---- a worksheet ------------------------------------------------------------------

// The value of an RK number: a 30-bit signed integer or the high 30 bits of
// an IEEE double, either one possibly hundredfold.
double rkValue(std::uint32_t rk) {
    double value = 0;
    if (rk & 0x02) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

// Cells arrive row block by row block: a block's ROW records, its cells, its
// DBCELL. A row is handed out once its block has ended (a
// DBCELL, or a ROW record after cells) or the sheet has; only the rows not
// yet handed out are held.
class XlsRowReader final : public RowReader {
public:
    XlsRowReader(std::shared_ptr<const Stream> stream, std::shared_ptr<const Globals> globals,
                 std::uint32_t offset)
        : globals_(std::move(globals)), records_(std::move(stream), offset) {}

    // Reads the sheet's BOF; false when there is none at the sheet's offset.
    bool start() {
        return records_.next(record_) == Got::Record && record_.id == kBof &&
               record_.data.size() >= 4;
    }

    bool next(Row& row) override {
        for (;;) {
            if (!pending_.empty() && pending_.begin()->first < complete_) {
                const auto first = pending_.begin();
                row.number = nextNumber_++;
                if (first->first + 1 > row.number) {
                    row.cells.clear();  // a row the file leaves out
                } else {
                    // put() takes no cell for a row handed out, so this is
                    // the row's only turn.
                    row.cells = std::move(first->second);
                    trimTrailingEmpty(row.cells);
                    pending_.erase(first);
                }
                return true;
            }
            if (finished_) {
                if (failed_) error_ = WorkbookError{Kind::Damaged};
                return false;
            }
            step();
        }
    }

    const std::optional<WorkbookError>& error() const override { return error_; }

private:
    // Reads one record.
    void step() {
        const auto joinLimit = [](std::uint16_t id) {
            return id == kString || id == kLabel || id == kRString ? kMaxCellRecord
                                                                   : std::size_t{0};
        };
        switch (records_.next(record_, joinLimit)) {
            case Got::Record:
                break;
            case Got::End:  // the stream ends before the sheet's EOF
            case Got::Damaged:
                return damage();
        }
        const std::uint16_t id = record_.id;
        if (id == kBof) {  // a chart embedded in the sheet has a substream of its own
            ++depth_;
            return;
        }
        if (id == kEof) {
            if (--depth_ == 0) finish();
            return;
        }
        if (depth_ > 1) return;
        // Between a formula and the STRING of its text result only the
        // records of a shared, array or table formula may come.
        const std::uint16_t shared = globals_->biff8 ? kShrFmla : kShrFmlaBiff5;
        if (stringCell_ && id != kString && id != shared && id != kArray && id != kTable &&
            id != kContinue)
            return damage(rowOfRecord());  // a formula's text result must follow it
        if (!readRecord()) damage(rowOfRecord());
    }

    // The row a cell record or a formula's STRING belongs to, where it can
    // be read.
    std::optional<std::size_t> rowOfRecord() const {
        switch (record_.id) {
            case kString:
                if (stringCell_) return stringCell_->first;
                return std::nullopt;
            case kNumber:
            case kRk:
            case kMulRk:
            case kLabelSst:
            case kLabel:
            case kRString:
            case kBoolErr:
            case kFormula:
            case kBlank:
            case kMulBlank:
                if (record_.data.size() >= 2) return le16(record_.data.data());
                return std::nullopt;
            default:
                return std::nullopt;
        }
    }

    // The record's cells; false when it is damaged.
    bool readRecord() {
        Cursor cursor(record_);
        unsigned row = 0, column = 0, xf = 0, value = 0;
        const auto cellHeader = [&] { return cursor.u16(row) && cursor.u16(column); };
        const auto withXf = [&] { return cellHeader() && cursor.u16(xf); };
        std::string text;
        switch (record_.id) {
            case kRow:
                if (cellsInBlock_) endBlock();
                return true;
            case kDbCell:
                endBlock();
                return true;
            case kNumber: {
                if (!withXf() || cursor.remaining() < 8) return false;
                const double number = leDouble(record_.data.data() + 6);
                return put(row, column, globals_->styles.number(number, xf));
            }
            case kRk: {
                std::uint32_t rk = 0;
                if (!withXf() || !cursor.u32(rk)) return false;
                return put(row, column, globals_->styles.number(rkValue(rk), xf));
            }
            case kMulRk: {
                // Column of the first cell, (XF, RK) per cell, column of the last.
                if (!cellHeader() || cursor.remaining() < 2 || (cursor.remaining() - 2) % 6 != 0)
                    return false;
                const std::size_t count = (cursor.remaining() - 2) / 6;
                const unsigned last = le16(record_.data.data() + record_.data.size() - 2);
                if (count == 0 || last != column + count - 1) return false;
                for (std::size_t i = 0; i < count; ++i) {
                    std::uint32_t rk = 0;
                    if (!cursor.u16(xf) || !cursor.u32(rk) ||
                        !put(row, column + static_cast<unsigned>(i),
                             globals_->styles.number(rkValue(rk), xf)))
                        return false;
                }
                return true;
            }
            case kLabelSst: {
                std::uint32_t index = 0;
                if (!withXf() || !cursor.u32(index) || index >= globals_->strings.size())
                    return false;
                return put(row, column, globals_->strings[index]);
            }
            case kLabel:
            case kRString:
                return withXf() && readCellString(cursor, text) &&
                       put(row, column, std::move(text));
            case kBoolErr: {
                unsigned error = 0;
                if (!withXf() || !cursor.u8(value) || !cursor.u8(error)) return false;
                return put(row, column,
                           std::string(error ? biffErrorText(static_cast<std::uint8_t>(value))
                                             : renderBoolean(value != 0)));
            }
            case kFormula:
                return readFormula(cursor);
            case kString:
                if (!stringCell_) return true;  // no formula is waiting for it
                if (!readCellString(cursor, text)) return false;
                row = stringCell_->first;
                column = stringCell_->second;
                stringCell_.reset();
                return put(row, column, std::move(text));
            case kBlank:
            case kMulBlank:
                // Formatted but empty: the row is there, with nothing in it.
                return cellHeader() && put(row, column, std::string());
            default:
                return true;
        }
    }

    // A formula's cached result: a number, or, where its top two bytes are
    // 0xFFFF, a marker whose first byte says text (in the STRING record that
    // follows), a boolean, an error, or empty text.
    bool readFormula(Cursor& cursor) {
        unsigned row = 0, column = 0, xf = 0;
        if (!cursor.u16(row) || !cursor.u16(column) || !cursor.u16(xf) || cursor.remaining() < 14)
            return false;
        const std::uint8_t* result = record_.data.data() + 6;
        if (le16(result + 6) != 0xFFFF)
            return put(row, column, globals_->styles.number(leDouble(result), xf));
        switch (result[0]) {
            case 0:
                stringCell_.emplace(row, column);
                return put(row, column, std::string());
            case 1:
                return put(row, column, std::string(renderBoolean(result[2] != 0)));
            case 2:
                return put(row, column, std::string(biffErrorText(result[2])));
            case 3:
                return put(row, column, std::string());
            default:
                return false;
        }
    }

    // The text of a LABEL, RSTRING or STRING record from the cursor on.
    bool readCellString(Cursor& cursor, std::string& text) {
        if (globals_->biff8) return readBiff8String(cursor, 2, text);
        std::string bytes;
        if (!readBiff5String(cursor, 2, bytes)) return false;
        std::optional<std::string> decoded = decode(*globals_, bytes);
        if (!decoded) return false;
        text = std::move(*decoded);
        return true;
    }

    bool put(unsigned row, unsigned column, std::string text) {
        // A row already handed out cannot take another cell.
        if (column >= kColumns || row + 1 < nextNumber_) return false;
        std::vector<std::string>& cells = pending_[row];
        if (!text.empty()) {
            if (cells.size() <= column) cells.resize(column + 1);
            cells[column] = std::move(text);
        }
        cellsInBlock_ = true;
        lastRow_ = row;
        return true;
    }

    void endBlock() {
        if (!pending_.empty()) complete_ = std::max(complete_, pending_.rbegin()->first + 1);
        cellsInBlock_ = false;
    }

    void finish() {
        if (stringCell_) return damage(stringCell_->first);
        complete_ = std::numeric_limits<std::size_t>::max();
        finished_ = true;
    }

    // Rows come in order, so the rows before the damaged record's row are
    // good; where its row cannot be told, the rows before the last cell's.
    // The rest of the sheet is lost.
    void damage(std::optional<std::size_t> row = std::nullopt) {
        const std::size_t good = row && *row >= lastRow_ ? *row : lastRow_;
        complete_ = std::max(complete_, good);
        finished_ = failed_ = true;
    }

    std::shared_ptr<const Globals> globals_;
    RecordStream records_;
    Record record_;
    std::optional<WorkbookError> error_;
    std::map<std::size_t, std::vector<std::string>> pending_;  // 0-based rows not handed out
    std::size_t complete_ = 0;    // rows below this (0-based) have all their cells
    std::size_t nextNumber_ = 1;  // 1-based
    std::size_t lastRow_ = 0;     // of the last cell read
    std::optional<std::pair<unsigned, unsigned>> stringCell_;  // awaiting its STRING
    int depth_ = 1;                                            // of nested BOF/EOF substreams
    bool cellsInBlock_ = false;
    bool finished_ = false;
    bool failed_ = false;
};

// ---- the workbook -----------------------------------------------------------------

class XlsWorkbook final : public Workbook {
public:
    XlsWorkbook(const std::filesystem::path& path, std::shared_ptr<const Stream> stream,
                std::shared_ptr<const Globals> globals)
        : Workbook(path), stream_(std::move(stream)), globals_(std::move(globals)) {}

    std::vector<std::string> sheetNames() const override {
        std::vector<std::string> names;
        for (const Sheet& sheet : globals_->sheets) names.push_back(sheet.name);
        return names;
    }

    Read<std::unique_ptr<RowReader>> rows(std::size_t sheetIndex) override {
        if (sheetIndex >= globals_->sheets.size()) return noSheetAt(sheetIndex);
        auto reader =
            std::make_unique<XlsRowReader>(stream_, globals_, globals_->sheets[sheetIndex].offset);
        if (!reader->start()) return WorkbookError{Kind::Damaged};
        return std::unique_ptr<RowReader>(std::move(reader));
    }

private:
    std::shared_ptr<const Stream> stream_;
    std::shared_ptr<const Globals> globals_;
};

}  // namespace

Read<std::unique_ptr<Workbook>> openXls(const ByteSource& source) {
    Read<ole2::CompoundFile> container = ole2::CompoundFile::open(source);
    if (!container) return container.error();
    const auto childNamed = [&container](std::u16string_view name) {
        return container->child(ole2::CompoundFile::kRoot, name);
    };

    // A workbook saved for both Excel 5.0 and 97 has both streams; the BIFF8
    // one is complete.
    std::optional<ole2::CompoundFile::Id> found = childNamed(u"Workbook");
    const bool workbookStream = found.has_value();
    if (!workbookStream) found = childNamed(u"Book");
    if (!found) {
        // An OLE file without a workbook: an encrypted .xlsx package, or
        // another kind of document (Word's, say). An encrypted package has
        // its "EncryptedPackage" beside the "EncryptionInfo"; either one
        // alone is still an encrypted package, one that lost the other, and
        // the engineer is better told of the password than of a file that
        // is no workbook. Encryption information beside a Word or PowerPoint
        // stream is that kind of document. Where the directory lost entries
        // to damage, the workbook may have been one of them.
        const bool document = childNamed(u"WordDocument") || childNamed(u"PowerPoint Document");
        const bool encrypted =
            childNamed(u"EncryptedPackage") || (childNamed(u"EncryptionInfo") && !document);
        if (encrypted) return WorkbookError{Kind::Password};
        return WorkbookError{container->incomplete() ? Kind::Damaged : Kind::NotAWorkbook};
    }
    Read<ole2::Stream> input = container->stream(*found);
    if (!input) return input.error();
    auto stream = std::make_shared<Stream>();
    stream->size = input->size();
    stream->input = *std::move(input);

    const Read<std::shared_ptr<const Globals>> globals = readGlobals(stream, workbookStream);
    if (!globals) return globals.error();
    return std::unique_ptr<Workbook>(
        std::make_unique<XlsWorkbook>(source.name(), std::move(stream), *globals));
}

}  // namespace brindle::workbook::detail
