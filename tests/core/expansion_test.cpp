// The capacity-expansion page: band labels, sector keys and the scan over
// the library in file order. Every expected line is written out by hand.

#include <gtest/gtest.h>

#include <random>

#include "core/app/generators.h"
#include "core/base/flatindex.h"
#include "core/base/textcodec.h"
#include "core/mml/expansion.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using brindle::test::gbk;
using namespace brindle;
using brindle::test::cell4G;
using brindle::test::RecordingFeedback;
using Texts = std::vector<std::string>;

namespace {

// Records the pauses too.
class PacedFeedback : public RecordingFeedback {
public:
    std::vector<int> paces;
    void pace(int milliseconds) override { paces.push_back(milliseconds); }
};

class Expansion : public ::testing::Test {
protected:
    test::Workspace ws;
    PacedFeedback fb;
    StringSink pane;

    // 基站名, 小区名, 本地小区标识, 基站号, 小区标识, 频点, 物理小区标识, TAC号
    void use(const std::vector<Record>& records) {
        test::useLibrary(ws.session, "k.edb", LibraryKind::Lte, records);
    }

    // Presses 生成 with `names` in the list box; gives the output box's text.
    const std::string& press(const std::string& names) {
        const Generator* g = findGenerator("expansion-bands");
        if (!g) throw std::invalid_argument("no generator expansion-bands");
        mml::PageInput input;
        input.sourceText = names;
        EXPECT_TRUE(runGenerator(*g, ws.session, input, pane, fb));
        return pane.text();
    }
};

// A site whose sector 甲 has three cells listed one after another, a second
// sector, and the next site.
const std::vector<Record> kEastSite = {
    cell4G(1, {"城东", "城东甲", "0", "5001", "1", "38400", "1", "100"}),
    cell4G(2, {"城东", "城东乙", "1", "5001", "2", "38400", "2", "100"}),
    cell4G(3, {"城东", "城东F甲", "2", "5001", "3", "38544", "3", "100"}),
    cell4G(4, {"城东", "城东D甲", "3", "5001", "4", "37900", "4", "100"}),
    cell4G(5, {"城西", "城西甲", "0", "5002", "1", "38400", "5", "100"}),
};

}  // namespace

TEST(ExpansionBands, EveryRowOfTheBandTable) {
    const std::pair<const char*, const char*> table[] = {
        {"38400", "F1"},      {"38544", "F2"},      {"38496", "F3"},      {"37900", "D1"},
        {"38098", "D2"},      {"40936", "D3"},      {"38950", "E1"},      {"39148", "E2"},
        {"39292", "E3"},      {"3683", "FDD900M"},  {"1250", "FDD1800M"}, {"38350", "F1"},
        {"38500", "F1"},      {"38450", "F1"},      {"36275", "A"},       {"3656", "FDD900M"},
        {"1425", "FDD1800M"}, {"1300", "FDD1800M"},
    };
    for (const auto& [earfcn, label] : table) EXPECT_EQ(mml::bandLabel(earfcn), label) << earfcn;
}

TEST(ExpansionBands, AnyOtherTextIsUnknown) {
    for (const char* earfcn :
         {"", "38401", " 38400", "38400 ", "038400", "3840", "38400.0", "F1", "1250\r", "3683 "})
        EXPECT_EQ(mml::bandLabel(earfcn), "未知") << earfcn;
}

TEST(ExpansionBands, TheSectorKeyIsTheLastTwoGbkBytes) {
    EXPECT_EQ(mml::sectorKey("城东甲"), gbk("甲"));
    EXPECT_EQ(mml::sectorKey("CD-HZ-01"), "01");
    EXPECT_EQ(mml::sectorKey("城东A1"), "A1");
    // One ASCII character after a Chinese one: the second byte of the
    // Chinese character and the ASCII one.
    EXPECT_EQ(mml::sectorKey("城东1"), gbk("东").substr(1) + "1");
    EXPECT_EQ(mml::sectorKey("甲"), gbk("甲"));
    EXPECT_EQ(mml::sectorKey("A"), "A");
    EXPECT_EQ(mml::sectorKey(""), "");
}

TEST_F(Expansion, ASectorListedTogetherGivesEachOfItsBands) {
    use(kEastSite);
    EXPECT_EQ(press("城东甲"), "城东甲|F1+F2+D1\r\n");
    EXPECT_EQ(fb.texts(), Texts{"好了"});
    EXPECT_EQ(fb.paces, (std::vector<int>{100, 100, 100}));
    EXPECT_EQ(fb.lastPosition, 1);
    EXPECT_EQ(fb.lastMaximum, 1);
}

