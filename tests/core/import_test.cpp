// Importing workbooks into libraries.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <xlsxwriter.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "clirun.h"
#include "core/app/workflows.h"
#include "core/library/catalogue.h"
#include "core/library/import.h"
#include "core/library/store.h"
#include "exportworkbook.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using brindle::test::RecordingFeedback;
using brindle::test::TempDir;
using Lines = std::vector<std::string>;
using Rows = std::vector<Lines>;

namespace {

Rows allRows(const Preview& preview) {
    Rows rows;
    for (std::size_t i = 0; i < preview.size(); ++i) rows.push_back(preview.row(i));
    return rows;
}

// A cell of a test sheet: text, or a number when `number` is set.
struct Cell {
    std::string text;
    std::optional<double> number;
    Cell(const char* t) : text(t) {}
    Cell(double n) : number(n) {}
};

void writeXlsx(const std::filesystem::path& path, const std::vector<std::vector<Cell>>& rows) {
    const test::XlsxwriterFile written(path);
    lxw_workbook* book = workbook_new(written.name());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const Cell& cell = rows[r][c];
            if (cell.number)
                worksheet_write_number(sheet, r, c, *cell.number, nullptr);
            else if (!cell.text.empty())
                worksheet_write_string(sheet, r, c, cell.text.c_str(), nullptr);
        }
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
    written.place();
}

const std::vector<Cell> kHeader4G = {"基站名",   "小区名", "本地小区标识", "基站号",
                                     "小区标识", "频点",   "物理小区标识", "TAC号"};

std::vector<Cell> row4G(int i) {
    const std::string n = std::to_string(i);
    return {("站" + n).c_str(),
            ("小区" + n).c_str(),
            0.0,
            569000.0 + i,
            double(i % 3),
            38400.0,
            double(i % 504),
            22561.0};
}

class Import : public ::testing::Test {
protected:
    TempDir dir;
    Session session{dir / "home"};
    RecordingFeedback fb;
    Preview preview;

    // k.xlsx with `count` rows, for the draft of the library k.edb in mu/
    // (whose path this is; the folder is there).
    std::filesystem::path writeDraftWorkbook(int count) {
        std::vector<std::vector<Cell>> rows{kHeader4G};
        for (int i = 1; i <= count; ++i) rows.push_back(row4G(i));
        writeXlsx(dir / "k.xlsx", rows);
        std::filesystem::create_directories(session.folder.mu());
        return session.folder.mu() / "k.edb";
    }

    std::shared_ptr<Library> library(LibraryKind kind, const std::string& name) {
        auto loaded =
            store::load(session.folder.libraries(kind) / platform::pathFromUtf8(name), kind);
        EXPECT_TRUE(loaded.ok()) << loaded.error();
        return loaded ? *loaded : nullptr;
    }
};

}  // namespace

TEST_F(Import, ReadsUntilTheFirstBlankRowAndWritesTheLibrary) {
    std::vector<std::vector<Cell>> rows{kHeader4G};
    for (int i = 1; i <= 100; ++i) rows.push_back(row4G(i));
    rows.push_back({});
    rows.push_back(row4G(999));  // after the blank row: never read
    writeXlsx(dir / "北区.xlsx", rows);

    const Status read = readWorkbook(dir / "北区.xlsx", LibraryKind::Lte, preview, fb);
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(read.error(), "");
    EXPECT_EQ(preview.baseName, "北区");
    ASSERT_EQ(preview.size(), 100u);
    EXPECT_EQ(preview.row(0), (Lines{"站1", "小区1", "0", "569001", "1", "38400", "1", "22561"}));
    const Status imported = importPreview(session, LibraryKind::Lte, preview, fb);
    EXPECT_TRUE(imported.ok()) << imported.error();
    EXPECT_EQ(fb.texts(), (Lines{"工参打开成功！含100条", "OK"}));
    EXPECT_EQ(session.lastImported, session.folder.mu() / u8"北区.edb");
    const auto lib = library(LibraryKind::Lte, "北区.edb");
    ASSERT_TRUE(lib);
    EXPECT_EQ(lib->count(), 100u);
    EXPECT_EQ(lib->at(99).ID, 100);
    EXPECT_EQ(lib->at(99).field(1), "小区100");
    EXPECT_TRUE(session.current4G.empty());  // the selection is not touched
}

