#pragma once
// The command templates of the 2G page: GSM neighbour frequency groups,
// external cells and relations configured on an LTE cell's eNodeB. The
// source is the LTE cell (its `基站名` names the NE), the target the GSM
// cell; the 2G settings fill the group and band parameters. Fixed pieces and
// fields are joined in order, nothing escaped, trimmed or converted.

#include <string>
#include <string_view>

#include "core/freqplan/settings2g.h"
#include "core/library/record.h"

namespace brindle::geran {

// ADD GERANNFREQGROUP: the frequency group (no field of the GSM cell).
std::string addFrequencyGroupLine(const Cell4G& source, const Settings2G& settings);
// RMV GERANNFREQGROUP.
std::string removeFrequencyGroupLine(const Cell4G& source, const Settings2G& settings);

// ADD GERANNFREQGROUPARFCN: the GSM cell's BCCH in the group.
std::string addGroupArfcnLine(const Cell4G& source, const Cell2G& target,
                              const Settings2G& settings);
// RMV GERANNFREQGROUPARFCN (no BCCHGROUPID).
std::string removeGroupArfcnLine(const Cell4G& source, const Cell2G& target);

// ADD or MOD GERANEXTERNALCELL (`verb` "ADD" or "MOD").
std::string externalCellLine(std::string_view verb, const Cell4G& source, const Cell2G& target,
                             const Settings2G& settings);
// RMV GERANEXTERNALCELL, with the PLMN.
std::string removeExternalCellLine(const Cell4G& source, const Cell2G& target);

// ADD GERANNCELL.
std::string addNeighbourLine(const Cell4G& source, const Cell2G& target);
// RMV GERANNCELL: the one-to-one form carries no PLMN, the one-to-many form does.
std::string removeNeighbourLine(const Cell4G& source, const Cell2G& target, bool withPlmn);

}  // namespace brindle::geran
