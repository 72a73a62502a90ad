// The four export-workbook tools: PCI change, neighbour inheritance,
// capacity reduction and frequency-change cleanup. Every expected line is
// written out by hand from the command templates.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "core/base/namelist.h"
#include "core/base/textcodec.h"
#include "core/export/exportbook.h"
#include "core/export/freqchange.h"
#include "core/export/inheritance.h"
#include "core/export/pcichange.h"
#include "core/export/reduction.h"
#include "core/freqplan/frequencyplan.h"
#include "core/library/store.h"
#include "exportworkbook.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using namespace brindle::exports;
using brindle::test::RecordingFeedback;
using Texts = std::vector<std::string>;

namespace {

namespace fs = std::filesystem;

// ---- fixtures ------------------------------------------------------------------

using Rows = std::vector<std::vector<std::string>>;

// The sheets from rows of the columns the tools use; the other columns of an
// export get ordinary values.
// Relations: NAME, 本地小区标识, 基站标识, 小区标识.
test::ExportSheet intraSheet(Rows rows, bool numbersAsText = false) {
    for (auto& r : rows) r.insert(r.begin() + 2, {"460", "00"});
    test::ExportSheet sheet = test::intraRelationSheet(std::move(rows));
    sheet.numbersAsText = numbersAsText;
    return sheet;
}
test::ExportSheet interSheet(Rows rows, bool numbersAsText = false) {
    test::ExportSheet sheet = intraSheet(std::move(rows), numbersAsText);
    sheet.name = test::interRelationSheet({}).name;
    return sheet;
}
// GSM relations: NAME, 本地小区标识, GERAN小区标识, 位置区域码.
test::ExportSheet geranSheet(Rows rows) {
    for (auto& r : rows) r = {r[0], r[1], "460", "00", r[3], r[2]};
    return test::geranRelationSheet(std::move(rows));
}
// External cells: NAME, 基站标识, 小区标识, 物理小区标识.
test::ExportSheet externalSheet(Rows rows, bool numbersAsText = false) {
    for (auto& r : rows) r = {r[0], "460", "00", r[1], r[2], "38400", r[3]};
    test::ExportSheet sheet = test::externalCellSheet(std::move(rows));
    sheet.numbersAsText = numbersAsText;
    return sheet;
}

std::shared_ptr<Library> memoryLibrary(LibraryKind kind, std::vector<Record> records) {
    std::vector<std::int64_t> rowids(records.size());
    std::iota(rowids.begin(), rowids.end(), 1);
    return std::make_shared<Library>("memory.edb", kind, std::move(records), std::move(rowids));
}

// The records of a library, to write them to a file.
std::vector<Record> copies(const Library& library) {
    std::vector<Record> records;
    for (std::size_t i = 0; i < library.count(); ++i) records.push_back(library.at(i).toRecord());
    return records;
}

class ExportTools : public ::testing::Test {
protected:
    test::TempDir dir;
    RecordingFeedback fb;
    StringSink box;
    const Settings2G settings2G{"512", "3", "GSM_dcs1800", "R99", "CFG"};
    std::shared_ptr<Library> lte, gsm;
    std::unique_ptr<ExportBook> book;

    void SetUp() override {
        // 基站名, 小区名, 本地小区标识, 基站号, 小区标识, 频点, 物理小区标识, TAC号
        lte = memoryLibrary(
            LibraryKind::Lte,
            {test::cell4G(1, {"站甲", "甲-1", "0", "1001", "1", "38400", "100", "2001"}),
             test::cell4G(2, {"站甲", "甲-2", "1", "1001", "2", "38544", "100", "2001"}),
             test::cell4G(3, {"站乙", "乙-1", "5", "1002", "1", "38400", "200", "2002"}),
             test::cell4G(4, {"站丙", "丙'1", "3", "1003", "11", "1850", "300", "2003"}),
             test::cell4G(5, {"站甲", "甲-新", "2", "1001", "3", "38544", "100", "2001"})});
        // 基站名, 小区名, 小区LAC, 小区CI, BCCH频点, 小区网络色码, 小区基站色码
        gsm = memoryLibrary(LibraryKind::Gsm,
                            {test::cell2G(1, {"G站", "G1b", "4509", "10001", "65", "5", "6"}),
                             test::cell2G(2, {"G站", "G1", "4501", "10001", "60", "1", "2"}),
                             test::cell2G(3, {"G站", "G2", "4502", "10002", "61", "3", "4"})});
    }

    void openBook(const std::vector<test::ExportSheet>& sheets) {
        const fs::path path = dir / "export.xlsx";
        test::writeExportWorkbook(path, sheets);
        auto opened = ExportBook::open(path);
        ASSERT_TRUE(opened) << opened.error();
        book = std::move(opened).value();
    }
};

// ---- neighbour inheritance ------------------------------------------------------------

class Inherit : public ExportTools {
protected:
    void SetUp() override {
        ExportTools::SetUp();
        test::writeFile(dir / "EARFCN.ini",
                        *codec::toGbk("[其它项]\r\n最低接收电平=-64\r\n"
                                      "[频点1设置]\r\n频点=38400\r\n优先级=7\r\n测试带宽=MBW100\r\n"
                                      "切换事件=A4\r\n"
                                      "[频点2设置]\r\n频点=38544\r\n优先级=6\r\n测试带宽=MBW50\r\n"
                                      "切换事件=A3\r\n"
                                      "[频点3设置]\r\n频点=38400\r\n优先级=5\r\n测试带宽=MBW75\r\n"
                                      "切换事件=A5\r\n")
                             .text);
        plan = std::make_unique<FrequencyPlan>(dir / "EARFCN.ini");
    }

