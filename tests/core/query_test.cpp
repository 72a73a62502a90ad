// The query list's search and the record edit written back by ID.

#include <gtest/gtest.h>

#include "core/library/query.h"
#include "core/library/store.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using brindle::test::cell4G;
using brindle::test::RecordingFeedback;
using brindle::test::TempDir;

namespace {

// File order is not ID order: the list shows rows as the file holds them.
std::vector<Record> rows() {
    return {cell4G(7, {"站1甲", "A小区", "0", "1001", "11", "38400", "101", "2001"}),
            cell4G(21, {"北站", "北-1", "1", "1002", "12", "38544", "102", "2002"}),
            cell4G(10, {"南站", "南-1", "2", "1003", "13", "1850", "103", "2003"}),
            cell4G(1, {"东站", "a小区", "3", "1004", "14", "38400", "104", "2004"}),
            cell4G(300, {"西站", "西-1", "4", "1005", "15", "37900", "105", "TAC9"})};
}

std::optional<std::size_t> find(std::string_view text) {
    const auto r = rows();
    return findQueryRow(r, text);
}

}  // namespace

TEST(QuerySearch, ColumnTextsAreIdThenTheFields) {
    const auto r = rows();
    EXPECT_EQ(queryCellText(r[4], 0), "300");
    EXPECT_EQ(queryCellText(r[4], 1), "西站");
    EXPECT_EQ(queryCellText(r[4], 6), "37900");
    EXPECT_EQ(queryCellText(r[4], 8), "TAC9");
    EXPECT_EQ(queryCellText(cell4G(-5, {}), 0), "-5");
}

TEST(QuerySearch, AnIdPrefixComesBeforeEveryOtherColumn) {
    // "1" begins the ID 10 (row 2) and the ID 1 (row 3), but row 0 holds
    // "1001" and "101" and row 1 holds "1002": the IDs are looked at first,
    // in list order.
    EXPECT_EQ(find("1"), 2u);
    EXPECT_EQ(find("10"), 2u);
    EXPECT_EQ(find("2"), 1u);
    EXPECT_EQ(find("30"), 4u);
    EXPECT_EQ(find("7"), 0u);
}

TEST(QuerySearch, WithoutAnIdMatchTheRowsAreScannedColumnByColumn) {
    // "100" is no ID prefix; row 0's 基站号 "1001" is the first cell that begins with it.
    EXPECT_EQ(find("100"), 0u);
    EXPECT_EQ(find("1005"), 4u);
    EXPECT_EQ(find("南"), 2u);   // 基站名
    EXPECT_EQ(find("北-"), 1u);  // 小区名
    EXPECT_EQ(find("3850"), std::nullopt);
    EXPECT_EQ(find("385"), 1u);           // 频点 of row 1
    EXPECT_EQ(find("3840"), 0u);          // row 0 before row 3
    EXPECT_EQ(find("TAC"), 4u);           // the last column
    EXPECT_EQ(find("甲"), std::nullopt);  // prefixes only, never inside a text
}

TEST(QuerySearch, NamesAreComparedByteForByteButIdsIgnoreCase) {
    EXPECT_EQ(find("a小区"), 3u);
    EXPECT_EQ(find("A小区"), 0u);
    EXPECT_EQ(find("tac"), std::nullopt);
    EXPECT_EQ(find("小区"), std::nullopt);
    // An ID text has no letters, so case never lets a name match as an ID.
    const std::vector<Record> one = {cell4G(5, {"x", "y"})};
    EXPECT_EQ(findQueryRow(one, "X"), std::nullopt);
    EXPECT_EQ(findQueryRow(one, "x"), 0u);
}

TEST(QuerySearch, NothingMatchesInAnEmptyListAndEmptyTextSelectsTheFirstRow) {
    EXPECT_EQ(findQueryRow({}, "1"), std::nullopt);
    EXPECT_EQ(findQueryRow({}, ""), std::nullopt);
    EXPECT_EQ(find(""), 0u);
    EXPECT_EQ(find("无此项"), std::nullopt);
}

TEST(RecordEdit, WritesByIdKeepsTheIdAndSurvivesAReopen) {
    TempDir dir;
    const auto path = dir / "q.edb";
    test::makeLibrary(path, LibraryKind::Lte, rows());
    auto lib = store::load(path, LibraryKind::Lte).value();
    RecordingFeedback fb;
    const std::vector<std::string> texts = {"新站", "新-1", "9", "2001", "99", "40936", "7", ""};
    ASSERT_TRUE(saveRecordEdit(lib.get(), 10, changedFields(rows()[2].fields, texts), fb).ok());
    EXPECT_EQ(fb.texts(), std::vector<std::string>{"修改成功"});
    EXPECT_EQ(lib->findCell("新-1"), 2u);
    EXPECT_EQ(lib->findCell("南-1"), std::nullopt);

    const auto reopened = store::load(path, LibraryKind::Lte).value();
    ASSERT_EQ(reopened->count(), 5u);
    EXPECT_EQ(reopened->at(2).ID, 10);
    EXPECT_EQ(reopened->at(2).toRecord().fields, texts);
    EXPECT_EQ(reopened->at(1).toRecord().fields, rows()[1].fields);  // its neighbours untouched
    EXPECT_EQ(reopened->at(3).toRecord().fields, rows()[3].fields);
}

