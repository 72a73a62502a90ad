#pragma once
// Export workbooks as the network management system writes them, built for
// the tests and benchmarks with libxlsxwriter: one sheet per query, a header
// row, then rows. Failures throw.

#include <filesystem>
#include <string>
#include <vector>

namespace brindle::test {

struct ExportSheet {
    std::string name;
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    // Cells that read as numbers are written as number cells unless the
    // sheet keeps its numbers as text (the green-cornered cells of an export
    // that was not cleaned up).
    bool numbersAsText = false;
};

// The four sheets with the columns an export carries (a few more than the
// tools read, in the export's order). Rows give the values in header order.
ExportSheet intraRelationSheet(std::vector<std::vector<std::string>>
                                   rows);  // NAME, 本地小区标识, MCC, MNC, 基站标识, 小区标识
ExportSheet interRelationSheet(std::vector<std::vector<std::string>> rows);  // the same columns
ExportSheet geranRelationSheet(
    std::vector<std::vector<std::string>>
        rows);  // NAME, 本地小区标识, MCC, MNC, 位置区域码, GERAN小区标识
ExportSheet externalCellSheet(
    std::vector<std::vector<std::string>>
        rows);  // NAME, MCC, MNC, 基站标识, 小区标识, 下行频点, 物理小区标识

// Where libxlsxwriter writes a workbook meant for `path`. Its MinGW build
// opens files by narrow names, which Windows reads in the ANSI code page, so
// the workbook is written under an ASCII name beside `path` (whose folder
// must have an ASCII name) and then given its own.
class XlsxwriterFile {
public:
    explicit XlsxwriterFile(std::filesystem::path path);
    // The name to hand workbook_new.
    const char* name() const { return name_.c_str(); }
    // After workbook_close: the workbook takes its name. Throws when it cannot.
    void place() const;

private:
    std::filesystem::path path_, written_;
    std::string name_;
};

// Writes the sheets, in order, to a new .xlsx at `path`.
void writeExportWorkbook(const std::filesystem::path& path, const std::vector<ExportSheet>& sheets);

}  // namespace brindle::test
