#include "core/app/editorvalues.h"

#include <array>
#include <optional>
#include <string_view>

#include "core/base/namelist.h"
#include "core/freqplan/plankeys.h"
#include "core/tools/scriptcheck.h"

namespace brindle {

namespace {

// The parameter each 4G field becomes in the lines the generators write.
struct FieldParameter {
    Field4G field;
    std::string_view parameter;
};
constexpr std::array<FieldParameter, 6> kFieldParameters = {{
    {Field4G::LocalCellId, "LOCALCELLID"},
    {Field4G::EnodebId, "ENODEBID"},
    {Field4G::CellId, "CELLID"},
    {Field4G::Earfcn, "DLEARFCN"},
    {Field4G::Pci, "PHYCELLID"},
    {Field4G::Tac, "TAC"},
}};

// Adds "<what>：<reason>：<PARAMETER=value>" when `value`, as a line carries
// it, breaks the rule of `parameter`.
void addProblem(std::vector<std::string>& out, std::string_view what, std::string_view parameter,
                std::string_view value) {
    const auto broken = check::checkValue(parameter, value);
    if (!broken) return;
    std::string line(what);
    line += "：" + std::string(broken->rule->reason) + "：" + broken->detail;
    out.push_back(std::move(line));
}

std::string_view withoutColon(std::string_view label) {
    constexpr std::string_view colon = "：";
    return label.ends_with(colon) ? label.substr(0, label.size() - colon.size()) : label;
}

}  // namespace

std::vector<std::string> recordValueProblems(const FieldChanges& changes) {
    std::vector<std::string> out;
    for (const auto& [field, text] : changes)
        for (const FieldParameter& p : kFieldParameters)
            if (fieldIndex(p.field) == field)
                addProblem(out, fieldName(p.field), p.parameter, text);
    return out;
}

std::vector<std::string> planValueProblems(const planform::BoxTexts& boxes) {
    std::vector<std::string> out;
    const auto text = [&](std::string_view box) -> const std::string* {
        const auto it = boxes.find(std::string(box));
        return it == boxes.end() ? nullptr : &it->second;
    };
    for (const planform::SingleBox& b : planform::kBandBoxes) {
        const std::string* list = text(b.box);
        if (!list || b.key.key == plankeys::kBand5G.key) continue;
        for (const std::string& carrier : splitList(*list, plankeys::kListSeparator))
            addProblem(out, withoutColon(b.label), "DLEARFCN", carrier);
    }
    const std::size_t offsetRow = planform::kRowLabels.size() - 1;
    for (std::size_t i = 0; i < plankeys::kFamilyCount; ++i) {
        const Family& family = plankeys::familyAt(i);
        const std::string* offset = text(planform::gridBoxName(family, offsetRow));
        if (!offset) continue;
        // Column labels repeat on every tab: the box is named by its tab too.
        const std::string where = std::string(planform::tabCaption(family.serving)) + "，" +
                                  std::string(planform::kCornerLabel) + std::string(family.column) +
                                  "，" + std::string(planform::kRowLabels[offsetRow]);
        addProblem(out, where, "QOFFSETFREQCONN", "dB" + *offset);
    }
    return out;
}

bool confirmValues(Question id, const std::vector<std::string>& problems, Feedback& feedback) {
    if (problems.empty()) return true;
    std::string detail;
    for (const std::string& p : problems) {
        if (!detail.empty()) detail += "\r\n";
        detail += p;
    }
    return feedback.ask(id, detail) == Answer::Yes;
}

}  // namespace brindle