TEST_F(Expansion, EveryNameItsLineInOrder) {
    use(kEastSite);
    EXPECT_EQ(press("城东乙\r\n城西甲\r\n城东D甲"),
              "城东乙|F1\r\n城西甲|F1\r\n城东D甲|F1+F2+D1\r\n");
    EXPECT_EQ(fb.texts(), Texts{"好了"});
    EXPECT_EQ(fb.lastPosition, 3);
    EXPECT_EQ(fb.lastMaximum, 3);
}

TEST_F(Expansion, TheWholeTableInOneSector) {
    const char* earfcns[] = {"38400", "38544", "38496", "37900", "38098", "40936", "38950",
                             "39148", "39292", "3683",  "1250",  "38350", "38500", "38450",
                             "36275", "3656",  "1425",  "1300",  "38401"};
    std::vector<Record> records;
    std::int32_t id = 0;
    for (const char* earfcn : earfcns) {
        ++id;
        records.push_back(cell4G(id, {"全站", "全站" + std::to_string(id) + "丙", "0", "9001",
                                      std::to_string(id), earfcn, "1", "100"}));
    }
    use(records);
    EXPECT_EQ(press("全站1丙"),
              "全站1丙|F1+F2+F3+D1+D2+D3+E1+E2+E3+FDD900M+FDD1800M+F1+F1+F1+A+FDD900M+"
              "FDD1800M+FDD1800M+未知\r\n");
    EXPECT_EQ(fb.paces.size(), 19u);
}

TEST_F(Expansion, AnUnlistedEarfcnIsUnknown) {
    use({cell4G(1, {"北", "北1甲", "0", "6001", "1", "38401", "1", "100"}),
         cell4G(2, {"北", "北2甲", "1", "6001", "2", "1250", "2", "100"}),
         cell4G(3, {"北", "北3甲", "2", "6001", "3", "", "3", "100"})});
    EXPECT_EQ(press("北2甲"), "北2甲|未知+FDD1800M+未知\r\n");
}

// 基站号 is first matched by containment: site 7001 contains 700.
TEST_F(Expansion, ALongerSiteNumberListedFirstEndsTheScan) {
    use({cell4G(1, {"南", "南甲", "0", "7001", "1", "38400", "1", "100"}),
         cell4G(2, {"东", "东甲", "0", "700", "1", "37900", "2", "100"}),
         cell4G(3, {"东", "东F甲", "1", "700", "2", "38400", "3", "100"})});
    EXPECT_EQ(press("东甲"), "东甲|\r\n");
    EXPECT_EQ(fb.texts(), Texts{"好了"});
    EXPECT_TRUE(fb.paces.empty());
}

TEST_F(Expansion, ALongerSiteNumberWithoutTheSectorIsPassedOver) {
    use({cell4G(1, {"南", "南乙", "0", "7001", "1", "38400", "1", "100"}),
         cell4G(2, {"东", "东甲", "0", "700", "1", "37900", "2", "100"}),
         cell4G(3, {"东", "东F甲", "1", "700", "2", "38400", "3", "100"}),
         cell4G(4, {"南", "南甲", "1", "7001", "2", "38544", "4", "100"})});
    // From 南乙 (7001) the sector search reaches 东甲; after 东F甲 it reaches
    // 南甲, of site 7001, which ends the scan.
    EXPECT_EQ(press("东甲"), "东甲|D1+F1\r\n");
}

TEST_F(Expansion, TheScanStopsAtTheFirstSectorMatchOfAnotherSite) {
    use({cell4G(1, {"站", "站甲", "0", "3001", "1", "38400", "1", "100"}),
         cell4G(2, {"站", "站乙", "1", "3001", "2", "38544", "2", "100"}),
         cell4G(3, {"他", "他甲", "0", "3002", "1", "38544", "3", "100"}),
         cell4G(4, {"站", "站F甲", "2", "3001", "3", "37900", "4", "100"})});
    // From 站乙 the sector search reaches 他甲 of site 3002 before 站F甲.
    EXPECT_EQ(press("站甲"), "站甲|F1\r\n");
    // Another site's cells that the site search does not land on are passed over.
    pane.clear();
    EXPECT_EQ(press("他甲"), "他甲|F2\r\n");
}

TEST_F(Expansion, AnAsciiSectorKey) {
    use({cell4G(1, {"CD", "CD-HZ-01", "0", "4001", "1", "38400", "1", "100"}),
         cell4G(2, {"CD", "CD-HZ-02", "1", "4001", "2", "38400", "2", "100"}),
         cell4G(3, {"CD", "CD-HZ-F01", "2", "4001", "3", "1300", "3", "100"}),
         cell4G(4, {"CD", "CD-HZ-F02", "3", "4001", "4", "1425", "4", "100"})});
    EXPECT_EQ(press("CD-HZ-01\r\nCD-HZ-F02"), "CD-HZ-01|F1+FDD1800M\r\nCD-HZ-F02|F1+FDD1800M\r\n");
}