    // 甲-新 inherits 甲-1 (eNodeB 1001, cell 1, NE 站甲, local cell 0). The
    // intra sheet holds numbers as numbers, the inter sheet as text.
    void openFullBook() {
        openBook({intraSheet({{"站乙", "5", "1001", "1"},
                              {"站无", "9", "1001", "1"},
                              {"站乙", "5", "1002", "1"},  // towards 乙-1 itself: not 甲-1's
                              {"站甲", "1", "1001", "1"}}),
                  interSheet({{"站丙", "3", "1001", "1"}}, true),
                  geranSheet({{"站甲", "0", "10001", "4501"},
                              {"站甲", "0", "10002", "9999"},
                              {"站甲", "0", "10003", "4503"},
                              {"站甲", "1", "10001", "4501"},  // another local cell
                              {"站甲", "0", "10002", "4502"}})});
    }

    bool run(const Library* library2G, std::string newCell = "甲-新",
             std::string fromCell = "甲-1") {
        return generateInheritance(*lte, library2G, *plan, settings2G, *book,
                                   {std::move(newCell), std::move(fromCell)}, box, fb);
    }

    std::unique_ptr<FrequencyPlan> plan;
};

// Rows resolve to 乙-1 (inter), 甲-2 (intra, same eNodeB and PCI as 甲-新)
// and 丙'1 (inter sheet, a carrier no section lists).
const std::string kInheritedLte =
    // frequency block: 38544 takes section 2; 38400 the last of sections 1
    // and 3; 1850 keeps the last settings found (38544's)
    "ADD EUTRANINTERNFREQ:LOCALCELLID=5,DLEARFCN=38544,ULEARFCNCFGIND=NOT_CFG,"
    "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=6,SPEEDDEPENDSPCFGIND=NOT_CFG,"
    "MEASBANDWIDTH=MBW50,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=EventA3,"
    "QQUALMINCFGIND=NOT_CFG;{站乙}\r\n"
    "ADD EUTRANINTERNFREQ:LOCALCELLID=2,DLEARFCN=38400,ULEARFCNCFGIND=NOT_CFG,"
    "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=5,SPEEDDEPENDSPCFGIND=NOT_CFG,"
    "MEASBANDWIDTH=MBW75,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=EventA5,"
    "QQUALMINCFGIND=NOT_CFG;{站甲}\r\n"
    "ADD EUTRANINTERNFREQ:LOCALCELLID=1,DLEARFCN=38544,ULEARFCNCFGIND=NOT_CFG,"
    "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=6,SPEEDDEPENDSPCFGIND=NOT_CFG,"
    "MEASBANDWIDTH=MBW50,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=EventA3,"
    "QQUALMINCFGIND=NOT_CFG;{站甲}\r\n"
    "ADD EUTRANINTERNFREQ:LOCALCELLID=2,DLEARFCN=38544,ULEARFCNCFGIND=NOT_CFG,"
    "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=6,SPEEDDEPENDSPCFGIND=NOT_CFG,"
    "MEASBANDWIDTH=MBW50,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=EventA3,"
    "QQUALMINCFGIND=NOT_CFG;{站甲}\r\n"
    "ADD EUTRANINTERNFREQ:LOCALCELLID=3,DLEARFCN=38544,ULEARFCNCFGIND=NOT_CFG,"
    "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=6,SPEEDDEPENDSPCFGIND=NOT_CFG,"
    "MEASBANDWIDTH=MBW50,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=EventA3,"
    "QQUALMINCFGIND=NOT_CFG;{站丙}\r\n"
    "ADD EUTRANINTERNFREQ:LOCALCELLID=2,DLEARFCN=1850,ULEARFCNCFGIND=NOT_CFG,"
    "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=6,SPEEDDEPENDSPCFGIND=NOT_CFG,"
    "MEASBANDWIDTH=MBW50,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=EventA3,"
    "QQUALMINCFGIND=NOT_CFG;{站甲}\r\n"
    // external-cell block
    "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=3,DLEARFCN=38544,"
    "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=100,TAC=2001,CELLNAME=\"甲-新\";{站乙}\r\n"
    "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1002,CELLID=1,DLEARFCN=38400,"
    "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=200,TAC=2002,CELLNAME=\"乙-1\";{站甲}\r\n"
    "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=3,DLEARFCN=38544,"
    "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=100,TAC=2001,CELLNAME=\"甲-新\";{站甲}\r\n"
    "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=2,DLEARFCN=38544,"
    "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=100,TAC=2001,CELLNAME=\"甲-2\";{站甲}\r\n"
    "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=3,DLEARFCN=38544,"
    "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=100,TAC=2001,CELLNAME=\"甲-新\";{站丙}\r\n"
    "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1003,CELLID=11,DLEARFCN=1850,"
    "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=300,TAC=2003,CELLNAME=\"丙'1\";{站甲}\r\n"
    // relation block: no overlap parameters between 甲-2 and 甲-新 although
    // they share eNodeB and PCI
    "ADD EUTRANINTERFREQNCELL:LOCALCELLID=5,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=3,"
    "LOCALCELLNAME=\"乙-1\",NEIGHBOURCELLNAME=\"甲-新\";{站乙}\r\n"
    "ADD EUTRANINTERFREQNCELL:LOCALCELLID=2,MCC=\"460\",MNC=\"00\",ENODEBID=1002,CELLID=1,"
    "LOCALCELLNAME=\"甲-新\",NEIGHBOURCELLNAME=\"乙-1\";{站甲}\r\n"
    "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=1,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=3,"
    "LOCALCELLNAME=\"甲-2\",NEIGHBOURCELLNAME=\"甲-新\";{站甲}\r\n"
    "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=2,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=2,"
    "LOCALCELLNAME=\"甲-新\",NEIGHBOURCELLNAME=\"甲-2\";{站甲}\r\n"
    "ADD EUTRANINTERFREQNCELL:LOCALCELLID=3,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=3,"
    "LOCALCELLNAME=\"丙'1\",NEIGHBOURCELLNAME=\"甲-新\";{站丙}\r\n"
    "ADD EUTRANINTERFREQNCELL:LOCALCELLID=2,MCC=\"460\",MNC=\"00\",ENODEBID=1003,CELLID=11,"
    "LOCALCELLNAME=\"甲-新\",NEIGHBOURCELLNAME=\"丙'1\";{站甲}\r\n";

const std::string kFrequencyGroupOnNew =
    "ADD GERANNFREQGROUP:LOCALCELLID=2,BCCHGROUPID=3,GERANVERSION=R99,STARTINGARFCN=512,"
    "BANDINDICATOR=GSM_dcs1800,CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=2,"
    "PMAXGERANCFGIND=NOT_CFG,THRESHXLOW=10,ConnFreqPriority=8;{站甲}\r\n";

// GSM rows resolving to G1 (CI 10001 with LAC 4501: the second record of
// that CI) and G2.
const std::string kInheritedGsm =
    kFrequencyGroupOnNew + kFrequencyGroupOnNew +
    "ADD GERANNFREQGROUPARFCN:LOCALCELLID=2,BCCHGROUPID=3,GERANARFCN=60;{站甲}\r\n"
    "ADD GERANNFREQGROUPARFCN:LOCALCELLID=2,BCCHGROUPID=3,GERANARFCN=61;{站甲}\r\n"
    "ADD GERANEXTERNALCELL:MCC=\"460\",MNC=\"00\",GERANCELLID=10001,LAC=4501,RACCFGIND=CFG,"
    "RAC=0,BANDINDICATOR=GSM_dcs1800,GERANARFCN=60,NETWORKCOLOURCODE=1,"
    "BASESTATIONCOLOURCODE=2,CELLNAME=\"G1\";{站甲}\r\n"
    "ADD GERANEXTERNALCELL:MCC=\"460\",MNC=\"00\",GERANCELLID=10002,LAC=4502,RACCFGIND=CFG,"
    "RAC=0,BANDINDICATOR=GSM_dcs1800,GERANARFCN=61,NETWORKCOLOURCODE=3,"
    "BASESTATIONCOLOURCODE=4,CELLNAME=\"G2\";{站甲}\r\n"
    "ADD GERANNCELL:LOCALCELLID=2,MCC=\"460\",MNC=\"00\",LAC=4501,GERANCELLID=10001,"
    "NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"甲-新\","
    "NEIGHBOURCELLNAME=\"G1\";{站甲}\r\n"
    "ADD GERANNCELL:LOCALCELLID=2,MCC=\"460\",MNC=\"00\",LAC=4502,GERANCELLID=10002,"
    "NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"甲-新\","
    "NEIGHBOURCELLNAME=\"G2\";{站甲}\r\n";

TEST_F(Inherit, WritesTheSevenBlocksInOrderAfterWhatTheBoxHeld) {
    openFullBook();
    box.append("旧\r\n");
    EXPECT_TRUE(run(gsm.get()));
    EXPECT_EQ(box.text(), "旧\r\n" + kInheritedLte + kInheritedGsm);
    // The unresolved export row and the GSM rows without a 2G cell of that
    // CI and LAC give a message and no line.
    EXPECT_EQ(fb.texts(), (Texts{"数据不配置", "10002或9999不存在！", "10003或4503不存在！",
                                 "扩容脚本已经生成！"}));
    EXPECT_EQ(fb.shown[0].icon, Icon::Information);
    EXPECT_EQ(fb.stopChecks, 8);  // once per row: three intra, one inter, four GSM
    EXPECT_EQ(inheritanceScriptName("甲-新"), "甲-新扩容脚本");
}

TEST_F(Inherit, WithoutA2GLibraryEveryGsmRowIsReportedAndSkipped) {
    openFullBook();
    EXPECT_TRUE(run(nullptr));
    EXPECT_EQ(box.text(), kInheritedLte);
    EXPECT_EQ(fb.texts(),
              (Texts{"数据不配置", "10001或4501不存在！", "10002或9999不存在！",
                     "10003或4503不存在！", "10002或4502不存在！", "扩容脚本已经生成！"}));
}

TEST_F(Inherit, AMissingCellStopsTheRunBeforeAnyLine) {
    openFullBook();
    box.append("旧\r\n");
    EXPECT_FALSE(run(gsm.get(), "甲-无"));
    EXPECT_FALSE(run(gsm.get(), "甲-新", "甲-无'"));
    EXPECT_EQ(box.text(), "旧\r\n");
    EXPECT_EQ(fb.texts(), (Texts{"甲-无小区名不存在！", "甲-无'小区名不存在！"}));
}

TEST_F(Inherit, AnExportWithoutLteSheetsStillGetsTheGsmPass) {
    openBook({geranSheet({{"站甲", "0", "10002", "4502"}})});
    EXPECT_TRUE(run(gsm.get()));
    EXPECT_EQ(box.text(),
              kFrequencyGroupOnNew +
                  "ADD GERANNFREQGROUPARFCN:LOCALCELLID=2,BCCHGROUPID=3,GERANARFCN=61;{站甲}\r\n"
                  "ADD GERANEXTERNALCELL:MCC=\"460\",MNC=\"00\",GERANCELLID=10002,LAC=4502,"
                  "RACCFGIND=CFG,RAC=0,BANDINDICATOR=GSM_dcs1800,GERANARFCN=61,"
                  "NETWORKCOLOURCODE=3,BASESTATIONCOLOURCODE=4,CELLNAME=\"G2\";{站甲}\r\n"
                  "ADD GERANNCELL:LOCALCELLID=2,MCC=\"460\",MNC=\"00\",LAC=4502,GERANCELLID=10002,"
                  "NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"甲-新\","
                  "NEIGHBOURCELLNAME=\"G2\";{站甲}\r\n");
    EXPECT_EQ(fb.texts(), (Texts{"扩容脚本已经生成！"}));
}

// Before any carrier of the run is found in the plan, the settings are empty;
// a 频点 with a trailing blank is another carrier.
TEST_F(Inherit, ACarrierNoSectionListsBeforeAnyMatchHasEmptySettings) {
    lte = memoryLibrary(
        LibraryKind::Lte,
        {test::cell4G(1, {"站甲", "甲-1", "0", "1001", "1", "38400", "100", "2001"}),
         test::cell4G(2, {"站乙", "乙-1", "5", "1002", "1", "38400 ", "200", "2002"}),
         test::cell4G(3, {"站甲", "甲-新", "2", "1001", "3", "1850", "101", "2001"})});
    openBook({intraSheet({{"站乙", "5", "1001", "1"}})});
    EXPECT_TRUE(run(gsm.get()));
    const std::string expected =
        "ADD EUTRANINTERNFREQ:LOCALCELLID=5,DLEARFCN=1850,ULEARFCNCFGIND=NOT_CFG,"
        "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=,SPEEDDEPENDSPCFGIND=NOT_CFG,"
        "MEASBANDWIDTH=,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=Event,"
        "QQUALMINCFGIND=NOT_CFG;{站乙}\r\n"
        "ADD EUTRANINTERNFREQ:LOCALCELLID=2,DLEARFCN=38400 ,ULEARFCNCFGIND=NOT_CFG,"
        "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=,SPEEDDEPENDSPCFGIND=NOT_CFG,"
        "MEASBANDWIDTH=,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=Event,"
        "QQUALMINCFGIND=NOT_CFG;{站甲}\r\n"
        "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=3,DLEARFCN=1850,"
        "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=101,TAC=2001,CELLNAME=\"甲-新\";{站乙}\r\n"
        "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1002,CELLID=1,"
        "DLEARFCN=38400 ,ULEARFCNCFGIND=NOT_CFG,PHYCELLID=200,TAC=2002,CELLNAME=\"乙-1\";{站甲}\r\n"
        "ADD EUTRANINTERFREQNCELL:LOCALCELLID=5,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=3,"
        "LOCALCELLNAME=\"乙-1\",NEIGHBOURCELLNAME=\"甲-新\";{站乙}\r\n"
        "ADD EUTRANINTERFREQNCELL:LOCALCELLID=2,MCC=\"460\",MNC=\"00\",ENODEBID=1002,CELLID=1,"
        "LOCALCELLNAME=\"甲-新\",NEIGHBOURCELLNAME=\"乙-1\";{站甲}\r\n";
    EXPECT_EQ(box.text(), expected);
}

// The relation type ignores letter case; the settings lookup does not.
TEST_F(Inherit, RelationTypeIgnoresCaseOfTheCarrier) {
    lte =
        memoryLibrary(LibraryKind::Lte,
                      {test::cell4G(1, {"站甲", "甲-1", "0", "1001", "1", "38400", "100", "2001"}),
                       test::cell4G(2, {"站乙", "乙-1", "5", "1002", "1", "f1", "200", "2002"}),
                       test::cell4G(3, {"站甲", "甲-新", "2", "1001", "3", "F1", "101", "2001"})});
    openBook({intraSheet({{"站乙", "5", "1001", "1"}})});
    EXPECT_TRUE(run(gsm.get()));
    EXPECT_NE(box.text().find("ADD EUTRANINTRAFREQNCELL:LOCALCELLID=5,"), std::string::npos);
    EXPECT_NE(box.text().find("ADD EUTRANINTRAFREQNCELL:LOCALCELLID=2,"), std::string::npos);
    EXPECT_EQ(box.text().find("EUTRANINTERFREQNCELL"), std::string::npos);
}

// ---- PCI change --------------------------------------------------------------------

class Pci : public ExportTools {
protected:
    void SetUp() override {
        ExportTools::SetUp();
        lte = memoryLibrary(
            LibraryKind::Lte,
            {test::cell4G(1, {"站甲", "甲-0", "9", "1001", "0", "38400", "100", "2001"}),
             test::cell4G(2, {"站甲", "甲-1", "0", "1001", "1", "38400", "100", "2001"}),
             test::cell4G(3, {"站乙", "乙-1", "0", "1002", "1", "38400", "100", "2002"}),
             test::cell4G(4, {"站甲", "甲-2", "1", "1001", "2", "38544", "100", "2001"}),
             test::cell4G(5, {"站甲", "甲-3", "2", "1001", "3", "1850", "100", "2001"}),
             test::cell4G(6, {"站丙", "丙'1", "0", "1003", "11", "38400", "497", "2003"})});
    }

