#include "core/library/store.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <set>
#include <system_error>

#include "core/base/messages.h"
#include "core/base/platform.h"

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
        if (!db_) return;
        sqlite3_busy_timeout(db_, 2000);
        // An unknown column named in double quotes must be an error, never
        // the column's name read as text.
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    }
    ~Db() { sqlite3_close(db_); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    bool ok() const { return rc_ == SQLITE_OK; }
    sqlite3* get() const { return db_; }
    const std::string& openError() const { return error_; }
    std::string lastError() const { return sqlite3_errmsg(db_); }
    int lastCode() const { return sqlite3_errcode(db_); }

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
    void bindText(int index, std::string_view text) {
        // A view without data would be bound as NULL, which the columns refuse.
        sqlite3_bind_text(stmt_, index, text.data() ? text.data() : "",
                          static_cast<int>(text.size()), SQLITE_STATIC);
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

// "<head><path>\r\n<reason>", head msg::kLibraryUnreadable or
// msg::kLibraryUnwritable.
Failure libraryFailure(std::string_view head, const fs::path& path, std::string_view reason) {
    return fail(std::string(head) + path.string() + "\r\n" + std::string(reason));
}

Failure unreadable(const fs::path& path, std::string_view reason) {
    return libraryFailure(msg::kLibraryUnreadable, path, reason);
}

// The engineer's message for a failed SQLite call on a library: what is
// wrong with the file, not just that it could not be read (or written).
Failure sqliteFailure(Db& db, const fs::path& path,
                      std::string_view head = msg::kLibraryUnreadable) {
    switch (db.lastCode() & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return libraryFailure(head, path, "被其他程序锁定");
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return libraryFailure(head, path, "文件已损坏：" + db.lastError());
        default:
            return libraryFailure(head, path, db.lastError());
    }
}

Result<long long> pragmaInt(Db& db, const fs::path& path, const char* pragma) {
    Stmt st(db, std::string("PRAGMA ") + pragma);
    if (!st.ok() || st.step() != SQLITE_ROW) return sqliteFailure(db, path);
    return static_cast<long long>(sqlite3_column_int64(st.get(), 0));
}

// Whether the file's own bytes say it is a Brindle library: the SQLite
// header and our application id (big-endian, at offset 68). Read with plain
// file reads, so that a foreign file is refused before SQLite could merge its
// -wal or roll back its journal.
bool hasLibraryHeader(const fs::path& path) {
    // Read through the platform's open, which never waits on a FIFO put in
    // the file's place after the plain-file test.
    std::array<char, 100> header{};
    platform::FileReader in;
    if (in.open(path) != platform::FileContents::State::Read) return false;
    const auto got = in.readAt(0, header.data(), header.size());
    if (!got || *got != header.size()) return false;
    constexpr std::string_view kMagic("SQLite format 3\0", 16);
    if (std::string_view(header.data(), kMagic.size()) != kMagic) return false;
    std::uint32_t id = 0;
    for (int i = 68; i < 72; ++i) id = (id << 8) | static_cast<unsigned char>(header[i]);
    return id == static_cast<std::uint32_t>(kApplicationId);
}

// Checks that the table of cells has a column for every field: SQLite would
// otherwise fail on the first query, or worse.
Status verifyColumns(Db& db, const fs::path& path, LibraryKind kind) {
    Stmt st(db, "PRAGMA table_info(cells)");
    if (!st.ok()) return sqliteFailure(db, path);
    std::set<std::string> columns;
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) columns.insert(st.text(1));
    if (rc != SQLITE_DONE) return sqliteFailure(db, path);
    if (columns.empty()) return fail(std::string(msg::kNotALibrary) + path.string());
    if (!columns.contains("ID")) return unreadable(path, "工参库缺少字段：ID");
    for (auto name : fieldNames(kind))
        if (!columns.contains(std::string(name)))
            return unreadable(path, "工参库缺少字段：" + std::string(name));
    return {};
}

// Checks that an opened database is a Brindle library of `kind`. Reads only.
Status verify(Db& db, const fs::path& path, LibraryKind kind) {
    const std::string name = path.string();
    const auto application = pragmaInt(db, path, "application_id");
    if (!application) return fail(application.error());
    if (*application != kApplicationId) return fail(std::string(msg::kNotALibrary) + name);
    const auto version = pragmaInt(db, path, "user_version");
    if (!version) return fail(version.error());
    if (*version > kFormatVersion) return unreadable(path, "该工参库由更新版本的Brindle写入");
    Stmt st(db, "SELECT kind FROM brindle_library");
    if (!st.ok()) {  // no such table: somebody else's database with our id
        if ((db.lastCode() & 0xff) == SQLITE_ERROR)
            return fail(std::string(msg::kNotALibrary) + name);
        return sqliteFailure(db, path);
    }
    const int rc = st.step();
    if (rc == SQLITE_DONE) return fail(std::string(msg::kNotALibrary) + name);
    if (rc != SQLITE_ROW) return sqliteFailure(db, path);
    const std::string stored = st.text(0);
    if (stored != kindLabel(kind))
        return fail(std::string(kind == LibraryKind::Lte ? msg::kWrongKind4G : msg::kWrongKind2G) +
                    name);
    return verifyColumns(db, path, kind);
}

// Checks from the file's bytes, before SQLite touches it, that `path` is a
// library file at all.
Status checkFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return unreadable(path, "文件不存在");
    if (!hasLibraryHeader(path)) return fail(std::string(msg::kNotALibrary) + path.string());
    return {};
}

