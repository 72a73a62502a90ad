#pragma once
// A window's long job (a generator, an export tool, a check, an import, a
// split) on a worker thread, so the window repaints and stays usable while
// it works and the engineer can stop it.
//
// The job sees the core's two seams only: a ScriptSink whose lines reach
// the window's pane in batches, and a Feedback whose messages, questions
// and file dialogs are shown on the GUI thread in the order the job asks
// them, the job waiting for each answer. Progress goes to the window's bar
// without waiting. The 停止 button beside the bar asks the job to stop; the
// core ends it between two items, and what was made before stays.
//
// Everything the job reads from the window is read before it starts (a
// snapshot of its boxes and options); the job itself touches no widget.

#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/base/feedback.h"
#include "core/base/script.h"

namespace brindle::gui {

// What a run of a window uses.
struct RunUnits {
    QWidget* window = nullptr;      // owns the message boxes; its close waits for the run
    QProgressBar* bar = nullptr;    // none: the run shows no progress and has no 停止
    QPlainTextEdit* pane = nullptr; // none: the job's lines go nowhere
    std::vector<QPushButton*> buttons;  // disabled while it runs
    std::vector<std::filesystem::path> inUse;  // files a save dialog must not replace
};

// How a run ended, for what the window does afterwards.
struct RunEnd {
    bool stopped = false;  // a stop ended it before its end
    long lines = 0;        // lines the pane received
};

using Job = std::function<void(ScriptSink& sink, Feedback& feedback)>;

// Starts `job` on a worker thread and returns at once. The job must not
// reach its window: it owns (or shares) what it reads, besides the session. When the job has
// ended, on the GUI thread: the pane holds every line, the bar stands at
// its end (full) or empty, the buttons are as they were, a stop has been
// told (with `stoppedText`, or a sentence of how many lines were kept), and
// then `done` runs, unless the window has gone meanwhile.
void startRun(const RunUnits& units, Job job, std::function<void(const RunEnd&)> done = {},
              std::function<std::string(const RunEnd&)> stoppedText = {});

// How many runs have started and not yet ended (tests wait for none).
int runsInProgress();

// Puts a 停止 button beside each progress bar of `window` (the bar and the
// button take the bar's place in its layout), named "按钮_停止_" followed by
// the bar's unit name. It is enabled only while a run of that bar works.
void addStopButtons(QWidget* window);
QPushButton* stopButtonOf(const QProgressBar* bar);

}  // namespace brindle::gui
