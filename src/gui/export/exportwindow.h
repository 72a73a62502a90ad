#pragma once
// What the four export tool windows (PCI change, neighbour inheritance,
// capacity reduction, frequency change) have in common: the export book
// they keep open between runs, its choose button, the save of a script box
// and the `closed` signal that the window flow follows.

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <memory>
#include <string_view>

#include "core/app/session.h"
#include "core/base/feedback.h"
#include "core/base/script.h"
#include "core/export/exportbook.h"
#include "core/library/library.h"

namespace brindle::gui {

class ExportWindow : public QWidget {
    Q_OBJECT
public:
    // The workbook the generators query; null until one was opened.
    exports::ExportBook* book() const { return book_.get(); }

signals:
    void closed();

protected:
    // The window of `tool`'s row (core/app/exporttools.h), titled with its
    // caption; its choose button's open dialog shows `filter` (empty: every
    // file) and titles a failed open "系统提示" as the row says.
    ExportWindow(Session& session, std::string_view tool, std::string_view filter, QWidget* parent);

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // The choose button's action. A cancelled or failed choice keeps the
    // book the window had, so the engineer's earlier workbook still works.
    void chooseExport();

    // A run of the window, on a worker thread: `run` works there with what it
    // took from the window before it started (captured by value), its lines
    // going to `box` (when it writes any) and its progress to `bar`; the
    // window's buttons wait and a close is held back until it ends. `then`
    // shows the run's results in the window, on the GUI thread, after a run
    // that had something to work on. The current 4G library is checked
    // first: the main window never opens without one, but a run must not
    // read through a null library if that ever changes.
    using LibraryRun =
        std::function<void(const Library& library4G, ScriptSink& box, Feedback& feedback)>;
    void runOnLibrary(QPlainTextEdit* box, QProgressBar* bar, LibraryRun run,
                      std::function<void()> then = {});
    // The same for a run that queries the export. Before any workbook was
    // chosen there is nothing to query: the engineer is told to choose one.
    using BookRun = std::function<void(const Library& library4G, exports::ExportBook& book,
                                       ScriptSink& box, Feedback& feedback)>;
    void runOnBook(QPlainTextEdit* box, QProgressBar* bar, BookRun run,
                   std::function<void()> then = {});

    // The save step: the box is rebuilt from its distinct non-empty lines and
    // written (GBK) to the file chosen from the desktop under `proposedName`.
    void saveBox(QPlainTextEdit* box, std::string_view proposedName, std::string_view filter,
                 FileKind kind = FileKind::ToolScriptSave);

    // Script-box look shared by the windows.
    static QPlainTextEdit* scriptLook(QPlainTextEdit* box);

    Session& session_;

private:
    // Whether it had something to work on.
    using Job = std::function<bool(const Library& library4G, ScriptSink& box, Feedback& feedback)>;
    void runJob(QPlainTextEdit* box, QProgressBar* bar, Job job, std::function<void()> then);

    std::string_view filter_;
    bool titledOpen_;
    std::unique_ptr<exports::ExportBook> book_;
};

}  // namespace brindle::gui
