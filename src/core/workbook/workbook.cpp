#include "core/workbook/workbook.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "core/base/platform.h"
#include "core/workbook/internal.h"

namespace brindle::workbook {

namespace fs = std::filesystem;

std::string Row::cell(std::size_t column) const {
    return column < cells.size() ? cells[column] : std::string();
}

bool Row::blank() const {
    return std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return c.empty(); });
}

Result<std::unique_ptr<RowReader>> Workbook::rows(std::string_view sheetName) {
    const std::vector<std::string> names = sheetNames();
    const auto it = std::find(names.begin(), names.end(), sheetName);
    if (it == names.end())
        return fail(failure("工作簿中没有名为“" + std::string(sheetName) + "”的工作表"));
    return rows(static_cast<std::size_t>(it - names.begin()));
}

std::string Workbook::failure(std::string_view reason) const {
    return detail::failureMessage(path_, reason);
}

namespace {

std::string unopened(const fs::path& path, platform::FileContents::State state) {
    return detail::failureMessage(path, state == platform::FileContents::State::Missing
                                            ? detail::reason::kMissing
                                            : detail::reason::kCannotOpen);
}

enum class Kind { Zip, Ole, OldExcel, Csv, Unknown };

std::string lowerExtension(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// Excel 2.x to 4.0 saved a workbook as a bare BIFF stream, not inside an OLE
// container. It starts with a BOF record: id 0x0009 (BIFF2), 0x0209 (BIFF3),
// 0x0409 (BIFF4) or, in some writers, 0x0809 with a version below BIFF5's
// 0x0500; then the record length, the version and the kind of sheet
// (worksheet, chart, macro sheet, or a BIFF4 workbook). Four bytes are a weak
// signature, so only a file that also calls itself .xls is taken for one.
bool isOldExcel(std::string_view head) {
    if (head.size() < 8) return false;
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

// The content decides where it can: engineers rename files, and a workbook
// saved with the wrong extension is still the workbook it is.
Kind kindOf(const fs::path& path, std::string_view head) {
    if (head.size() >= 4 && head[0] == 'P' && head[1] == 'K' &&
        ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6)))
        return Kind::Zip;
    if (head == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) return Kind::Ole;
    const std::string extension = lowerExtension(path);
    if (extension == ".xls" && isOldExcel(head)) return Kind::OldExcel;
    if (extension == ".csv") return Kind::Csv;
    return Kind::Unknown;
}

}  // namespace

Result<std::unique_ptr<Workbook>> Workbook::open(const fs::path& path) {
    using namespace detail;
    // Anything but a plain file is refused before it is read: opening a FIFO
    // the usual way would wait for ever for a writer at its other end.
    platform::FileReader file;
    if (const auto state = file.open(path); state != platform::FileContents::State::Read)
        return fail(unopened(path, state));
    char head[8] = {};
    const std::optional<std::size_t> got = file.readAt(0, head, sizeof head);
    if (!got) return fail(failureMessage(path, reason::kCannotOpen));
    switch (kindOf(path, std::string_view(head, *got))) {
        case Kind::Zip:
            return openXlsx(path);
        case Kind::Ole:
            return openXls(path);
        case Kind::OldExcel:
            return fail(failureMessage(path, reason::kOldExcel));
        case Kind::Csv:
            return openCsv(path);
        case Kind::Unknown:
            break;
    }
    return fail(failureMessage(path, reason::kUnrecognised));
}

namespace detail {

std::string failureMessage(const fs::path& path, std::string_view reason) {
    const std::u8string name = path.u8string();
    std::string message = "无法读取工作簿：";
    message.append(reinterpret_cast<const char*>(name.data()), name.size());
    message += "\r\n";
    message += reason;
    return message;
}

Result<std::FILE*> openPlainFile(const fs::path& path) {
    platform::FileContents::State state{};
    std::FILE* file = platform::openPlainFile(path, state);
    if (!file) return fail(unopened(path, state));
    return file;
}

void trimTrailingEmpty(std::vector<std::string>& cells) {
    while (!cells.empty() && cells.back().empty()) cells.pop_back();
}

}  // namespace detail

}  // namespace brindle::workbook
