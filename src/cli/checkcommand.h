#pragma once
// brindle-cli check: the script checker over script files, one line per
// finding ("file:line: severity rule-id: reason"), then a summary line; or
// one JSON document with --json. Exit 1 when any error was found, 2 when a
// file could not be read or a library not opened.

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "core/app/session.h"

namespace brindle::cli {

struct CheckOptions {
    std::vector<std::string> files;
    bool json = false;
};

void addCheckCommand(CLI::App& app, CheckOptions& options);
// The libraries are those of --lib4g and --lib2g, and only when given.
int runCheck(const CheckOptions& options, Session& session);

}  // namespace brindle::cli
