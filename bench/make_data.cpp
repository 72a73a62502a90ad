// Writes the synthetic province that bench/run measures: for a size N (the
// number of 4G cells) a program folder with the sample frequency plan and
// 2G settings, the 4G and 2G cell workbooks (imported by the benchmark
// itself), name lists for every generator, an export of the network
// management system and a generated-looking script. The same arguments
// always give the same bytes, so two runs measure the same work.
//
// usage: brindle-benchdata SAMPLES_DIR OUT_DIR CELLS_4G
//
// CELLS_4G = 200000 gives the province: 50,000 2G cells, 1,000,000 LTE
// relation rows in the export and a 1,000,000-line script; every other count
// is in the same proportion, so a tenth of it is the same network a tenth
// the size.

#include <xlsxwriter.h>

#include <charconv>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/base/namelist.h"
#include "core/base/script.h"
#include "core/base/textcodec.h"
#include "exportworkbook.h"

namespace fs = std::filesystem;
using namespace brindle;

namespace {

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    return {std::istreambuf_iterator<char>(in), {}};
}

// Settings and name lists as the program writes them: GBK, CR LF.
void writeText(const fs::path& p, const std::string& utf8) {
    if (const Status written = writeScriptFile(p, codec::toCrLf(utf8)); !written)
        throw std::runtime_error(p.string() + ": " + written.error());
}

// A fixed linear congruential sequence: the same network every run.
class Sequence {
public:
    int below(int n) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((state_ >> 33) % static_cast<std::uint64_t>(n));
    }

private:
    std::uint64_t state_ = 20260412;
};

// Site names as a city's planners give them: district, landmark, and a
// number once the pairs run out.
std::string siteName(int site) {
    static const char* districts[] = {"城北", "城南",   "江东",   "河西",  "高新", "滨江",
                                      "东城", "西城",   "南湖",   "北山",  "新区", "老城",
                                      "港口", "开发区", "大学城", "工业园"};
    static const char* places[] = {"大厦",   "公园",   "广场",   "中学",   "小学", "人民医院",
                                   "汽车站", "火车站", "体育馆", "商业街", "花园", "新村",
                                   "电厂",   "水厂",   "酒店",   "市场",   "家园", "物流园",
                                   "加油站", "派出所", "邮政局", "图书馆", "公寓", "村委"};
    constexpr int kDistricts = std::size(districts), kPlaces = std::size(places);
    const int round = site / (kDistricts * kPlaces);
    std::string name =
        std::string(districts[site % kDistricts]) + places[(site / kDistricts) % kPlaces];
    if (round > 0) name += std::to_string(round);
    return name;
}

// The carrier lists of the sample frequency plan ("E频段频点=38950|39148|…"),
// its 5G band left out: a 4G cell's 频点 is one of them.
std::vector<std::vector<std::string>> planBands(const fs::path& earfcnIni) {
    std::vector<std::vector<std::string>> bands;
    for (const std::string& line : splitList(readAll(earfcnIni), "\n")) {
        const auto eq = line.find('=');
        if (eq == std::string::npos || line.rfind("5G", 0) == 0) continue;
        if (line.substr(0, eq).find("频段频点") == std::string::npos) continue;
        std::string values = line.substr(eq + 1);
        while (!values.empty() && (values.back() == '\r' || values.back() == ' '))
            values.pop_back();
        bands.push_back(splitList(values, "|"));
    }
    if (bands.empty()) throw std::runtime_error(earfcnIni.string() + ": no carrier lists");
    return bands;
}

struct Cell4G {
    std::string site, name;
    int localId, enodeb, pci, tac;
    std::string earfcn;
};

struct Cell2G {
    std::string site, name;
    int lac, ci, bcch, ncc, bcc;
};

// Sites of three sectors with one to four carriers; the first carrier's
// cells are "<site>-1".."-3", the k-th carrier's "<site>-1k".."-3k", as the
// sample network names them.
std::vector<Cell4G> makeCells4G(int count, const std::vector<std::vector<std::string>>& bands) {
    std::vector<Cell4G> cells;
    cells.reserve(count);
    Sequence random;
    for (int site = 0; static_cast<int>(cells.size()) < count; ++site) {
        const std::string name = "LF_" + siteName(site);
        const int carriers = 1 + random.below(4);
        const int firstBand = random.below(static_cast<int>(bands.size()));
        for (int k = 0; k < carriers; ++k) {
            const auto& band = bands[(firstBand + k) % bands.size()];
            const std::string earfcn = band[random.below(static_cast<int>(band.size()))];
            for (int sector = 1; sector <= 3 && static_cast<int>(cells.size()) < count; ++sector) {
                const int local = k * 3 + sector - 1;
                cells.push_back(
                    {name, name + "-" + std::to_string(sector) + (k > 0 ? std::to_string(k) : ""),
                     local, 500000 + site, (site * 3 + sector - 1 + k * 168) % 504,
                     22561 + site / 2000, earfcn});
            }
        }
    }
    return cells;
}

