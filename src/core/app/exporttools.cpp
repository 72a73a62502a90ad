#include "core/app/exporttools.h"

#include <stdexcept>
#include <string>

namespace brindle {

namespace {

using Need = ToolOption::Need;

constexpr ToolOption kPciOptions[] = {
    {"--cell1", "main cell 1 (主小区名1)", Need::Given},
    {"--pci1", "new PCI of cell 1", Need::NonEmpty},
    {"--cell2", "main cell 2, for a swap (主小区名2)"},
    {"--pci2", "new PCI of cell 2"},
    {"--max",
     "co-PCI cells collected per main cell (扩容小区最大数; default empty, which counts "
     "as 0)"},
};
constexpr ToolOption kInheritOptions[] = {
    {"--new", "the new cell (扩容小区名)", Need::NonEmpty},
    {"--from", "the cell whose relations it inherits", Need::NonEmpty},
};
constexpr ToolOption kReduceOptions[] = {
    {"--cell", "the cell", Need::Given},
    {"--sources", "cells holding the cell as a neighbour, one per line (default: from the export)"},
    {"--cis", "CIs of its GSM neighbours (default: from the export)"},
    {"--carriers", "LTE carriers (default: 频点1设置…频点11设置 of EARFCN.ini)"},
    {"--rollback", "tick 回退脚本 and write the rollback lines to FILE (GBK)"},
};
constexpr ToolOption kFreqChangeOptions[] = {
    {"--cell", "the cell", Need::NonEmpty},
};

const ExportTool kExportTools[] = {
    {.name = "pci-change",
     .unit = "按钮_4G小区操作_修改PCI按钮",
     .caption = "修改PCI",
     .opens = ToolOpens::ModalBeside,
     .steps = "查询按钮, 生成脚本",
     .titledOpen = false,
     .options = kPciOptions},
    {.name = "inherit",
     .unit = "一键扩容按钮",
     .caption = "一键扩容",
     .opens = ToolOpens::InPlace,
     .steps = "生成脚本",
     .options = kInheritOptions},
    {.name = "reduce",
     .unit = "一键减容按钮",
     .caption = "一键减容",
     .opens = ToolOpens::InPlace,
     .steps = "2生成相关信息, 3生成脚本信息",
     .options = kReduceOptions},
    {.name = "freq-change",
     .unit = "按键_一键改频点",
     .caption = "改频点",
     .opens = ToolOpens::ModalBeside,
     .steps = "生成脚本",
     .options = kFreqChangeOptions},
};

}  // namespace

std::span<const ExportTool> exportTools() {
    return kExportTools;
}

const ExportTool* findExportTool(std::string_view name) {
    for (const ExportTool& tool : kExportTools)
        if (tool.name == name) return &tool;
    return nullptr;
}

const ExportTool* exportToolForUnit(std::string_view unit) {
    for (const ExportTool& tool : kExportTools)
        if (tool.unit == unit) return &tool;
    return nullptr;
}

const ExportTool& exportToolRow(std::string_view name) {
    if (const ExportTool* tool = findExportTool(name)) return *tool;
    throw std::logic_error("no export tool " + std::string(name));
}

}  // namespace brindle
