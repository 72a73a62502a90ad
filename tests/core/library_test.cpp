// Library files, cell lookup and the start window's library functions.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <barrier>
#include <random>
#include <thread>

#include "core/app/workflows.h"
#include "core/base/flatindex.h"
#include "core/library/catalogue.h"
#include "core/library/lookup.h"
#include "core/library/store.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using brindle::test::cell4G;
using brindle::test::makeLibrary;
using brindle::test::RecordingFeedback;
using brindle::test::TempDir;
using Lines = std::vector<std::string>;

namespace {

std::vector<Record> sampleCells() {
    return {cell4G(1, {"站A", " 小区A", "0", "569001", "0", "38400", "12", "22561"}),
            cell4G(2, {"站A", "小区B", "1", "569001", "1", "38544", "13", "22561"}),
            cell4G(3, {"站C", "小区B", "2", "569002", "2", "1250", "14", "22561"}),
            cell4G(4, {"站D", "Cell-x", "3", "569003", "3", "", "", ""})};
}

}  // namespace

TEST(Store, KeepsTextsWholeAndInFileOrder) {
    TempDir dir;
    const auto path = dir / "北区.edb";
    auto cells = sampleCells();
    cells[0].fields[0] = std::string(600, 'N') + "长名";  // wider than any old field width
    makeLibrary(path, LibraryKind::Lte, cells);
    const auto loaded = store::load(path, LibraryKind::Lte);
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    const Library& library = **loaded;
    ASSERT_EQ(library.count(), 4u);
    EXPECT_EQ(library.at(0).toRecord().fields, cells[0].fields);
    EXPECT_EQ(library.at(3).ID, 4);
    EXPECT_EQ(library.at(3).field(5), "");
    EXPECT_EQ(store::count(path, LibraryKind::Lte).value(), 4);
}

TEST(Store, HoldsRecordsOnlyWhenOneIsThere) {
    TempDir dir;
    for (const std::size_t count : {0u, 1u, 4u}) {
        const auto path = dir / ("h" + std::to_string(count) + ".edb");
        const auto cells = sampleCells();
        makeLibrary(path, LibraryKind::Lte, {cells.begin(), cells.begin() + count});
        EXPECT_EQ(store::holdsRecords(path, LibraryKind::Lte).value(), count > 0) << count;
    }
}

TEST(Store, RefusesFilesItDidNotWriteAndNeverTouchesThem) {
    TempDir dir;
    const auto path = dir / "x.edb";
    const std::string bytes = "not a database at all";
    test::writeFile(path, bytes);
    EXPECT_EQ(store::load(path, LibraryKind::Lte).error(),
              "不是Brindle工参库，已拒绝打开：" + platform::utf8Name(path));
    const Status replaced = store::replaceAll(path, LibraryKind::Lte, sampleCells());
    EXPECT_EQ(replaced.error(), "不是Brindle工参库，已拒绝打开：" + platform::utf8Name(path));
    EXPECT_EQ(store::count(path, LibraryKind::Lte).error(), replaced.error());
    EXPECT_EQ(store::holdsRecords(path, LibraryKind::Lte).error(), replaced.error());
    EXPECT_EQ(store::check(path, LibraryKind::Lte).error(), replaced.error());
    EXPECT_EQ(store::create(path, LibraryKind::Lte).error(),
              "文件已存在：" + platform::utf8Name(path));
    EXPECT_EQ(test::readFile(path), bytes);
}

TEST(Store, RefusesALibraryOfTheOtherKind) {
    TempDir dir;
    const auto path = dir / "g.edb";
    makeLibrary(path, LibraryKind::Gsm, {{1, {"b", "c", "1", "2", "3", "4", "5"}}});
    EXPECT_EQ(store::load(path, LibraryKind::Lte).error(),
              "该文件是2G工参库，不能作为4G工参库使用：" + platform::utf8Name(path));
    EXPECT_TRUE(store::load(path, LibraryKind::Gsm).ok());
}

TEST(Store, AFailedReplaceKeepsTheRecordsItHad) {
    TempDir dir;
    const auto path = dir / "k.edb";
    makeLibrary(path, LibraryKind::Lte, sampleCells());
    auto broken = sampleCells();
    broken[2].fields.resize(3);  // the store refuses a record missing fields
    const Status replaced = store::replaceAll(path, LibraryKind::Lte, broken);
    EXPECT_FALSE(replaced.ok());
    EXPECT_NE(replaced.error(), "");
    const auto loaded = store::load(path, LibraryKind::Lte);
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    EXPECT_EQ((*loaded)->count(), 4u);
}

