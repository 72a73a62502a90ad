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

// A generator without a direct-output buffer never reaches for one; the
// 4G page's buffers are the general one and the carrier one.
TEST(Registry, BuffersOfThe4GPage) {
    for (const Generator& g : generators()) {
        if (g.page != Page::Lte) continue;
        const OutputBuffer expected =
            g.name == "carrier-add" ? OutputBuffer::Carrier : OutputBuffer::General;
        EXPECT_EQ(g.buffer, expected) << g.name;
    }
}
