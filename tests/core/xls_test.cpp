// The .xls reader on workbooks made byte by byte: BIFF8 and BIFF5 records
// written here, in an OLE compound file that libgsf writes.

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-output.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "core/base/textcodec.h"
#include "core/workbook/workbook.h"
#include "testsupport.h"

namespace brindle::workbook {
namespace {
using brindle::test::gbk;

namespace fs = std::filesystem;
using Cells = std::vector<std::string>;
using Rows = std::vector<Cells>;

const std::string kDamaged = "文件已损坏";

// ---- bytes ------------------------------------------------------------------------

std::string le16(unsigned value) {
    return {char(value & 0xFF), char((value >> 8) & 0xFF)};
}
std::string le32(std::uint32_t value) {
    return le16(value & 0xFFFF) + le16(value >> 16);
}
std::string ieee(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return le32(std::uint32_t(bits)) + le32(std::uint32_t(bits >> 32));
}
std::string utf16(std::u16string_view text) {
    std::string out;
    for (char16_t unit : text) out += le16(unit);
    return out;
}

std::string record(unsigned id, const std::string& body) {
    return le16(id) + le16(unsigned(body.size())) + body;
}
std::string continued(const std::string& body) {
    return record(0x003C, body);
}

// BIFF8 strings: XLUnicodeString (16-bit count) in one byte per character or
// in UTF-16, and the short form (8-bit count) sheet names use.
std::string narrow(std::string_view latin1) {
    return le16(unsigned(latin1.size())) + '\0' + std::string(latin1);
}
std::string wide(std::u16string_view text) {
    return le16(unsigned(text.size())) + '\1' + utf16(text);
}
std::string shortNarrow(std::string_view latin1) {
    return char(latin1.size()) + std::string(1, '\0') + std::string(latin1);
}
std::string shortWide(std::u16string_view text) {
    return char(text.size()) + std::string(1, '\1') + utf16(text);
}
// BIFF5: a byte count and the bytes in the workbook's code page.
std::string bytes8(std::string_view bytes) {
    return char(bytes.size()) + std::string(bytes);
}
std::string bytes16(std::string_view bytes) {
    return le16(unsigned(bytes.size())) + std::string(bytes);
}

// ---- cell records -----------------------------------------------------------------

std::string cell(unsigned id, unsigned row, unsigned column, unsigned xf, const std::string& rest) {
    return record(id, le16(row) + le16(column) + le16(xf) + rest);
}
std::string number(unsigned row, unsigned column, double value, unsigned xf = 15) {
    return cell(0x0203, row, column, xf, ieee(value));
}
std::string rk(unsigned row, unsigned column, std::uint32_t value, unsigned xf = 15) {
    return cell(0x027E, row, column, xf, le32(value));
}
std::string labelSst(unsigned row, unsigned column, std::uint32_t index) {
    return cell(0x00FD, row, column, 15, le32(index));
}
std::string label(unsigned row, unsigned column, const std::string& text) {
    return cell(0x0204, row, column, 15, text);
}
std::string boolErr(unsigned row, unsigned column, unsigned value, bool error) {
    return cell(0x0205, row, column, 15, std::string{char(value), char(error)});
}
std::string blank(unsigned row, unsigned column) {
    return cell(0x0201, row, column, 15, "");
}
// A formula cell with its cached result (eight bytes) and an empty formula.
std::string formula(unsigned row, unsigned column, const std::string& result, unsigned xf = 15) {
    return cell(0x0006, row, column, xf, result + le16(0) + le32(0) + le16(0));
}
// The cached result of a formula that is not a number.
std::string special(unsigned type, unsigned value = 0) {
    return std::string{char(type), 0, char(value), 0, 0, 0, '\xFF', '\xFF'};
}
std::string stringRecord(const std::string& text) {
    return record(0x0207, text);
}
// A ROW record: it opens a row block.
std::string rowRecord(unsigned row) {
    return record(0x0208,
                  le16(row) + le16(0) + le16(1) + le16(0xFF) + le16(0) + le16(0) + le32(0x100));
}
std::string dbCell() {
    return record(0x00D7, le32(0));
}

// RK numbers: an integer in the top 30 bits, or the top 30 bits of a
// double; either one may be hundredfold.
std::uint32_t rkInteger(std::int32_t value, bool hundredfold = false) {
    return std::uint32_t(value) << 2 | 0x02 | (hundredfold ? 0x01 : 0x00);
}
std::uint32_t rkDouble(double value, bool hundredfold = false) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    EXPECT_EQ(bits & 0x3FFFFFFFFull, 0u) << value << " has no RK form";
    return std::uint32_t(bits >> 32) | (hundredfold ? 0x01 : 0x00);
}

// ---- workbooks --------------------------------------------------------------------

struct Sheet {
    std::string name;  // the encoded name field of its BOUNDSHEET
    std::string records;
    unsigned type = 0;  // 0 worksheet, 1 macro sheet, 2 chart
    bool eof = true;
};

// A workbook stream: the globals (BOF, `globals`, a BOUNDSHEET per sheet,
// EOF), then each sheet's substream.
struct Biff {
    bool biff8 = true;
    std::string globals;
    std::vector<Sheet> sheets;

