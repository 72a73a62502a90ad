#include "core/freqplan/settings2g.h"

#include "core/freqplan/plankeys.h"
#include "core/freqplan/profile.h"

namespace brindle {

void loadSettings2G(const std::filesystem::path& ini2G, Settings2G& into) {
    using namespace plankeys;
    // One parse, so the five values come from one state of the file.
    const ProfileFile file = ProfileFile::load(ini2G);
    into.startArfcn = file.value(k2GSection, k2GStartArfcnKey);
    into.bcchGroupId = file.value(k2GSection, k2GBcchGroupKey);
    into.bandIndicator = file.value(k2GSection, k2GBandIndicatorKey);
    into.geranVersion = file.value(k2GSection, k2GGeranVersionKey);
    into.lacIndicator = file.value(k2GSection, k2GLacIndicatorKey);
}

}  // namespace brindle
