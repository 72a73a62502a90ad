// The on/off page: ACT CELL, DEA CELL and MOD PDSCHCFG, one line per named
// cell. Every expected line is written out by hand from the templates.

#include <gtest/gtest.h>

#include "core/app/generators.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using brindle::test::RecordingFeedback;
using Lines = std::vector<std::string>;

namespace {

class OnOff : public ::testing::Test {
protected:
    test::Workspace ws;
    RecordingFeedback fb;
    StringSink box;  // 开关基站_生成脚本编辑框
    bool keep = false;
    std::string power = "122";

    void SetUp() override {
        test::useLibrary(
            ws.session, "a.edb", LibraryKind::Lte,
            {test::cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"}),
             test::cell4G(2, {"", "无站-1", "5", "1005", "50", "1300", "8", "2005"})});
    }

    bool press(std::string_view name, const std::string& names) {
        mml::PageInput input;
        input.sourceText = names;
        input.text = [this](std::string_view unit) {
            return unit == "开关基站_功率编辑框" ? power : std::string();
        };
        input.ticked = [this](std::string_view unit) { return unit == "开关基站_选择框" && keep; };
        return runGenerator(*findGenerator(name), ws.session, input, box, fb);
    }
};

}  // namespace

TEST_F(OnOff, OneLinePerCellAndMissingNamesAreSkipped) {
    EXPECT_TRUE(press("cell-act", "甲-1\r\n\r\n无站-1\r\n无"));
    EXPECT_EQ(box.text(), "ACT CELL:LOCALCELLID=0;{站甲}\r\nACT CELL:LOCALCELLID=5;{}\r\n");
    EXPECT_EQ(fb.texts(), (Lines{"小区不存在！", "无小区不存在！",
                                 "激活脚本已生成！\r\n共生成2行脚本，2个小区不存在。"}));
    EXPECT_EQ(fb.lastMaximum, 4);
    EXPECT_EQ(fb.lastPosition, 4);

    fb.shown.clear();
    EXPECT_TRUE(press("cell-dea", "甲-1"));  // a fresh box: 勾选连续输出 is not ticked
    EXPECT_EQ(box.text(), "DEA CELL:LOCALCELLID=0;{站甲}\r\n");
    EXPECT_EQ(fb.texts(), Lines{"去激活脚本已生成！"});

    power = "-60";  // as typed
    EXPECT_TRUE(press("cell-power", "甲-1"));
    EXPECT_EQ(box.text(), "MOD PDSCHCFG:LOCALCELLID=0,REFERENCESIGNALPWR=-60;{站甲}\r\n");
}

TEST_F(OnOff, ContinuousOutputKeepsEarlierLines) {
    keep = true;
    EXPECT_TRUE(press("cell-act", "甲-1"));
    fb.shown.clear();
    // The closing message follows even when this press found no cell: the box is not empty.
    EXPECT_TRUE(press("cell-dea", "无"));
    EXPECT_EQ(box.text(), "ACT CELL:LOCALCELLID=0;{站甲}\r\n");
    EXPECT_EQ(fb.texts(),
              (Lines{"无小区不存在！", "去激活脚本已生成！\r\n共生成0行脚本，1个小区不存在。"}));
}

TEST_F(OnOff, NothingMadeAndAnEmptyPower) {
    EXPECT_FALSE(press("cell-act", ""));
    EXPECT_EQ(fb.texts(), Lines{"基站名为空，不能生成！"});

    box.append("earlier\r\n");
    fb.shown.clear();
    power = "";
    // The box is emptied first, then the empty power stops the run.
    EXPECT_FALSE(press("cell-power", "甲-1"));
    EXPECT_EQ(box.text(), "");
    EXPECT_EQ(fb.texts(), Lines{"功率值为空，请添写功率值！"});
}
