#include "core/library/workbook.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>

#include "core/library/workbook/cellformat.h"
#include "core/library/workbook/internal.h"

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

enum class Kind { Zip, Ole, Csv, Unknown };

std::string lowerExtension(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// The content decides where it can: engineers rename files, and a workbook
// saved with the wrong extension is still the workbook it is.
Kind kindOf(const fs::path& path, std::string_view head) {
    if (head.size() >= 4 && head[0] == 'P' && head[1] == 'K' &&
        ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6)))
        return Kind::Zip;
    if (head == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) return Kind::Ole;
    if (lowerExtension(path) == ".csv") return Kind::Csv;
    return Kind::Unknown;
}

}  // namespace

Result<std::unique_ptr<Workbook>> Workbook::open(const fs::path& path) {
    using namespace detail;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found)
        return fail(failureMessage(path, reason::kMissing));
    std::ifstream in(path, std::ios::binary);
    if (!fs::is_regular_file(status) || !in) return fail(failureMessage(path, reason::kCannotOpen));
    char head[8] = {};
    in.read(head, sizeof head);
    in.close();
    switch (kindOf(path, std::string_view(head, static_cast<std::size_t>(in.gcount())))) {
        case Kind::Zip:
            return openXlsx(path);
        case Kind::Ole:
            return openXls(path);
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

std::string formatNumber(double value) {
    return renderGeneral(value);
}

void trimTrailingEmpty(std::vector<std::string>& cells) {
    while (!cells.empty() && cells.back().empty()) cells.pop_back();
}

}  // namespace detail

}  // namespace brindle::workbook
