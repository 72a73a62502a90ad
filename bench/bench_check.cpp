// The script checker over a 1,000,000-line script of generated-looking
// lines (relations, external cells, carriers, PCI changes, GSM relations),
// with and without a 200,000-cell 4G library.

#include <benchmark/benchmark.h>

#include "core/app/commandtable.h"
#include "core/tools/scriptcheck.h"
#include "testsupport.h"

using namespace brindle;

namespace {

constexpr int kLines = 1'000'000;
constexpr int kCells = 200'000;

std::string cellName(int i) {
    return "站点" + std::to_string(i / 6) + "-" + std::to_string(i % 6 + 1);
}

// Ten kinds of line in turn, over sites that are all different, so the
// duplicate and add/remove sets hold every line.
const std::string& script() {
    static const std::string text = [] {
        std::string s;
        s.reserve(std::size_t{kLines} * 150);
        const char* earfcns[] = {"38400", "38544", "37900", "1300", "38950", "3683"};
        for (int i = 0; i < kLines; ++i) {
            const int c = (i / 10) % kCells, n = (i * 7 + 3) % kCells;
            const std::string ne = "站点" + std::to_string(c / 6);
            const std::string local = std::to_string(c % 6), enb = std::to_string(500000 + n / 6);
            const std::string cell = std::to_string(n % 6);
            switch (i % 10) {
                case 0:
                case 1:
                    s += "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=" + local +
                         ",MCC=\"460\",MNC=\"00\",ENODEBID=" + enb + ",CELLID=" + cell +
                         ",LOCALCELLNAME=\"" + cellName(c) + "\",NEIGHBOURCELLNAME=\"" +
                         cellName(n) + "\";{" + ne + "}\r\n";
                    break;
                case 2:
                case 3:
                    s += "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=" + enb +
                         ",CELLID=" + cell + ",DLEARFCN=" + earfcns[n % 6] +
                         ",ULEARFCNCFGIND=NOT_CFG,PHYCELLID=" + std::to_string(n % 504) +
                         ",TAC=22561,CELLNAME=\"" + cellName(n) + "\";{" + ne + "}\r\n";
                    break;
                case 4:
                    s += "ADD EUTRANINTERNFREQ:LOCALCELLID=" + local +
                         " ,DLEARFCN=" + earfcns[i % 6] +
                         ",ULEARFCNCFGIND=NOT_CFG,CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=5,"
                         "SPEEDDEPENDSPCFGIND=NOT_CFG,MEASBANDWIDTH=MBW100,THRESHXHIGH=10,"
                         "THRESHXLOW=10,QRXLEVMIN=-62,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=A4 "
                         ",QOFFSETFREQCONN=dB2,QQUALMINCFGIND=NOT_CFG,"
                         "INTERFREQCIOADJLIMITCFGIND=NOT_CFG;{" +
                         ne + "}\r\n";
                    break;
                case 5:
                    s += "RMV EUTRANINTERFREQNCELL:LOCALCELLID=" + local + ",ENODEBID=" + enb +
                         ",CELLID=" + cell + ";{" + ne + "}\r\n";
                    break;
                case 6:
                    s += "MOD CELL:LOCALCELLID=" + local + ",PHYCELLID=" + std::to_string(i % 504) +
                         ";{" + ne + "}\r\n";
                    break;
                case 7:
                    s += "ADD GERANNCELL:LOCALCELLID=" + local +
                         ",MCC=\"460\",MNC=\"00\",LAC=4501,GERANCELLID=" +
                         std::to_string(i % 65536) +
                         ",NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"" +
                         cellName(c) + "\",NEIGHBOURCELLNAME=\"G" + std::to_string(i) + "\";{" +
                         ne + "}\r\n";
                    break;
                case 8:
                    s += "MOD EUTRANINTERFREQNCELL:LOCALCELLID=" + local +
                         ",MCC=\"460\",MNC=\"00\",ENODEBID=" + enb + ",CELLID=" + cell +
                         ",CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"" + cellName(c) +
                         "\",NEIGHBOURCELLNAME=\"" + cellName(n) +
                         "\",OVERLAPIND=YES,OVERLAPRANGE=SAME;{" + ne + "}\r\n";
                    break;
                default:
                    s += "ACT CELL:LOCALCELLID=" + local + ";{" + ne + "}\r\n";
            }
        }
        return s;
    }();
    return text;
}

std::shared_ptr<Library> library() {
    std::vector<Record> records;
    records.reserve(kCells);
    std::vector<std::int64_t> rowids;
    const char* earfcns[] = {"38400", "38544", "37900", "1300", "38950", "3683"};
    for (int i = 0; i < kCells; ++i) {
        const std::string site = "站点" + std::to_string(i / 6);
        records.push_back(
            {i + 1,
             {site, cellName(i), std::to_string(i % 6), std::to_string(500000 + i / 6),
              std::to_string(i % 6), earfcns[i % 6], std::to_string(i % 504), "22561"}});
        rowids.push_back(i + 1);
    }
    return std::make_shared<Library>("bench.edb", LibraryKind::Lte, std::move(records),
                                     std::move(rowids));
}

void checkMillionLines(benchmark::State& state, bool withLibrary) {
    const std::string& text = script();
    const auto lte = withLibrary ? library() : nullptr;
    const check::CheckContext context{&programCommands(), lte.get(), nullptr};
    std::size_t findings = 0;
    for (auto _ : state) {
        findings = 0;
        check::checkScript(text, context, [&](const check::Finding&) { ++findings; });
    }
    state.counters["findings"] = static_cast<double>(findings);
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

void BM_CheckMillionLines(benchmark::State& state) {
    checkMillionLines(state, false);
}
void BM_CheckMillionLinesWithLibrary(benchmark::State& state) {
    checkMillionLines(state, true);
}

}  // namespace

BENCHMARK(BM_CheckMillionLines)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CheckMillionLinesWithLibrary)->Unit(benchmark::kMillisecond)->Iterations(1);
