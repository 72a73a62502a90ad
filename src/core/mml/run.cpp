#include "core/mml/run.h"

#include "core/base/messages.h"

namespace brindle::mml {

namespace {

// The unit must be a row of the table and of the kind it is read as.
void checkUnit(const PageUnit& unit, bool box) {
    (void)pageUnitIndex(unit);
    if ((unit.kind == UnitKind::ValueBox) != box) throw MissingUnit(unit.name);
}

}  // namespace

void reportMiss(const RunContext& context, std::string_view name, MissPolicy onMiss,
                std::string_view wording) {
    context.tally.missing.emplace_back(name);
    const std::string text = missingCellText(name, wording);
    // A miss that ends the run is the only one: there is nothing to quiet.
    if (onMiss == MissPolicy::StopRun)
        context.feedback.message(text);
    else
        context.feedback.repeatedMessage(text, Repeat::CellMissing);
}

void sayClosing(Feedback& feedback, std::string_view success, const RunTally& tally) {
    if (tally.missing.empty()) {
        feedback.message(success);
        return;
    }
    const std::string text = std::string(success)
                                 .append("\r\n")
                                 .append(msg::kRunLinesHead)
                                 .append(std::to_string(tally.lines))
                                 .append(msg::kRunLinesTail)
                                 .append(std::to_string(tally.missing.size()))
                                 .append(msg::kRunMissedTail);
    bool marked = false;
    std::string names;
    for (const std::string& name : tally.missing)
        names.append(shownName(name, &marked)).append("\r\n");
    feedback.detailedMessage(text,
                             marked ? std::string(msg::kBlankLegend) + "\r\n" + names : names);
}

MissingUnit::MissingUnit(std::string_view unit)
    : std::logic_error(std::string(msg::kMissingUnit) + std::string(unit)) {}

std::string PageInput::textOf(const PageUnit& unit) const {
    checkUnit(unit, true);
    std::optional<std::string> value = text ? text(unit.name) : std::nullopt;
    if (!value) throw MissingUnit(unit.name);
    return *std::move(value);
}

bool PageInput::isTicked(const PageUnit& unit) const {
    checkUnit(unit, false);
    const std::optional<bool> value = ticked ? ticked(unit.name) : std::nullopt;
    if (!value) throw MissingUnit(unit.name);
    return *value;
}

}  // namespace brindle::mml
