#pragma once
// The main window's units that runs read besides their name boxes: the value
// boxes, check boxes and radio buttons, each with its kind, caption, the
// state the window opens with and the option of `brindle-cli gen` that sets
// it. The window builds these units from this table (object name = unit
// name) and the command line makes its options from it, so each default is
// written once. A run asks its PageInput for a row of this table; a front
// end that lacks the unit is a program error, never an empty text.
//
// Adding a unit is one row here, its entry in kPageUnits, its entry in the
// `units` of the generator rows that read it (core/app/generators.cpp) and
// its widget in the window (PAGE_UNIT in gui/app/mainwindow.cpp); the
// command line needs nothing more.

#include <cstddef>
#include <string_view>

namespace brindle::mml {

enum class UnitKind { ValueBox, CheckBox, RadioButton };

struct PageUnit {
    std::string_view name;  // the unit name, the widget's objectName
    UnitKind kind;
    std::string_view caption = {};  // a check box's or radio button's caption
    // A value box's text when the window opens. Check boxes and radio
    // buttons open unticked.
    std::string_view initial = {};
    // The option of `brindle-cli gen` that sets the unit; empty: none (the
    // unit keeps the state the window opens with). A value box's option
    // takes its text; a check box's is a flag. Radio buttons share one
    // option whose `word` selects them; a check box with the same option is
    // ticked whenever the option is given.
    std::string_view option = {};
    std::string_view word = {};
    std::string_view help = {};
};

namespace units {

// 开关基站修改功率
inline constexpr PageUnit kKeepOutput{
    .name = "开关基站_选择框", .kind = UnitKind::CheckBox, .caption = "勾选连续输出"};
inline constexpr PageUnit kPower{.name = "开关基站_功率编辑框",
                                 .kind = UnitKind::ValueBox,
                                 .initial = "122",
                                 .option = "--power",
                                 .help = "reference-signal power (0.1 dBm), as typed"};

// 负载均衡优化工具: the switches
inline constexpr PageUnit kWithNe{.name = "负载均衡优化_选择框_是否带基站",
                                  .kind = UnitKind::CheckBox,
                                  .caption = "带基站名",
                                  .option = "--with-ne",
                                  .help = "end every line with {基站名} (带基站名)"};
inline constexpr PageUnit kCellSwitch{
    .name = "负载均衡优化_选择框_小区负载均衡开关",
    .kind = UnitKind::CheckBox,
    .caption = "小区级负载均衡开关",
    .option = "--cell-switch",
    .help = "cell-level load-balancing switches (小区级负载均衡开关)"};
inline constexpr PageUnit kOverlap{
    .name = "负载均衡优化_选择框_等覆盖脚本",
    .kind = UnitKind::CheckBox,
    .caption = "等覆盖脚本",
    .option = "--overlap",
    .help = "overlapping neighbours, every listed cell with every other (等覆盖脚本)"};
inline constexpr PageUnit kModeSwitch{.name = "负载均衡优化_选择框_模式开关",
                                      .kind = UnitKind::CheckBox,
                                      .caption = "负载模式开关",
                                      .option = "--mode",
                                      .help = "load mode (负载模式开关)"};
inline constexpr PageUnit kUeMode{.name = "负载均衡优化_单选框_用户数模式",
                                  .kind = UnitKind::RadioButton,
                                  .caption = "用户数模式",
                                  .option = "--mode",
                                  .word = "ue"};
inline constexpr PageUnit kPrbMode{.name = "负载均衡优化_单选框_PRB模式",
                                   .kind = UnitKind::RadioButton,
                                   .caption = "PRB模式",
                                   .option = "--mode",
                                   .word = "prb"};

// 负载均衡优化工具: the threshold boxes a run reads (the other boxes of the
// grid are the window's alone)
inline constexpr PageUnit kUeOther{.name = "负载均衡优化其它_编辑框_用户数门限",
                                   .kind = UnitKind::ValueBox,
                                   .initial = "50",
                                   .option = "--ue-other",
                                   .help = "user-number threshold of other bands (其它)"};
inline constexpr PageUnit kScaleOther{.name = "负载均衡优化其它_编辑框_能力缩放因子",
                                      .kind = UnitKind::ValueBox,
                                      .initial = "10",
                                      .option = "--scale-other",
                                      .help = "capacity scale factor of every band but F2 (其它)"};
inline constexpr PageUnit kUeF1{.name = "负载均衡优化F1_编辑框_用户数门限",
                                .kind = UnitKind::ValueBox,
                                .initial = "40",
                                .option = "--ue-f1",
                                .help = "user-number threshold of F1 (38400)"};
inline constexpr PageUnit kUeF2{.name = "负载均衡优化F2_编辑框_用户数门限",
                                .kind = UnitKind::ValueBox,
                                .initial = "20",
                                .option = "--ue-f2",
                                .help = "user-number threshold of F2 (38544)"};
inline constexpr PageUnit kScaleF2{.name = "负载均衡优化F2_编辑框_能力缩放因子",
                                   .kind = UnitKind::ValueBox,
                                   .initial = "",
                                   .option = "--scale-f2",
                                   .help = "capacity scale factor of F2 (38544)"};
inline constexpr PageUnit kUeD{.name = "负载均衡优化D_编辑框_用户数门限",
                               .kind = UnitKind::ValueBox,
                               .initial = "50",
                               .option = "--ue-d",
                               .help = "user-number threshold of D (37900, 38098, 40936)"};
inline constexpr PageUnit kUeFddg{.name = "负载均衡优化FDDG_编辑框_用户数门限",
                                  .kind = UnitKind::ValueBox,
                                  .initial = "40",
                                  .option = "--ue-fddg",
                                  .help = "user-number threshold of FDDG (3683)"};

}  // namespace units

// Every page unit a run reads, in the order of their pages.
inline constexpr const PageUnit* kPageUnits[] = {
    &units::kKeepOutput, &units::kPower,      &units::kWithNe, &units::kCellSwitch,
    &units::kOverlap,    &units::kModeSwitch, &units::kUeMode, &units::kPrbMode,
    &units::kUeOther,    &units::kScaleOther, &units::kUeF1,   &units::kUeF2,
    &units::kScaleF2,    &units::kUeD,        &units::kUeFddg};

// The row of a unit name, or null.
const PageUnit* findPageUnit(std::string_view name);
// The index of a row in kPageUnits; throws for a unit not of the table.
std::size_t pageUnitIndex(const PageUnit& unit);

}  // namespace brindle::mml
