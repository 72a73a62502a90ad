#pragma once
// How the findings of a script check read in a window: one row per finding
// and a summary line. The command line has its own compiler-style form
// (formatFinding); these are for engineers reading a list beside the script.

#include <cstddef>
#include <string>

#include "core/tools/scriptcheck.h"

namespace brindle::check {

// "第N行 错误 rule-id：detail"; "全文 …" for a finding about no one line.
std::string findingRow(const Finding& finding);

// Errors and warnings of a check so far.
struct Tally {
    std::size_t errors = 0;
    std::size_t warnings = 0;
    void count(const Finding& finding);
};

// "检查完成：N 个错误，M 个警告", or that nothing was found.
std::string checkSummary(const Tally& tally);

}  // namespace brindle::check
