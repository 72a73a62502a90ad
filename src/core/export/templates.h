#pragma once
// The command templates of the export tools that the 4G and 2G pages do not
// already write. Fixed pieces and fields are joined in order, nothing
// escaped, trimmed or converted; every line ends with ";{" + NE + "}" and
// CR LF.

#include <string>
#include <string_view>

#include "core/freqplan/frequencyplan.h"
#include "core/freqplan/settings2g.h"
#include "core/library/record.h"

namespace brindle::exports {

// ---- commands that name a cell by its local cell id alone --------------------
// "<command>:LOCALCELLID=<本地小区标识>;{<基站名>}": the wholesale removals
// of the capacity reduction and the cell state changes.
inline constexpr std::string_view kRemoveIntraRelations = "RMV EUTRANINTRAFREQNCELL";
inline constexpr std::string_view kRemoveInterRelations = "RMV EUTRANINTERFREQNCELL";
inline constexpr std::string_view kRemoveCarriers = "RMV EUTRANINTERNFREQ";
inline constexpr std::string_view kRemoveGeranRelations = "RMV GERANNCELL";
inline constexpr std::string_view kRemoveGroupArfcns = "RMV GERANNFREQGROUPARFCN";
inline constexpr std::string_view kRemoveFrequencyGroups = "RMV GERANNFREQGROUP";

std::string localCellLine(std::string_view command, const Cell4G& cell);

// ---- neighbour inheritance ---------------------------------------------------
// ADD EUTRANINTERNFREQ: `carrier`'s 频点 configured on `owner`, with the
// frequency settings of that 频点 and the plan's 最低接收电平.
std::string inheritedCarrierLine(const Cell4G& owner, const Cell4G& carrier,
                                 const FrequencySettings& settings, std::string_view minRxLevel);
// ADD EUTRAN{INTRA,INTER}FREQNCELL without the overlap parameters, whatever
// the two cells' eNodeB and PCI.
std::string inheritedNeighbourLine(const Cell4G& owner, const Cell4G& neighbour);

// ---- PCI change ----------------------------------------------------------------
// MOD CELL: the cell's PCI.
std::string modifyPciLine(const Cell4G& cell, std::string_view pci);
// MOD EUTRANEXTERNALCELL on NE `ne`: the PCI of the external cell
// (eNodeB `enodeb`, cell `cellId`) as an export row names it.
std::string modifyExternalPciLine(std::string_view enodeb, std::string_view cellId,
                                  std::string_view pci, std::string_view ne);

// ---- capacity reduction ----------------------------------------------------------
// RMV GERANNFREQGROUPARFCN with the group id (the 2G page's form has none).
std::string removeGroupArfcnLine(const Cell4G& cell, const Cell2G& gsm, const Settings2G& settings);
// RMV GERANRANSHARE.
std::string removeRanShareLine(const Cell4G& cell, const Settings2G& settings);

}  // namespace brindle::exports
