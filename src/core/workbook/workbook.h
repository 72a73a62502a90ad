#pragma once
// Reading cell-parameter workbooks (.xlsx/.xlsm, .xls, .csv) row by row.
//
// Every format is turned into the same thing: numbered rows of UTF-8 cell
// text, exactly as an engineer sees it in Excel (numbers without a stray
// ".0", text with its spaces). Rows are handed out one at a time so that a
// sheet of a million rows never has to sit in memory, and a caller that has
// what it needs simply stops asking.
//
// Not thread-safe: one workbook and its row readers belong to one thread.
// A row reader may outlive the workbook it came from.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/result.h"

namespace brindle::workbook {

struct Row {
    std::size_t number = 0;                      // 1-based sheet row number
    std::vector<std::string> cells;              // cells[0] is column A; UTF-8 text; trailing empty
                                                 // cells are left off, so a blank row has none
    std::string cell(std::size_t column) const;  // 0-based; "" past the end
    bool blank() const;                          // no cell has any text
};

class RowReader {
public:
    virtual ~RowReader() = default;
    // Next row in row order. Rows the file leaves out (gaps in .xlsx sheetData, missing .xls
    // rows) are delivered as empty rows, so row numbers are continuous from 1. Returns false at
    // the end of the sheet or on a read error; error() is then non-empty for an error. Rows
    // read before an error are good; the error is reported once they have been handed out.
    virtual bool next(Row& row) = 0;
    virtual const std::string& error() const = 0;
};

class Workbook {
public:
    virtual ~Workbook() = default;
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Opens .xlsx/.xlsm, .xls (Excel 5.0/95 and 97–2003) or .csv, chosen by the file's content
    // where possible (zip magic, OLE magic), else by extension; an .xls from Excel 2.x–4.0 is
    // refused with a reason that says so. The error is a message for the engineer:
    // "无法读取工作簿：<path>\r\n<reason>".
    static Result<std::unique_ptr<Workbook>> open(const std::filesystem::path& path);

    // Worksheet names in workbook order (chart sheets are not listed). A .csv file has one
    // sheet, named after the file without its extension.
    virtual std::vector<std::string> sheetNames() const = 0;

    // Rows of one worksheet; an error (in the form above) when it cannot be read.
    virtual Result<std::unique_ptr<RowReader>> rows(std::size_t sheetIndex) = 0;
    // By exact name; an error when the workbook has no such sheet.
    Result<std::unique_ptr<RowReader>> rows(std::string_view sheetName);

    // Reads `rows` ahead on a thread of its own while the caller works on the
    // rows it was given: the same rows in the same order, the same error after
    // them. The reader (and this workbook) must not be used otherwise until
    // the returned one is destroyed; destroying it stops the reading.
    std::unique_ptr<RowReader> readAhead(std::unique_ptr<RowReader> rows) const;

    const std::filesystem::path& path() const { return path_; }

protected:
    explicit Workbook(std::filesystem::path path) : path_(std::move(path)) {}

    // "无法读取工作簿：<path>\r\n<reason>", the form every failure is reported in.
    std::string failure(std::string_view reason) const;

private:
    std::filesystem::path path_;
};

}  // namespace brindle::workbook
