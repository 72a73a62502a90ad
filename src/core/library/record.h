#pragma once
// The two cell records of the libraries. Every value but `ID` is the text
// that stood in the engineer's workbook, never trimmed or converted: the
// generators paste these texts into command lines as they are.

#include <array>
#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

enum class LibraryKind { Lte, Gsm };

// The record fields of each kind, in record order after `ID`: a field's
// position is its index among a record's text fields and its column after
// `ID` in the library table, whose column it names. Every other part of the
// program names a field by these enumerators, never by a number, so the
// record's layout is written down here alone.
// (The enumerators are ASCII: Qt's moc, which reads this header through
// the windows' headers, cannot parse an enumeration of Chinese names.)
enum class Field4G : std::size_t {
    SiteName,     // 基站名
    CellName,     // 小区名
    LocalCellId,  // 本地小区标识
    EnodebId,     // 基站号
    CellId,       // 小区标识
    Earfcn,       // 频点
    Pci,          // 物理小区标识
    Tac,          // TAC号
};
enum class Field2G : std::size_t {
    SiteName,  // 基站名
    CellName,  // 小区名
    Lac,       // 小区LAC
    Ci,        // 小区CI
    Bcch,      // BCCH频点
    Ncc,       // 小区网络色码
    Bcc,       // 小区基站色码
};

template <class Field>
struct FieldRow {
    Field field;
    std::string_view name;  // the column name, the library's schema
};

inline constexpr std::array<FieldRow<Field4G>, 8> kFieldTable4G = {{
    {Field4G::SiteName, "基站名"},
    {Field4G::CellName, "小区名"},
    {Field4G::LocalCellId, "本地小区标识"},
    {Field4G::EnodebId, "基站号"},
    {Field4G::CellId, "小区标识"},
    {Field4G::Earfcn, "频点"},
    {Field4G::Pci, "物理小区标识"},
    {Field4G::Tac, "TAC号"},
}};
inline constexpr std::array<FieldRow<Field2G>, 7> kFieldTable2G = {{
    {Field2G::SiteName, "基站名"},
    {Field2G::CellName, "小区名"},
    {Field2G::Lac, "小区LAC"},
    {Field2G::Ci, "小区CI"},
    {Field2G::Bcch, "BCCH频点"},
    {Field2G::Ncc, "小区网络色码"},
    {Field2G::Bcc, "小区基站色码"},
}};

template <class F>
concept RecordField = std::same_as<F, Field4G> || std::same_as<F, Field2G>;

constexpr const auto& fieldTable(Field4G) {
    return kFieldTable4G;
}
constexpr const auto& fieldTable(Field2G) {
    return kFieldTable2G;
}
template <RecordField F>
constexpr std::size_t fieldIndex(F f) {
    return static_cast<std::size_t>(f);
}
template <RecordField F>
constexpr std::string_view fieldName(F f) {
    return fieldTable(f)[fieldIndex(f)].name;
}

namespace detail {

template <class Field, std::size_t N>
constexpr bool inPositionOrder(const std::array<FieldRow<Field>, N>& table) {
    for (std::size_t i = 0; i < N; ++i)
        if (fieldIndex(table[i].field) != i) return false;
    return true;
}

template <class Field, std::size_t N>
constexpr std::array<std::string_view, N> namesOf(const std::array<FieldRow<Field>, N>& table) {
    std::array<std::string_view, N> names{};
    for (std::size_t i = 0; i < N; ++i) names[i] = table[i].name;
    return names;
}

}  // namespace detail

static_assert(detail::inPositionOrder(kFieldTable4G) && detail::inPositionOrder(kFieldTable2G));

// The column names of the library tables, in record order after `ID`.
inline constexpr auto kFields4G = detail::namesOf(kFieldTable4G);
inline constexpr auto kFields2G = detail::namesOf(kFieldTable2G);

// Every kind keeps `基站名` and `小区名` first, so code over both kinds reads
// them at one position.
inline constexpr std::size_t kSiteNameField = fieldIndex(Field4G::SiteName);
inline constexpr std::size_t kCellNameField = fieldIndex(Field4G::CellName);
static_assert(kSiteNameField == fieldIndex(Field2G::SiteName) &&
              kCellNameField == fieldIndex(Field2G::CellName));

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
    template <RecordField F>
    std::string_view field(F f) const {
        return field(fieldIndex(f));
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
