#pragma once
// The start window's library functions: list, choose, delete and open.

#include <filesystem>
#include <string>
#include <vector>

#include "core/base/feedback.h"
#include "core/base/result.h"
#include "core/library/library.h"

namespace brindle {

// File names of the plain `*.edb` files of `folder`, sorted by name. A
// missing or empty folder gives an empty list; nothing is reported.
std::vector<std::string> listLibraries(const std::filesystem::path& folder);

// Asks "是否删除工参库： \r\n<name>" (OK/Cancel) and on OK deletes
// `folder/name`, reporting "删除成功！" or "删除文件出错！" (the error). Only a
// library as listLibraries lists it is deleted: a name with a folder in it,
// or of a file that is not a plain `*.edb`, fails. True when the library was
// deleted, false when the engineer cancelled. After anything but a cancel
// the list is to be rebuilt.
Result<bool> deleteLibrary(const std::filesystem::path& folder, const std::string& name,
                           Feedback& feedback);

// Opens a library for the generators: it must load and hold records. When it
// cannot be used the reason is shown and is the error.
Result<std::shared_ptr<Library>> openNonEmpty(const std::filesystem::path& path, LibraryKind kind,
                                              Feedback& feedback);

}  // namespace brindle
