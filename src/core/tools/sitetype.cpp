#include "core/tools/sitetype.h"

#include <unordered_set>
#include <vector>

#include "core/base/messages.h"
#include "core/base/namelist.h"
#include "core/tools/boxnumber.h"

namespace brindle::tools {

namespace {

struct Bands {
    std::array<std::vector<std::string>, 4> lists;
    std::array<std::size_t, 4> counts{};

    // A cell counts once for every entry of a band's list equal to its 频点.
    // False when there is no such cell.
    bool count(const Library* library, const std::string& cellName) {
        if (!library) return false;
        const std::optional<std::size_t> position = library->findCell(cellName);
        if (!position) return false;
        const std::string_view earfcn = library->at(*position).field(Field4G::Earfcn);
        for (std::size_t b = 0; b < lists.size(); ++b)
            for (const std::string& entry : lists[b])
                if (entry == earfcn) ++counts[b];
        return true;
    }
};

}  // namespace

SiteTypeLine siteTypeLine(const Library* library, std::string_view site,
                          const SiteTypeSettings& settings) {
    Bands bands;
    for (std::size_t b = 0; b < bands.lists.size(); ++b)
        bands.lists[b] = splitList(settings.earfcns[b], "|");
    std::array<std::string, 4> types;
    bool found = false;
    const std::size_t maxCells = boxNumber(settings.maxCells);
    for (std::size_t k = 1; k <= maxCells; ++k) {
        const std::string sector = std::string(site) + settings.connector + std::to_string(k);
        bands.counts = {};
        if (!bands.count(library, sector)) continue;  // no such sector: nothing for k
        found = true;
        for (int i = 1; i <= 9; ++i) bands.count(library, sector + std::to_string(i));
        for (std::size_t b = 0; b < types.size(); ++b)
            types[b] += std::to_string(bands.counts[b]) + settings.separator;
    }
    std::string line(site);
    for (std::size_t b = 0; b < types.size(); ++b)
        line += "|" + settings.bandNames[b] + "|" + settings.head + types[b];
    return {line + "\r\n", found};
}

std::string buildSiteTypes(const Library* library, std::string_view namesText,
                           const SiteTypeSettings& settings, Feedback* feedback,
                           const std::function<void(const std::string&)>& line) {
    const std::vector<std::string> sites = nameList(namesText);
    std::string out;
    std::vector<std::string> notFound;
    long done = 0;
    for (const std::string& site : sites) {
        if (feedback && feedback->stopRequested()) return out;  // each line whole, none told
        const SiteTypeLine made = siteTypeLine(library, site, settings);
        if (line) line(made.text);
        out += made.text;
        if (!made.found) notFound.push_back(site);
        if (feedback) feedback->progress(++done, static_cast<long>(sites.size()));
    }
    // A line of bare heads looks like a site without carriers; the engineer
    // is told these names matched no cell at all.
    if (const std::string missing = sitesNotFoundMessage(notFound); feedback && !missing.empty())
        feedback->message(missing, {}, Icon::Warning);
    return out;
}

std::string sitesNotFoundMessage(const std::vector<std::string>& sites) {
    std::string text;
    std::unordered_set<std::string_view> told;
    for (const std::string& site : sites)
        if (!site.empty() && told.insert(site).second) text += "\r\n" + site;
    return text.empty() ? text : std::string(msg::kSitesNotFound) + text;
}

}  // namespace brindle::tools
