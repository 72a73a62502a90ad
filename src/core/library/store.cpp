#include "core/library/store.h"

#include <algorithm>
#include <array>
#include <set>
#include <system_error>

#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/base/sqlite.h"

namespace brindle::store {
namespace {

namespace fs = std::filesystem;

std::string quoted(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

// How long a connection waits for another's lock.
constexpr int kLockWaitMs = 2000;

// Every connection waits a while for another's lock, and takes an unknown
// column named in double quotes for an error, never for the column's name
// read as text.
Result<sql::Db> openDb(const fs::path& path, sql::Db::Mode mode) {
    auto db = sql::Db::open(path, mode);
    if (!db) return fail(db.error().text);
    db->setBusyTimeout(kLockWaitMs);
    db->forbidQuotedTexts();
    return std::move(*db);
}

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
    return fail(std::string(head) + platform::utf8Name(path) + "\r\n" + std::string(reason));
}

Failure unreadable(const fs::path& path, std::string_view reason) {
    return libraryFailure(msg::kLibraryUnreadable, path, reason);
}

// The engineer's message for a failed SQLite call on a library: what is
// wrong with the file, not just that it could not be read (or written).
Failure sqliteFailure(const sql::Error& error, const fs::path& path,
                      std::string_view head = msg::kLibraryUnreadable) {
    switch (error.fault()) {
        case sql::Fault::Locked:
            return libraryFailure(head, path, "被其他程序锁定");
        case sql::Fault::Damaged:
            return libraryFailure(head, path, "文件已损坏：" + error.text);
        default:
            return libraryFailure(head, path, error.text);
    }
}

// The statement stepped to its first row. One done without a row fails
// with what SQLite then says.
sql::Result<sql::Stmt> firstRow(sql::Db& db, const std::string& query) {
    auto st = db.prepare(query);
    if (!st) return st.error();
    const auto row = st->step();
    if (!row) return row.error();
    if (!*row) return db.lastError();
    return std::move(*st);
}

Result<long long> pragmaInt(sql::Db& db, const fs::path& path, const char* pragma) {
    const auto st = firstRow(db, std::string("PRAGMA ") + pragma);
    if (!st) return sqliteFailure(st.error(), path);
    return static_cast<long long>(st->int64(0));
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
Status verifyColumns(sql::Db& db, const fs::path& path, LibraryKind kind) {
    auto st = db.prepare("PRAGMA table_info(cells)");
    if (!st) return sqliteFailure(st.error(), path);
    std::set<std::string, std::less<>> columns;
    for (;;) {
        const auto row = st->step();
        if (!row) return sqliteFailure(row.error(), path);
        if (!*row) break;
        columns.emplace(st->text(1));
    }
    if (columns.empty()) return fail(std::string(msg::kNotALibrary) + platform::utf8Name(path));
    if (!columns.contains("ID")) return unreadable(path, "工参库缺少字段：ID");
    for (auto name : fieldNames(kind))
        if (!columns.contains(name))
            return unreadable(path, "工参库缺少字段：" + std::string(name));
    return {};
}

// Checks that an opened database is a Brindle library of `kind`. Reads only.
Status verify(sql::Db& db, const fs::path& path, LibraryKind kind) {
    const std::string name = platform::utf8Name(path);
    const auto application = pragmaInt(db, path, "application_id");
    if (!application) return fail(application.error());
    if (*application != kApplicationId) return fail(std::string(msg::kNotALibrary) + name);
    const auto version = pragmaInt(db, path, "user_version");
    if (!version) return fail(version.error());
    if (*version > kFormatVersion) return unreadable(path, "该工参库由更新版本的Brindle写入");
    auto st = db.prepare("SELECT kind FROM brindle_library");
    if (!st) {  // no such table: somebody else's database with our id
        if (st.error().fault() == sql::Fault::Missing)
            return fail(std::string(msg::kNotALibrary) + name);
        return sqliteFailure(st.error(), path);
    }
    const auto row = st->step();
    if (!row) return sqliteFailure(row.error(), path);
    if (!*row) return fail(std::string(msg::kNotALibrary) + name);
    if (st->text(0) != kindLabel(kind))
        return fail(std::string(kind == LibraryKind::Lte ? msg::kWrongKind4G : msg::kWrongKind2G) +
                    name);
    return verifyColumns(db, path, kind);
}

// Checks from the file's bytes, before SQLite touches it, that `path` is a
// library file at all.
Status checkFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return unreadable(path, "文件不存在");
    if (!hasLibraryHeader(path))
        return fail(std::string(msg::kNotALibrary) + platform::utf8Name(path));
    return {};
}

// Opens an existing library without ever creating one. The file's header is
// checked before SQLite reads it.
Result<sql::Db> openExisting(const fs::path& path, sql::Db::Mode mode, LibraryKind kind) {
    auto db = openDb(path, mode);
    if (!db) return unreadable(path, db.error());
    if (Status verified = verify(*db, path, kind); !verified) return fail(verified.error());
    return std::move(*db);
}

// Where SQLite keeps the journal of a write to the library at `path`.
fs::path journalOf(const fs::path& path) {
    fs::path journal = path;
    journal += "-journal";
    return journal;
}

// A crash or a full disk in the middle of a write leaves a hot journal
// beside the library; a read-only connection cannot roll it back and could
// not read the file at all. A library with a journal is opened for writing
// once so that SQLite puts the old records back. A journal that belongs to a
// write still going on is left alone by SQLite itself.
void recoverJournal(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(journalOf(path), ec)) return;
    auto db = openDb(path, sql::Db::Mode::ReadWrite);
    if (!db) return;
    auto st = db->prepare("SELECT count(*) FROM sqlite_master");  // reading is what rolls back
    if (st) static_cast<void>(st->step());
}

// Opens a library to read it, after putting back what a crashed write left.
Result<sql::Db> openForReading(const fs::path& path, LibraryKind kind) {
    if (Status file = checkFile(path); !file) return fail(file.error());
    recoverJournal(path);
    return openExisting(path, sql::Db::Mode::ReadOnly, kind);
}

// Opens a library to write it. A file without write permission is refused
// before SQLite opens it: root could write it all the same, through the
// protection the engineer gave it.
Result<sql::Db> openForWriting(const fs::path& path, LibraryKind kind) {
    if (Status file = checkFile(path); !file) return fail(file.error());
    if (platform::isReadOnlyFile(path))
        return libraryFailure(msg::kLibraryUnwritable, path, msg::kReadOnlyFile);
    return openExisting(path, sql::Db::Mode::ReadWrite, kind);
}

// A new library, built whole under a temporary name beside its path and
// given its name in one step that never replaces a file: two imports making
// the same library cannot take each other's, only our own file is removed,
// and an import that fails leaves no empty library. The temporary is
// removed unless it was given its name.
class NewLibrary {
public:
    // The temporary, holding an empty library of `kind`.
    static Result<NewLibrary> make(const fs::path& path, LibraryKind kind) {
        std::error_code ec;
        if (fs::exists(path, ec))
            return fail(std::string(msg::kFileExists) + platform::utf8Name(path));
        const auto temp = platform::createTemporaryFileBeside(path);
        if (!temp) return fail(temp.error());
        NewLibrary made(path, *temp);
        auto db = openDb(*temp, sql::Db::Mode::ReadWrite);
        if (!db) return fail(db.error());
        std::string columns = "\"ID\" INTEGER NOT NULL DEFAULT 0";
        for (auto name : fieldNames(kind))
            columns += "," + quoted(name) + " TEXT NOT NULL DEFAULT ''";
        if (sql::Status schema = db->exec("BEGIN;"
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
            !schema)
            return fail(schema.error().text);
        return made;
    }

    NewLibrary() = default;
    NewLibrary(NewLibrary&& other) noexcept
        : path_(std::move(other.path_)), temp_(std::exchange(other.temp_, {})) {}
    NewLibrary& operator=(NewLibrary&& other) noexcept {
        std::swap(path_, other.path_);
        std::swap(temp_, other.temp_);
        return *this;
    }
    ~NewLibrary() {
        std::error_code ec;
        if (!temp_.empty()) fs::remove(temp_, ec);
    }

    bool empty() const { return temp_.empty(); }
    const fs::path& temp() const { return temp_; }

    // Gives the library its name; then nothing is removed.
    Status name() {
        Status named = platform::renameNoReplace(temp_, path_);
        if (named) temp_.clear();
        return named;
    }

private:
    NewLibrary(fs::path path, fs::path temp) : path_(std::move(path)), temp_(std::move(temp)) {}
    fs::path path_;
    fs::path temp_;
};

}  // namespace

struct Replacement::State {
    NewLibrary file;  // a new library's temporary; removed last, once closed
    sql::Db db;
    sql::Transaction transaction;
    sql::Stmt insert;
    std::size_t width = 0;
    Status failed;  // the first failure: nothing is written after it

