#pragma once
// The boxes of the two settings windows and the keys they are bound to: the
// frequency-plan editor (128 keys of EARFCN.ini) and the 2G settings window
// (the five keys of 2G.ini). The windows build their boxes from these tables
// and load and save through the functions below, so the sequences are the
// same with or without a window.

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/feedback.h"
#include "core/freqplan/plankeys.h"
#include "core/freqplan/profile.h"

namespace brindle::planform {

// An edit box bound to one key of a settings file.
struct BoundBox {
    std::string box;  // unit name
    std::string_view section;
    std::string_view key;
};

// A single-value box of the editor: a band list or the minimum receive level.
struct SingleBox {
    std::string_view box;
    std::string_view label;
    plankeys::ListKey key;
};

// The band-list boxes as they stand in the editor, top to bottom.
inline constexpr std::array<SingleBox, 7> kBandBoxes = {{
    {"E频段频点_编辑框", "E频段频点：", plankeys::kBandE},
    {"AD频段频点_编辑框", "A-D频段频点：", plankeys::kBandAD},
    {"FDD1800频段频点_编辑框", "FDD1800频段频点：", plankeys::kBandFDD1800},
    {"F1频段频点_编辑框", "F1频段频点：", plankeys::kBandF1},
    {"F2频段频点_编辑框", "F2频段频点：", plankeys::kBandF2},
    {"FDD900频段频点_编辑框", "FDD900频段频点：", plankeys::kBandFDD900},
    {"G5频段频点_编辑框", "5G频段频点：", plankeys::kBand5G},
}};
inline constexpr SingleBox kMinRxLevelBox = {
    "最低接收电平编辑框", "最低接收电平：", {plankeys::kOtherSection, plankeys::kMinRxLevelKey}};

// The grids of the editor's tabs: row labels in row order, one tab per
// serving group, one column per family of that group.
inline constexpr std::array<std::string_view, 5> kRowLabels = {
    "异频频点重先优先级", "异频频点高优先级重选门限", "异频频点低优先级重选门限", "异频切换事件",
    "连接态频率偏置"};
inline constexpr std::string_view kCornerLabel = "目标频段";
inline constexpr std::array<ServingGroup, 4> kServingGroups = {
    ServingGroup::E, ServingGroup::AD, ServingGroup::F, ServingGroup::FDD900};
std::string_view tabCaption(ServingGroup group);
// The tab that repeats the A-D grid with boxes bound to no key.
inline constexpr std::string_view kG5TabCaption = "5G频段";
inline constexpr std::string_view kG5BoxSuffix = "2";

// The five keys of a family in row order.
std::array<std::string_view, 5> familyKeys(const Family& family);
// The unit name of the box of `row` in the column of `family`: the key it
// edits, except in the E->E column, whose boxes all carry "E_E_".
std::string gridBoxName(const Family& family, std::size_t row);
// The families of a serving group, in column order.
std::vector<const Family*> familiesOf(ServingGroup group);

// The 128 bound boxes of the editor in the order they are loaded.
std::vector<BoundBox> editorLoadOrder();
// The writes of a save in order, in groups: a failed write anywhere in a
// group gives one failure message. Eight single keys, then one group per
// family.
std::vector<std::vector<BoundBox>> editorSaveGroups();

// The five boxes of the 2G settings window, in load and save order.
struct Settings2GBox {
    std::string_view box;
    std::string_view label;
    std::string_view key;
};
inline constexpr std::array<Settings2GBox, 5> kSettings2GBoxes = {{
    {"开始频点编辑框", "开始频点：", plankeys::k2GStartArfcnKey},
    {"BCCH组标识编辑框", "BCCH组标识：", plankeys::k2GBcchGroupKey},
    {"GSM_dcs1800编辑框", "GSM_dcs1800：", plankeys::k2GBandIndicatorKey},
    {"GERAN系统版本编辑框", "GERAN系统版本信息：", plankeys::k2GGeranVersionKey},
    {"位置区域码配置指示编辑框", "位置区域码配置指示：", plankeys::k2GLacIndicatorKey},
}};
std::vector<BoundBox> settings2GOrder();

// Box texts by unit name. The windows bind their boxes by these names; a
// TextOf throws for a box its window lacks (never reading it as ""), and the
// saves read every box before they write the first key.
using BoxTexts = std::map<std::string, std::string>;
using TextOf = std::function<std::string(const std::string& box)>;

// Reads every box's key from one reading of the file: a missing file,
// section or key gives "". `source`, when given, tells how the file read.
BoxTexts load(const std::filesystem::path& file, const std::vector<BoundBox>& boxes,
              ProfileFile::Source* source = nullptr);

// The editor's save: every write is made and checked, and saving goes on
// past a failed one. True when every write succeeded; then "配置数据写入成功！"
// is shown. Otherwise "写入失败，请重新写入：" and the first failure's reason
// is shown once, nothing claims success, and the caller keeps the edits for
// another try.
bool saveEditor(const std::filesystem::path& earfcnIni, const TextOf& textOf, Feedback& feedback);

// The 2G settings window's save: the five writes, then "数据保存成功" when
// all were written, or the one failure message as above. The 2G settings in
// memory are not reloaded. True when every write succeeded.
bool saveSettings2G(const std::filesystem::path& ini2G, const TextOf& textOf, Feedback& feedback);

}  // namespace brindle::planform
