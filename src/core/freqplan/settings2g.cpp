#include "freqplan/settings2g.h"

#include "freqplan/plankeys.h"
#include "freqplan/profile.h"

namespace brindle {

void loadSettings2G(const std::filesystem::path& home, Settings2G& into) {
    using namespace plankeys;
    // One parse, so the five values come from one state of the file.
    const ProfileFile file = ProfileFile::load(settings2GIniPath(home));
    into.startArfcn = file.value(k2GSection, k2GStartArfcnKey);
    into.bcchGroupId = file.value(k2GSection, k2GBcchGroupKey);
    into.bandIndicator = file.value(k2GSection, k2GBandIndicatorKey);
    into.geranVersion = file.value(k2GSection, k2GGeranVersionKey);
    into.lacIndicator = file.value(k2GSection, k2GLacIndicatorKey);
}

}  // namespace brindle
