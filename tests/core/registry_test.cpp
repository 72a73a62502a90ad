// The generator registry: the rows the window and the command line rely on.

#include "core/app/generators.h"

#include <gtest/gtest.h>

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
