#pragma once
// "小区扩容配置": for each named cell, the bands its site carries on the
// cell's sector, as labels ("甲-1|F1+F2+D1"). A run of its own over the
// library in file order, which lists a site's cells one after another.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/mml/run.h"

namespace brindle::mml {

// The band label of an EARFCN text, compared exactly with the table's keys:
// "38400" F1, "38544" F2, …, "3683" FDD900M; any other text "未知".
std::string_view bandLabel(std::string_view earfcn);

// The sector key of a cell name: its last two bytes in GBK (the last Chinese
// character, or the last two ASCII characters); a name shorter than two
// bytes is its whole self. The key is GBK bytes.
std::string sectorKey(std::string_view cellName);

// Where each 基站号 stands in a library, built once per run so that a
// province-sized name list does not scan the library from its top for
// every name.
class SiteIndex {
public:
    explicit SiteIndex(const Library& library);
    // The positions, in file order, of the records whose 基站号 contains
    // that of the record at `position`, when the index can tell: no 基站号 of
    // the library is longer, so containing it means being it. Nothing
    // otherwise (a shorter or empty 基站号 may sit inside longer ones); the
    // caller then scans.
    std::optional<std::span<const std::uint32_t>> containingSiteOf(std::size_t position) const;
    // Whether two records have equal 基站号.
    bool sameSite(std::size_t a, std::size_t b) const { return siteOf_[a] == siteOf_[b]; }

    // The cell name of the record at `position` as the sector key is compared
    // with it (see sectorKey), converted the first time it is asked for: a
    // run passes the same records again for every cell of a site. The view
    // lasts until the next call.
    std::string_view sectorBytes(std::size_t position) const;

private:
    static constexpr std::uint32_t kNotYet = UINT32_MAX;

    // The positions of the records of site number `n`.
    std::span<const std::uint32_t> group(std::uint32_t n) const;

    const Library& library_;
    // Each distinct 基站号 once, and every record's position
    // grouped by 基站号 (group n from starts_[n] to starts_[n + 1]), in file
    // order within a group. Flat arrays rather than a map of vectors: the
    // index of a province is built for every run.
    std::vector<std::string_view> sites_;
    std::vector<std::uint32_t> siteOf_;  // each record's number in sites_
    std::vector<std::uint32_t> starts_;
    std::vector<std::uint32_t> positions_;
    std::size_t longest_ = 0;
    // The converted names one after another, and where each record's is
    // (start, size; size kNotYet until asked for): no string per record.
    mutable std::string converted_;
    mutable std::vector<std::pair<std::uint32_t, std::uint32_t>> spans_;
};

// The bands of the site of the cell at `position` on its sector, "+"
// between labels: from the first record on, the next record whose 基站号
// contains the cell's, then from there the next one whose name contains the
// sector key; a sector record of another 基站号 ends the scan. Pauses `pace`
// milliseconds after every band found (the window fills as it goes).
std::string sectorBands(const Library& library, std::size_t position, Feedback& feedback,
                        int pace = 100, const SiteIndex* index = nullptr);

// One line "<name>|<bands>" per named cell, appended to the pane. A name
// not in the library is shown as "<name>小区名不存在！" and gives no line.
// Runs to its end unless the engineer stops it (false), between two names.
bool runExpansionBands(const RunContext& context, const PageInput& input);

}  // namespace brindle::mml