    void openExternalBook(bool numbersAsText = false) {
        openBook({externalSheet({{"站乙", "1001", "1", "100"},
                                 {"站丙", "1001", "3", "100"},
                                 {"站丁", "1001", "1", "101"},
                                 {"站甲", "1003", "11", "497"},
                                 {"站戊", "1003", "12", "x497"}},
                                numbersAsText)});
    }

    PciChange swap() const {
        PciChange c;
        c.cell1 = "甲-1";
        c.newPci1 = "497";
        c.cell2 = "丙'1";
        c.newPci2 = "100";
        c.oldPci1 = "100";
        c.oldPci2 = "497";
        c.maxCells = "2";
        return c;
    }
};

const std::string kSwapBlock1 =
    "DEA CELL:LOCALCELLID=0;{站甲}\r\n"
    "MOD CELL:LOCALCELLID=0,PHYCELLID=110;{站甲}\r\n"
    "DEA CELL:LOCALCELLID=1;{站甲}\r\n"
    "MOD CELL:LOCALCELLID=1,PHYCELLID=110;{站甲}\r\n"
    "DEA CELL:LOCALCELLID=0;{站丙}\r\n"
    "MOD CELL:LOCALCELLID=0,PHYCELLID=507;{站丙}\r\n";
const std::string kSwapExternal =
    "MOD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=1,PHYCELLID=497;{站乙}\r\n"
    "MOD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=3,PHYCELLID=497;{站丙}\r\n"
    "MOD "
    "EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1003,CELLID=11,PHYCELLID=100;{站甲}\r\n";
const std::string kSwapBlock2 =
    "MOD CELL:LOCALCELLID=0,PHYCELLID=497;{站甲}\r\n"
    "ACT CELL:LOCALCELLID=0;{站甲}\r\n"
    "MOD CELL:LOCALCELLID=1,PHYCELLID=497;{站甲}\r\n"
    "ACT CELL:LOCALCELLID=1;{站甲}\r\n"
    "MOD CELL:LOCALCELLID=0,PHYCELLID=100;{站丙}\r\n"
    "ACT CELL:LOCALCELLID=0;{站丙}\r\n"
    "\r\n";

// N = 2 takes 甲-1 and 甲-2: not 甲-0 before it, not 乙-1 (another eNodeB),
// not 甲-3 (the third). 丙'1's temporary PCI 507 is outside 0–503 and
// written as computed.
TEST_F(Pci, SwapWritesTheGroupsTheExternalCellsAndTheFinalPcis) {
    openExternalBook();
    box.append("旧\r\n");
    const PciRun run = generatePciChange(*lte, *book, swap(), box, fb);
    EXPECT_TRUE(run.completed);
    EXPECT_EQ(run.lastSiteName, "站丙");
    EXPECT_EQ(box.text(), "旧\r\n" + kSwapBlock1 + kSwapExternal + kSwapBlock2);
    EXPECT_EQ(fb.texts(), (Texts{"修改PCI脚本已生成！"}));
    EXPECT_EQ(pciScriptName(run.lastSiteName), "站丙_PCI修改脚本");
}

TEST_F(Pci, AnExportHoldingTextFindsTheSameRows) {
    openExternalBook(true);
    const PciRun run = generatePciChange(*lte, *book, swap(), box, fb);
    EXPECT_TRUE(run.completed);
    EXPECT_EQ(box.text(), kSwapBlock1 + kSwapExternal + kSwapBlock2);
}

TEST_F(Pci, SingleCellChangeWithAnEmptyCountGivesOnlyTheExternalCells) {
    openExternalBook();
    PciChange c = swap();
    c.cell2.clear();
    c.maxCells.clear();
    const PciRun run = generatePciChange(*lte, *book, c, box, fb);
    EXPECT_TRUE(run.completed);
    EXPECT_EQ(run.lastSiteName, "");
    EXPECT_EQ(box.text(),
              "MOD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=1,"
              "PHYCELLID=497;{站乙}\r\n"
              "MOD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=3,"
              "PHYCELLID=497;{站丙}\r\n"
              "\r\n");
}

TEST_F(Pci, ACountBeyondTheGroupTakesTheWholeGroupOnce) {
    openExternalBook();
    PciChange c = swap();
    c.cell2.clear();
    c.maxCells = "1000000000";
    EXPECT_TRUE(generatePciChange(*lte, *book, c, box, fb).completed);
    const std::string& t = box.text();
    EXPECT_EQ(t.substr(0, t.find("MOD EUTRANEXTERNALCELL")),
              "DEA CELL:LOCALCELLID=0;{站甲}\r\n"
              "MOD CELL:LOCALCELLID=0,PHYCELLID=110;{站甲}\r\n"
              "DEA CELL:LOCALCELLID=1;{站甲}\r\n"
              "MOD CELL:LOCALCELLID=1,PHYCELLID=110;{站甲}\r\n"
              "DEA CELL:LOCALCELLID=2;{站甲}\r\n"
              "MOD CELL:LOCALCELLID=2,PHYCELLID=110;{站甲}\r\n");
}

// Labels left empty (the query not run): the numeric query fails, the first
// block stays in the box and the run ends there.
TEST_F(Pci, AFailedFirstExternalQueryStopsAfterTheFirstBlock) {
    openExternalBook();
    PciChange c = swap();
    c.oldPci1.clear();
    const PciRun run = generatePciChange(*lte, *book, c, box, fb);
    EXPECT_FALSE(run.completed);
    EXPECT_EQ(box.text(), kSwapBlock1);
    EXPECT_EQ(fb.texts(), (Texts{"请将EXCEL中错误的文本转换为数值！"}));
}

// Cell 2's old PCI is no number: the quoted form finds the text row, silently.
TEST_F(Pci, CellTwoFallsBackToTheQuotedForm) {
    openExternalBook(true);
    PciChange c = swap();
    c.oldPci2 = "x497";
    EXPECT_TRUE(generatePciChange(*lte, *book, c, box, fb).completed);
    EXPECT_NE(box.text().find("MOD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1003,"
                              "CELLID=12,PHYCELLID=100;{站戊}\r\n"),
              std::string::npos);
    EXPECT_EQ(box.text().find("CELLID=11,"), std::string::npos);
    EXPECT_EQ(fb.texts(), (Texts{"修改PCI脚本已生成！"}));
}

TEST_F(Pci, AMissingMainCellOrAPciThatIsNoNumberStopsBeforeAnyLine) {
    openExternalBook();
    PciChange c = swap();
    c.cell1 = "甲-无";
    EXPECT_FALSE(generatePciChange(*lte, *book, c, box, fb).completed);
    c = swap();
    c.cell2 = "丙-无";
    EXPECT_FALSE(generatePciChange(*lte, *book, c, box, fb).completed);
    lte = memoryLibrary(LibraryKind::Lte,
                        {test::cell4G(1, {"站甲", "甲-1", "0", "1001", "1", "38400", "", "2001"})});
    c = swap();
    c.cell2.clear();
    EXPECT_FALSE(generatePciChange(*lte, *book, c, box, fb).completed);
    EXPECT_EQ(box.text(), "");
    EXPECT_EQ(fb.texts(), (Texts{"甲-无小区不存在！", "丙-无小区不存在！",
                                 "甲-1小区的原PCI不是数值，无法计算临时PCI："}));
}

TEST_F(Pci, QueryFillsTheLabelsOfEachNamedCell) {
    PciLabels labels;
    EXPECT_TRUE(queryPciCells(lte.get(), "甲-1", "丙'1", labels, fb));
    EXPECT_EQ(labels.enodeb1, "1001");
    EXPECT_EQ(labels.oldPci1, "100");
    EXPECT_EQ(labels.enodeb2, "1003");
    EXPECT_EQ(labels.oldPci2, "497");
    EXPECT_TRUE(fb.texts().empty());

    EXPECT_TRUE(queryPciCells(lte.get(), "乙-1", "", labels, fb));
    EXPECT_EQ(labels.enodeb1, "1002");
    EXPECT_FALSE(queryPciCells(lte.get(), "", "丙'1", labels, fb));
    // A missing cell's labels no longer show the cell queried before.
    EXPECT_FALSE(queryPciCells(lte.get(), "甲-1", "丙-无", labels, fb));
    EXPECT_EQ(labels.enodeb2, "");
    EXPECT_EQ(labels.oldPci2, "");
    EXPECT_FALSE(queryPciCells(nullptr, "甲-1", "", labels, fb));
    EXPECT_EQ(fb.texts(),
              (Texts{"预修改PCI小区2名为空，当前单小区修改！", "预修改PCI小区1名不能为空！",
                     "丙-无小区不存在！", "甲-1小区不存在！"}));
}

TEST_F(Pci, LibraryUpdateWritesEachNamedCellToTheFile) {
    const fs::path path = dir / "mu" / "a.edb";
    test::makeLibrary(path, LibraryKind::Lte, copies(*lte));
    auto loaded = store::load(path, LibraryKind::Lte);
    ASSERT_TRUE(loaded) << loaded.error();
    Library& library = **loaded;
    const auto pciOnFile = [&](const std::string& name) {
        auto again = store::load(path, LibraryKind::Lte);
        return again ? std::string((*again)->at(*(*again)->findCell(name)).field(6))
                     : again.error();
    };

    PciChange c = swap();
    EXPECT_TRUE(updatePcis(&library, c, fb));
    EXPECT_EQ(pciOnFile("甲-1"), "497");
    EXPECT_EQ(pciOnFile("丙'1"), "100");
    EXPECT_EQ(pciOnFile("甲-2"), "100");  // only the named cells
    EXPECT_EQ(fb.texts(), (Texts{"修改成功", "修改成功"}));

    // A single-cell change ends after cell 1.
    fb.shown.clear();
    c.cell2.clear();
    c.newPci1 = "7";
    EXPECT_TRUE(updatePcis(&library, c, fb));
    EXPECT_EQ(fb.texts(), (Texts{"修改成功"}));
    EXPECT_EQ(pciOnFile("甲-1"), "7");
}

TEST_F(Pci, LibraryUpdateRefusesMissingCellsAndEmptyPcis) {
    const fs::path path = dir / "mu" / "a.edb";
    test::makeLibrary(path, LibraryKind::Lte, copies(*lte));
    auto loaded = store::load(path, LibraryKind::Lte);
    ASSERT_TRUE(loaded) << loaded.error();
    Library& library = **loaded;

    PciChange c = swap();
    c.cell1 = "甲-无";
    EXPECT_FALSE(updatePcis(&library, c, fb));
    c = swap();
    c.newPci1.clear();
    EXPECT_FALSE(updatePcis(&library, c, fb));
    c = swap();
    c.cell2 = "丙-无";
    EXPECT_FALSE(updatePcis(&library, c, fb));
    // An empty second PCI would wipe the cell's PCI from the library.
    c = swap();
    c.newPci2.clear();
    EXPECT_FALSE(updatePcis(&library, c, fb));
    EXPECT_FALSE(updatePcis(nullptr, swap(), fb));
    EXPECT_EQ(fb.texts(), (Texts{"查找不到小区", "修改的PCI不能为空", "修改成功", "查找不到小区",
                                 "修改成功", "修改的PCI不能为空", "查找不到小区"}));
    auto again = store::load(path, LibraryKind::Lte);
    ASSERT_TRUE(again);
    EXPECT_EQ((*again)->at(*(*again)->findCell("丙'1")).field(6), "497");
}

// ---- capacity reduction ---------------------------------------------------------------

class Reduce : public ExportTools {
protected:
    // 甲-1 (eNodeB 1001, cell 1, NE 站甲, local cell 0) is reduced.
    void openReductionBook() {
        openBook({intraSheet({{"站乙", "5", "1001", "1"},
                              {"站无", "1", "1001", "1"},
                              {"站乙", "5", "1002", "9"}}),
                  interSheet({{"站丙", "3", "1001", "1"}, {"站乙", "5", "1001", "1"}}, true),
                  geranSheet({{"站甲", "0", "10001", "4501"},
                              {"站甲", "0", "10003", "4503"},
                              {"站甲", "1", "10002", "4502"}})});
    }