    std::string bof(unsigned type) const {
        return biff8 ? record(0x0809, le16(0x0600) + le16(type) + le16(0x0DBB) + le16(0x07CC) +
                                          le32(0) + le32(0x06))
                     : record(0x0809, le16(0x0500) + le16(type) + le16(0x0DBB) + le16(0x07CC));
    }

    std::string stream() const {
        const auto globalsWith = [&](const std::vector<std::uint32_t>& offsets) {
            std::string out = bof(0x0005) + globals;
            for (std::size_t i = 0; i < sheets.size(); ++i)
                out += record(0x0085,
                              le32(offsets[i]) + char(0) + char(sheets[i].type) + sheets[i].name);
            return out + record(0x000A, "");
        };
        std::vector<std::uint32_t> offsets(sheets.size(), 0);
        std::uint32_t at = std::uint32_t(globalsWith(offsets).size());
        std::string body;
        for (std::size_t i = 0; i < sheets.size(); ++i) {
            offsets[i] = at;
            const std::string sheet = bof(sheets[i].type == 2 ? 0x0020 : 0x0010) +
                                      sheets[i].records + (sheets[i].eof ? record(0x000A, "") : "");
            body += sheet;
            at += std::uint32_t(sheet.size());
        }
        return globalsWith(offsets) + body;
    }
};

// An OLE compound file holding these streams.
void writeOle(const fs::path& path,
              const std::vector<std::pair<std::string, std::string>>& streams) {
    GError* error = nullptr;
    GsfOutput* file = gsf_output_stdio_new(platform::utf8Name(path).c_str(), &error);
    ASSERT_NE(file, nullptr) << (error ? error->message : "");
    GsfOutfile* ole = gsf_outfile_msole_new(file);
    ASSERT_NE(ole, nullptr);
    for (const auto& [name, bytes] : streams) {
        GsfOutput* child = gsf_outfile_new_child(ole, name.c_str(), FALSE);
        ASSERT_NE(child, nullptr);
        EXPECT_TRUE(
            gsf_output_write(child, bytes.size(), reinterpret_cast<const guint8*>(bytes.data())));
        EXPECT_TRUE(gsf_output_close(child));
        g_object_unref(child);
    }
    EXPECT_TRUE(gsf_output_close(GSF_OUTPUT(ole)));  // closes the file too
    g_object_unref(ole);
    g_object_unref(file);
}

class XlsTest : public ::testing::Test {
protected:
    test::TempDir temp_;

    fs::path file(const std::string& name) const { return temp_ / name; }

    std::string message(const fs::path& path, std::string_view reason) const {
        return "无法读取工作簿：" + platform::utf8Name(path) + "\r\n" + std::string(reason);
    }

    // Writes the workbook as name.xls with its stream named as BIFF8 or
    // BIFF5 name it.
    fs::path write(const Biff& biff, const std::string& name = "book.xls") const {
        const fs::path path = file(name);
        writeOle(path, {{biff.biff8 ? "Workbook" : "Book", biff.stream()}});
        return path;
    }

    static std::unique_ptr<Workbook> open(const fs::path& path) {
        auto workbook = Workbook::open(path);
        EXPECT_TRUE(workbook.ok()) << test::workbookError(path, workbook.error());
        return workbook ? *std::move(workbook) : nullptr;
    }

    static std::string openError(const fs::path& path) {
        const auto workbook = Workbook::open(path);
        EXPECT_FALSE(workbook.ok());
        return workbook ? std::string() : test::workbookError(path, workbook.error());
    }

