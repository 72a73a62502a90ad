#include "core/library/store.h"

#include <sqlite3.h>

#include <system_error>

#include "core/base/messages.h"

namespace brindle::store {
namespace {

namespace fs = std::filesystem;

std::string quoted(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

// A connection that closes itself.
class Db {
public:
    Db(const fs::path& path, int flags) {
        rc_ = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
        if (rc_ != SQLITE_OK) error_ = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc_);
        if (db_) sqlite3_busy_timeout(db_, 2000);
    }
    ~Db() { sqlite3_close(db_); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    bool ok() const { return rc_ == SQLITE_OK; }
    sqlite3* get() const { return db_; }
    const std::string& openError() const { return error_; }
    std::string lastError() const { return sqlite3_errmsg(db_); }

    // Runs statements that return no rows.
    Status exec(const std::string& sql) {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) == SQLITE_OK) return {};
        std::string text = err ? err : lastError();
        sqlite3_free(err);
        return fail(std::move(text));
    }

private:
    sqlite3* db_ = nullptr;
    int rc_ = SQLITE_OK;
    std::string error_;
};

class Stmt {
public:
    Stmt(Db& db, const std::string& sql) {
        rc_ = sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &stmt_, nullptr);
    }
    ~Stmt() { sqlite3_finalize(stmt_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    bool ok() const { return rc_ == SQLITE_OK; }
    sqlite3_stmt* get() const { return stmt_; }
    int step() { return sqlite3_step(stmt_); }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    void bindText(int index, const std::string& text) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    }
    std::string text(int column) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                 : std::string();
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
    int rc_ = SQLITE_OK;
};

std::string fieldList(LibraryKind kind) {
    std::string list = "\"ID\"";
    for (auto name : fieldNames(kind)) list += "," + quoted(name);
    return list;
}

std::string placeholders(LibraryKind kind) {
    std::string list = "?";
    for (std::size_t i = 0; i < fieldNames(kind).size(); ++i) list += ",?";
    return list;
}

long long pragmaInt(Db& db, const char* pragma) {
    Stmt st(db, std::string("PRAGMA ") + pragma);
    if (!st.ok() || st.step() != SQLITE_ROW) return -1;
    return sqlite3_column_int64(st.get(), 0);
}

// "工参库无法读取：<path>\r\n<reason>".
Failure unreadable(const fs::path& path, std::string_view reason) {
    return fail(std::string(msg::kLibraryUnreadable) + path.string() + "\r\n" +
                std::string(reason));
}

// Checks that an opened database is a Brindle library of `kind`. Reads only.
Status verify(Db& db, const fs::path& path, LibraryKind kind) {
    const std::string name = path.string();
    if (pragmaInt(db, "application_id") != kApplicationId)
        return fail(std::string(msg::kNotALibrary) + name);
    if (pragmaInt(db, "user_version") > kFormatVersion)
        return unreadable(path, "该工参库由更新版本的Brindle写入");
    Stmt st(db, "SELECT kind FROM brindle_library");
    if (!st.ok() || st.step() != SQLITE_ROW) return fail(std::string(msg::kNotALibrary) + name);
    const std::string stored = st.text(0);
    if (stored != kindLabel(kind))
        return fail(std::string(kind == LibraryKind::Lte ? msg::kWrongKind4G : msg::kWrongKind2G) +
                    name);
    return {};
}

// Opens an existing file without ever creating one.
Status openExisting(Db& db, const fs::path& path, LibraryKind kind) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return unreadable(path, "文件不存在");
    if (!db.ok()) return unreadable(path, db.openError());
    return verify(db, path, kind);
}

}  // namespace

Status create(const fs::path& path, LibraryKind kind) {
    std::error_code ec;
    if (fs::exists(path, ec)) return fail("文件已存在：" + path.string());
    Status made;
    {
        Db db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (!db.ok()) return fail(db.openError());
        std::string columns = "\"ID\" INTEGER NOT NULL DEFAULT 0";
        for (auto name : fieldNames(kind))
            columns += "," + quoted(name) + " TEXT NOT NULL DEFAULT ''";
        made = db.exec(
            "BEGIN;"
            "PRAGMA application_id=" +
            std::to_string(kApplicationId) +
            ";"
            "PRAGMA user_version=" +
            std::to_string(kFormatVersion) +
            ";"
            "CREATE TABLE brindle_library(kind TEXT NOT NULL);"
            "INSERT INTO brindle_library VALUES('" +
            std::string(kindLabel(kind)) +
            "');"
            "CREATE TABLE cells(" +
            columns +
            ");"
            "COMMIT;");
    }
    if (!made) fs::remove(path, ec);  // never leave a half-made library behind
    return made;
}