TEST(Store, ARecordWithAFieldTooManyIsRefusedNotCutShort) {
    TempDir dir;
    const auto path = dir / "m.edb";
    makeLibrary(path, LibraryKind::Lte, sampleCells());
    auto longer = sampleCells();
    longer[1].fields.push_back("第九个字段");  // there is no column to hold it
    EXPECT_EQ(store::replaceAll(path, LibraryKind::Lte, longer).error(), "记录的字段数不符");
    const auto loaded = store::load(path, LibraryKind::Lte);
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    ASSERT_EQ((*loaded)->count(), 4u);
    EXPECT_EQ((*loaded)->at(1).toRecord().fields, sampleCells()[1].fields);
}

TEST(Store, ReplaceTakesRecordsFromASourceOneAtATime) {
    TempDir dir;
    const auto path = dir / "r.edb";
    makeLibrary(path, LibraryKind::Gsm, {{1, {"b", "c", "1", "2", "3", "4", "5"}}});
    // Views only: an empty view without data must still be written as "".
    const std::string site = "站'\"甲";
    const store::RecordSource source{
        3, [&](std::size_t i, std::vector<std::string_view>& fields) {
            fields = {site,   i == 1 ? std::string_view() : std::string_view("G1"),
                      "4501", "10001",
                      "60",   "1",
                      "2"};
            return static_cast<std::int32_t>(10 * (i + 1));
        }};
    std::vector<std::size_t> told;
    ASSERT_TRUE(store::replaceAll(path, LibraryKind::Gsm, source, [&](std::size_t n) {
                    told.push_back(n);
                }).ok());
    EXPECT_EQ(told, std::vector<std::size_t>{3});
    const auto loaded = store::load(path, LibraryKind::Gsm);
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    ASSERT_EQ((*loaded)->count(), 3u);
    EXPECT_EQ((*loaded)->at(0).ID, 10);
    EXPECT_EQ((*loaded)->at(2).ID, 30);
    EXPECT_EQ((*loaded)->at(1).toRecord().fields,
              (std::vector<std::string>{"站'\"甲", "", "4501", "10001", "60", "1", "2"}));
    EXPECT_EQ((*loaded)->at(2).field(1), "G1");
}

TEST(Store, UpdateWritesOneRecordInPlace) {
    TempDir dir;
    const auto path = dir / "u.edb";
    makeLibrary(path, LibraryKind::Lte, sampleCells());
    auto lib = store::load(path, LibraryKind::Lte).value();
    const Result<bool> updated = lib->modify(RecordKey::byId(2), {{1, "小区B2"}});
    ASSERT_TRUE(updated.ok()) << updated.error();
    EXPECT_TRUE(*updated);
    EXPECT_EQ(lib->findCell("小区B"), 2u);  // the later twin is now the first
    EXPECT_EQ(store::load(path, LibraryKind::Lte).value()->at(1).field(1), "小区B2");
}

TEST(Store, AFailedUpdateLeavesTheRecordInMemory) {
    TempDir dir;
    const auto path = dir / "u.edb";
    makeLibrary(path, LibraryKind::Lte, sampleCells());
    auto lib = store::load(path, LibraryKind::Lte).value();
    std::filesystem::remove(path);
    EXPECT_EQ(lib->modify(RecordKey::byId(2), {{1, "新名"}}).error(),
              "工参库无法读取：" + platform::utf8Name(path) + "\r\n文件不存在");
    EXPECT_EQ(lib->at(1).field(1), "小区B");
    EXPECT_EQ(lib->findCell("新名"), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(path));  // nothing was created in its place
}

