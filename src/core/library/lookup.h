#pragma once
// Cell lookup by name, the paired lookup of the pairwise generators, and the
// three ways a run carries on after a missing cell.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/feedback.h"
#include "core/library/library.h"

namespace brindle {

// Shows "<name>小区不存在！".
void reportMissingCell(Feedback& feedback, std::string_view name);

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

// Source line i paired with target line i of the current 4G library. The
// target is looked up only when the source was found. A target list shorter
// than the source list gives pair i no target name: it is reported like an
// empty missing name.
struct CellPair {
    std::optional<Cell4G> source;
    std::optional<Cell4G> target;
    bool found() const { return source && target; }
};
CellPair pairedLookup(const Library* library, const std::vector<std::string>& sources,
                      const std::vector<std::string>& targets, std::size_t i, Feedback& feedback);

// Looks every name up in order and calls `use` with each found cell. A miss
// is reported; under StopRun it ends the walk. Returns false when the run was
// stopped by a miss. Pending events run once per name.
bool forEachCell4G(const Library* library, const std::vector<std::string>& names, MissPolicy policy,
                   Feedback& feedback, const std::function<void(const Cell4G&)>& use);

}  // namespace brindle
