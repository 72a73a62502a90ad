#include "cli/exportcommands.h"

#include <array>
#include <iostream>

#include "cli/commands.h"
#include "cli/runfiles.h"
#include "cli/streamfeedback.h"
#include "core/app/exporttools.h"
#include "core/app/workflows.h"
#include "core/base/messages.h"
#include "core/base/namefile.h"
#include "core/base/platform.h"
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
    const Status written = writeScriptFile(platform::pathFromUtf8(output), dedupPane(box));
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

// What a tool's steps left: the window's script box is shown (written)
// unless they stopped before it with `rc`; a run that stopped early after
// it ends the command early. The rollback lines of 一键减容 go to their own
// file after the box.
struct ToolResult {
    bool shown = true;
    bool completed = true;
    int rc = kEndedEarly;
    std::optional<std::string> rollback = std::nullopt;
};
ToolResult stoppedBeforeTheBox(int rc) {
    return {false, false, rc, std::nullopt};
}

// A tool's steps over the opened export; `box` is the window's script box.
using ToolRun = ToolResult (*)(const ExportOptions&, ExportBook&, Session&, StringSink& box,
                               Feedback&);

ToolResult pciChange(const ExportOptions& o, ExportBook& book, Session& session, StringSink& box,
                     Feedback& feedback) {
    PciLabels labels;
    const std::string cell1 = o.text("--cell1"), cell2 = o.text("--cell2");
    if (!queryPciCells(session.library4G.get(), cell1, cell2, labels, feedback))
        return stoppedBeforeTheBox(kEndedEarly);
    const PciChange change{cell1,          o.text("--pci1"), cell2,          o.text("--pci2"),
                           labels.oldPci1, labels.oldPci2,   o.text("--max")};
    return {.completed =
                generatePciChange(*session.library4G, book, change, box, feedback).completed};
}

ToolResult inherit(const ExportOptions& o, ExportBook& book, Session& session, StringSink& box,
                   Feedback& feedback) {
    session.reload2GSettings();
    const FrequencyPlan plan(session.folder.earfcnIni());
    return {.completed = generateInheritance(*session.library4G, session.library2G.get(), plan,
                                             session.settings2G, book,
                                             {o.text("--new"), o.text("--from")}, box, feedback)};
}

ToolResult reduce(const ExportOptions& o, ExportBook& book, Session& session, StringSink& box,
                  Feedback& feedback) {
    session.reload2GSettings();
    const std::string cell = o.text("--cell");
    const bool rollback = !o.text("--rollback").empty();
    ReductionLists lists;
    if (o.text("--sources").empty() || o.text("--cis").empty()) {
        if (!fillReductionLists(*session.library4G, book, cell, lists, feedback))
            return stoppedBeforeTheBox(kEndedEarly);
    }
    for (const auto& [option, list] :
         {std::pair{"--sources", &lists.sources}, std::pair{"--cis", &lists.cis},
          std::pair{"--carriers", &lists.carriers}})
        if (!o.text(option).empty() && !readList(o.text(option), *list, feedback))
            return stoppedBeforeTheBox(kUsage);
    if (o.text("--carriers").empty())
        lists.carriers = reductionCarriers(FrequencyPlan(session.folder.earfcnIni()));
    auto script = generateReduction(*session.library4G, session.library2G.get(), session.settings2G,
                                    cell, lists, rollback, feedback);
    if (!script) return stoppedBeforeTheBox(kEndedEarly);
    box.append(script->script);
    ToolResult result;
    if (rollback) result.rollback = std::move(script->rollback);
    return result;
}

ToolResult frequencyChange(const ExportOptions& o, ExportBook& book, Session& session,
                           StringSink& box, Feedback& feedback) {
    return {.completed =
                generateFrequencyChange(*session.library4G, book, o.text("--cell"), box, feedback)};
}

// Each tool's run, by the name of its row.
const std::pair<std::string_view, ToolRun> kToolRuns[] = {
    {"pci-change", pciChange},
    {"inherit", inherit},
    {"reduce", reduce},
    {"freq-change", frequencyChange},
};

ToolRun runOf(std::string_view name) {
    for (const auto& [tool, run] : kToolRuns)
        if (tool == name) return run;
    return nullptr;
}

// The tool's options as its usage message names them: "--cell1 和 --pci1".
std::string needed(const ExportTool& tool) {
    std::string needs;
    for (const ToolOption& option : tool.options)
        if (option.need != ToolOption::Need::Optional)
            needs += (needs.empty() ? "" : " 和 ") + std::string(option.option);
    return needs;
}