namespace {

void execSql(const std::filesystem::path& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(platform::utf8Name(path).c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
}

std::string unreadable(const std::filesystem::path& path, const std::string& reason) {
    return "工参库无法读取：" + platform::utf8Name(path) + "\r\n" + reason;
}

}  // namespace

// Another program changed the library after it was read: an edit finds its
// record in the file as it is now, writes only its own fields, and memory
// then holds that record as the file does. A record gone meanwhile is not
// written.
TEST(Store, AnEditKeepsWhatAnotherProgramWroteMeanwhile) {
    TempDir dir;
    const auto path = dir / "u.edb";
    makeLibrary(path, LibraryKind::Lte, sampleCells());
    auto lib = store::load(path, LibraryKind::Lte).value();
    auto other = store::load(path, LibraryKind::Lte).value();
    ASSERT_TRUE(other->modify(RecordKey::byId(2), {{6, "99"}}).value());
    ASSERT_TRUE(lib->modify(RecordKey::byField(1, "小区B"), {{0, "站B"}}).value());
    const Lines expected{"站B", "小区B", "1", "569001", "1", "38544", "99", "22561"};
    const auto reopened = store::load(path, LibraryKind::Lte).value();
    EXPECT_EQ(reopened->at(1).toRecord().fields, expected);
    EXPECT_EQ(reopened->at(2).field(0), "站C");  // only the first record of the name
    EXPECT_EQ(lib->at(1).toRecord().fields, expected);

    execSql(path, "DELETE FROM cells WHERE ID=4");
    EXPECT_FALSE(lib->modify(RecordKey::byId(4), {{0, "x"}}).value());
    EXPECT_FALSE(lib->modify(RecordKey::byField(1, "Cell-x"), {{0, "x"}}).value());
    EXPECT_EQ(store::count(path, LibraryKind::Lte).value(), 3);
}

TEST(Store, RefusesALibraryMissingAColumnAndNamesIt) {
    TempDir dir;
    const auto path = dir / "m.edb";
    makeLibrary(path, LibraryKind::Lte, sampleCells());
    execSql(path, "ALTER TABLE cells DROP COLUMN \"TAC号\"");
    const std::string refused = unreadable(path, "工参库缺少字段：TAC号");
    EXPECT_EQ(store::load(path, LibraryKind::Lte).error(), refused);
    EXPECT_EQ(store::check(path, LibraryKind::Lte).error(), refused);
    EXPECT_EQ(store::count(path, LibraryKind::Lte).error(), refused);
    EXPECT_EQ(store::replaceAll(path, LibraryKind::Lte, sampleCells()).error(), refused);
}

TEST(Store, AnUnknownColumnNameIsNeverReadAsText) {
    // A column a trigger names but the table lacks must be an error, not
    // its name written into the library.
    TempDir dir;
    const auto path = dir / "q.edb";
    makeLibrary(path, LibraryKind::Lte, sampleCells());
    execSql(path,
            "CREATE TRIGGER t BEFORE INSERT ON cells BEGIN "
            "SELECT \"没有的字段\"; END;");
    EXPECT_FALSE(store::replaceAll(path, LibraryKind::Lte, sampleCells()).ok());
    EXPECT_EQ(store::load(path, LibraryKind::Lte).value()->count(), 4u);
}

TEST(Store, ACrashedWriteIsRolledBackWhenTheLibraryIsRead) {
    BRINDLE_POSIX_ONLY("the writer that dies mid-write is a forked child");
    TempDir dir;
    const auto path = dir / "c.edb";
    makeLibrary(path, LibraryKind::Lte, sampleCells());
    test::crashMidWrite(path, "BEGIN; DELETE FROM cells;", true);
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(path) += "-journal"));
    EXPECT_EQ(store::count(path, LibraryKind::Lte).value(), 4);
    const auto loaded = store::load(path, LibraryKind::Lte);
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    EXPECT_EQ((*loaded)->at(3).field(1), "Cell-x");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(path) += "-journal"));
}

TEST(Store, ALockedLibraryIsToldAsLocked) {
    TempDir dir;
    const auto path = dir / "l.edb";
    makeLibrary(path, LibraryKind::Lte, sampleCells());
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(platform::utf8Name(path).c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(store::load(path, LibraryKind::Lte).error(), unreadable(path, "被其他程序锁定"));
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    // Another program writing it: an import says so in the engineer's words,
    // not SQLite's.
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(store::replaceAll(path, LibraryKind::Lte, sampleCells()).error(),
              "工参库无法写入：" + platform::utf8Name(path) + "\r\n被其他程序锁定");
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(store::load(path, LibraryKind::Lte).ok());
}

TEST(Store, ADamagedLibraryIsToldAsDamaged) {
    TempDir dir;
    const auto path = dir / "d.edb";
    makeLibrary(path, LibraryKind::Lte, sampleCells());
    std::string bytes = test::readFile(path);
    ASSERT_GT(bytes.size(), 4096u);
    for (std::size_t i = 100; i < 4096; ++i) bytes[i] = '\xA5';  // the schema page's contents
    test::writeFile(path, bytes);
    const std::string error = store::load(path, LibraryKind::Lte).error();
    EXPECT_EQ(error.rfind(unreadable(path, "文件已损坏："), 0), 0u) << error;
    EXPECT_GT(error.size(), unreadable(path, "文件已损坏：").size());  // SQLite's own words follow
}

TEST(Store, AForeignDatabaseIsRefusedBeforeItsWalOrJournalIsTouched) {
    BRINDLE_POSIX_ONLY("the writer that dies mid-write is a forked child");
    TempDir dir;
    const auto wal = dir / "w.edb";
    execSql(wal, "PRAGMA journal_mode=WAL; CREATE TABLE cells(x);");
    test::crashMidWrite(wal, "INSERT INTO cells VALUES('pending');", false);
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(wal) += "-wal"));

    const auto hot = dir / "j.edb";
    execSql(hot, "CREATE TABLE cells(x); INSERT INTO cells VALUES('kept');");
    test::crashMidWrite(hot, "BEGIN; DELETE FROM cells;", true);
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(hot) += "-journal"));

    for (const auto& path : {wal, hot}) {
        const std::filesystem::path side = std::filesystem::path(path) +=
            (path == wal ? "-wal" : "-journal");
        const std::string bytes = test::readFile(path);
        const std::string sideBytes = test::readFile(side);
        const std::string refused = "不是Brindle工参库，已拒绝打开：" + platform::utf8Name(path);
        EXPECT_EQ(store::check(path, LibraryKind::Lte).error(), refused);
        EXPECT_EQ(store::load(path, LibraryKind::Lte).error(), refused);
        EXPECT_EQ(store::count(path, LibraryKind::Lte).error(), refused);
        EXPECT_EQ(store::replaceAll(path, LibraryKind::Lte, sampleCells()).error(), refused);
        EXPECT_EQ(test::readFile(path), bytes) << path;
        ASSERT_TRUE(std::filesystem::exists(side)) << side;
        EXPECT_EQ(test::readFile(side), sideBytes) << side;
    }
}

