#include "core/export/inheritance.h"

#include <optional>

#include "core/base/messages.h"
#include "core/export/exportfile.h"
#include "core/export/templates.h"
#include "core/geran/templates.h"
#include "core/mml/templates.h"

namespace brindle::exports {

namespace {

// The frequency settings of carriers as one run finds them: a carrier that
// no section lists keeps the settings of the last one found in this run
// (nothing before the first), so a new band still gets lines to correct by
// hand.
class CarrierSettings {
public:
    explicit CarrierSettings(const FrequencyPlan& plan) : plan_(plan) {}

    // Read at the start of each row only, as the mirror side shares it.
    void startRow() { minRxLevel_ = plan_.minRxLevel(); }
    const std::string& minRxLevel() const { return minRxLevel_; }

    // Every section is examined, so the last one listing `earfcn` wins; all
    // thirteen are read from one state of the file.
    const FrequencySettings& of(std::string_view earfcn) {
        const auto profile = plan_.snapshot();
        for (int n = 1; n <= plankeys::kFrequencySettingsCount; ++n) {
            FrequencySettings section = frequencySettings(*profile, n);
            if (section.earfcn == earfcn) last_ = std::move(section);
        }
        return last_;
    }

private:
    const FrequencyPlan& plan_;
    std::string minRxLevel_;
    FrequencySettings last_;
};

struct LteBlocks {
    std::string carriers, externals, relations;
};

// The relations of one sheet in which the inherited cell is the neighbour:
// each related cell R gets the new cell N, and N gets R. False when the
// engineer stopped the run.
bool addRelations(const ExportRows& rows, const Cell4G& newCell, const CellIndex& index,
                  CarrierSettings& settings, LteBlocks& blocks, Feedback& feedback) {
    long done = 0;
    feedback.progress(0, static_cast<long>(rows.size()));
    for (const auto& row : rows) {
        if (feedback.stopRequested()) return false;
        if (const auto related = resolveRow(index, row[0], row[1], feedback)) {
            const Cell4G& r = *related;
            settings.startRow();
            blocks.carriers +=
                inheritedCarrierLine(r, newCell, settings.of(newCell.频点), settings.minRxLevel());
            blocks.externals += mml::addExternalCellLine(r, newCell);
            blocks.relations += inheritedNeighbourLine(r, newCell);
            blocks.carriers +=
                inheritedCarrierLine(newCell, r, settings.of(r.频点), settings.minRxLevel());
            blocks.externals += mml::addExternalCellLine(newCell, r);
            blocks.relations += inheritedNeighbourLine(newCell, r);
        }
        feedback.progress(++done, static_cast<long>(rows.size()));
    }
    return true;
}

// The 2G cell an export row names by CI and LAC, or nothing after
// "<CI>或<LAC>不存在！": no lines are made up from another cell.
std::optional<Cell2G> gsmCell(const Library* library2G, const std::string& ci,
                              const std::string& lac, Feedback& feedback) {
    if (library2G) {
        if (const auto position = library2G->findByFields(
                0, {{fieldIndex(Field2G::Ci), ci}, {fieldIndex(Field2G::Lac), lac}}))
            return Cell2G::from(library2G->at(*position));
    }
    feedback.message(ci + std::string(msg::kGsmCellOr) + lac +
                     std::string(msg::kGsmCellMissingTail));
    return std::nullopt;
}

// A failed query (a sheet or column missing) leaves nothing to walk.
ExportRows rowsOf(Result<ExportRows> rows) {
    return rows ? std::move(rows).value() : ExportRows{};
}

}  // namespace

bool generateInheritance(const Library& library4G, const Library* library2G,
                         const FrequencyPlan& plan, const Settings2G& settings2G, ExportBook& book,
                         const Inheritance& request, ScriptSink& box, Feedback& feedback) {
    // Both cells are looked up before anything is queried: the library does
    // not change during the run, so a cell found once is found every time.
    const auto lookup = [&](const std::string& name) -> std::optional<Cell4G> {
        if (const auto position = library4G.findCell(name))
            return Cell4G::from(library4G.at(*position));
        feedback.message(name + std::string(msg::kCellNameMissing));
        return std::nullopt;
    };
    const auto inherited = lookup(request.fromCell);
    if (!inherited) return false;
    const auto newCell = lookup(request.newCell);
    if (!newCell) return false;

    const CellIndex index(library4G);
    CarrierSettings settings(plan);
    LteBlocks lte;
    if (!addRelations(rowsOf(intraRelationsTowards(book, inherited->基站号, inherited->小区标识)),
                      *newCell, index, settings, lte, feedback) ||
        !addRelations(rowsOf(interRelationsTowards(book, inherited->基站号, inherited->小区标识)),
                      *newCell, index, settings, lte, feedback))
        return false;
    box.append(lte.carriers + lte.externals + lte.relations);

    std::string groups, arfcns, externals, relations;
    const ExportRows gsmRows =
        rowsOf(geranRelationsOf(book, inherited->基站名, inherited->本地小区标识));
    long done = 0;
    feedback.progress(0, static_cast<long>(gsmRows.size()));
    for (const auto& row : gsmRows) {
        if (feedback.stopRequested()) return false;
        if (const auto g = gsmCell(library2G, row[0], row[1], feedback)) {  // CI, LAC
            groups += geran::addFrequencyGroupLine(*newCell, settings2G);
            arfcns += geran::addGroupArfcnLine(*newCell, *g, settings2G);
            externals += geran::externalCellLine("ADD", *newCell, *g, settings2G);
            relations += geran::addNeighbourLine(*newCell, *g);
        }
        feedback.progress(++done, static_cast<long>(gsmRows.size()));
    }
    box.append(groups + arfcns + externals + relations);
    feedback.message(msg::kInheritDone);
    return true;
}

std::string inheritanceScriptName(std::string_view newCell) {
    return std::string(newCell) + std::string(msg::kInheritScriptSuffix);
}

}  // namespace brindle::exports
