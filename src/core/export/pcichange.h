#pragma once
// PCI change: one cell's PCI changed, or two cells' PCIs swapped. The cells
// (and the other carriers of their site that share the PCI) are deactivated
// and moved to a temporary PCI, every external-cell definition of the old PCI
// in the network is updated from the export, then the final PCI is set and
// the cells activated.

#include <string>
#include <string_view>

#include "core/base/feedback.h"
#include "core/base/script.h"
#include "core/export/exportbook.h"
#include "core/library/library.h"

namespace brindle::exports {

// What the window's boxes and labels hold. The old PCIs are those the query
// button put into the labels.
struct PciChange {
    std::string cell1, newPci1;    // 改PCI小区名1编辑框, 修改PCI1编辑框
    std::string cell2, newPci2;    // empty cell2: a single-cell change
    std::string oldPci1, oldPci2;  // 标签7, 标签11
    std::string maxCells;          // 扩容小区数据编辑框; empty counts as 0
};

// The labels the query button fills: 基站号 and 物理小区标识 of each cell.
struct PciLabels {
    std::string enodeb1, oldPci1;  // 标签6, 标签7
    std::string enodeb2, oldPci2;  // 标签8, 标签11
};

// 查询按钮: fills the labels of each named cell found. Stops with
// "预修改PCI小区1名不能为空！", "<name>小区不存在！" or, for a single-cell
// change, "预修改PCI小区2名为空，当前单小区修改！". True when every named cell
// was found.
bool queryPciCells(const Library* library, std::string_view cell1, std::string_view cell2,
                   PciLabels& labels, Feedback& feedback);

// 修改按钮: writes the new PCIs into the library file, each into the
// `物理小区标识` of the first record of its cell's name, nothing else
// ("修改成功" per cell; "查找不到小区", "修改的PCI不能为空",
// "修改失败，写入失败：<why>" stop). With cell2 empty it ends after cell 1.
// True when every named cell was written.
bool updatePcis(Library* library, const PciChange& change, Feedback& feedback);

struct PciRun {
    bool completed = false;
    // 基站名 of the last co-PCI cell given lines: the save proposes
    // 基站名 + "_PCI修改脚本".
    std::string lastSiteName;
};

// 生成脚本: appends the script to `box` and ends with "修改PCI脚本已生成！".
// A main cell missing from the library stops the run ("<name>小区不存在！");
// a failed first external-cell query stops it with
// "请将EXCEL中错误的文本转换为数值！", the first block then being in the box.
// The engineer may stop the run between two cells or rows: nothing is then
// appended, and the run is not completed.
PciRun generatePciChange(const Library& library, ExportBook& book, const PciChange& change,
                         ScriptSink& box, Feedback& feedback);

// "<基站名>_PCI修改脚本".
std::string pciScriptName(std::string_view siteName);

}  // namespace brindle::exports
