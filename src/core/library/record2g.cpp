#include "core/library/record2g.h"

#include "core/base/messages.h"
#include "core/library/query.h"

namespace brindle {

namespace {

// The position of a radio field in a 2G record's text fields.
std::size_t recordIndex(std::size_t radio) {
    for (std::size_t i = 0; i < kFields2G.size(); ++i)
        if (kFields2G[i] == kRadioFields2G[radio]) return i;
    return kFields2G.size();  // every radio field is a 2G field
}

}  // namespace

std::optional<std::size_t> radioField2G(std::string_view name) {
    for (std::size_t i = 0; i < kRadioFields2G.size(); ++i)
        if (kRadioFields2G[i] == name) return i;
    return std::nullopt;
}

std::optional<std::array<std::string, kRadioFields2G.size()>> queryRadio2G(const Library& library,
                                                                           std::string_view name) {
    const auto position = library.findCell(name);
    if (!position) return std::nullopt;
    const RecordView record = library.at(*position);
    std::array<std::string, kRadioFields2G.size()> out;
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = record.field(recordIndex(i));
    return out;
}

RadioEdit2G modifyRadio2G(Library& library, std::string_view name, const RadioValues2G& values,
                          std::string* reason) {
    FieldChanges changes;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i]) changes.emplace_back(recordIndex(i), *values[i]);
    const Result<bool> modified =
        library.modify(RecordKey::byField(kCellNameField, std::string(name)), changes);
    if (!modified) {
        if (reason) *reason = modified.error();
        return RadioEdit2G::WriteFailed;
    }
    return *modified ? RadioEdit2G::Modified : RadioEdit2G::NotFound;
}

Status saveRadioEdit2G(Library* library, std::string_view name, const RadioValues2G& values,
                       Feedback& feedback) {
    std::string reason;
    const RadioEdit2G outcome =
        library ? modifyRadio2G(*library, name, values, &reason) : RadioEdit2G::NotFound;
    if (outcome == RadioEdit2G::Modified) {
        feedback.message(msg::kEdited);
        return {};
    }
    const std::string text = outcome == RadioEdit2G::NotFound ? std::string(msg::kIdNotFound)
                                                              : editWriteFailedText(reason);
    feedback.message(text);
    return fail(text);
}

}  // namespace brindle
