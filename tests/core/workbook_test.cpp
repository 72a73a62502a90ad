#include "core/workbook/workbook.h"

#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zip.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <future>
#include <random>
#include <sstream>

#include "core/base/textcodec.h"
#include "core/workbook/cellformat.h"
#include "core/workbook/internal.h"
#include "core/workbook/xml_stream.h"
#include "exportworkbook.h"
#include "testsupport.h"

namespace brindle::workbook {
namespace {

namespace fs = std::filesystem;
using Cells = std::vector<std::string>;
using Parts = std::vector<std::pair<std::string, std::string>>;

const fs::path kFixtures = BRINDLE_TEST_FIXTURES;

std::string message(const fs::path& path, std::string_view reason) {
    return "无法读取工作簿：" + platform::utf8Name(path) + "\r\n" + std::string(reason);
}

void writeFile(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::string readFile(const fs::path& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

// Writes a zip with exactly these entries; `store` leaves them uncompressed
// so a test can damage known bytes.
void writeZip(const fs::path& path, const Parts& parts, bool store = false) {
    int code = 0;
    zip_t* zip = zip_open(platform::utf8Name(path).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(zip, nullptr);
    for (const auto& [name, text] : parts) {
        zip_source_t* source = zip_source_buffer(zip, text.data(), text.size(), 0);
        const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0);
        if (store) zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    ASSERT_EQ(zip_close(zip), 0);
}

// A package written by hand, for the SpreadsheetML that libxlsxwriter never
// produces. The workbook lists sheet2.xml first, through an absolute target.
Parts package(const std::string& rowsXml, const std::string& sharedStrings = "") {
    const std::string ns = R"( xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    Parts parts = {
        {"_rels/.rels", "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel +
                            "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", "<workbook" + ns + " xmlns:r=\"" + rel +
                                "\"><sheets><sheet name=\"Main\" sheetId=\"2\" r:id=\"rId2\"/>"
                                "<sheet name=\"Spare\" sheetId=\"1\" r:id=\"rId1\"/>"
                                "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel +
             "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
             rel +
             "/worksheet\" Target=\"/xl/worksheets/sheet2.xml\"/><Relationship Id=\"rId3\" "
             "Type=\"" +
             rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", "<worksheet" + ns + "><sheetData/></worksheet>"},
        {"xl/worksheets/sheet2.xml",
         "<worksheet" + ns + "><sheetData>" + rowsXml + "</sheetData></worksheet>"},
    };
    if (!sharedStrings.empty())
        parts.push_back({"xl/sharedStrings.xml", "<sst" + ns + ">" + sharedStrings + "</sst>"});
    return parts;
}

class WorkbookTest : public ::testing::Test {
protected:
    test::TempDir temp_;

    void SetUp() override { dir_ = temp_.path(); }

    fs::path file(const std::string& name) const { return dir_ / platform::pathFromUtf8(name); }

    static std::unique_ptr<Workbook> open(const fs::path& path) {
        auto workbook = Workbook::open(path);
        EXPECT_TRUE(workbook.ok()) << test::workbookError(path, workbook.error());
        if (!workbook) return nullptr;
        EXPECT_NE(*workbook, nullptr);
        return *std::move(workbook);
    }

    static std::string openError(const fs::path& path) {
        const auto workbook = Workbook::open(path);
        EXPECT_FALSE(workbook.ok());
        return workbook ? std::string() : test::workbookError(path, workbook.error());
    }

    // The rows of a sheet that must be readable.
    template <class Sheet>
    static std::unique_ptr<RowReader> rowsOf(Workbook& workbook, Sheet sheet) {
        auto reader = workbook.rows(sheet);
        EXPECT_TRUE(reader.ok()) << test::workbookError(workbook.path(), reader.error());
        return reader ? *std::move(reader) : nullptr;
    }

    // Every row of a sheet, checking that numbers run on from 1 and that the
    // sheet ends without error.
    static std::vector<Cells> readAll(RowReader& reader) {
        std::vector<Cells> rows;
        Row row;
        while (reader.next(row)) {
            EXPECT_EQ(row.number, rows.size() + 1);
            rows.push_back(row.cells);
        }
        EXPECT_EQ(reader.error(), std::nullopt);
        return rows;
    }

    static std::vector<Cells> readSheet(const fs::path& path, std::size_t sheet = 0) {
        auto workbook = open(path);
        if (!workbook) return {};
        auto reader = rowsOf(*workbook, sheet);
        return reader ? readAll(*reader) : std::vector<Cells>{};
    }

    // Reads until next() fails and returns the error it left.
    static std::string readUntilError(const fs::path& path, std::size_t& goodRows) {
        auto workbook = open(path);
        if (!workbook) return {};
        auto reader = workbook->rows(std::size_t{0});
        if (!reader) return test::workbookError(path, reader.error());
        Row row;
        for (goodRows = 0; (*reader)->next(row);) ++goodRows;
        return test::workbookError(path, (*reader)->error());
    }

    fs::path dir_;
};

// ---- numbers ------------------------------------------------------------------

TEST(WorkbookNumbers, PrintWhatAnEngineerTyped) {
    const auto formatNumber = [](double value) { return renderGeneral(value); };
    EXPECT_EQ(formatNumber(38400), "38400");
    EXPECT_EQ(formatNumber(-5), "-5");
    EXPECT_EQ(formatNumber(0), "0");
    EXPECT_EQ(formatNumber(-0.0), "0");
    EXPECT_EQ(formatNumber(38400.5), "38400.5");
    EXPECT_EQ(formatNumber(0.1), "0.1");
    EXPECT_EQ(formatNumber(12.5), "12.5");
    EXPECT_EQ(formatNumber(-0.000001), "-0.000001");
    // At most 15 significant digits, as the spreadsheet shows a number.
    EXPECT_EQ(formatNumber(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(formatNumber(1.0 / 7), "0.142857142857143");
    EXPECT_EQ(formatNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatNumber(123456789012.25), "123456789012.25");
    EXPECT_EQ(formatNumber(999999999999999.0), "999999999999999");
    EXPECT_EQ(formatNumber(1e15), "1E+15");
    EXPECT_EQ(formatNumber(9007199254740992.0), "9.00719925474099E+15");
    EXPECT_EQ(formatNumber(1e20), "1E+20");
    EXPECT_EQ(formatNumber(-2.5e-9), "-2.5E-09");
    EXPECT_EQ(formatNumber(1.5e-7), "1.5E-07");
}

TEST(WorkbookRow, CellsPastTheEndAreEmpty) {
    const Row row{4, {"", "x", ""}};
    EXPECT_EQ(row.cell(1), "x");
    EXPECT_EQ(row.cell(3), "");
    EXPECT_FALSE(row.blank());
    EXPECT_TRUE((Row{5, {"", ""}}).blank());
    EXPECT_TRUE(Row().blank());
}

// ---- .xlsx written by libxlsxwriter -------------------------------------------

TEST_F(WorkbookTest, XlsxCellsOfEveryKind) {
    const fs::path path = file("cells.xlsx");
    const test::XlsxwriterFile written(path);
    lxw_workbook* wb = workbook_new(written.name());
    lxw_worksheet* ws = workbook_add_worksheet(wb, "小区");
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    worksheet_write_string(ws, 0, 0, "小区名称", nullptr);
    worksheet_write_string(ws, 0, 1, "  spaced  ", nullptr);
    worksheet_write_string(ws, 0, 2, "38400", nullptr);  // text that looks like a number
    const double numbers[] = {38400, 38400.5, 0.1, -5, 0, 1e20};
    for (int i = 0; i < 6; ++i) worksheet_write_number(ws, 1, lxw_col_t(i), numbers[i], nullptr);
    char lte[] = "LTE", cell[] = "小区";
    lxw_rich_string_tuple first = {bold, lte}, second = {nullptr, cell};
    lxw_rich_string_tuple* rich[] = {&first, &second, nullptr};
    worksheet_write_rich_string(ws, 2, 0, rich, nullptr);
    worksheet_write_boolean(ws, 2, 1, 1, nullptr);
    worksheet_write_boolean(ws, 2, 2, 0, nullptr);
    worksheet_write_formula_num(ws, 2, 3, "=1+2", nullptr, 3);
    worksheet_write_formula_str(ws, 2, 4, "=A1&\"x\"", nullptr, "小区名称x");
    worksheet_write_string(ws, 2, 27, "AB", nullptr);
    worksheet_write_string(ws, 5, 1, "after the gap", nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    written.place();

    const std::vector<Cells> expected = {
        {"小区名称", "  spaced  ", "38400"},
        {"38400", "38400.5", "0.1", "-5", "0", "1E+20"},
        {"LTE小区", "TRUE", "FALSE", "3", "小区名称x", "", "", "", "", "", "", "", "", "",
         "",        "",     "",      "",  "",          "", "", "", "", "", "", "", "", "AB"},
        {},
        {},
        {"", "after the gap"},
    };
    EXPECT_EQ(readSheet(path), expected);
}

TEST_F(WorkbookTest, XlsxInlineStringsFromConstantMemoryWriter) {
    const fs::path path = file("inline.xlsx");
    lxw_workbook_options options = {LXW_TRUE, nullptr, LXW_FALSE};
    const test::XlsxwriterFile written(path);
    lxw_workbook* wb = workbook_new_opt(written.name(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    worksheet_write_string(ws, 0, 0, " 北京 ", nullptr);
    worksheet_write_number(ws, 0, 1, 15.2, nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    written.place();
    int code = 0;
    zip_t* zip = zip_open(platform::utf8Name(path).c_str(), ZIP_RDONLY, &code);
    ASSERT_NE(zip, nullptr);
    EXPECT_LT(zip_name_locate(zip, "xl/sharedStrings.xml", 0), 0);  // all strings inline
    zip_discard(zip);
    EXPECT_EQ(readSheet(path), (std::vector<Cells>{{" 北京 ", "15.2"}}));
}

TEST_F(WorkbookTest, XlsxSheetsByIndexAndByName) {
    const fs::path path = file("sheets.xlsx");
    const test::XlsxwriterFile written(path);
    lxw_workbook* wb = workbook_new(written.name());
    lxw_chartsheet* chartsheet = workbook_add_chartsheet(wb, "图表");
    lxw_worksheet* first = workbook_add_worksheet(wb, "小区参数");
    lxw_worksheet* second = workbook_add_worksheet(wb, "查询EUTRAN同频邻区关系");
    lxw_chart* chart = workbook_add_chart(wb, LXW_CHART_COLUMN);
    chart_add_series(chart, nullptr, "='小区参数'!$A$1:$A$2");
    chartsheet_set_chart(chartsheet, chart);
    worksheet_write_string(first, 0, 0, "first", nullptr);
    worksheet_write_string(second, 0, 0, "本地小区标识", nullptr);
    worksheet_write_number(second, 1, 0, 2, nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    written.place();

    auto workbook = open(path);
    ASSERT_TRUE(workbook);
    // The chart sheet has no cells; index 0 is the first worksheet.
    EXPECT_EQ(workbook->sheetNames(), (Cells{"小区参数", "查询EUTRAN同频邻区关系"}));
    auto reader = rowsOf(*workbook, std::size_t{0});
    ASSERT_TRUE(reader);
    EXPECT_EQ(readAll(*reader), (std::vector<Cells>{{"first"}}));
    reader = rowsOf(*workbook, std::string_view("查询EUTRAN同频邻区关系"));
    ASSERT_TRUE(reader);
    EXPECT_EQ(readAll(*reader), (std::vector<Cells>{{"本地小区标识"}, {"2"}}));

    // A reader keeps what it needs of the workbook.
    reader = rowsOf(*workbook, std::size_t{1});
    ASSERT_TRUE(reader);
    workbook.reset();
    Row row;
    ASSERT_TRUE(reader->next(row));
    EXPECT_EQ(row.cells, Cells{"本地小区标识"});
    workbook = open(path);
    EXPECT_EQ(test::workbookError(path, workbook->rows("查询GSM邻区关系").error()),
              message(path, "工作簿中没有名为“查询GSM邻区关系”的工作表"));
    EXPECT_EQ(test::workbookError(path, workbook->rows(std::size_t{2}).error()),
              message(path, "工作簿中没有第 3 个工作表"));
}

// ---- .xlsx written by hand ----------------------------------------------------

TEST_F(WorkbookTest, XlsxPackageDetailsOtherWritersUse) {
    const fs::path path = file("crafted.xlsx");
    // Shared strings: plain, rich runs with a phonetic guide left out, an
    // escaped carriage return, preserved spaces.
    const std::string strings =
        "<si><t>plain</t></si>"
        "<si><r><t>北京</t></r><r><rPr><b/></rPr><t>朝阳</t></r><rPh sb=\"0\" eb=\"2\">"
        "<t>ベイジン</t></rPh></si>"
        "<si><t>a_x000D_\nb _x005F_x0041_</t></si>"
        "<si><t xml:space=\"preserve\">  lead and trail  </t></si>";
    // Cells without "r" follow the previous one; rows without "r" follow the
    // previous row; prefixed element names; error, inline and date types.
    const std::string rows =
        "<row r=\"1\"><c t=\"s\"><v>0</v></c><c t=\"s\"><v>1</v></c><c r=\"E1\" t=\"s\"><v>2</v>"
        "</c><c t=\"s\"><v>3</v></c></row>"
        "<row><c r=\"B2\" t=\"e\"><f>NA()</f><v>#N/A</v></c><c t=\"inlineStr\"><is><t>i_x006E_</t>"
        "<rPh><t>x</t></rPh></is></c><c><v>3.84E+4</v></c><c t=\"d\"><v>2024-01-05</v></c>"
        "<c s=\"3\"/></row>"
        "<row r=\"4\" spans=\"1:2\"><c r=\"A4\"><f>SUM(1,2)</f><v>3</v></c></row>";
    Parts parts = package(rows, strings);
    // Rows in the "x:" prefix some .NET writers use, in another sheet.
    parts[3].second =
        "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<x:sheetData><x:row r=\"2\"><x:c r=\"C2\"><x:v>7</x:v></x:c></x:row></x:sheetData>"
        "</x:worksheet>";
    writeZip(path, parts);

    auto workbook = open(path);
    ASSERT_TRUE(workbook);
    EXPECT_EQ(workbook->sheetNames(), (Cells{"Main", "Spare"}));
    EXPECT_EQ(
        readSheet(path),
        (std::vector<Cells>{{"plain", "北京朝阳", "", "", "a\r\nb _x0041_", "  lead and trail  "},
                            {"", "#N/A", "in", "38400", "2024-01-05"},
                            {},
                            {"3"}}));
    EXPECT_EQ(readSheet(path, 1), (std::vector<Cells>{{}, {"", "", "7"}}));
}

// What the spreadsheet application reads without complaint, Brindle reads
// too: rows stored out of order come in row order, absolute and lower-case
// references name their columns, an inline string is its own text only.
TEST_F(WorkbookTest, XlsxLenientSheetContent) {
    const std::string rows =
        "<row r=\"3\"><c r=\"$B$3\" t=\"inlineStr\"><v>1.</v><is><t>1.</t></is></c></row>"
        "<row r=\"1\"><c r=\"a1\"><v>1</v></c><c r=\"c1\"><v>3</v></c></row>"
        "<row r=\"2\"><c r=\"$A2\"><v>2</v></c></row>"
        "<row r=\"6\"><c r=\"A6\"><v>6</v></c></row>"
        "<row r=\"5\"><c r=\"A5\"><v>5</v></c></row>"
        "<row r=\"1\"><c r=\"B1\"><v>9</v></c></row>";  // a row stored twice is one row
    writeZip(file("order.xlsx"), package(rows));
    EXPECT_EQ(readSheet(file("order.xlsx")),
              (std::vector<Cells>{{"1", "9", "3"}, {"2"}, {"", "1."}, {}, {"5"}, {"6"}}));
}

// The row a file leaves out ends an import; it must really be missing, not
// stored further on.
TEST_F(WorkbookTest, XlsxAMissingRowIsCheckedAgainstTheRestOfTheSheet) {
    writeZip(file("late.xlsx"),
             package("<row r=\"1\"><c><v>1</v></c></row><row r=\"3\"><c><v>3</v></c></row>"
                     "<row r=\"2\"><c><v>2</v></c></row>"));
    EXPECT_EQ(readSheet(file("late.xlsx")), (std::vector<Cells>{{"1"}, {"2"}, {"3"}}));
    writeZip(file("gap.xlsx"),
             package("<row r=\"1\"><c><v>1</v></c></row><row r=\"3\"><c><v>3</v></c></row>"
                     "<row r=\"4\"><c><v>4</v></c></row>"));
    EXPECT_EQ(readSheet(file("gap.xlsx")), (std::vector<Cells>{{"1"}, {}, {"3"}, {"4"}}));
}

// Entry names with backslashes, and a later sheet whose part is missing:
// the first sheet is still read.
TEST_F(WorkbookTest, XlsxLenientPackage) {
    Parts parts = package("<row r=\"1\"><c><v>7</v></c></row>");
    for (auto& [name, text] : parts)
        if (name != "_rels/.rels") std::replace(name.begin(), name.end(), '/', '\\');
    writeZip(file("backslash.xlsx"), parts);
    EXPECT_EQ(readSheet(file("backslash.xlsx")), (std::vector<Cells>{{"7"}}));

    parts = package("<row r=\"1\"><c><v>8</v></c></row>");
    parts.erase(parts.begin() + 3);  // worksheets/sheet1.xml, the second sheet in order
    writeZip(file("broken-later.xlsx"), parts);
    auto workbook = open(file("broken-later.xlsx"));
    ASSERT_TRUE(workbook);
    EXPECT_EQ(workbook->sheetNames(), Cells{"Main"});
    EXPECT_EQ(readSheet(file("broken-later.xlsx")), (std::vector<Cells>{{"8"}}));
}

// Numbers under their styles' number formats, in the 1904 date system.
TEST_F(WorkbookTest, XlsxNumbersAsStoredByEveryWriter) {
    // Stored forms Excel never writes but other writers do, beside the plain
    // ones: each shows as the spreadsheet shows its value.
    const char* stored[] = {"0",
                            "-0",
                            "007",
                            "-42",
                            "123456789012345",
                            "-123456789012345",
                            "1234567890123456",
                            "99999999999999999999",
                            "1E3",
                            "2.50E-1",
                            "38400.000",
                            "+5",
                            " 5",
                            "0x10",
                            "",
                            "1.5e308",
                            "4.9E-324"};
    std::string row = "<row r=\"1\">";
    for (const char* v : stored) row += "<c><v>" + std::string(v) + "</v></c>";
    row += "</row>";
    writeZip(file("numbers.xlsx"), package(row));
    EXPECT_EQ(readSheet(file("numbers.xlsx")),
              (std::vector<Cells>{{"0", "0", "7", "-42", "123456789012345", "-123456789012345",
                                   "1.23456789012346E+15", "1E+20", "1000", "0.25", "38400", "+5",
                                   " 5", "0x10", "", "1.5E+308", "4.94065645841247E-324"}}));
}

// The package with the styles part `styles` and, where asked, the 1904 date system.
void addStyles(Parts& parts, const std::string& styles, bool date1904) {
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    if (date1904) {
        const std::size_t at = parts[1].second.find("<sheets>");
        parts[1].second.insert(at, "<workbookPr date1904=\"1\"/>");
    }
    parts[2].second.insert(
        parts[2].second.find("</Relationships>"),
        "<Relationship Id=\"rId9\" Type=\"" + rel + "/styles\" Target=\"styles.xml\"/>");
    parts.push_back({"xl/styles.xml", styles});
}

TEST_F(WorkbookTest, XlsxNumberFormatsAndTheDateSystem) {
    const std::string rows =
        "<row r=\"1\"><c s=\"1\"><v>3.14159</v></c><c s=\"2\"><v>1234.5</v></c>"
        "<c s=\"3\"><v>0.125</v></c><c s=\"4\"><v>0.125</v></c><c s=\"5\"><v>0</v></c>"
        "<c s=\"6\"><v>0.5</v></c><c s=\"7\"><v>1.75</v></c><c s=\"8\"><v>1</v></c>"
        "<c s=\"8\"><v>38400</v></c><c s=\"9\"><v>38400</v></c><c s=\"99\"><v>2.5</v></c>"
        "<c s=\"1\"><v>7</v></c><c s=\"4\"><v>-3</v></c><c s=\"99\"><v>12</v></c></row>";
    for (const bool date1904 : {false, true}) {
        Parts parts = package(rows);
        addStyles(parts,
                  "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"#,##0.000\"/>"
                  "<numFmt numFmtId=\"165\" "
                  "formatCode=\"yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;\"/>"
                  "</numFmts><cellStyleXfs><xf numFmtId=\"10\"/></cellStyleXfs><cellXfs>"
                  "<xf numFmtId=\"0\"/><xf numFmtId=\"2\"/><xf numFmtId=\"164\"/>"
                  "<xf numFmtId=\"9\"/><xf numFmtId=\"10\"/><xf numFmtId=\"165\"/>"
                  "<xf numFmtId=\"21\"/><xf numFmtId=\"22\"/><xf numFmtId=\"14\"/>"
                  "<xf numFmtId=\"49\"/></cellXfs></styleSheet>",
                  date1904);
        writeZip(file("styles.xlsx"), parts);
        const Cells dates =
            date1904 ? Cells{"1904-01-01", "12:00:00", "1904-01-02 18:00:00", "1904-01-02"}
                     : Cells{"1900-01-00", "12:00:00", "1900-01-01 18:00:00", "1900-01-01"};
        EXPECT_EQ(readSheet(file("styles.xlsx")),
                  (std::vector<Cells>{{"3.14", "1234.500", "13%", "12.50%", dates[0], dates[1],
                                       dates[2], dates[3], date1904 ? "2009-02-18" : "2005-02-17",
                                       "38400", "2.5", "7.00", "-300.00%", "12"}}))
            << date1904;
    }
}

// Strict SpreadsheetML may keep a date as ISO 8601 text (t="d"); the
// spreadsheet shows it as any date: by the cell's date or time format, else
// by what the text holds, the same in either date system. What is no date it
// can show stays as stored.
TEST_F(WorkbookTest, XlsxIsoDatesShowAsDates) {
    const std::pair<std::string, std::string> cells[] = {
        {"<c t=\"d\"><v>2021-01-01T10:10:10</v></c>", "2021-01-01 10:10:10"},
        {"<c t=\"d\" s=\"1\"><v>2014-02-14T10:10:10</v></c>", "2014-02-14"},
        {"<c t=\"d\" s=\"2\"><v>2014-02-14T10:10:10.6Z</v></c>", "10:10:11"},
        {"<c t=\"d\" s=\"3\"><v>2014-02-14</v></c>", "2014-02-14 00:00:00"},
        {"<c t=\"d\" s=\"4\"><v>2014-02-14T23:59:59.7</v></c>", "2014-02-15 00:00:00"},
        {"<c t=\"d\"><v>T10:10</v></c>", "10:10:00"},
        {"<c t=\"d\" s=\"1\"><v>2024-02-29</v></c>", "2024-02-29"},
        {"<c t=\"d\"><v>9999-12-31</v></c>", "9999-12-31"},
        {"<c t=\"d\"><v>2023-02-29</v></c>", "2023-02-29"},
        {"<c t=\"d\"><v>2021-01-01T24:00:00</v></c>", "2021-01-01T24:00:00"},
        {"<c t=\"d\"><v>2021-01-01 10:10:10</v></c>", "2021-01-01 10:10:10"},
        {"<c t=\"d\"><v>next week</v></c>", "next week"},
    };
    std::string row = "<row r=\"1\">";
    Cells shown;
    for (const auto& [xml, text] : cells) {
        row += xml;
        shown.push_back(text);
    }
    // Before the first day of the 1904 system, and either side of the 1900
    // system's false leap day.
    const std::string early =
        "<row r=\"2\"><c t=\"d\"><v>1900-02-28</v></c>"
        "<c t=\"d\" s=\"1\"><v>1900-03-01T12:00:00</v></c></row>";
    for (const bool date1904 : {false, true}) {
        Parts parts = package(row + "</row>" + early);
        addStyles(parts,
                  "<styleSheet><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/>"
                  "<xf numFmtId=\"21\"/><xf numFmtId=\"22\"/><xf numFmtId=\"22\"/>"
                  "</cellXfs></styleSheet>",
                  date1904);
        writeZip(file("iso.xlsx"), parts);
        const Cells second = date1904 ? Cells{"1900-02-28", "1900-03-01T12:00:00"}
                                      : Cells{"1900-02-28", "1900-03-01"};
        EXPECT_EQ(readSheet(file("iso.xlsx")), (std::vector<Cells>{shown, second})) << date1904;
    }
}

TEST_F(WorkbookTest, XlsxStopsParsingWhereTheReaderStops) {
    // Far more rows than one parsed chunk, then XML that is not well-formed.
    std::string rows;
    for (int r = 1; r <= 5000; ++r)
        rows += "<row r=\"" + std::to_string(r) + "\"><c t=\"inlineStr\"><is><t>row " +
                std::to_string(r) + " of a long sheet</t></is></c></row>";
    const fs::path path = file("long.xlsx");
    writeZip(path, package(rows + "<row r=\"5001\"><c></row>"));

    auto workbook = open(path);
    ASSERT_TRUE(workbook);
    auto reader = rowsOf(*workbook, std::size_t{0});
    ASSERT_TRUE(reader);
    Row row;
    ASSERT_TRUE(reader->next(row));
    EXPECT_EQ(row.cells, Cells{"row 1 of a long sheet"});
    EXPECT_EQ(reader->error(), std::nullopt);

    std::size_t good = 0;
    EXPECT_EQ(readUntilError(path, good), message(path, "文件已损坏"));
    EXPECT_EQ(good, 5000u);
}

TEST_F(WorkbookTest, ReadAheadGivesTheSameRowsThenTheSameError) {
    // Several batches of rows with a row the sheet leaves out and cells
    // without references, then XML that is not well-formed.
    std::string rows;
    for (int r = 1; r <= 1300; ++r) {
        if (r == 700) continue;
        rows += "<row r=\"" + std::to_string(r) + "\"><c t=\"inlineStr\"><is><t>第" +
                std::to_string(r) + "行</t></is></c><c><v>" + std::to_string(r) +
                ".5</v></c></row>";
    }
    const fs::path path = file("ahead.xlsx");
    writeZip(path, package(rows + "<row r=\"1301\"><c></row>"));
    auto workbook = open(path);
    ASSERT_TRUE(workbook);
    auto ahead = workbook->readAhead(rowsOf(*workbook, std::size_t{0}));
    std::vector<Row> got;
    Row row;
    while (ahead->next(row)) got.push_back(row);
    EXPECT_EQ(test::workbookError(path, ahead->error()), message(path, "文件已损坏"));
    EXPECT_FALSE(ahead->next(row));  // it stays ended
    ASSERT_EQ(got.size(), 1300u);
    for (std::size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i].number, i + 1);
    EXPECT_EQ(got[0].cells, (Cells{"第1行", "1.5"}));
    EXPECT_EQ(got[698].cells, (Cells{"第699行", "699.5"}));
    EXPECT_EQ(got[699].cells, Cells{});
    EXPECT_EQ(got[1299].cells, (Cells{"第1300行", "1300.5"}));
}

TEST_F(WorkbookTest, ReadAheadStopsWhenTheCallerDoes) {
    std::string rows;
    for (int r = 1; r <= 20000; ++r)
        rows += "<row><c t=\"inlineStr\"><is><t>row " + std::to_string(r) + "</t></is></c></row>";
    const fs::path path = file("stop.xlsx");
    writeZip(path, package(rows));
    auto workbook = open(path);
    ASSERT_TRUE(workbook);
    for (int taken : {0, 1, 3000}) {
        auto ahead = workbook->readAhead(rowsOf(*workbook, std::size_t{0}));
        Row row;
        for (int i = 0; i < taken; ++i) ASSERT_TRUE(ahead->next(row));
        if (taken > 0) {
            EXPECT_EQ(row.cells, Cells{"row " + std::to_string(taken)});
        }
        // Destroying the reader here ends its thread; the test's timeout
        // catches a reader that would wait for ever.
    }
    // An empty sheet ends at once, without error.
    auto spare = workbook->readAhead(rowsOf(*workbook, std::size_t{1}));
    Row row;
    EXPECT_FALSE(spare->next(row));
    EXPECT_EQ(spare->error(), std::nullopt);
}

// Row r of a sheet whose rows differ from their neighbours in width, gaps
// and the length of their texts (past what a string holds without memory of
// its own), with blank rows between.
Cells varyingRow(int r) {
    const std::string n = std::to_string(r);
    switch (r % 5) {
        case 0:
            return {};
        case 1:
            return {"第" + n + "行，一个很长的基站名", n, "x" + n, "", "末" + n};
        case 2:
            return {n};
        case 3:
            return {"", "", std::string(40 + r % 7, 'L') + n};
        default:
            return {"a" + n, "b"};
    }
}

TEST_F(WorkbookTest, RowsReadIntoTheCallersEarlierRowsHoldOnlyTheirOwnCells) {
    std::string rows;
    std::vector<Cells> expected;
    for (int r = 1; r <= 3000; ++r) {
        const std::string n = std::to_string(r);
        expected.push_back(varyingRow(r));
        rows += "<row r=\"" + n + "\">";
        for (std::size_t c = 0; c < expected.back().size(); ++c) {
            if (expected.back()[c].empty()) continue;
            rows += "<c r=\"" + std::string(1, char('A' + c)) + n + "\" t=\"inlineStr\"><is><t>" +
                    expected.back()[c] + "</t></is></c>";
        }
        if (r % 5 == 1)
            rows += "<c r=\"F" + n + "\" s=\"0\"/>";  // an empty cell past the last text
        rows += "</row>";
    }
    const fs::path path = file("varying.xlsx");
    writeZip(path, package(rows));
    auto workbook = open(path);
    ASSERT_TRUE(workbook);
    for (const bool ahead : {false, true}) {
        SCOPED_TRACE(ahead ? "read ahead" : "read here");
        auto reader = rowsOf(*workbook, std::size_t{0});
        ASSERT_TRUE(reader);
        if (ahead) reader = workbook->readAhead(std::move(reader));
        EXPECT_EQ(readAll(*reader), expected);
    }
}

// Sheet rows of a given size: a cell of `length` bytes of text, a row tag of
// `length` bytes.
std::string inlineCell(std::size_t length) {
    return "<row r=\"1\"><c t=\"inlineStr\"><is><t>" + std::string(length, 'x') +
           "</t></is></c></row>";
}
std::string rowTagOf(std::size_t length, const std::string& number = "1") {
    const std::string head = "<row r=\"" + number + "\" x=\"", tail = "\">";
    return head + std::string(length - head.size() - tail.size(), 'y') + tail +
           "<c><v>1</v></c></row>";
}

TEST_F(WorkbookTest, XlsxBadSheetContentIsDamage) {
    const std::pair<std::string, std::string> cases[] = {
        {"row-zero.xlsx", "<row r=\"0\"/>"},
        {"no-string.xlsx", "<row r=\"1\"><c t=\"s\"><v>9</v></c></row>"},
        {"far-row.xlsx", "<row r=\"1048577\"/>"},
        {"far-column.xlsx", "<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"},
        {"doctype.xlsx", ""},
        {"long-text.xlsx", inlineCell(detail::kMaxCellBytes + 1)},
        {"long-value.xlsx",
         "<row r=\"1\"><c><v>" + std::string(detail::kMaxCellBytes + 1, '7') + "</v></c></row>"},
        {"long-tag.xlsx", rowTagOf(detail::kLongestTag + 1)},
        // After a row the file leaves out, the rows' order is looked at first.
        {"long-tag-after-gap.xlsx",
         "<row r=\"1\"><c><v>1</v></c></row>" + rowTagOf(detail::kLongestTag + 1, "3")},
        {"long-string.xlsx", "<row r=\"1\"><c t=\"s\"><v>1</v></c></row>"},
    };
    for (const auto& [name, rows] : cases) {
        const std::string strings = name == "long-string.xlsx"
                                        ? "<si><t>only</t></si><si><t>" +
                                              std::string(detail::kMaxCellBytes + 1, 'z') +
                                              "</t></si>"
                                        : "<si><t>only</t></si>";
        Parts parts = package(rows, strings);
        if (rows.empty())
            parts[4].second = "<!DOCTYPE worksheet [<!ENTITY a \"x\">]>" + parts[4].second;
        writeZip(file(name), parts);
        std::size_t good = 0;
        EXPECT_EQ(readUntilError(file(name), good), message(file(name), "文件已损坏")) << name;
    }
}

TEST_F(WorkbookTest, XlsxZipDamageInsideASheet) {
    const fs::path path = file("crc.xlsx");
    writeZip(path, package("<row r=\"1\"><c t=\"inlineStr\"><is><t>MARKER</t></is></c></row>"),
             true);
    std::string bytes = readFile(path);
    const std::size_t at = bytes.find("MARKER");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 5] = 'S';  // still well-formed XML, but the checksum no longer matches
    writeFile(path, bytes);
    std::size_t good = 0;
    EXPECT_EQ(readUntilError(path, good), message(path, "文件已损坏"));
}

TEST_F(WorkbookTest, XlsxLargestCellsAndTagsAreRead) {
    const std::pair<std::string, std::vector<Cells>> cases[] = {
        {inlineCell(detail::kMaxCellBytes), {{std::string(detail::kMaxCellBytes, 'x')}}},
        {rowTagOf(detail::kLongestTag), {{"1"}}},
        // After a row the file leaves out, a row stored out of its order.
        {"<row r=\"1\"><c><v>1</v></c></row>" + rowTagOf(detail::kLongestTag, "3") +
             "<row r=\"2\"><c><v>2</v></c></row>",
         {{"1"}, {"2"}, {"1"}}},
    };
    for (const auto& [rows, expected] : cases) {
        writeZip(file("large.xlsx"), package(rows));
        EXPECT_EQ(readSheet(file("large.xlsx")), expected) << rows.substr(0, 40);
    }
}

// ---- files that cannot be read ------------------------------------------------

TEST_F(WorkbookTest, UnreadableFilesSayWhy) {
    EXPECT_EQ(openError(file("absent.xlsx")), message(file("absent.xlsx"), "文件不存在"));
    EXPECT_EQ(openError(dir_), message(dir_, "文件无法打开"));

    const std::string unrecognised = "不是可识别的工作簿（支持 .xlsx、.xlsm、.xls、.csv）";
    writeFile(file("text.xlsx"), "小区名称,频点\n");
    EXPECT_EQ(openError(file("text.xlsx")), message(file("text.xlsx"), unrecognised));
    writeFile(file("empty.xls"), "");
    EXPECT_EQ(openError(file("empty.xls")), message(file("empty.xls"), unrecognised));
    writeZip(file("other.xlsx"), {{"readme.txt", "not a workbook"}});
    EXPECT_EQ(openError(file("other.xlsx")), message(file("other.xlsx"), unrecognised));

    Parts noSheets = package("");
    noSheets[1].second = "<workbook><sheets/></workbook>";
    writeZip(file("nosheets.xlsx"), noSheets);
    EXPECT_EQ(openError(file("nosheets.xlsx")),
              message(file("nosheets.xlsx"), "工作簿中没有工作表"));

    writeZip(file("whole.xlsx"), package("<row r=\"1\"/>"));
    const std::string whole = readFile(file("whole.xlsx"));
    writeFile(file("truncated.xlsx"), whole.substr(0, whole.size() / 2));
    EXPECT_EQ(openError(file("truncated.xlsx")), message(file("truncated.xlsx"), "文件已损坏"));
}

// Opening a FIFO the usual way waits for a writer at its other end, for ever.
// Every way in is tried on one: the check before the format is known, and
// each format's own opening, which a path swapped for a FIFO after that
// check reaches.
TEST_F(WorkbookTest, AFifoIsRefusedAtOnce) {
    BRINDLE_POSIX_ONLY("a FIFO in a folder is POSIX's");
#ifndef _WIN32
    using Open = std::function<std::string(const fs::path&)>;
    const auto error = [](const fs::path& p, auto opened) {
        return opened ? std::string() : test::workbookError(p, opened.error());
    };
    const Open byContent = [&](const fs::path& p) { return error(p, Workbook::open(p)); };
    const auto source = [](const fs::path& p) { return ByteSource::file(p); };
    const std::pair<std::string, Open> cases[] = {
        {"fifo.xlsx", byContent},
        {"fifo.xls", byContent},
        {"fifo.csv", byContent},
        {"as-xlsx.xlsx", [&](const fs::path& p) { return error(p, detail::openXlsx(source(p))); }},
        {"as-xls.xls", [&](const fs::path& p) { return error(p, detail::openXls(source(p))); }},
        {"as-csv.csv",
         [&](const fs::path& p) {
             auto workbook = detail::openCsv(source(p));
             return workbook ? error(p, (*workbook)->rows(std::size_t{0}))
                             : error(p, std::move(workbook));
         }},
    };
    for (const auto& [name, open] : cases) {
        const fs::path fifo = file(name);
        ASSERT_EQ(::mkfifo(platform::utf8Name(fifo).c_str(), 0600), 0) << name;
        auto answer = std::async(std::launch::async, open, fifo);
        if (answer.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << name << ": waited on the FIFO";
            // A writer that comes and goes ends each wait, so the test ends.
            do {
                const int fd = ::open(platform::utf8Name(fifo).c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) ::close(fd);
            } while (answer.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready);
        }
        EXPECT_EQ(answer.get(), message(fifo, "文件无法打开")) << name;
    }
#endif
}

// The OLE container Excel wraps an encrypted .xlsx in: a header, one FAT
// sector and one directory sector holding the root and two streams.
std::string encryptedXlsx(const std::string& streamName) {
    std::string b(1536, '\0');
    auto put = [&b](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) b[at + std::size_t(i)] = char(value >> (8 * i));
    };
    b.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    put(24, 0x3E, 2);        // minor version
    put(26, 3, 2);           // major version: 512-byte sectors
    put(28, 0xFFFE, 2);      // byte order
    put(30, 9, 2);           // sector shift
    put(32, 6, 2);           // mini sector shift
    put(44, 1, 4);           // FAT sectors
    put(48, 1, 4);           // first directory sector
    put(56, 0x1000, 4);      // mini stream cutoff
    put(60, 0xFFFFFFFE, 4);  // no mini FAT
    put(68, 0xFFFFFFFE, 4);  // no further DIFAT
    for (int i = 0; i < 109; ++i) put(76 + 4 * std::size_t(i), i == 0 ? 0 : 0xFFFFFFFF, 4);
    for (int i = 0; i < 128; ++i) put(512 + 4 * std::size_t(i), 0xFFFFFFFF, 4);
    put(512, 0xFFFFFFFD, 4);  // sector 0 holds the FAT
    put(516, 0xFFFFFFFE, 4);  // sector 1, the directory, ends its chain
    const std::string names[] = {"Root Entry", "EncryptionInfo", streamName};
    for (std::size_t e = 0; e < 4; ++e) {
        const std::size_t at = 1024 + 128 * e;
        for (std::size_t link = 68; link <= 76; link += 4) put(at + link, 0xFFFFFFFF, 4);
        if (e == 3) continue;
        for (std::size_t i = 0; i < names[e].size(); ++i) b[at + 2 * i] = names[e][i];
        put(at + 64, std::uint32_t(2 * (names[e].size() + 1)), 2);
        put(at + 66, e == 0 ? 5 : 2, 1);  // root storage or stream
        put(at + 67, 1, 1);               // black
        put(at + 116, 0xFFFFFFFE, 4);     // empty: no start sector
    }
    put(1024 + 76, 1, 4);  // the root's child: EncryptionInfo
    put(1152 + 72, 2, 4);  // and its right sibling: the package
    return b;
}

TEST_F(WorkbookTest, PasswordProtectedWorkbooks) {
    writeFile(file("protected.xlsx"), encryptedXlsx("EncryptedPackage"));
    EXPECT_EQ(openError(file("protected.xlsx")),
              message(file("protected.xlsx"), "工作簿有密码保护"));
    writeFile(file("document.xls"), encryptedXlsx("WordDocument"));
    EXPECT_EQ(openError(file("document.xls")),
              message(file("document.xls"), "不是可识别的工作簿（支持 .xlsx、.xlsm、.xls、.csv）"));
    // A package that lost its EncryptedPackage, or whose package stream
    // claims sectors the file does not have, is still an encrypted one.
    writeFile(file("lost.xlsx"), encryptedXlsx("Other"));
    EXPECT_EQ(openError(file("lost.xlsx")), message(file("lost.xlsx"), "工作簿有密码保护"));
    std::string cut = encryptedXlsx("EncryptedPackage");
    const std::size_t package = 1024 + 128 * 2;
    cut.replace(package + 116, 8, std::string("\x07\0\0\0\0\x40\0\0", 8));  // 16 KiB from sector 7
    writeFile(file("cut.xlsx"), cut);
    EXPECT_EQ(openError(file("cut.xlsx")), message(file("cut.xlsx"), "工作簿有密码保护"));

    // A FILEPASS record in place of the fixture's INTERFACEHDR, just after BOF.
    std::string xls = readFile(kFixtures / "sample.xls");
    const std::size_t at = xls.find(std::string("\xE1\x00\x02\x00", 4));
    ASSERT_NE(at, std::string::npos);
    xls.replace(at, 6, std::string("\x2F\x00\x02\x00\x00\x00", 6));
    writeFile(file("protected.xls"), xls);
    EXPECT_EQ(openError(file("protected.xls")), message(file("protected.xls"), "工作簿有密码保护"));
}

// Bytes in memory read as the file they came from: every format, the same
// sheets, rows and errors; a .csv's sheet is named after the name given.
TEST_F(WorkbookTest, BytesInMemoryReadAsTheirFile) {
    writeFile(file("小区.csv"), "a,b\n1,\"x\n\n");
    const fs::path files[] = {kFixtures / "fidelity" / "cells.xlsx",
                              kFixtures / "fidelity" / "cells.xls", file("小区.csv")};
    for (const fs::path& path : files) {
        SCOPED_TRACE(path);
        auto fromFile = open(path);
        auto inMemory = Workbook::open(ByteSource::memory(readFile(path), path.filename()));
        ASSERT_TRUE(fromFile && inMemory);
        EXPECT_EQ((*inMemory)->sheetNames(), fromFile->sheetNames());
        for (std::size_t sheet = 0; sheet < fromFile->sheetNames().size(); ++sheet) {
            auto a = rowsOf(*fromFile, sheet);
            auto b = rowsOf(**inMemory, sheet);
            ASSERT_TRUE(a && b);
            Row ra, rb;
            bool more = true;
            while (more) {
                more = a->next(ra);
                ASSERT_EQ(b->next(rb), more);
                if (more) {
                    EXPECT_EQ(rb.cells, ra.cells) << ra.number;
                }
            }
            EXPECT_EQ(b->error(), a->error());
        }
    }
    EXPECT_EQ(Workbook::open(ByteSource::memory("a,b", "x.txt")).error(),
              WorkbookError{WorkbookError::Kind::NotAWorkbook});
}

// ---- .xls ---------------------------------------------------------------------

TEST_F(WorkbookTest, XlsFixture) {
    const fs::path path = kFixtures / "sample.xls";
    auto workbook = open(path);
    ASSERT_TRUE(workbook);
    EXPECT_EQ(workbook->sheetNames(), (Cells{"小区参数", "Other"}));
    EXPECT_EQ(readSheet(path), (std::vector<Cells>{{"小区名称", "频点", "功率", "备注"},
                                                   {"北京朝阳A", "38400", "15.2", "  spaced  "},
                                                   {},
                                                   {"Cell_3", "-5", "0.1"}}));

    // Readers of two sheets taking turns on one workbook.
    auto main = rowsOf(*workbook, std::size_t{0});
    auto other = rowsOf(*workbook, std::string_view("Other"));
    ASSERT_TRUE(main && other);
    Row row;
    ASSERT_TRUE(main->next(row));
    ASSERT_TRUE(other->next(row));
    EXPECT_EQ(row.cells, Cells{"second sheet"});
    ASSERT_TRUE(main->next(row));
    EXPECT_EQ(row.cell(0), "北京朝阳A");
    EXPECT_EQ(row.cell(9), "");

    workbook.reset();
    ASSERT_TRUE(main->next(row));
    EXPECT_TRUE(row.blank());
    EXPECT_EQ(row.number, 3u);

    // Content decides, not the name.
    fs::copy_file(path, file("renamed.xlsx"));
    EXPECT_EQ(readSheet(file("renamed.xlsx")).size(), 4u);
    writeFile(file("truncated.xls"), readFile(path).substr(0, 3000));
    EXPECT_EQ(openError(file("truncated.xls")), message(file("truncated.xls"), "文件已损坏"));
}

// ---- .csv ---------------------------------------------------------------------

TEST_F(WorkbookTest, CsvUtf8WithBomAndQuotes) {
    const fs::path path = file("邻区.csv");
    writeFile(path,
              "\xEF\xBB\xBF名称,频点,备注\r\n"
              "\"北京,朝阳\",38400,\"他说\"\"好\"\"\"\r\n"
              "\"两行\r\n文本\",  x  ,\r\n"
              "\r\n"
              "a\"b,\"\",last");
    auto workbook = open(path);
    ASSERT_TRUE(workbook);
    EXPECT_EQ(workbook->sheetNames(), Cells{"邻区"});
    EXPECT_EQ(readSheet(path), (std::vector<Cells>{{"名称", "频点", "备注"},
                                                   {"北京,朝阳", "38400", "他说\"好\""},
                                                   {"两行\r\n文本", "  x  "},
                                                   {},
                                                   {"a\"b", "", "last"}}));
}

TEST_F(WorkbookTest, CsvGbkAndTabs) {
    const auto gbk = codec::toGbk("小区名称\t频点\t带宽,MHz\n北京\t100\t20,0\n");
    ASSERT_TRUE(gbk.text);
    writeFile(file("gbk.csv"), *gbk.text);
    EXPECT_EQ(readSheet(file("gbk.csv")),
              (std::vector<Cells>{{"小区名称", "频点", "带宽,MHz"}, {"北京", "100", "20,0"}}));

    // As many tabs as commas: a comma file.
    writeFile(file("tie.csv"), "a\tb,c\n1\t2,3\n");
    EXPECT_EQ(readSheet(file("tie.csv")), (std::vector<Cells>{{"a\tb", "c"}, {"1\t2", "3"}}));
}

TEST_F(WorkbookTest, CsvProblems) {
    writeFile(file("empty.csv"), "");
    EXPECT_TRUE(readSheet(file("empty.csv")).empty());

    writeFile(file("open-quote.csv"), "a,b\n1,\"never closed\n2,3\n");
    std::size_t good = 0;
    EXPECT_EQ(readUntilError(file("open-quote.csv"), good),
              message(file("open-quote.csv"), "文件已损坏（第 2 行的引号没有闭合）"));
    EXPECT_EQ(good, 1u);

    writeFile(file("binary.csv"), "a,b\n\xFF\xFE,1\n");
    EXPECT_EQ(readUntilError(file("binary.csv"), good),
              message(file("binary.csv"), "文件编码无法识别（应为 UTF-8 或 GBK）"));
    EXPECT_EQ(good, 1u);

    auto workbook = open(file("empty.csv"));
    ASSERT_TRUE(workbook);
    const auto reader = workbook->rows(std::size_t{1});
    EXPECT_FALSE(reader.ok());
    EXPECT_EQ(test::workbookError(file("empty.csv"), reader.error()),
              message(file("empty.csv"), "工作簿中没有第 2 个工作表"));
}

TEST_F(WorkbookTest, CsvCellsAndRowsPastWhatASheetHolds) {
    const std::string longest(detail::kMaxCellBytes, 'x');
    std::string widest;
    for (std::size_t c = 1; c < detail::kMaxColumns; ++c) widest += "1,";
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"long.csv", longest + "x", "单元格过长"},
        {"long-quoted.csv", "\"" + longest + "\"\"\"", "单元格过长"},
        {"never-closed.csv", "\"" + longest + "\n" + longest + "\n", "单元格过长"},
        {"wide.csv", widest + "1,1", "列数超过 16384"},
    };
    for (const auto& [name, row, what] : cases) {
        writeFile(file(name), "a,b\n" + row + "\nc,d\n");
        std::size_t good = 0;
        EXPECT_EQ(readUntilError(file(name), good),
                  message(file(name), "文件已损坏（第 2 行的" + what + "）"))
            << name;
        EXPECT_EQ(good, 1u) << name;
    }
    writeFile(file("largest.csv"),
              longest + "\n\"" + longest.substr(1) + "\"\"\"\n" + widest + "1\n");
    const std::vector<Cells> rows = readSheet(file("largest.csv"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], Cells{longest});
    EXPECT_EQ(rows[1], Cells{longest.substr(1) + "\""});
    EXPECT_EQ(rows[2], Cells(detail::kMaxColumns, "1"));
}

// A package of a few hundred kilobytes may name millions of shared strings;
// past its limits the part is refused as damaged instead of being held.
TEST_F(WorkbookTest, XlsxSharedStringsPastTheirLimitsAreRefused) {
    const std::string rows = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>";
    const fs::path path = file("strings.xlsx");
    writeZip(path, package(rows, "<si><t>ab</t></si><si><t>cd</t></si><si><t>ef</t></si>"));
    const auto rowsWithin = [&](detail::SharedStringLimits limits) {
        auto opened = detail::openXlsx(ByteSource::file(path), limits);
        EXPECT_TRUE(opened) << test::workbookError(path, opened.error());
        return (*opened)->rows(std::size_t{0});
    };
    EXPECT_TRUE(rowsWithin({3, 6}));
    for (const detail::SharedStringLimits limits :
         {detail::SharedStringLimits{2, 6}, detail::SharedStringLimits{3, 5}}) {
        const auto refused = rowsWithin(limits);
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.error(), WorkbookError{WorkbookError::Kind::Damaged});
    }
    // The defaults hold a real workbook's strings with room to spare.
    const detail::SharedStringLimits defaults;
    EXPECT_EQ(defaults.count, 16'777'216u);
    EXPECT_EQ(defaults.bytes, 256u * 1024 * 1024);
    EXPECT_EQ(readSheet(path), (std::vector<Cells>{{"ab"}}));
}

// ---- the worksheet scanner against expat --------------------------------------

// Rows numbered from 1 with an inline string and a number each: enough bytes
// that the first rows are handed out before the scanner meets row `odd`,
// which gets `oddRow` in place of its own.
std::string manyRows(std::size_t count, std::size_t odd, const std::string& oddRow) {
    std::string xml;
    for (std::size_t n = 1; n <= count; ++n) {
        const std::string r = std::to_string(n);
        xml += n == odd ? oddRow
                        : "<row r=\"" + r + "\"><c r=\"A" + r + "\" t=\"inlineStr\"><is><t>cell " +
                              r + "</t></is></c><c r=\"B" + r + "\"><v>" + r + "</v></c></row>";
    }
    return xml;
}

std::vector<Cells> expectedRows(std::size_t count) {
    std::vector<Cells> rows;
    for (std::size_t n = 1; n <= count; ++n)
        rows.push_back({"cell " + std::to_string(n), std::to_string(n)});
    return rows;
}

TEST_F(WorkbookTest, XlsxSheetGivenToExpatHalfWayGivesExpatsRows) {
    // A comment is well-formed but beyond the scanner: expat reads on past it.
    writeZip(file("comment.xlsx"),
             package(manyRows(3000, 1500,
                              "<!-- checked by hand --><row r=\"1500\"><c r=\"A1500\" "
                              "t=\"inlineStr\"><is><t>cell 1500</t></is></c><c r=\"B1500\"><v>"
                              "1500</v></c></row>")));
    EXPECT_EQ(readSheet(file("comment.xlsx")), expectedRows(3000));

    // A duplicate attribute is damage: the rows before it, then the error.
    writeZip(file("duplicate.xlsx"),
             package(manyRows(3000, 2000, "<row r=\"2000\"><c r=\"A2000\" r=\"A2000\"/></row>")));
    auto workbook = open(file("duplicate.xlsx"));
    ASSERT_NE(workbook, nullptr);
    auto reader = rowsOf(*workbook, std::size_t{0});
    ASSERT_NE(reader, nullptr);
    std::vector<Cells> rows;
    Row row;
    while (reader->next(row)) rows.push_back(row.cells);
    EXPECT_EQ(rows, expectedRows(1999));
    EXPECT_EQ(test::workbookError(file("duplicate.xlsx"), reader->error()),
              message(file("duplicate.xlsx"), "文件已损坏"));
}

// Every event of a part, text runs joined (a parser may split a run
// anywhere); an element named "invalid" makes the content invalid.
struct EventLog : detail::XmlHandler {
    std::string log;
    std::string text;
    std::string finishAfter;  // the end of this element finishes the handler

    void flush() {
        if (!text.empty()) log += "[" + text + "]";
        text.clear();
    }
    void startElement(std::string_view name, const char** attributes) override {
        flush();
        log += "<" + std::string(name);
        for (const char** a = attributes; a[0]; a += 2)
            log += " " + std::string(a[0]) + "=" + a[1] + ";";
        log += ">";
        if (name == "invalid") invalid = true;
    }
    void endElement(std::string_view name) override {
        flush();
        log += "</" + std::string(name) + ">";
        if (name == finishAfter) finished = true;
    }
    void characters(std::string_view more) override { text += more; }
};

struct Parsed {
    std::string log;
    std::string ending;
    bool fellBack = false;
};

using Parser = detail::XmlPartStream::Parser;

Parsed parseOnePart(const fs::path& path, Parser parser, std::size_t chunk,
                    const std::string& finishAfter) {
    int code = 0;
    const detail::ZipHandle zip(zip_open(platform::utf8Name(path).c_str(), ZIP_RDONLY, &code),
                                zip_discard);
    EventLog handler;
    handler.finishAfter = finishAfter;
    detail::XmlPartStream stream(zip, handler, parser, chunk);
    if (!zip || !stream.open("s.xml")) return {"", "unopened"};
    const bool done = stream.parseAll() == detail::XmlPartStream::Status::Done;
    handler.flush();
    return {handler.log, done ? "done" : "failed", stream.fellBack()};
}

class SheetScanTest : public WorkbookTest {
protected:
    enum class Expect { Scanned, FallsBack, Either };

    // Parses `xml` with expat and with the scanner, read a few bytes at a
    // time and in whole chunks, and expects the same events and ending as
    // expat's reading the same chunks (expat may hand out the text of a part
    // cut short, or not, by where its chunks end). Returns expat's in whole
    // chunks.
    Parsed compare(const std::string& xml, Expect expect, const std::string& finishAfter = "",
                   std::initializer_list<std::size_t> chunks = {1, 2, 3, 7, 64, 0}) {
        const fs::path path = file("part" + std::to_string(parts_++) + ".zip");
        writeZip(path, {{"s.xml", xml}});
        for (std::size_t chunk : chunks) {
            const Parsed expat = parseOnePart(path, Parser::Expat, chunk, finishAfter);
            const Parsed scanned = parseOnePart(path, Parser::Scanner, chunk, finishAfter);
            EXPECT_EQ(scanned.log, expat.log) << xml << "\nchunk " << chunk;
            EXPECT_EQ(scanned.ending, expat.ending) << xml << "\nchunk " << chunk;
            if (expect != Expect::Either) {
                EXPECT_EQ(scanned.fellBack, expect == Expect::FallsBack)
                    << xml << "\nchunk " << chunk;
            }
            if (chunk == 0) ++(scanned.fellBack ? fellBack_ : scannedWhole_);
        }
        return parseOnePart(path, Parser::Expat, 0, finishAfter);
    }

    int scannedWhole_ = 0;
    int fellBack_ = 0;

private:
    int parts_ = 0;
};

TEST_F(SheetScanTest, WhatSpreadsheetWritersProduceIsScanned) {
    const std::pair<std::string, std::string> cases[] = {
        {"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
         "<x:worksheet xmlns:x=\"urn:a\"><x:sheetData><x:row r=\"1\" spans=\"1:2\"><x:c "
         "r=\"A1\" t=\"s\"><x:v>0</x:v></x:c><x:c r='B1'/></x:row></x:sheetData></x:worksheet>\n",
         "<worksheet xmlns:x=urn:a;><sheetData><row r=1; spans=1:2;><c r=A1; t=s;><v>[0]</v></c><c "
         "r=B1;></c></row></sheetData></worksheet>"},
        {"<?xml version='1.0' encoding='utf-8'?><a "
         "t=\"&lt;&amp;&gt;&quot;&apos;&#65;&#x42;&#9;&#10;&#13;'\">x&amp;y&lt;&gt;&quot;&apos;"
         "&#x4E2D;&#25991;&#x1F600;&#13;z]>]]</a>",
         "<a t=<&>\"'AB\t\n\r';>[x&y<>\"'中文😀\rz]>]]]</a>"},
        {"<?xml version=\"1.0\"?>\n<a>\n  <b k = 'v\"' l=\"'\"\t/>\t\n<c\r\n/></a >\n\n",
         "<a>[\n  ]<b k=v\"; l=';></b>[\t\n]<c></c></a>"},
        {"  <a:b>中文 text ünïcödé 😀</a:b>", "<b>[中文 text ünïcödé 😀]</b>"},
        {"<_a.b-c><d-1/></_a.b-c>", "<_a.b-c><d-1></d-1></_a.b-c>"},
    };
    for (const auto& [xml, events] : cases) {
        const Parsed parsed = compare(xml, Expect::Scanned);
        EXPECT_EQ(parsed.log, events) << xml;
        EXPECT_EQ(parsed.ending, "done") << xml;
    }
    // Long texts and many-byte characters across every chunk boundary.
    std::string chinese;
    for (int i = 0; i < 40000; ++i) chinese += i % 7 ? "中" : "&#x1F600;";
    compare("<a>" + chinese + "</a>", Expect::Scanned, "", {1, 5, 0});
    compare("<a t=\"" + chinese + "\"/>", Expect::Scanned, "", {4096, 0});
}

TEST_F(SheetScanTest, EverythingElseIsLeftToExpat) {
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"<a><!-- c --><b/></a>", "<a><b></b></a>", "done"},
        {"<a>x<![CDATA[<y>]]>z</a>", "<a>[x<y>z]</a>", "done"},
        {"<?xml version=\"1.0\"?><?pi x?><a/>", "<a></a>", "done"},
        {"<a><?pi x?>t</a>", "<a>[t]</a>", "done"},
        {"<a>x\r\ny\rz</a>", "<a>[x\ny\nz]</a>", "done"},
        {"<a t=\"1\t2\n3\r\n4\r5\"/>", "<a t=1 2 3 4 5;></a>", "done"},
        {"\xEF\xBB\xBF<a>b</a>", "<a>[b]</a>", "done"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>", "<a>[é]</a>", "done"},
        {"<é>x</é>", "<é>[x]</é>", "done"},
        {"<a:b:c/>", "<c></c>", "done"},
        {"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", "", "failed"},
        {"<a>&nbsp;</a>", "<a>", "failed"},
        {"<a>x & y</a>", "<a>[x ]", "failed"},
        {"<a t=\"<\"/>", "", "failed"},
        {"<a><b></a>", "<a><b>", "failed"},
        {"<a><b>", "<a><b>", "failed"},
        {"<a/>x", "<a></a>", "failed"},
        {"<a/><b/>", "<a></a>", "failed"},
        {"<a x=\"1\" x=\"2\"/>", "", "failed"},
        {"<a x=\"1\"y=\"2\"/>", "", "failed"},
        {"<a>]]></a>", "<a>", "failed"},
        {"<a>\x01</a>", "<a>", "failed"},
        {"<a>\xC0\x80</a>", "<a>", "failed"},
        {"<a>\x80</a>", "<a>", "failed"},
        {"<a>\xED\xA0\x80</a>", "<a>", "failed"},
        {"<a>\xEF\xBF\xBE</a>", "<a>", "failed"},
        {"<a>\xF4\x90\x80\x80</a>", "<a>", "failed"},
        {"<a>&#0;</a>", "<a>", "failed"},
        {"<a>&#xD800;</a>", "<a>", "failed"},
        {"<a>&#x110000;</a>", "<a>", "failed"},
        {"<a>&#X41;</a>", "<a>", "failed"},
        {"<a>&#x;</a>", "<a>", "failed"},
        {" <?xml version=\"1.0\"?><a/>", "", "failed"},
        {"<?xml version=\"1.0\"?>", "", "failed"},
        {"", "", "failed"},
        {"<a b=\"1\" / >", "", "failed"},
        {"<a></ a>", "<a>", "failed"},
        {"<1a/>", "", "failed"},
        {"<a>text", "<a>[text]", "failed"},
    };
    for (const auto& [xml, events, ending] : cases) {
        const Parsed parsed = compare(xml, Expect::FallsBack);
        EXPECT_EQ(parsed.log, events) << xml;
        EXPECT_EQ(parsed.ending, ending) << xml;
    }
}

// Up to the bound, every attribute is compared with every other, however
// many there are; past it, the element is refused.
TEST_F(SheetScanTest, ManyAttributesUpToTheirBound) {
    const auto element = [](std::size_t count, bool lastRepeatsFirst) {
        std::string xml = "<a";
        for (std::size_t i = 1; i <= count; ++i)
            xml += " n" + std::to_string(lastRepeatsFirst && i == count ? 1 : i) + "=\"\"";
        return xml + "/>";
    };
    const std::tuple<std::size_t, bool, Expect, std::string> cases[] = {
        {detail::kMostAttributes, false, Expect::Scanned, "done"},
        {detail::kMostAttributes, true, Expect::FallsBack, "failed"},
        {detail::kMostAttributes + 1, false, Expect::FallsBack, "failed"},
    };
    for (const auto& [count, repeats, expect, ending] : cases)
        EXPECT_EQ(compare(element(count, repeats), expect, "", {4096, 0}).ending, ending)
            << count << (repeats ? " repeating" : "");
}

TEST_F(SheetScanTest, AHandlerThatIsDoneEndsTheScanAsItEndsExpat) {
    // What follows </sheetData> is not parsed, whatever it is.
    EXPECT_EQ(compare("<w><sheetData><row/></sheetData><<<</w>", Expect::Scanned, "sheetData").log,
              "<w><sheetData><row></row></sheetData>");
    EXPECT_EQ(compare("<w>t<invalid/><x></w>", Expect::Scanned).ending, "failed");
}

// Random sheets, some slightly broken: a byte lost, a byte doubled, the part
// cut short or a piece the scanner leaves to expat put anywhere.
TEST_F(SheetScanTest, RandomSheetsGiveExpatsEventsAndEnding) {
    std::mt19937 random(20261209);
    const auto pick = [&random](const auto& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(random)];
    };
    const std::vector<std::string> texts = {
        "0",  "17", "-3.5", "中文",   "a&amp;b", "&lt;x&gt;", "&#x4E2D;&#65;", " ",    "\n",
        "\t", "]",  "]]",   "x\r\ny", "_x000D_", "😀",         "&quot;&apos;",  "q'\"", ""};
    const std::vector<std::string> values = {"1", "A1", "s", "&amp;", "中", "&#10;", "x'y", ""};
    const std::vector<std::string> pieces = {
        "<!--c-->", "<![CDATA[d]]>", "<?p?>", "&bad;", "&", "<",  "\r", "\xFF", "]]>", "\t",
        "</x>",     "<x:y:z/>",      "\x01",  "&#0;",  "'", "\"", ">",  "=",    "/",   " "};
    for (int sheet = 0; sheet < 300; ++sheet) {
        std::string xml = sheet % 2 ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" : "";
        xml += "<worksheet><sheetData>";
        const int rows = std::uniform_int_distribution<int>(0, 12)(random);
        for (int r = 1; r <= rows; ++r) {
            xml += sheet % 3 ? "<row r=\"" + std::to_string(r) + "\">" : "<x:row>";
            const int cells = std::uniform_int_distribution<int>(0, 5)(random);
            for (int c = 0; c < cells; ++c) {
                const std::string attribute = pick(values);
                if (c % 4 == 3) {
                    xml += "<c r='" + attribute + "'/>";
                } else {
                    xml += "<c t=\"" + attribute + "\"><v>" + pick(texts) + "</v></c>";
                }
            }
            xml += sheet % 3 ? "</row>" : "</x:row>";
        }
        xml += "</sheetData></worksheet>";
        const bool broken = sheet % 4 == 0;
        if (broken) {
            const std::size_t at =
                std::uniform_int_distribution<std::size_t>(0, xml.size() - 1)(random);
            switch (sheet / 4 % 4) {
                case 0:
                    xml.erase(at, 1);
                    break;
                case 1:
                    xml.insert(at, 1, xml[at]);
                    break;
                case 2:
                    xml.resize(at);
                    break;
                default:
                    xml.insert(at, pick(pieces));
            }
        }
        // Some end as the sheet reader does, at </sheetData>.
        compare(xml, Expect::Either, sheet % 5 ? "" : "sheetData", {1, 7, 0});
    }
    // Both ways are taken often enough to mean something.
    EXPECT_GT(scannedWhole_, 100);
    EXPECT_GT(fellBack_, 50);
}

}  // namespace
}  // namespace brindle::workbook