bool allGiven(const ExportTool& tool, const ExportOptions& o) {
    for (const ToolOption& option : tool.options) {
        const auto& value = o.given(option.option);
        if (option.need == ToolOption::Need::Given && !value) return false;
        if (option.need == ToolOption::Need::NonEmpty && (!value || value->empty())) return false;
    }
    return true;
}

}  // namespace

const std::optional<std::string>& ExportOptions::given(std::string_view option) const {
    static const std::optional<std::string> none;
    const auto it = values.find(option);
    return it == values.end() ? none : it->second;
}

bool isExportTool(std::string_view generator) {
    return findExportTool(generator) != nullptr;
}

std::string exportToolNames() {
    std::string names;
    for (const ExportTool& t : exportTools())
        names += (names.empty() ? "" : ", ") + std::string(t.name) + " (" + std::string(t.caption) +
                 ": " + std::string(t.steps) + ")";
    return names;
}

void addExportOptions(CLI::App& gen, ExportOptions& o) {
    gen.add_option("--export", o.exportFile,
                   "export tools: the workbook exported from the NMS (MML报文), .xlsx or .xls");
    // Each option once, said to belong to every tool that takes it.
    for (const ExportTool& tool : exportTools())
        for (const ToolOption& option : tool.options) {
            const std::string name(option.option);
            if (o.values.count(name)) continue;
            std::string tools;
            for (const ExportTool& t : exportTools())
                for (const ToolOption& other : t.options)
                    if (other.option == option.option)
                        tools += (tools.empty() ? "" : ", ") + std::string(t.name);
            gen.add_option(name, o.values[name], tools + ": " + std::string(option.help));
        }
}

void addPciUpdateCommand(CLI::App& app, ExportOptions& o) {
    auto* update =
        app.add_subcommand("pci-update", "write new PCIs into the 4G library (修改PCI: 修改按钮)");
    update->add_option("--cell1", o.values["--cell1"], "cell 1 (主小区名1)")->required();
    update->add_option("--pci1", o.values["--pci1"], "its new PCI")->required();
    update->add_option("--cell2", o.values["--cell2"], "cell 2");
    update->add_option("--pci2", o.values["--pci2"], "its new PCI");
}

int runExportTool(std::string_view generator, const ExportOptions& o, const std::string& output,
                  Session& session) {
    StreamFeedback feedback;
    const ExportTool* tool = findExportTool(generator);
    const ToolRun run = tool ? runOf(tool->name) : nullptr;
    if (!run || o.exportFile.empty() || !allGiven(*tool, o)) {
        feedback.message(
            std::string(generator) + " 需要 --export 和 " + (tool ? needed(*tool) : std::string()),
            {}, Icon::Error);
        return kUsage;
    }
    RunFiles files;
    files.input("--export", platform::pathFromUtf8(o.exportFile));
    for (const char* list : {"--sources", "--cis", "--carriers"})
        files.input(list, platform::pathFromUtf8(o.text(list)));
    files.sessionInputs(session);
    files.output("-o", platform::pathFromUtf8(output));
    files.output("--rollback", platform::pathFromUtf8(o.text("--rollback")));
    if (!files.clear(feedback)) return kUsage;
    if (!openChosenLibraries(session, feedback)) return kEndedEarly;
    const auto book = openExport(platform::pathFromUtf8(o.exportFile), tool->titledOpen, feedback);
    if (!book) return kUsage;
    // The window's script box after its steps, then its save step.
    StringSink box;
    const ToolResult result = run(o, *book, session, box, feedback);
    if (!result.shown) return result.rc;
    int rc = emitBox(box.text(), output, feedback);
    if (result.rollback && emitBox(*result.rollback, o.text("--rollback"), feedback) != kCompleted)
        rc = kEndedEarly;
    return result.completed ? rc : kEndedEarly;
}

int runPciUpdate(const ExportOptions& o, Session& session) {
    StreamFeedback feedback;
    if (!openChosenLibraries(session, feedback)) return kEndedEarly;
    const PciChange change{
        o.text("--cell1"), o.text("--pci1"), o.text("--cell2"), o.text("--pci2"), {}, {}, {}};
    return updatePcis(session.library4G.get(), change, feedback) ? kCompleted : kEndedEarly;
}

}  // namespace brindle::cli
