#include "core/export/pcichange.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <vector>

#include "core/base/messages.h"
#include "core/export/templates.h"
#include "core/library/lookup.h"
#include "core/library/query.h"
#include "core/mml/templates.h"

namespace brindle::exports {

namespace {

// The 扩容小区数据 box read as a count: leading digits, anything else 0.
long long cellCount(std::string_view text) {
    long long n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    (void)end;
    return error == std::errc{} && n > 0 ? n : 0;
}

// The temporary PCI: the old one plus 10, or nothing when the old one is not
// a whole number. A cell moved to "0+10" would take PCI 10 on the air, so a
// PCI that is not a number stops the run instead.
std::optional<std::string> temporaryPci(std::string_view pci) {
    long long n = 0;
    const char* first = pci.data();
    const char* last = pci.data() + pci.size();
    const auto [end, error] = std::from_chars(first, last, n);
    if (pci.empty() || error != std::errc{} || end != last ||
        n > std::numeric_limits<long long>::max() - 10)
        return std::nullopt;
    return std::to_string(n + 10);
}

// The co-PCI group of `main` (at `position`): from the main cell's own
// record forward, the first `count` records with its 基站号 and PCI. Nothing
// when the engineer stopped the run.
std::optional<std::vector<Cell4G>> coPciGroup(const Library& library, std::size_t position,
                                              const Cell4G& main, long long count,
                                              Feedback& feedback) {
    std::vector<Cell4G> group;
    const auto samePci = [&](RecordView r) {
        return r.field(Field4G::EnodebId) == main.基站号 &&
               r.field(Field4G::Pci) == main.物理小区标识;
    };
    std::size_t from = position;
    for (long long i = 0; i < count; ++i) {
        if (feedback.stopRequested()) return std::nullopt;
        const auto hit = library.findForward(from, samePci);
        if (!hit) break;  // nothing further on either
        group.push_back(Cell4G::from(library.at(*hit)));
        from = *hit + 1;
        feedback.progress(static_cast<long>(i + 1), static_cast<long>(count));
    }
    return group;
}

struct Blocks {
    std::string deactivate;  // DEA CELL, MOD CELL to the temporary PCI
    std::string activate;    // MOD CELL to the final PCI, ACT CELL
};

// Appends the group's lines; false (after the message) when a member's PCI
// is not a number.
bool addGroup(const std::vector<Cell4G>& group, std::string_view newPci, Blocks& blocks,
              PciRun& run, Feedback& feedback) {
    long done = 0;
    for (const Cell4G& c : group) {
        const auto temporary = temporaryPci(c.物理小区标识);
        if (!temporary) {
            feedback.message(std::string(c.小区名) + std::string(msg::kPciNotNumeric) +
                             std::string(c.物理小区标识));
            return false;
        }
        blocks.deactivate += mml::deactivateCellLine(c);
        blocks.deactivate += modifyPciLine(c, *temporary);
        blocks.activate += modifyPciLine(c, newPci);
        blocks.activate += mml::activateCellLine(c);
        run.lastSiteName = c.基站名;
        feedback.progress(++done, static_cast<long>(group.size()));
    }
    return true;
}

// Nothing when the engineer stopped the run.
std::optional<std::string> externalCellLines(const ExportRows& rows, std::string_view enodeb,
                                             std::string_view newPci, Feedback& feedback) {
    std::string lines;
    for (const auto& row : rows) {
        if (feedback.stopRequested()) return std::nullopt;
        lines += modifyExternalPciLine(enodeb, row[1], newPci, row[0]);  // NAME, 小区标识
    }
    return lines;
}

}  // namespace

bool queryPciCells(const Library* library, std::string_view cell1, std::string_view cell2,
                   PciLabels& labels, Feedback& feedback) {
    if (cell1.empty()) {
        feedback.message(msg::kPciCell1Empty);
        return false;
    }
    // A missing cell's labels are emptied: they must not go on showing another
    // cell's values, which generation would take as its old PCI.
    const auto first = lookup4G(library, cell1, feedback);
    labels.enodeb1 = first ? first->基站号 : std::string();
    labels.oldPci1 = first ? first->物理小区标识 : std::string();
    if (!first) return false;
    if (cell2.empty()) {
        feedback.message(msg::kPciSingleCell);
        return true;
    }
    const auto second = lookup4G(library, cell2, feedback);
    labels.enodeb2 = second ? second->基站号 : std::string();
    labels.oldPci2 = second ? second->物理小区标识 : std::string();
    return second.has_value();
}

bool updatePcis(Library* library, const PciChange& change, Feedback& feedback) {
    const auto write = [&](std::string_view cell, const std::string& pci) {
        const auto position = library ? library->findCell(cell) : std::nullopt;
        if (!position) {
            feedback.message(msg::kPciCellNotFound);
            return false;
        }
        if (pci.empty()) {
            feedback.message(msg::kPciEmpty);
            return false;
        }
        // Only the PCI is written, into the record of that name as the file
        // now holds it.
        const Result<bool> written =
            library->modify(RecordKey::byField(kCellNameField, std::string(cell)),
                            {{fieldIndex(Field4G::Pci), pci}});
        if (!written || !*written) {
            feedback.message(written ? std::string(msg::kPciCellNotFound)
                                     : editWriteFailedText(written.error()));
            return false;
        }
        feedback.message(msg::kEdited);
        return true;
    };
    if (!write(change.cell1, change.newPci1)) return false;
    return change.cell2.empty() || write(change.cell2, change.newPci2);
}

PciRun generatePciChange(const Library& library, ExportBook& book, const PciChange& change,
                         ScriptSink& box, Feedback& feedback) {
    PciRun run;
    // No group is larger than the library, whatever the box says.
    const long long count =
        std::min(cellCount(change.maxCells), static_cast<long long>(library.count()));
    const bool two = !change.cell2.empty();
    const auto main = [&](std::string_view name) -> std::optional<std::size_t> {
        const auto position = library.findCell(name);
        if (!position) reportMissingCell(feedback, name);
        return position;
    };

    const auto position1 = main(change.cell1);
    if (!position1) return run;
    const Cell4G cell1 = Cell4G::from(library.at(*position1));
    feedback.progress(0, static_cast<long>(count));
    Blocks blocks;
    const auto group1 = coPciGroup(library, *position1, cell1, count, feedback);
    if (!group1 || !addGroup(*group1, change.newPci1, blocks, run, feedback)) return run;

    std::optional<Cell4G> cell2;
    if (two) {
        const auto position2 = main(change.cell2);
        if (!position2) return run;
        cell2 = Cell4G::from(library.at(*position2));
        const auto group2 = coPciGroup(library, *position2, *cell2, count, feedback);
        if (!group2 || !addGroup(*group2, change.newPci2, blocks, run, feedback)) return run;
    }

    // The numeric form finds the rows of an export that holds its numbers as
    // numbers; failing, it means text where numbers belong (or the query was
    // not run), which the engineer has to put right in the workbook.
    const auto rows1 = externalCellsWithPci(book, cell1.基站号, change.oldPci1, Form::Numeric);
    if (!rows1) {
        box.append(blocks.deactivate);
        feedback.message(msg::kPciConvertText);
        return run;
    }
    // The deactivating block waits for the external cells: a run the
    // engineer stops there leaves the box as it was, never cells taken out of
    // service with no lines to bring them back.
    std::optional<std::string> external =
        externalCellLines(*rows1, cell1.基站号, change.newPci1, feedback);
    if (!external) return run;
    if (cell2) {
        auto rows2 = externalCellsWithPci(book, cell2->基站号, change.oldPci2, Form::Numeric);
        if (!rows2) rows2 = externalCellsWithPci(book, cell2->基站号, change.oldPci2, Form::Quoted);
        if (rows2) {
            const auto lines2 = externalCellLines(*rows2, cell2->基站号, change.newPci2, feedback);
            if (!lines2) return run;
            *external += *lines2;
        }
    }
    box.append(blocks.deactivate);
    box.append(*external);
    box.append(blocks.activate + "\r\n");
    feedback.message(msg::kPciScriptDone);
    run.completed = true;
    return run;
}

std::string pciScriptName(std::string_view siteName) {
    return std::string(siteName) + std::string(msg::kPciScriptSuffix);
}

}  // namespace brindle::exports
