#pragma once
// Capacity reduction: every reference to a cell taken out of service
// removed: the relations other cells hold towards it (from the export), its
// own LTE and GSM relations, its carriers and its GSM frequency groups.

#include <optional>
#include <string>
#include <string_view>

#include "core/base/feedback.h"
#include "core/export/exportbook.h"
#include "core/freqplan/frequencyplan.h"
#include "core/freqplan/settings2g.h"
#include "core/library/library.h"

namespace brindle::exports {

// The window's three lists, as CR LF separated text the engineer may edit.
struct ReductionLists {
    std::string sources;   // 源小区编辑框: cells that hold the cell as a neighbour
    std::string cis;       // CI编辑框: its GSM neighbours' CIs
    std::string carriers;  // 频点4G_编辑框
};

// The carrier list the window starts with: "频点" of "频点1设置" …
// "频点11设置", each followed by CR LF.
std::string reductionCarriers(const FrequencyPlan& plan);

// 2生成相关信息: replaces `lists.sources` and `lists.cis` from the export and
// ends with "相关数据已生成！". Stops with "减容小区名不能为空！" or
// "减容小区名不存在，请核对工参库！". Stopped by the engineer between two rows,
// it leaves both lists empty and says nothing (false): a partial list would
// make a removal script that leaves relations behind.
bool fillReductionLists(const Library& library4G, ExportBook& book, std::string_view cell,
                        ReductionLists& lists, Feedback& feedback);

struct ReductionScript {
    std::string script;    // replaces 脚本编辑框
    std::string rollback;  // the 回退脚本 box: ADD GERANNFREQGROUPARFCN per CI found
};

// 3生成脚本信息: builds the removal script (and, when `rollback`, the rollback
// lines) and ends with "减容脚本已经生成！". A reduced cell missing from the
// library stops it with "减容小区名不存在，请核对工参库！" and returns nothing;
// so does the engineer's stop, between two names or CIs, silently.
std::optional<ReductionScript> generateReduction(const Library& library4G, const Library* library2G,
                                                 const Settings2G& settings2G,
                                                 std::string_view cell, const ReductionLists& lists,
                                                 bool rollback, Feedback& feedback);

// The save names: the cell name as typed, and the same + "回退".
std::string reductionScriptName(std::string_view cell);
std::string rollbackScriptName(std::string_view cell);

}  // namespace brindle::exports