TEST(Store, TwoCreatorsOfOneLibraryNeverTakeEachOthers) {
    TempDir dir;
    constexpr int kCreators = 4;
    for (int round = 0; round < 20; ++round) {
        const auto path = dir / ("r" + std::to_string(round) + ".edb");
        std::barrier start(kCreators);
        std::vector<int> made(kCreators, 0);
        std::vector<std::thread> creators;
        for (int i = 0; i < kCreators; ++i)
            creators.emplace_back([&, i] {
                start.arrive_and_wait();
                made[i] = store::create(path, LibraryKind::Lte).ok();
            });
        for (auto& t : creators) t.join();
        EXPECT_EQ(std::count(made.begin(), made.end(), 1), 1) << round;
        const auto loaded = store::load(path, LibraryKind::Lte);
        EXPECT_TRUE(loaded.ok()) << loaded.error();
    }
    // Nothing but the libraries is left in the folder.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_EQ(entry.path().extension(), ".edb") << entry.path();
        ++files;
    }
    EXPECT_EQ(files, 20);
}

TEST(Store, CreateNeverReplacesAFile) {
    TempDir dir;
    const auto path = dir / "n.edb";
    test::writeFile(path, "mine");
    EXPECT_EQ(store::create(path, LibraryKind::Lte).error(),
              "文件已存在：" + platform::utf8Name(path));
    EXPECT_EQ(test::readFile(path), "mine");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(Lookup, FindsTheFirstRecordByExactName) {
    TempDir dir;
    makeLibrary(dir / "l.edb", LibraryKind::Lte, sampleCells());
    auto lib = store::load(dir / "l.edb", LibraryKind::Lte).value();
    RecordingFeedback fb;
    const auto b = lookup4G(lib.get(), "小区B", fb);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->基站名, "站A");  // the first of the two 小区B
    EXPECT_EQ(b->频点, "38544");
    EXPECT_FALSE(lookup4G(lib.get(), "小区A", fb));   // stored with a leading space
    EXPECT_FALSE(lookup4G(lib.get(), "小区B ", fb));  // trailing space is another name
    EXPECT_FALSE(lookup4G(lib.get(), "cell-x", fb));  // case matters
    EXPECT_FALSE(lookup4G(lib.get(), "", fb));
    EXPECT_FALSE(lookup4G(nullptr, "小区B", fb));  // no library open
    EXPECT_EQ(fb.texts(), (Lines{"小区A小区不存在！", "小区B 小区不存在！", "cell-x小区不存在！",
                                 "小区不存在！", "小区B小区不存在！"}));
}

// Many names, each twice, and an empty library: every name leads to its
// first record, whatever else shares its place in the index.
TEST(Lookup, ManyNamesEachFindTheirFirstRecord) {
    std::vector<Record> records;
    for (int copy = 0; copy < 2; ++copy)
        for (int i = 0; i < 3000; ++i)
            records.push_back(cell4G(
                static_cast<std::int32_t>(records.size()) + 1,
                {"站", "小区" + std::to_string(i), "0", "1", "0", "1", "1", std::to_string(copy)}));
    std::vector<std::int64_t> rowids(records.size(), 0);
    const Library library("m.edb", LibraryKind::Lte, std::move(records), std::move(rowids));
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ(library.findCell("小区" + std::to_string(i)), static_cast<std::size_t>(i)) << i;
    EXPECT_EQ(library.findCell("小区3000"), std::nullopt);
    EXPECT_EQ(library.findCell("小区"), std::nullopt);
    EXPECT_EQ(library.findCell(""), std::nullopt);
    const Library empty("e.edb", LibraryKind::Lte, {}, {});
    EXPECT_EQ(empty.findCell("小区1"), std::nullopt);
    EXPECT_EQ(empty.findCell(""), std::nullopt);
}

