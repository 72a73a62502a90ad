#pragma once
// "小区扩容配置": for each named cell, the bands its site carries on the
// cell's sector, as labels ("甲-1|F1+F2+D1"). A run of its own over the
// library in file order, which lists a site's cells one after another.

#include <string>
#include <string_view>
#include <unordered_map>
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
    // `site`, when the index can tell: no 基站号 of the library is longer than
    // `site`, so containing it means being it. Null otherwise (a shorter or
    // empty 基站号 may sit inside longer ones); the caller then scans.
    const std::vector<std::size_t>* containing(std::string_view site) const;

private:
    std::unordered_map<std::string_view, std::vector<std::size_t>> positions_;
    std::size_t longest_ = 0;
};

// The bands of `cell`'s site on its sector, "+" between labels: from the
// first record on, the next record whose 基站号 contains the cell's, then
// from there the next one whose name contains the sector key; a sector
// record of another 基站号 ends the scan. Pauses `pace` milliseconds after
// every band found (the window fills as it goes).
std::string sectorBands(const Library& library, const Cell4G& cell, Feedback& feedback,
                        int pace = 100, const SiteIndex* index = nullptr);

// One line "<name>|<bands>" per named cell, appended to the pane. A name
// not in the library is shown as "<name>小区名不存在！" and gives no line.
// Always runs to its end.
bool runExpansionBands(const RunContext& context, const PageInput& input);

}  // namespace brindle::mml
