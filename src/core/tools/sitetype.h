#pragma once
// The site-type builder: for each base station, the per-sector carrier count
// of four bands (S1/1/1/), from the cells of the 4G library named by the
// convention <site><connector><sector> and <site><connector><sector><1-9>.

#include <array>
#include <string>
#include <string_view>

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

// One result line of base station `site`, ending in "\r\n". Without a
// library no cell is found.
std::string siteTypeLine(const Library* library, std::string_view site,
                         const SiteTypeSettings& settings);

// "转换": the lines of every base station of `namesText` (one per line),
// with progress over the names. The engineer may stop it before any base
// station: it then gives the lines of the ones before, each whole.
std::string buildSiteTypes(const Library* library, std::string_view namesText,
                           const SiteTypeSettings& settings, Feedback* feedback = nullptr);

}  // namespace brindle::tools