std::vector<Cell2G> makeCells2G(int count) {
    std::vector<Cell2G> cells;
    cells.reserve(count);
    Sequence random;
    for (int i = 0; i < count; ++i) {
        const int site = i / 3;
        const std::string name = siteName(site);
        // BCCH in DCS 1800 (512-885) or GSM 900 (1-124).
        const int bcch = random.below(2) ? 512 + random.below(374) : 1 + random.below(124);
        cells.push_back({"GSM_" + name, name + "G" + std::to_string(i % 3 + 1), 4501 + site / 500,
                         10001 + i, bcch, random.below(8), random.below(8)});
    }
    return cells;
}

lxw_workbook* newBook(const fs::path& path) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // a province's rows stream to the file
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    if (!book) throw std::runtime_error("cannot create " + path.string());
    return book;
}

void closeBook(lxw_workbook* book, const fs::path& path) {
    if (workbook_close(book) != LXW_NO_ERROR)
        throw std::runtime_error("cannot write " + path.string());
}

void writeHeader(lxw_worksheet* sheet, const std::vector<std::string>& header) {
    for (std::size_t c = 0; c < header.size(); ++c)
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), header[c].c_str(), nullptr);
}

// The engineers' cell workbooks: names as text, numbers as numbers.
void write4GWorkbook(const fs::path& path, const std::vector<Cell4G>& cells) {
    lxw_workbook* book = newBook(path);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "工参");
    writeHeader(sheet, {"基站名", "小区名", "本地小区标识", "基站号", "小区标识", "频点",
                        "物理小区标识", "TAC号"});
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cell4G& c = cells[i];
        const auto r = static_cast<lxw_row_t>(i + 1);
        worksheet_write_string(sheet, r, 0, c.site.c_str(), nullptr);
        worksheet_write_string(sheet, r, 1, c.name.c_str(), nullptr);
        worksheet_write_number(sheet, r, 2, c.localId, nullptr);
        worksheet_write_number(sheet, r, 3, c.enodeb, nullptr);
        worksheet_write_number(sheet, r, 4, c.localId, nullptr);
        worksheet_write_number(sheet, r, 5, std::stod(c.earfcn), nullptr);
        worksheet_write_number(sheet, r, 6, c.pci, nullptr);
        worksheet_write_number(sheet, r, 7, c.tac, nullptr);
    }
    closeBook(book, path);
}

void write2GWorkbook(const fs::path& path, const std::vector<Cell2G>& cells) {
    lxw_workbook* book = newBook(path);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "工参");
    writeHeader(sheet, {"基站名", "小区名", "小区LAC", "小区CI", "BCCH频点", "小区网络色码",
                        "小区基站色码"});
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cell2G& c = cells[i];
        const auto r = static_cast<lxw_row_t>(i + 1);
        worksheet_write_string(sheet, r, 0, c.site.c_str(), nullptr);
        worksheet_write_string(sheet, r, 1, c.name.c_str(), nullptr);
        const int numbers[] = {c.lac, c.ci, c.bcch, c.ncc, c.bcc};
        for (int k = 0; k < 5; ++k)
            worksheet_write_number(sheet, r, static_cast<lxw_col_t>(k + 2), numbers[k], nullptr);
    }
    closeBook(book, path);
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names) text += n + "\n";
    return text;
}

