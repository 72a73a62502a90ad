// The export book: sheets of an exported configuration workbook queried by
// value, the choose-and-open step with its messages, and the rule that turns
// an export row back into a library cell.

#include <gtest/gtest.h>

#include "core/export/exportbook.h"
#include "core/export/exportfile.h"
#include "core/library/library.h"
#include "exportworkbook.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using namespace brindle::exports;
using brindle::test::ExportSheet;
using brindle::test::RecordingFeedback;
using brindle::test::TempDir;
using Rows = ExportRows;

namespace {

std::unique_ptr<ExportBook> openBook(const std::filesystem::path& path) {
    auto book = ExportBook::open(path);
    EXPECT_TRUE(book) << book.error();
    return book ? std::move(*book) : nullptr;
}

// Relations towards eNodeB 1001 cell 1, with the IDs stored as numbers in
// one workbook and as text in the other.
void writeRelations(const std::filesystem::path& path, bool numbersAsText) {
    ExportSheet intra = test::intraRelationSheet({
        {"站甲", "0", "460", "00", "1001", "1"},
        {"站乙", "2", "460", "00", "1002", "1"},  // another eNodeB
        {"站丙", "1", "460", "00", "1001", "1"},
        {"站'丁", "3", "460", "00", "1001", "2"},  // another cell
    });
    intra.numbersAsText = numbersAsText;
    test::writeExportWorkbook(path, {intra});
}

}  // namespace

TEST(ExportBook, ComparesByValueWhetherTheWorkbookHoldsNumbersOrText) {
    TempDir dir;
    for (const bool asText : {false, true}) {
        const auto path = dir / (asText ? "text.xlsx" : "numbers.xlsx");
        writeRelations(path, asText);
        auto book = openBook(path);
        ASSERT_TRUE(book);
        const Rows expected = {{"站甲", "0"}, {"站丙", "1"}};  // sheet order, integers as typed
        for (const std::string cellId : {"1", "1.0", "1e0"}) {
            const auto rows = intraRelationsTowards(*book, "1001", cellId);
            ASSERT_TRUE(rows) << rows.error();
            EXPECT_EQ(*rows, expected) << asText << " " << cellId;
        }
        // The numeric form finds the same rows.
        const Condition where[] = {{kColEnodeb, "1001"}, {kColCellId, "1"}};
        const std::string_view read[] = {kColNe};
        const auto numeric = book->select(kIntraRelationSheet, where, read, Form::Numeric);
        ASSERT_TRUE(numeric) << numeric.error();
        EXPECT_EQ(*numeric, (Rows{{"站甲"}, {"站丙"}}));
        // A blank is part of a text: "1 " is no number and no cell holds it.
        EXPECT_EQ(*intraRelationsTowards(*book, "1001", "1 "), Rows{});
        EXPECT_EQ(*intraRelationsTowards(*book, "9999", "1"), Rows{});
    }
}

TEST(ExportBook, AnApostropheIsJustACharacter) {
    TempDir dir;
    test::writeExportWorkbook(
        dir / "e.xlsx", {test::geranRelationSheet({{"站'丁", "3", "460", "00", "9527", "31001"},
                                                   {"站'丁", "3", "460", "00", "9527", "31002"},
                                                   {"站丁", "3", "460", "00", "9527", "31003"}})});
    auto book = openBook(dir / "e.xlsx");
    ASSERT_TRUE(book);
    const auto rows = geranRelationsOf(*book, "站'丁", "3");
    ASSERT_TRUE(rows) << rows.error();
    EXPECT_EQ(*rows, (Rows{{"31001", "9527"}, {"31002", "9527"}}));
    const auto cisOnly = geranRelationsOf(*book, "站' OR '1'='1", "3", false);
    ASSERT_TRUE(cisOnly);
    EXPECT_TRUE(cisOnly->empty());
}

TEST(ExportBook, FailsOnlyForAMissingSheetOrColumnOrANonNumberInTheNumericForm) {
    TempDir dir;
    ExportSheet external =
        test::externalCellSheet({{"站乙", "460", "00", "1001", "1", "38400", "7"},
                                 {"站丙", "460", "00", "1001", "2", "38400", "7"},
                                 {"站丁", "460", "00", "1001", "3", "38400", "8"}});
    ExportSheet noPci{
        "查询EUTRAN同频邻区关系", {"NAME", "本地小区标识", "基站标识"}, {{"站甲", "0", "1"}}};
    test::writeExportWorkbook(dir / "e.xlsx", {external, noPci});
    auto book = openBook(dir / "e.xlsx");
    ASSERT_TRUE(book);

    for (const Form form : {Form::Numeric, Form::Quoted}) {
        const auto rows = externalCellsWithPci(*book, "1001", "7", form);
        ASSERT_TRUE(rows) << rows.error();
        EXPECT_EQ(*rows, (Rows{{"站乙", "1"}, {"站丙", "2"}}));
    }
    // An empty label in the numeric form is a broken query; quoted, it just
    // finds nothing.
    EXPECT_FALSE(externalCellsWithPci(*book, "1001", "", Form::Numeric));
    EXPECT_FALSE(externalCellsWithPci(*book, "1001", "7a", Form::Numeric));
    ASSERT_TRUE(externalCellsWithPci(*book, "1001", "", Form::Quoted));
    EXPECT_TRUE(externalCellsWithPci(*book, "1001", "", Form::Quoted)->empty());

    const auto noSheet = interRelationsTowards(*book, "1001", "1");
    ASSERT_FALSE(noSheet);
    EXPECT_NE(noSheet.error().find("查询EUTRAN异频邻区关系"), std::string::npos) << noSheet.error();
    const auto noColumn = intraRelationsTowards(*book, "1", "0");
    ASSERT_FALSE(noColumn);
    EXPECT_NE(noColumn.error().find("小区标识"), std::string::npos) << noColumn.error();
    // The failures leave the book usable.
    EXPECT_TRUE(externalCellsWithPci(*book, "1001", "8", Form::Numeric));
}

