#pragma once
// The subcommands of brindle-cli.

#include <CLI/CLI.hpp>

#include <array>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cli/checkcommand.h"
#include "cli/exportcommands.h"
#include "core/app/session.h"
#include "core/base/questions.h"
#include "core/mml/pageunits.h"

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

// Everything the subcommands take, filled by CLI11.
struct Options {
    std::string kind;  // "4g" or "2g"
    std::string name;  // library file name for delete
    bool yes = false;
    std::string names, source, target, output;
    std::string workbook;
    bool force = false;  // import: a workbook that does not look like its kind; edit 4g: values the
                         // checker rejects
    std::string generator;
    bool list = false, twoWay = false, oneToMany = false, dedup = false;
    // Answers by the index of their kAnswerOptions row.
    std::array<std::string, kAnswerOptions.size()> answerWords;
    std::array<bool, kAnswerOptions.size()> answerFlags{};
    // The options of the page units (core/mml/pageunits.h), made from that
    // table, kept at the index of the row that first names the option: a
    // value box's text or a radio button's word (unset: not given), a check
    // box's flag.
    std::array<std::optional<std::string>, std::size(mml::kPageUnits)> unitTexts;
    std::array<bool, std::size(mml::kPageUnits)> unitFlags{};
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
