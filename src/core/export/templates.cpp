#include "core/export/templates.h"

#include "core/mml/commandline.h"
#include "core/mml/templates.h"

namespace brindle::exports {

using mml::cat;

// One parameter to a line, so each template reads against the NMS documentation.
// clang-format off

std::string localCellLine(std::string_view command, const Cell4G& cell) {
    return cat({command, ":LOCALCELLID=", cell.本地小区标识,
                ";{", cell.基站名, "}\r\n"});
}

std::string inheritedCarrierLine(const Cell4G& owner, const Cell4G& carrier,
                                 const FrequencySettings& settings, std::string_view minRxLevel) {
    return cat({"ADD EUTRANINTERNFREQ:LOCALCELLID=", owner.本地小区标识,
                ",DLEARFCN=", carrier.频点,
                ",ULEARFCNCFGIND=NOT_CFG,CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=",
                settings.priority,
                ",SPEEDDEPENDSPCFGIND=NOT_CFG,MEASBANDWIDTH=", settings.bandwidth,
                ",QRXLEVMIN=", minRxLevel,
                ",PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=Event", settings.event,
                ",QQUALMINCFGIND=NOT_CFG;{", owner.基站名, "}\r\n"});
}

std::string inheritedNeighbourLine(const Cell4G& owner, const Cell4G& neighbour) {
    return cat({"ADD ", mml::neighbourObject(owner, neighbour),
                ":LOCALCELLID=", owner.本地小区标识,
                ",MCC=\"460\",MNC=\"00\",ENODEBID=", neighbour.基站号,
                ",CELLID=", neighbour.小区标识,
                ",LOCALCELLNAME=\"", owner.小区名,
                "\",NEIGHBOURCELLNAME=\"", neighbour.小区名,
                "\";{", owner.基站名, "}\r\n"});
}

std::string modifyPciLine(const Cell4G& cell, std::string_view pci) {
    return cat({"MOD CELL:LOCALCELLID=", cell.本地小区标识,
                ",PHYCELLID=", pci,
                ";{", cell.基站名, "}\r\n"});
}

std::string modifyExternalPciLine(std::string_view enodeb, std::string_view cellId,
                                  std::string_view pci, std::string_view ne) {
    return cat({"MOD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=", enodeb,
                ",CELLID=", cellId,
                ",PHYCELLID=", pci,
                ";{", ne, "}\r\n"});
}

std::string removeGroupArfcnLine(const Cell4G& cell, const Cell2G& gsm,
                                 const Settings2G& settings) {
    return cat({"RMV GERANNFREQGROUPARFCN:LOCALCELLID=", cell.本地小区标识,
                ",BCCHGROUPID=", settings.bcchGroupId,
                ",GERANARFCN=", gsm.BCCH频点,
                ";{", cell.基站名, "}\r\n"});
}

std::string removeRanShareLine(const Cell4G& cell, const Settings2G& settings) {
    return cat({"RMV GERANRANSHARE:LOCALCELLID=", cell.本地小区标识,
                ",BCCHGROUPID=", settings.bcchGroupId,
                ",MCC=\"460\",MNC=\"00\";{", cell.基站名, "}\r\n"});
}

// clang-format on

}  // namespace brindle::exports
