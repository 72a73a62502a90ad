#pragma once
// The flows of the start and import windows that change the session: open
// the chosen libraries, import a read workbook into its library.

#include "core/app/session.h"
#include "core/base/feedback.h"
#include "core/base/result.h"
#include "core/library/import.h"

namespace brindle {

// The checks of "小区操作", in order: a chosen 4G library that exists and
// holds records; a 2G library that holds records if one exists at the chosen
// path, or the warning that only 4G scripts can be made. On success the
// session's libraries are open. Fails, with the message that was shown as
// the error, when the main window must not open.
Status openChosenLibraries(Session& session, Feedback& feedback);

// Writes the preview into `<base name>.edb` of the kind's library folder and
// remembers it as the last imported library. Without a read workbook it
// says so and writes nothing; a workbook that does not look like the kind
// (workbookMismatch) is written only when the engineer answers Yes to
// ImportMismatch4G/2G. The error is the last message shown.
Status importPreview(Session& session, LibraryKind kind, const Preview& preview, Feedback& feedback,
                     ImportDraft* draft = nullptr);

// A draft of the library importPreview writes `workbook` into, for
// readWorkbook and importPreview to write and commit (the command line's
// import).
ImportDraft draftImport(const Session& session, LibraryKind kind,
                        const std::filesystem::path& workbook);

}  // namespace brindle
