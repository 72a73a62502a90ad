#include "core/base/questions.h"

#include <array>

namespace brindle {

namespace {

constexpr std::array<QuestionText, 9> kQuestions = {{
    {Question::DeleteLibrary, "delete-library", "是否删除工参库： \r\n", "", Buttons::OkCancel},
    {Question::UrbanArea, "urban-area", "是为城区，否为农村", "城区 OR 农村", Buttons::YesNo,
     "城区", "农村", true},
    {Question::ReducedMeasurement, "reduced-measurement", "是否对加频点测量性能要求设置为降低的？",
     "加频点测量性能要求 降低的", Buttons::YesNo},
    {Question::CloseUnsaved, "close-unsaved", "脚本尚未保存，确定要关闭吗？", "", Buttons::YesNo},
    {Question::ImportMismatch4G, "import-mismatch-4g", "该工作簿不像4G工参，仍要导入吗？\r\n", "",
     Buttons::YesNo},
    {Question::ImportMismatch2G, "import-mismatch-2g", "该工作簿不像2G工参，仍要导入吗？\r\n", "",
     Buttons::YesNo},
    // The values follow, one per line, each with the checker's reason.
    {Question::RecordValues, "record-values", "以下取值不符合脚本检查的规则，仍要修改吗？\r\n", "",
     Buttons::YesNo},
    {Question::PlanValues, "plan-values", "以下取值不符合脚本检查的规则，仍要保存吗？\r\n", "",
     Buttons::YesNo},
    {Question::PlanUnsaved,
     "plan-unsaved",
     "频点配置已修改，是否保存后关闭？（按Esc继续编辑）",
     "",
     Buttons::YesNo,
     {},
     {},
     true},
}};

// The table is indexed by the enum: a row out of place is a compile error.
constexpr bool inEnumOrder() {
    for (std::size_t i = 0; i < kQuestions.size(); ++i)
        if (static_cast<std::size_t>(kQuestions[i].id) != i) return false;
    return true;
}
static_assert(inEnumOrder());

}  // namespace

std::span<const QuestionText> questions() {
    return kQuestions;
}

const QuestionText& questionText(Question id) {
    return kQuestions[static_cast<std::size_t>(id)];
}

}  // namespace brindle
