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
    QString raw = box->document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    raw.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return u8(raw);
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
