#pragma once
// "负载均衡优化工具": one list of cell names (the cells that cover the same
// sector), switches and threshold boxes; the script goes to the clipboard,
// never to a pane.

#include <string>
#include <string_view>

#include "core/library/record.h"
#include "core/mml/run.h"

namespace brindle::mml {

// ---- the page's units -----------------------------------------------------------
namespace mlb {
inline constexpr std::string_view kWithNe = "负载均衡优化_选择框_是否带基站";
inline constexpr std::string_view kCellSwitch = "负载均衡优化_选择框_小区负载均衡开关";
inline constexpr std::string_view kModeSwitch = "负载均衡优化_选择框_模式开关";
inline constexpr std::string_view kUeMode = "负载均衡优化_单选框_用户数模式";
inline constexpr std::string_view kPrbMode = "负载均衡优化_单选框_PRB模式";
inline constexpr std::string_view kOverlap = "负载均衡优化_选择框_等覆盖脚本";
inline constexpr std::string_view kUeOther = "负载均衡优化其它_编辑框_用户数门限";
inline constexpr std::string_view kScaleOther = "负载均衡优化其它_编辑框_能力缩放因子";
inline constexpr std::string_view kUeF1 = "负载均衡优化F1_编辑框_用户数门限";
inline constexpr std::string_view kUeF2 = "负载均衡优化F2_编辑框_用户数门限";
inline constexpr std::string_view kScaleF2 = "负载均衡优化F2_编辑框_能力缩放因子";
inline constexpr std::string_view kUeD = "负载均衡优化D_编辑框_用户数门限";
inline constexpr std::string_view kUeFddg = "负载均衡优化FDDG_编辑框_用户数门限";
}  // namespace mlb

// The two boxes whose texts a cell's band takes, chosen by the exact text
// of its `频点`: 38400 is F1, 38544 F2, 37900/38098/40936 D, 3683 FDDG, any
// other 其它. Only F2 has a scale factor of its own.
struct BandBoxes {
    std::string_view ueThreshold;
    std::string_view scaleFactor;
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
// with nothing copied. Returns false when the run ended early or nothing
// was copied.
bool runLoadBalancing(const RunContext& context, const PageInput& input);

}  // namespace brindle::mml
