#pragma once
// The library query list and the record edit: how a search text picks a row
// of the list, and how an edited 4G record is written back by its `ID`.
// Rows are the records in file order; the list shows `ID` as decimal text
// followed by the eight fields.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/feedback.h"
#include "core/base/result.h"
#include "core/library/library.h"

namespace brindle {

// The list's columns: "ID" then the 4G fields in record order.
inline constexpr std::size_t kQueryColumns = 1 + kFields4G.size();
constexpr std::size_t queryColumn(Field4G field) {
    return 1 + fieldIndex(field);
}

// The text of column `column` (0 = `ID` as decimal text) of a row.
std::string queryCellText(const Record& row, std::size_t column);

// The row a search for `text` selects: the first row whose ID text begins
// with it, letters compared without regard to case; failing that, scanning
// row by row and within a row columns 2 to 9 from left to right, the first
// row holding a cell that begins with it byte for byte. Nothing when no
// cell matches.
std::optional<std::size_t> findQueryRow(std::span<const Record> rows, std::string_view text);
std::optional<std::size_t> findQueryRow(const Library& library, std::string_view text);

// The fields an edit of a record changes: those whose text in `after`
// differs from the one in `before` (the texts the edit started from), so
// that saving writes nothing the engineer did not change.
FieldChanges changedFields(const std::vector<std::string>& before,
                           const std::vector<std::string>& after);

// What an edit that could not be written says: "修改失败，写入失败：<why>".
std::string editWriteFailedText(std::string_view reason);

// Writes `changes` into the first record of the library file whose `ID` is
// `id`; the `ID` itself never changes, and the record's other fields keep
// what the file holds. Tells the engineer how it went: "修改成功",
// "查找不到ID" or editWriteFailedText (the record keeping its previous
// values). The error is the message shown.
Status saveRecordEdit(Library* library, std::int32_t id, const FieldChanges& changes,
                      Feedback& feedback);

}  // namespace brindle
