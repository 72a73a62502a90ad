// Builds the sample workspace from its text sources. Every mu/*.tsv (4G) and
// mu2/*.tsv (2G) cell table becomes a real workbook in workbooks/, which is
// then imported the way an engineer would import it; every *.ini is written
// as the program reads it (GBK, CR LF).
//
// usage: brindle-sample SOURCE_DIR WORKSPACE_DIR

#include <xlsxwriter.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <system_error>

#include "cli/streamfeedback.h"
#include "core/app/session.h"
#include "core/app/workflows.h"
#include "core/base/namelist.h"
#include "core/base/platform.h"
#include "core/base/script.h"
#include "core/base/textcodec.h"
#include "core/library/import.h"

namespace fs = std::filesystem;
using namespace brindle;

namespace {

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool isNumber(const std::string& text) {
    return !text.empty() && text.size() < 12 &&
           text.find_first_not_of("0123456789") == std::string::npos &&
           (text == "0" || text[0] != '0');
}

void writeSheet(lxw_worksheet* sheet, const fs::path& tsv) {
    const auto lines = splitList(readAll(tsv), "\n");
    for (std::size_t r = 0; r < lines.size(); ++r) {
        const auto cells = splitList(lines[r], "\t");
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const auto row = static_cast<lxw_row_t>(r);
            const auto col = static_cast<lxw_col_t>(c);
            if (r > 0 && isNumber(cells[c]))
                worksheet_write_number(sheet, row, col, std::stod(cells[c]), nullptr);
            else
                worksheet_write_string(sheet, row, col, cells[c].c_str(), nullptr);
        }
    }
}

// Writes tab-separated tables, one sheet each, as the engineers' workbooks
// hold them: numbers as numbers, everything else as text.
bool writeWorkbook(const std::vector<std::pair<fs::path, std::string>>& sheets,
                   const fs::path& xlsx) {
    // libxlsxwriter opens its file by a narrow name, which Windows reads in
    // the ANSI code page: the workbook is written under an ASCII name beside
    // its own and then given it.
    const fs::path written = xlsx.parent_path() / "sample-workbook.tmp.xlsx";
    lxw_workbook* book = workbook_new(platform::utf8Name(written).c_str());
    for (const auto& [tsv, name] : sheets)
        writeSheet(workbook_add_worksheet(book, name.c_str()), tsv);
    if (workbook_close(book) != LXW_NO_ERROR) return false;
    std::error_code ec;
    fs::rename(written, xlsx, ec);
    return !ec;
}

// The export of the sample network as the network management system gives
// it: one sheet per query, named after its .tsv.
bool buildExport(const fs::path& source, const fs::path& workspace) {
    std::vector<std::pair<fs::path, std::string>> sheets;
    for (const auto& entry : fs::directory_iterator(source))
        if (entry.path().extension() == ".tsv")
            sheets.emplace_back(entry.path(), platform::utf8Name(entry.path().stem()));
    std::sort(sheets.begin(), sheets.end());
    if (writeWorkbook(sheets,
                      workspace / "workbooks" / platform::pathFromUtf8("示例网络MML报文.xlsx")))
        return true;
    std::cerr << platform::utf8Name(source) << ": the sample export could not be written\n";
    return false;
}

bool buildFolder(const fs::path& source, const fs::path& workspace, LibraryKind kind) {
    const fs::path mu = workspace / (kind == LibraryKind::Lte ? "mu" : "mu2");
    fs::create_directories(mu);
    fs::create_directories(workspace / "workbooks");
    for (const auto& entry : fs::directory_iterator(source)) {
        const auto& p = entry.path();
        if (p.extension() == ".ini") {
            const Status written = writeScriptFile(mu / p.filename(), codec::toCrLf(readAll(p)));
            if (!written)
                return std::cerr << platform::utf8Name(p) << ": " << written.error() << '\n', false;
        } else if (p.extension() == ".tsv") {
            const fs::path xlsx = workspace / "workbooks" /
                                  platform::pathFromUtf8(platform::utf8Name(p.stem()) + ".xlsx");
            Session session(workspace);
            cli::StreamFeedback feedback;  // the import's messages, as the command line shows them
            Preview preview;
            if (!writeWorkbook({{p, "工参"}}, xlsx) ||
                !readWorkbook(xlsx, kind, preview, feedback) ||
                !importPreview(session, kind, preview, feedback))
                return std::cerr << platform::utf8Name(p) << ": the sample could not be built\n",
                       false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: brindle-sample SOURCE_DIR WORKSPACE_DIR\n";
        return 2;
    }
    const std::vector<std::string> args = platform::commandLineArguments(argc, argv);
    const fs::path source = platform::pathFromUtf8(args[1]),
                   workspace = platform::pathFromUtf8(args[2]);
    const bool ok = buildFolder(source / "mu", workspace, LibraryKind::Lte) &&
                    buildFolder(source / "mu2", workspace, LibraryKind::Gsm) &&
                    buildExport(source / "export", workspace);
    return ok ? 0 : 1;
}
