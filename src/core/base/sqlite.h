#pragma once
// The core's one way into SQLite: a connection (`Db`), a prepared statement
// (`Stmt`) and a transaction (`Transaction`). Each owns its handle and lets
// go of it in its destructor (closed, finalised, rolled back), so no path
// out of a function, early return or exception, leaves one behind; each is
// moved, never copied. Every call that can fail gives an `sql::Result` whose
// error is an `sql::Error`: SQLite's result code, what it means for the
// caller (`Fault`), and SQLite's own text. The caller turns that into the
// engineer's message.
//
// A connection belongs to one thread at a time (SQLite's mutexes are left
// off), and its statements and transactions must not outlive it.

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "core/base/result.h"

namespace brindle::sql {

// What a failure means to the caller.
enum class Fault {
    Locked,   // another connection holds the lock (SQLITE_BUSY, SQLITE_LOCKED)
    Damaged,  // the file is not a database or is corrupt (SQLITE_CORRUPT, SQLITE_NOTADB)
    Missing,  // SQL naming what the database does not have (SQLITE_ERROR: no such table, …)
    Other,
};

struct Error {
    int code = SQLITE_OK;  // SQLite's (primary) result code
    std::string text;      // SQLite's message
    Fault fault() const;
};

template <class T>
using Result = brindle::Result<T, Error>;
using Status = Result<void>;

namespace detail {
struct Finalize {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
struct Close {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
}  // namespace detail

class Stmt {
public:
    Stmt() = default;  // none

    // One step: true with a row to read, false when the statement is done.
    Result<bool> step();
    // Makes the statement ready to run again, every parameter unbound.
    void reset();

    // Parameters from 1. A text is not copied: it must stay valid until the
    // statement has run. A view without data is the empty text, never NULL.
    void bind(int index, std::string_view text);
    void bind(int index, std::int64_t value);
    void bindNull(int index);

    // Columns from 0, valid until the next step or reset. A NULL is the
    // empty text and 0.
    std::string_view text(int column) const;
    std::int64_t int64(int column) const;
    int int32(int column) const;

private:
    friend class Db;
    explicit Stmt(sqlite3_stmt* stmt) : stmt_(stmt) {}
    std::unique_ptr<sqlite3_stmt, detail::Finalize> stmt_;
};

class Db {
public:
    enum class Mode {
        ReadOnly,
        ReadWrite,  // an existing file
        Create,     // read and write, made when missing
    };
    // Whether a statement is prepared to be run many times over a long
    // while (SQLite then keeps it out of its look-aside memory).
    enum class Use { Once, Often };

    // Opens the database at `path` (":memory:": a new one of its own in
    // memory). The error is SQLite's reason.
    static Result<Db> open(const std::filesystem::path& path, Mode mode);

    Db() = default;  // none

    // Runs statements that give no rows, one after another, stopping at the
    // first that fails.
    Status exec(const std::string& sql);
    Result<Stmt> prepare(std::string_view sql, Use use = Use::Once);

    // How long a statement waits for another connection's lock before it
    // fails as Fault::Locked.
    void setBusyTimeout(int milliseconds);
    // Makes a double-quoted name an error when it names no column, instead
    // of SQLite's taking it for a text.
    void forbidQuotedTexts();
    // Adds a deterministic SQL function of `arguments` arguments.
    Status addFunction(const char* name, int arguments,
                       void (*function)(sqlite3_context*, int, sqlite3_value**));

    // The connection's last failure, for a step that gave no row where one
    // was wanted.
    Error lastError() const;

private:
    explicit Db(sqlite3* db) : db_(db) {}
    std::unique_ptr<sqlite3, detail::Close> db_;
};

// A transaction, rolled back unless committed.
class Transaction {
public:
    enum class Lock {
        Deferred,   // BEGIN: the write lock is taken by the first write
        Immediate,  // BEGIN IMMEDIATE: taken now, so no other write comes between our reads
                    // and our writes
    };

    static Result<Transaction> begin(Db& db, Lock lock = Lock::Deferred);

    Transaction() = default;  // none
    Transaction(Transaction&& other) noexcept;
    Transaction& operator=(Transaction&& other) noexcept;
    ~Transaction();

    // On a failure the transaction is still open, and rolled back at the end.
    Status commit();
    // Errors are not told: the failure that led here is the one to tell.
    void rollback();

private:
    explicit Transaction(Db* db) : db_(db) {}
    Db* db_ = nullptr;  // none once committed or rolled back
};

}  // namespace brindle::sql
