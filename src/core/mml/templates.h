#pragma once
// The command templates of the 4G page, one function per command. Each
// function is the template as the NMS documentation would be checked against
// it: fixed pieces and record fields joined in order, nothing escaped,
// trimmed or converted. Every line ends with the NE suffix ";{" + NE + "}"
// and CR LF; the NE is the `基站名` of the cell whose eNodeB is configured
// (the `owner`).

#include <string>
#include <string_view>

#include "core/freqplan/frequencyplan.h"
#include "core/library/record.h"

namespace brindle::mml {

// ---- neighbour relations -----------------------------------------------------
inline constexpr std::string_view kIntraFreqNeighbour = "EUTRANINTRAFREQNCELL";
inline constexpr std::string_view kInterFreqNeighbour = "EUTRANINTERFREQNCELL";

// The two `频点` are equal texts when letter case is ignored.
bool sameEarfcn(const Cell4G& a, const Cell4G& b);

// EUTRANINTRAFREQNCELL for cells on the same carrier, else EUTRANINTERFREQNCELL.
std::string_view neighbourObject(const Cell4G& a, const Cell4G& b);

// Same eNodeB and same PCI, compared exactly.
bool coSitedSamePci(const Cell4G& a, const Cell4G& b);

// ADD/MOD EUTRAN{INTRA,INTER}FREQNCELL: `neighbour` becomes a neighbour of `owner`.
std::string neighbourLine(std::string_view verb, const Cell4G& owner, const Cell4G& neighbour);

// RMV EUTRAN{INTRA,INTER}FREQNCELL: no PLMN, names, offset or overlap.
std::string removeNeighbourLine(const Cell4G& owner, const Cell4G& neighbour);
// The same with the relation object given, for relations the network says
// are of one kind whatever the library's carriers say.
std::string removeNeighbourLine(std::string_view object, const Cell4G& owner,
                                const Cell4G& neighbour);

// ---- external cells: `cell` declared on the eNodeB of `owner` -----------------
std::string addExternalCellLine(const Cell4G& owner, const Cell4G& cell);
std::string modExternalCellLine(const Cell4G& owner, const Cell4G& cell);
std::string removeExternalCellLine(const Cell4G& owner, const Cell4G& cell);

// ---- inter-frequency carriers: `carrier`'s `频点` configured on `owner` --------

// MEASBANDWIDTH by the exact text of the EARFCN.
std::string_view measBandwidth(std::string_view earfcn);

inline constexpr std::string_view kReducedMeasPerformance = ",MEASPERFORMANCEDEMAND=REDUCED";

std::string addCarrierLine(const Cell4G& owner, const Cell4G& carrier, const FamilyValues& family,
                           std::string_view measPerformanceSuffix);
std::string removeCarrierLine(const Cell4G& owner, const Cell4G& carrier);

// ---- cells switched on and off, reference-signal power -------------------------
std::string activateCellLine(const Cell4G& cell);
std::string deactivateCellLine(const Cell4G& cell);
// `power` is the box's text, in 0.1 dBm, as typed.
std::string referenceSignalPowerLine(const Cell4G& cell, std::string_view power);

}  // namespace brindle::mml
