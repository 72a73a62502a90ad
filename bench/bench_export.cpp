// The export tools over a province-sized export: 1,000,000 LTE relation rows
// (700,000 intra-frequency, 300,000 inter-frequency) and 200,000 GSM
// relation rows, against a 200,000-cell library. One cell is the neighbour
// of 500 others and has 20 GSM neighbours: the reduction benchmark removes it.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/export/exportbook.h"
#include "core/export/reduction.h"
#include "core/library/library.h"
#include "exportworkbook.h"
#include "recordingfeedback.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using namespace brindle;
using namespace brindle::exports;

namespace {

constexpr int kCells = 200'000;
constexpr int kIntraRows = 700'000;
constexpr int kInterRows = 300'000;
constexpr int kGeranRows = 200'000;
constexpr int kTarget = 12'345;  // the reduced cell
constexpr int kTargetRelations = 500;

std::string site(int cell) {
    return "站点" + std::to_string(cell / 3);
}
std::string enodeb(int cell) {
    return std::to_string(500000 + cell / 3);
}

struct Fixture {
    test::TempDir temp;
    fs::path exportFile = temp.path() / "export.xlsx";
    std::unique_ptr<Library> library;

    Fixture() {
        std::vector<Record> records;
        std::vector<std::int64_t> rowids;
        records.reserve(kCells);
        for (int i = 0; i < kCells; ++i) {
            records.push_back(
                test::cell4G(i + 1, {site(i), site(i) + "-" + std::to_string(i % 3 + 1),
                                     std::to_string(i % 3), enodeb(i), std::to_string(i % 3),
                                     i % 2 ? "38400" : "1850", std::to_string(i % 504), "22561"}));
            rowids.push_back(i + 1);
        }
        library = std::make_unique<Library>("bench.edb", LibraryKind::Lte, std::move(records),
                                            std::move(rowids));

        // A fixed linear congruential sequence: the same export every run.
        unsigned long long state = 42;
        auto next = [&state] {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            return static_cast<int>((state >> 33) % kCells);
        };
        auto relations = [&](int rows, int towardsTarget) {
            std::vector<std::vector<std::string>> out;
            out.reserve(rows);
            for (int r = 0; r < rows; ++r) {
                const int owner = next();
                const int neighbour = r < towardsTarget ? kTarget : next();
                out.push_back({site(owner), std::to_string(owner % 3), "460", "00",
                               enodeb(neighbour), std::to_string(neighbour % 3)});
            }
            return out;
        };
        std::vector<std::vector<std::string>> geran;
        geran.reserve(kGeranRows);
        for (int r = 0; r < kGeranRows; ++r) {
            const int owner = r < 20 ? kTarget : next();
            geran.push_back({site(owner), std::to_string(owner % 3), "460", "00", "9527",
                             std::to_string(30000 + r % 20000)});
        }
        test::writeExportWorkbook(
            exportFile, {test::intraRelationSheet(relations(kIntraRows, kTargetRelations * 3 / 5)),
                         test::interRelationSheet(relations(kInterRows, kTargetRelations * 2 / 5)),
                         test::geranRelationSheet(std::move(geran))});
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

std::unique_ptr<ExportBook> openBook() {
    auto book = ExportBook::open(fixture().exportFile);
    return book ? std::move(*book) : nullptr;
}

// Opening the workbook and the first query of the 700,000-row sheet, which
// reads and indexes it.
void BM_ExportOpenAndFirstQuery(benchmark::State& state) {
    fixture();
    for (auto _ : state) {
        auto book = openBook();
        if (!book || !intraRelationsTowards(*book, enodeb(kTarget), "0"))
            state.SkipWithError("query failed");
    }
}
BENCHMARK(BM_ExportOpenAndFirstQuery)->Unit(benchmark::kMillisecond)->Iterations(2);

// A later query of the same sheet, for a different cell each time.
void BM_ExportLaterQuery(benchmark::State& state) {
    auto book = openBook();
    if (!book || !intraRelationsTowards(*book, "0", "0")) {
        state.SkipWithError("open failed");
        return;
    }
    int cell = 0;
    for (auto _ : state) {
        cell = (cell + 7919) % kCells;
        auto rows = intraRelationsTowards(*book, enodeb(cell), std::to_string(cell % 3));
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_ExportLaterQuery)->Unit(benchmark::kMicrosecond);

// Steps 2 and 3 of the reduction window for the cell with 500 relations, on
// a workbook whose sheets were read by an earlier reduction.
void BM_ReduceCellWith500Relations(benchmark::State& state) {
    Fixture& f = fixture();
    auto book = openBook();
    const std::string name(f.library->at(kTarget).cellName());
    test::RecordingFeedback feedback;
    ReductionLists warm;
    if (!book || !fillReductionLists(*f.library, *book, name, warm, feedback)) {
        state.SkipWithError("open failed");
        return;
    }
    for (auto _ : state) {
        ReductionLists lists;
        lists.carriers = "38400\r\n1850\r\n";
        if (!fillReductionLists(*f.library, *book, name, lists, feedback) ||
            !generateReduction(*f.library, nullptr, {}, name, lists, true, feedback))
            state.SkipWithError("reduction failed");
    }
}
BENCHMARK(BM_ReduceCellWith500Relations)->Unit(benchmark::kMillisecond);

}  // namespace
