#pragma once
// The values the editors are about to save, held against the script
// checker's value rules: a PCI of "9x9" or a band list "38400|3835O|" saves
// without complaint, and only the night's script run would reject the lines
// made from it. The engineer is told which values, and asked.

#include <string>
#include <vector>

#include "core/base/feedback.h"
#include "core/freqplan/planform.h"
#include "core/library/library.h"

namespace brindle {

// The changed 4G record fields whose new text breaks the rule of the
// parameter it becomes in a script line; one line each, "<field>：<reason>：
// <PARAMETER=value>". Fields no line checks (基站名, 小区名) have no rule.
std::vector<std::string> recordValueProblems(const FieldChanges& changes);

// The same for boxes of the frequency-plan editor (unit name to text): each
// carrier of a band list (not the 5G one, which no command line carries) as
// a DLEARFCN, and a family's 连接态频率偏置 as the QOFFSETFREQCONN its "dB" is
// put before. An empty band list has no carriers; an empty carrier between
// two "|" is one. Other boxes have no rule.
std::vector<std::string> planValueProblems(const planform::BoxTexts& boxes);

// Whether the save goes ahead: yes without problems; otherwise question `id`
// is asked with the problems listed, and only Yes saves.
[[nodiscard]] bool confirmValues(Question id, const std::vector<std::string>& problems,
                                 Feedback& feedback);

}  // namespace brindle
