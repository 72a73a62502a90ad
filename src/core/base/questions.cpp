#include "core/base/questions.h"

#include <array>

namespace brindle {

namespace {

constexpr std::array<QuestionText, 3> kQuestions = {{
    {Question::DeleteLibrary, "delete-library", "是否删除工参库： \r\n", "", Buttons::OkCancel},
    {Question::UrbanArea, "urban-area", "是为城区，否为农村", "城区 OR 农村", Buttons::YesNo,
     "城区", "农村"},
    {Question::ReducedMeasurement, "reduced-measurement", "是否对加频点测量性能要求设置为降低的？",
     "加频点测量性能要求 降低的", Buttons::YesNo},
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
