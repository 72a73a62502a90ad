#include "core/app/workflows.h"

#include <system_error>

#include "core/base/messages.h"
#include "core/library/catalogue.h"

namespace brindle {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& p) {
    std::error_code ec;
    return !p.empty() && fs::is_regular_file(p, ec);
}

}  // namespace

bool openChosenLibraries(Session& session, Feedback& feedback) {
    if (!isFile(session.current4G)) {
        feedback.message(msg::kChoose4G);
        return false;
    }
    auto lte = openNonEmpty(session.current4G, LibraryKind::Lte, feedback);
    if (!lte) return false;

    std::shared_ptr<Library> gsm;
    if (isFile(session.current2G)) {
        gsm = openNonEmpty(session.current2G, LibraryKind::Gsm, feedback);
        if (!gsm) return false;
    } else {
        feedback.message(msg::kNo2G);
    }
    session.library4G = std::move(lte);
    session.library2G = std::move(gsm);
    return true;
}

bool importPreview(Session& session, LibraryKind kind, const Preview& preview, Feedback& feedback) {
    if (preview.baseName.empty()) {
        feedback.message(msg::kOpenWorkbookFirst);
        return false;
    }
    const fs::path path = session.folder.libraries(kind) / (preview.baseName + ".edb");
    session.lastImported = path;
    return writeLibrary(path, kind, preview, feedback);
}

}  // namespace brindle
