#pragma once
// The records of an opened library, packed for reading: every text of every
// record in one buffer, one after another, with the bounds of each field and
// each record's `ID` beside it. A 200,000-cell library then costs its texts
// plus 36 bytes a record in four blocks, where one std::string per field cost
// nine blocks and some 350 bytes a record, and reading it copies each text
// once, straight from the database row.

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/library/record.h"

namespace brindle {

class RecordTable {
public:
    // Records of `width` text fields each.
    explicit RecordTable(std::size_t width);

    // Room for `records` records and `textBytes` bytes of text. Only a hint:
    // the table grows past it.
    void reserve(std::size_t records, std::size_t textBytes);

    // Appends a record: `startRecord` and then exactly width() fields. False,
    // and nothing appended, when the texts would pass the 4 GiB the 32-bit
    // bounds can address (far more than a library fitting in memory).
    void startRecord(std::int32_t ID);
    [[nodiscard]] bool addField(std::string_view text);
    // A whole record; fields past width() are left out, missing ones empty.
    [[nodiscard]] bool append(const Record& record);

    std::size_t size() const { return ids_.size(); }
    std::size_t width() const { return width_; }
    RecordView operator[](std::size_t i) const {
        return {ids_[i], text_.data(), bounds_.data() + i * width_, width_};
    }

private:
    std::size_t width_;
    // The buffer is a vector so that moving the table never moves the texts
    // (a short std::string would move them), which cells view.
    std::vector<char> text_;
    std::vector<std::uint32_t> bounds_;  // 0, then where every field ends
    std::vector<std::int32_t> ids_;
};

}  // namespace brindle
