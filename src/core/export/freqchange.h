#pragma once
// Frequency-change cleanup: before a cell moves to another carrier, the
// intra-frequency relations other cells hold towards it are removed.

#include <optional>
#include <string>
#include <string_view>

#include "core/base/feedback.h"
#include "core/base/script.h"
#include "core/export/exportbook.h"
#include "core/library/library.h"

namespace brindle::exports {

// 查询: the cell's 频点, or nothing after "<name>小区不存在！".
std::optional<std::string> currentCarrier(const Library& library, std::string_view cell,
                                          Feedback& feedback);

// 生成脚本: appends an RMV EUTRANINTRAFREQNCELL line for every cell that
// holds the cell as an intra-frequency neighbour in the export. No closing
// message; false when the cell is missing, or when the engineer stopped the
// run between two rows: the lines go to the box together, so a stopped run
// adds none.
bool generateFrequencyChange(const Library& library, ExportBook& book, std::string_view cell,
                             ScriptSink& box, Feedback& feedback);

// "<cell>改频点脚本".
std::string frequencyChangeScriptName(std::string_view cell);

}  // namespace brindle::exports
