#pragma once
// Neighbour inheritance: a new cell gets the LTE and GSM relations that an
// existing cell holds in the network, as the export shows them.

#include <string>
#include <string_view>

#include "core/base/feedback.h"
#include "core/base/script.h"
#include "core/export/exportbook.h"
#include "core/freqplan/frequencyplan.h"
#include "core/freqplan/settings2g.h"
#include "core/library/library.h"

namespace brindle::exports {

struct Inheritance {
    std::string newCell;   // 扩容小区编辑框
    std::string fromCell;  // 继承小区编辑框
};

// 生成脚本: appends to `box` the frequency, external-cell and LTE relation
// blocks, then the four GSM blocks, and ends with "扩容脚本已经生成！".
// Either cell missing from the 4G library stops the run ("<name>小区名不存在！")
// with what was already placed left in the box. `library2G` may be null: the
// GSM rows then find no cell. The engineer may stop the run between two rows
// (false, no closing message): the blocks already in the box stay, the
// blocks being gathered are dropped, for the frequency lines of some
// relations without their external cells and relations are no script.
bool generateInheritance(const Library& library4G, const Library* library2G,
                         const FrequencyPlan& plan, const Settings2G& settings2G, ExportBook& book,
                         const Inheritance& request, ScriptSink& box, Feedback& feedback);

// "<new cell>扩容脚本".
std::string inheritanceScriptName(std::string_view newCell);

}  // namespace brindle::exports