// Opens an existing library without ever creating one. The file's header is
// checked before SQLite reads it.
Status openExisting(Db& db, const fs::path& path, LibraryKind kind) {
    if (!db.ok()) return unreadable(path, db.openError());
    return verify(db, path, kind);
}

// Where SQLite keeps the journal of a write to the library at `path`.
fs::path journalOf(const fs::path& path) {
    return fs::path(path.string() + "-journal");
}

// A crash or a full disk in the middle of a write leaves a hot journal
// beside the library; a read-only connection cannot roll it back and could
// not read the file at all. A library with a journal is opened for writing
// once so that SQLite puts the old records back. A journal that belongs to a
// write still going on is left alone by SQLite itself.
void recoverJournal(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(journalOf(path), ec)) return;
    Db db(path, SQLITE_OPEN_READWRITE);
    if (!db.ok()) return;
    Stmt st(db, "SELECT count(*) FROM sqlite_master");  // reading is what rolls back
    if (st.ok()) static_cast<void>(st.step());
}

// Opens a library to read it, after putting back what a crashed write left.
Status openForReading(std::unique_ptr<Db>& db, const fs::path& path, LibraryKind kind) {
    if (Status file = checkFile(path); !file) return file;
    recoverJournal(path);
    db = std::make_unique<Db>(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    return openExisting(*db, path, kind);
}

// Opens a library to write it. A file without write permission is refused
// before SQLite opens it: root could write it all the same, through the
// protection the engineer gave it.
Status openForWriting(std::unique_ptr<Db>& db, const fs::path& path, LibraryKind kind) {
    if (Status file = checkFile(path); !file) return file;
    if (platform::isReadOnlyFile(path))
        return libraryFailure(msg::kLibraryUnwritable, path, msg::kReadOnlyFile);
    db = std::make_unique<Db>(path, SQLITE_OPEN_READWRITE);
    return openExisting(*db, path, kind);
}

}  // namespace

bool nameFits(const fs::path& path) {
    return platform::fileNameFits(journalOf(path));
}