// The edit window writes only the boxes the engineer changed: a field that
// another program changed since the window was filled keeps that change.
TEST(RecordEdit, OnlyTheChangedBoxesAreWritten) {
    TempDir dir;
    const auto path = dir / "q.edb";
    test::makeLibrary(path, LibraryKind::Lte, rows());
    auto lib = store::load(path, LibraryKind::Lte).value();
    const Record buffer = lib->at(1).toRecord();
    std::vector<std::string> boxes = buffer.fields;
    boxes[1] = "北-9";
    EXPECT_EQ(changedFields(buffer.fields, boxes), (FieldChanges{{1, "北-9"}}));

    RecordingFeedback fb;
    auto other = store::load(path, LibraryKind::Lte).value();
    ASSERT_TRUE(saveRecordEdit(other.get(), 21, {{7, "TAC7"}}, fb).ok());
    ASSERT_TRUE(saveRecordEdit(lib.get(), 21, changedFields(buffer.fields, boxes), fb).ok());
    EXPECT_EQ(fb.texts(), (std::vector<std::string>{"修改成功", "修改成功"}));
    const std::vector<std::string> both = {"北站", "北-9",  "1",   "1002",
                                           "12",   "38544", "102", "TAC7"};
    EXPECT_EQ(store::load(path, LibraryKind::Lte).value()->at(1).toRecord().fields, both);
    EXPECT_EQ(lib->at(1).toRecord().fields, both);
}

TEST(RecordEdit, AnUnknownIdIsToldAndNothingChanges) {
    TempDir dir;
    const auto path = dir / "q.edb";
    test::makeLibrary(path, LibraryKind::Lte, rows());
    auto lib = store::load(path, LibraryKind::Lte).value();
    RecordingFeedback fb;
    const Status saved = saveRecordEdit(lib.get(), 11, {{0, "a"}, {1, "b"}}, fb);
    EXPECT_EQ(saved.error(), "查找不到ID");
    EXPECT_EQ(fb.texts(), std::vector<std::string>{"查找不到ID"});
    const auto reopened = store::load(path, LibraryKind::Lte).value();
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(reopened->at(i).toRecord().fields, rows()[i].fields);
    RecordingFeedback none;
    EXPECT_EQ(saveRecordEdit(nullptr, 10, {}, none).error(), "查找不到ID");
}

TEST(RecordEdit, AFailedWriteKeepsTheOldValues) {
    TempDir dir;
    const auto path = dir / "q.edb";
    test::makeLibrary(path, LibraryKind::Lte, rows());
    auto lib = store::load(path, LibraryKind::Lte).value();
    std::filesystem::remove(path);  // the file went away under the open library
    RecordingFeedback fb;
    const Status saved = saveRecordEdit(lib.get(), 21, {{0, "改"}, {1, "改-1"}}, fb);
    EXPECT_EQ(saved.error(),
              "修改失败，写入失败：工参库无法读取：" + platform::utf8Name(path) + "\r\n文件不存在");
    EXPECT_EQ(fb.texts(), std::vector<std::string>{saved.error()});
    EXPECT_EQ(lib->at(1).toRecord().fields, rows()[1].fields);
    EXPECT_EQ(lib->findCell("北-1"), 1u);
    EXPECT_EQ(lib->findCell("改-1"), std::nullopt);
}

TEST(RecordEdit, TheFirstRecordOfAnIdIsTheOneWritten) {
    TempDir dir;
    const auto path = dir / "q.edb";
    test::makeLibrary(path, LibraryKind::Lte,
                      {cell4G(3, {"s", "first"}), cell4G(3, {"s", "second"})});
    auto lib = store::load(path, LibraryKind::Lte).value();
    RecordingFeedback fb;
    ASSERT_TRUE(saveRecordEdit(lib.get(), 3, {{1, "changed"}}, fb).ok());
    const auto reopened = store::load(path, LibraryKind::Lte).value();
    EXPECT_EQ(reopened->at(0).cellName(), "changed");
    EXPECT_EQ(reopened->at(1).cellName(), "second");
}
