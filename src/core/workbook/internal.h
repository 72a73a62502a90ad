#pragma once
// Pieces shared by the per-format readers behind Workbook.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/workbook/workbook.h"

namespace brindle::workbook::detail {

using Kind = WorkbookError::Kind;

// Sheets larger than Excel allows can only come from a damaged or hostile
// file; refusing them keeps a bogus reference from allocating or looping.
inline constexpr std::size_t kMaxRows = 1048576;
inline constexpr std::size_t kMaxColumns = 16384;
// The text of one cell, in bytes as the file holds it. Excel keeps at most
// 32,767 characters in a cell (under 100 KB in UTF-8, some 230 KB in the
// escaped form of an .xlsx); a cell past this bound comes from a damaged or
// hostile file, whose few hundred compressed kilobytes could otherwise make
// the import hold and store gigabytes of one cell. A .xls cell never reaches
// it: the format counts a cell's characters in 16 bits.
inline constexpr std::size_t kMaxCellBytes = 1024 * 1024;

// A sheet asked for by a number past the last.
inline WorkbookError noSheetAt(std::size_t sheetIndex) {
    return {Kind::NoSheetAt, std::to_string(sheetIndex + 1)};
}

// Drops empty cells at the end so that a blank row has no cells at all.
void trimTrailingEmpty(std::vector<std::string>& cells);

// What the shared strings of one .xlsx may make the import hold. Far more
// than a real workbook has (a full sheet of 1,048,576 rows of distinct texts
// stays well inside), yet a hostile package of a few hundred kilobytes
// cannot make the import hold gigabytes. A package past them is damaged.
struct SharedStringLimits {
    std::size_t count = 16'777'216;
    std::size_t bytes = 256u * 1024 * 1024;  // the text of all of them
};

// The per-format openers of the table in workbook.cpp. Each fails when the
// bytes cannot be read as that format.
Read<std::unique_ptr<Workbook>> openXlsx(const ByteSource& source, SharedStringLimits limits);
Read<std::unique_ptr<Workbook>> openXlsx(const ByteSource& source);
Read<std::unique_ptr<Workbook>> openXls(const ByteSource& source);
Read<std::unique_ptr<Workbook>> openCsv(const ByteSource& source);

}  // namespace brindle::workbook::detail