TEST_F(Import, KeepsTextExactlyAndWritesNumbersAsEngineersSeeThem) {
    writeXlsx(dir / "a.xlsx", {kHeader4G,
                               {" 站A ", "小区 A", "01", 569001.0, 1.5, "38400", 12.0, 0.0},
                               {"站B", "小区B", -1.0, "569002", 0.1, 38400.0, "7", ""}});
    ASSERT_TRUE(readWorkbook(dir / "a.xlsx", LibraryKind::Lte, preview, fb).ok());
    EXPECT_EQ(allRows(preview),
              (Rows{{" 站A ", "小区 A", "01", "569001", "1.5", "38400", "12", "0"},
                    {"站B", "小区B", "-1", "569002", "0.1", "38400", "7", ""}}));
}

TEST(ImportPreview, HoldsEveryCellOfEveryRowExactly) {
    Preview preview(3);
    EXPECT_TRUE(preview.empty());
    const std::string long_(70000, 'x');
    preview.append(Lines{"", "a", ""});
    preview.append(Lines{"小区\r\n1", long_});  // a short row is padded with empty cells
    preview.append(Lines{"1", "2", "3", "4"});  // a cell past the last column is left out
    ASSERT_EQ(preview.size(), 3u);
    EXPECT_EQ(preview.columns(), 3u);
    EXPECT_EQ(allRows(preview), (Rows{{"", "a", ""}, {"小区\r\n1", long_, ""}, {"1", "2", "3"}}));
    EXPECT_EQ(preview.cell(2, 0), "1");
    EXPECT_EQ(preview.cell(0, 2), "");
    EXPECT_EQ(Preview().size(), 0u);
}

TEST_F(Import, ALargeSheetIsReadWholeAndWrittenInOrder) {
    // More rows than pass between two runs of the events, with a last row
    // that is not a multiple of them.
    std::vector<std::vector<Cell>> rows{kHeader4G};
    for (int i = 1; i <= 1000; ++i) rows.push_back(row4G(i));
    writeXlsx(dir / "大.xlsx", rows);
    ASSERT_TRUE(readWorkbook(dir / "大.xlsx", LibraryKind::Lte, preview, fb).ok());
    ASSERT_EQ(preview.size(), 1000u);
    EXPECT_EQ(preview.row(999),
              (Lines{"站1000", "小区1000", "0", "570000", "1", "38400", "496", "22561"}));
    ASSERT_TRUE(importPreview(session, LibraryKind::Lte, preview, fb).ok());
    const auto lib = library(LibraryKind::Lte, "大.edb");
    ASSERT_TRUE(lib);
    ASSERT_EQ(lib->count(), 1000u);
    EXPECT_EQ(lib->at(511).ID, 512);
    EXPECT_EQ(lib->at(511).toRecord().fields, preview.row(511));
    EXPECT_EQ(lib->at(999).toRecord().fields, preview.row(999));
}

TEST_F(Import, ARowOfSpacesEndsTheReading) {
    writeXlsx(dir / "s.xlsx", {kHeader4G, row4G(1), {"\u3000 ", " ", "\u3000"}, row4G(2)});
    ASSERT_TRUE(readWorkbook(dir / "s.xlsx", LibraryKind::Lte, preview, fb).ok());
    EXPECT_EQ(preview.size(), 1u);
    // A cell holding other blank characters is not blank.
    writeXlsx(dir / "t.xlsx", {kHeader4G, {"\t"}, row4G(2)});
    ASSERT_TRUE(readWorkbook(dir / "t.xlsx", LibraryKind::Lte, preview, fb).ok());
    EXPECT_EQ(preview.size(), 2u);
}

TEST_F(Import, ARowWithBlankColumnAGetsItsOwnRow) {
    writeXlsx(dir / "g.xlsx", {kHeader4G, row4G(1), {"", "孤儿小区", 3.0}, row4G(2)});
    ASSERT_TRUE(readWorkbook(dir / "g.xlsx", LibraryKind::Lte, preview, fb).ok());
    ASSERT_EQ(preview.size(), 3u);
    EXPECT_EQ(preview.cell(0, 1), "小区1");  // the row before is untouched
    EXPECT_EQ(preview.row(1), (Lines{"", "孤儿小区", "3", "", "", "", "", ""}));
}