Status create(const fs::path& path, LibraryKind kind, const RecordSource& records,
              const std::function<void(std::size_t)>& written) {
    std::error_code ec;
    if (fs::exists(path, ec)) return fail(std::string(msg::kFileExists) + path.string());
    // The library is built whole, records included, under a temporary name
    // and then given its name in one step that never replaces a file: two
    // imports making the same library cannot take each other's, only our own
    // file is removed, and an import that fails leaves no empty library.
    const auto temp = platform::createTemporaryFileBeside(path);
    if (!temp) return fail(temp.error());
    Status made;
    {
        Db db(*temp, SQLITE_OPEN_READWRITE);
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
    if (made && records.count > 0) made = replaceAll(*temp, kind, records, written);
    if (made) made = platform::renameNoReplace(*temp, path);
    if (!made) fs::remove(*temp, ec);  // never leave a half-made library behind
    return made;
}

Status check(const fs::path& path, LibraryKind kind) {
    std::unique_ptr<Db> db;
    return openForWriting(db, path, kind);
}

Result<std::shared_ptr<Library>> load(const fs::path& path, LibraryKind kind) {
    std::unique_ptr<Db> opened;
    if (Status status = openForReading(opened, path, kind); !status) return fail(status.error());
    Db& db = *opened;

    // The rows are read once, in order: a page is not wanted again once its
    // rows are copied, and the default cache of 2 MB would only add to the
    // peak of every generator that opens a library.
    static_cast<void>(db.exec("PRAGMA cache_size=-256"));
    // The tables are sized once, so that a large library is not moved from
    // one ever larger block to the next while it is read; room reserved but
    // never written costs no memory. Both sizes are hints (the rows are read
    // by the query below). The number of records is taken from the largest
    // rowid, which a library Brindle wrote numbers from 1 and which SQLite
    // finds on the table's last page, where count(*) would read every page
    // of the file once more; a file holds no more than a record in 16
    // bytes, which bounds a rowid another program left far higher. The
    // texts of a library written by Brindle are stored as they are, and fit
    // in the file's size.
    std::error_code ec;
    const std::uintmax_t fileSize = fs::file_size(path, ec);
    Stmt last(db, "SELECT max(rowid) FROM cells");
    const std::int64_t lastRowid =
        last.ok() && last.step() == SQLITE_ROW ? sqlite3_column_int64(last.get(), 0) : 0;
    const std::size_t expected = ec ? 0
                                    : static_cast<std::size_t>(std::clamp<std::int64_t>(
                                          lastRowid, 0, static_cast<std::int64_t>(fileSize / 16)));
    Stmt st(db, "SELECT rowid," + fieldList(kind) + " FROM cells ORDER BY rowid");
    if (!st.ok()) return sqliteFailure(db, path);
    const std::size_t width = fieldNames(kind).size();
    RecordTable records(width);
    std::vector<std::int64_t> rowids;
    records.reserve(expected, ec ? 0 : fileSize);
    rowids.reserve(expected);
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        rowids.push_back(sqlite3_column_int64(st.get(), 0));
        records.startRecord(sqlite3_column_int(st.get(), 1));
        for (int f = 0; f < static_cast<int>(width); ++f) {
            // The text is taken before its length, as SQLite asks; a NULL
            // is an empty text.
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), f + 2));
            const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(st.get(), f + 2));
            if (!records.addField(text ? std::string_view(text, bytes) : std::string_view()))
                return unreadable(path, "工参库过大");
        }
    }
    if (rc != SQLITE_DONE) return sqliteFailure(db, path);
    return std::make_shared<Library>(path, kind, std::move(records), std::move(rowids));
}

Status replaceAll(const fs::path& path, LibraryKind kind, const RecordSource& records,
                  const std::function<void(std::size_t)>& written) {
    std::unique_ptr<Db> opened;
    if (Status status = openForWriting(opened, path, kind); !status) return status;
    Db& db = *opened;
    // The whole library is rewritten in one transaction: a page cache that
    // holds all of it (32 MB at most; a province's library is some 16 MB)
    // keeps SQLite from spilling pages to the file, and syncing the journal
    // for each spill, before the commit. Durability is the same.
    if (Status begun = db.exec("PRAGMA cache_size=-32768; BEGIN IMMEDIATE; DELETE FROM cells;");
        !begun)
        return begun;

    Stmt insert(db,
                "INSERT INTO cells(" + fieldList(kind) + ") VALUES(" + placeholders(kind) + ")");
    Status status = insert.ok() ? Status() : fail(db.lastError());
    const std::size_t width = fieldNames(kind).size();
    std::vector<std::string_view> fields;
    for (std::size_t i = 0; status && i < records.count; ++i) {
        fields.clear();
        const std::int32_t id = records.at(i, fields);
        // SQLite would drop a field past the last column without a word, and
        // a missing one would be written as nothing: either loses data.
        if (fields.size() != width) {
            status = fail(std::string(msg::kFieldCountMismatch));
            break;
        }
        sqlite3_bind_int(insert.get(), 1, id);
        for (std::size_t f = 0; f < width; ++f) insert.bindText(static_cast<int>(f) + 2, fields[f]);
        if (insert.step() != SQLITE_DONE) status = fail(db.lastError());
        insert.reset();
        if (written && (i + 1) % 1024 == 0) written(i + 1);
    }
    if (written && status) written(records.count);
    // The count is checked before the commit: a write that would leave the
    // library with other records than asked for is rolled back.
    if (status) {
        Stmt counted(db, "SELECT count(*) FROM cells");
        if (!counted.ok() || counted.step() != SQLITE_ROW)
            status = fail(db.lastError());
        else if (sqlite3_column_int64(counted.get(), 0) != static_cast<long long>(records.count))
            status = fail("写入的记录数不符");
    }
    if (status) status = db.exec("COMMIT;");
    if (!status) static_cast<void>(db.exec("ROLLBACK;"));  // the first error is the one to tell
    return status;
}

