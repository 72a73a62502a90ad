#pragma once
// The export-workbook tools on the command line: gen pci-change | inherit |
// reduce | freq-change, and pci-update. Each opens the export as the window's
// choose button does, then runs the window's steps in order.

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <string_view>

#include "core/app/session.h"

namespace brindle::cli {

struct ExportOptions {
    std::string exportFile;
    // Unset when the option was not given: an empty name is the window's
    // empty box, which the window answers with a message of its own.
    std::optional<std::string> cell1;    // pci-change, pci-update
    std::string pci1, cell2, pci2, max;  // pci-change, pci-update
    std::string newCell, fromCell;       // inherit
    std::optional<std::string> cell;     // reduce, freq-change
    std::string sources, cis, carriers, rollback;
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