    ReductionLists edited() const {
        return {"乙-1\r\n未知\r\n丙'1\r\n", "10001\r\n10003\r\n10001\r\n",
                "38400\r\n\r\n38544\r\n1850\r\n"};
    }
};

// Relation block (乙-1 intra, 未知 skipped, 丙'1 inter, X's two wholesale
// removals), carriers (X's own 38400 skipped, the empty line kept), GSM
// relations, group ARFCNs (CI 10001's first record is G1b; 10003 skipped),
// RAN share, frequency groups, one extra CR LF.
const std::string kReductionScript =
    "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=5,ENODEBID=1001,CELLID=1;{站乙}\r\n"
    "RMV EUTRANINTERFREQNCELL:LOCALCELLID=3,ENODEBID=1001,CELLID=1;{站丙}\r\n"
    "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0;{站甲}\r\n"
    "RMV EUTRANINTERFREQNCELL:LOCALCELLID=0;{站甲}\r\n"
    "RMV EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=;{站甲}\r\n"
    "RMV EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=38544;{站甲}\r\n"
    "RMV EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=1850;{站甲}\r\n"
    "RMV EUTRANINTERNFREQ:LOCALCELLID=0;{站甲}\r\n"
    "RMV GERANNCELL:LOCALCELLID=0;{站甲}\r\n"
    "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=3,GERANARFCN=65;{站甲}\r\n"
    "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=3,GERANARFCN=65;{站甲}\r\n"
    "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0;{站甲}\r\n"
    "RMV GERANRANSHARE:LOCALCELLID=0,BCCHGROUPID=3,MCC=\"460\",MNC=\"00\";{站甲}\r\n"
    "RMV GERANNFREQGROUP:LOCALCELLID=0;{站甲}\r\n"
    "\r\n";

TEST_F(Reduce, ListsNameEveryResolvedRowAndTheGsmNeighbours) {
    openReductionBook();
    ReductionLists lists{"旧\r\n", "旧\r\n", "38400\r\n"};
    EXPECT_TRUE(fillReductionLists(*lte, *book, "甲-1", lists, fb));
    EXPECT_EQ(lists.sources, "乙-1\r\n丙'1\r\n乙-1\r\n");
    EXPECT_EQ(lists.cis, "10001\r\n10003\r\n");
    EXPECT_EQ(lists.carriers, "38400\r\n");
    EXPECT_EQ(fb.texts(), (Texts{"数据不配置", "相关数据已生成！"}));
    EXPECT_EQ(fb.shown[1].icon, Icon::Information);
}

TEST_F(Reduce, ListsOfAnEmptyOrMissingCellAreEmptied) {
    openReductionBook();
    ReductionLists lists{"旧\r\n", "旧\r\n", "38400\r\n"};
    EXPECT_FALSE(fillReductionLists(*lte, *book, "", lists, fb));
    EXPECT_EQ(lists.sources, "");
    EXPECT_EQ(lists.cis, "");
    EXPECT_FALSE(fillReductionLists(*lte, *book, "甲-无", lists, fb));
    EXPECT_EQ(fb.texts(), (Texts{"减容小区名不能为空！", "减容小区名不存在，请核对工参库！"}));
}

// Values with apostrophes reach the export as they are.
TEST_F(Reduce, ApostrophesInNamesAreJustCharacters) {
    lte = memoryLibrary(
        LibraryKind::Lte,
        {test::cell4G(1, {"站'丁", "丁'1", "4", "1004", "7", "38400", "1", "1"}),
         test::cell4G(2, {"O'Neil站", "O'Neil-1", "2", "1005", "8", "38400", "2", "2"})});
    openBook({intraSheet({{"O'Neil站", "2", "1004", "7"}}), interSheet({}),
              geranSheet({{"站'丁", "4", "10002", "4502"}})});
    ReductionLists lists;
    EXPECT_TRUE(fillReductionLists(*lte, *book, "丁'1", lists, fb));
    EXPECT_EQ(lists.sources, "O'Neil-1\r\n");
    EXPECT_EQ(lists.cis, "10002\r\n");
    const auto script = generateReduction(*lte, gsm.get(), settings2G, "丁'1", lists, false, fb);
    ASSERT_TRUE(script);
    EXPECT_EQ(script->script.substr(0, script->script.find("RMV EUTRANINTERFREQNCELL")),
              "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=2,ENODEBID=1004,CELLID=7;{O'Neil站}\r\n"
              "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=4;{站'丁}\r\n");
}

TEST_F(Reduce, ScriptBlocksInOrderAndRollbackApart) {
    const auto withRollback =
        generateReduction(*lte, gsm.get(), settings2G, "甲-1", edited(), true, fb);
    ASSERT_TRUE(withRollback);
    EXPECT_EQ(withRollback->script, kReductionScript);
    EXPECT_EQ(withRollback->rollback,
              "ADD GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=3,GERANARFCN=65;{站甲}\r\n"
              "ADD GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=3,GERANARFCN=65;{站甲}\r\n");

    const auto plain = generateReduction(*lte, gsm.get(), settings2G, "甲-1", edited(), false, fb);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->script, kReductionScript);
    EXPECT_EQ(plain->rollback, "");
    EXPECT_EQ(fb.texts(), (Texts{"减容脚本已经生成！", "减容脚本已经生成！"}));
    EXPECT_EQ(reductionScriptName("甲-1"), "甲-1");
    EXPECT_EQ(rollbackScriptName("甲-1"), "甲-1回退");
}

