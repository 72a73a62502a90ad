#include "gui/base/qtext.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace brindle::gui {

namespace {

// The document keeps paragraphs; a CR LF text keeps lines. Each CR LF
// becomes LF in one pass over the text: QString::replace moves the rest of
// the text again and again, and took half a minute for a million lines.
QString toParagraphs(std::string_view text) {
    QString s = qs(text);
    QChar* out = s.data();
    const QChar* in = out;
    const QChar* const end = in + s.size();
    for (; in != end; ++in)
        if (*in != u'\r' || in + 1 == end || in[1] != u'\n') *out++ = *in;
    s.truncate(out - s.constData());
    return s;
}

}  // namespace

std::string boxText(const QPlainTextEdit* box) {
    // The document is read a paragraph at a time straight into UTF-8 with
    // its CR LF: its whole text as one UTF-16 string first was a copy twice
    // the size of the script, on top of the script itself, when a pane of a
    // hundred thousand lines was saved.
    const QTextDocument* document = box->document();
    const auto characters = static_cast<std::size_t>(document->characterCount());
    std::string text;
    text.reserve(characters + characters / 8);
    const auto appendUtf8 = [&text](QStringView piece) {
        const QByteArray bytes = piece.toUtf8();
        text.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    };
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin()) text += "\r\n";
        const QString paragraph = block.text();
        const QStringView all(paragraph);
        // A line break inside a paragraph (Shift+Enter) ends a line too.
        qsizetype start = 0;
        for (qsizetype at = all.indexOf(QChar::LineSeparator); at >= 0;
             at = all.indexOf(QChar::LineSeparator, start)) {
            appendUtf8(all.mid(start, at - start));
            text += "\r\n";
            start = at + 1;
        }
        appendUtf8(all.mid(start));
    }
    return text;
}

void setBoxText(QPlainTextEdit* box, std::string_view text) {
    box->setPlainText(toParagraphs(text));
}

void clearBox(QPlainTextEdit* box) {
    QTextDocument* document = box->document();
    if (document->isEmpty()) return;  // nothing to undo
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.endEditBlock();
}

void appendToBox(QPlainTextEdit* box, std::string_view text) {
    if (text.empty()) return;
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(toParagraphs(text));
}

}  // namespace brindle::gui
