// How a cell value becomes the text the spreadsheet shows, for every reader.

#include "core/workbook/cellformat.h"

#include <gtest/gtest.h>

#include <cmath>

namespace brindle::workbook {
namespace {

using K = NumberFormat::Kind;

TEST(CellFormat, CodesByWhatTheyHold) {
    const struct {
        const char* code;
        NumberFormat expected;
    } cases[] = {
        {"General", {}},
        {"", {}},
        {"0", {K::Fixed, 0}},
        {"0.00", {K::Fixed, 2}},
        {"#,##0.000", {K::Fixed, 3}},
        {"0.00_ ", {K::Fixed, 2}},
        {"#,##0.00;[Red]-#,##0.00", {K::Fixed, 2}},
        {"0%", {K::Percent, 0}},
        {"0.00%", {K::Percent, 2}},
        {"0.00E+00", {}},
        {"# ?/?", {}},
        {"@", {}},
        {"\"¥\"#,##0.00", {K::Fixed, 2}},  // quoted text is not a placeholder
        {"¥#,##0.00", {}},                 // an unquoted symbol is not a plain number
        {"yyyy-mm-dd", {K::Date, 0}},
        {"yyyy\"年\"m\"月\"d\"日\"", {K::Date, 0}},
        {"m/d/yyyy", {K::Date, 0}},
        {"mmm-yy", {K::Date, 0}},
        {"[$-804]aaaa", {}},
        {"hh:mm:ss", {K::Time, 0}},
        {"h:mm AM/PM", {K::Time, 0}},
        {"mm:ss", {K::Time, 0}},
        {"[h]:mm", {K::Time, 0}},
        {"yyyy-mm-dd hh:mm:ss", {K::DateTime, 0}},
        {"[Red]yyyy/m/d h:mm", {K::DateTime, 0}},
        {"\"day \"d", {K::Date, 0}},
        {"\"hours\"0", {K::Fixed, 0}},  // letters inside quotes hold nothing
        {"\\h0", {K::Fixed, 0}},        // nor an escaped one
    };
    for (const auto& c : cases) EXPECT_EQ(parseFormatCode(c.code), c.expected) << c.code;
}

// Every built-in id, walked: a wrong row in the table fails here.
TEST(CellFormat, BuiltInFormats) {
    for (int id = 0; id < 200; ++id) {
        NumberFormat expected;
        if (id == 1 || id == 3) expected = {K::Fixed, 0};
        if (id == 2 || id == 4) expected = {K::Fixed, 2};
        if (id == 9) expected = {K::Percent, 0};
        if (id == 10) expected = {K::Percent, 2};
        if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || id == 36 ||
            (id >= 50 && id <= 54) || id == 57 || id == 58)
            expected = {K::Date, 0};
        if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || (id >= 45 && id <= 47) ||
            id == 55 || id == 56)
            expected = {K::Time, 0};
        if (id == 22) expected = {K::DateTime, 0};
        EXPECT_EQ(builtinFormat(id), expected) << id;
    }
}

TEST(CellFormat, NumbersAsTheyAreShown) {
    const struct {
        double value;
        NumberFormat format;
        bool date1904;
        const char* shown;
    } cases[] = {
        {38400, {}, false, "38400"},
        {-0.0, {}, false, "0"},
        {1.0 / 7, {}, false, "0.142857142857143"},
        {1e20, {}, false, "1E+20"},
        {-1234567.125, {}, false, "-1234567.125"},
        {3.14159, {K::Fixed, 2}, false, "3.14"},
        {2.675, {K::Fixed, 2}, false, "2.68"},  // the decimal 2.675, not the double below it
        {1234.5, {K::Fixed, 3}, false, "1234.500"},
        {-0.001, {K::Fixed, 2}, false, "-0.00"},
        {0.5, {K::Fixed, 0}, false, "1"},
        {-2.5, {K::Fixed, 0}, false, "-3"},
        {999.995, {K::Fixed, 2}, false, "1000.00"},
        {38400, {K::Fixed, 0}, false, "38400"},
        {0.125, {K::Percent, 0}, false, "13%"},
        {0.125, {K::Percent, 2}, false, "12.50%"},
        {0.0125, {K::Percent, 1}, false, "1.3%"},
        {1, {K::Percent, 0}, false, "100%"},
        {1, {K::Date, 0}, false, "1900-01-01"},
        {59, {K::Date, 0}, false, "1900-02-28"},
        {60, {K::Date, 0}, false, "1900-02-29"},  // the day the 1900 system counts wrongly
        {61, {K::Date, 0}, false, "1900-03-01"},
        {45356, {K::Date, 0}, false, "2024-03-05"},
        {45356.75, {K::Date, 0}, false, "2024-03-05"},
        {43890, {K::Date, 0}, true, "2024-03-01"},
        {0, {K::Date, 0}, true, "1904-01-01"},
        {2958465, {K::Date, 0}, false, "9999-12-31"},
        {2958466, {K::Date, 0}, false, "2958466"},  // past the last day: no date
        {-1, {K::Date, 0}, false, "-1"},
        {0.5, {K::Time, 0}, false, "12:00:00"},
        {45356.5 + 1.0 / 86400, {K::Time, 0}, false, "12:00:01"},
        {0.99999999, {K::Time, 0}, false, "00:00:00"},
        {0.99999999, {K::DateTime, 0}, false, "1900-01-01 00:00:00"},
        {45356.604166666664, {K::DateTime, 0}, false, "2024-03-05 14:30:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(renderNumber(c.value, c.format, c.date1904), c.shown)
            << c.value << " as " << static_cast<int>(c.format.kind) << "/" << c.format.decimals;
    EXPECT_EQ(renderGeneral(std::nan("")), "#NUM!");
}

TEST(CellFormat, BooleansAndErrors) {
    EXPECT_EQ(renderBoolean(true), "TRUE");
    EXPECT_EQ(renderBoolean(false), "FALSE");
    const std::pair<std::uint8_t, const char*> errors[] = {
        {0x00, "#NULL!"}, {0x07, "#DIV/0!"},       {0x0F, "#VALUE!"},
        {0x17, "#REF!"},  {0x1D, "#NAME?"},        {0x24, "#NUM!"},
        {0x2A, "#N/A"},   {0x2B, "#GETTING_DATA"}, {0x01, "#N/A"}};
    for (const auto& [code, text] : errors) EXPECT_EQ(biffErrorText(code), text) << int(code);
}

// A style names its format by id; custom codes override the built-ins, and
// an unknown style or id is General.
TEST(CellFormat, StylesResolveTheirFormats) {
    CellStyles styles;
    styles.addStyle(0);
    styles.addStyle(14);
    styles.addStyle(164);
    styles.addStyle(14);
    styles.defineFormat(164, "0.0");
    EXPECT_EQ(styles.number(38400.25, 0), "38400.25");
    EXPECT_EQ(styles.number(45356, 1), "2024-03-05");
    EXPECT_EQ(styles.number(2.25, 2), "2.3");
    EXPECT_EQ(styles.number(2.25, 7), "2.25");
    styles.defineFormat(14, "0%");  // a workbook may redefine a built-in id
    EXPECT_EQ(styles.number(0.5, 3), "50%");
    styles.date1904 = true;
    EXPECT_EQ(styles.formatOf(1), (NumberFormat{K::Percent, 0}));
}

}  // namespace
}  // namespace brindle::workbook