Status check(const fs::path& path, LibraryKind kind) {
    Db db(path, SQLITE_OPEN_READWRITE);
    return openExisting(db, path, kind);
}

Result<std::shared_ptr<Library>> load(const fs::path& path, LibraryKind kind) {
    Db db(path, SQLITE_OPEN_READONLY);
    if (Status opened = openExisting(db, path, kind); !opened) return fail(opened.error());

    Stmt st(db, "SELECT rowid," + fieldList(kind) + " FROM cells ORDER BY rowid");
    if (!st.ok()) return unreadable(path, db.lastError());
    const std::size_t width = fieldNames(kind).size();
    std::vector<Record> records;
    std::vector<std::int64_t> rowids;
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        rowids.push_back(sqlite3_column_int64(st.get(), 0));
        Record r;
        r.ID = sqlite3_column_int(st.get(), 1);
        r.fields.reserve(width);
        for (std::size_t f = 0; f < width; ++f)
            r.fields.push_back(st.text(static_cast<int>(f) + 2));
        records.push_back(std::move(r));
    }
    if (rc != SQLITE_DONE) return unreadable(path, db.lastError());
    return std::make_shared<Library>(path, kind, std::move(records), std::move(rowids));
}

Status replaceAll(const fs::path& path, LibraryKind kind, const std::vector<Record>& records,
                  const std::function<void(std::size_t)>& written) {
    Db db(path, SQLITE_OPEN_READWRITE);
    if (Status opened = openExisting(db, path, kind); !opened) return opened;
    if (Status begun = db.exec("BEGIN IMMEDIATE; DELETE FROM cells;"); !begun) return begun;

    Stmt insert(db,
                "INSERT INTO cells(" + fieldList(kind) + ") VALUES(" + placeholders(kind) + ")");
    Status status = insert.ok() ? Status() : fail(db.lastError());
    for (std::size_t i = 0; status && i < records.size(); ++i) {
        const Record& r = records[i];
        sqlite3_bind_int(insert.get(), 1, r.ID);
        for (std::size_t f = 0; f < r.fields.size(); ++f)
            insert.bindText(static_cast<int>(f) + 2, r.fields[f]);
        if (insert.step() != SQLITE_DONE) status = fail(db.lastError());
        insert.reset();
        if (written && (i + 1) % 1024 == 0) written(i + 1);
    }
    if (written && status) written(records.size());
    if (status) status = db.exec("COMMIT;");
    if (!status) static_cast<void>(db.exec("ROLLBACK;"));  // the first error is the one to tell
    return status;
}

Result<long long> count(const fs::path& path, LibraryKind kind) {
    Db db(path, SQLITE_OPEN_READONLY);
    if (Status opened = openExisting(db, path, kind); !opened) return fail(opened.error());
    Stmt st(db, "SELECT count(*) FROM cells");
    if (!st.ok() || st.step() != SQLITE_ROW) return fail(db.lastError());
    return static_cast<long long>(sqlite3_column_int64(st.get(), 0));
}

Status update(const fs::path& path, LibraryKind kind, std::int64_t rowid, const Record& record) {
    Db db(path, SQLITE_OPEN_READWRITE);
    if (Status opened = openExisting(db, path, kind); !opened) return opened;
    std::string set = "\"ID\"=?";
    for (auto name : fieldNames(kind)) set += "," + quoted(name) + "=?";
    Stmt st(db, "UPDATE cells SET " + set + " WHERE rowid=?");
    if (!st.ok()) return fail(db.lastError());
    sqlite3_bind_int(st.get(), 1, record.ID);
    for (std::size_t f = 0; f < record.fields.size(); ++f)
        st.bindText(static_cast<int>(f) + 2, record.fields[f]);
    sqlite3_bind_int64(st.get(), static_cast<int>(record.fields.size()) + 2, rowid);
    if (st.step() != SQLITE_DONE) return fail(db.lastError());
    if (sqlite3_changes(db.get()) != 1) return fail("记录不存在");
    return {};
}

}  // namespace brindle::store
