#include "core/geran/templates.h"
#include "core/mml/commandline.h"

namespace brindle::geran {

using mml::cat;

// One parameter to a line, so each template reads against the NMS documentation.
// clang-format off

std::string addFrequencyGroupLine(const Cell4G& s, const Settings2G& set) {
    return cat({"ADD GERANNFREQGROUP:LOCALCELLID=", s.本地小区标识,
                ",BCCHGROUPID=", set.bcchGroupId,
                ",GERANVERSION=", set.geranVersion,
                ",STARTINGARFCN=", set.startArfcn,
                ",BANDINDICATOR=", set.bandIndicator,
                ",CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=2,PMAXGERANCFGIND=NOT_CFG,"
                "THRESHXLOW=10,ConnFreqPriority=8;{", s.基站名, "}\r\n"});
}

std::string removeFrequencyGroupLine(const Cell4G& s, const Settings2G& set) {
    return cat({"RMV GERANNFREQGROUP:LOCALCELLID=", s.本地小区标识,
                ",BCCHGROUPID=", set.bcchGroupId,
                ";{", s.基站名, "}\r\n"});
}

std::string addGroupArfcnLine(const Cell4G& s, const Cell2G& t, const Settings2G& set) {
    return cat({"ADD GERANNFREQGROUPARFCN:LOCALCELLID=", s.本地小区标识,
                ",BCCHGROUPID=", set.bcchGroupId,
                ",GERANARFCN=", t.BCCH频点,
                ";{", s.基站名, "}\r\n"});
}

std::string removeGroupArfcnLine(const Cell4G& s, const Cell2G& t) {
    return cat({"RMV GERANNFREQGROUPARFCN:LOCALCELLID=", s.本地小区标识,
                ",GERANARFCN=", t.BCCH频点,
                ";{", s.基站名, "}\r\n"});
}

std::string externalCellLine(std::string_view verb, const Cell4G& s, const Cell2G& t,
                             const Settings2G& set) {
    return cat({verb, " GERANEXTERNALCELL:MCC=\"460\",MNC=\"00\",GERANCELLID=", t.小区CI,
                ",LAC=", t.小区LAC,
                ",RACCFGIND=CFG,RAC=0,BANDINDICATOR=", set.bandIndicator,
                ",GERANARFCN=", t.BCCH频点,
                ",NETWORKCOLOURCODE=", t.小区网络色码,
                ",BASESTATIONCOLOURCODE=", t.小区基站色码,
                ",CELLNAME=\"", t.小区名,
                "\";{", s.基站名, "}\r\n"});
}

std::string removeExternalCellLine(const Cell4G& s, const Cell2G& t) {
    return cat({"RMV GERANEXTERNALCELL:MCC=\"460\",MNC=\"00\",GERANCELLID=", t.小区CI,
                ",LAC=", t.小区LAC,
                ";{", s.基站名, "}\r\n"});
}

std::string addNeighbourLine(const Cell4G& s, const Cell2G& t) {
    return cat({"ADD GERANNCELL:LOCALCELLID=", s.本地小区标识,
                ",MCC=\"460\",MNC=\"00\",LAC=", t.小区LAC,
                ",GERANCELLID=", t.小区CI,
                ",NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"", s.小区名,
                "\",NEIGHBOURCELLNAME=\"", t.小区名,
                "\";{", s.基站名, "}\r\n"});
}

std::string removeNeighbourLine(const Cell4G& s, const Cell2G& t, bool withPlmn) {
    return cat({"RMV GERANNCELL:LOCALCELLID=", s.本地小区标识,
                withPlmn ? ",MCC=\"460\",MNC=\"00\",LAC=" : ",LAC=", t.小区LAC,
                ",GERANCELLID=", t.小区CI,
                ";{", s.基站名, "}\r\n"});
}

// clang-format on

}  // namespace brindle::geran
