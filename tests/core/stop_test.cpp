// Runs the engineer stops: every generator of the registry and every export
// tool, over the sample workspace, stopped at each of the points where it
// asks. A stopped run has made the first part of what the whole run makes,
// nothing after it, and says nothing of having completed.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "core/app/exporttools.h"
#include "core/app/generators.h"
#include "core/app/workflows.h"
#include "core/base/clipboard.h"
#include "core/base/messages.h"
#include "core/export/exportbook.h"
#include "core/export/freqchange.h"
#include "core/export/inheritance.h"
#include "core/export/pcichange.h"
#include "core/export/reduction.h"
#include "core/freqplan/frequencyplan.h"
#include "recordingfeedback.h"
#include "sampleworkspace.h"

using namespace brindle;
using brindle::test::RecordingFeedback;
using Lines = std::vector<std::string>;

namespace {

// What one run left: everything it made, in the order made, what it said,
// and how often it asked whether to stop.
struct Outcome {
    bool completed = false;
    std::string made;
    Lines texts;
    long stopChecks = 0;
    std::size_t fileRequests = 0;
};

// One run, stopped from its stop check number `stopFrom` on (never when unset).
using StoppableRun = std::function<Outcome(std::optional<long> stopFrom)>;

class Stop : public ::testing::Test {
protected:
    test::SampleWorkspace ws;
    Session session{ws.dir.path()};

    void SetUp() override {
        session.current4G = session.folder.mu() / u8"示例网络.edb";
        session.current2G = session.folder.mu2() / u8"示例网络2G.edb";
        RecordingFeedback opening;
        ASSERT_TRUE(openChosenLibraries(session, opening));
    }

    // The whole run first; then the run stopped at each of its stop checks
    // must have made a proper prefix of it (nothing when stopped at once),
    // said a prefix of what it said, never `closing`, and asked for no file.
    static void expectPrefixes(const StoppableRun& run, std::string_view closing) {
        const Outcome whole = run(std::nullopt);
        ASSERT_TRUE(whole.completed);
        ASSERT_GE(whole.stopChecks, 2);
        ASSERT_FALSE(whole.made.empty());
        if (!closing.empty()) {
            EXPECT_NE(std::find(whole.texts.begin(), whole.texts.end(), closing),
                      whole.texts.end());
        }
        for (long k = 0; k < whole.stopChecks; ++k) {
            SCOPED_TRACE("stopped at check " + std::to_string(k));
            const Outcome stopped = run(k);
            EXPECT_FALSE(stopped.completed);
            EXPECT_LT(stopped.made.size(), whole.made.size());
            EXPECT_TRUE(whole.made.starts_with(stopped.made)) << stopped.made;
            if (k == 0) {
                EXPECT_EQ(stopped.made, "");
            }
            ASSERT_LE(stopped.texts.size(), whole.texts.size());
            EXPECT_TRUE(
                std::equal(stopped.texts.begin(), stopped.texts.end(), whole.texts.begin()));
            EXPECT_EQ(std::find(stopped.texts.begin(), stopped.texts.end(), closing),
                      stopped.texts.end());
            EXPECT_EQ(stopped.fileRequests, 0u);
        }
    }
};

Outcome outcome(bool completed, std::string made, const RecordingFeedback& fb) {
    return {completed, std::move(made), fb.texts(), fb.stopChecks, fb.fileRequests.size()};
}

}  // namespace

