#pragma once
// The subcommands of brindle-cli.

#include <CLI/CLI.hpp>

#include <array>
#include <optional>
#include <string>

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
    std::string_view option;  // "--power"
    std::string_view unit;    // "开关基站_功率编辑框"
    std::string_view fallback;
    std::string_view help;
};

inline constexpr std::array<UnitOption, 1> kUnitOptions = {{
    {"--power", "开关基站_功率编辑框", "122",
     "cell-power: reference-signal power (0.1 dBm), as typed"},
}};

// Everything the subcommands take, filled by CLI11.
struct Options {
    std::string kind;  // "4g" or "2g"
    std::string name;  // library file name for delete
    bool yes = false;
    std::string names, source, target, output;
    std::string workbook;
    std::string generator;
    bool list = false, twoWay = false, oneToMany = false, dedup = false;
    // Answers by the index of their kAnswerOptions row.
    std::array<std::string, kAnswerOptions.size()> answerWords;
    std::array<bool, kAnswerOptions.size()> answerFlags{};
    // Value boxes by the index of their kUnitOptions row; unset: the default.
    std::array<std::optional<std::string>, kUnitOptions.size()> unitTexts;
};

void addCommands(CLI::App& app, Options& options);
int runCommand(const CLI::App& app, const Options& options, Session& session);

}  // namespace brindle::cli
