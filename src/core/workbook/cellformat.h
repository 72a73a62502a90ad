#pragma once
// A cell's value as the spreadsheet shows it: one rendering for every
// reader (.xlsx, .xls, and the export tools that read workbooks later), so
// the same workbook saved in either format gives the same text.
//
// - text: as stored;
// - numbers under General: integral values below 1e15 without decimals
//   ("38400"), others with at most 15 significant digits ("0.142857142857143",
//   "1E+20"); negative zero is "0";
// - fixed-decimal formats ("0.00", "#,##0.000"): that many decimals, no
//   grouping separators; percent formats ("0%", "0.00%"): value × 100 with
//   that many decimals and "%";
// - dates and times: "YYYY-MM-DD", "HH:MM:SS" or "YYYY-MM-DD HH:MM:SS" by
//   what the format holds, in the workbook's date system (1900 or 1904);
// - booleans "TRUE"/"FALSE"; errors as shown ("#DIV/0!", "#N/A", …);
// - formulas: their cached result by these rules; none: empty.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace brindle::workbook {

// How a number is shown, read from its number format.
struct NumberFormat {
    enum class Kind { General, Fixed, Percent, Date, Time, DateTime };
    Kind kind = Kind::General;
    int decimals = 0;  // Fixed and Percent

    bool operator==(const NumberFormat&) const = default;
};

// A built-in format by its id (0–49, and the Chinese built-ins 27–36 and
// 50–58); General for ids that are not built in.
NumberFormat builtinFormat(int id);

// A format code as written in the workbook ("0.00", "yyyy-mm-dd", "General").
// Only its first section counts; quoted text, escaped characters and
// bracketed parts ([Red], [$-804]) are not read as placeholders. Anything
// that is neither a date, a time, a fixed-decimal nor a percent format is
// General.
NumberFormat parseFormatCode(std::string_view code);

// The text of a number under a format. Dates need the date system.
std::string renderNumber(double value, const NumberFormat& format, bool date1904);
// Under General.
std::string renderGeneral(double value);

inline std::string_view renderBoolean(bool value) {
    return value ? "TRUE" : "FALSE";
}

// The text of a BIFF error code (0x00 "#NULL!", 0x07 "#DIV/0!", 0x0F
// "#VALUE!", 0x17 "#REF!", 0x1D "#NAME?", 0x24 "#NUM!", 0x2A "#N/A",
// 0x2B "#GETTING_DATA"); "#N/A" for a code the format does not define.
std::string_view biffErrorText(std::uint8_t code);

// The number formats of one workbook: its custom format codes by id, and
// the format id of every cell style (an XF in .xls, an entry of cellXfs in
// .xlsx), in order, as a cell names its style by index.
class CellStyles {
public:
    // A format code the workbook defines for `id` (a later definition of the
    // same id replaces an earlier one).
    void defineFormat(int id, std::string_view code);
    // The next cell style uses format `formatId`.
    void addStyle(int formatId);

    bool date1904 = false;

    // The text of a number in a cell of style `style` (General when the
    // style or its format is unknown).
    std::string number(double value, std::size_t style) const;
    // The text of a date cell that holds its value as ISO 8601 text (the
    // t="d" of strict SpreadsheetML: "2021-01-01T10:10:10", "2014-02-14",
    // "10:10:10"), as the spreadsheet shows it: under the style's format
    // where that is a date or time format, else as a date, a time or both
    // by what the text holds. Nothing when the text is no such date, or one
    // before the first day of the date system.
    std::optional<std::string> isoDate(std::string_view text, std::size_t style) const;
    NumberFormat formatOf(std::size_t style) const;
    bool isGeneral(std::size_t style) const {
        return formatOf(style).kind == NumberFormat::Kind::General;
    }

private:
    std::unordered_map<int, NumberFormat> custom_;
    std::vector<int> styles_;
};

}  // namespace brindle::workbook
