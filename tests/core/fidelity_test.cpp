// Workbooks that real spreadsheet software wrote (tests/fixtures/fidelity,
// made by make-fidelity.py): every cell comes out as the spreadsheet shows
// it, and the same workbook saved as .xls and as .xlsx gives the same text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/library/import.h"
#include "core/library/store.h"
#include "core/workbook/workbook.h"
#include "recordingfeedback.h"
#include "testsupport.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;
using Cells = std::vector<std::string>;
using Rows = std::vector<Cells>;

const fs::path kFidelity = fs::path(BRINDLE_TEST_FIXTURES) / "fidelity";

// Every row of a sheet; the test fails on a read error.
Rows readSheet(const fs::path& path, std::size_t sheet = 0) {
    auto book = workbook::Workbook::open(path);
    EXPECT_TRUE(book.ok()) << test::workbookError(path, book.error());
    if (!book) return {};
    auto reader = (*book)->rows(sheet);
    EXPECT_TRUE(reader.ok()) << test::workbookError(path, reader.error());
    if (!reader) return {};
    Rows rows;
    workbook::Row row;
    while ((*reader)->next(row)) rows.push_back(row.cells);
    EXPECT_EQ(test::workbookError(path, (*reader)->error()), "");
    return rows;
}

std::string openError(const fs::path& path) {
    auto book = workbook::Workbook::open(path);
    EXPECT_FALSE(book.ok()) << path;
    return book ? std::string() : test::workbookError(path, book.error());
}

// Column A names the case, column B shows it.
Rows cases(std::initializer_list<std::pair<const char*, std::string>> shown) {
    Rows rows = {{"项目", "值"}};
    for (const auto& [name, text] : shown) {
        Cells row = {name, text};
        if (text.empty()) row.pop_back();
        rows.push_back(row);
    }
    return rows;
}

std::string longText() {
    std::string text;
    char piece[16];
    for (int i = 0; i < 1000; ++i) {
        std::snprintf(piece, sizeof piece, "%03d", i);
        text += std::string("南湖") + piece;
    }
    return text;
}