// The indexed lookup against a scan for the first record of each name, over
// random libraries whose short names often repeat (seeds fixed, shown on a
// failure), with real hashes and with every hash equal.
TEST(Lookup, IndexedLookupEqualsAScan) {
    const auto compare = [](unsigned seed, int records) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const auto name = [&] {
            constexpr std::string_view kParts[] = {"甲", "乙", "a"};
            std::string text;
            for (int n = static_cast<int>(random() % 4); n > 0; --n) text += kParts[random() % 3];
            return text;
        };
        const LibraryKind kind = seed % 2 ? LibraryKind::Lte : LibraryKind::Gsm;
        std::vector<Record> cells;
        for (int i = 0; i < records; ++i) {
            Record r{i + 1, std::vector<std::string>(fieldNames(kind).size())};
            r.fields[kCellNameField] = name();
            cells.push_back(std::move(r));
        }
        const Library library("r.edb", kind, cells, std::vector<std::int64_t>(cells.size()));
        for (int q = 0; q < 2 * records; ++q) {
            const std::string wanted = name();
            std::optional<std::size_t> first;
            for (std::size_t i = 0; i < cells.size() && !first; ++i)
                if (cells[i].fields[kCellNameField] == wanted) first = i;
            ASSERT_EQ(library.findCell(wanted), first) << wanted;
        }
    };
    for (unsigned seed = 1; seed <= 4; ++seed) compare(seed, 3000);
    const EqualHashesForTest equal;
    for (unsigned seed = 5; seed <= 6; ++seed) compare(seed, 200);
}

// The field table against the library file: `ID`, then each field in the
// column of its position, by its name; the names are the library's schema,
// written out here.
TEST(FieldTable, EachFieldNamesItsColumnOfALibraryFile) {
    TempDir dir;
    const auto columns = [&](LibraryKind kind) {
        const auto path = dir / (std::string(kindLabel(kind)) + ".edb");
        EXPECT_TRUE(store::create(path, kind));
        sqlite3* db = nullptr;
        sqlite3_stmt* st = nullptr;
        Lines out;
        if (sqlite3_open_v2(platform::utf8Name(path).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) ==
                SQLITE_OK &&
            sqlite3_prepare_v2(db, "PRAGMA table_info(cells)", -1, &st, nullptr) == SQLITE_OK)
            while (sqlite3_step(st) == SQLITE_ROW)
                out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        sqlite3_finalize(st);
        sqlite3_close(db);
        return out;
    };
    const Lines lte = columns(LibraryKind::Lte), gsm = columns(LibraryKind::Gsm);
    EXPECT_EQ(lte, (Lines{"ID", "基站名", "小区名", "本地小区标识", "基站号", "小区标识", "频点",
                          "物理小区标识", "TAC号"}));
    EXPECT_EQ(gsm, (Lines{"ID", "基站名", "小区名", "小区LAC", "小区CI", "BCCH频点", "小区网络色码",
                          "小区基站色码"}));
    ASSERT_EQ(lte.size(), kFieldTable4G.size() + 1);
    for (const auto& row : kFieldTable4G) EXPECT_EQ(lte[fieldIndex(row.field) + 1], row.name);
    ASSERT_EQ(gsm.size(), kFieldTable2G.size() + 1);
    for (const auto& row : kFieldTable2G) EXPECT_EQ(gsm[fieldIndex(row.field) + 1], row.name);
}

// A record whose every field holds its own column name: each member of the
// cells and each enumerator reads the field of that name.
TEST(FieldTable, CellsAndEnumeratorsReadTheFieldOfTheirName) {
    const auto named = [](LibraryKind kind) {
        Record r{7, {}};
        for (std::string_view name : fieldNames(kind)) r.fields.emplace_back(name);
        return Library("n.edb", kind, {r}, {1});
    };
    const Library lte = named(LibraryKind::Lte), gsm = named(LibraryKind::Gsm);
    const Cell4G c = Cell4G::from(lte.at(0));
    EXPECT_EQ(c.ID, 7);
    EXPECT_EQ(c.基站名, "基站名");
    EXPECT_EQ(c.小区名, "小区名");
    EXPECT_EQ(c.本地小区标识, "本地小区标识");
    EXPECT_EQ(c.基站号, "基站号");
    EXPECT_EQ(c.小区标识, "小区标识");
    EXPECT_EQ(c.频点, "频点");
    EXPECT_EQ(c.物理小区标识, "物理小区标识");
    EXPECT_EQ(c.TAC号, "TAC号");
    const Cell2G g = Cell2G::from(gsm.at(0));
    EXPECT_EQ(g.基站名, "基站名");
    EXPECT_EQ(g.小区名, "小区名");
    EXPECT_EQ(g.小区LAC, "小区LAC");
    EXPECT_EQ(g.小区CI, "小区CI");
    EXPECT_EQ(g.BCCH频点, "BCCH频点");
    EXPECT_EQ(g.小区网络色码, "小区网络色码");
    EXPECT_EQ(g.小区基站色码, "小区基站色码");
    for (const auto& row : kFieldTable4G) EXPECT_EQ(lte.at(0).field(row.field), row.name);
    for (const auto& row : kFieldTable2G) EXPECT_EQ(gsm.at(0).field(row.field), row.name);
    EXPECT_EQ(lte.at(0).field(kSiteNameField), "基站名");
    EXPECT_EQ(gsm.at(0).cellName(), "小区名");
}

