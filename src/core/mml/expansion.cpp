#include "core/mml/expansion.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/base/messages.h"
#include "core/base/namelist.h"
#include "core/base/textcodec.h"

namespace brindle::mml {

namespace {

// EARFCN text → band label, tried in this order.
constexpr std::array<std::pair<std::string_view, std::string_view>, 18> kBandLabels = {{
    {"38400", "F1"},
    {"38544", "F2"},
    {"38496", "F3"},
    {"37900", "D1"},
    {"38098", "D2"},
    {"40936", "D3"},
    {"38950", "E1"},
    {"39148", "E2"},
    {"39292", "E3"},
    {"3683", "FDD900M"},
    {"1250", "FDD1800M"},
    {"38350", "F1"},
    {"38500", "F1"},
    {"38450", "F1"},
    {"36275", "A"},
    {"3656", "FDD900M"},
    {"1425", "FDD1800M"},
    {"1300", "FDD1800M"},
}};
constexpr std::string_view kUnknownBand = "未知";

// A name's bytes as the sector key is compared with them: GBK; a name that
// GBK cannot hold stays in its UTF-8 bytes.
std::string gbkBytes(std::string_view text) {
    auto gbk = codec::toGbk(text);
    return gbk.text ? std::move(*gbk.text) : std::string(text);
}

}  // namespace

std::string_view bandLabel(std::string_view earfcn) {
    for (const auto& [key, label] : kBandLabels)
        if (earfcn == key) return label;
    return kUnknownBand;
}

std::string sectorKey(std::string_view cellName) {
    const std::string gbk = gbkBytes(cellName);
    return gbk.size() < 2 ? gbk : gbk.substr(gbk.size() - 2);
}

SiteIndex::SiteIndex(const Library& library) {
    constexpr std::size_t kSiteField = 3;  // 基站号
    for (std::size_t i = 0; i < library.count(); ++i) {
        const std::string_view site = library.at(i).field(kSiteField);
        positions_[site].push_back(i);
        longest_ = std::max(longest_, site.size());
    }
}

const std::vector<std::size_t>* SiteIndex::containing(std::string_view site) const {
    static const std::vector<std::size_t> kNone;
    if (site.size() < longest_) return nullptr;
    const auto it = positions_.find(site);
    return it == positions_.end() ? &kNone : &it->second;
}

std::string sectorBands(const Library& library, const Cell4G& cell, Feedback& feedback, int pace,
                        const SiteIndex* index) {
    const std::string_view site = cell.基站号;
    const std::string key = sectorKey(cell.小区名);
    constexpr std::size_t kSiteField = 3, kEarfcnField = 5;  // 基站号, 频点
    auto ofSite = [&](RecordView r) { return r.field(kSiteField).find(site) != std::string::npos; };
    auto ofSector = [&](RecordView r) {
        return gbkBytes(r.cellName()).find(key) != std::string::npos;
    };
    const std::vector<std::size_t>* sitePositions = index ? index->containing(site) : nullptr;
    // The next record at or after `from` whose 基站号 contains the site.
    const auto nextOfSite = [&](std::size_t from) -> std::optional<std::size_t> {
        if (!sitePositions) return library.findForward(from, ofSite);
        const auto it = std::lower_bound(sitePositions->begin(), sitePositions->end(), from);
        if (it == sitePositions->end()) return std::nullopt;
        return *it;
    };
    std::string bands;
    std::size_t from = 0;
    for (std::size_t round = 0; round < library.count(); ++round) {
        const auto siteHit = nextOfSite(from);
        if (!siteHit) break;
        const auto sectorHit = library.findForward(*siteHit, ofSector);
        if (!sectorHit) break;
        const RecordView record = library.at(*sectorHit);
        // The site's cells stand together: the first sector cell of another
        // site (after this site's last one, or of a site whose 基站号 merely
        // contains this one) ends the scan.
        if (record.field(kSiteField) != site) break;
        if (!bands.empty()) bands += '+';
        bands += bandLabel(record.field(kEarfcnField));
        from = *sectorHit + 1;
        feedback.pace(pace);
    }
    return bands;
}

bool runExpansionBands(const RunContext& context, const PageInput& input) {
    Feedback& feedback = context.feedback;
    const auto names = nameList(input.sourceText);
    const long total = static_cast<long>(names.size());
    long done = 0;
    feedback.progress(0, total);
    const std::optional<SiteIndex> index =
        context.lte ? std::optional<SiteIndex>(std::in_place, *context.lte) : std::nullopt;
    for (const std::string& name : names) {
        const auto position = context.lte ? context.lte->findCell(name) : std::nullopt;
        if (!position) {
            feedback.message(name + std::string(msg::kCellNameMissing));
            feedback.pumpEvents();
            continue;
        }
        const Cell4G cell = Cell4G::from(context.lte->at(*position));
        const std::string bands = sectorBands(*context.lte, cell, feedback, 100, &*index);
        feedback.progress(++done, total);
        context.pane.append(name + "|" + bands + "\r\n");
        feedback.pumpEvents();
    }
    return true;
}

}  // namespace brindle::mml
