// The generator registry: the rows the window and the command line rely on.

#include "core/app/generators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using brindle::test::RecordingFeedback;
using Lines = std::vector<std::string>;

TEST(Registry, NamesAndUnitsAreUniqueAndFoundBothWays) {
    std::set<std::pair<std::string_view, bool>> names;
    std::set<std::string_view> units;
    for (const Generator& g : generators()) {
        EXPECT_TRUE(names.insert({g.name, isOneToMany(g)}).second) << g.name;
        EXPECT_TRUE(units.insert(g.unit).second) << g.unit;
        EXPECT_EQ(findGenerator(g.name, isOneToMany(g)), &g);
        EXPECT_EQ(generatorForUnit(g.unit), &g);
        EXPECT_FALSE(g.caption.empty()) << g.name;
        // Only a run of its own may say its own messages instead.
        EXPECT_TRUE(!g.success.empty() || std::holds_alternative<OwnRun>(g.shape)) << g.name;
    }
    EXPECT_EQ(findGenerator("no-such"), nullptr);
    EXPECT_EQ(generatorForUnit(""), nullptr);
}

// Each row's questions are asked in order before the loop, each followed by
// its note; the answers reach the run.
TEST(Registry, QuestionsComeFirstInRowOrder) {
    test::Workspace ws;
    test::writeFile(ws.session.folder.earfcnIni(), "");  // a plan, if an empty one
    RecordingFeedback fb;
    fb.answer(Question::UrbanArea, true);
    fb.answer(Question::ReducedMeasurement, true);
    StringSink pane;
    EXPECT_TRUE(runGenerator(*findGenerator("carrier-add"), ws.session, {}, pane, fb));
    EXPECT_EQ(fb.asked, (std::vector<Question>{Question::UrbanArea, Question::ReducedMeasurement}));
    EXPECT_EQ(fb.texts(),
              (Lines{"是为城区，否为农村", "城区", "是否对加频点测量性能要求设置为降低的？",
                     "添加频点脚本生成成功！！"}));
    EXPECT_EQ(fb.shown[0].title, "城区 OR 农村");
    EXPECT_EQ(fb.shown[2].title, "加频点测量性能要求 降低的");
    EXPECT_TRUE(fb.preset.unanswered.empty());
}

TEST(Registry, QuestionTableIsInEnumOrderWithTexts) {
    for (std::size_t i = 0; i < questions().size(); ++i) {
        const QuestionText& q = questions()[i];
        EXPECT_EQ(static_cast<std::size_t>(q.id), i);
        EXPECT_EQ(&questionText(q.id), &q);
        EXPECT_FALSE(q.text.empty());
        EXPECT_FALSE(q.key.empty());
    }
    EXPECT_EQ(questionText(Question::DeleteLibrary).text, "是否删除工参库： \r\n");
    EXPECT_EQ(questionText(Question::DeleteLibrary).buttons, Buttons::OkCancel);
}

// A run that asks for a unit its front end lacks stops with a program error
// naming the unit (shown as "程序内部错误：…"): it never goes on as if the box
// were empty.
TEST(Registry, AUnitTheFrontEndLacksIsAnErrorNotAnEmptyText) {
    test::Workspace ws;
    test::useLibrary(ws.session, "a.edb", LibraryKind::Lte,
                     {test::cell4G(1, {"站甲", "甲-1", "0"})});
    mml::PageInput input;
    input.sourceText = "甲-1";
    input.ticked = [](std::string_view) { return false; };
    input.text = [](std::string_view) -> std::optional<std::string> { return std::nullopt; };
    for (int unset = 0; unset < 2; ++unset) {
        RecordingFeedback fb;
        StringSink pane;
        try {
            (void)runGenerator(*findGenerator("cell-power"), ws.session, input, pane, fb);
            ADD_FAILURE() << "no error";
        } catch (const mml::MissingUnit& e) {
            EXPECT_EQ(std::string(e.what()), "窗口缺少单元：开关基站_功率编辑框");
        }
        EXPECT_EQ(pane.text(), "");
        EXPECT_EQ(fb.texts(), Lines{});
        input.text = {};  // a front end with no units at all
    }
}

// Every generator counts the names it misses. One that goes on after a miss
// tells each miss as a repeatable message and closes with the lines it made
// and the names it missed, listed in the details with their blanks marked;
// one that stops at a miss tells it plainly and closes with nothing.
TEST(Registry, MissedNamesAreCountedAndListedWhenTheRunCloses) {
    test::Workspace ws;
    test::writeFile(ws.session.folder.earfcnIni(), "");
    test::useLibrary(
        ws.session, "a.edb", LibraryKind::Lte,
        {test::cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"}),
         test::cell4G(2, {"站乙", "乙-1", "1", "1002", "21", "38544", "101", "2002"})});
    test::useLibrary(ws.session, "g.edb", LibraryKind::Gsm,
                     {test::cell2G(1, {"G站", "G1", "4501", "10001", "60", "1", "2"})});
    for (const Generator& g : generators()) {
        SCOPED_TRACE(std::string(g.name));
        RecordingFeedback fb;
        StringSink pane;
        mml::PageInput input;
        input.sourceText = "甲-1\r\n甲-1 ";  // the second with a trailing space
        input.targetText = g.page == Page::Geran ? "G1\r\nG1" : "乙-1\r\n乙-1";
        input.text = [](std::string_view unit) -> std::optional<std::string> {
            return std::string(mml::findPageUnit(unit)->initial);
        };
        input.ticked = [](std::string_view) { return false; };
        const bool completed = runGenerator(g, ws.session, input, pane, fb);
        const std::string wording = g.name == "expansion-bands" ? "小区名不存在！" : "小区不存在！";
        const auto found = std::find_if(fb.shown.begin(), fb.shown.end(),
                                        [&](const auto& s) { return s.text == "甲-1 " + wording; });
        ASSERT_NE(found, fb.shown.end());
        const RecordingFeedback::Shown& miss = *found;
        if (g.onMiss == MissPolicy::StopRun) {
            EXPECT_FALSE(completed);
            EXPECT_FALSE(miss.repeated);
            EXPECT_EQ(&miss, &fb.shown.back());
            continue;
        }
        EXPECT_TRUE(completed);
        EXPECT_TRUE(miss.repeated);
        const long lines =
            static_cast<long>(std::count(pane.text().begin(), pane.text().end(), '\n'));
        EXPECT_EQ(fb.shown.back().text, std::string(g.success) + "\r\n共生成" +
                                            std::to_string(lines) + "行脚本，1个小区不存在。");
        EXPECT_EQ(fb.shown.back().details,
                  "（“·”为空格，“□”为全角空格，“→”为制表符，“\\xHH”为其他控制字符）\r\n"
                  "「甲-1·」\r\n");
    }
}