TEST(ExportBook, AColumnNoToolReadsIsFetchedWhenAQueryNamesIt) {
    TempDir dir;
    test::writeExportWorkbook(
        dir / "e.xlsx",
        {test::externalCellSheet({{"站乙", "460", "00", "1001", "1", "38400", "7"},
                                  {"站丙", "460", "00", "1001", "2", "1850", "7"}})});
    auto book = openBook(dir / "e.xlsx");
    ASSERT_TRUE(book);
    ASSERT_TRUE(externalCellsWithPci(*book, "1001", "7", Form::Quoted));
    const Condition where[] = {{"下行频点", "1850"}};
    const std::string_view read[] = {kColNe, "MNC"};
    const auto rows = book->select(kExternalCellSheet, where, read);
    ASSERT_TRUE(rows) << rows.error();
    EXPECT_EQ(*rows, (Rows{{"站丙", "0"}}));  // "00" was written as the number 0
    EXPECT_EQ(*externalCellsWithPci(*book, "1001", "7", Form::Quoted),
              (Rows{{"站乙", "1"}, {"站丙", "2"}}));
}

TEST(ExportBook, ACsvIsOneSheetNamedAfterTheFile) {
    TempDir dir;
    test::writeFile(
        dir / "查询EUTRAN同频邻区关系.csv",
        "NAME,本地小区标识,基站标识,小区标识\r\n站甲,0,1001,1\r\n,,,\r\n站丙,1,1001,1\r\n");
    auto book = openBook(dir / "查询EUTRAN同频邻区关系.csv");
    ASSERT_TRUE(book);
    const auto rows = intraRelationsTowards(*book, "1001", "1");
    ASSERT_TRUE(rows) << rows.error();
    EXPECT_EQ(*rows, (Rows{{"站甲", "0"}, {"站丙", "1"}}));
}

TEST(ExportOpen, SaysWhetherTheWorkbookOpenedAndKeepsTheReason) {
    TempDir dir;
    writeRelations(dir / "e.xlsx", false);
    RecordingFeedback fb;
    EXPECT_TRUE(openExport(dir / "e.xlsx", true, fb));
    ASSERT_EQ(fb.shown.size(), 1u);
    EXPECT_EQ(fb.shown[0].text, "外部数据库打开成功");
    EXPECT_EQ(fb.shown[0].title, "");

    test::writeFile(dir / "broken.xlsx", "PK\x03\x04 not really a zip");
    for (const bool titled : {true, false}) {
        EXPECT_FALSE(openExport(dir / "broken.xlsx", titled, fb));
        const std::string head = "请安装OFFICE服务或关闭将要打开的EXCEL\r\n无法读取工作簿：";
        EXPECT_EQ(fb.shown.back().text.rfind(head, 0), 0u) << fb.shown.back().text;
        EXPECT_GT(fb.shown.back().text.size(),
                  head.size() + platform::utf8Name(dir / "broken.xlsx").size());
        EXPECT_EQ(fb.shown.back().title, titled ? "系统提示" : "");
    }
}

TEST(ExportOpen, ChoosingShowsTheFilterAndACancelSaysNothing) {
    TempDir dir;
    writeRelations(dir / "e.xlsx", false);
    RecordingFeedback fb;
    EXPECT_FALSE(chooseExport(kExportFilter, true, fb));  // nothing queued: Cancel
    EXPECT_TRUE(fb.shown.empty());
    ASSERT_EQ(fb.fileRequests.size(), 1u);
    EXPECT_EQ(fb.fileRequests[0].filter, "excel文件|*.xlsx;*.xls");

    fb.preset.files.push_back(dir / "e.xlsx");
    auto book = chooseExport("", true, fb);
    ASSERT_TRUE(book);
    EXPECT_EQ(book->path(), dir / "e.xlsx");
    EXPECT_EQ(fb.texts(), std::vector<std::string>{"外部数据库打开成功"});
}

TEST(ExportRows, ResolveToTheFirstLibraryCellWithTheNeAndLocalCellOrAreSkipped) {
    std::vector<Record> records = {
        test::cell4G(1, {"站甲", "甲1", "0", "1001", "1", "38400", "7", "9001"}),
        test::cell4G(2, {"站甲", "甲1副本", "0", "1001", "9", "38400", "8", "9001"}),
        test::cell4G(3, {"站'乙", "乙2", "2", "1002", "2", "1850", "9", "9002"}),
    };
    const Library library("x.edb", LibraryKind::Lte, records, {1, 2, 3});
    const CellIndex index(library);
    RecordingFeedback fb;
    const auto first = resolveRow(index, "站甲", "0", fb);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->小区名, "甲1");
    ASSERT_TRUE(resolveRow(index, "站'乙", "2", fb));
    EXPECT_TRUE(fb.shown.empty());

    EXPECT_FALSE(resolveRow(index, "站甲", "2", fb));  // both fields must match
    EXPECT_FALSE(resolveRow(index, "站甲 ", "0", fb));
    ASSERT_EQ(fb.shown.size(), 2u);
    EXPECT_EQ(fb.shown[0].text, "数据不配置");
    EXPECT_EQ(fb.shown[0].icon, Icon::Information);
}