TEST(Fidelity, EveryKindOfCellAsTheSpreadsheetShowsIt) {
    const Rows expected = cases({
        {"text_cn", "站点甲"},
        {"text_name", "LF_南湖公园-1"},
        {"text_leading_space", " 站点乙"},
        {"text_digits", "00123"},
        {"text_date_like", "2024-03-05"},
        {"int", "38400"},
        {"zero", "0"},
        {"negative", "-5"},
        {"int_13_digits", "1234567890123"},
        {"sci_1e20", "1E+20"},
        {"one_seventh", "0.142857142857143"},
        {"half", "38400.5"},
        {"negative_zero", "0"},
        {"f_number", "38400"},
        {"f_string", "LF_南湖"},
        {"f_concat", "LF_南湖公园-1"},
        {"f_bool", "TRUE"},
        {"f_div0", "#DIV/0!"},
        {"f_na", "#N/A"},
        {"f_empty", ""},
        {"f_ref_fixed", "3.14159"},
        {"f_ref_date", "45357"},
        {"f_formatted", "0.33"},
        {"bool_true", "TRUE"},
        {"bool_false", "FALSE"},
        {"err_value", "#VALUE!"},
        {"err_ref", "#REF!"},
        {"err_name", "#NAME?"},
        {"err_num", "#NUM!"},
        {"err_null", "#NULL!"},
        {"fixed2", "3.14"},
        {"fixed3_grouped", "1234.500"},
        {"percent0", "13%"},
        {"percent2", "12.50%"},
        {"date", "2024-03-05"},
        {"datetime", "2024-03-05 14:30:15"},
        {"time", "14:30:15"},
        {"date_system_short", "2024-03-05"},
        {"date_cn", "2024-03-05"},
        {"long_text", longText()},
    });
    for (const char* file : {"cells.xls", "cells.xlsx"}) {
        SCOPED_TRACE(file);
        Rows shown = expected;
        if (std::string_view(file) == "cells.xls") {
            // LibreOffice stored these two formulas with the formats of the
            // cells they refer to in the .xls only (General in the .xlsx).
            shown[21] = {"f_ref_fixed", "3.14"};
            shown[22] = {"f_ref_date", "2024-03-06"};
        }
        const Rows rows = readSheet(kFidelity / file);
        ASSERT_EQ(rows.size(), shown.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(rows[i], shown[i]) << "row " << i + 1;
    }
}

// The second sheet's distinct names make the .xls shared-string table run
// over CONTINUE records (小区0218 is split by one).
TEST(Fidelity, ASecondSheetOfManyDistinctStrings) {
    for (const char* file : {"cells.xls", "cells.xlsx"}) {
        SCOPED_TRACE(file);
        const Rows rows = readSheet(kFidelity / file, 1);
        ASSERT_EQ(rows.size(), 301u);
        EXPECT_EQ(rows[0], (Cells{"小区名", "小区标识", "序号"}));
        for (std::size_t n = 1; n <= 300; ++n) {
            char name[32], id[32];
            std::snprintf(name, sizeof name, "小区%04zu", n);
            std::snprintf(id, sizeof id, "CELL-%04zu", n);
            EXPECT_EQ(rows[n], (Cells{name, id, std::to_string(n)})) << "row " << n + 1;
        }
    }
}

TEST(Fidelity, The1904DateSystem) {
    Rows expected = cases({
        {"date", "2024-03-05"},
        {"datetime", "2024-03-05 14:30:15"},
        {"epoch", "1904-01-01"},
        {"serial_38400_as_date", "2009-02-18"},
        {"int", "38400"},
        {"f_date_plus_1", "43895"},
        {"text_cn", "站点甲"},
    });
    EXPECT_EQ(readSheet(kFidelity / "cells-1904.xlsx"), expected);
    expected[6] = {"f_date_plus_1", "2024-03-06"};  // the .xls keeps the date format of B2
    EXPECT_EQ(readSheet(kFidelity / "cells-1904.xls"), expected);
}

// Excel 5.0/95: byte strings in the workbook's code page (936).
TEST(Fidelity, Biff5InItsCodePage) {
    EXPECT_EQ(readSheet(kFidelity / "biff5.xls"), cases({
                                                      {"text_cn", "站点甲"},
                                                      {"text_name", "LF_南湖公园-1"},
                                                      {"int", "38400"},
                                                      {"one_seventh", "0.142857142857143"},
                                                      {"f_number", "38400"},
                                                      {"f_string", "LF_南湖"},
                                                      {"fixed2", "3.14"},
                                                      {"date", "2024-03-05"},
                                                      {"bool_true", "TRUE"},
                                                      {"f_div0", "#DIV/0!"},
                                                  }));
}

TEST(Fidelity, WhatCannotBeReadSaysWhy) {
    for (const char* file : {"password.xls", "password.xlsx"})
        EXPECT_EQ(
            openError(kFidelity / file),
            "无法读取工作簿：" + platform::utf8Name(kFidelity / file) + "\r\n工作簿有密码保护")
            << file;
    EXPECT_EQ(openError(kFidelity / "biff2.xls"),
              "无法读取工作簿：" + platform::utf8Name(kFidelity / "biff2.xls") +
                  "\r\nExcel 2.x–4.0 格式的工作簿无法读取，请在电子表格程序中另存为 .xlsx");
}

// A sheet of nothing but formulas used to look blank in .xls: the import
// ended at once and reported success. Now both formats import every row,
// into the same library (but for the formulas LibreOffice stored with other
// formats in the two files).
TEST(Fidelity, TheSameWorkbookImportsToTheSameLibrary) {
    test::TempDir dir;
    for (const char* stem : {"formulas-only", "cells", "cells-1904"}) {
        SCOPED_TRACE(stem);
        std::vector<std::vector<Record>> libraries;
        for (const char* extension : {".xls", ".xlsx"}) {
            test::RecordingFeedback fb;
            Preview preview;
            ASSERT_TRUE(
                readWorkbook(kFidelity / platform::pathFromUtf8(std::string(stem) + extension),
                             LibraryKind::Lte, preview, fb));
            const fs::path library = dir / (std::string(stem) + extension + ".edb");
            ASSERT_TRUE(writeLibrary(library, LibraryKind::Lte, preview, fb));
            auto loaded = store::load(library, LibraryKind::Lte);
            ASSERT_TRUE(loaded.ok()) << loaded.error();
            std::vector<Record> records;
            for (std::size_t i = 0; i < (*loaded)->count(); ++i)
                records.push_back((*loaded)->at(i).toRecord());
            libraries.push_back(std::move(records));
        }
        ASSERT_FALSE(libraries[0].empty());
        ASSERT_EQ(libraries[0].size(), libraries[1].size());
        for (std::size_t i = 0; i < libraries[0].size(); ++i) {
            const std::string& name = libraries[0][i].fields[0];
            if (name == "f_ref_fixed" || name == "f_ref_date" || name == "f_date_plus_1") continue;
            EXPECT_EQ(libraries[0][i].ID, libraries[1][i].ID);
            EXPECT_EQ(libraries[0][i].fields, libraries[1][i].fields) << "record " << i + 1;
        }
    }
    // The 4G layout built by formulas: every field present.
    test::RecordingFeedback fb;
    Preview preview;
    ASSERT_TRUE(readWorkbook(kFidelity / "formulas-only.xls", LibraryKind::Lte, preview, fb));
    EXPECT_EQ(fb.texts().back(), "工参打开成功！含4条");
    ASSERT_EQ(preview.size(), 4u);
    EXPECT_EQ(preview.row(0),
              (Cells{"LF_南湖公园", "LF_南湖公园-1", "0", "380001", "1", "38400", "3", "4097"}));
    EXPECT_EQ(preview.row(3),
              (Cells{"LF_北湖公园", "LF_北湖公园-2", "1", "380002", "2", "1300", "7", "4098"}));
}

}  // namespace
}  // namespace brindle
