#pragma once
// What the program remembers between runs, in one INI file of the user's
// (QSettings, user scope: ~/.config/Brindle/Brindle.ini on Linux,
// %APPDATA%\Brindle\Brindle.ini on Windows), so an engineer can delete it
// to start afresh: the last folder of each kind of file dialog, each
// window's geometry and the libraries last opened.

#include <QSettings>
#include <QString>
#include <QWidget>

#include <filesystem>
#include <string_view>

#include "core/app/session.h"
#include "core/base/feedback.h"

namespace brindle::gui {

QSettings rememberedSettings();

// The folder a dialog of the request's kind starts in: the one the last
// dialog of that kind chose a file in, while it still exists, else the
// request's own.
std::filesystem::path startFolderFor(const FileRequest& request);
void rememberFolder(FileKind kind, const std::filesystem::path& chosenFile);
// The dialog's title, saying what it opens or saves (empty: Qt's own).
std::string_view fileDialogTitle(FileKind kind);

// A top-level window's place and size, under its class name. Restoring
// takes a saved geometry only when it lies wholly within the available
// area of one of the screens there are now (a screen unplugged since, a
// smaller resolution): otherwise the window keeps the place it was given.
void saveWindowGeometry(const QWidget* window);
bool restoreWindowGeometry(QWidget* window);

// The libraries the engineer last opened, as full paths (empty when none).
std::filesystem::path rememberedLibrary(LibraryKind kind);
void rememberLibraries(const Session& session);

}  // namespace brindle::gui