// The export: intra- and inter-frequency relations (7:3) over random
// cells, GSM relations and external cells (a fifth of that each). The
// `target` cell is the neighbour of one relation in 2,000 and has a GSM
// neighbour in every 10,000 GSM rows, so the export tools have work that
// grows with the export.
void writeExport(const fs::path& path, const std::vector<Cell4G>& lte,
                 const std::vector<Cell2G>& gsm, int relationRows, int target) {
    Sequence random;
    const int cells = static_cast<int>(lte.size());
    auto relations = [&](int rows) {
        std::vector<std::vector<std::string>> out;
        out.reserve(rows);
        for (int r = 0; r < rows; ++r) {
            const Cell4G& owner = lte[random.below(cells)];
            const Cell4G& neighbour = lte[r % 2000 == 0 ? target : random.below(cells)];
            out.push_back({owner.site, std::to_string(owner.localId), "460", "00",
                           std::to_string(neighbour.enodeb), std::to_string(neighbour.localId)});
        }
        return out;
    };
    auto intra = relations(relationRows / 10 * 7);
    auto inter = relations(relationRows - relationRows / 10 * 7);
    std::vector<std::vector<std::string>> geran, external;
    geran.reserve(relationRows / 5);
    for (int r = 0; r < relationRows / 5; ++r) {
        const Cell4G& owner = lte[r % 10000 == 0 ? target : random.below(cells)];
        const Cell2G& g = gsm[random.below(static_cast<int>(gsm.size()))];
        geran.push_back({owner.site, std::to_string(owner.localId), "460", "00",
                         std::to_string(g.lac), std::to_string(g.ci)});
    }
    external.reserve(relationRows / 5);
    for (int r = 0; r < relationRows / 5; ++r) {
        const Cell4G& owner = lte[random.below(cells)];
        const Cell4G& n = lte[r % 2000 == 0 ? target : random.below(cells)];
        external.push_back({owner.site, "460", "00", std::to_string(n.enodeb),
                            std::to_string(n.localId), n.earfcn, std::to_string(n.pci)});
    }
    test::writeExportWorkbook(
        path,
        {test::intraRelationSheet(std::move(intra)), test::interRelationSheet(std::move(inter)),
         test::geranRelationSheet(std::move(geran)), test::externalCellSheet(std::move(external))});
}

// Ten kinds of line as the generators write them, over the network's cells.
std::string makeScript(int count, const std::vector<Cell4G>& lte, const std::vector<Cell2G>& gsm) {
    Sequence random;
    const int cells = static_cast<int>(lte.size());
    std::string s;
    s.reserve(static_cast<std::size_t>(count) * 170);
    for (int i = 0; i < count; ++i) {
        const Cell4G& c = lte[(i / 10) % cells];
        const Cell4G& n = lte[random.below(cells)];
        const std::string ne = ";{" + c.site + "}\n";
        const std::string local = std::to_string(c.localId);
        const std::string peer =
            ",ENODEBID=" + std::to_string(n.enodeb) + ",CELLID=" + std::to_string(n.localId);
        switch (i % 10) {
            case 0:
            case 1:
                s += "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=" + local + ",MCC=\"460\",MNC=\"00\"" +
                     peer + ",LOCALCELLNAME=\"" + c.name + "\",NEIGHBOURCELLNAME=\"" + n.name +
                     "\"" + ne;
                break;
            case 2:
            case 3:
                s += "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\"" + peer +
                     ",DLEARFCN=" + n.earfcn +
                     ",ULEARFCNCFGIND=NOT_CFG,PHYCELLID=" + std::to_string(n.pci) +
                     ",TAC=" + std::to_string(n.tac) + ",CELLNAME=\"" + n.name + "\"" + ne;
                break;
            case 4:
                s += "ADD EUTRANINTERNFREQ:LOCALCELLID=" + local + " ,DLEARFCN=" + n.earfcn +
                     ",ULEARFCNCFGIND=NOT_CFG,CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=5,"
                     "SPEEDDEPENDSPCFGIND=NOT_CFG,MEASBANDWIDTH=MBW100,THRESHXHIGH=10,"
                     "THRESHXLOW=10,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=A4 "
                     ",QOFFSETFREQCONN=dB2,QQUALMINCFGIND=NOT_CFG,"
                     "INTERFREQCIOADJLIMITCFGIND=NOT_CFG" +
                     ne;
                break;
            case 5:
                s += "RMV EUTRANINTERFREQNCELL:LOCALCELLID=" + local + peer + ne;
                break;
            case 6:
                s += "MOD CELL:LOCALCELLID=" + local + ",PHYCELLID=" + std::to_string(c.pci) + ne;
                break;
            case 7: {
                const Cell2G& g = gsm[random.below(static_cast<int>(gsm.size()))];
                s += "ADD GERANNCELL:LOCALCELLID=" + local +
                     ",MCC=\"460\",MNC=\"00\",LAC=" + std::to_string(g.lac) +
                     ",GERANCELLID=" + std::to_string(g.ci) +
                     ",NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"" + c.name +
                     "\",NEIGHBOURCELLNAME=\"" + g.name + "\"" + ne;
                break;
            }
            case 8:
                s += "MOD EUTRANINTERFREQNCELL:LOCALCELLID=" + local + ",MCC=\"460\",MNC=\"00\"" +
                     peer + ",CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"" + c.name +
                     "\",NEIGHBOURCELLNAME=\"" + n.name + "\",OVERLAPIND=YES,OVERLAPRANGE=SAME" +
                     ne;
                break;
            default:
                s += "ACT CELL:LOCALCELLID=" + local + ne;
        }
    }
    return s;
}