TEST_F(Reduce, EmptyListsAndNo2GLibraryLeaveTheLinesWithoutValues) {
    const auto script =
        generateReduction(*lte, nullptr, settings2G, "甲-1", {"", "10001\r\n", ""}, true, fb);
    ASSERT_TRUE(script);
    EXPECT_EQ(script->script,
              "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0;{站甲}\r\n"
              "RMV EUTRANINTERFREQNCELL:LOCALCELLID=0;{站甲}\r\n"
              "RMV EUTRANINTERNFREQ:LOCALCELLID=0;{站甲}\r\n"
              "RMV GERANNCELL:LOCALCELLID=0;{站甲}\r\n"
              "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0;{站甲}\r\n"
              "RMV GERANRANSHARE:LOCALCELLID=0,BCCHGROUPID=3,MCC=\"460\",MNC=\"00\";{站甲}\r\n"
              "RMV GERANNFREQGROUP:LOCALCELLID=0;{站甲}\r\n"
              "\r\n");
    EXPECT_EQ(script->rollback, "");
}

// The relation type ignores letter case; the carrier comparison does not.
TEST_F(Reduce, RelationTypeIgnoresCaseCarriersCompareExactly) {
    lte = memoryLibrary(LibraryKind::Lte,
                        {test::cell4G(1, {"站甲", "甲-1", "0", "1001", "1", "e1", "100", "2001"}),
                         test::cell4G(2, {"站乙", "乙-1", "5", "1002", "1", "E1", "200", "2002"})});
    const auto script = generateReduction(*lte, gsm.get(), settings2G, "甲-1",
                                          {"乙-1\r\n", "", "E1\r\ne1\r\n"}, false, fb);
    ASSERT_TRUE(script);
    EXPECT_EQ(script->script.substr(0, script->script.find("RMV GERANNCELL")),
              "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=5,ENODEBID=1001,CELLID=1;{站乙}\r\n"
              "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0;{站甲}\r\n"
              "RMV EUTRANINTERFREQNCELL:LOCALCELLID=0;{站甲}\r\n"
              "RMV EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=E1;{站甲}\r\n"
              "RMV EUTRANINTERNFREQ:LOCALCELLID=0;{站甲}\r\n");
}