TEST_F(Import, ReimportReplacesRecordsWithIdsFromOne) {
    writeXlsx(dir / "北区.xlsx", {kHeader4G, row4G(1), row4G(2), row4G(3)});
    test::writeFile(dir / "北区.csv",
                    "基站名,小区名,本地小区标识,基站号,小区标识,频点,物理小区标识,TAC号\n"
                    "站9,小区9,0,1,2,38544,3,4\n");
    ASSERT_TRUE(readWorkbook(dir / "北区.xlsx", LibraryKind::Lte, preview, fb).ok());
    ASSERT_TRUE(importPreview(session, LibraryKind::Lte, preview, fb).ok());
    ASSERT_TRUE(readWorkbook(dir / "北区.csv", LibraryKind::Lte, preview, fb).ok());
    EXPECT_TRUE(importPreview(session, LibraryKind::Lte, preview, fb).ok());
    const auto lib = library(LibraryKind::Lte, "北区.edb");
    ASSERT_EQ(lib->count(), 1u);
    EXPECT_EQ(lib->at(0).ID, 1);
    EXPECT_EQ(lib->at(0).field(1), "小区9");
}

TEST_F(Import, TwoGWorkbooksGoToMu2WithSevenColumns) {
    test::writeFile(dir / "g.csv",
                    "基站名,小区名,小区LAC,小区CI,BCCH频点,小区网络色码,小区基站色码,备注\n"
                    "G站,G1,4501,10001,60,1,2,extra\n");
    ASSERT_TRUE(readWorkbook(dir / "g.csv", LibraryKind::Gsm, preview, fb).ok());
    EXPECT_EQ(allRows(preview), (Rows{{"G站", "G1", "4501", "10001", "60", "1", "2"}}));
    EXPECT_TRUE(importPreview(session, LibraryKind::Gsm, preview, fb).ok());
    EXPECT_EQ(library(LibraryKind::Gsm, "g.edb")->count(), 1u);
}

TEST_F(Import, AnEmptySheetFailsTheCountCheck) {
    writeXlsx(dir / "e.xlsx", {kHeader4G, {}, row4G(1)});
    ASSERT_TRUE(readWorkbook(dir / "e.xlsx", LibraryKind::Lte, preview, fb).ok());
    EXPECT_EQ(importPreview(session, LibraryKind::Lte, preview, fb).error(),
              "工作簿中没有数据行\r\n请再导入一次试试！");
    EXPECT_EQ(fb.texts(),
              (Lines{"工参打开成功！含0条", "工作簿中没有数据行\r\n请再导入一次试试！"}));
    EXPECT_FALSE(std::filesystem::exists(session.folder.mu() / "e.edb"));  // no empty library
}

TEST_F(Import, AHeaderOnlyWorkbookKeepsTheRecordsTheLibraryHad) {
    writeXlsx(dir / "北区.xlsx", {kHeader4G, row4G(1), row4G(2), row4G(3)});
    ASSERT_TRUE(readWorkbook(dir / "北区.xlsx", LibraryKind::Lte, preview, fb).ok());
    ASSERT_TRUE(importPreview(session, LibraryKind::Lte, preview, fb).ok());
    for (const auto* name : {"北区.csv", "北区.xlsx"}) {
        if (std::string(name).ends_with(".csv"))
            test::writeFile(dir / name, "");
        else
            writeXlsx(dir / name, {kHeader4G});
        fb.shown.clear();
        ASSERT_TRUE(readWorkbook(dir / name, LibraryKind::Lte, preview, fb).ok()) << name;
        EXPECT_EQ(importPreview(session, LibraryKind::Lte, preview, fb).error(),
                  "工作簿中没有数据行\r\n请再导入一次试试！");
        EXPECT_EQ(fb.texts(),
                  (Lines{"工参打开成功！含0条", "工作簿中没有数据行\r\n请再导入一次试试！"}));
        EXPECT_EQ(library(LibraryKind::Lte, "北区.edb")->count(), 3u) << name;
    }
}

TEST_F(Import, NothingIsWrittenBeforeAWorkbookWasRead) {
    EXPECT_EQ(importPreview(session, LibraryKind::Lte, preview, fb).error(), "请先打开工参！");
    EXPECT_EQ(fb.texts(), Lines{"请先打开工参！"});
    EXPECT_FALSE(std::filesystem::exists(session.folder.mu()));
}

