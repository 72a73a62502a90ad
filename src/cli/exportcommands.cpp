#include "cli/exportcommands.h"

#include <array>
#include <iostream>

#include "cli/commands.h"
#include "cli/runfiles.h"
#include "cli/streamfeedback.h"
#include "core/app/workflows.h"
#include "core/base/messages.h"
#include "core/base/namefile.h"
#include "core/base/script.h"
#include "core/export/exportfile.h"
#include "core/export/freqchange.h"
#include "core/export/inheritance.h"
#include "core/export/pcichange.h"
#include "core/export/reduction.h"
#include "core/freqplan/frequencyplan.h"

namespace brindle::cli {

namespace {

using namespace brindle::exports;

// The box after the run: as it stands on stdout, or saved as the window's
// save button does (distinct non-empty lines, GBK) to `output`.
int emitBox(const std::string& box, const std::string& output, Feedback& feedback) {
    if (output.empty()) {
        std::cout << box << std::flush;
        return kCompleted;
    }
    const Status written = writeScriptFile(output, dedupPane(box));
    if (!written) {
        feedback.message(writeFailedMessage(written.error()), {}, Icon::Error);
        return kEndedEarly;
    }
    return kCompleted;
}

// A list box's text from a file, as a name list is read.
bool readList(const std::string& path, std::string& into, Feedback& feedback) {
    Result<std::string> text = readNameFile(path);
    if (!text) {
        feedback.message(text.error(), {}, Icon::Error);
        return false;
    }
    into = *std::move(text);
    return true;
}

int pciChange(const ExportOptions& o, ExportBook& book, Session& session, const std::string& output,
              Feedback& feedback) {
    PciLabels labels;
    const std::string cell1 = o.cell1.value_or("");
    if (!queryPciCells(session.library4G.get(), cell1, o.cell2, labels, feedback))
        return kEndedEarly;
    const PciChange change{cell1, o.pci1, o.cell2, o.pci2, labels.oldPci1, labels.oldPci2, o.max};
    StringSink box;
    const PciRun run = generatePciChange(*session.library4G, book, change, box, feedback);
    const int written = emitBox(box.text(), output, feedback);
    return run.completed ? written : kEndedEarly;
}

int inherit(const ExportOptions& o, ExportBook& book, Session& session, const std::string& output,
            Feedback& feedback) {
    session.reload2GSettings();
    const FrequencyPlan plan(session.folder.earfcnIni());
    StringSink box;
    const bool completed =
        generateInheritance(*session.library4G, session.library2G.get(), plan, session.settings2G,
                            book, {o.newCell, o.fromCell}, box, feedback);
    const int written = emitBox(box.text(), output, feedback);
    return completed ? written : kEndedEarly;
}

int reduce(const ExportOptions& o, ExportBook& book, Session& session, const std::string& output,
           Feedback& feedback) {
    session.reload2GSettings();
    const std::string cell = o.cell.value_or("");
    ReductionLists lists;
    if (o.sources.empty() || o.cis.empty()) {
        if (!fillReductionLists(*session.library4G, book, cell, lists, feedback))
            return kEndedEarly;
    }
    if (!o.sources.empty() && !readList(o.sources, lists.sources, feedback)) return kUsage;
    if (!o.cis.empty() && !readList(o.cis, lists.cis, feedback)) return kUsage;
    if (!o.carriers.empty()) {
        if (!readList(o.carriers, lists.carriers, feedback)) return kUsage;
    } else {
        lists.carriers = reductionCarriers(FrequencyPlan(session.folder.earfcnIni()));
    }
    const auto script =
        generateReduction(*session.library4G, session.library2G.get(), session.settings2G, cell,
                          lists, !o.rollback.empty(), feedback);
    if (!script) return kEndedEarly;
    int rc = emitBox(script->script, output, feedback);
    if (!o.rollback.empty() && emitBox(script->rollback, o.rollback, feedback) != kCompleted)
        rc = kEndedEarly;
    return rc;
}

int frequencyChange(const ExportOptions& o, ExportBook& book, Session& session,
                    const std::string& output, Feedback& feedback) {
    StringSink box;
    const bool completed =
        generateFrequencyChange(*session.library4G, book, *o.cell, box, feedback);
    const int written = emitBox(box.text(), output, feedback);
    return completed ? written : kEndedEarly;
}

using ToolRun = int (*)(const ExportOptions&, ExportBook&, Session&, const std::string&, Feedback&);

// One row per tool: its name, the options it needs besides --export (and the
// usage text naming them), whether its window titles a failed open, its run.
// A name given empty passes where the window has a message for an empty box
// (reduce, pci-change), and is a usage error where the window would look the
// empty name up.
struct ExportTool {
    std::string_view name;
    std::string_view needs;
    bool (*given)(const ExportOptions&);
    bool titled;
    ToolRun run;
};
constexpr std::array<ExportTool, 4> kExportTools = {{
    {"pci-change", "--cell1 和 --pci1",
     [](const ExportOptions& o) { return o.cell1 && !o.pci1.empty(); }, false, pciChange},
    {"inherit", "--new 和 --from",
     [](const ExportOptions& o) { return !o.newCell.empty() && !o.fromCell.empty(); }, true,
     inherit},
    {"reduce", "--cell", [](const ExportOptions& o) { return o.cell.has_value(); }, true, reduce},
    {"freq-change", "--cell", [](const ExportOptions& o) { return o.cell && !o.cell->empty(); },
     true, frequencyChange},
}};

const ExportTool* findTool(std::string_view name) {
    for (const ExportTool& t : kExportTools)
        if (t.name == name) return &t;
    return nullptr;
}

}  // namespace

bool isExportTool(std::string_view generator) {
    return findTool(generator) != nullptr;
}

std::string exportToolNames() {
    std::string names;
    for (const ExportTool& t : kExportTools)
        names += (names.empty() ? "" : ", ") + std::string(t.name);
    return names;
}

void addExportOptions(CLI::App& gen, ExportOptions& o) {
    gen.add_option("--export", o.exportFile,
                   "export tools: the workbook exported from the NMS (MML报文), .xlsx or .xls");
    gen.add_option("--cell1", o.cell1, "pci-change: main cell 1 (主小区名1)");
    gen.add_option("--pci1", o.pci1, "pci-change: new PCI of cell 1");
    gen.add_option("--cell2", o.cell2, "pci-change: main cell 2, for a swap (主小区名2)");
    gen.add_option("--pci2", o.pci2, "pci-change: new PCI of cell 2");
    gen.add_option("--max", o.max,
                   "pci-change: co-PCI cells collected per main cell (扩容小区最大数; default "
                   "empty, which counts as 0)");
    gen.add_option("--new", o.newCell, "inherit: the new cell (扩容小区名)");
    gen.add_option("--from", o.fromCell, "inherit: the cell whose relations it inherits");
    gen.add_option("--cell", o.cell, "reduce, freq-change: the cell");
    gen.add_option("--sources", o.sources,
                   "reduce: cells holding the cell as a neighbour, one per line (default: from "
                   "the export)");
    gen.add_option("--cis", o.cis, "reduce: CIs of its GSM neighbours (default: from the export)");
    gen.add_option("--carriers", o.carriers,
                   "reduce: LTE carriers (default: 频点1设置…频点11设置 of EARFCN.ini)");
    gen.add_option("--rollback", o.rollback,
                   "reduce: tick 回退脚本 and write the rollback lines to FILE (GBK)");
}

void addPciUpdateCommand(CLI::App& app, ExportOptions& o) {
    auto* update =
        app.add_subcommand("pci-update", "write new PCIs into the 4G library (修改PCI: 修改按钮)");
    update->add_option("--cell1", o.cell1, "cell 1 (主小区名1)")->required();
    update->add_option("--pci1", o.pci1, "its new PCI")->required();
    update->add_option("--cell2", o.cell2, "cell 2");
    update->add_option("--pci2", o.pci2, "its new PCI");
}

int runExportTool(std::string_view generator, const ExportOptions& o, const std::string& output,
                  Session& session) {
    StreamFeedback feedback;
    const ExportTool* tool = findTool(generator);
    if (!tool || o.exportFile.empty() || !tool->given(o)) {
        feedback.message(
            std::string(generator) + " 需要 --export 和 " + std::string(tool ? tool->needs : ""),
            {}, Icon::Error);
        return kUsage;
    }
    RunFiles files;
    files.input("--export", o.exportFile);
    files.input("--sources", o.sources);
    files.input("--cis", o.cis);
    files.input("--carriers", o.carriers);
    files.sessionInputs(session);
    files.output("-o", output);
    files.output("--rollback", o.rollback);
    if (!files.clear(feedback)) return kUsage;
    if (!openChosenLibraries(session, feedback)) return kEndedEarly;
    const auto book = openExport(o.exportFile, tool->titled, feedback);
    if (!book) return kUsage;
    return tool->run(o, *book, session, output, feedback);
}

int runPciUpdate(const ExportOptions& o, Session& session) {
    StreamFeedback feedback;
    if (!openChosenLibraries(session, feedback)) return kEndedEarly;
    const PciChange change{o.cell1.value_or(""), o.pci1, o.cell2, o.pci2, {}, {}, {}};
    return updatePcis(session.library4G.get(), change, feedback) ? kCompleted : kEndedEarly;
}

}  // namespace brindle::cli
