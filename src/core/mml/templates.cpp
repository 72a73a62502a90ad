#include "core/mml/templates.h"
#include "core/base/asciicase.h"
#include "core/mml/commandline.h"

#include <algorithm>

namespace brindle::mml {

// The templates keep one parameter to a line so they can be read against the
// NMS documentation.
// clang-format off

bool sameEarfcn(const Cell4G& a, const Cell4G& b) { return ascii::equalIgnoringCase(a.频点, b.频点); }

std::string_view neighbourObject(const Cell4G& a, const Cell4G& b) {
    return sameEarfcn(a, b) ? kIntraFreqNeighbour : kInterFreqNeighbour;
}

bool coSitedSamePci(const Cell4G& a, const Cell4G& b) {
    return a.基站号 == b.基站号 && a.物理小区标识 == b.物理小区标识;
}

std::string neighbourLine(std::string_view verb, const Cell4G& owner, const Cell4G& neighbour) {
    const bool overlap = coSitedSamePci(owner, neighbour);
    const std::string_view offsetPiece = overlap ? ",CELLINDIVIDUALOFFSET=dB-5," : ",";
    const std::string_view overlapPiece = overlap ? ",OVERLAPIND=YES,OVERLAPRANGE=SAME" : "";
    return cat({verb, " ", neighbourObject(owner, neighbour),
                ":LOCALCELLID=", owner.本地小区标识,
                ",MCC=\"460\",MNC=\"00\",ENODEBID=", neighbour.基站号,
                ",CELLID=", neighbour.小区标识,
                offsetPiece,
                "LOCALCELLNAME=\"", owner.小区名,
                "\",NEIGHBOURCELLNAME=\"", neighbour.小区名, "\"",
                overlapPiece,
                ";{", owner.基站名, "}\r\n"});
}

std::string removeNeighbourLine(const Cell4G& owner, const Cell4G& neighbour) {
    return removeNeighbourLine(neighbourObject(owner, neighbour), owner, neighbour);
}

std::string removeNeighbourLine(std::string_view object, const Cell4G& owner,
                                const Cell4G& neighbour) {
    return cat({"RMV ", object,
                ":LOCALCELLID=", owner.本地小区标识,
                ",ENODEBID=", neighbour.基站号,
                ",CELLID=", neighbour.小区标识,
                ";{", owner.基站名, "}\r\n"});
}

std::string addExternalCellLine(const Cell4G& owner, const Cell4G& cell) {
    return cat({"ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=", cell.基站号,
                ",CELLID=", cell.小区标识,
                ",DLEARFCN=", cell.频点,
                ",ULEARFCNCFGIND=NOT_CFG,PHYCELLID=", cell.物理小区标识,
                ",TAC=", cell.TAC号,
                ",CELLNAME=\"", cell.小区名,
                "\";{", owner.基站名, "}\r\n"});
}

std::string modExternalCellLine(const Cell4G& owner, const Cell4G& cell) {
    return cat({"MOD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=", cell.基站号,
                ",CELLID=", cell.小区标识,
                ",DLEARFCN=", cell.频点,
                ",PHYCELLID=", cell.物理小区标识,
                ",TAC=", cell.TAC号,
                ";{", owner.基站名, "}\r\n"});
}

std::string removeExternalCellLine(const Cell4G& owner, const Cell4G& cell) {
    return cat({"RMV EUTRANEXTERNALCELL:ENODEBID=", cell.基站号,
                ",CELLID=", cell.小区标识,
                ";{", owner.基站名, "}\r\n"});
}

std::string_view measBandwidth(std::string_view earfcn) {
    if (earfcn == "38544" || earfcn == "38350" || earfcn == "39292") return "MBW50";
    if (earfcn == "36275") return "MBW75";
    if (earfcn == "1425" || earfcn == "3656" || earfcn == "3683") return "MBW25";
    return "MBW100";
}

std::string addCarrierLine(const Cell4G& owner, const Cell4G& carrier, const FamilyValues& family,
                           std::string_view measPerformanceSuffix) {
    return cat({"ADD EUTRANINTERNFREQ:LOCALCELLID=", owner.本地小区标识,
                " ,DLEARFCN=", carrier.频点,
                ",ULEARFCNCFGIND=NOT_CFG,CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=",
                family.reselPriority,
                ",SPEEDDEPENDSPCFGIND=NOT_CFG,MEASBANDWIDTH=", measBandwidth(carrier.频点),
                ",THRESHXHIGH=", family.threshHigh,
                ",THRESHXLOW=", family.threshLow,
                ",QRXLEVMIN=-62,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=", family.hoEvent,
                " ,QOFFSETFREQCONN=dB", family.connOffset,
                ",QQUALMINCFGIND=NOT_CFG,INTERFREQCIOADJLIMITCFGIND=NOT_CFG",
                measPerformanceSuffix,
                ";{", owner.基站名, "}\r\n"});
}

std::string removeCarrierLine(const Cell4G& owner, const Cell4G& carrier) {
    return cat({"RMV EUTRANINTERNFREQ:LOCALCELLID=", owner.本地小区标识,
                ",DLEARFCN=", carrier.频点,
                ";{", owner.基站名, "}\r\n"});
}

std::string activateCellLine(const Cell4G& cell) {
    return cat({"ACT CELL:LOCALCELLID=", cell.本地小区标识,
                ";{", cell.基站名, "}\r\n"});
}

std::string deactivateCellLine(const Cell4G& cell) {
    return cat({"DEA CELL:LOCALCELLID=", cell.本地小区标识,
                ";{", cell.基站名, "}\r\n"});
}

std::string referenceSignalPowerLine(const Cell4G& cell, std::string_view power) {
    return cat({"MOD PDSCHCFG:LOCALCELLID=", cell.本地小区标识,
                ",REFERENCESIGNALPWR=", power,
                ";{", cell.基站名, "}\r\n"});
}

// clang-format on

}  // namespace brindle::mml