TEST_F(Reduce, AnEmptyOrMissingReducedCellGivesNoScript) {
    EXPECT_FALSE(generateReduction(*lte, gsm.get(), settings2G, "", edited(), true, fb));
    EXPECT_FALSE(generateReduction(*lte, gsm.get(), settings2G, "甲-无", edited(), true, fb));
    EXPECT_EQ(fb.texts(), (Texts{"减容小区名不能为空！", "减容小区名不存在，请核对工参库！"}));
}

TEST_F(Reduce, CarrierListTakesElevenSectionsEmptyOnesIncluded) {
    test::writeFile(dir / "EARFCN.ini",
                    *codec::toGbk("[频点1设置]\r\n频点=38400\r\n[频点3设置]\r\n频点=1850\r\n"
                                  "[频点11设置]\r\n频点=100\r\n[频点12设置]\r\n频点=38950\r\n")
                         .text);
    const FrequencyPlan plan(dir / "EARFCN.ini");
    EXPECT_EQ(reductionCarriers(plan), "38400\r\n\r\n1850\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n100\r\n");
}

// A cell with 500 relations in a library of 200,000 cells: the source names
// resolve through one index per run.
TEST_F(Reduce, FiveHundredRelationsOverALargeLibrary) {
    std::vector<Record> records;
    records.reserve(200'000);
    for (int i = 0; i < 200'000; ++i) {
        const std::string n = std::to_string(i);
        records.push_back(test::cell4G(
            i + 1, {"站" + n, "小区" + n, "1", std::to_string(10000 + i), "1", "38400", "1", "1"}));
    }
    lte = memoryLibrary(LibraryKind::Lte, std::move(records));
    Rows relations;
    for (int i = 0; i < 500; ++i)
        relations.push_back({"站" + std::to_string(199'000 + i), "1", "10000", "1"});
    openBook({intraSheet(std::move(relations))});
    ReductionLists lists;
    EXPECT_TRUE(fillReductionLists(*lte, *book, "小区0", lists, fb));
    EXPECT_EQ(nameList(lists.sources).size(), 500u);
    lists.sources += "小区199999\r\n";
    const auto script = generateReduction(*lte, nullptr, settings2G, "小区0", lists, false, fb);
    ASSERT_TRUE(script);
    EXPECT_EQ(script->script.find("RMV EUTRANINTRAFREQNCELL:LOCALCELLID=1,ENODEBID=10000,CELLID=1;"
                                  "{站199000}\r\n"),
              0u);
    EXPECT_NE(script->script.find("RMV EUTRANINTRAFREQNCELL:LOCALCELLID=1,ENODEBID=10000,CELLID=1;"
                                  "{站199999}\r\n"),
              std::string::npos);
}

// ---- frequency-change cleanup ---------------------------------------------------------

class FreqChange : public ExportTools {
protected:
    // 甲-1 is eNodeB 1001, cell 1. The external-cell sheet has a row whose PCI
    // equals that cell identity: it is no relation and gives no line.
    void openChangeBook() {
        openBook({intraSheet({{"站乙", "5", "1001", "1"},
                              {"站无", "1", "1001", "1"},
                              {"站丙", "3", "1001", "1"},
                              {"站甲", "1", "1001", "2"}}),
                  externalSheet({{"站甲", "1001", "9", "1"}})});
    }
};

// 丙'1 is on another carrier in the library; the export says the relation
// is intra-frequency, and so does the line.
TEST_F(FreqChange, RemovesTheIntraRelationsOtherCellsHoldTowardsTheCell) {
    openChangeBook();
    box.append("旧\r\n");
    EXPECT_TRUE(generateFrequencyChange(*lte, *book, "甲-1", box, fb));
    EXPECT_EQ(box.text(),
              "旧\r\n"
              "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=5,ENODEBID=1001,CELLID=1;{站乙}\r\n"
              "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=3,ENODEBID=1001,CELLID=1;{站丙}\r\n");
    EXPECT_EQ(fb.texts(), (Texts{"数据不配置"}));
    EXPECT_EQ(frequencyChangeScriptName("甲-1"), "甲-1改频点脚本");
}

TEST_F(FreqChange, MissingCellOrMissingSheet) {
    openBook({externalSheet({{"站乙", "1001", "9", "1"}})});
    EXPECT_FALSE(generateFrequencyChange(*lte, *book, "甲-无", box, fb));
    EXPECT_TRUE(generateFrequencyChange(*lte, *book, "甲-1", box, fb));
    EXPECT_EQ(box.text(), "");
    EXPECT_EQ(currentCarrier(*lte, "丙'1", fb), "1850");
    EXPECT_EQ(currentCarrier(*lte, "丙-无", fb), std::nullopt);
    EXPECT_EQ(fb.texts(), (Texts{"甲-无小区不存在！", "丙-无小区不存在！"}));
}

}  // namespace
