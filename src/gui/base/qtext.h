#pragma once
// Between Qt's strings and the core's UTF-8, and between a text box's
// paragraphs and the CR LF texts the core works on.

#include <QDir>
#include <QPlainTextEdit>
#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

#include "core/base/platform.h"

namespace brindle::gui {

inline QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string u8(const QString& s) {
    const QByteArray bytes = s.toUtf8();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// A file name from Qt (a file dialog, a dropped file, an option): Qt writes
// '/' on every system, the core and its messages use the system's own.
inline std::filesystem::path fsPath(const QString& name) {
    return platform::pathFromUtf8(u8(QDir::toNativeSeparators(name)));
}

// The box's text with its line breaks as CR LF, every other character as
// typed (no-break spaces included).
std::string boxText(const QPlainTextEdit* box);

// Replaces the box's text with a CR LF text.
void setBoxText(QPlainTextEdit* box, std::string_view text);

// Empties the box as one step of its undo history, so Ctrl+Z brings the
// text back: clear() and setPlainText() would drop the history with it.
void clearBox(QPlainTextEdit* box);

// Adds a CR LF text at the very end of the box: a box that does not end in a
// line break is continued on its last line.
void appendToBox(QPlainTextEdit* box, std::string_view text);

}  // namespace brindle::gui
