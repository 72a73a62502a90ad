#pragma once
// Cell lookup by name, and the three ways a run carries on after a missing
// cell.

#include <optional>
#include <string_view>
#include <type_traits>

#include "core/base/feedback.h"
#include "core/library/library.h"

namespace brindle {

// Shows "<name>小区不存在！".
void reportMissingCell(Feedback& feedback, std::string_view name);

// The first record of `library` named `name`, or a miss (a library that is
// not open counts as a miss). On a miss the message is shown.
std::optional<Cell4G> lookup4G(const Library* library, std::string_view name, Feedback& feedback);
std::optional<Cell2G> lookup2G(const Library* library, std::string_view name, Feedback& feedback);

// The same for a cell type chosen at compile time.
template <class Cell>
std::optional<Cell> lookupCell(const Library* library, std::string_view name, Feedback& feedback) {
    if constexpr (std::is_same_v<Cell, Cell4G>)
        return lookup4G(library, name, feedback);
    else
        return lookup2G(library, name, feedback);
}

// What a run does after a missing cell.
enum class MissPolicy {
    SkipPair,  // no lines for this pair; go on with the next
    SkipName,  // no lines for this name; go on with the next
    StopRun,   // end the run at once; no completion message
};

}  // namespace brindle
