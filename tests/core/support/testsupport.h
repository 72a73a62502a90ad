#pragma once
// Shared helpers of the core tests: a temporary program folder and small
// libraries built from records written inline.

#include <filesystem>
#include <string>
#include <vector>

#include "core/library/record.h"

namespace brindle::test {

// A fresh folder removed again when the test ends.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& p);
void writeFile(const std::filesystem::path& p, const std::string& bytes);

// A 4G record: fields in record order, ID given.
Record cell4G(std::int32_t id, std::vector<std::string> fields);

// Writes a library of `kind` holding `records` to `path` (creating folders).
void makeLibrary(const std::filesystem::path& path, LibraryKind kind,
                 const std::vector<Record>& records);

}  // namespace brindle::test
