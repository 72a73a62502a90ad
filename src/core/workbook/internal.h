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

// Why a workbook could not be read; the text after "无法读取工作簿：<path>\r\n".
namespace reason {
inline constexpr std::string_view kMissing = "文件不存在";
inline constexpr std::string_view kCannotOpen = "文件无法打开";
inline constexpr std::string_view kUnrecognised =
    "不是可识别的工作簿（支持 .xlsx、.xlsm、.xls、.csv）";
inline constexpr std::string_view kDamaged = "文件已损坏";
inline constexpr std::string_view kPassword = "工作簿有密码保护";
inline constexpr std::string_view kNoSheets = "工作簿中没有工作表";
inline constexpr std::string_view kEncoding = "文件编码无法识别（应为 UTF-8 或 GBK）";
inline constexpr std::string_view kOldExcel =
    "Excel 2.x–4.0 格式的工作簿无法读取，请在电子表格程序中另存为 .xlsx";
}  // namespace reason

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

std::string failureMessage(const std::filesystem::path& path, std::string_view reason);

// The workbook file as a C stream, for the libraries that read one (libzip,
// libgsf). The program opens it rather than the library so that anything but
// a plain file is refused at once: a path that became a FIFO after it was
// looked at would otherwise be waited on for ever. The caller closes it.
Result<std::FILE*> openPlainFile(const std::filesystem::path& path);

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

// The per-format openers. Each fails with a full failureMessage when the
// file cannot be read as that format.
Result<std::unique_ptr<Workbook>> openXlsx(const std::filesystem::path& path,
                                           SharedStringLimits limits = {});
Result<std::unique_ptr<Workbook>> openXls(const std::filesystem::path& path);
Result<std::unique_ptr<Workbook>> openCsv(const std::filesystem::path& path);

}  // namespace brindle::workbook::detail
