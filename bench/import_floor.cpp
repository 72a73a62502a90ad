// The least an import of the benchmark's 4G workbook can cost, measured by
// bench/run beside `brindle-cli import 4g`: the worksheet inflated by libzip a
// chunk at a time, its cell values found with memchr (no XML parser, no cell
// formats, no checks of any kind) and every row inserted into a new SQLite
// file of the library's shape through one prepared statement in one
// transaction, with the page cache the import gives its write. One thread.
//
// usage: brindle-importfloor WORKBOOK.xlsx OUT.db   (OUT.db is replaced)
//
// It reads only what libxlsxwriter writes: values in <v> and in inline <t>
// elements, in the first worksheet.

#include <sqlite3.h>
#include <zip.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

constexpr int kColumns = 8;
constexpr std::size_t kChunk = 1 << 20;

[[noreturn]] void die(const std::string& why) {
    std::fprintf(stderr, "brindle-importfloor: %s\n", why.c_str());
    std::exit(1);
}

void check(sqlite3* db, int rc) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE) die(sqlite3_errmsg(db));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) die("usage: brindle-importfloor WORKBOOK.xlsx OUT.db");
    std::error_code ec;
    std::filesystem::remove(argv[2], ec);

    int error = 0;
    zip_t* zip = zip_open(argv[1], ZIP_RDONLY, &error);
    if (!zip) die("cannot open the workbook");
    zip_file_t* sheet = zip_fopen(zip, "xl/worksheets/sheet1.xml", 0);
    if (!sheet) die("no first worksheet");

    sqlite3* db = nullptr;
    check(db, sqlite3_open(argv[2], &db));
    check(db, sqlite3_exec(db,
                           "PRAGMA cache_size=-32768;"
                           "CREATE TABLE cells(\"ID\" INTEGER NOT NULL DEFAULT 0,"
                           "a TEXT,b TEXT,c TEXT,d TEXT,e TEXT,f TEXT,g TEXT,h TEXT);"
                           "BEGIN;",
                           nullptr, nullptr, nullptr));
    sqlite3_stmt* insert = nullptr;
    check(db, sqlite3_prepare_v2(db, "INSERT INTO cells VALUES(?,?,?,?,?,?,?,?,?)", -1, &insert,
                                 nullptr));

    std::array<std::string, kColumns> cells;
    int filled = 0;
    long rows = 0;  // the header row included
    std::string buffer;
    std::size_t at = 0;  // where the scan goes on in buffer
    for (bool more = true; more;) {
        // The unscanned tail is kept, and the next chunk goes after it.
        buffer.erase(0, at);
        at = 0;
        const std::size_t kept = buffer.size();
        buffer.resize(kept + kChunk);
        const zip_int64_t got = zip_fread(sheet, buffer.data() + kept, kChunk);
        if (got < 0) die("cannot inflate the worksheet");
        buffer.resize(kept + static_cast<std::size_t>(got));
        more = got > 0;
        const char* base = buffer.data();
        const std::size_t size = buffer.size();
        for (;;) {
            const void* lt = std::memchr(base + at, '<', size - at);
            if (!lt) {
                at = size;
                break;
            }
            const std::size_t tag = static_cast<std::size_t>(static_cast<const char*>(lt) - base);
            if (size - tag < 6) {  // too little left to tell the tag: wait for more
                at = tag;
                break;
            }
            const std::string_view head(base + tag + 1, 5);
            if (head.starts_with("v>") || head.starts_with("t>")) {
                const std::size_t begin = tag + 3;
                const void* end = std::memchr(base + begin, '<', size - begin);
                if (!end) {
                    at = tag;
                    break;
                }
                const std::size_t stop =
                    static_cast<std::size_t>(static_cast<const char*>(end) - base);
                if (filled < kColumns) cells[filled++].assign(base + begin, stop - begin);
                at = stop;
            } else if (head == "/row>") {
                if (rows++ > 0) {
                    sqlite3_bind_int64(insert, 1, rows - 1);
                    for (int c = 0; c < kColumns; ++c) {
                        const std::string_view text = c < filled ? cells[c] : std::string_view("");
                        sqlite3_bind_text(insert, c + 2, text.data(), static_cast<int>(text.size()),
                                          SQLITE_STATIC);
                    }
                    check(db, sqlite3_step(insert));
                    sqlite3_reset(insert);
                }
                filled = 0;
                at = tag + 6;
            } else {
                at = tag + 1;
            }
        }
    }
    check(db, sqlite3_finalize(insert));
    check(db, sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr));
    sqlite3_close(db);
    zip_fclose(sheet);
    zip_close(zip);
    std::printf("%ld\n", rows - 1);
    return 0;
}
