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
