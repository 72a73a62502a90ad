#pragma once
// The start window's library functions: list, choose, delete and open.

#include <filesystem>
#include <string>
#include <vector>

#include "app/feedback.h"
#include "app/session.h"

namespace brindle {

// File names of the plain `*.edb` files of `folder`, sorted by name. A
// missing or empty folder gives an empty list; nothing is reported.
std::vector<std::string> listLibraries(const std::filesystem::path& folder);

enum class DeleteOutcome { Cancelled, Deleted, Failed };

// Asks "是否删除工参库： \r\n<name>" (OK/Cancel) and on OK deletes
// `folder/name`, reporting "删除成功！" or "删除文件出错！". After anything
// but Cancelled the list is to be rebuilt.
DeleteOutcome deleteLibrary(const std::filesystem::path& folder, const std::string& name,
                            Feedback& feedback);

// The checks of "小区操作", in order: a chosen 4G library that exists and
// holds records; a 2G library that holds records if one exists at the chosen
// path, or the warning that only 4G scripts can be made. On success the
// session's libraries are open. Returns false when the main window must not open.
bool openChosenLibraries(Session& session, Feedback& feedback);

}  // namespace brindle