// A looked-up cell reads the library's own record: nothing is copied.
TEST(Lookup, ACellViewsTheLibrarysRecord) {
    TempDir dir;
    makeLibrary(dir / "l.edb", LibraryKind::Lte, sampleCells());
    auto lib = store::load(dir / "l.edb", LibraryKind::Lte).value();
    RecordingFeedback fb;
    const auto x = lookup4G(lib.get(), "Cell-x", fb);
    ASSERT_TRUE(x);
    EXPECT_EQ(x->小区名.data(), lib->at(3).field(1).data());
    EXPECT_EQ(x->基站号.data(), lib->at(3).field(3).data());
    EXPECT_EQ(x->ID, 4);
}

// An edit made while a run holds a cell (the run lets window events through)
// leaves that cell reading the texts it was looked up with.
TEST(Lookup, ACellLookedUpBeforeAnEditKeepsItsTexts) {
    TempDir dir;
    makeLibrary(dir / "l.edb", LibraryKind::Lte, sampleCells());
    auto lib = store::load(dir / "l.edb", LibraryKind::Lte).value();
    RecordingFeedback fb;
    const auto before = lookup4G(lib.get(), "Cell-x", fb);
    ASSERT_TRUE(before);
    ASSERT_TRUE(
        lib->modify(RecordKey::byId(4), {{0, "一个长得放不进原来位置的基站名称"}, {1, "Cell-y"}})
            .ok());
    EXPECT_EQ(before->基站名, "站D");
    EXPECT_EQ(before->小区名, "Cell-x");
    const auto after = lookup4G(lib.get(), "Cell-y", fb);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->基站名, "一个长得放不进原来位置的基站名称");
    EXPECT_FALSE(lib->findCell("Cell-x"));
}

// Each edit's texts are kept: a cell or a record view from before either of
// two edits of one record still reads what it was looked up with.
TEST(Lookup, TwoEditsOfOneRecordLeaveEarlierCellsReadingTheirTexts) {
    TempDir dir;
    makeLibrary(dir / "l.edb", LibraryKind::Lte, sampleCells());
    auto lib = store::load(dir / "l.edb", LibraryKind::Lte).value();
    const RecordView original = lib->at(1);
    ASSERT_TRUE(lib->modify(RecordKey::byId(2), {{6, "99"}}).ok());
    const Cell4G first = Cell4G::from(lib->at(1));
    ASSERT_TRUE(lib->modify(RecordKey::byId(2), {{1, "小区Z"}, {6, ""}}).ok());
    EXPECT_EQ(original.field(6), "13");
    EXPECT_EQ(original.cellName(), "小区B");
    EXPECT_EQ(first.物理小区标识, "99");
    EXPECT_EQ(first.小区名, "小区B");
    EXPECT_EQ(lib->at(1).toRecord().fields,
              (Lines{"站A", "小区Z", "1", "569001", "1", "38544", "", "22561"}));
    EXPECT_EQ(lib->at(2).cellName(), "小区B");  // its neighbours untouched
    EXPECT_EQ(lib->findCell("小区Z"), 1u);
    EXPECT_EQ(lib->findCell("小区B"), 2u);
    EXPECT_EQ(lib->findByFields(0, {{3, "569001"}, {6, ""}}), 1u);
    EXPECT_EQ(lib->findByFields(0, {{6, "99"}}), std::nullopt);
}

// An edit naming a field the kind does not have is refused whole and
// changes neither the file nor memory.
TEST(Store, AnEditOfAFieldTheKindLacksIsRefused) {
    TempDir dir;
    const auto path = dir / "w.edb";
    makeLibrary(path, LibraryKind::Lte, sampleCells());
    auto lib = store::load(path, LibraryKind::Lte).value();
    EXPECT_EQ(lib->modify(RecordKey::byId(1), {{0, "站X"}, {8, "多余"}}).error(),
              "记录的字段数不符");
    EXPECT_EQ(lib->modify(RecordKey::byField(8, "x"), {{0, "站X"}}).error(), "记录的字段数不符");
    EXPECT_EQ(lib->at(0).toRecord().fields, sampleCells()[0].fields);
    EXPECT_EQ(store::load(path, LibraryKind::Lte).value()->at(0).toRecord().fields,
              sampleCells()[0].fields);
}

