#include "core/base/sqlite.h"

#include <utility>

#include "core/base/platform.h"

namespace brindle::sql {

namespace {

// The failure a call on `db` just had, as SQLite records it.
Error errorOf(sqlite3* db) {
    return Error{sqlite3_errcode(db), sqlite3_errmsg(db)};
}

}  // namespace

Fault Error::fault() const {
    switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return Fault::Locked;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return Fault::Damaged;
        case SQLITE_ERROR:
            return Fault::Missing;
        default:
            return Fault::Other;
    }
}

// ---- Stmt ---------------------------------------------------------------

Result<bool> Stmt::step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    return errorOf(sqlite3_db_handle(stmt_.get()));
}

void Stmt::reset() {
    sqlite3_reset(stmt_.get());
    sqlite3_clear_bindings(stmt_.get());
}

void Stmt::bind(int index, std::string_view text) {
    // A view without data would be bound as NULL.
    sqlite3_bind_text(stmt_.get(), index, text.data() ? text.data() : "",
                      static_cast<int>(text.size()), SQLITE_STATIC);
}

void Stmt::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_.get(), index, value);
}

void Stmt::bindNull(int index) {
    sqlite3_bind_null(stmt_.get(), index);
}

std::string_view Stmt::text(int column) const {
    // The text is taken before its length, as SQLite asks.
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), column));
    if (!text) return {};
    return std::string_view(text,
                            static_cast<std::size_t>(sqlite3_column_bytes(stmt_.get(), column)));
}

std::int64_t Stmt::int64(int column) const {
    return sqlite3_column_int64(stmt_.get(), column);
}

int Stmt::int32(int column) const {
    return sqlite3_column_int(stmt_.get(), column);
}

// ---- Db -----------------------------------------------------------------

Result<Db> Db::open(const std::filesystem::path& path, Mode mode) {
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
        case Mode::ReadOnly:
            flags |= SQLITE_OPEN_READONLY;
            break;
        case Mode::ReadWrite:
            flags |= SQLITE_OPEN_READWRITE;
            break;
        case Mode::Create:
            flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
            break;
    }
    sqlite3* db = nullptr;
    // SQLite takes UTF-8 file names on every system, also where the
    // system's own are wide.
    const std::string name = platform::utf8Name(path);
    const int rc = sqlite3_open_v2(name.c_str(), &db, flags, nullptr);
    Db opened(db);  // closed whatever happens, also when the open failed
    if (rc != SQLITE_OK) return Error{rc, db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)};
    return opened;
}

Status Db::exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return {};
    Error error = errorOf(db_.get());
    if (message) error.text = message;
    sqlite3_free(message);
    return error;
}

Result<Stmt> Db::prepare(std::string_view sql, Use use) {
    sqlite3_stmt* stmt = nullptr;
    const unsigned flags = use == Use::Often ? SQLITE_PREPARE_PERSISTENT : 0;
    if (sqlite3_prepare_v3(db_.get(), sql.data(), static_cast<int>(sql.size()), flags, &stmt,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return errorOf(db_.get());
    }
    return Stmt(stmt);
}

void Db::setBusyTimeout(int milliseconds) {
    sqlite3_busy_timeout(db_.get(), milliseconds);
}

void Db::forbidQuotedTexts() {
    sqlite3_db_config(db_.get(), SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_.get(), SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
}

Status Db::addFunction(const char* name, int arguments,
                       void (*function)(sqlite3_context*, int, sqlite3_value**)) {
    if (sqlite3_create_function(db_.get(), name, arguments,
                                SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                function, nullptr, nullptr) != SQLITE_OK)
        return errorOf(db_.get());
    return {};
}

Error Db::lastError() const {
    return errorOf(db_.get());
}

// ---- Transaction ----------------------------------------------------------

Result<Transaction> Transaction::begin(Db& db, Lock lock) {
    if (Status begun = db.exec(lock == Lock::Immediate ? "BEGIN IMMEDIATE;" : "BEGIN;"); !begun)
        return begun.error();
    return Transaction(&db);
}

Transaction::Transaction(Transaction&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

Transaction& Transaction::operator=(Transaction&& other) noexcept {
    if (this != &other) {
        rollback();
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

Transaction::~Transaction() {
    rollback();
}

Status Transaction::commit() {
    if (Status committed = db_->exec("COMMIT;"); !committed) return committed;
    db_ = nullptr;
    return {};
}

void Transaction::rollback() {
    if (db_) static_cast<void>(db_->exec("ROLLBACK;"));
    db_ = nullptr;
}

}  // namespace brindle::sql
