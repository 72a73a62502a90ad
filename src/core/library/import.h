#pragma once
// Importing an engineer's workbook into a library: the sheet is read into a
// preview (one row per data row, columns by position, header row skipped,
// reading ends at the first blank row), and the preview then replaces the
// records of `<base name>.edb` in mu/ (4G) or mu2/ (2G).

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "core/base/feedback.h"
#include "core/base/result.h"
#include "core/library/record.h"

namespace brindle {

struct ImportColumn {
    std::string_view title;
    int width;  // preview column width in pixels
};

// The preview columns of a kind, in sheet order (A, B, …).
std::span<const ImportColumn> importColumns(LibraryKind kind);

struct Preview {
    std::string baseName;  // the workbook's file name without its extension
    std::vector<std::vector<std::string>> rows;
};

// Reads the first worksheet of `workbook` into `preview` and shows
// "工参打开成功！含N条". A row whose cells, with ASCII and full-width spaces
// removed, are all empty ends the reading. Progress follows the columns of
// each row; events run once per row. On failure the message shown names the
// file and the reason and is the error; `preview` is left as it was.
Status readWorkbook(const std::filesystem::path& workbook, LibraryKind kind, Preview& preview,
                    Feedback& feedback);

// Writes the preview into the library at `path` (creating it and its folder
// when missing), replacing all its records in one transaction, and shows
// "OK" or the error followed by "\r\n请再导入一次试试！" (which is then the
// error). On failure the library keeps the records it had. Succeeds when the
// library holds the preview's rows.
Status writeLibrary(const std::filesystem::path& path, LibraryKind kind, const Preview& preview,
                    Feedback& feedback);

}  // namespace brindle