// Another program may have stored numbers, NULLs or texts with a NUL byte:
// numbers read as SQLite writes them, NULL as an empty text, and a text
// keeps every byte. So many long numbers also make the texts outgrow the
// room the file's size reserved for them.
TEST(Store, ReadsNumbersNullsAndNulBytesAsText) {
    TempDir dir;
    const auto path = dir / "n.edb";
    makeLibrary(path, LibraryKind::Lte, sampleCells());
    // Columns without a type keep numbers as numbers.
    execSql(path,
            "CREATE TABLE c2(\"ID\", \"基站名\", \"小区名\", \"本地小区标识\", \"基站号\", "
            "\"小区标识\", \"频点\", \"物理小区标识\", \"TAC号\");"
            "INSERT INTO c2 SELECT * FROM cells ORDER BY rowid; DROP TABLE cells;"
            "ALTER TABLE c2 RENAME TO cells;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
            "INSERT INTO cells SELECT 9000000000000000000 + i, 9000000000000000000 + i, "
            "9000000000000000000 + i, 9000000000000000000 + i, 9000000000000000000 + i, "
            "9000000000000000000 + i, 1.5, NULL, CAST(X'41004243' AS TEXT) FROM n;");
    const auto loaded = store::load(path, LibraryKind::Lte);
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    const Library& lib = **loaded;
    ASSERT_EQ(lib.count(), 3004u);
    EXPECT_EQ(lib.at(3).toRecord().fields, sampleCells()[3].fields);
    EXPECT_EQ(lib.at(4).ID, -494665727);  // the low 32 bits, as SQLite gives them
    EXPECT_EQ(
        lib.at(4).toRecord().fields,
        (Lines{"9000000000000000001", "9000000000000000001", "9000000000000000001",
               "9000000000000000001", "9000000000000000001", "1.5", "", std::string("A\0BC", 4)}));
    EXPECT_EQ(lib.at(3003).field(1), "9000000000000003000");
    EXPECT_EQ(lib.at(3003).field(7), std::string("A\0BC", 4));
    EXPECT_EQ(lib.findCell("9000000000000002999"), 3002u);
    std::uintmax_t textBytes = 0;
    for (std::size_t i = 0; i < lib.count(); ++i)
        for (std::size_t f = 0; f < lib.at(i).fieldCount(); ++f)
            textBytes += lib.at(i).field(f).size();
    EXPECT_GT(textBytes, std::filesystem::file_size(path));  // the texts outgrew the hint
}

// A library made in memory has the kind's fields: missing ones are empty
// and extra ones left out.
TEST(Lookup, ALibraryMadeInMemoryHasItsKindsWidth) {
    const Library lib(
        "m.edb", LibraryKind::Gsm,
        std::vector<Record>{{7, {"站", "小区"}}, {8, {"a", "b", "c", "d", "e", "f", "g", "h"}}},
        {1, 2});
    ASSERT_EQ(lib.count(), 2u);
    EXPECT_EQ(lib.at(0).toRecord().fields, (Lines{"站", "小区", "", "", "", "", ""}));
    EXPECT_EQ(lib.at(1).toRecord().fields, (Lines{"a", "b", "c", "d", "e", "f", "g"}));
    EXPECT_EQ(lib.at(1).ID, 8);
    EXPECT_EQ(lib.findCell("小区"), 0u);
}

TEST(Lookup, ScansForwardByOtherKeys) {
    TempDir dir;
    makeLibrary(dir / "l.edb", LibraryKind::Lte, sampleCells());
    auto lib = store::load(dir / "l.edb", LibraryKind::Lte).value();
    EXPECT_EQ(lib->findByFields(0, {{3, "569001"}, {6, "13"}}), 1u);
    EXPECT_EQ(lib->findByFields(2, {{3, "569001"}}), std::nullopt);
    EXPECT_EQ(lib->findByFields(0, {{0, "站C"}, {2, "2"}}), 2u);
}

TEST(Catalogue, ListsPlainEdbFilesByName) {
    BRINDLE_POSIX_ONLY("symbolic links need privileges on Windows");
    TempDir dir;
    EXPECT_TRUE(listLibraries(dir / "mu").empty());  // no folder: nothing, no error
    test::writeFile(dir / "mu" / u8"南区.edb", "");
    test::writeFile(dir / "mu" / u8"北区.EDB", "");
    test::writeFile(dir / "mu" / "notes.txt", "");
    std::filesystem::create_directories(dir / "mu" / "folder.edb");
    std::filesystem::create_symlink(dir / "mu" / u8"南区.edb", dir / "mu" / "link.edb");
    EXPECT_EQ(listLibraries(dir / "mu"), (Lines{"北区.EDB", "南区.edb"}));
}

TEST(Catalogue, DeleteAsksAndReports) {
    TempDir dir;
    test::writeFile(dir / "mu" / u8"北区.edb", "");
    RecordingFeedback fb;
    fb.answer(Question::DeleteLibrary, false);
    fb.answer(Question::DeleteLibrary, true);
    fb.answer(Question::DeleteLibrary, true);
    const Result<bool> cancelled = deleteLibrary(dir / "mu", "北区.edb", fb);
    ASSERT_TRUE(cancelled.ok());
    EXPECT_FALSE(*cancelled);
    EXPECT_TRUE(std::filesystem::exists(dir / "mu" / u8"北区.edb"));
    const Result<bool> deleted = deleteLibrary(dir / "mu", "北区.edb", fb);
    ASSERT_TRUE(deleted.ok());
    EXPECT_TRUE(*deleted);
    EXPECT_FALSE(std::filesystem::exists(dir / "mu" / u8"北区.edb"));
    EXPECT_EQ(deleteLibrary(dir / "mu", "北区.edb", fb).error(), "删除文件出错！");
    EXPECT_EQ(fb.texts(), (Lines{"是否删除工参库： \r\n北区.edb", "是否删除工参库： \r\n北区.edb",
                                 "删除成功！", "是否删除工参库： \r\n北区.edb", "删除文件出错！"}));
}

