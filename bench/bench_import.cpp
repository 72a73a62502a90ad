// Importing a 100,000-row 4G workbook (.xlsx): reading into the preview and
// writing the library. A second workbook holds 400,000 more rows after a
// blank row, which the import must not read.

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <filesystem>

#include "core/app/workflows.h"
#include "core/library/import.h"
#include "recordingfeedback.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using namespace brindle;

namespace {

constexpr int kRows = 100'000;

void writeSheet(const fs::path& path, int rows, int rowsAfterBlank) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    const char* header[] = {"基站名",   "小区名", "本地小区标识", "基站号",
                            "小区标识", "频点",   "物理小区标识", "TAC号"};
    for (int c = 0; c < 8; ++c) worksheet_write_string(sheet, 0, c, header[c], nullptr);
    auto row = [&](int r, int i) {
        const std::string site = "站点" + std::to_string(i / 3);
        worksheet_write_string(sheet, r, 0, site.c_str(), nullptr);
        worksheet_write_string(sheet, r, 1, (site + "-" + std::to_string(i % 3 + 1)).c_str(),
                               nullptr);
        worksheet_write_number(sheet, r, 2, i % 3, nullptr);
        worksheet_write_number(sheet, r, 3, 500000 + i / 3, nullptr);
        worksheet_write_number(sheet, r, 4, i % 3, nullptr);
        worksheet_write_number(sheet, r, 5, 38400, nullptr);
        worksheet_write_number(sheet, r, 6, i % 504, nullptr);
        worksheet_write_number(sheet, r, 7, 22561, nullptr);
    };
    for (int i = 0; i < rows; ++i) row(i + 1, i);
    for (int i = 0; i < rowsAfterBlank; ++i) row(rows + 2 + i, i);
    workbook_close(book);
}

struct Files {
    test::TempDir temp;
    fs::path dir = temp.path();
    Files() {
        writeSheet(dir / "plain.xlsx", kRows, 0);
        writeSheet(dir / "tail.xlsx", kRows, 4 * kRows);
    }
};

Files& files() {
    static Files f;
    return f;
}

void importWorkbook(benchmark::State& state, const char* name) {
    Files& f = files();
    for (auto _ : state) {
        Session session(f.dir / "home");
        test::RecordingFeedback feedback;
        Preview preview;
        if (!readWorkbook(f.dir / name, LibraryKind::Lte, preview, feedback) ||
            !importPreview(session, LibraryKind::Lte, preview, feedback))
            state.SkipWithError("import failed");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Import100kRowXlsx(benchmark::State& state) {
    importWorkbook(state, "plain.xlsx");
}
void BM_Import100kRowsBeforeABlankRowAnd400kAfter(benchmark::State& state) {
    importWorkbook(state, "tail.xlsx");
}

}  // namespace

BENCHMARK(BM_Import100kRowXlsx)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import100kRowsBeforeABlankRowAnd400kAfter)->Unit(benchmark::kMillisecond);
