#include "core/library/catalogue.h"

#include <algorithm>
#include <system_error>

#include "core/base/messages.h"
#include "core/library/store.h"

namespace brindle {

namespace fs = std::filesystem;

namespace {

bool hasLibraryExtension(const fs::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".edb";
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
        std::error_code typeError;
        if (it->is_regular_file(typeError) && !it->is_symlink(typeError) &&
            hasLibraryExtension(it->path()))
            names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

Result<bool> deleteLibrary(const fs::path& folder, const std::string& name, Feedback& feedback) {
    if (!feedback.askOkCancel(std::string(msg::kDeleteLibraryQuestion) + name)) return false;
    std::error_code ec;
    const bool removed = fs::remove(folder / name, ec) && !ec;
    if (!removed) {
        feedback.message(msg::kDeleteFailed);
        return fail(std::string(msg::kDeleteFailed));
    }
    feedback.message(msg::kDeleted);
    return true;
}

}  // namespace brindle
