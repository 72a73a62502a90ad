#include "core/app/workflows.h"

#include <system_error>

#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/library/catalogue.h"

namespace brindle {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& p) {
    std::error_code ec;
    return !p.empty() && fs::is_regular_file(p, ec);
}

}  // namespace

Status openChosenLibraries(Session& session, Feedback& feedback) {
    if (!isFile(session.current4G)) {
        feedback.message(msg::kChoose4G);
        return fail(std::string(msg::kChoose4G));
    }
    auto lte = openNonEmpty(session.current4G, LibraryKind::Lte, feedback);
    if (!lte) return fail(lte.error());

    std::shared_ptr<Library> gsm;
    if (isFile(session.current2G)) {
        auto opened = openNonEmpty(session.current2G, LibraryKind::Gsm, feedback);
        if (!opened) return fail(opened.error());
        gsm = *std::move(opened);
    } else {
        feedback.message(msg::kNo2G);
    }
    session.library4G = *std::move(lte);
    session.library2G = std::move(gsm);
    return {};
}

namespace {

fs::path libraryFor(const Session& session, LibraryKind kind, const std::string& baseName) {
    return session.folder.libraries(kind) / platform::pathFromUtf8(baseName + ".edb");
}

}  // namespace

ImportDraft draftImport(const Session& session, LibraryKind kind, const fs::path& workbook) {
    return ImportDraft(libraryFor(session, kind, workbookBaseName(workbook)), kind);
}

Status importPreview(Session& session, LibraryKind kind, const Preview& preview, Feedback& feedback,
                     ImportDraft* draft) {
    if (preview.baseName.empty()) {
        feedback.message(msg::kOpenWorkbookFirst);
        return fail(std::string(msg::kOpenWorkbookFirst));
    }
    // A workbook of the other kind, or of no kind, would replace a library's
    // records with fields in the wrong places: the engineer says first.
    if (const std::string mismatch = workbookMismatch(preview, kind); !mismatch.empty()) {
        const Question id = mismatchQuestion(kind);
        if (feedback.ask(id, mismatch) != Answer::Yes)
            return fail(std::string(questionText(id).text) + mismatch);
    }
    const fs::path path = libraryFor(session, kind, preview.baseName);
    session.lastImported = path;
    return writeLibrary(path, kind, preview, feedback, draft);
}

}  // namespace brindle
