#pragma once
// The choose button of the export windows: pick the workbook, open it, say
// how that went. Also the rule that turns an export row back into a library
// cell.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "core/base/feedback.h"
#include "core/export/exportbook.h"
#include "core/library/library.h"
#include "core/library/record.h"

namespace brindle::exports {

// The open dialog's filter of the PCI change, reduction and frequency-change
// windows; the inheritance window shows every file.
inline constexpr std::string_view kExportFilter = "excel文件|*.xlsx;*.xls";

// Opens `path`. On failure shows "请安装OFFICE服务或关闭将要打开的EXCEL" and
// the reason on a new line (title "系统提示" when `titled`) and returns null;
// on success shows "外部数据库打开成功".
std::unique_ptr<ExportBook> openExport(const std::filesystem::path& path, bool titled,
                                       Feedback& feedback);

// The whole button: the open dialog (starting on the desktop), then
// openExport. Null when the engineer cancelled (no message) or the workbook
// failed to open; the window then keeps the book it had.
std::unique_ptr<ExportBook> chooseExport(std::string_view filter, bool titled, Feedback& feedback);

// Finds library cells by NE name (基站名) and 本地小区标识, as export rows
// name them: the first record, in file order, with both.
class CellIndex {
public:
    explicit CellIndex(const Library& library);
    std::optional<RecordView> find(std::string_view ne, std::string_view localCellId) const;

private:
    // Views into the library's records, which outlive the index: building it
    // copies no text, and a lookup builds no key.
    using Key = std::pair<std::string_view, std::string_view>;  // 基站名, 本地小区标识
    struct KeyHash {
        std::size_t operator()(const Key& k) const;
    };
    const Library& library_;
    std::unordered_map<Key, std::size_t, KeyHash> first_;
};

// The cell an export row names, or nothing after showing "数据不配置": the
// row is then skipped.
std::optional<Cell4G> resolveRow(const CellIndex& index, std::string_view ne,
                                 std::string_view localCellId, Feedback& feedback);

}  // namespace brindle::exports
