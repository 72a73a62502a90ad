#include "core/export/reduction.h"

#include "core/base/messages.h"
#include "core/base/namelist.h"
#include "core/export/exportfile.h"
#include "core/export/templates.h"
#include "core/geran/templates.h"
#include "core/mml/templates.h"

namespace brindle::exports {

namespace {

constexpr int kListedCarriers = 11;  // 频点1设置 … 频点11设置

// The names of the cells an export's relation rows name, one line each.
// False when the engineer stopped the run.
bool addSourceNames(const Result<ExportRows>& rows, const CellIndex& index, std::string& list,
                    Feedback& feedback) {
    if (!rows) return true;  // a sheet or column missing: nothing to list
    for (const auto& row : *rows) {
        if (feedback.stopRequested()) return false;
        if (const auto cell = resolveRow(index, row[0], row[1], feedback)) {
            list += cell->小区名;
            list += "\r\n";
        }
    }
    return true;
}

}  // namespace

std::string reductionCarriers(const FrequencyPlan& plan) {
    const auto profile = plan.snapshot();
    std::string list;
    for (int n = 1; n <= kListedCarriers; ++n)
        list += frequencySettings(*profile, n).earfcn + "\r\n";
    return list;
}

bool fillReductionLists(const Library& library4G, ExportBook& book, std::string_view cell,
                        ReductionLists& lists, Feedback& feedback) {
    lists.sources.clear();
    lists.cis.clear();
    if (cell.empty()) {
        feedback.message(msg::kReduceCellEmpty);
        return false;
    }
    const auto position = library4G.findCell(cell);
    if (!position) {
        feedback.message(msg::kReduceCellMissing);
        return false;
    }
    const Cell4G x = Cell4G::from(library4G.at(*position));
    const CellIndex index(library4G);
    const auto stopped = [&] {
        lists.sources.clear();
        lists.cis.clear();
        return false;
    };
    if (!addSourceNames(intraRelationsTowards(book, x.基站号, x.小区标识), index, lists.sources,
                        feedback) ||
        !addSourceNames(interRelationsTowards(book, x.基站号, x.小区标识), index, lists.sources,
                        feedback))
        return stopped();
    // Only the CI is listed, so an export without 位置区域码 serves as well.
    if (const auto gsm = geranRelationsOf(book, x.基站名, x.本地小区标识, false)) {
        for (const auto& row : *gsm) {
            if (feedback.stopRequested()) return stopped();
            lists.cis += row[0] + "\r\n";  // GERAN小区标识
        }
    }
    feedback.message(msg::kReduceListsDone, {}, Icon::Information);
    return true;
}

std::optional<ReductionScript> generateReduction(const Library& library4G, const Library* library2G,
                                                 const Settings2G& settings2G,
                                                 std::string_view cell, const ReductionLists& lists,
                                                 bool rollback, Feedback& feedback) {
    // An empty name would find a record without a name and write its removal.
    if (cell.empty()) {
        feedback.message(msg::kReduceCellEmpty);
        return std::nullopt;
    }
    const auto position = library4G.findCell(cell);
    if (!position) {
        feedback.message(msg::kReduceCellMissing);
        return std::nullopt;
    }
    const Cell4G x = Cell4G::from(library4G.at(*position));
    const auto sources = nameList(lists.sources);
    const auto cis = nameList(lists.cis);
    const auto carriers = nameList(lists.carriers);

    // The relations other cells hold towards X; names not in the library are
    // skipped, the list being the engineer's to edit.
    std::string relations;
    long done = 0;
    feedback.progress(0, static_cast<long>(sources.size()));
    for (const std::string& name : sources) {
        if (feedback.stopRequested()) return std::nullopt;
        if (const auto source = library4G.findCell(name))
            relations += mml::removeNeighbourLine(Cell4G::from(library4G.at(*source)), x);
        feedback.progress(++done, static_cast<long>(sources.size()));
    }
    relations += localCellLine(kRemoveIntraRelations, x);
    relations += localCellLine(kRemoveInterRelations, x);

    // X's own carrier has no EUTRANINTERNFREQ of its own to remove.
    std::string carrierLines;
    for (const std::string& earfcn : carriers) {
        if (earfcn == x.频点) continue;
        Cell4G carrier;
        carrier.频点 = earfcn;
        carrierLines += mml::removeCarrierLine(x, carrier);
    }
    carrierLines += localCellLine(kRemoveCarriers, x);

    std::string arfcns;
    ReductionScript result;
    for (const std::string& ci : cis) {
        if (feedback.stopRequested()) return std::nullopt;
        const auto found =
            library2G ? library2G->findByFields(0, {{fieldIndex(Field2G::Ci), ci}}) : std::nullopt;
        if (found) {
            const Cell2G g = Cell2G::from(library2G->at(*found));
            arfcns += removeGroupArfcnLine(x, g, settings2G);
            if (rollback) result.rollback += geran::addGroupArfcnLine(x, g, settings2G);
        }
    }
    arfcns += localCellLine(kRemoveGroupArfcns, x);

    result.script = relations + carrierLines + localCellLine(kRemoveGeranRelations, x) + arfcns +
                    removeRanShareLine(x, settings2G) + localCellLine(kRemoveFrequencyGroups, x) +
                    "\r\n";
    feedback.message(msg::kReduceDone);
    return result;
}

std::string reductionScriptName(std::string_view cell) {
    return std::string(cell);
}

std::string rollbackScriptName(std::string_view cell) {
    return std::string(cell) + std::string(msg::kRollbackSuffix);
}

}  // namespace brindle::exports
