#pragma once
// "负载均衡优化工具": one list of cell names (the cells that cover the same
// sector), switches and threshold boxes (their units are rows of
// core/mml/pageunits.h); the script goes to the clipboard, never to a pane.

#include <string>
#include <string_view>

#include "core/library/record.h"
#include "core/mml/pageunits.h"
#include "core/mml/run.h"

namespace brindle::mml {

// The two boxes whose texts a cell's band takes, chosen by the exact text
// of its `频点`: 38400 is F1, 38544 F2, 37900/38098/40936 D, 3683 FDDG, any
// other 其它. Only F2 has a scale factor of its own. The boxes are rows of
// the page-unit table (core/mml/pageunits.h).
struct BandBoxes {
    const PageUnit& ueThreshold;
    const PageUnit& scaleFactor;
};
BandBoxes bandBoxes(std::string_view earfcn);

// ---- the templates; `ne` is the NE suffix: "{" + 基站名 + "}" or empty -----------
std::string cellAlgoSwitchLine(const Cell4G& cell, std::string_view ne);
std::string interFreqHoGroupLine(const Cell4G& cell, std::string_view ne);
// User-number mode; threshold and factor as typed.
std::string ueNumberMlbLine(const Cell4G& cell, std::string_view ueThreshold,
                            std::string_view scaleFactor, std::string_view ne);
// PRB mode.
std::string enodebAlgoSwitchLine(std::string_view ne);
std::string cellMlbHoLine(const Cell4G& cell, std::string_view ne);
std::string rrcConnStateTimerLine(std::string_view ne);
// MOD CELLMLB in PRB mode; `fddd` for a cell whose name holds "FDDD".
std::string prbMlbLine(const Cell4G& cell, std::string_view ne, bool fddd);
std::string prbUeSelectLine(const Cell4G& cell, std::string_view ne);
std::string prbCarrierOffsetLine(const Cell4G& cell, std::string_view ne);  // cells on 38400
std::string prbUeSelectFdddLine(const Cell4G& cell, std::string_view ne);
// 等覆盖: `other` declared as an overlapping neighbour of `cell`, named `name`
// as it was listed.
std::string overlapNeighbourLine(const Cell4G& cell, std::string_view name, const Cell4G& other,
                                 std::string_view ne);

// "生成脚本": every listed cell's lines, in list order, copied to the
// clipboard as one text. A name missing from the 4G library ends the run
// with nothing copied, and so does the engineer's stop (between two names):
// half a script on the clipboard would be pasted as the whole. Returns false
// when the run ended early or nothing was copied.
bool runLoadBalancing(const RunContext& context, const PageInput& input);

}  // namespace brindle::mml
