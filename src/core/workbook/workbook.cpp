#include "core/workbook/workbook.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "core/base/asciicase.h"
#include "core/base/platform.h"
#include "core/workbook/internal.h"

namespace brindle::workbook {

namespace fs = std::filesystem;
using detail::Kind;
using detail::openCsv;
using detail::openXls;
using detail::openXlsx;

std::string Row::cell(std::size_t column) const {
    return column < cells.size() ? cells[column] : std::string();
}

bool Row::blank() const {
    return std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return c.empty(); });
}

Read<std::unique_ptr<RowReader>> Workbook::rows(std::string_view sheetName) {
    const std::vector<std::string> names = sheetNames();
    const auto it = std::find(names.begin(), names.end(), sheetName);
    if (it == names.end()) return WorkbookError{Kind::NoSuchSheet, std::string(sheetName)};
    return rows(static_cast<std::size_t>(it - names.begin()));
}

namespace {

std::string lowerExtension(const fs::path& path) {
    return ascii::lowered(platform::utf8Name(path.extension()));
}

// The content decides where it can: engineers rename files, and a workbook
// saved with the wrong extension is still the workbook it is.
bool isZip(std::string_view head, std::string_view) {
    return head.size() >= 4 && head[0] == 'P' && head[1] == 'K' &&
           ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6));
}

bool isOle(std::string_view head, std::string_view) {
    return head == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
}

// Excel 2.x to 4.0 saved a workbook as a bare BIFF stream, not inside an OLE
// container. It starts with a BOF record: id 0x0009 (BIFF2), 0x0209 (BIFF3),
// 0x0409 (BIFF4) or, in some writers, 0x0809 with a version below BIFF5's
// 0x0500; then the record length, the version and the kind of sheet
// (worksheet, chart, macro sheet, or a BIFF4 workbook). Four bytes are a weak
// signature, so only a file that also calls itself .xls is taken for one.
bool isOldExcel(std::string_view head, std::string_view extension) {
    if (extension != ".xls" || head.size() < 8) return false;
    const auto u16 = [head](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(head[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(head[at + 1])) << 8;
    };
    const unsigned id = u16(0), length = u16(2), version = u16(4), type = u16(6);
    const bool oldBof =
        id == 0x0009 || id == 0x0209 || id == 0x0409 || (id == 0x0809 && version < 0x0500);
    return oldBof && length >= 4 && length <= 16 &&
           (type == 0x0010 || type == 0x0020 || type == 0x0040 || type == 0x0100);
}

Read<std::unique_ptr<Workbook>> refuseOldExcel(const ByteSource&) {
    return WorkbookError{Kind::OldFormat};
}

// A .csv has no signature: its name says what it is.
bool isCsv(std::string_view, std::string_view extension) {
    return extension == ".csv";
}

// The order counts: a signature is asked for before any extension.
constexpr Format kFormats[] = {
    {"Excel 工作簿", "Excel 工作簿|*.xlsx;*.xlsm", isZip, openXlsx},
    {"Excel 97–2003 / 5.0 工作簿", "Excel 97–2003 工作簿|*.xls", isOle, openXls},
    {"Excel 2.x–4.0 工作簿", "", isOldExcel, refuseOldExcel},
    {"CSV", "CSV 文件|*.csv", isCsv, openCsv},
};

}  // namespace

std::span<const Format> formats() {
    return kFormats;
}

Read<std::unique_ptr<Workbook>> Workbook::open(const ByteSource& source) {
    // Anything but a plain file is refused before it is read: opening a FIFO
    // the usual way would wait for ever for a writer at its other end.
    const auto reader = source.open();
    if (!reader) return reader.error();
    char head[8] = {};
    const std::optional<std::size_t> got = reader->readAt(0, head, sizeof head);
    if (!got) return WorkbookError{Kind::CannotOpen};
    const std::string extension = lowerExtension(source.name());
    for (const Format& format : formats())
        if (format.sniff(std::string_view(head, *got), extension)) return format.open(source);
    return WorkbookError{Kind::NotAWorkbook};
}

namespace detail {

Read<std::unique_ptr<Workbook>> openXlsx(const ByteSource& source) {
    return openXlsx(source, SharedStringLimits{});
}

void trimTrailingEmpty(std::vector<std::string>& cells) {
    while (!cells.empty() && cells.back().empty()) cells.pop_back();
}

}  // namespace detail

}  // namespace brindle::workbook
