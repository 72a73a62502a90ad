#include "testsupport.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "core/base/textcodec.h"
#include "core/library/store.h"

namespace brindle::workbook {
void PrintTo(const WorkbookError& error, std::ostream* out) {
    *out << message("<path>", error);
}
}  // namespace brindle::workbook

namespace brindle::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "brindle-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // A test may have taken permissions away to provoke a failure.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != decltype(it)();
         it.increment(ec))
        if (it->is_directory(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string gbk(std::string_view utf8) {
    auto result = codec::toGbk(utf8);
    if (!result.text) throw std::runtime_error("test text has no GBK form");
    return *result.text;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string workbookError(const fs::path& path,
                          const std::optional<workbook::WorkbookError>& error) {
    return error ? workbook::message(path, *error) : std::string();
}

void writeFile(const fs::path& p, const std::string& bytes) {
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + p.string());
}

Record cell4G(std::int32_t id, std::vector<std::string> fields) {
    fields.resize(kFields4G.size());
    return {id, std::move(fields)};
}

Record cell2G(std::int32_t id, std::vector<std::string> fields) {
    fields.resize(kFields2G.size());
    return {id, std::move(fields)};
}

void makeLibrary(const fs::path& path, LibraryKind kind, const std::vector<Record>& records) {
    fs::create_directories(path.parent_path());
    if (const Status created = store::create(path, kind); !created)
        throw std::runtime_error("cannot create " + path.string() + ": " + created.error());
    if (const Status filled = store::replaceAll(path, kind, records); !filled)
        throw std::runtime_error("cannot fill " + path.string() + ": " + filled.error());
}

void useLibrary(Session& session, const std::string& name, LibraryKind kind,
                const std::vector<Record>& records) {
    const fs::path path = session.folder.libraries(kind) / name;
    makeLibrary(path, kind, records);
    auto loaded = store::load(path, kind);
    if (!loaded) throw std::runtime_error("cannot open " + path.string() + ": " + loaded.error());
    (kind == LibraryKind::Lte ? session.current4G : session.current2G) = path;
    (kind == LibraryKind::Lte ? session.library4G : session.library2G) = *loaded;
}

void crashMidWrite(const fs::path& database, const std::string& sql, bool flush) {
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        sqlite3* db = nullptr;
        int rc = sqlite3_open(database.c_str(), &db);
        if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK && flush) rc = sqlite3_db_cacheflush(db);
        ::_exit(rc == SQLITE_OK ? 0 : 1);  // no commit, no close
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the crashing writer failed before its crash");
}

}  // namespace brindle::test
