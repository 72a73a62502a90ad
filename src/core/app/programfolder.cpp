#include "core/app/programfolder.h"

#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include "core/base/messages.h"
#include "core/base/platform.h"

namespace fs = std::filesystem;

namespace brindle {

namespace {

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// Something at `path`, a dangling symbolic link included.
bool somethingAt(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

Failure notMade(const fs::path& folder, std::string_view reason) {
    return fail(std::string(msg::kProgramFolderNotMade) + platform::utf8Name(folder) + "：" +
                std::string(reason));
}

// A new empty folder beside `target`, under a name of its own that no other
// start picks at the same time.
Result<fs::path> makeTemporaryFolderBeside(const fs::path& target) {
    std::random_device seed;
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            target.parent_path() /
            platform::pathFromUtf8("." + platform::utf8Name(target.filename()) + ".new-" +
                                   std::to_string(seed()));
        if (fs::create_directory(candidate, ec)) return candidate;
        if (ec) return notMade(target, ec.message());
    }
    return notMade(target, std::make_error_code(std::errc::file_exists).message());
}

// Fills the new program folder: the installed sample workspace when there is
// one, else the two library folders, empty.
Status fill(const fs::path& folder, const fs::path& sample) {
    std::error_code ec;
    if (isFolder(sample)) {
        // Entry by entry into the folder that is already there: fs::copy of
        // a folder onto an existing one fails on Windows ("File exists").
        for (fs::recursive_directory_iterator it(sample, ec), end; !ec && it != end;
             it.increment(ec)) {
            const fs::path to = folder / fs::relative(it->path(), sample, ec);
            if (ec) break;
            if (it->is_directory(ec))
                fs::create_directory(to, ec);
            else if (!ec)
                fs::copy_file(it->path(), to, ec);
            if (ec) break;
        }
    } else {
        fs::create_directory(folder / "mu", ec);
        if (!ec) fs::create_directory(folder / "mu2", ec);
    }
    if (ec) return fail(ec.message());
    return {};
}

}  // namespace

Result<fs::path> chooseProgramFolder(const fs::path& executableFolder,
                                     const std::optional<fs::path>& dataFolder) {
    if (!dataFolder || isFolder(executableFolder / "mu")) return executableFolder;
    const fs::path& target = *dataFolder;
    if (somethingAt(target)) return target;

    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    if (ec) return notMade(target, ec.message());
    Result<fs::path> temporary = makeTemporaryFolderBeside(target);
    if (!temporary) return temporary;
    Status made = fill(*temporary, executableFolder / ".." / "share" / "brindle" / "workspace");
    if (made) made = platform::renameNoReplace(*temporary, target);
    if (made) return target;
    fs::remove_all(*temporary, ec);
    // Another first start may have made the folder meanwhile: it is used as
    // that one made it.
    if (isFolder(target)) return target;
    return notMade(target, made.error());
}

Result<fs::path> defaultProgramFolder() {
    return chooseProgramFolder(platform::executableFolder(), platform::userDataFolder());
}

}  // namespace brindle
