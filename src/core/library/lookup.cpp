#include "core/library/lookup.h"

#include "core/base/messages.h"

namespace brindle {

std::string missingCellText(std::string_view name, std::string_view wording) {
    return std::string(name).append(wording);
}

void reportMissingCell(Feedback& feedback, std::string_view name) {
    feedback.message(missingCellText(name));
}

namespace {

template <typename Cell>
std::optional<Cell> lookup(const Library* library, std::string_view name, Feedback& feedback) {
    auto cell = findNamedCell<Cell>(library, name);
    if (!cell) reportMissingCell(feedback, name);
    return cell;
}

}  // namespace

std::optional<Cell4G> lookup4G(const Library* library, std::string_view name, Feedback& feedback) {
    return lookup<Cell4G>(library, name, feedback);
}

std::optional<Cell2G> lookup2G(const Library* library, std::string_view name, Feedback& feedback) {
    return lookup<Cell2G>(library, name, feedback);
}

}  // namespace brindle
