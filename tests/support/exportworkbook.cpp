#include "exportworkbook.h"

#include <xlsxwriter.h>

#include <atomic>
#include <charconv>
#include <stdexcept>
#include <system_error>

#include "core/base/platform.h"

namespace brindle::test {

namespace {

ExportSheet sheet(std::string name, std::vector<std::string> header,
                  std::vector<std::vector<std::string>> rows) {
    return {std::move(name), std::move(header), std::move(rows), false};
}

bool asNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && stop == end;
}

}  // namespace

XlsxwriterFile::XlsxwriterFile(std::filesystem::path path) : path_(std::move(path)) {
    static std::atomic<unsigned> made{0};
    written_ = path_.parent_path() /
               platform::pathFromUtf8("xlsxwriter-" + std::to_string(made++) + ".tmp.xlsx");
    name_ = platform::utf8Name(written_);
}

void XlsxwriterFile::place() const {
    std::error_code ec;
    std::filesystem::rename(written_, path_, ec);
    if (ec)
        throw std::runtime_error("cannot name " + platform::utf8Name(path_) + ": " + ec.message());
}

ExportSheet intraRelationSheet(std::vector<std::vector<std::string>> rows) {
    return sheet("查询EUTRAN同频邻区关系",
                 {"NAME", "本地小区标识", "MCC", "MNC", "基站标识", "小区标识"}, std::move(rows));
}

ExportSheet interRelationSheet(std::vector<std::vector<std::string>> rows) {
    return sheet("查询EUTRAN异频邻区关系",
                 {"NAME", "本地小区标识", "MCC", "MNC", "基站标识", "小区标识"}, std::move(rows));
}

ExportSheet geranRelationSheet(std::vector<std::vector<std::string>> rows) {
    return sheet("查询GERAN邻区关系",
                 {"NAME", "本地小区标识", "MCC", "MNC", "位置区域码", "GERAN小区标识"},
                 std::move(rows));
}

ExportSheet externalCellSheet(std::vector<std::vector<std::string>> rows) {
    return sheet("查询EUTRAN外部小区",
                 {"NAME", "MCC", "MNC", "基站标识", "小区标识", "下行频点", "物理小区标识"},
                 std::move(rows));
}

void writeExportWorkbook(const std::filesystem::path& path,
                         const std::vector<ExportSheet>& sheets) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // a benchmark's million rows stream to the file
    const XlsxwriterFile file(path);
    lxw_workbook* wb = workbook_new_opt(file.name(), &options);
    if (!wb) throw std::runtime_error("cannot create " + platform::utf8Name(path));
    for (const ExportSheet& s : sheets) {
        lxw_worksheet* ws = workbook_add_worksheet(wb, s.name.c_str());
        if (!ws) throw std::runtime_error("cannot add sheet " + s.name);
        for (std::size_t c = 0; c < s.header.size(); ++c)
            worksheet_write_string(ws, 0, lxw_col_t(c), s.header[c].c_str(), nullptr);
        for (std::size_t r = 0; r < s.rows.size(); ++r) {
            const auto row = lxw_row_t(r + 1);
            for (std::size_t c = 0; c < s.rows[r].size(); ++c) {
                const std::string& text = s.rows[r][c];
                double value = 0;
                if (text.empty())
                    continue;
                else if (!s.numbersAsText && asNumber(text, value))
                    worksheet_write_number(ws, row, lxw_col_t(c), value, nullptr);
                else
                    worksheet_write_string(ws, row, lxw_col_t(c), text.c_str(), nullptr);
            }
        }
    }
    if (workbook_close(wb) != LXW_NO_ERROR)
        throw std::runtime_error("cannot write " + platform::utf8Name(path));
    file.place();
}

}  // namespace brindle::test