TEST_F(Expansion, AMissingNameIsShownAndTheRunGoesOn) {
    use(kEastSite);
    EXPECT_EQ(press("无此小区\r\n城东甲\r\n城东"), "城东甲|F1+F2+D1\r\n");
    EXPECT_EQ(fb.texts(), (Texts{"无此小区小区名不存在！", "城东小区名不存在！",
                                 "好了\r\n共生成1行脚本，2个小区不存在。"}));
    EXPECT_EQ(fb.lastMaximum, 3);
}

TEST_F(Expansion, TheOutputBoxKeepsEarlierLines) {
    use(kEastSite);
    press("城东甲");
    EXPECT_EQ(press("城东乙\r\n城东甲"), "城东甲|F1+F2+D1\r\n城东乙|F1\r\n城东甲|F1+F2+D1\r\n");
    EXPECT_EQ(fb.texts(), (Texts{"好了", "好了"}));
}

TEST_F(Expansion, AnEmptyListSaysItIsDone) {
    use(kEastSite);
    EXPECT_EQ(press(""), "");
    EXPECT_EQ(fb.texts(), Texts{"好了"});
}

// The sector key is found in the GBK bytes of each name, across character
// boundaries ("凹住" is B0 BC D7 A1, holding 甲's BC D7); a name GBK cannot
// hold is compared in its UTF-8 bytes. Every name of a site asks for the
// same records again, and gets the same answer.
TEST_F(Expansion, SectorKeysAreFoundInTheGbkBytesOfEachName) {
    use({cell4G(1, {"东", "东甲", "0", "8001", "1", "38400", "1", "100"}),
         cell4G(2, {"东", "东凹住", "1", "8001", "2", "38544", "2", "100"}),
         cell4G(3, {"东", "东乙", "2", "8001", "3", "37900", "3", "100"}),
         cell4G(4, {"东", "东F😀", "3", "8001", "4", "38098", "4", "100"}),
         cell4G(5, {"东", "东😀", "4", "8001", "5", "40936", "5", "100"}),
         cell4G(6, {"东", "DX-1", "5", "8001", "6", "38950", "6", "100"})});
    EXPECT_EQ(press("东甲\r\n东😀\r\n东凹住\r\n东甲\r\n东乙"),
              "东甲|F1+F2\r\n东😀|D2+D3\r\n东凹住|F2\r\n东甲|F1+F2\r\n东乙|D1\r\n");
}

// Random libraries (seeds fixed, shown on a failure) whose 基站号 contain one
// another and whose names share sector keys, in GBK and in ASCII: the site
// index gives each cell's group exactly when no 基站号 is longer, and the
// run through the index gives every cell's bands as the plain scan does;
// with real hashes and with every hash equal.
TEST(ExpansionBands, TheSiteIndexAgreesWithTheScan) {
    const auto compare = [](unsigned seed, int records) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const auto pick = [&](std::initializer_list<std::string_view> texts) {
            return std::string(texts.begin()[random() % texts.size()]);
        };
        std::vector<Record> cells;
        for (int i = 0; i < records; ++i)
            cells.push_back(
                cell4G(i + 1, {"站", pick({"北", "南", "北F"}) + pick({"甲", "乙", "-1"}), "0",
                               pick({"", "7", "70", "700", "701", "17"}), "0",
                               pick({"38400", "37900", "1250", "1"}), "0", "0"}));
        const Library library("x.edb", LibraryKind::Lte, cells,
                              std::vector<std::int64_t>(cells.size()));
        const mml::SiteIndex index(library);
        std::size_t longest = 0;
        for (const Record& r : cells)
            longest = std::max(longest, r.fields[fieldIndex(Field4G::EnodebId)].size());
        RecordingFeedback fb;
        for (std::size_t p = 0; p < cells.size(); ++p) {
            const std::string& site = cells[p].fields[fieldIndex(Field4G::EnodebId)];
            const auto group = index.containingSiteOf(p);
            ASSERT_EQ(group.has_value(), site.size() == longest) << p;
            if (group) {
                std::vector<std::uint32_t> scanned;
                for (std::size_t q = 0; q < cells.size(); ++q)
                    if (cells[q].fields[fieldIndex(Field4G::EnodebId)] == site)
                        scanned.push_back(static_cast<std::uint32_t>(q));
                ASSERT_EQ(std::vector<std::uint32_t>(group->begin(), group->end()), scanned) << p;
            }
            ASSERT_EQ(mml::sectorBands(library, p, fb, 0, &index),
                      mml::sectorBands(library, p, fb, 0, nullptr))
                << p;
        }
    };
    for (unsigned seed = 1; seed <= 4; ++seed) compare(seed, 400);
    const EqualHashesForTest equal;
    for (unsigned seed = 5; seed <= 6; ++seed) compare(seed, 150);
}
