// The run loops by shape, with test templates that name the cells they got,
// so each line shows which pair produced it.

#include "core/mml/run.h"

#include <gtest/gtest.h>

#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using brindle::test::RecordingFeedback;
using Lines = std::vector<std::string>;

namespace {

template <class A, class B>
std::string pairLine(const A& owner, const B& other, const mml::RunContext&) {
    return std::string(owner.小区名) + ">" + std::string(other.小区名) + "\r\n";
}

std::string cellLine(const Cell4G& cell, std::string_view value) {
    return std::string(cell.小区名) + "=" + std::string(value) + "\r\n";
}

bool sameSite(const Cell4G& a, const Cell4G& b) {
    return a.基站号 == b.基站号;
}

class Runs : public ::testing::Test {
protected:
    test::Workspace ws;
    RecordingFeedback fb;
    StringSink pane;
    std::string buffer;
    bool twoWay = false;
    bool direct = false;

    void SetUp() override {
        test::useLibrary(
            ws.session, "a.edb", LibraryKind::Lte,
            {test::cell4G(1, {"站A", "A", "0", "1"}), test::cell4G(2, {"站B", "B", "0", "2"}),
             test::cell4G(3, {"站C", "C", "1", "1"})});
        test::useLibrary(ws.session, "g.edb", LibraryKind::Gsm,
                         {test::cell2G(1, {"G站", "X"}), test::cell2G(2, {"G站", "Y"}),
                          test::cell2G(3, {"G站", "Z"})});
    }

    mml::RunContext context() {
        return {
            pane,    fb, ws.session.library4G.get(), ws.session.library2G.get(), nullptr, nullptr,
            &buffer, {}};
    }
    mml::PageInput input(std::string sources, std::string targets, std::string value = {}) {
        return {std::move(sources),
                std::move(targets),
                [this] { return twoWay; },
                [this] { return direct; },
                [value](std::string_view unit) {
                    return unit == mml::units::kPower.name ? value : std::string();
                },
                {}};
    }
};

const mml::PairTemplate<Cell4G, Cell4G> k44{pairLine<Cell4G, Cell4G>};
const mml::PairTemplate<Cell4G, Cell2G> k42{pairLine<Cell4G, Cell2G>};

}  // namespace

TEST_F(Runs, PairwiseSkipsAPairWithAMissingCellAndGoesOn) {
    twoWay = true;
    EXPECT_TRUE(mml::runPairwise(k44, MissPolicy::SkipPair, context(),
                                 input("A\r\n无\r\nB\r\nC\r\nC", "B\r\n也无\r\n无\r\nA")));
    EXPECT_EQ(pane.text(), "A>B\r\nB>A\r\nC>A\r\nA>C\r\n");
    // The target of a missing source is never looked up; a source past the
    // end of the targets has an empty target name.
    EXPECT_EQ(fb.texts(), (Lines{"无小区不存在！", "无小区不存在！", "小区不存在！"}));
    EXPECT_EQ(fb.lastMaximum, 5);
    EXPECT_EQ(fb.lastPosition, 5);  // misses advance the bar too
}

TEST_F(Runs, PairwiseSkipTestDropsThePairWithoutAdvancingTheBar) {
    mml::PairTemplate<Cell4G, Cell4G> pair = k44;
    pair.skip = sameSite;
    EXPECT_TRUE(mml::runPairwise(pair, MissPolicy::SkipPair, context(), input("A\r\nA", "C\r\nB")));
    EXPECT_EQ(pane.text(), "A>B\r\n");
    EXPECT_EQ(fb.lastPosition, 1);
}

TEST_F(Runs, PairwiseStopRunEndsAtTheFirstMissAndKeepsEarlierLines) {
    EXPECT_FALSE(mml::runPairwise(k42, MissPolicy::StopRun, context(),
                                  input("A\r\nB\r\nC", "X\r\n无\r\nZ")));
    EXPECT_EQ(pane.text(), "A>X\r\n");
    EXPECT_EQ(fb.texts(), Lines{"无小区不存在！"});
    twoWay = true;  // a 4G×2G pair has no reverse line
    pane.text().clear();
    EXPECT_TRUE(mml::runPairwise(k42, MissPolicy::StopRun, context(), input("C", "Z")));
    EXPECT_EQ(pane.text(), "C>Z\r\n");
}

TEST_F(Runs, OneToManyIsSourceMajorAndStopsAtAMissingTarget) {
    EXPECT_TRUE(
        mml::runOneToMany(k42, MissPolicy::StopRun, context(), input("A\r\nB", "X\r\nY\r\nZ")));
    EXPECT_EQ(pane.text(), "A>X\r\nA>Y\r\nA>Z\r\nB>X\r\nB>Y\r\nB>Z\r\n");
    EXPECT_EQ(fb.lastMaximum, 2);
    EXPECT_EQ(fb.lastPosition, 2);

    pane.text().clear();
    EXPECT_FALSE(
        mml::runOneToMany(k42, MissPolicy::StopRun, context(), input("A\r\nB", "X\r\n无")));
    EXPECT_EQ(pane.text(), "A>X\r\n");
    EXPECT_EQ(fb.texts(), Lines{"无小区不存在！"});
}

TEST_F(Runs, OneToManyWithNoTargetsStillLooksEverySourceUp) {
    EXPECT_FALSE(mml::runOneToMany(k42, MissPolicy::StopRun, context(), input("A\r\n无\r\nB", "")));
    EXPECT_EQ(pane.text(), "");
    EXPECT_EQ(fb.texts(), Lines{"无小区不存在！"});
    EXPECT_EQ(fb.lastPosition, 1);
}

TEST_F(Runs, SingleListSkipsOrStopsAtAMissingName) {
    const mml::CellTemplate<Cell4G> line{cellLine, &mml::units::kPower};
    EXPECT_TRUE(
        mml::runSingleList(line, MissPolicy::SkipName, context(), input("A\r\n\r\nC", "", "-60")));
    EXPECT_EQ(pane.text(), "A=-60\r\nC=-60\r\n");
    pane.text().clear();
    EXPECT_FALSE(
        mml::runSingleList(line, MissPolicy::StopRun, context(), input("A\r\n\r\nC", "", "1")));
    EXPECT_EQ(pane.text(), "A=1\r\n");
    EXPECT_EQ(fb.texts(), (Lines{"小区不存在！", "小区不存在！"}));
}

TEST_F(Runs, DirectOutputGoesToTheBufferAndTheReverseLineFollowsItsForwardLine) {
    twoWay = true;
    int asked = 0;
    // 直出脚本 is cleared while the first pair is being written.
    mml::PageInput in = input("A\r\nB", "B\r\nC");
    in.directOutput = [&] { return ++asked == 1; };
    EXPECT_TRUE(mml::runPairwise(k44, MissPolicy::SkipPair, context(), in));
    EXPECT_EQ(buffer, "A>B\r\nB>A\r\n");
    EXPECT_EQ(pane.text(), "B>C\r\nC>B\r\n");

    // A generator without a buffer writes to the pane whatever is ticked.
    direct = true;
    pane.text().clear();
    mml::RunContext noBuffer = context();
    noBuffer.buffer = nullptr;
    EXPECT_TRUE(mml::runPairwise(k44, MissPolicy::SkipPair, noBuffer, input("A", "B")));
    EXPECT_EQ(pane.text(), "A>B\r\nB>A\r\n");
}
