#include "gui/base/qtext.h"

#include <QTextCursor>
#include <QTextDocument>

namespace brindle::gui {

namespace {

// The document keeps paragraphs; a CR LF text keeps lines.
QString toParagraphs(std::string_view text) {
    QString s = qs(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

}  // namespace

std::string boxText(const QPlainTextEdit* box) {
    // The document's text is converted a paragraph at a time straight into
    // UTF-8 with its CR LF: replacing the separators in the UTF-16 text first
    // made one more whole copy of a pane of many megabytes, and took longer
    // than in proportion to its length.
    const QString raw = box->document()->toRawText();
    std::string text;
    text.reserve(static_cast<std::size_t>(raw.size()) + static_cast<std::size_t>(raw.size()) / 8);
    const QStringView all(raw);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= all.size(); ++i) {
        const bool end = i == all.size();
        if (!end && all[i] != QChar::ParagraphSeparator && all[i] != QChar::LineSeparator) continue;
        const QByteArray piece = all.mid(start, i - start).toUtf8();
        text.append(piece.constData(), static_cast<std::size_t>(piece.size()));
        if (!end) text += "\r\n";
        start = i + 1;
    }
    return text;
}

void setBoxText(QPlainTextEdit* box, std::string_view text) {
    box->setPlainText(toParagraphs(text));
}

void appendToBox(QPlainTextEdit* box, std::string_view text) {
    if (text.empty()) return;
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(toParagraphs(text));
}

}  // namespace brindle::gui
