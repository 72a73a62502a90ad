#include "gui/export/exportwindow.h"

#include <QCloseEvent>
#include <QFontDatabase>

#include "core/app/exporttools.h"
#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/base/script.h"
#include "core/export/exportfile.h"
#include "gui/base/busy.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

ExportWindow::ExportWindow(Session& session, std::string_view tool, std::string_view filter,
                           QWidget* parent)
    : QWidget(parent),
      session_(session),
      filter_(filter),
      titledOpen_(exportToolRow(tool).titledOpen) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(qs(exportToolRow(tool).caption));
}

void ExportWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

void ExportWindow::chooseExport() {
    GuiFeedback feedback(this);
    if (auto chosen = exports::chooseExport(filter_, titledOpen_, feedback))
        book_ = std::move(chosen);
}

void ExportWindow::runOnLibrary(QPlainTextEdit* box, QProgressBar* bar, const LibraryRun& run) {
    const QList<QPushButton*> buttons = findChildren<QPushButton*>();
    const Busy busy(this, {buttons.begin(), buttons.end()});
    PaneSink pane(box);
    GuiFeedback feedback(this, bar, &pane);
    if (const Library* library = library4GFor(feedback)) run(*library, pane, feedback);
}

void ExportWindow::runOnBook(QPlainTextEdit* box, QProgressBar* bar, const BookRun& run) {
    runOnLibrary(box, bar,
                 [this, &run](const Library& library, ScriptSink& sink, Feedback& feedback) {
                     if (!book_) {
                         feedback.message(msg::kChooseExportFirst);
                         return;
                     }
                     run(library, *book_, sink, feedback);
                 });
}

const Library* ExportWindow::library4GFor(Feedback& feedback) const {
    if (!session_.library4G) feedback.message(msg::kChoose4G);
    return session_.library4G.get();
}

void ExportWindow::saveBox(QPlainTextEdit* box, std::string_view proposedName,
                           std::string_view filter, FileKind kind) {
    GuiFeedback feedback(this);
    std::vector<std::filesystem::path> inUse = session_.filesInUse();
    if (book_) inUse.push_back(book_->path());
    feedback.refuseToReplace(std::move(inUse));
    setBoxText(box, saveToolScript(boxText(box), proposedName, filter, platform::desktopFolder(),
                                   feedback, kind));
}

QPlainTextEdit* ExportWindow::scriptLook(QPlainTextEdit* box) {
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setMinimumWidth(360);
    return box;
}

}  // namespace brindle::gui