// With 直出脚本 ticked: a stopped run keeps the lines it made in its buffer
// and has no save step.
TEST_F(Stop, EveryGeneratorOfTheRegistry) {
    const std::string cells4G = "LF_城北大厦-1\r\nLF_南湖公园-1\r\nLF_城北大厦-2\r\n";
    const std::string targets4G = "LF_城北大厦-2\r\nLF_城北大厦-3\r\nLF_南湖公园-1\r\n";
    const std::string targets2G = "城北大厦G1\r\n城北大厦G2\r\n城北大厦G1\r\n";
    for (const Generator& g : generators()) {
        SCOPED_TRACE(std::string(g.name) + (isOneToMany(g) ? " one-to-many" : ""));
        const bool gsm = std::holds_alternative<Pairwise<Cell4G, Cell2G>>(g.shape) ||
                         std::holds_alternative<OneToMany<Cell4G, Cell2G>>(g.shape);
        mml::PageInput input;
        input.sourceText = cells4G;
        input.targetText = gsm ? targets2G : targets4G;
        input.twoWay = [] { return true; };
        input.directOutput = [] { return true; };
        input.text = [](std::string_view) { return std::string("20"); };
        input.ticked = [](std::string_view unit) { return unit != "负载均衡优化_单选框_PRB模式"; };
        const StoppableRun run = [&](std::optional<long> stopFrom) {
            RecordingFeedback fb;
            fb.stopFrom = stopFrom;
            for (Question q : g.questions) fb.answer(q, true);
            for (OutputBuffer b : {OutputBuffer::General, OutputBuffer::Carrier})
                session.buffer(b)->clear();
            StringSink pane;
            test::CapturingClipboard clipboard;
            const bool completed = runGenerator(g, session, input, pane, fb, &clipboard);
            return outcome(completed,
                           pane.text() + *session.buffer(OutputBuffer::General) +
                               *session.buffer(OutputBuffer::Carrier) + clipboard.text,
                           fb);
        };
        // The load-balancing page says its own closing message.
        expectPrefixes(run, g.success.empty() ? msg::kCopiedPasteNow : g.success);
    }
}

// Each tool runs its window's steps; what they put in the window's boxes
// counts as made, in the order of the steps.
TEST_F(Stop, EveryExportTool) {
    using namespace brindle::exports;
    auto opened = ExportBook::open(ws.dir / "workbooks" / u8"示例网络MML报文.xlsx");
    ASSERT_TRUE(opened) << opened.error();
    ExportBook& book = **opened;
    session.reload2GSettings();
    const FrequencyPlan plan(session.folder.earfcnIni());
    const Library& lte = *session.library4G;
    const Library* gsm = session.library2G.get();
    using Steps = std::function<bool(StringSink & box, Feedback & fb)>;
    struct Tool {
        std::string_view name;
        std::string_view closing;
        Steps steps;
    };
    const Tool tools[] = {
        {"pci-change", msg::kPciScriptDone,
         [&](StringSink& box, Feedback& fb) {
             PciLabels labels;
             (void)queryPciCells(&lte, "LF_城北大厦-1", "LF_城北大厦-2", labels, fb);
             const PciChange change{"LF_城北大厦-1", "20", "LF_城北大厦-2", "21", labels.oldPci1,
                                    labels.oldPci2,  "3"};
             return generatePciChange(lte, book, change, box, fb).completed;
         }},
        {"inherit", msg::kInheritDone,
         [&](StringSink& box, Feedback& fb) {
             return generateInheritance(lte, gsm, plan, session.settings2G, book,
                                        {"LF_城北大厦-2", "LF_城北大厦-1"}, box, fb);
         }},
        {"reduce", msg::kReduceDone,
         [&](StringSink& box, Feedback& fb) {
             ReductionLists lists;
             const bool filled = fillReductionLists(lte, book, "LF_城北大厦-1", lists, fb);
             box.append(lists.sources + lists.cis);
             if (!filled) return false;
             lists.carriers = "38400\r\n38950\r\n";
             const auto script =
                 generateReduction(lte, gsm, session.settings2G, "LF_城北大厦-1", lists, true, fb);
             if (script) box.append(script->script + script->rollback);
             return script.has_value();
         }},
        {"freq-change",
         {},
         [&](StringSink& box, Feedback& fb) {
             return generateFrequencyChange(lte, book, "LF_大学城西-2", box, fb);
         }},
    };
    for (const ExportTool& row : exportTools()) {
        SCOPED_TRACE(std::string(row.name));
        const auto tool = std::find_if(std::begin(tools), std::end(tools),
                                       [&](const Tool& t) { return t.name == row.name; });
        ASSERT_NE(tool, std::end(tools)) << "no steps for this tool";
        expectPrefixes(
            [&](std::optional<long> stopFrom) {
                RecordingFeedback fb;
                fb.stopFrom = stopFrom;
                StringSink box;
                const bool completed = tool->steps(box, fb);
                return outcome(completed, box.text(), fb);
            },
            tool->closing);
    }
}
