#include "core/mml/pageunits.h"

#include <iterator>
#include <stdexcept>
#include <string>

#include "core/base/messages.h"

namespace brindle::mml {

const PageUnit* findPageUnit(std::string_view name) {
    for (const PageUnit* unit : kPageUnits)
        if (unit->name == name) return unit;
    return nullptr;
}

std::size_t pageUnitIndex(const PageUnit& unit) {
    for (std::size_t i = 0; i < std::size(kPageUnits); ++i)
        if (kPageUnits[i] == &unit) return i;
    throw std::logic_error(std::string(msg::kNotAPageUnit) + std::string(unit.name));
}

}  // namespace brindle::mml
