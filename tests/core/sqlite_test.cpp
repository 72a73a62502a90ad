// The SQLite wrapper: what it lets go of by itself and how it tells failures.

#include "core/base/sqlite.h"

#include <gtest/gtest.h>

#include "testsupport.h"

using namespace brindle;

namespace {

long long countOf(sql::Db& db) {
    auto st = db.prepare("SELECT count(*) FROM t");
    if (!st || !st->step().ok()) return -1;
    return st->int64(0);
}

}  // namespace

TEST(Sqlite, ATransactionNotCommittedIsRolledBack) {
    auto db = sql::Db::open(":memory:", sql::Db::Mode::Create);
    ASSERT_TRUE(db.ok());
    ASSERT_TRUE(db->exec("CREATE TABLE t(x TEXT NOT NULL)").ok());
    for (const bool commit : {false, true}) {
        auto transaction = sql::Transaction::begin(*db);
        ASSERT_TRUE(transaction.ok());
        auto insert = db->prepare("INSERT INTO t VALUES(?)");
        ASSERT_TRUE(insert.ok());
        insert->bind(1, std::string_view());  // no data: the empty text, never NULL
        ASSERT_TRUE(insert->step().ok()) << insert->step().error().text;
        if (commit) {
            ASSERT_TRUE(transaction->commit().ok());
        }
        *insert = sql::Stmt();
        transaction = sql::Transaction();
        EXPECT_EQ(countOf(*db), commit ? 1 : 0);
    }
}

TEST(Sqlite, FailuresSayWhatTheyMean) {
    test::TempDir dir;
    auto db = sql::Db::open(dir.path() / "a.db", sql::Db::Mode::Create);
    ASSERT_TRUE(db.ok());
    const auto missing = db->prepare("SELECT * FROM absent");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().fault(), sql::Fault::Missing);
    EXPECT_EQ(missing.error().text, "no such table: absent");

    ASSERT_TRUE(db->exec("CREATE TABLE t(x)").ok());
    auto other = sql::Db::open(dir.path() / "a.db", sql::Db::Mode::ReadWrite);
    ASSERT_TRUE(other.ok());
    auto held = sql::Transaction::begin(*other, sql::Transaction::Lock::Immediate);
    ASSERT_TRUE(held.ok());
    const auto locked = sql::Transaction::begin(*db, sql::Transaction::Lock::Immediate);
    ASSERT_FALSE(locked.ok());
    EXPECT_EQ(locked.error().fault(), sql::Fault::Locked);

    EXPECT_EQ(sql::Db::open(dir.path() / "none.db", sql::Db::Mode::ReadWrite).error().fault(),
              sql::Fault::Other);  // SQLITE_CANTOPEN
    std::FILE* junk = std::fopen(platform::utf8Name(dir.path() / "junk.db").c_str(), "wb");
    ASSERT_NE(junk, nullptr);
    std::fputs(std::string(4096, 'x').c_str(), junk);
    std::fclose(junk);
    auto damaged = sql::Db::open(dir.path() / "junk.db", sql::Db::Mode::ReadOnly);
    ASSERT_TRUE(damaged.ok());
    EXPECT_EQ(damaged->exec("SELECT * FROM sqlite_master").error().fault(), sql::Fault::Damaged);
}
