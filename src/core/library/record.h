#pragma once
// The two cell records of the libraries. Every value but `ID` is the text
// that stood in the engineer's workbook, never trimmed or converted: the
// generators paste these texts into command lines as they are.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

enum class LibraryKind { Lte, Gsm };

// Column names of the library tables, in record order after `ID`. The same
// names head the fields of Cell4G and Cell2G.
inline constexpr std::array<std::string_view, 8> kFields4G = {
    "基站名", "小区名", "本地小区标识", "基站号", "小区标识", "频点", "物理小区标识", "TAC号"};
inline constexpr std::array<std::string_view, 7> kFields2G = {
    "基站名", "小区名", "小区LAC", "小区CI", "BCCH频点", "小区网络色码", "小区基站色码"};

// Every kind keeps `基站名` and `小区名` first.
inline constexpr std::size_t kSiteNameField = 0;
inline constexpr std::size_t kCellNameField = 1;

std::span<const std::string_view> fieldNames(LibraryKind kind);
std::string_view kindLabel(LibraryKind kind);  // "4G" or "2G"

// A stored record: `ID` and the text fields in the order of fieldNames().
struct Record {
    std::int32_t ID = 0;
    std::vector<std::string> fields;

    const std::string& cellName() const { return fields[kCellNameField]; }
};

// A record as an opened library holds it: `ID` and views of the texts, which
// stand one after another in the library's buffer; field `i` runs from
// `bounds[i]` to `bounds[i + 1]`. Cheap to copy; valid while the library is
// (an edit leaves the texts it replaced where they are, see Library::modify).
class RecordView {
public:
    RecordView(std::int32_t id, const char* text, const std::uint32_t* bounds, std::size_t width)
        : ID(id), text_(text), bounds_(bounds), width_(width) {}

    std::int32_t ID;

    std::size_t fieldCount() const { return width_; }
    std::string_view field(std::size_t i) const {
        return {text_ + bounds_[i], bounds_[i + 1] - bounds_[i]};
    }
    std::string_view cellName() const { return field(kCellNameField); }
    // An owning copy, for an edit.
    Record toRecord() const;

private:
    const char* text_;
    const std::uint32_t* bounds_;
    std::size_t width_;
};

// The cells the templates read: views of a record's texts, so that a lookup
// costs no copy. A cell is valid while the texts it views are: a cell from a
// library lives no longer than the library.
struct Cell4G {
    std::int32_t ID = 0;
    std::string_view 基站名, 小区名, 本地小区标识, 基站号, 小区标识, 频点, 物理小区标识, TAC号;

    static Cell4G from(RecordView r);
};

struct Cell2G {
    std::int32_t ID = 0;
    std::string_view 基站名, 小区名, 小区LAC, 小区CI, BCCH频点, 小区网络色码, 小区基站色码;

    static Cell2G from(RecordView r);
};

}  // namespace brindle
