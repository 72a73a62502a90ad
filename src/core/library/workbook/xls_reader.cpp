// .xls (BIFF, inside an OLE compound file) through FreeXL. FreeXL reads the
// whole workbook when it opens it, so rows are simply looked up one by one.
// The same OLE container also carries password-protected .xlsx packages,
// which are told apart here so the engineer hears the real reason.

#include <freexl.h>

#include <cstring>
#include <fstream>

#include "core/library/workbook/internal.h"

namespace brindle::workbook::detail {

namespace {

using XlsHandle = std::shared_ptr<const void>;

// An encrypted .xlsx is an OLE file whose directory has an
// "EncryptedPackage" stream. Directory entries are 128 bytes, start on
// 128-byte boundaries after the 512-byte header, and begin with the name in
// UTF-16LE; its byte length (with the terminator) is at 64, the entry type
// (2 = stream) at 66.
bool hasEncryptedPackage(const std::filesystem::path& path) {
    constexpr std::string_view kName = "EncryptedPackage";
    char wanted[2 * (kName.size() + 1)] = {};
    for (std::size_t i = 0; i < kName.size(); ++i) wanted[2 * i] = kName[i];

    std::ifstream in(path, std::ios::binary);
    in.seekg(512);
    char entry[128];
    while (in.read(entry, sizeof entry)) {
        if (std::memcmp(entry, wanted, sizeof wanted) == 0 && entry[64] == sizeof wanted &&
            entry[65] == 0 && entry[66] == 2)
            return true;
    }
    return false;
}

std::string_view openFailureReason(const std::filesystem::path& path, int code) {
    if (code == FREEXL_FILE_NOT_FOUND) return reason::kCannotOpen;
    if (code == FREEXL_INSUFFICIENT_MEMORY) return "内存不足";
    if (hasEncryptedPackage(path)) return reason::kPassword;
    // An OLE file without a workbook stream: a Word document or the like.
    if (code == FREEXL_BIFF_WORKBOOK_NOT_FOUND) return reason::kUnrecognised;
    return reason::kDamaged;
}

std::string cellText(const FreeXL_CellValue& value) {
    switch (value.type) {
        case FREEXL_CELL_INT:
            return std::to_string(value.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return formatNumber(value.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        // FreeXL turns date-formatted numbers into "YYYY-MM-DD[ HH:MM:SS]"
        // text and keeps no number to fall back on.
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return value.value.text_value ? value.value.text_value : "";
        default:
            return "";
    }
}

class XlsRowReader final : public RowReader {
public:
    XlsRowReader(XlsHandle handle, unsigned short sheet, unsigned rowCount,
                 unsigned short columnCount, std::string damaged)
        : handle_(std::move(handle)),
          sheet_(sheet),
          rowCount_(rowCount),
          columnCount_(columnCount),
          damaged_(std::move(damaged)) {}

    bool next(Row& row) override {
        if (!error_.empty() || nextRow_ >= rowCount_) return false;
        // FreeXL has one active sheet per handle; selecting it on every row
        // lets readers of different sheets of one workbook take turns.
        if (freexl_select_active_worksheet(handle_.get(), sheet_) != FREEXL_OK) {
            error_ = damaged_;
            return false;
        }
        row.number = nextRow_ + 1;
        row.cells.clear();
        for (unsigned short column = 0; column < columnCount_; ++column) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(handle_.get(), nextRow_, column, &value) != FREEXL_OK) {
                error_ = damaged_;
                return false;
            }
            row.cells.push_back(cellText(value));
        }
        trimTrailingEmpty(row.cells);
        ++nextRow_;
        return true;
    }

    const std::string& error() const override { return error_; }

private:
    XlsHandle handle_;
    unsigned short sheet_;
    unsigned rowCount_;
    unsigned short columnCount_;
    unsigned nextRow_ = 0;
    std::string damaged_;
    std::string error_;
};

class XlsWorkbook final : public Workbook {
public:
    XlsWorkbook(const std::filesystem::path& path, XlsHandle handle, std::vector<std::string> names)
        : Workbook(path), handle_(std::move(handle)), names_(std::move(names)) {}

    std::vector<std::string> sheetNames() const override { return names_; }

    Result<std::unique_ptr<RowReader>> rows(std::size_t sheetIndex) override {
        if (sheetIndex >= names_.size())
            return fail(failure("工作簿中没有第 " + std::to_string(sheetIndex + 1) + " 个工作表"));
        const auto sheet = static_cast<unsigned short>(sheetIndex);
        // FreeXL gives the number of rows and columns here, not the last
        // index its header comment describes.
        unsigned rowCount = 0;
        unsigned short columnCount = 0;
        if (freexl_select_active_worksheet(handle_.get(), sheet) != FREEXL_OK ||
            freexl_worksheet_dimensions(handle_.get(), &rowCount, &columnCount) != FREEXL_OK)
            return fail(failure(reason::kDamaged));
        return std::make_unique<XlsRowReader>(handle_, sheet, rowCount, columnCount,
                                              failure(reason::kDamaged));
    }

private:
    XlsHandle handle_;
    std::vector<std::string> names_;
};

}  // namespace

Result<std::unique_ptr<Workbook>> openXls(const std::filesystem::path& path) {
    const void* raw = nullptr;
    const int code = freexl_open(path.c_str(), &raw);
    // FreeXL wants its handle closed even when opening failed.
    const XlsHandle handle(raw, [](const void* h) {
        if (h) freexl_close(h);
    });
    if (code != FREEXL_OK) return fail(failureMessage(path, openFailureReason(path, code)));
    unsigned info = 0;
    if (freexl_get_info(raw, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED)
        return fail(failureMessage(path, reason::kPassword));
    unsigned sheetCount = 0;
    if (freexl_get_info(raw, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK) sheetCount = 0;
    std::vector<std::string> names;
    for (unsigned i = 0; i < sheetCount; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(raw, static_cast<unsigned short>(i), &name) != FREEXL_OK)
            return fail(failureMessage(path, reason::kDamaged));
        names.emplace_back(name ? name : "");
    }
    if (names.empty()) return fail(failureMessage(path, reason::kNoSheets));
    return std::make_unique<XlsWorkbook>(path, handle, std::move(names));
}

}  // namespace brindle::workbook::detail
