#include "core/export/freqchange.h"

#include "core/base/messages.h"
#include "core/export/exportfile.h"
#include "core/library/lookup.h"
#include "core/mml/templates.h"

namespace brindle::exports {

std::optional<std::string> currentCarrier(const Library& library, std::string_view cell,
                                          Feedback& feedback) {
    const auto found = lookup4G(&library, cell, feedback);
    if (!found) return std::nullopt;
    return std::string(found->频点);
}

bool generateFrequencyChange(const Library& library, ExportBook& book, std::string_view cell,
                             ScriptSink& box, Feedback& feedback) {
    const auto x = lookup4G(&library, cell, feedback);
    if (!x) return false;

    // The cells holding X as an intra-frequency neighbour, from the relation
    // sheet: the external-cell sheet's rows are definitions, not relations,
    // and its PCI column has nothing to do with X's cell identity.
    const auto rows = intraRelationsTowards(book, x->基站号, x->小区标识);
    if (!rows) return true;  // a sheet or column missing: nothing to remove
    const CellIndex index(library);
    std::string lines;
    long done = 0;
    feedback.progress(0, static_cast<long>(rows->size()));
    for (const auto& row : *rows) {
        if (feedback.stopRequested()) return false;
        // The network holds these as intra-frequency relations whatever the
        // library says the carriers are.
        if (const auto source = resolveRow(index, row[0], row[1], feedback))
            lines += mml::removeNeighbourLine(mml::kIntraFreqNeighbour, *source, *x);
        feedback.progress(++done, static_cast<long>(rows->size()));
    }
    box.append(lines);
    return true;
}

std::string frequencyChangeScriptName(std::string_view cell) {
    return std::string(cell) + std::string(msg::kFreqChangeScriptSuffix);
}

}  // namespace brindle::exports
