#include "core/export/exportbook.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <set>
#include <unordered_map>

#include "core/base/sqlite.h"
#include "core/workbook/workbook.h"

namespace brindle::exports {

namespace fs = std::filesystem;

namespace {

// The value a cell is compared by. A text that is a plain decimal number
// (what Excel shows for a number cell, or a number typed as text) stands for
// that number, so 123, "123" and "123.0" compare equal; anything else is
// compared as the text it is, blanks included.
std::string compareKey(std::string_view text) {
    if (text.empty()) return {};
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || stop != end || !std::isfinite(value)) return std::string(text);
    // '#' cannot start a number, so a number's key never equals a text's.
    std::array<char, 40> digits{};
    std::to_chars_result out{};
    if (value == std::trunc(value) && std::fabs(value) < 9007199254740992.0)
        out = std::to_chars(digits.data(), digits.data() + digits.size(),
                            static_cast<long long>(value));
    else
        out = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return "#" + std::string(digits.data(), out.ptr);
}

bool isNumber(std::string_view text) {
    return compareKey(text).starts_with('#');
}

// bkey(x): compareKey as an SQL function, deterministic so that an index can
// be built on it.
void sqlCompareKey(sqlite3_context* context, int, sqlite3_value** argv) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int size = sqlite3_value_bytes(argv[0]);
    const std::string key = compareKey(text ? std::string_view(text, size) : std::string_view());
    sqlite3_result_text(context, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

// The columns any tool reads or compares: a sheet keeps these (and those a
// query names), not the dozens of others an export carries.
constexpr std::array<std::string_view, 7> kToolColumns = {
    kColEnodeb, kColCellId, kColNe, kColLocalCellId, kColGeranCi, kColLac, kColPci};

std::string quotedName(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

}  // namespace

struct ExportBook::Impl {
    fs::path path;
    std::unique_ptr<workbook::Workbook> workbook;
    sql::Db db;

    struct Table {
        std::string sql;                                      // quoted table name
        std::vector<std::string> header;                      // every header cell of the sheet
        std::unordered_map<std::string, std::string> stored;  // header name -> quoted column
        std::set<std::string> indexes;
    };
    std::unordered_map<std::string, Table> tables;
    int tableCount = 0;
    // The queries prepared so far, by their SQL; finalised before the
    // connection closes.
    std::unordered_map<std::string, sql::Stmt> statements;

    Status exec(const std::string& query) {
        if (sql::Status done = db.exec(query); !done) return fail(done.error().text);
        return {};
    }

    Result<sql::Stmt*> prepare(const std::string& query) {
        if (auto it = statements.find(query); it != statements.end()) {
            it->second.reset();
            return &it->second;
        }
        auto statement = db.prepare(query, sql::Db::Use::Often);
        if (!statement) return fail(statement.error().text);
        return &statements.emplace(query, std::move(*statement)).first->second;
    }

    // Reads the sheet into a new table holding the tool columns and `wanted`.
    Result<Table*> load(std::string_view sheet, const std::set<std::string>& wanted) {
        const std::vector<std::string> names = workbook->sheetNames();
        const auto at = std::find(names.begin(), names.end(), sheet);
        if (at == names.end()) return fail("报文中没有工作表“" + std::string(sheet) + "”");
        auto opened = workbook->rows(static_cast<std::size_t>(at - names.begin()));
        if (!opened) return fail(workbook::message(path, opened.error()));
        // Parsing the sheet takes most of the time; it goes on beside the
        // inserts below instead of between them.
        const std::unique_ptr<workbook::RowReader> reader = workbook->readAhead(std::move(*opened));

        Table table;
        table.sql = quotedName("t" + std::to_string(++tableCount));
        workbook::Row row;
        if (!reader->next(row)) {
            if (reader->error()) return fail(workbook::message(path, *reader->error()));
        }
        table.header = row.cells;
        // Each wanted header name maps to its first column.
        std::vector<std::size_t> sources;
        for (std::size_t i = 0; i < table.header.size(); ++i) {
            const std::string& name = table.header[i];
            if (name.empty() || table.stored.contains(name)) continue;
            const bool tool =
                std::find(kToolColumns.begin(), kToolColumns.end(), name) != kToolColumns.end();
            if (!tool && !wanted.contains(name)) continue;
            table.stored.emplace(name, quotedName("c" + std::to_string(sources.size())));
            sources.push_back(i);
        }
        std::string create = "CREATE TABLE " + table.sql + "(";
        std::string insert = "INSERT INTO " + table.sql + " VALUES(";
        for (std::size_t c = 0; c < sources.size(); ++c) {
            create += (c ? ",c" : "c") + std::to_string(c) + " TEXT";
            insert += c ? ",?" : "?";
        }
        if (sources.empty()) create += "unused TEXT", insert += "NULL";
        if (Status s = exec(create + ")"); !s) return fail(s.error());
        auto statement = db.prepare(insert + ")");
        if (!statement) return fail(statement.error().text);
        auto transaction = sql::Transaction::begin(db);
        if (!transaction) return fail(transaction.error().text);
        std::string error;
        while (error.empty() && reader->next(row)) {
            if (row.blank()) continue;
            for (std::size_t c = 0; c < sources.size(); ++c) {
                const std::size_t i = sources[c];
                // A cell past the row's end is stored as NULL, an empty one
                // as the empty text; both read and compare as "".
                if (i < row.cells.size())
                    statement->bind(static_cast<int>(c + 1), row.cells[i]);
                else
                    statement->bindNull(static_cast<int>(c + 1));
            }
            if (const auto done = statement->step(); !done) error = done.error().text;
            statement->reset();
        }
        if (error.empty() && reader->error()) error = workbook::message(path, *reader->error());
        *statement = sql::Stmt();  // finalised before its table may be dropped
        if (!error.empty()) {
            transaction->rollback();
            (void)exec("DROP TABLE IF EXISTS " + table.sql);
            return fail(error);
        }
        if (sql::Status s = transaction->commit(); !s) return fail(s.error().text);
        const std::string key(sheet);
        if (auto old = tables.find(key); old != tables.end()) {
            (void)exec("DROP TABLE IF EXISTS " + old->second.sql);
            tables.erase(old);
        }
        return &tables.emplace(key, std::move(table)).first->second;
    }

    // The sheet's table, read now when it is not loaded yet or lacks a
    // column the query names that the sheet has.
    Result<Table*> table(std::string_view sheet, const std::set<std::string>& named) {
        auto it = tables.find(std::string(sheet));
        if (it != tables.end()) {
            const Table& t = it->second;
            const bool reload = std::any_of(named.begin(), named.end(), [&](const std::string& n) {
                return !t.stored.contains(n) &&
                       std::find(t.header.begin(), t.header.end(), n) != t.header.end();
            });
            if (!reload) return &it->second;
            std::set<std::string> wanted = named;
            for (const auto& [name, column] : t.stored) wanted.insert(name);
            return load(sheet, wanted);
        }
        return load(sheet, named);
    }
};

ExportBook::ExportBook(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ExportBook::~ExportBook() = default;

const fs::path& ExportBook::path() const {
    return impl_->path;
}

Result<std::unique_ptr<ExportBook>> ExportBook::open(const fs::path& path) {
    auto workbook = workbook::Workbook::open(path);
    if (!workbook) return fail(workbook::message(path, workbook.error()));
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->workbook = std::move(*workbook);
    auto db = sql::Db::open(":memory:", sql::Db::Mode::Create);
    if (!db) return fail(db.error().text);
    impl->db = std::move(*db);
    if (sql::Status added = impl->db.addFunction("bkey", 1, sqlCompareKey); !added)
        return fail(added.error().text);
    return std::unique_ptr<ExportBook>(new ExportBook(std::move(impl)));
}

Result<ExportRows> ExportBook::select(std::string_view sheet, std::span<const Condition> where,
                                      std::span<const std::string_view> read, Form form) {
    if (form == Form::Numeric) {
        for (const Condition& c : where)
            if (!isNumber(c.value))
                return fail("“" + std::string(c.column) + "”的值不是数值：" + c.value);
    }
    std::set<std::string> named;
    for (const Condition& c : where) named.emplace(c.column);
    for (std::string_view r : read) named.emplace(r);
    auto table = impl_->table(sheet, named);
    if (!table) return fail(table.error());
    Impl::Table& t = **table;
    const auto column = [&](std::string_view name) -> const std::string* {
        const auto it = t.stored.find(std::string(name));
        return it == t.stored.end() ? nullptr : &it->second;
    };
    for (const std::string& name : named)
        if (!column(name)) return fail("工作表“" + std::string(sheet) + "”中没有列“" + name + "”");

    std::string keys, filter;
    for (const Condition& c : where) {
        const std::string& col = *column(c.column);
        keys += (keys.empty() ? "" : ",") + ("bkey(" + col + ")");
        filter += (filter.empty() ? " WHERE " : " AND ") + ("bkey(" + col + ")=?");
    }
    if (!keys.empty() && !t.indexes.contains(keys)) {
        const std::string index = quotedName("i" + std::to_string(t.indexes.size()) + t.sql);
        if (Status s = impl_->exec("CREATE INDEX " + index + " ON " + t.sql + "(" + keys + ")"); !s)
            return fail(s.error());
        t.indexes.insert(keys);
    }
    std::string columns;
    for (std::string_view r : read) columns += (columns.empty() ? "" : ",") + *column(r);
    if (columns.empty()) columns = "NULL";
    auto statement =
        impl_->prepare("SELECT " + columns + " FROM " + t.sql + filter + " ORDER BY rowid");
    if (!statement) return fail(statement.error());
    sql::Stmt& s = **statement;
    std::vector<std::string> bound;
    bound.reserve(where.size());
    for (std::size_t i = 0; i < where.size(); ++i) {
        bound.push_back(compareKey(where[i].value));
        s.bind(static_cast<int>(i + 1), bound.back());
    }
    ExportRows rows;
    std::string error;
    for (;;) {
        const auto step = s.step();
        if (!step) error = step.error().text;
        if (!step || !*step) break;
        std::vector<std::string>& row = rows.emplace_back();
        row.reserve(read.size());
        for (std::size_t c = 0; c < read.size(); ++c) row.emplace_back(s.text(int(c)));
    }
    s.reset();
    if (!error.empty()) return fail(error);
    return rows;
}

namespace {

Result<ExportRows> relationsTowards(ExportBook& book, std::string_view sheet,
                                    std::string_view enodeb, std::string_view cellId) {
    const Condition where[] = {{kColEnodeb, std::string(enodeb)},
                               {kColCellId, std::string(cellId)}};
    const std::string_view read[] = {kColNe, kColLocalCellId};
    return book.select(sheet, where, read);
}

}  // namespace

Result<ExportRows> intraRelationsTowards(ExportBook& book, std::string_view enodeb,
                                         std::string_view cellId) {
    return relationsTowards(book, kIntraRelationSheet, enodeb, cellId);
}

Result<ExportRows> interRelationsTowards(ExportBook& book, std::string_view enodeb,
                                         std::string_view cellId) {
    return relationsTowards(book, kInterRelationSheet, enodeb, cellId);
}

Result<ExportRows> geranRelationsOf(ExportBook& book, std::string_view ne,
                                    std::string_view localCellId, bool withLac) {
    const Condition where[] = {{kColNe, std::string(ne)},
                               {kColLocalCellId, std::string(localCellId)}};
    const std::string_view read[] = {kColGeranCi, kColLac};
    return book.select(kGeranRelationSheet, where, std::span(read, withLac ? 2 : 1));
}

Result<ExportRows> externalCellsWithPci(ExportBook& book, std::string_view enodeb,
                                        std::string_view pci, Form form) {
    const Condition where[] = {{kColEnodeb, std::string(enodeb)}, {kColPci, std::string(pci)}};
    const std::string_view read[] = {kColNe, kColCellId};
    return book.select(kExternalCellSheet, where, read, form);
}

}  // namespace brindle::exports
