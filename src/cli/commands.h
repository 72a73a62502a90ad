#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "core/app/session.h"

namespace brindle::cli {

// Everything the subcommands take, filled by CLI11.
struct Options {
    std::string kind;  // "4g" or "2g"
    std::string name;  // library file name for delete
    bool yes = false;
    std::string names, source, target, output;
    std::string workbook;
    std::string generator;
    bool twoWay = false, dedup = false, reduced = false;
    std::string area;
};

void addCommands(CLI::App& app, Options& options);
int runCommand(const CLI::App& app, const Options& options, Session& session);

}  // namespace brindle::cli
