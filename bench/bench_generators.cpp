// A run of 100,000 pairs over a 200,000-cell library, written to a file.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "core/app/generators.h"
#include "core/base/script.h"
#include "core/base/textcodec.h"
#include "core/library/store.h"
#include "recordingfeedback.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using namespace brindle;

namespace {

constexpr int kCells = 200'000;
constexpr int kPairs = 100'000;
constexpr int kGsmCells = 50'000;

struct Workspace {
    test::TempDir dir;
    fs::path home = dir.path();
    std::unique_ptr<Session> session;
    std::string sources, targets;
    std::string geranSources, geranTargets;  // 1,000 LTE cells and 100 GSM cells

    Workspace() {
        std::vector<Record> records;
        records.reserve(kCells);
        const char* earfcns[] = {"38400", "38544", "37900", "1300", "38950", "3683"};
        for (int i = 0; i < kCells; ++i) {
            const std::string site = "站点" + std::to_string(i / 6);
            records.push_back({i + 1,
                               {site, site + "-" + std::to_string(i % 6 + 1), std::to_string(i % 6),
                                std::to_string(500000 + i / 6), std::to_string(i % 6),
                                earfcns[i % 6], std::to_string(i % 504), "22561"}});
        }
        session = std::make_unique<Session>(home);
        test::useLibrary(*session, "bench.edb", LibraryKind::Lte, records);
        // The sample frequency plan, settled (not edited in the last seconds).
        std::ifstream in(fs::path(BRINDLE_SAMPLES_DIR) / "mu" / "EARFCN.ini", std::ios::binary);
        const std::string ini{std::istreambuf_iterator<char>(in), {}};
        if (const Status written = writeScriptFile(session->folder.earfcnIni(), codec::toCrLf(ini));
            !written)
            throw std::runtime_error(written.error());
        fs::last_write_time(session->folder.earfcnIni(),
                            fs::file_time_type::clock::now() - std::chrono::minutes(1));
        for (int i = 0; i < kPairs; ++i) {
            sources += records[(i * 7) % kCells].fields[kCellNameField] + "\r\n";
            targets += records[(i * 13 + 1) % kCells].fields[kCellNameField] + "\r\n";
        }
        std::vector<Record> gsm;
        gsm.reserve(kGsmCells);
        for (int i = 0; i < kGsmCells; ++i) {
            const std::string site = "G站" + std::to_string(i / 3);
            gsm.push_back(
                {i + 1,
                 {site, site + "-" + std::to_string(i % 3 + 1), std::to_string(4500 + i / 300),
                  std::to_string(10000 + i), std::to_string(60 + i % 64), "1", "2"}});
        }
        test::useLibrary(*session, "bench2g.edb", LibraryKind::Gsm, gsm);
        for (int i = 0; i < 1000; ++i)
            geranSources += records[(i * 199) % kCells].fields[kCellNameField] + "\r\n";
        for (int i = 0; i < 100; ++i)
            geranTargets += gsm[(i * 499) % kGsmCells].fields[kCellNameField] + "\r\n";
    }
};

Workspace& workspace() {
    static Workspace w;
    return w;
}

void runToFile(benchmark::State& state, std::string_view generator) {
    Workspace& w = workspace();
    std::size_t bytes = 0;
    for (auto _ : state) {
        test::RecordingFeedback feedback;
        feedback.answer(Question::UrbanArea, true);
        feedback.answer(Question::ReducedMeasurement, false);
        StringSink pane;
        runGenerator(*findGenerator(generator), *w.session,
                     {w.sources, w.targets, [] { return true; }, [] { return false; }, {}, {}},
                     pane, feedback);
        if (const Status written = writeScriptFile(w.home / "out.txt", pane.text()); !written)
            state.SkipWithError(written.error().c_str());
        bytes = pane.text().size();
    }
    state.SetItemsProcessed(state.iterations() * kPairs);
    state.counters["script_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_NeighbourAdd100kPairsTwoWay(benchmark::State& state) {
    runToFile(state, "neighbour-add");
}
void BM_CarrierAdd100kPairsTwoWay(benchmark::State& state) {
    runToFile(state, "carrier-add");
}

// 1,000 LTE sources with 100 GSM targets each: 100,000 lines.
void BM_GeranOneToMany100kLines(benchmark::State& state) {
    Workspace& w = workspace();
    std::size_t bytes = 0;
    for (auto _ : state) {
        test::RecordingFeedback feedback;
        StringSink pane;
        mml::PageInput input;
        input.sourceText = w.geranSources;
        input.targetText = w.geranTargets;
        runGenerator(*findGenerator("geran-ncell-add", true), *w.session, input, pane, feedback);
        if (const Status written = writeScriptFile(w.home / "geran.txt", pane.text()); !written)
            state.SkipWithError(written.error().c_str());
        bytes = pane.text().size();
    }
    state.SetItemsProcessed(state.iterations() * 100'000);
    state.counters["script_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_Load200kCellLibrary(benchmark::State& state) {
    Workspace& w = workspace();
    for (auto _ : state)
        benchmark::DoNotOptimize(store::load(w.home / "mu" / "bench.edb", LibraryKind::Lte));
}

}  // namespace

BENCHMARK(BM_NeighbourAdd100kPairsTwoWay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CarrierAdd100kPairsTwoWay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeranOneToMany100kLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load200kCellLibrary)->Unit(benchmark::kMillisecond);
