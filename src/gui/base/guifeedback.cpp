#include "gui/base/guifeedback.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

namespace {

QString boxTitle(std::string_view title) {
    return title.empty() ? QApplication::applicationDisplayName() : qs(title);
}

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

bool ask(QWidget* parent, std::string_view text, std::string_view title,
         QMessageBox::StandardButtons buttons, QMessageBox::StandardButton yes) {
    QMessageBox box(QMessageBox::Question, boxTitle(title), qs(text), buttons, parent);
    return box.exec() == yes;
}

}  // namespace

QString qtFilter(std::string_view filter) {
    if (filter.empty()) return {};
    const QString f = qs(filter);
    const auto bar = f.indexOf('|');
    if (bar < 0) return f;
    QStringList patterns;
    for (const QString& p : f.mid(bar + 1).split(';', Qt::SkipEmptyParts)) {
        patterns << p;
        if (p.toLower() != p) patterns << p.toLower();
    }
    return f.left(bar) + " (" + patterns.join(' ') + ")";
}

void GuiFeedback::message(std::string_view text, std::string_view title, Icon icon) {
    if (pane_) pane_->flush();  // what ran so far is visible behind the box
    QMessageBox box(qtIcon(icon), boxTitle(title), qs(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool GuiFeedback::askYesNo(std::string_view text, std::string_view title) {
    return ask(parent_, text, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
}

bool GuiFeedback::askOkCancel(std::string_view text, std::string_view title) {
    return ask(parent_, text, title, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
}

std::optional<std::filesystem::path> GuiFeedback::chooseOpenFile(const FileRequest& request) {
    const QString file = QFileDialog::getOpenFileName(
        parent_, {}, QString::fromStdString(request.startFolder.string()),
        qtFilter(request.filter));
    if (file.isEmpty()) return std::nullopt;
    return std::filesystem::path(u8(file));
}

std::optional<std::filesystem::path> GuiFeedback::chooseSaveFile(const FileRequest& request) {
    QString start = QString::fromStdString(request.startFolder.string());
    if (!request.proposedName.empty())
        start = start.isEmpty() ? qs(request.proposedName) : start + '/' + qs(request.proposedName);
    const QString file = QFileDialog::getSaveFileName(parent_, {}, start, qtFilter(request.filter));
    if (file.isEmpty()) return std::nullopt;
    return std::filesystem::path(u8(file));
}

void GuiFeedback::progress(long position, long maximum) {
    if (!bar_) return;
    bar_->setMaximum(static_cast<int>(maximum));
    bar_->setValue(static_cast<int>(position));
}

void GuiFeedback::pumpEvents() {
    if (pane_) pane_->flushIfDue();
    QCoreApplication::processEvents();
}

}  // namespace brindle::gui
