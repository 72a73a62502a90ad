#pragma once
// Cell lookup by name, and the three ways a run carries on after a missing
// cell.

#include <optional>
#include <string>
#include <string_view>

#include "core/base/feedback.h"
#include "core/base/messages.h"
#include "core/library/library.h"

namespace brindle {

// "<name>小区不存在！", or the name before another wording of the same.
std::string missingCellText(std::string_view name, std::string_view wording = msg::kCellMissing);
// Shows "<name>小区不存在！".
void reportMissingCell(Feedback& feedback, std::string_view name);

// The first record of `library` named `name`, saying nothing on a miss (a
// library that is not open counts as a miss): the caller reports it.
template <class Cell>
std::optional<Cell> findNamedCell(const Library* library, std::string_view name) {
    if (!library) return std::nullopt;
    const auto pos = library->findCell(name);
    if (!pos) return std::nullopt;
    return Cell::from(library->at(*pos));
}

// The first record of `library` named `name`, or a miss (a library that is
// not open counts as a miss). On a miss the message is shown.
std::optional<Cell4G> lookup4G(const Library* library, std::string_view name, Feedback& feedback);
std::optional<Cell2G> lookup2G(const Library* library, std::string_view name, Feedback& feedback);

// What a run does after a missing cell.
enum class MissPolicy {
    SkipPair,  // no lines for this pair; go on with the next
    SkipName,  // no lines for this name; go on with the next
    StopRun,   // end the run at once; no completion message
};

}  // namespace brindle
