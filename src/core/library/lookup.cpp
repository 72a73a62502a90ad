#include "core/library/lookup.h"

#include "core/base/messages.h"

namespace brindle {

void reportMissingCell(Feedback& feedback, std::string_view name) {
    feedback.message(std::string(name) + std::string(msg::kCellMissing));
}

namespace {

template <typename Cell>
std::optional<Cell> lookup(const Library* library, std::string_view name, Feedback& feedback) {
    if (library) {
        if (const auto pos = library->findCell(name)) return Cell::from(library->at(*pos));
    }
    reportMissingCell(feedback, name);
    return std::nullopt;
}

}  // namespace

std::optional<Cell4G> lookup4G(const Library* library, std::string_view name, Feedback& feedback) {
    return lookup<Cell4G>(library, name, feedback);
}

std::optional<Cell2G> lookup2G(const Library* library, std::string_view name, Feedback& feedback) {
    return lookup<Cell2G>(library, name, feedback);
}

CellPair pairedLookup(const Library* library, const std::vector<std::string>& sources,
                      const std::vector<std::string>& targets, std::size_t i, Feedback& feedback) {
    CellPair pair;
    pair.source = lookup4G(library, sources[i], feedback);
    if (!pair.source) return pair;
    if (i < targets.size())
        pair.target = lookup4G(library, targets[i], feedback);
    else
        reportMissingCell(feedback, {});
    return pair;
}

bool forEachCell4G(const Library* library, const std::vector<std::string>& names, MissPolicy policy,
                   Feedback& feedback, const std::function<void(const Cell4G&)>& use) {
    for (const auto& name : names) {
        const auto cell = lookup4G(library, name, feedback);
        feedback.pumpEvents();
        if (cell)
            use(*cell);
        else if (policy == MissPolicy::StopRun)
            return false;
    }
    return true;
}

}  // namespace brindle
