#include "core/app/commandtable.h"

#include "core/export/templates.h"
#include "core/geran/templates.h"
#include "core/mml/loadbalancing.h"
#include "core/mml/templates.h"

namespace brindle {

namespace {

// A cell whose every field is a placeholder: only the names of the
// parameters are learnt, never the values.
Cell4G cell4G(std::string_view earfcn) {
    Cell4G c;
    c.基站名 = c.小区名 = "X";
    c.本地小区标识 = c.基站号 = c.小区标识 = c.物理小区标识 = c.TAC号 = "0";
    c.频点 = earfcn;
    return c;
}

Cell2G cell2G() {
    Cell2G c;
    c.基站名 = c.小区名 = "X";
    c.小区LAC = c.小区CI = c.BCCH频点 = c.小区网络色码 = c.小区基站色码 = "0";
    return c;
}

// Every template function of the generators and the tools, each form of
// it (both neighbour objects, with and without the overlap and optional
// parameters). A new template must be added here: the test that checks
// every generator's output against this table fails until it is.
check::CommandTable build() {
    check::CommandTable table;
    const Cell4G a = cell4G("1"), sameCarrier = cell4G("1"), otherCarrier = cell4G("2");
    const Cell2G g = cell2G();
    const FamilyValues family{"0", "0", "0", "A3", "0"};
    const FrequencySettings frequency{"1", "0", "MBW100", "A3"};
    const Settings2G settings{"0", "0", "GSM_dcs1800", "GSM_V3", "NOT_CFG"};
    const std::string ne = "{X}";
    auto learn = [&table](const std::string& line) { table.learn(line); };

    // The 4G page.
    for (const Cell4G* other : {&sameCarrier, &otherCarrier}) {
        for (std::string_view verb : {"ADD", "MOD"}) learn(mml::neighbourLine(verb, a, *other));
        learn(mml::removeNeighbourLine(a, *other));
    }
    Cell4G otherSite = otherCarrier;  // no overlap: another eNodeB
    otherSite.基站号 = "1";
    learn(mml::neighbourLine("ADD", a, otherSite));
    learn(mml::addExternalCellLine(a, otherCarrier));
    learn(mml::modExternalCellLine(a, otherCarrier));
    learn(mml::removeExternalCellLine(a, otherCarrier));
    for (std::string_view suffix : {std::string_view(), mml::kReducedMeasPerformance})
        learn(mml::addCarrierLine(a, otherCarrier, family, suffix));
    learn(mml::removeCarrierLine(a, otherCarrier));
    learn(mml::activateCellLine(a));
    learn(mml::deactivateCellLine(a));
    learn(mml::referenceSignalPowerLine(a, "0"));

    // The load-balancing page.
    learn(mml::cellAlgoSwitchLine(a, ne));
    learn(mml::interFreqHoGroupLine(a, ne));
    learn(mml::ueNumberMlbLine(a, "0", "0", ne));
    learn(mml::enodebAlgoSwitchLine(ne));
    learn(mml::cellMlbHoLine(a, ne));
    learn(mml::rrcConnStateTimerLine(ne));
    for (bool fddd : {false, true}) learn(mml::prbMlbLine(a, ne, fddd));
    learn(mml::prbUeSelectLine(a, ne));
    learn(mml::prbCarrierOffsetLine(a, ne));
    learn(mml::prbUeSelectFdddLine(a, ne));
    learn(mml::overlapNeighbourLine(a, "X", otherCarrier, ne));

    // The 2G page.
    learn(geran::addFrequencyGroupLine(a, settings));
    learn(geran::removeFrequencyGroupLine(a, settings));
    learn(geran::addGroupArfcnLine(a, g, settings));
    learn(geran::removeGroupArfcnLine(a, g));
    for (std::string_view verb : {"ADD", "MOD"})
        learn(geran::externalCellLine(verb, a, g, settings));
    learn(geran::removeExternalCellLine(a, g));
    learn(geran::addNeighbourLine(a, g));
    for (bool plmn : {false, true}) learn(geran::removeNeighbourLine(a, g, plmn));

    // The export tools.
    for (std::string_view command : {exports::kRemoveIntraRelations, exports::kRemoveInterRelations,
                                     exports::kRemoveCarriers, exports::kRemoveGeranRelations,
                                     exports::kRemoveGroupArfcns, exports::kRemoveFrequencyGroups})
        learn(exports::localCellLine(command, a));
    learn(exports::inheritedCarrierLine(a, otherCarrier, frequency, "0"));
    for (const Cell4G* other : {&sameCarrier, &otherCarrier})
        learn(exports::inheritedNeighbourLine(a, *other));
    learn(exports::modifyPciLine(a, "0"));
    learn(exports::modifyExternalPciLine("0", "0", "0", "X"));
    learn(exports::removeGroupArfcnLine(a, g, settings));
    learn(exports::removeRanShareLine(a, settings));
    return table;
}

}  // namespace

const check::CommandTable& programCommands() {
    static const check::CommandTable table = build();
    return table;
}

}  // namespace brindle