Status replaceAll(const fs::path& path, LibraryKind kind, const std::vector<Record>& records,
                  const std::function<void(std::size_t)>& written) {
    const RecordSource source{records.size(),
                              [&](std::size_t i, std::vector<std::string_view>& fields) {
                                  fields.assign(records[i].fields.begin(), records[i].fields.end());
                                  return records[i].ID;
                              }};
    return replaceAll(path, kind, source, written);
}

Result<long long> count(const fs::path& path, LibraryKind kind) {
    std::unique_ptr<Db> opened;
    if (Status status = openForReading(opened, path, kind); !status) return fail(status.error());
    Db& db = *opened;
    Stmt st(db, "SELECT count(*) FROM cells");
    if (!st.ok() || st.step() != SQLITE_ROW) return sqliteFailure(db, path);
    return static_cast<long long>(sqlite3_column_int64(st.get(), 0));
}

Result<std::optional<StoredRecord>> modify(const fs::path& path, LibraryKind kind,
                                           const RecordKey& key, const FieldChanges& changes) {
    std::unique_ptr<Db> opened;
    if (Status status = openForWriting(opened, path, kind); !status) return fail(status.error());
    Db& db = *opened;
    const auto names = fieldNames(kind);
    if (key.field && *key.field >= names.size()) return fail(std::string(msg::kFieldCountMismatch));
    for (const auto& change : changes)
        if (change.first >= names.size()) return fail(std::string(msg::kFieldCountMismatch));
    // The write lock is taken before the record is read: no other write can
    // come between the reading and the writing, and the busy timeout lets
    // one that is going on end first.
    if (!db.exec("BEGIN IMMEDIATE;")) return sqliteFailure(db, path, msg::kLibraryUnwritable);
    const auto failed = [&]() -> Failure {
        Failure failure = sqliteFailure(db, path, msg::kLibraryUnwritable);
        static_cast<void>(db.exec("ROLLBACK;"));
        return failure;
    };

    const std::string where = key.field ? quoted(names[*key.field]) + "=?" : "\"ID\"=?";
    Stmt find(db, "SELECT rowid," + fieldList(kind) + " FROM cells WHERE " + where +
                      " ORDER BY rowid LIMIT 1");
    if (!find.ok()) return failed();
    if (key.field)
        find.bindText(1, key.text);
    else
        sqlite3_bind_int(find.get(), 1, key.id);
    const int rc = find.step();
    if (rc == SQLITE_DONE) {
        static_cast<void>(db.exec("ROLLBACK;"));
        return std::optional<StoredRecord>();
    }
    if (rc != SQLITE_ROW) return failed();
    StoredRecord stored{sqlite3_column_int64(find.get(), 0),
                        {sqlite3_column_int(find.get(), 1), {}}};
    for (std::size_t f = 0; f < names.size(); ++f)
        stored.record.fields.push_back(find.text(static_cast<int>(f) + 2));
    find.reset();

    if (!changes.empty()) {
        std::string set;
        for (const auto& change : changes) {
            set += (set.empty() ? "" : ",") + quoted(names[change.first]) + "=?";
            stored.record.fields[change.first] = change.second;
        }
        Stmt update(db, "UPDATE cells SET " + set + " WHERE rowid=?");
        if (!update.ok()) return failed();
        for (std::size_t i = 0; i < changes.size(); ++i)
            update.bindText(static_cast<int>(i) + 1, changes[i].second);
        sqlite3_bind_int64(update.get(), static_cast<int>(changes.size()) + 1, stored.rowid);
        if (update.step() != SQLITE_DONE) return failed();
    }
    if (!db.exec("COMMIT;")) return failed();
    return std::optional<StoredRecord>(std::move(stored));
}

}  // namespace brindle::store
