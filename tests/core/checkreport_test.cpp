// How a script check's findings read in the windows: the rows of the
// findings list and the summary under it.

#include <gtest/gtest.h>

#include "core/tools/checkreport.h"

using namespace brindle::check;

namespace {

const Rule kError{"empty-value", Severity::Error, "参数值为空"};
const Rule kWarning{"twice", Severity::Warning, "重复的命令行"};

}  // namespace

TEST(CheckReport, RowsNameTheLineTheSeverityAndTheRule) {
    EXPECT_EQ(findingRow({12, &kError, "参数值为空：LOCALCELLID"}),
              "第12行 错误 empty-value：参数值为空：LOCALCELLID");
    EXPECT_EQ(findingRow({1, &kWarning, "重复的命令行，同第3行"}),
              "第1行 警告 twice：重复的命令行，同第3行");
    // A finding about the script as a whole has no line to name.
    EXPECT_EQ(findingRow({0, &kWarning, "没有结尾的换行"}), "全文 警告 twice：没有结尾的换行");
    // One without its rule is still shown, and as an error, to be looked at.
    EXPECT_EQ(findingRow({3, nullptr, "?"}), "第3行 错误：?");
}

TEST(CheckReport, TheSummaryCountsErrorsAndWarnings) {
    Tally tally;
    EXPECT_EQ(checkSummary(tally), "检查完成：未发现问题");
    tally.count({1, &kWarning, ""});
    EXPECT_EQ(checkSummary(tally), "检查完成：0 个错误，1 个警告");
    tally.count({2, &kError, ""});
    tally.count({3, nullptr, ""});
    tally.count({4, &kWarning, ""});
    EXPECT_EQ(checkSummary(tally), "检查完成：2 个错误，2 个警告");
}
