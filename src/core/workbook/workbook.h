#pragma once
// Reading cell-parameter workbooks (.xlsx/.xlsm, .xls, .csv) row by row.
//
// Every format is turned into the same thing: numbered rows of UTF-8 cell
// text, exactly as an engineer sees it in Excel (numbers without a stray
// ".0", text with its spaces). Rows are handed out one at a time so that a
// sheet of a million rows never has to sit in memory, and a caller that has
// what it needs simply stops asking.
//
// Failures are typed (WorkbookError): the readers say what went wrong, and
// the caller, who knows the path it read, words it with message().
//
// Not thread-safe: one workbook and its row readers belong to one thread.
// A row reader may outlive the workbook it came from.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/result.h"
#include "core/workbook/bytesource.h"
#include "core/workbook/error.h"

namespace brindle::workbook {

template <class T>
using Read = Result<T, WorkbookError>;

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
    // the end of the sheet or on a read error; error() then holds the error. Rows read before
    // an error are good; the error is reported once they have been handed out.
    virtual bool next(Row& row) = 0;
    virtual const std::optional<WorkbookError>& error() const = 0;
};

class Workbook {
public:
    virtual ~Workbook() = default;
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Opens .xlsx/.xlsm, .xls (Excel 5.0/95 and 97–2003) or .csv, chosen by the content
    // where possible (zip magic, OLE magic), else by extension: the first format of formats()
    // that knows the bytes. An .xls from Excel 2.x–4.0 is refused (OldFormat).
    static Read<std::unique_ptr<Workbook>> open(const ByteSource& source);
    static Read<std::unique_ptr<Workbook>> open(const std::filesystem::path& path) {
        return open(ByteSource::file(path));
    }

    // Worksheet names in workbook order (chart sheets are not listed). A .csv file has one
    // sheet, named after the file without its extension.
    virtual std::vector<std::string> sheetNames() const = 0;

    // Rows of one worksheet; NoSheetAt past the last.
    virtual Read<std::unique_ptr<RowReader>> rows(std::size_t sheetIndex) = 0;
    // By exact name; NoSuchSheet when the workbook has none of that name.
    Read<std::unique_ptr<RowReader>> rows(std::string_view sheetName);

    // Reads `rows` ahead on a thread of its own while the caller works on the
    // rows it was given: the same rows in the same order, the same error after
    // them. The reader (and this workbook) must not be used otherwise until
    // the returned one is destroyed; destroying it stops the reading.
    std::unique_ptr<RowReader> readAhead(std::unique_ptr<RowReader> rows) const;

    // The file read, or the name the bytes in memory go by.
    const std::filesystem::path& path() const { return path_; }

protected:
    explicit Workbook(std::filesystem::path path) : path_(std::move(path)) {}

private:
    std::filesystem::path path_;
};

// A format the workbooks are read in. Workbook::open asks each format in
// table order whether it knows the first bytes of the file (or, for a format
// without a signature, its extension) and opens it as the first that does;
// adding a format is adding a row and its reader.
struct Format {
    std::string_view name;
    // For a file dialog ("Excel 工作簿|*.xlsx;*.xlsm"); "" for a format that is only
    // recognised to be refused.
    std::string_view filter;
    // `head`: the first bytes (up to 8, fewer in a shorter file); `extension`: the name's
    // extension in lower case, with its dot (".xls").
    bool (*sniff)(std::string_view head, std::string_view extension);
    Read<std::unique_ptr<Workbook>> (*open)(const ByteSource& source);
};

// In the order Workbook::open asks them.
std::span<const Format> formats();

}  // namespace brindle::workbook