TEST(Catalogue, DeleteRefusesWhatIsNotAListedLibrary) {
    BRINDLE_POSIX_ONLY("symbolic links need privileges on Windows");
    TempDir dir;
    test::writeFile(dir / "mu" / "EARFCN.ini", "plan");
    test::writeFile(dir / "mu" / u8"北区.edb", "library");
    test::writeFile(dir / "outside.edb", "elsewhere");
    std::filesystem::create_directories(dir / "mu" / "folder.edb");
    std::filesystem::create_symlink(dir / "outside.edb", dir / "mu" / "link.edb");
    RecordingFeedback fb;
    for (int i = 0; i < 9; ++i) fb.answer(Question::DeleteLibrary, true);
    for (const std::string name : {"EARFCN.ini", "../outside.edb", "../mu/北区.edb", "folder.edb",
                                   "link.edb", ".", "..", ""}) {
        EXPECT_EQ(deleteLibrary(dir / "mu", name, fb).error(), "删除文件出错！") << name;
        EXPECT_EQ(fb.texts().back(), "删除文件出错！");
    }
    EXPECT_EQ(test::readFile(dir / "mu" / "EARFCN.ini"), "plan");
    EXPECT_EQ(test::readFile(dir / "mu" / u8"北区.edb"), "library");
    EXPECT_EQ(test::readFile(dir / "outside.edb"), "elsewhere");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "mu" / "folder.edb"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "mu" / "link.edb"));
    EXPECT_EQ(deleteLibrary(dir / "mu", "北区.edb", fb).value(), true);  // as listed: deleted
}

class OpenChecks : public ::testing::Test {
protected:
    TempDir dir;
    Session session{dir.path()};
    RecordingFeedback fb;
    void makeGood4G() {
        makeLibrary(session.folder.mu() / "a.edb", LibraryKind::Lte, sampleCells());
    }
};

TEST_F(OpenChecks, NoChosen4GLibrary) {
    EXPECT_EQ(openChosenLibraries(session, fb).error(), "请选择4G工参库");
    session.current4G = session.folder.mu() / "gone.edb";
    EXPECT_EQ(openChosenLibraries(session, fb).error(), "请选择4G工参库");
    EXPECT_EQ(fb.texts(), (Lines{"请选择4G工参库", "请选择4G工参库"}));
}

TEST_F(OpenChecks, EmptyLibrariesStopTheOpening) {
    makeLibrary(session.folder.mu() / "empty.edb", LibraryKind::Lte, {});
    session.current4G = session.folder.mu() / "empty.edb";
    EXPECT_EQ(openChosenLibraries(session, fb).error(), "该工参库无数据，请导入工参库！");
    makeGood4G();
    makeLibrary(session.folder.mu2() / "empty.edb", LibraryKind::Gsm, {});
    session.current4G = session.folder.mu() / "a.edb";
    session.current2G = session.folder.mu2() / "empty.edb";
    EXPECT_EQ(openChosenLibraries(session, fb).error(), "该工参库无数据，请导入工参库！");
    EXPECT_EQ(fb.texts(),
              (Lines{"该工参库无数据，请导入工参库！", "该工参库无数据，请导入工参库！"}));
    EXPECT_FALSE(session.library4G);
}

TEST_F(OpenChecks, MissingTwoGOnlyWarns) {
    makeGood4G();
    session.current4G = session.folder.mu() / "a.edb";
    const Status opened = openChosenLibraries(session, fb);
    ASSERT_TRUE(opened.ok()) << opened.error();
    EXPECT_EQ(opened.error(), "");  // the warning is no failure
    EXPECT_EQ(fb.texts(), Lines{"没有选择2G工参库，只能生成4G脚本！"});
    ASSERT_TRUE(session.library4G);
    EXPECT_EQ(session.library4G->count(), 4u);
    EXPECT_FALSE(session.library2G);
}

TEST_F(OpenChecks, ForeignFileIsRefusedWithItsReason) {
    test::writeFile(session.folder.mu() / "x.edb", "junk");
    session.current4G = session.folder.mu() / "x.edb";
    const Status opened = openChosenLibraries(session, fb);
    EXPECT_FALSE(opened.ok());
    EXPECT_EQ(fb.texts(), Lines{"不是Brindle工参库，已拒绝打开：" +
                                platform::utf8Name(session.folder.mu() / "x.edb")});
    EXPECT_EQ(fb.texts(), Lines{opened.error()});
    EXPECT_EQ(test::readFile(session.folder.mu() / "x.edb"), "junk");
}
