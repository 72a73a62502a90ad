#pragma once
// The subcommands of brindle-cli.

#include <CLI/CLI.hpp>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/checkcommand.h"
#include "cli/exportcommands.h"
#include "core/app/session.h"
#include "core/base/questions.h"

namespace brindle::cli {

enum Exit { kCompleted = 0, kEndedEarly = 1, kUsage = 2 };

// How the command line answers a generator's question: an option with a
// word for Yes and one for No (required when the generator asks), or a
// flag (present: Yes; absent: No).
struct AnswerOption {
    Question id;
    std::string_view option;  // "--area"
    std::string_view yes;     // empty for a flag
    std::string_view no;
    std::string_view help;
};

inline constexpr std::array<AnswerOption, 2> kAnswerOptions = {{
    {Question::UrbanArea, "--area", "urban", "rural", "urban (城区) or rural (农村)"},
    {Question::ReducedMeasurement, "--reduced", "", "", "reduced measurement performance demand"},
}};

// A value box of a page that an option fills, with the window's default.
struct UnitOption {
    std::string_view generator;  // "cell-power"
    std::string_view option;     // "--power"
    std::string_view unit;       // "开关基站_功率编辑框"
    std::string_view fallback;
    std::string_view help;
};

inline constexpr std::array<UnitOption, 8> kUnitOptions = {{
    {"cell-power", "--power", "开关基站_功率编辑框", "122",
     "reference-signal power (0.1 dBm), as typed"},
    {"mlb", "--ue-other", "负载均衡优化其它_编辑框_用户数门限", "50",
     "user-number threshold of other bands (其它)"},
    {"mlb", "--scale-other", "负载均衡优化其它_编辑框_能力缩放因子", "10",
     "capacity scale factor of every band but F2 (其它)"},
    {"mlb", "--ue-f1", "负载均衡优化F1_编辑框_用户数门限", "40",
     "user-number threshold of F1 (38400)"},
    {"mlb", "--ue-f2", "负载均衡优化F2_编辑框_用户数门限", "20",
     "user-number threshold of F2 (38544)"},
    {"mlb", "--scale-f2", "负载均衡优化F2_编辑框_能力缩放因子", "",
     "capacity scale factor of F2 (38544)"},
    {"mlb", "--ue-d", "负载均衡优化D_编辑框_用户数门限", "50",
     "user-number threshold of D (37900, 38098, 40936)"},
    {"mlb", "--ue-fddg", "负载均衡优化FDDG_编辑框_用户数门限", "40",
     "user-number threshold of FDDG (3683)"},
}};

// A check box of a page that a flag ticks.
struct TickOption {
    std::string_view generator;
    std::string_view option;  // "--with-ne"
    std::string_view unit;    // "负载均衡优化_选择框_是否带基站"
    std::string_view help;
};

inline constexpr std::array<TickOption, 3> kTickOptions = {{
    {"mlb", "--with-ne", "负载均衡优化_选择框_是否带基站",
     "end every line with {基站名} (带基站名)"},
    {"mlb", "--cell-switch", "负载均衡优化_选择框_小区负载均衡开关",
     "cell-level load-balancing switches (小区级负载均衡开关)"},
    {"mlb", "--overlap", "负载均衡优化_选择框_等覆盖脚本",
     "overlapping neighbours, every listed cell with every other (等覆盖脚本)"},
}};

// A pair of radio buttons behind a check box: the option, when given, ticks
// the check box and selects the radio button of its word.
struct ModeOption {
    std::string_view generator;
    std::string_view option;  // "--mode"
    std::string_view unit;    // the check box
    std::array<std::string_view, 2> words;
    std::array<std::string_view, 2> radios;
    std::string_view help;
};

inline constexpr ModeOption kModeOption = {
    "mlb",
    "--mode",
    "负载均衡优化_选择框_模式开关",
    {"ue", "prb"},
    {"负载均衡优化_单选框_用户数模式", "负载均衡优化_单选框_PRB模式"},
    "load mode (负载模式开关): ue (用户数模式) or prb (PRB模式)"};

// Everything the subcommands take, filled by CLI11.
struct Options {
    std::string kind;  // "4g" or "2g"
    std::string name;  // library file name for delete
    bool yes = false;
    std::string names, source, target, output;
    std::string workbook;
    bool force = false;  // import: a workbook that does not look like its kind
    std::string generator;
    bool list = false, twoWay = false, oneToMany = false, dedup = false;
    // Answers by the index of their kAnswerOptions row.
    std::array<std::string, kAnswerOptions.size()> answerWords;
    std::array<bool, kAnswerOptions.size()> answerFlags{};
    // Value boxes by the index of their kUnitOptions row; unset: the default.
    std::array<std::optional<std::string>, kUnitOptions.size()> unitTexts;
    // Check boxes by the index of their kTickOptions row; the mode word, or empty.
    std::array<bool, kTickOptions.size()> ticks{};
    std::string mode;
    // ini get|set FILE SECTION KEY [VALUE]
    std::string iniFile, iniSection, iniKey, iniValue;
    // edit 2g NAME FIELD=VALUE...
    std::string editName;
    // find and edit
    std::string text;
    std::int32_t id = 0;
    std::vector<std::string> assignments;
    // split: the script, the count of its mode, the base name when given.
    std::string script;
    std::optional<std::string> byNe, byLines, base;
    // site-type: the builder's boxes; unset: the window's default.
    std::array<std::optional<std::string>, 4> bandNames, earfcns;
    std::optional<std::string> head, connector, maxCells, separator;
    // The export tools (gen pci-change ..., pci-update).
    ExportOptions exports;
    // check
    CheckOptions check;
};

void addCommands(CLI::App& app, Options& options);
// split and site-type (the script tools); addCommands adds them.
void addToolCommands(CLI::App& app, Options& options);
int runCommand(const CLI::App& app, const Options& options, Session& session);

}  // namespace brindle::cli
