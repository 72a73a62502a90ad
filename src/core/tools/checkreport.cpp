#include "core/tools/checkreport.h"

#include "core/base/messages.h"

namespace brindle::check {

namespace {

// A finding without its rule is a fault of the checker; it still shows, as
// an error, so that the line is looked at rather than passed.
bool isWarning(const Finding& finding) {
    return finding.rule && finding.rule->severity == Severity::Warning;
}

}  // namespace

std::string findingRow(const Finding& finding) {
    std::string row;
    if (finding.line == 0) {
        row += msg::kCheckWholeScript;
    } else {
        row += msg::kCheckLineHead;
        row += std::to_string(finding.line);
        row += msg::kCheckLineTail;
    }
    row += ' ';
    row += isWarning(finding) ? msg::kCheckWarning : msg::kCheckError;
    if (finding.rule) {
        row += ' ';
        row += finding.rule->id;
    }
    row += msg::kCheckRuleSeparator;
    row += finding.detail;
    return row;
}

void Tally::count(const Finding& finding) {
    ++(isWarning(finding) ? warnings : errors);
}

std::string checkSummary(const Tally& tally) {
    if (tally.errors == 0 && tally.warnings == 0) return std::string(msg::kCheckClean);
    return std::string(msg::kCheckDoneHead) + std::to_string(tally.errors) +
           std::string(msg::kCheckErrors) + std::to_string(tally.warnings) +
           std::string(msg::kCheckWarnings);
}

}  // namespace brindle::check
