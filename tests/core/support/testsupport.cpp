#include "support/testsupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "core/library/store.h"

namespace brindle::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "brindle-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

Record cell4G(std::int32_t id, std::vector<std::string> fields) {
    fields.resize(kFields4G.size());
    return {id, std::move(fields)};
}

void makeLibrary(const fs::path& path, LibraryKind kind, const std::vector<Record>& records) {
    fs::create_directories(path.parent_path());
    const Status created = store::create(path, kind);
    ASSERT_TRUE(created.ok()) << created.error();
    const Status filled = store::replaceAll(path, kind, records);
    ASSERT_TRUE(filled.ok()) << filled.error();
}

}  // namespace brindle::test