    // Rolls the records written back and keeps `failure` as the answer to
    // every later call.
    Failure stop(Failure failure) {
        transaction.rollback();
        failed = failure;
        return failure;
    }
};

Replacement::Replacement(std::unique_ptr<State> state) : state_(std::move(state)) {}
Replacement::Replacement(Replacement&&) noexcept = default;
Replacement& Replacement::operator=(Replacement&&) noexcept = default;
Replacement::~Replacement() = default;

Result<Replacement> Replacement::begin(const fs::path& path, LibraryKind kind, Wait wait) {
    auto opened = openForWriting(path, kind);
    if (!opened) return fail(opened.error());
    auto state = std::make_unique<State>();
    state->db = std::move(*opened);
    state->width = fieldNames(kind).size();
    // The whole library is rewritten in one transaction: a page cache that
    // holds all of it (32 MB at most; a province's library is some 16 MB)
    // keeps SQLite from spilling pages to the file, and syncing the journal
    // for each spill, before the commit. Durability is the same.
    //
    // Without secure_delete (Debian's SQLite, and so our Windows build, turn
    // it on), emptying the table only hands its pages to the freelist; with
    // it, every page is zeroed, and so first copied to the journal, before a
    // single record is written, while the command line's import waits with
    // the workbook unread. The old pages are copied to the journal all the
    // same when the new records take them over, but then while the workbook
    // is read on the other core: the same writes, half the wait before the
    // reading starts. Nothing is lost by it: the old records are overwritten
    // by the new ones, and a library of cells is not a secret the file's own
    // free pages must keep from the engineer who holds the file.
    if (sql::Status sized = state->db.exec("PRAGMA cache_size=-32768;"
                                           "PRAGMA secure_delete=OFF;");
        !sized)
        return fail(sized.error().text);
    if (wait == Wait::No) state->db.setBusyTimeout(0);
    auto transaction = sql::Transaction::begin(state->db, sql::Transaction::Lock::Immediate);
    if (!transaction) return sqliteFailure(transaction.error(), path, msg::kLibraryUnwritable);
    state->transaction = std::move(*transaction);
    if (wait == Wait::No) state->db.setBusyTimeout(kLockWaitMs);
    if (sql::Status emptied = state->db.exec("DELETE FROM cells;"); !emptied)
        return fail(emptied.error().text);
    auto insert = state->db.prepare("INSERT INTO cells(" + fieldList(kind) + ") VALUES(" +
                                    placeholders(kind) + ")");
    if (!insert) return fail(insert.error().text);
    state->insert = std::move(*insert);
    return Replacement(std::move(state));
}

Result<Replacement> Replacement::beginNew(const fs::path& path, LibraryKind kind) {
    auto file = NewLibrary::make(path, kind);
    if (!file) return fail(file.error());
    auto replacement = begin(file->temp(), kind);
    if (replacement) replacement->state_->file = std::move(*file);
    return replacement;
}

Status Replacement::add(std::int32_t id, std::span<const std::string_view> fields) {
    State& s = *state_;
    if (!s.failed) return s.failed;
    // SQLite would drop a field past the last column without a word, and
    // a missing one would be written as nothing: either loses data.
    if (fields.size() != s.width) return s.stop(fail(std::string(msg::kFieldCountMismatch)));
    s.insert.bind(1, std::int64_t{id});
    for (std::size_t f = 0; f < s.width; ++f) s.insert.bind(static_cast<int>(f) + 2, fields[f]);
    const auto done = s.insert.step();
    s.insert.reset();
    if (!done) return s.stop(fail(done.error().text));
    return {};
}

Status Replacement::commit(std::size_t count) {
    State& s = *state_;
    if (!s.failed) return s.failed;
    // The count is checked before the commit: a write that would leave the
    // library with other records than asked for is rolled back.
    {
        const auto counted = firstRow(s.db, "SELECT count(*) FROM cells");
        if (!counted) return s.stop(fail(counted.error().text));
        if (counted->int64(0) != static_cast<long long>(count))
            return s.stop(fail("写入的记录数不符"));
    }
    if (sql::Status committed = s.transaction.commit(); !committed)
        return s.stop(fail(committed.error().text));
    // A new library is closed before it is given its name.
    s.insert = {};
    s.db = {};
    if (s.file.empty()) return {};
    if (Status named = s.file.name(); !named) return s.stop(fail(named.error()));
    return {};
}

bool nameFits(const fs::path& path) {
    return platform::fileNameFits(journalOf(path));
}

namespace {

// Writes `records` through `replacement`, telling `written` now and then.
Status writeAll(Replacement replacement, const RecordSource& records,
                const std::function<void(std::size_t)>& written) {
    std::vector<std::string_view> fields;
    for (std::size_t i = 0; i < records.count; ++i) {
        fields.clear();
        const std::int32_t id = records.at(i, fields);
        if (Status added = replacement.add(id, fields); !added) return added;
        if (written && (i + 1) % 1024 == 0) written(i + 1);
    }
    if (written) written(records.count);
    return replacement.commit(records.count);
}

}  // namespace

Status create(const fs::path& path, LibraryKind kind, const RecordSource& records,
              const std::function<void(std::size_t)>& written) {
    auto replacement = Replacement::beginNew(path, kind);
    if (!replacement) return fail(replacement.error());
    return writeAll(std::move(*replacement), records, written);
}

Status check(const fs::path& path, LibraryKind kind) {
    if (auto db = openForWriting(path, kind); !db) return fail(db.error());
    return {};
}

Result<std::shared_ptr<Library>> load(const fs::path& path, LibraryKind kind) {
    auto opened = openForReading(path, kind);
    if (!opened) return fail(opened.error());
    sql::Db& db = *opened;

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
    const auto last = firstRow(db, "SELECT max(rowid) FROM cells");
    const std::int64_t lastRowid = last ? last->int64(0) : 0;
    const std::size_t expected = ec ? 0
                                    : static_cast<std::size_t>(std::clamp<std::int64_t>(
                                          lastRowid, 0, static_cast<std::int64_t>(fileSize / 16)));
    auto st = db.prepare("SELECT rowid," + fieldList(kind) + " FROM cells ORDER BY rowid");
    if (!st) return sqliteFailure(st.error(), path);
    const std::size_t width = fieldNames(kind).size();
    RecordTable records(width);
    std::vector<std::int64_t> rowids;
    records.reserve(expected, ec ? 0 : fileSize);
    rowids.reserve(expected);
    for (;;) {
        const auto row = st->step();
        if (!row) return sqliteFailure(row.error(), path);
        if (!*row) break;
        rowids.push_back(st->int64(0));
        records.startRecord(st->int32(1));
        for (int f = 0; f < static_cast<int>(width); ++f)
            if (!records.addField(st->text(f + 2))) return unreadable(path, "工参库过大");
    }
    return std::make_shared<Library>(path, kind, std::move(records), std::move(rowids));
}

Status replaceAll(const fs::path& path, LibraryKind kind, const RecordSource& records,
                  const std::function<void(std::size_t)>& written) {
    auto replacement = Replacement::begin(path, kind);
    if (!replacement) return fail(replacement.error());
    return writeAll(std::move(*replacement), records, written);
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

namespace {

// The number the query gives of the library, opened to be read.
Result<long long> readNumber(const fs::path& path, LibraryKind kind, const std::string& query) {
    auto opened = openForReading(path, kind);
    if (!opened) return fail(opened.error());
    const auto st = firstRow(*opened, query);
    if (!st) return sqliteFailure(st.error(), path);
    return static_cast<long long>(st->int64(0));
}

}  // namespace

Result<long long> count(const fs::path& path, LibraryKind kind) {
    return readNumber(path, kind, "SELECT count(*) FROM cells");
}

Result<bool> holdsRecords(const fs::path& path, LibraryKind kind) {
    const auto held = readNumber(path, kind, "SELECT EXISTS(SELECT 1 FROM cells)");
    if (!held) return fail(held.error());
    return *held != 0;
}

Result<std::optional<StoredRecord>> modify(const fs::path& path, LibraryKind kind,
                                           const RecordKey& key, const FieldChanges& changes) {
    auto opened = openForWriting(path, kind);
    if (!opened) return fail(opened.error());
    sql::Db& db = *opened;
    const auto names = fieldNames(kind);
    if (key.field && *key.field >= names.size()) return fail(std::string(msg::kFieldCountMismatch));
    for (const auto& change : changes)
        if (change.first >= names.size()) return fail(std::string(msg::kFieldCountMismatch));
    const auto failed = [&](const sql::Error& error) {
        return sqliteFailure(error, path, msg::kLibraryUnwritable);
    };
    // The write lock is taken before the record is read: no other write can
    // come between the reading and the writing, and the busy timeout lets
    // one that is going on end first. Every way out before the commit rolls
    // the transaction back.
    auto transaction = sql::Transaction::begin(db, sql::Transaction::Lock::Immediate);
    if (!transaction) return failed(transaction.error());

    const std::string where = key.field ? quoted(names[*key.field]) + "=?" : "\"ID\"=?";
    auto find = db.prepare("SELECT rowid," + fieldList(kind) + " FROM cells WHERE " + where +
                           " ORDER BY rowid LIMIT 1");
    if (!find) return failed(find.error());
    if (key.field)
        find->bind(1, key.text);
    else
        find->bind(1, std::int64_t{key.id});
    const auto row = find->step();
    if (!row) return failed(row.error());
    if (!*row) return std::optional<StoredRecord>();
    StoredRecord stored{find->int64(0), {find->int32(1), {}}};
    for (std::size_t f = 0; f < names.size(); ++f)
        stored.record.fields.emplace_back(find->text(static_cast<int>(f) + 2));
    find->reset();

    if (!changes.empty()) {
        std::string set;
        for (const auto& change : changes) {
            set += (set.empty() ? "" : ",") + quoted(names[change.first]) + "=?";
            stored.record.fields[change.first] = change.second;
        }
        auto update = db.prepare("UPDATE cells SET " + set + " WHERE rowid=?");
        if (!update) return failed(update.error());
        for (std::size_t i = 0; i < changes.size(); ++i)
            update->bind(static_cast<int>(i) + 1, changes[i].second);
        update->bind(static_cast<int>(changes.size()) + 1, stored.rowid);
        if (const auto done = update->step(); !done) return failed(done.error());
    }
    if (sql::Status committed = transaction->commit(); !committed) return failed(committed.error());
    return std::optional<StoredRecord>(std::move(stored));
}

}  // namespace brindle::store