    // Every row up to the end or an error, which is returned in `error`;
    // row numbers must run on from 1.
    static Rows readRows(RowReader& reader, std::string* error = nullptr,
                         const fs::path& path = {}) {
        Rows rows;
        Row row;
        while (reader.next(row)) {
            EXPECT_EQ(row.number, rows.size() + 1);
            rows.push_back(row.cells);
        }
        if (error)
            *error = test::workbookError(path, reader.error());
        else
            EXPECT_EQ(test::workbookError(path, reader.error()), "");
        return rows;
    }

    static Rows readSheet(const fs::path& path, std::size_t sheet = 0,
                          std::string* error = nullptr) {
        auto workbook = open(path);
        if (!workbook) return {};
        auto reader = workbook->rows(sheet);
        EXPECT_TRUE(reader.ok()) << test::workbookError(path, reader.error());
        return reader ? readRows(**reader, error, path) : Rows{};
    }
};

// One worksheet named "Sheet1" holding `records`.
Biff oneSheet(const std::string& records, const std::string& globals = "") {
    Biff biff;
    biff.globals = globals;
    biff.sheets.push_back({shortNarrow("Sheet1"), records});
    return biff;
}

// ---- cells of every kind ------------------------------------------------------------

TEST_F(XlsTest, FormulasShowTheirCachedResults) {
    const std::string records =
        formula(0, 0, ieee(38400)) + formula(0, 1, ieee(15.2)) +
        // text results in the STRING record after the formula, one of them
        // split by a CONTINUE record that switches to UTF-16
        formula(1, 0, special(0)) + stringRecord(narrow("Cell_1")) + formula(1, 1, special(0)) +
        record(0x04BC, std::string(10, '\0')) +  // SHRFMLA between
        record(0x0207, le16(9) + '\0' + "Beijing") + continued('\1' + utf16(u"朝阳")) +
        formula(2, 0, special(1, 1)) + formula(2, 1, special(1, 0)) +
        formula(3, 0, special(2, 0x07)) + formula(3, 1, special(2, 0x2A)) +
        formula(4, 0, special(3)) + formula(4, 1, ieee(-0.5)) + formula(4, 2, special(3));
    EXPECT_EQ(readSheet(write(oneSheet(records))), (Rows{{"38400", "15.2"},
                                                         {"Cell_1", "Beijing朝阳"},
                                                         {"TRUE", "FALSE"},
                                                         {"#DIV/0!", "#N/A"},
                                                         {"", "-0.5"}}));
}

TEST_F(XlsTest, BooleansAndEveryErrorCode) {
    std::string records = boolErr(0, 0, 1, false) + boolErr(0, 1, 0, false);
    const unsigned codes[] = {0x00, 0x07, 0x0F, 0x17, 0x1D, 0x24, 0x2A, 0x2B};
    for (unsigned i = 0; i < 8; ++i) records += boolErr(1, i, codes[i], true);
    EXPECT_EQ(readSheet(write(oneSheet(records))),
              (Rows{{"TRUE", "FALSE"},
                    {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A",
                     "#GETTING_DATA"}}));
}

TEST_F(XlsTest, NumbersInEveryRecordForm) {
    const std::string records =
        rk(0, 0, rkInteger(38400)) + rk(0, 1, rkInteger(1234, true)) + rk(0, 2, rkDouble(15.25)) +
        rk(0, 3, rkDouble(150.0, true)) + rk(0, 4, rkInteger(-5)) +
        rk(0, 5, rkInteger(-536870912)) + rk(0, 6, rkInteger(536870911)) +
        rk(0, 7, rkInteger(-1, true)) + number(1, 0, 0.1) + number(1, 1, 123456789012.25) +
        number(1, 2, -0.0) +
        // MULRK: first column, (XF, RK) per cell, last column
        record(0x00BD, le16(2) + le16(1) + le16(15) + le32(rkInteger(7)) + le16(15) +
                           le32(rkInteger(250, true)) + le16(15) + le32(rkDouble(-2.5)) + le16(3));
    EXPECT_EQ(readSheet(write(oneSheet(records))),
              (Rows{{"38400", "12.34", "15.25", "1.5", "-5", "-536870912", "536870911", "-0.01"},
                    {"0.1", "123456789012.25", "0"},
                    {"", "7", "2.5", "-2.5"}}));
}

TEST_F(XlsTest, TextCellsBlanksAndMissingRows) {
    const std::string records =
        label(0, 0, narrow("  spaced  ")) + label(0, 1, wide(u"小区名称")) +
        // RSTRING: the text, then formatting runs that are not part of it
        cell(0x00D6, 0, 2, 15, wide(u"频点") + le16(1) + le32(0)) +
        // a character outside the Basic Multilingual Plane, and a lone surrogate
        label(0, 3, wide(u"\U0001F4F6x")) + label(0, 4, le16(2) + '\1' + le16(0xD800) + le16('y')) +
        blank(0, 5) + record(0x00BE, le16(0) + le16(6) + le16(15) + le16(15) + le16(7)) +
        // a row of nothing but blanks, a row left out, a row with a gap
        blank(1, 0) + label(3, 2, narrow("C4")) + label(3, 0, narrow("A4")) +
        // a LABEL whose characters go on in a CONTINUE record, in UTF-16
        cell(0x0204, 3, 3, 15, le16(4) + '\0' + "ab") + continued('\1' + utf16(u"中文"));
    EXPECT_EQ(readSheet(write(oneSheet(records))),
              (Rows{{"  spaced  ", "小区名称", "频点", "\xF0\x9F\x93\xB6x", "\xEF\xBF\xBDy"},
                    {},
                    {},
                    {"A4", "", "C4", "ab中文"}}));
}

// ---- the shared string table --------------------------------------------------------

TEST_F(XlsTest, SharedStringsAcrossContinueRecords) {
    const std::string sst = record(0x00FC, le32(8) + le32(7) +
                                               // 0: whole, in UTF-16
                                               wide(u"小区名称") +
                                               // 1: one byte per character, continued in UTF-16
                                               le16(10) + '\0' + "Beijing-") +
                            continued('\1' + utf16(u"朝阳") +
                                      // 2: formatting runs and phonetic data, split inside the runs
                                      le16(2) + '\x0D' + le16(2) + le32(6) + utf16(u"频点") +
                                      le32(0x00010000) + le16(1)) +
                            continued(le16(0) +  // the rest of the second run: no flags byte
                                      std::string(6, 'P') +
                                      // 3: UTF-16 continued in one byte per character
                                      le16(5) + '\1' + utf16(u"中文")) +
                            continued(std::string(1, '\0') + "abc") +
                            // 4: a string that starts a CONTINUE record
                            continued(narrow("Start") +
                                      // 5: phonetic data running into the next record
                                      le16(1) + '\x04' + le32(10) + "x" + "PPPP") +
                            continued(std::string(6, 'Q') + narrow("after"));
    std::string records;
    for (unsigned i = 0; i < 7; ++i) records += labelSst(i / 4, i % 4, i);
    EXPECT_EQ(readSheet(write(oneSheet(records, sst))),
              (Rows{{"小区名称", "Beijing-朝阳", "频点", "中文abc"}, {"Start", "x", "after"}}));
}

// ---- number formats -------------------------------------------------------------------

std::string formatRecord(unsigned id, const std::string& code) {
    return record(0x041E, le16(id) + narrow(code));
}
std::string xf(unsigned formatId) {
    return record(0x00E0, le16(0) + le16(formatId) + std::string(16, '\0'));
}

TEST_F(XlsTest, NumbersUnderTheirCellStyles) {
    // XF 0 General, 1 "0.00", 2 built-in "0%", 3 "yyyy-mm-dd", 4 built-in date, 5 "0.000%"
    const std::string globals = formatRecord(164, "0.00") + formatRecord(165, "yyyy-mm-dd") +
                                formatRecord(166, "0.000%") + xf(0) + xf(164) + xf(9) + xf(165) +
                                xf(14) + xf(166);
    const std::string records = number(0, 0, 3.14159, 1) + number(0, 1, 2.5, 1) +
                                rk(0, 2, rkInteger(-1), 1) + number(1, 0, 0.5, 2) +
                                number(1, 1, 0.123, 2) + number(1, 2, 0.0125, 5) +
                                number(2, 0, 45306, 3) + rk(2, 1, rkInteger(45306), 4) +
                                formula(2, 2, ieee(45306.5), 3) + number(3, 0, 3.14159, 0) +
                                // an XF the workbook does not have: General
                                number(3, 1, 2.5, 99);
    const Rows expected{{"3.14", "2.50", "-1.00"},
                        {"50%", "12%", "1.250%"},
                        {"2024-01-15", "2024-01-15", "2024-01-15"},
                        {"3.14159", "2.5"}};
    EXPECT_EQ(readSheet(write(oneSheet(records, globals))), expected);

    // The 1904 date system counts from 1904-01-01.
    const std::string dates1904 = record(0x0022, le16(1)) + globals;
    EXPECT_EQ(readSheet(write(oneSheet(number(0, 0, 43844, 3) + number(0, 1, 0, 4), dates1904),
                              "1904.xls")),
              (Rows{{"2024-01-15", "1904-01-01"}}));
}

// ---- BIFF5 ----------------------------------------------------------------------------

// Excel 5.0/95 numbers the record of a shared formula 0x00BC (Excel 97,
// 0x04BC); it comes between the first formula of the range and the STRING of
// a text result. The cached results read as in BIFF8.
TEST_F(XlsTest, Biff5FormulasShowTheirCachedResults) {
    Biff biff;
    biff.biff8 = false;
    biff.sheets.push_back(
        {bytes8("S"), formula(0, 0, special(0)) + record(0x00BC, std::string(10, '\0')) +
                          stringRecord(bytes16("LF_1")) + formula(0, 1, ieee(38400)) +
                          formula(1, 0, special(0)) + stringRecord(bytes16(gbk("南湖"))) +
                          formula(1, 1, special(1, 1)) + formula(1, 2, special(2, 0x07)) +
                          formula(1, 3, special(3))});
    EXPECT_EQ(readSheet(write(biff)), (Rows{{"LF_1", "38400"}, {"南湖", "TRUE", "#DIV/0!"}}));
}

TEST_F(XlsTest, Biff5TextInTheWorkbookCodePage) {
    Biff biff;
    biff.biff8 = false;
    biff.globals =
        record(0x0042, le16(936)) + record(0x041E, le16(164) + bytes8("0.0")) + xf(0) + xf(164);
    biff.sheets.push_back({bytes8(gbk("小区参数")),
                           label(0, 0, bytes16(gbk("小区名称"))) + label(0, 1, bytes16("Cell_1")) +
                               rk(1, 0, rkInteger(38400), 0) + number(1, 1, 15.26, 1) +
                               formula(1, 2, special(0)) + stringRecord(bytes16(gbk("北京")))});
    const fs::path path = write(biff);
    auto workbook = open(path);
    ASSERT_TRUE(workbook);
    EXPECT_EQ(workbook->sheetNames(), Cells{"小区参数"});
    EXPECT_EQ(readSheet(path), (Rows{{"小区名称", "Cell_1"}, {"38400", "15.3", "北京"}}));

    // Without a CODEPAGE record, GBK.
    biff.globals = "";
    EXPECT_EQ(readSheet(write(biff, "nocodepage.xls")),
              (Rows{{"小区名称", "Cell_1"}, {"38400", "15.26", "北京"}}));

    // Western text in code page 1252.
    biff.globals = record(0x0042, le16(1252));
    biff.sheets = {{bytes8("Feuille"), label(0, 0, bytes16("caf\xE9 \x80"))}};
    EXPECT_EQ(readSheet(write(biff, "western.xls")), Rows{{"café €"}});

    // Bytes that are not GBK are damage, not text made up.
    biff.globals = record(0x0042, le16(936));
    biff.sheets = {{bytes8("S"), label(0, 0, bytes16("ok")) + label(1, 0, bytes16("\x81"))}};
    std::string error;
    EXPECT_EQ(readSheet(write(biff, "badgbk.xls"), 0, &error), Rows{{"ok"}});
    EXPECT_EQ(error, message(file("badgbk.xls"), kDamaged));
}

// ---- sheets -------------------------------------------------------------------------

TEST_F(XlsTest, OnlyWorksheetsAreListed) {
    Biff biff;
    biff.sheets = {{shortNarrow("Chart1"), number(0, 0, 1), 2},
                   {shortWide(u"小区参数"), label(0, 0, narrow("main")) +
                                                // an embedded chart's substream inside the sheet
                                                biff.bof(0x0020) + number(5, 0, 99) +
                                                record(0x000A, "") + label(1, 0, narrow("after"))},
                   {shortNarrow("Macro1"), number(0, 0, 2), 1},
                   {shortNarrow("Other"), label(0, 0, narrow("second sheet"))}};
    const fs::path path = write(biff);
    auto workbook = open(path);
    ASSERT_TRUE(workbook);
    EXPECT_EQ(workbook->sheetNames(), (Cells{"小区参数", "Other"}));
    EXPECT_EQ(readSheet(path, 0), (Rows{{"main"}, {"after"}}));
    EXPECT_EQ(readSheet(path, 1), Rows{{"second sheet"}});
    const auto third = workbook->rows(std::size_t{2});
    EXPECT_EQ(test::workbookError(path, third.error()), message(path, "工作簿中没有第 3 个工作表"));
    auto byName = workbook->rows(std::string_view("Other"));
    ASSERT_TRUE(byName.ok());
    EXPECT_EQ(readRows(**byName), Rows{{"second sheet"}});

    Biff charts;
    charts.sheets = {{shortNarrow("Chart1"), "", 2}};
    EXPECT_EQ(openError(write(charts, "charts.xls")),
              message(file("charts.xls"), "工作簿中没有工作表"));
}

TEST_F(XlsTest, ReadersTakeTurnsAndOutliveTheirWorkbook) {
    // Each sheet is longer than the reader's window on the stream.
    constexpr unsigned kRows = 3000;
    std::string first, second;
    for (unsigned r = 0; r < kRows; ++r) {
        first += rowRecord(r) + rk(r, 0, rkInteger(std::int32_t(r)));
        second += rowRecord(r) + label(r, 1, narrow("s" + std::to_string(r)));
    }
    Biff biff;
    biff.sheets = {{shortNarrow("A"), first}, {shortNarrow("B"), second}};
    auto workbook = open(write(biff));
    ASSERT_TRUE(workbook);
    auto a = workbook->rows(std::size_t{0});
    auto b = workbook->rows(std::size_t{1});
    ASSERT_TRUE(a.ok() && b.ok());
    workbook.reset();
    Row row;
    for (unsigned r = 0; r < kRows; ++r) {
        ASSERT_TRUE((*a)->next(row));
        EXPECT_EQ(row.cells, Cells{std::to_string(r)});
        ASSERT_TRUE((*b)->next(row));
        EXPECT_EQ(row.cells, (Cells{"", "s" + std::to_string(r)}));
        EXPECT_EQ(row.number, r + 1);
    }
    EXPECT_FALSE((*a)->next(row));
    EXPECT_FALSE((*b)->next(row));
    EXPECT_EQ((*a)->error(), std::nullopt);
    EXPECT_EQ((*b)->error(), std::nullopt);
}

// Cells come in row blocks; inside a block a writer may order them as it
// likes, and a row is handed out only when its block has ended.
TEST_F(XlsTest, RowBlocksAndStreaming) {
    // A block ends at a DBCELL or at the next block's ROW records: the
    // first block has no DBCELL, the last no ROW records.
    std::string records;
    for (unsigned block = 0; block < 3; ++block) {
        const unsigned base = block * 32;
        if (block < 2)
            for (unsigned r = base; r < base + 32; ++r) records += rowRecord(r);
        for (unsigned r = base + 32; r-- > base;)  // rows of the block in reverse
            records += rk(r, 1, rkInteger(std::int32_t(r))) + rk(r, 0, rkInteger(-1));
        if (block > 0) records += dbCell();
    }
    // After the blocks, a cell for row 40 that shows how far the parse had
    // gone when row 40 was handed out: had it read this far, row 40 would
    // have taken the cell in; as it is, the cell comes too late and is
    // damage.
    records += rk(39, 2, rkInteger(7));
    const fs::path path = write(oneSheet(records));

    auto workbook = open(path);
    ASSERT_TRUE(workbook);
    auto reader = workbook->rows(std::size_t{0});
    ASSERT_TRUE(reader.ok());
    Row row;
    for (unsigned r = 0; r < 40; ++r) {
        ASSERT_TRUE((*reader)->next(row));
        EXPECT_EQ(row.cells, (Cells{"-1", std::to_string(r)}));
    }
    EXPECT_EQ((*reader)->error(), std::nullopt);

    std::string error;
    EXPECT_EQ(readSheet(path, 0, &error).size(), 96u);
    EXPECT_EQ(error, message(path, kDamaged));
}

// A BOF whose version is neither BIFF5's nor BIFF8's: the stream's name
// tells which it is.
TEST_F(XlsTest, StreamNameDecidesAnUnknownVersion) {
    std::string biff8 = oneSheet(label(0, 0, narrow("eight"))).stream();
    Biff five;
    five.biff8 = false;
    five.sheets = {{bytes8("S"), label(0, 0, bytes16(gbk("五")))}};
    std::string biff5 = five.stream();
    // The version is the first field of the globals' BOF.
    biff8[4] = biff8[5] = biff5[4] = biff5[5] = '\0';
    writeOle(file("eight.xls"), {{"Workbook", biff8}});
    writeOle(file("five.xls"), {{"Book", biff5}});
    EXPECT_EQ(readSheet(file("eight.xls")), Rows{{"eight"}});
    EXPECT_EQ(readSheet(file("five.xls")), Rows{{"五"}});
}

// ---- files that cannot be read ----------------------------------------------------------

TEST_F(XlsTest, PasswordsAndOtherDocuments) {
    // FILEPASS right after the globals' BOF.
    EXPECT_EQ(openError(write(oneSheet(number(0, 0, 1), record(0x002F, le16(1) + le32(0))),
                              "filepass.xls")),
              message(file("filepass.xls"), "工作簿有密码保护"));

    // An encrypted .xlsx package: OLE with encryption info and the package.
    writeOle(file("encrypted.xlsx"), {{"EncryptionInfo", std::string(64, '\1')},
                                      {"EncryptedPackage", std::string(64, '\2')}});
    EXPECT_EQ(openError(file("encrypted.xlsx")),
              message(file("encrypted.xlsx"), "工作簿有密码保护"));

    writeOle(file("word.xls"), {{"WordDocument", std::string(600, '\0')}});
    EXPECT_EQ(openError(file("word.xls")),
              message(file("word.xls"), "不是可识别的工作簿（支持 .xlsx、.xlsm、.xls、.csv）"));

    // Saved for Excel 5.0 and 97 alike: the BIFF8 stream is the one read.
    Biff book5;
    book5.biff8 = false;
    book5.sheets = {{bytes8("Old"), label(0, 0, bytes16("biff5"))}};
    Biff book8 = oneSheet(label(0, 0, narrow("biff8")));
    writeOle(file("both.xls"), {{"Book", book5.stream()}, {"Workbook", book8.stream()}});
    EXPECT_EQ(readSheet(file("both.xls")), Rows{{"biff8"}});
}

TEST_F(XlsTest, ExcelFourAndOlderSayWhatToDo) {
    const std::string reason = "Excel 2.x–4.0 格式的工作簿无法读取，请在电子表格程序中另存为 .xlsx";
    // BIFF2: BOF 0x0009 with a worksheet, an INTEGER cell, EOF.
    const std::string biff2 = record(0x0009, le16(0x0002) + le16(0x0010)) +
                              record(0x0002, std::string(9, '\0')) + record(0x000A, "");
    test::writeFile(file("old.xls"), biff2);
    EXPECT_EQ(openError(file("old.xls")), message(file("old.xls"), reason));
    test::writeFile(file("old4.XLS"), record(0x0409, le16(0) + le16(0x0100) + le16(0)));
    EXPECT_EQ(openError(file("old4.XLS")), message(file("old4.XLS"), reason));
    test::writeFile(file("old3.xls"), record(0x0209, le16(0) + le16(0x0040) + le16(0)));
    EXPECT_EQ(openError(file("old3.xls")), message(file("old3.xls"), reason));
    // Not under another name, and not for bytes that merely start alike.
    test::writeFile(file("old.xlsx"), biff2);
    EXPECT_EQ(openError(file("old.xlsx")),
              message(file("old.xlsx"), "不是可识别的工作簿（支持 .xlsx、.xlsm、.xls、.csv）"));
    test::writeFile(file("text.xls"), std::string("\x09\x00\x04\x00text", 8));
    EXPECT_EQ(openError(file("text.xls")),
              message(file("text.xls"), "不是可识别的工作簿（支持 .xlsx、.xlsm、.xls、.csv）"));
}

TEST_F(XlsTest, DamageAfterTheGoodRows) {
    // Rows 1 and 2 are complete before the damaged record in row 3.
    const std::string good =
        label(0, 0, narrow("a")) + label(1, 0, narrow("b")) + label(2, 0, narrow("c"));
    const std::pair<std::string, std::string> damages[] = {
        {"sst.xls", labelSst(2, 1, 0)},                      // no shared string 0
        {"column.xls", label(2, 256, narrow("x"))},          // past column IV
        {"short.xls", record(0x0203, le16(2) + le16(1))},    // NUMBER without its value
        {"label.xls", label(2, 1, le16(50) + '\0' + "ab")},  // fewer characters than counted
        {"mulrk.xls", record(0x00BD, le16(2) + le16(1) + le16(15) + le32(2) + le16(5))},
        {"boolerr.xls", cell(0x0205, 2, 1, 15, std::string(1, '\1'))},
        {"type.xls", formula(2, 1, special(7))},  // no such result type
        {"nostring.xls", formula(2, 1, special(0)) + label(2, 2, narrow("x"))},
        {"backwards.xls", rowRecord(3) + label(3, 0, narrow("d")) + label(0, 1, narrow("z"))},
        {"noeof.xls", ""},
    };
    for (const auto& [name, bad] : damages) {
        SCOPED_TRACE(name);
        Biff biff = oneSheet(good + bad);
        if (name == "noeof.xls") biff.sheets[0].eof = false;
        std::string error;
        const Rows rows = readSheet(write(biff, name), 0, &error);
        EXPECT_EQ(error, message(file(name), kDamaged));
        // Row 3 is good only where a later row shows that it was complete.
        EXPECT_EQ(rows, (name == "backwards.xls" ? Rows{{"a"}, {"b"}, {"c"}} : Rows{{"a"}, {"b"}}));
    }

    // The stream ends inside a record's data.
    std::string stream = oneSheet(good + number(3, 0, 1)).stream();
    stream.resize(stream.size() - 8);
    writeOle(file("truncated.xls"), {{"Workbook", stream}});
    std::string error;
    EXPECT_EQ(readSheet(file("truncated.xls"), 0, &error), (Rows{{"a"}, {"b"}}));
    EXPECT_EQ(error, message(file("truncated.xls"), kDamaged));
}

TEST_F(XlsTest, DamagedGlobals) {
    const auto damaged = [&](const std::string& name, const std::string& stream) {
        writeOle(file(name), {{"Workbook", stream}});
        EXPECT_EQ(openError(file(name)), message(file(name), kDamaged)) << name;
    };
    const std::string whole = oneSheet(number(0, 0, 1)).stream();
    // Ends before the globals' EOF.
    damaged("short.xls", whole.substr(0, 40));
    // No BOF first.
    damaged("nobof.xls", record(0x0042, le16(1200)) + whole);
    damaged("empty.xls", "");
    // A shared string longer than the table.
    damaged("sst.xls",
            oneSheet("", record(0x00FC, le32(1) + le32(1) + le16(40) + '\0' + "ab")).stream());
    // An XF without its format.
    damaged("xf.xls", oneSheet("", record(0x00E0, le16(0))).stream());
    // A BOUNDSHEET name longer than its record.
    Biff longName = oneSheet("");
    longName.sheets[0].name = char(60) + std::string(1, '\0') + "Sheet1";
    damaged("name.xls", longName.stream());

    // A sheet whose offset does not lead to a BOF.
    std::string stream = oneSheet(number(0, 0, 1)).stream();
    const std::size_t boundSheet = stream.find(std::string("\x85\x00", 2));
    ASSERT_NE(boundSheet, std::string::npos);
    stream[boundSheet + 4] = char(stream[boundSheet + 4] + 4);
    writeOle(file("offset.xls"), {{"Workbook", stream}});
    auto workbook = open(file("offset.xls"));
    ASSERT_TRUE(workbook);
    EXPECT_EQ(test::workbookError(file("offset.xls"), workbook->rows(std::size_t{0}).error()),
              message(file("offset.xls"), kDamaged));

    // Not an OLE file behind the OLE signature.
    test::writeFile(file("notole.xls"),
                    std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, 'x'));
    EXPECT_EQ(openError(file("notole.xls")), message(file("notole.xls"), kDamaged));
}

}  // namespace
}  // namespace brindle::workbook