TEST_F(Import, AnUnreadableWorkbookEmptiesThePreviewAndWritesNothing) {
    preview = Preview(1);
    preview.baseName = "旧";
    preview.append(Lines{"x"});
    test::writeFile(dir / "bad.xlsx", "PK\x03\x04 this is not really a zip");
    const Status read = readWorkbook(dir / "bad.xlsx", LibraryKind::Lte, preview, fb);
    EXPECT_FALSE(read.ok());
    ASSERT_EQ(fb.texts().size(), 1u);
    EXPECT_EQ(fb.texts()[0], read.error());
    EXPECT_EQ(fb.shown[0].icon, Icon::Error);
    EXPECT_EQ(
        fb.texts()[0].rfind("无法读取工作簿：" + platform::utf8Name(dir / "bad.xlsx") + "\r\n", 0),
        0u);
    // The old rows are not this workbook's: they are gone, and with them the
    // name an import would write them under.
    EXPECT_EQ(preview.baseName, "");
    EXPECT_TRUE(preview.empty());
    EXPECT_EQ(importPreview(session, LibraryKind::Lte, preview, fb).error(), "请先打开工参！");
    EXPECT_FALSE(std::filesystem::exists(session.folder.mu()));
}

TEST_F(Import, AFailedWriteKeepsTheOldRecords) {
    writeXlsx(dir / "k.xlsx", {kHeader4G, row4G(1), row4G(2), row4G(3)});
    ASSERT_TRUE(readWorkbook(dir / "k.xlsx", LibraryKind::Lte, preview, fb).ok());
    ASSERT_TRUE(importPreview(session, LibraryKind::Lte, preview, fb).ok());
    // The disk fills up while the third record is written.
    sqlite3* db = nullptr;
    sqlite3_open(platform::utf8Name(session.folder.mu() / "k.edb").c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER full BEFORE INSERT ON cells WHEN NEW.ID = 3 "
                           "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    preview.append(preview.row(0));
    fb.shown.clear();
    EXPECT_EQ(importPreview(session, LibraryKind::Lte, preview, fb).error(),
              "database or disk is full\r\n请再导入一次试试！");
    EXPECT_EQ(fb.texts(), Lines{"database or disk is full\r\n请再导入一次试试！"});
    EXPECT_EQ(library(LibraryKind::Lte, "k.edb")->count(), 3u);
}

// A new library whose writing fails part-way (the disk fills up after
// 64 KiB) leaves nothing behind, no empty library for the start window to
// list.
TEST_F(Import, AFailedImportOfANewLibraryLeavesNoFile) {
    BRINDLE_POSIX_ONLY("the disk filling up is a child's file-size limit (fork, setrlimit)");
#ifndef _WIN32
    preview = Preview(8);
    preview.baseName = "新";
    preview.header = Lines(kFields4G.begin(), kFields4G.end());
    preview.widest = 8;
    for (int i = 0; i < 3000; ++i) {
        const std::string n = std::to_string(i);
        preview.append(Lines{"站" + n, "小区" + n, "0", "569" + n, "1", "38400", n, "22561"});
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        RecordingFeedback quiet;
        ::_exit(importPreview(session, LibraryKind::Lte, preview, quiet).ok() ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
    EXPECT_EQ(listLibraries(session.folder.mu()), Lines{});
    EXPECT_TRUE(std::filesystem::is_empty(session.folder.mu()));
#endif
}

// The command line's import writes the rows while it reads them: none of
// them is seen before the commit, a draft dropped leaves the library (or its
// absence) as it was, and a committed one holds what the window's import
// writes, with the same messages.
TEST_F(Import, ADraftShowsNothingUntilItIsCommitted) {
    const auto path = writeDraftWorkbook(3000);
    const auto folder = [&] { return listLibraries(session.folder.mu()); };
    for (const bool existing : {false, true}) {
        SCOPED_TRACE(existing);
        std::filesystem::remove(path);
        if (existing) test::makeLibrary(path, LibraryKind::Lte, {test::cell4G(7, {"旧站"})});
        const Lines before = folder();
        for (const bool commit : {false, true}) {
            fb.shown.clear();
            ImportDraft draft = draftImport(session, LibraryKind::Lte, dir / "k.xlsx");
            ASSERT_TRUE(draft.live());
            ASSERT_TRUE(readWorkbook(dir / "k.xlsx", LibraryKind::Lte, preview, fb, &draft).ok());
            EXPECT_EQ(folder(), before);
            if (existing) {
                EXPECT_EQ(library(LibraryKind::Lte, "k.edb")->at(0).ID, 7);
            }
            if (!commit) continue;
            ASSERT_TRUE(importPreview(session, LibraryKind::Lte, preview, fb, &draft).ok());
            EXPECT_EQ(fb.texts(), (Lines{"工参打开成功！含3000条", "OK"}));
            const auto lib = library(LibraryKind::Lte, "k.edb");
            ASSERT_EQ(lib->count(), 3000u);
            EXPECT_EQ(lib->at(2999).field(1), "小区3000");
        }
        // Nothing but the libraries: no temporary, no journal.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(session.folder.mu()), {}), 1);
    }
}

// A reading the engineer stops (it asks every 256 rows) abandons the import:
// nothing is said, nothing is left to import, and the library the draft was
// writing (or its absence) is as it was, without a temporary or a journal.
TEST_F(Import, AStoppedReadingAbandonsTheImport) {
    const auto path = writeDraftWorkbook(600);
    for (const bool existing : {false, true}) {
        if (existing) test::makeLibrary(path, LibraryKind::Lte, {test::cell4G(7, {"旧站"})});
        const std::string before = existing ? test::readFile(path) : std::string();
        for (const long stopFrom : {0L, 1L, 2L}) {
            SCOPED_TRACE(std::to_string(stopFrom) + (existing ? " existing" : " new"));
            RecordingFeedback quiet;
            quiet.stopFrom = stopFrom;
            ImportDraft draft = draftImport(session, LibraryKind::Lte, dir / "k.xlsx");
            ASSERT_TRUE(draft.live());
            const Status read =
                readWorkbook(dir / "k.xlsx", LibraryKind::Lte, preview, quiet, &draft);
            EXPECT_EQ(read.error(), "已停止");
            EXPECT_EQ(quiet.texts(), Lines{});
            EXPECT_TRUE(preview.empty());
            EXPECT_TRUE(preview.baseName.empty());
            EXPECT_FALSE(importPreview(session, LibraryKind::Lte, preview, quiet, &draft));
            EXPECT_EQ(quiet.texts(), Lines{"请先打开工参！"});
            if (existing)
                EXPECT_EQ(test::readFile(path), before);
            else
                EXPECT_FALSE(std::filesystem::exists(path));
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(session.folder.mu()), {}),
                      existing ? 1 : 0);
        }
    }
}

TEST_F(Import, AForeignFileOfTheSameNameIsNeverOverwritten) {
    test::writeFile(session.folder.mu() / "x.edb", "someone else's file");
    writeXlsx(dir / "x.xlsx", {kHeader4G, row4G(1)});
    ASSERT_TRUE(readWorkbook(dir / "x.xlsx", LibraryKind::Lte, preview, fb).ok());
    const Status imported = importPreview(session, LibraryKind::Lte, preview, fb);
    EXPECT_FALSE(imported.ok());
    EXPECT_EQ(fb.texts().at(1), "打开数据库失败");
    EXPECT_EQ(fb.texts().at(2), "不是Brindle工参库，已拒绝打开：" +
                                    platform::utf8Name(session.folder.mu() / "x.edb") +
                                    "\r\n请再导入一次试试！");
    EXPECT_EQ(imported.error(), fb.texts().at(2));  // the last message shown
    EXPECT_EQ(test::readFile(session.folder.mu() / "x.edb"), "someone else's file");
}

TEST_F(Import, ReadsTheCommittedXlsFixture) {
    ASSERT_TRUE(readWorkbook(std::filesystem::path(BRINDLE_TEST_FIXTURES) / "sample.xls",
                             LibraryKind::Lte, preview, fb)
                    .ok());
    EXPECT_EQ(preview.baseName, "sample");
    EXPECT_EQ(fb.texts(), Lines{"工参打开成功！含1条"});
}

// A workbook is still read by position; what its header and width say only
// decides whether the engineer is asked first.
TEST(WorkbookMismatch, JudgesTheHeaderAndTheWidthAgainstTheKind) {
    const Lines header4G = {"基站名",   "小区名", "本地小区标识", "基站号",
                            "小区标识", "频点",   "物理小区标识", "TAC号"};
    const Lines header2G = {"基站名",   "小区名",       "小区LAC",     "小区CI",
                            "BCCH频点", "小区网络色码", "小区基站色码"};
    const std::string expected4G =
        "应为：基站名、小区名、本地小区标识、基站号、小区标识、频点、物理小区标识、TAC号";
    const std::string expected2G =
        "应为：基站名、小区名、小区LAC、小区CI、BCCH频点、小区网络色码、小区基站色码";
    struct Case {
        LibraryKind kind;
        Lines header;
        std::size_t widest;
        std::string detail;
    };
    const std::vector<Case> cases = {
        {LibraryKind::Lte, header4G, 8, ""},
        {LibraryKind::Gsm, header2G, 7, ""},
        // Blanks around a name are no other name.
        {LibraryKind::Lte, {" 基站名", "小区名\u3000", "\t本地小区标识\r\n"}, 8, ""},
        // Only the names both kinds have, and names of neither: still a 4G book.
        {LibraryKind::Lte, {"基站名", "小区名", "LocalCellId"}, 8, ""},
        {LibraryKind::Lte, header2G, 7,
         "表头为：基站名、小区名、小区LAC、小区CI、BCCH频点、小区网络色码、小区基站色码\r\n" +
             expected4G + "\r\n只有7列，应有8列"},
        {LibraryKind::Gsm, header4G, 8,
         "表头为：基站名、小区名、本地小区标识、基站号、小区标识、频点、物理小区标识\r\n" +
             expected2G},
        {LibraryKind::Lte, {"h"}, 8, "表头为：h\r\n" + expected4G},
        {LibraryKind::Lte, {}, 8, "表头为：（空）\r\n" + expected4G},
        {LibraryKind::Lte,
         {"x", "", "小区名"},
         2,
         "表头为：x、（空）、小区名\r\n" + expected4G + "\r\n只有2列，应有8列"},
    };
    for (const Case& c : cases) {
        Preview preview(importColumns(c.kind).size());
        preview.header = c.header;
        preview.widest = c.widest;
        preview.append(Lines{"站"});
        EXPECT_EQ(workbookMismatch(preview, c.kind), c.detail) << c.detail;
    }
}

TEST_F(Import, AWorkbookThatDoesNotLookLikeItsKindIsImportedOnlyOnYes) {
    test::writeFile(dir / "两列.csv", "a,b\n1,2\n");
    ASSERT_TRUE(readWorkbook(dir / "两列.csv", LibraryKind::Lte, preview, fb).ok());
    EXPECT_EQ(preview.header, (Lines{"a", "b"}));
    EXPECT_EQ(preview.widest, 2u);
    const std::string question =
        "该工作簿不像4G工参，仍要导入吗？\r\n表头为：a、b\r\n应为：基站名、小区名、本地小区标识、"
        "基站号、小区标识、频点、物理小区标识、TAC号\r\n只有2列，应有8列";
    fb.shown.clear();
    EXPECT_EQ(importPreview(session, LibraryKind::Lte, preview, fb).error(), question);
    EXPECT_EQ(fb.texts(), Lines{question});
    EXPECT_FALSE(std::filesystem::exists(session.folder.mu() / u8"两列.edb"));

    fb.shown.clear();
    fb.answer(Question::ImportMismatch4G, true);
    EXPECT_TRUE(importPreview(session, LibraryKind::Lte, preview, fb).ok());
    EXPECT_EQ(fb.texts(), (Lines{question, "OK"}));
    EXPECT_EQ(library(LibraryKind::Lte, "两列.edb")->count(), 1u);
}

// The command line has no one to ask: it refuses, exit status 2 as for other
// wrong input, unless --force stands for the Yes.
TEST(WorkbookMismatch, TheCommandLineRefusesWithoutForce) {
    TempDir dir;
    test::writeFile(dir / "两列.csv", "a,b\n1,2\n");
    const std::string read = "工参打开成功！含1条\n";
    auto r = test::runCli(dir.path(), "import 4g 两列.csv");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, read +
                         "该工作簿不像4G工参，仍要导入吗？\n表头为：a、b\n应为：基站名、小区名、"
                         "本地小区标识、基站号、小区标识、频点、物理小区标识、TAC号\n只有2列，应有8"
                         "列\n未导入：确认要导入请加 --force\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "mu" / u8"两列.edb"));

    r = test::runCli(dir.path(), "import 4g 两列.csv --force");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, read + "OK\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "mu" / u8"两列.edb"));
}
