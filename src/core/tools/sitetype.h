#pragma once
// The site-type builder: for each base station, the per-sector carrier count
// of four bands (S1/1/1/), from the cells of the 4G library named by the
// convention <site><connector><sector> and <site><connector><sector><1-9>.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/feedback.h"
#include "core/library/library.h"

namespace brindle::tools {

// The builder's boxes, as texts, with the window's defaults.
struct SiteTypeSettings {
    std::array<std::string, 4> bandNames{"F", "D", "E", "FDD"};
    // EARFCNs of each band, separated by "|".
    std::array<std::string, 4> earfcns{"38400|38544|38496", "37900|38098|40936",
                                       "38950|39148|39292|40738|40540", "1250|3683"};
    std::string head = "S";
    std::string connector = "-";
    std::string maxCells = "9";  // highest sector number tried; not a number: 0
    std::string separator = "/";
};

// One base station's result line, ending in "\r\n", and whether any of its
// sectors was found (a line of bare heads otherwise). Without a library no
// cell is found.
struct SiteTypeLine {
    std::string text;
    bool found = false;
};
SiteTypeLine siteTypeLine(const Library* library, std::string_view site,
                          const SiteTypeSettings& settings);

// "转换": the lines of every base station of `namesText` (one per line), with
// progress over the names; each line is also handed to `line` as soon as it
// is made. A run that found no cell of some base stations ends with one
// message naming them (sitesNotFoundMessage). The engineer may stop it
// before any base station: it then gives the lines of the ones before, each
// whole, and tells nothing.
std::string buildSiteTypes(const Library* library, std::string_view namesText,
                           const SiteTypeSettings& settings, Feedback* feedback = nullptr,
                           const std::function<void(const std::string&)>& line = {});

// "以下基站在工参库中找不到小区：" and the names, one per line, each once in
// the order of the list; an empty name is no base station. Empty when there
// is no name to tell.
std::string sitesNotFoundMessage(const std::vector<std::string>& sites);

}  // namespace brindle::tools
