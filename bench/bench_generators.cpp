// A run of 100,000 pairs over a 200,000-cell library, written to a file.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "core/base/recordingfeedback.h"
#include "core/base/script.h"
#include "core/base/textcodec.h"
#include "core/library/store.h"
#include "core/mml/pairwise.h"

namespace fs = std::filesystem;
using namespace brindle;

namespace {

constexpr int kCells = 200'000;
constexpr int kPairs = 100'000;

struct Workspace {
    fs::path home;
    std::unique_ptr<Session> session;
    std::string sources, targets;

    Workspace() {
        std::string pattern = (fs::temp_directory_path() / "brindle-bench-XXXXXX").string();
        home = ::mkdtemp(pattern.data());
        fs::create_directories(home / "mu");
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
        const auto lib = home / "mu" / "bench.edb";
        Status made = store::create(lib, LibraryKind::Lte);
        if (made) made = store::replaceAll(lib, LibraryKind::Lte, records);
        session = std::make_unique<Session>(home);
        // The sample frequency plan, settled (not edited in the last seconds).
        std::ifstream in(fs::path(BRINDLE_SAMPLES_DIR) / "mu" / "EARFCN.ini", std::ios::binary);
        const std::string ini{std::istreambuf_iterator<char>(in), {}};
        if (made) made = writeScriptFile(session->folder.earfcnIni(), codec::toCrLf(ini));
        if (!made) throw std::runtime_error(made.error());
        fs::last_write_time(session->folder.earfcnIni(),
                            fs::file_time_type::clock::now() - std::chrono::minutes(1));
        session->library4G = store::load(lib, LibraryKind::Lte).value();
        for (int i = 0; i < kPairs; ++i) {
            sources += records[(i * 7) % kCells].fields[1] + "\r\n";
            targets += records[(i * 13 + 1) % kCells].fields[1] + "\r\n";
        }
    }
    ~Workspace() { fs::remove_all(home); }
};

Workspace& workspace() {
    static Workspace w;
    return w;
}

void runToFile(benchmark::State& state, mml::Generator4G generator) {
    Workspace& w = workspace();
    std::size_t bytes = 0;
    for (auto _ : state) {
        RecordingFeedback feedback;
        feedback.answers = {true, false};
        StringSink pane;
        mml::run4G(generator, *w.session,
                   {w.sources, w.targets, [] { return true; }, [] { return false; }}, pane,
                   feedback);
        if (const Status written = writeScriptFile(w.home / "out.txt", pane.text()); !written)
            state.SkipWithError(written.error().c_str());
        bytes = pane.text().size();
    }
    state.SetItemsProcessed(state.iterations() * kPairs);
    state.counters["script_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_NeighbourAdd100kPairsTwoWay(benchmark::State& state) {
    runToFile(state, mml::Generator4G::NeighbourAdd);
}
void BM_CarrierAdd100kPairsTwoWay(benchmark::State& state) {
    runToFile(state, mml::Generator4G::CarrierAdd);
}

void BM_Load200kCellLibrary(benchmark::State& state) {
    Workspace& w = workspace();
    for (auto _ : state)
        benchmark::DoNotOptimize(store::load(w.home / "mu" / "bench.edb", LibraryKind::Lte));
}

}  // namespace

BENCHMARK(BM_NeighbourAdd100kPairsTwoWay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CarrierAdd100kPairsTwoWay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load200kCellLibrary)->Unit(benchmark::kMillisecond);
