#pragma once
// The export-workbook tools on the command line: gen pci-change | inherit |
// reduce | freq-change (one row each in core/app/exporttools.h), and
// pci-update. Each opens the export as the window's choose button does, then
// runs the window's steps in order.

#include <CLI/CLI.hpp>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/session.h"

namespace brindle::cli {

struct ExportOptions {
    std::string exportFile;
    // The options of the tools' rows (core/app/exporttools.h) by name, made
    // from those rows; unset when not given. An empty name is the window's
    // empty box, which the window may answer with a message of its own.
    std::map<std::string, std::optional<std::string>, std::less<>> values;

    const std::optional<std::string>& given(std::string_view option) const;
    std::string text(std::string_view option) const { return given(option).value_or(""); }
};

// The generator names `gen` hands to runExportTool.
bool isExportTool(std::string_view generator);
std::string exportToolNames();

void addExportOptions(CLI::App& gen, ExportOptions& options);
void addPciUpdateCommand(CLI::App& app, ExportOptions& options);

// `output`: the -o file, or empty for stdout.
int runExportTool(std::string_view generator, const ExportOptions& options,
                  const std::string& output, Session& session);
int runPciUpdate(const ExportOptions& options, Session& session);

}  // namespace brindle::cli
