#include "gui/base/remembered.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QRect>
#include <QScreen>

#include <array>
#include <system_error>

#include "core/base/messages.h"
#include "core/base/platform.h"
#include "gui/base/qtext.h"

namespace brindle::gui {

namespace {

namespace fs = std::filesystem;

struct KindRow {
    FileKind kind;
    const char* key;  // under "folders/"; none for a dialog that remembers nothing
    std::string_view title;
};

// One key per kind: the rollback save starts where the script save went
// only if the engineer put it there.
constexpr std::array<KindRow, 7> kKinds = {{
    {FileKind::Other, nullptr, {}},
    {FileKind::ScriptSave, "scriptSave", msg::kSaveScriptTitle},
    {FileKind::ToolScriptSave, "toolScriptSave", msg::kSaveScriptTitle},
    {FileKind::RollbackSave, "rollbackSave", msg::kSaveRollbackTitle},
    {FileKind::Workbook, "workbookOpen", msg::kOpenWorkbookTitle},
    {FileKind::Export, "exportOpen", msg::kOpenExportTitle},
    {FileKind::ScriptFile, "scriptOpen", msg::kOpenScriptTitle},
}};

const KindRow& rowOf(FileKind kind) {
    for (const KindRow& row : kKinds)
        if (row.kind == kind) return row;
    return kKinds[0];
}

QString folderKey(FileKind kind) {
    return QStringLiteral("folders/") + QString::fromLatin1(rowOf(kind).key);
}

QString geometryGroup(const QWidget* window) {
    // "brindle::gui::MainWindow" → "MainWindow": one entry per kind of window.
    QString name = QString::fromLatin1(window->metaObject()->className());
    return QStringLiteral("windows/") + name.mid(name.lastIndexOf(':') + 1);
}

const char* libraryKey(LibraryKind kind) {
    return kind == LibraryKind::Lte ? "libraries/4G" : "libraries/2G";
}

}  // namespace

QSettings rememberedSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Brindle"),
                     QStringLiteral("Brindle"));
}

fs::path startFolderFor(const FileRequest& request) {
    if (!rowOf(request.kind).key) return request.startFolder;
    const QString folder = rememberedSettings().value(folderKey(request.kind)).toString();
    if (folder.isEmpty()) return request.startFolder;
    const fs::path path = fsPath(folder);
    std::error_code ec;
    return fs::is_directory(path, ec) ? path : request.startFolder;
}

void rememberFolder(FileKind kind, const fs::path& chosenFile) {
    if (!rowOf(kind).key || !chosenFile.has_parent_path()) return;
    rememberedSettings().setValue(folderKey(kind),
                                  qs(platform::utf8Name(chosenFile.parent_path())));
}

std::string_view fileDialogTitle(FileKind kind) {
    return rowOf(kind).title;
}

void saveWindowGeometry(const QWidget* window) {
    QSettings settings = rememberedSettings();
    settings.beginGroup(geometryGroup(window));
    settings.setValue("rect", window->normalGeometry());
    settings.setValue("maximized", window->isMaximized());
}

bool restoreWindowGeometry(QWidget* window) {
    QSettings settings = rememberedSettings();
    settings.beginGroup(geometryGroup(window));
    const QRect rect = settings.value("rect").toRect();
    if (!rect.isValid()) return false;
    bool fits = false;
    for (const QScreen* screen : QGuiApplication::screens())
        fits = fits || screen->availableGeometry().contains(rect);
    if (!fits) return false;
    window->setGeometry(rect);
    if (settings.value("maximized").toBool())
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    return true;
}

fs::path rememberedLibrary(LibraryKind kind) {
    const QString path = rememberedSettings().value(libraryKey(kind)).toString();
    return path.isEmpty() ? fs::path() : fsPath(path);
}

void rememberLibraries(const Session& session) {
    QSettings settings = rememberedSettings();
    settings.setValue(libraryKey(LibraryKind::Lte), qs(platform::utf8Name(session.current4G)));
    // Without a 2G library the last run had none: none is preselected.
    settings.setValue(libraryKey(LibraryKind::Gsm),
                      session.library2G ? qs(platform::utf8Name(session.current2G)) : QString());
}

}  // namespace brindle::gui
