#include "core/library/catalogue.h"

#include <algorithm>
#include <system_error>

#include "core/base/asciicase.h"
#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/library/store.h"

namespace brindle {

namespace fs = std::filesystem;

namespace {

bool hasLibraryExtension(const fs::path& p) {
    return ascii::lowered(platform::utf8Name(p.extension())) == ".edb";
}

bool isListedFile(const fs::directory_entry& entry) {
    std::error_code ec;
    return entry.is_regular_file(ec) && !entry.is_symlink(ec) && hasLibraryExtension(entry.path());
}

// A name that listLibraries could have given for `folder`. The command line
// hands names in as typed, and "EARFCN.ini" or "../x" must not be deleted as
// a library.
bool isListedLibrary(const fs::path& folder, const std::string& name) {
    const fs::path file = platform::pathFromUtf8(name);
    if (file.empty() || file != file.filename() || name == "." || name == "..") return false;
    std::error_code ec;
    return isListedFile(fs::directory_entry(folder / file, ec));
}

}  // namespace

Result<std::shared_ptr<Library>> openNonEmpty(const fs::path& path, LibraryKind kind,
                                              Feedback& feedback) {
    auto loaded = store::load(path, kind);
    if (!loaded) {
        feedback.message(loaded.error());
        return loaded;
    }
    if ((*loaded)->count() == 0) {
        feedback.message(msg::kLibraryEmpty);
        return fail(std::string(msg::kLibraryEmpty));
    }
    return loaded;
}

std::vector<std::string> listLibraries(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (isListedFile(*it)) names.push_back(platform::utf8Name(it->path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

Result<bool> deleteLibrary(const fs::path& folder, const std::string& name, Feedback& feedback) {
    if (feedback.ask(Question::DeleteLibrary, name) != Answer::Yes) return false;
    std::error_code ec;
    const bool removed = isListedLibrary(folder, name) &&
                         fs::remove(folder / platform::pathFromUtf8(name), ec) && !ec;
    if (!removed) {
        feedback.message(msg::kDeleteFailed);
        return fail(std::string(msg::kDeleteFailed));
    }
    feedback.message(msg::kDeleted);
    return true;
}

}  // namespace brindle
