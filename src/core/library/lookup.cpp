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

}  // namespace brindle
