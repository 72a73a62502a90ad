#include "core/library/query.h"

#include "core/base/asciicase.h"
#include "core/base/messages.h"

namespace brindle {

namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (ascii::lower(text[i]) != ascii::lower(prefix[i])) return false;
    return true;
}

std::string_view fieldOf(const Record& row, std::size_t f) {
    return row.fields[f];
}
std::size_t widthOf(const Record& row) {
    return row.fields.size();
}
std::string_view fieldOf(RecordView row, std::size_t f) {
    return row.field(f);
}
std::size_t widthOf(RecordView row) {
    return row.fieldCount();
}

// The search over the list's rows (the window's copies) and over a
// library's records alike; `rowAt(r)` is row `r`.
template <typename RowAt>
std::optional<std::size_t> findRow(std::size_t rows, const RowAt& rowAt, std::string_view text) {
    for (std::size_t r = 0; r < rows; ++r)
        if (startsWithIgnoringCase(std::to_string(rowAt(r).ID), text)) return r;
    for (std::size_t r = 0; r < rows; ++r) {
        const auto& row = rowAt(r);
        for (std::size_t f = 0; f < widthOf(row); ++f)
            if (fieldOf(row, f).starts_with(text)) return r;
    }
    return std::nullopt;
}

}  // namespace

std::string queryCellText(const Record& row, std::size_t column) {
    if (column == 0) return std::to_string(row.ID);
    const std::size_t field = column - 1;
    return field < row.fields.size() ? row.fields[field] : std::string();
}

std::optional<std::size_t> findQueryRow(std::span<const Record> rows, std::string_view text) {
    return findRow(
        rows.size(), [rows](std::size_t r) -> const Record& { return rows[r]; }, text);
}

std::optional<std::size_t> findQueryRow(const Library& library, std::string_view text) {
    return findRow(
        library.count(), [&library](std::size_t r) { return library.at(r); }, text);
}

FieldChanges changedFields(const std::vector<std::string>& before,
                           const std::vector<std::string>& after) {
    FieldChanges changes;
    for (std::size_t f = 0; f < after.size(); ++f)
        if (f >= before.size() || before[f] != after[f]) changes.emplace_back(f, after[f]);
    return changes;
}

std::string editWriteFailedText(std::string_view reason) {
    return std::string(msg::kEditWriteFailed) + "：" + std::string(reason);
}

Status saveRecordEdit(Library* library, std::int32_t id, const FieldChanges& changes,
                      Feedback& feedback) {
    const auto say = [&feedback](std::string text) {
        feedback.message(text);
        return fail(std::move(text));
    };
    if (!library) return say(std::string(msg::kIdNotFound));
    const Result<bool> modified = library->modify(RecordKey::byId(id), changes);
    if (!modified) return say(editWriteFailedText(modified.error()));
    if (!*modified) return say(std::string(msg::kIdNotFound));
    feedback.message(msg::kEdited);
    return {};
}

}  // namespace brindle