void makeSize(const fs::path& samples, const fs::path& out, int cells4G) {
    const fs::path home = out / "home";
    fs::create_directories(home / "mu");
    fs::create_directories(home / "mu2");
    for (const char* ini : {"EARFCN.ini", "2G.ini"})
        writeText(home / "mu" / ini, readAll(samples / "mu" / ini));

    const auto lte = makeCells4G(cells4G, planBands(samples / "mu" / "EARFCN.ini"));
    const auto gsm = makeCells2G(cells4G / 4);
    write4GWorkbook(out / "cells4g.xlsx", lte);
    write2GWorkbook(out / "cells2g.xlsx", gsm);

    // Generator input giving about cells4G / 2 output lines (100,000 for the
    // province): pairs of random cells, run two-way; as many 4G-2G pairs,
    // run one-way (those pages have no two-way); one-to-many sources times
    // 100 targets; a single list of half the cells. The load-balancing page
    // takes the cells covering one sector and declares each the overlapping
    // neighbour of every other, so its list is the square root.
    Sequence random;
    const int lines = cells4G / 2, n4 = static_cast<int>(lte.size()), n2 = cells4G / 4;
    std::vector<std::string> sources, targets, gsmSources, gsmTargets, oneToManySources,
        oneToManyTargets, names, sector;
    auto any4G = [&] { return lte[random.below(n4)].name; };
    auto any2G = [&] { return gsm[random.below(n2)].name; };
    for (int i = 0; i < lines / 2; ++i) {
        sources.push_back(any4G());
        targets.push_back(any4G());
    }
    for (int i = 0; i < lines; ++i) {
        gsmSources.push_back(any4G());
        gsmTargets.push_back(any2G());
    }
    for (int i = 0; i < lines / 100; ++i) oneToManySources.push_back(any4G());
    for (int i = 0; i < 100; ++i) oneToManyTargets.push_back(any2G());
    for (int i = 0; i < lines; ++i) names.push_back(any4G());
    for (int i = 0; i * i < lines; ++i) sector.push_back(lte[i].name);  // distinct names
    writeText(out / "sources.txt", joined(sources));
    writeText(out / "targets.txt", joined(targets));
    writeText(out / "gsm-sources.txt", joined(gsmSources));
    writeText(out / "gsm-targets.txt", joined(gsmTargets));
    writeText(out / "otm-sources.txt", joined(oneToManySources));
    writeText(out / "otm-targets.txt", joined(oneToManyTargets));
    writeText(out / "names.txt", joined(names));
    writeText(out / "sector.txt", joined(sector));
    writeText(out / "one-name.txt", lte[n4 / 2].name + "\n");

    // The export tools' cells: the target of many relations, and a cell that
    // takes over its relations.
    const int target = n4 / 3;
    writeExport(out / "export.xlsx", lte, gsm, cells4G * 5, target);
    const Cell4G& t = lte[target];
    std::ofstream cellsFile(out / "export-cells.sh", std::ios::binary);
    cellsFile << "target_cell='" << t.name << "'\nnew_cell='" << lte[target + 1].name
              << "'\nnew_pci=" << (t.pci + 1) % 504 << "\n";

    if (const Status written =
            writeScriptFile(out / "script.txt", codec::toCrLf(makeScript(cells4G * 5, lte, gsm)));
        !written)
        throw std::runtime_error(written.error());
}

}  // namespace

int main(int argc, char** argv) {
    int cells = 0;
    if (argc == 4)
        std::from_chars(argv[3], argv[3] + std::char_traits<char>::length(argv[3]), cells);
    if (cells < 4000) {
        std::cerr << "usage: brindle-benchdata SAMPLES_DIR OUT_DIR CELLS_4G (at least 4000)\n";
        return 2;
    }
    try {
        makeSize(argv[1], argv[2], cells);
    } catch (const std::exception& e) {
        std::cerr << "brindle-benchdata: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
