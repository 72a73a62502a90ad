#include "gui/export/exportwindow.h"

#include <QCloseEvent>
#include <QFontDatabase>

#include "core/app/exporttools.h"
#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/base/script.h"
#include "core/export/exportfile.h"
#include "gui/base/backgroundrun.h"
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

void ExportWindow::showEvent(QShowEvent* event) {
    addStopButtons(this);  // the tool's layout is built by now
    QWidget::showEvent(event);
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

void ExportWindow::runOnLibrary(QPlainTextEdit* box, QProgressBar* bar, LibraryRun run,
                                std::function<void()> then) {
    runJob(
        box, bar,
        [run = std::move(run)](const Library& library, ScriptSink& sink, Feedback& feedback) {
            run(library, sink, feedback);
            return true;
        },
        std::move(then));
}

void ExportWindow::runOnBook(QPlainTextEdit* box, QProgressBar* bar, BookRun run,
                             std::function<void()> then) {
    // The choose button waits with the others, so the book stays while the run reads it.
    exports::ExportBook* book = book_.get();
    runJob(
        box, bar,
        [book, run = std::move(run)](const Library& library, ScriptSink& sink, Feedback& feedback) {
            if (!book) {
                feedback.message(msg::kChooseExportFirst);
                return false;
            }
            run(library, *book, sink, feedback);
            return true;
        },
        std::move(then));
}

void ExportWindow::runJob(QPlainTextEdit* box, QProgressBar* bar, Job job,
                          std::function<void()> then) {
    const QList<QPushButton*> buttons = findChildren<QPushButton*>();
    std::shared_ptr<const Library> library = session_.library4G;
    auto worked = std::make_shared<bool>(false);
    startRun(
        {this, bar, box, {buttons.begin(), buttons.end()}, {}},
        [library, job = std::move(job), worked](ScriptSink& sink, Feedback& feedback) {
            if (!library) {
                feedback.message(msg::kChoose4G);
                return;
            }
            *worked = job(*library, sink, feedback);
        },
        [worked, then = std::move(then)](const RunEnd&) {
            if (*worked && then) then();
        });
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
