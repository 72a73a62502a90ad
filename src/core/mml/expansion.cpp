#include "core/mml/expansion.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/base/flatindex.h"
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
// GBK cannot hold stays in its UTF-8 bytes. A run converts a name for every
// record it passes, so the converter is opened once per thread rather than
// per name, and a name of ASCII alone (the same in both) is not converted:
// `buffer` holds the converted bytes when there are any.
bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string_view gbkBytes(std::string_view text, std::string& buffer) {
    if (isAscii(text)) return text;
    buffer.clear();
    std::size_t bad = 0;
    return codec::appendGbk(text, buffer, bad) ? std::string_view(buffer) : text;
}

}  // namespace

std::string_view bandLabel(std::string_view earfcn) {
    for (const auto& [key, label] : kBandLabels)
        if (earfcn == key) return label;
    return kUnknownBand;
}

std::string sectorKey(std::string_view cellName) {
    std::string buffer;
    const std::string_view gbk = gbkBytes(cellName, buffer);
    return std::string(gbk.size() < 2 ? gbk : gbk.substr(gbk.size() - 2));
}

SiteIndex::SiteIndex(const Library& library) : library_(library) {
    // Each 基站号 to its number in sites_, while the groups are counted.
    FlatIndex numbers;
    numbers.reserve(library.count());
    siteOf_.resize(library.count());
    std::vector<std::uint32_t> counts;
    for (std::size_t i = 0; i < library.count(); ++i) {
        const std::string_view site = library.at(i).field(Field4G::EnodebId);
        const auto [n, added] =
            numbers.insert(FlatIndex::hash(site), static_cast<std::uint32_t>(sites_.size()),
                           [&](std::uint32_t e) { return sites_[e] == site; });
        if (added) {
            sites_.push_back(site);
            counts.push_back(0);
        }
        siteOf_[i] = n;
        ++counts[n];
        longest_ = std::max(longest_, site.size());
    }
    starts_.assign(sites_.size() + 1, 0);
    for (std::size_t n = 0; n < counts.size(); ++n) starts_[n + 1] = starts_[n] + counts[n];
    positions_.resize(library.count());
    std::vector<std::uint32_t> next(starts_.begin(), starts_.end() - 1);
    for (std::size_t i = 0; i < siteOf_.size(); ++i)
        positions_[next[siteOf_[i]]++] = static_cast<std::uint32_t>(i);
}

std::optional<std::span<const std::uint32_t>> SiteIndex::containingSiteOf(
    std::size_t position) const {
    if (sites_[siteOf_[position]].size() < longest_) return std::nullopt;
    return group(siteOf_[position]);
}

std::span<const std::uint32_t> SiteIndex::group(std::uint32_t n) const {
    return std::span<const std::uint32_t>(positions_)
        .subspan(starts_[n], starts_[n + 1] - starts_[n]);
}

std::string_view SiteIndex::sectorBytes(std::size_t position) const {
    if (spans_.empty()) spans_.assign(library_.count(), {0, kNotYet});
    auto& [start, size] = spans_[position];
    if (size == kNotYet) {
        std::string buffer;
        const std::string_view bytes = gbkBytes(library_.at(position).cellName(), buffer);
        start = static_cast<std::uint32_t>(converted_.size());
        size = static_cast<std::uint32_t>(bytes.size());
        converted_ += bytes;
    }
    return std::string_view(converted_).substr(start, size);
}

std::string sectorBands(const Library& library, std::size_t position, Feedback& feedback, int pace,
                        const SiteIndex* index) {
    const std::string_view site = library.at(position).field(Field4G::EnodebId);
    std::string key;
    if (index) {
        const std::string_view name = index->sectorBytes(position);
        key = name.substr(name.size() < 2 ? 0 : name.size() - 2);
    } else {
        key = sectorKey(library.at(position).cellName());
    }
    auto ofSite = [&](RecordView r) {
        return r.field(Field4G::EnodebId).find(site) != std::string::npos;
    };
    std::string buffer;
    auto ofSector = [&](RecordView r) {
        return gbkBytes(r.cellName(), buffer).find(key) != std::string::npos;
    };
    // The next record at or after `from` whose name contains the sector key.
    const auto nextOfSector = [&](std::size_t from) -> std::optional<std::size_t> {
        if (!index) return library.findForward(from, ofSector);
        for (std::size_t i = from; i < library.count(); ++i)
            if (index->sectorBytes(i).find(key) != std::string_view::npos) return i;
        return std::nullopt;
    };
    const auto sitePositions =
        index ? index->containingSiteOf(position) : std::optional<std::span<const std::uint32_t>>();
    // The next record at or after `from` whose 基站号 contains the site.
    const auto nextOfSite = [&](std::size_t from) -> std::optional<std::size_t> {
        if (!sitePositions) return library.findForward(from, ofSite);
        const auto it = std::lower_bound(sitePositions->begin(), sitePositions->end(), from);
        if (it == sitePositions->end()) return std::nullopt;
        return *it;
    };
    const auto isOfSite = [&](std::size_t hit) {
        return index ? index->sameSite(hit, position)
                     : library.at(hit).field(Field4G::EnodebId) == site;
    };
    std::string bands;
    std::size_t from = 0;
    for (std::size_t round = 0; round < library.count(); ++round) {
        const auto siteHit = nextOfSite(from);
        if (!siteHit) break;
        const auto sectorHit = nextOfSector(*siteHit);
        if (!sectorHit) break;
        // The site's cells stand together: the first sector cell of another
        // site (after this site's last one, or of a site whose 基站号 merely
        // contains this one) ends the scan.
        if (!isOfSite(*sectorHit)) break;
        if (!bands.empty()) bands += '+';
        bands += bandLabel(library.at(*sectorHit).field(Field4G::Earfcn));
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
        if (feedback.stopRequested()) return false;
        const auto position = context.lte ? context.lte->findCell(name) : std::nullopt;
        if (!position) {
            reportMiss(context, name, MissPolicy::SkipName, msg::kCellNameMissing);
            continue;
        }
        const std::string bands = sectorBands(*context.lte, *position, feedback, 100, &*index);
        feedback.progress(++done, total);
        send(context, input, name + "|" + bands + "\r\n");
    }
    return true;
}

}  // namespace brindle::mml
