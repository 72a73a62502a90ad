#include "core/mml/loadbalancing.h"

#include <optional>
#include <vector>

#include "core/base/messages.h"
#include "core/library/lookup.h"
#include "core/mml/commandline.h"

namespace brindle::mml {

namespace {

// The end of every line: ";", the NE suffix, CR LF.
std::string end(std::string_view ne) {
    return cat({";", ne, "\r\n"});
}

}  // namespace

BandBoxes bandBoxes(std::string_view earfcn) {
    if (earfcn == "38400") return {units::kUeF1, units::kScaleOther};
    if (earfcn == "38544") return {units::kUeF2, units::kScaleF2};
    if (earfcn == "37900" || earfcn == "38098" || earfcn == "40936")
        return {units::kUeD, units::kScaleOther};
    if (earfcn == "3683") return {units::kUeFddg, units::kScaleOther};
    return {units::kUeOther, units::kScaleOther};
}

// The templates keep one parameter to a line so they can be read against the
// NMS documentation.
// clang-format off

std::string cellAlgoSwitchLine(const Cell4G& cell, std::string_view ne) {
    return cat({"MOD CELLALGOSWITCH:LOCALCELLID=", cell.本地小区标识,
                ",MLBALGOSWITCH=InterFreqMlbSwitch-1&InterFreqIdleMlbSwitch-1",
                ",ENHANCEDMLBALGOSWITCH=CaUserLoadTransferSw-1",
                end(ne)});
}

std::string interFreqHoGroupLine(const Cell4G& cell, std::string_view ne) {
    return cat({"MOD INTERFREQHOGROUP:LOCALCELLID=", cell.本地小区标识,
                ",INTERFREQHOGROUPID=0",
                ",INTERFREQLOADBASEDHOA4THDRSRP=-108",
                end(ne)});
}

std::string ueNumberMlbLine(const Cell4G& cell, std::string_view ueThreshold,
                            std::string_view scaleFactor, std::string_view ne) {
    return cat({"MOD CELLMLB:LOCALCELLID=", cell.本地小区标识,
                ",MLBTRIGGERMODE=UE_NUMBER_ONLY",
                ",INTERFREQMLBUENUMTHD=", ueThreshold,
                ",MLBUENUMOFFSET=5",
                ",MLBMAXUENUM=20",
                ",MLBUESELECTPRBTHD=99",
                ",UENUMDIFFTHD=5",
                ",INTERFREQUETRSFTYPE=IdleUE-1",
                ",INTERFREQIDLEMLBUENUMTHD=55",
                ",INTERFREQLOADEVALPRD=5",
                ",LOADBALANCENCELLSCOPE=ADAPTIVE",
                ",MLBUESELECTPUNISHTIMER=60",
                ",MLBHOCELLSELECTSTRATEGY=PERMIT_NON_STRONGEST_CELL",
                ",CELLCAPACITYSCALEFACTOR=", scaleFactor,
                end(ne)});
}

std::string enodebAlgoSwitchLine(std::string_view ne) {
    return cat({"MOD ENODEBALGOSWITCH:CALBALGOSWITCH=DlCaLbAlgoSwitch-1", end(ne)});
}

std::string cellMlbHoLine(const Cell4G& cell, std::string_view ne) {
    return cat({"MOD CELLMLBHO:LOCALCELLID=", cell.本地小区标识,
                ",MLBMATCHOTHERFEATUREMODE=HoAdmitSwitch-1",
                end(ne)});
}

std::string rrcConnStateTimerLine(std::string_view ne) {
    return cat({"MOD RRCCONNSTATETIMER:T320FORLOADBALANCE=min180", end(ne)});
}

std::string prbMlbLine(const Cell4G& cell, std::string_view ne, bool fddd) {
    // The FDDD carrier balances later, moves more users and keeps its low
    // PRB offsets; everything else is the same command.
    return cat({"MOD CELLMLB:LOCALCELLID=", cell.本地小区标识,
                fddd ? ",INTERFREQMLBTHD=65" : ",INTERFREQMLBTHD=35",
                ",LOADOFFSET=0",
                ",LOADDIFFTHD=2",
                ",LOADTRANSFERFACTOR=0",
                ",MLBTRIGGERMODE=PRB_ONLY",
                fddd ? ",MLBMAXUENUM=20" : ",MLBMAXUENUM=10",
                ",MLBUESELECTPRBTHD=0",
                ",MLBMINUENUMTHD=0",
                ",MLBMINUENUMOFFSET=0",
                ",INTERFREQUETRSFTYPE=SynchronizedUE-1&IdleUE-1&PrbMlbSynchronizedUE-1&PrbMlbIdleUE-1",
                ",INTERFREQLOADEVALPRD=5",
                ",FREQSELECTSTRATEGY=FAIRSTRATEGY",
                ",LOADBALANCENCELLSCOPE=ALL",
                ",IDLEUESELFREQSCOPE=ALLFREQ",
                ",PRBLOADCALCMETHOD=PRB_USAGE",
                ",MLBUESELECTPUNISHTIMER=45",
                ",MLBHOCELLSELECTSTRATEGY=PERMIT_NON_STRONGEST_CELL",
                ",MULTIRRUMODE=PrbUsage-1",
                ",INTERFREQOFFLOADOFFSET=0",
                ",MLBTRIGJUDGEPERIOD=5",
                ",INTERFREQMLBULTHD=30",
                fddd ? ",UEDLPRBLOWTHDOFFSET=100,UEULPRBLOWTHDOFFSET=100" : "",
                end(ne)});
}

std::string prbUeSelectLine(const Cell4G& cell, std::string_view ne) {
    return cat({"MOD CELLMLBUESEL:LOCALCELLID=", cell.本地小区标识,
                ",UESELECTPRBPRIO=0",
                ",UESELECTQCIPRIO=0",
                ",UESELECTARPPRIO=0",
                ",UESELECTDLMCSPRIO=0",
                end(ne)});
}

std::string prbCarrierOffsetLine(const Cell4G& cell, std::string_view ne) {
    return cat({"MOD EUTRANINTERNFREQ:LOCALCELLID=", cell.本地小区标识,
                ",DLEARFCN=38544",
                ",INTERFREQMLBDLPRBOFFSET=10",
                ",INTERFREQMLBULPRBOFFSET=10",
                end(ne)});
}

std::string prbUeSelectFdddLine(const Cell4G& cell, std::string_view ne) {
    return cat({"MOD CELLMLBUESEL:LOCALCELLID=", cell.本地小区标识,
                ",UESELECTPRBPRIO=255",
                end(ne)});
}

std::string overlapNeighbourLine(const Cell4G& cell, std::string_view name, const Cell4G& other,
                                 std::string_view ne) {
    return cat({"MOD EUTRANINTERFREQNCELL:LOCALCELLID=", cell.本地小区标识,
                ",MCC=\"460\",MNC=\"00\"",
                ",ENODEBID=", other.基站号,
                ",CELLID=", other.小区标识,
                ",CELLINDIVIDUALOFFSET=dB-5",
                ",LOCALCELLNAME=\"", name,
                "\",NEIGHBOURCELLNAME=\"", other.小区名, "\"",
                ",OVERLAPIND=YES,OVERLAPRANGE=SAME",
                end(ne)});
}

// clang-format on

bool runLoadBalancing(const RunContext& context, const PageInput& input) {
    Feedback& feedback = context.feedback;
    const auto names = nameList(input.sourceText);
    std::string script;
    for (const std::string& name : names) {
        if (feedback.stopRequested()) return false;
        const auto cell = lookupCell<Cell4G>(context, name, MissPolicy::StopRun);
        if (!cell) return false;
        // The switches and boxes are read anew for every name.
        const std::string ne = input.isTicked(units::kWithNe) ? cat({"{", cell->基站名, "}"}) : "";
        if (input.isTicked(units::kCellSwitch)) {
            script += cellAlgoSwitchLine(*cell, ne);
            script += interFreqHoGroupLine(*cell, ne);
        }
        const bool modes = input.isTicked(units::kModeSwitch);
        if (modes && input.isTicked(units::kUeMode)) {
            const BandBoxes band = bandBoxes(cell->频点);
            script += ueNumberMlbLine(*cell, input.textOf(band.ueThreshold),
                                      input.textOf(band.scaleFactor), ne);
        } else if (modes && input.isTicked(units::kPrbMode)) {
            script += enodebAlgoSwitchLine(ne);
            script += cellMlbHoLine(*cell, ne);
            script += rrcConnStateTimerLine(ne);
            if (name.find("FDDD") == std::string::npos) {
                script += prbMlbLine(*cell, ne, false);
                script += prbUeSelectLine(*cell, ne);
                if (cell->频点 == "38400") script += prbCarrierOffsetLine(*cell, ne);
            } else {
                script += prbMlbLine(*cell, ne, true);
                script += prbUeSelectFdddLine(*cell, ne);
            }
        }
        // Every other listed cell is looked up, whether 等覆盖 is ticked or not;
        // a name listed twice is not its own neighbour.
        if (!name.empty()) {
            for (const std::string& otherName : names) {
                if (otherName == name) continue;
                const auto other = lookupCell<Cell4G>(context, otherName, MissPolicy::StopRun);
                if (!other) return false;
                if (input.isTicked(units::kOverlap))
                    script += overlapNeighbourLine(*cell, name, *other, ne);
            }
        }
    }
    if (script.empty()) {
        feedback.message(msg::kNothingToCopy);
        return false;
    }
    // No clipboard counts as one that refuses.
    const bool copied = context.clipboard && context.clipboard->setText(script);
    feedback.message(copied ? msg::kCopiedPasteNow : msg::kClipboardFailed);
    return copied;
}

}  // namespace brindle::mml
