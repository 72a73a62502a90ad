#include "testsupport.h"

#include <sqlite3.h>
#ifdef _WIN32
#include <stdlib.h>  // _wsystem
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string_view>

#include "core/base/textcodec.h"
#include "core/library/store.h"

namespace brindle::workbook {
void PrintTo(const WorkbookError& error, std::ostream* out) {
    *out << message("<path>", error);
}
}  // namespace brindle::workbook

namespace brindle::test {

namespace fs = std::filesystem;

// As mkdtemp makes it, which not every system has: six random letters or
// digits, drawn again while the name is taken, and only the owner's.
TempDir::TempDir() {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> letter(0, kLetters.size() - 1);
    const fs::path temp = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "brindle-test-";
        for (int i = 0; i < 6; ++i) name += kLetters[letter(random)];
        std::error_code ec;
        if (fs::create_directory(temp / platform::pathFromUtf8(name), ec)) {
            path_ = temp / platform::pathFromUtf8(name);
            fs::permissions(path_, fs::perms::owner_all, fs::perm_options::replace, ec);
            return;
        }
        if (ec) break;
    }
    throw std::runtime_error("cannot make a temporary folder in " + platform::utf8Name(temp));
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
    if (!out) throw std::runtime_error("cannot write " + platform::utf8Name(p));
}

void makeReadOnly(const fs::path& p) {
    fs::permissions(p, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
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
        throw std::runtime_error("cannot create " + platform::utf8Name(path) + ": " +
                                 created.error());
    if (const Status filled = store::replaceAll(path, kind, records); !filled)
        throw std::runtime_error("cannot fill " + platform::utf8Name(path) + ": " + filled.error());
}

void useLibrary(Session& session, const std::string& name, LibraryKind kind,
                const std::vector<Record>& records) {
    const fs::path path = session.folder.libraries(kind) / platform::pathFromUtf8(name);
    makeLibrary(path, kind, records);
    auto loaded = store::load(path, kind);
    if (!loaded)
        throw std::runtime_error("cannot open " + platform::utf8Name(path) + ": " + loaded.error());
    (kind == LibraryKind::Lte ? session.current4G : session.current2G) = path;
    (kind == LibraryKind::Lte ? session.library4G : session.library2G) = *loaded;
}

#ifdef _WIN32

namespace {

// The words of `text` as a POSIX shell splits them, without its expansions.
std::vector<std::string> shellWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (const char c : text) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                word += c;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == '\'' || c == '"')
                quote = c;
            else
                word += c;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

// `word` as the program's CommandLineToArgvW gives it back: in double quotes,
// a quote and the backslashes before it escaped.
std::string quotedArgument(std::string_view word) {
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : word) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        out += c;
        backslashes = 0;
    }
    out.append(backslashes * 2, '\\');
    return out + '"';
}

}  // namespace

int runProgram(const fs::path& folder, const fs::path& program, const std::string& args,
               const fs::path& in, const fs::path& out, const fs::path& err) {
    // cmd.exe runs the line; the path type turns UTF-8 into the wide text
    // that _wsystem hands it, so the arguments keep every character.
    const auto quoted = [](const fs::path& p) { return '"' + platform::utf8Name(p) + '"'; };
    std::string command = "cd /d " + quoted(folder) + " && " + quoted(fs::absolute(program));
    for (const std::string& word : shellWords(args)) command += " " + quotedArgument(word);
    command += " <" + quoted(in) + " >" + quoted(out) + " 2>" + quoted(err);
    return ::_wsystem(platform::pathFromUtf8(command).c_str());
}

void crashMidWrite(const fs::path&, const std::string&, bool) {
    throw std::runtime_error("a writer dying mid-write needs fork");
}

#else

int runProgram(const fs::path& folder, const fs::path& program, const std::string& args,
               const fs::path& in, const fs::path& out, const fs::path& err) {
    const auto quoted = [](const fs::path& p) { return "'" + platform::utf8Name(p) + "'"; };
    const std::string command = "cd " + quoted(folder) + " && " + quoted(fs::absolute(program)) +
                                " " + args + " <" + quoted(in) + " >" + quoted(out) + " 2>" +
                                quoted(err);
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

void crashMidWrite(const fs::path& database, const std::string& sql, bool flush) {
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        sqlite3* db = nullptr;
        int rc = sqlite3_open(platform::utf8Name(database).c_str(), &db);
        if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK && flush) rc = sqlite3_db_cacheflush(db);
        ::_exit(rc == SQLITE_OK ? 0 : 1);  // no commit, no close
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the crashing writer failed before its crash");
}

#endif

}  // namespace brindle::test
