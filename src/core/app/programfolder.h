#pragma once
// Which program folder (mu/, mu2/, workbooks/) Brindle works on when none is
// given with --home. An unpacked Windows zip is a portable folder: the
// executable's folder holds mu/ and is used as it is. An installed program
// (the .deb puts brindle in /usr/bin) keeps the user's libraries in the
// user's data folder instead, made on the first start from the sample
// workspace installed beside the program.

#include <filesystem>
#include <optional>

#include "core/base/result.h"

namespace brindle {

// The rule on given folders. `executableFolder` wins when it holds mu/.
// Otherwise `dataFolder` is the program folder: used as it is when
// something is there (it is never overwritten), else made from a copy of
// `<executableFolder>/../share/brindle/workspace` when that folder exists,
// else with empty mu/ and mu2/. It is made under a temporary name beside
// its place and then renamed, so an interrupted first start leaves no half
// program folder. Without a data folder the executable's folder is used.
// Fails with msg::kProgramFolderNotMade, the folder and the system's reason.
Result<std::filesystem::path> chooseProgramFolder(
    const std::filesystem::path& executableFolder,
    const std::optional<std::filesystem::path>& dataFolder);

// The rule on this process's executable folder and the user's data folder.
Result<std::filesystem::path> defaultProgramFolder();

}  // namespace brindle
