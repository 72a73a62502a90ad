#include "gui/base/backgroundrun.h"

#include <QHBoxLayout>
#include <QLayout>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "core/base/messages.h"
#include "gui/base/busy.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

namespace {

int running = 0;  // touched on the GUI thread only

constexpr int kFlushMilliseconds = 100;
constexpr const char* kStopStem = "按钮_停止_";

// The pane's side of a run: the worker appends under a lock, the GUI thread
// moves what has gathered into the pane. The pane is read-only while the
// run works, so whether it is empty is known here without asking it.
class WorkerSink final : public ScriptSink {
public:
    explicit WorkerSink(QPlainTextEdit* pane)
        : emptyNow_(!pane || pane->document()->isEmpty()), shown_(pane) {}

    void append(std::string_view text) override {
        const std::lock_guard lock(mutex_);
        pending_ += text;
        lines_ += std::count(text.begin(), text.end(), '\n');
        if (!text.empty()) emptyNow_ = false;
    }
    void clear() override {
        const std::lock_guard lock(mutex_);
        pending_.clear();
        clearFirst_ = true;
        emptyNow_ = true;
        lines_ = 0;
    }
    bool empty() const override {
        const std::lock_guard lock(mutex_);
        return emptyNow_;
    }

    // GUI thread.
    void flush() {
        std::string text;
        bool clearFirst = false;
        {
            const std::lock_guard lock(mutex_);
            text.swap(pending_);
            clearFirst = std::exchange(clearFirst_, false);
        }
        if (clearFirst) shown_.clear();
        if (text.empty()) return;
        shown_.append(text);
        shown_.flush();
    }
    long lines() const {
        const std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    mutable std::mutex mutex_;
    std::string pending_;
    bool clearFirst_ = false;
    bool emptyNow_;
    long lines_ = 0;
    PaneSink shown_;
};

class Run;

// The job's Feedback: everything that needs the engineer goes to the GUI
// thread and waits there for its answer.
class WorkerFeedback final : public Feedback {
public:
    explicit WorkerFeedback(Run& run) : run_(run) {}

    void message(std::string_view text, std::string_view title, Icon icon) override;
    void repeatedMessage(std::string_view text, Repeat kind) override;
    void detailedMessage(std::string_view text, std::string_view details) override;
    Answer ask(Question id, std::string_view detail) override;
    std::optional<std::filesystem::path> chooseOpenFile(const FileRequest& request) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileRequest& request) override;
    void progress(long position, long maximum) override;
    void pace(int milliseconds) override;
    bool stopRequested() override;

private:
    Run& run_;
};

class Run final : public QObject {
public:
    Run(const RunUnits& units, Job job, std::function<void(const RunEnd&)> done,
        std::function<std::string(const RunEnd&)> stoppedText)
        : units_(units),
          job_(std::move(job)),
          done_(std::move(done)),
          stoppedText_(std::move(stoppedText)),
          window_(units.window),
          pane_(units.pane),
          bar_(units.bar),
          gui_(units.window, units.bar),
          sink_(units.pane),
          feedback_(*this) {
        gui_.refuseToReplace(units.inUse);
    }

    void start() {
        ++running;
        busy_ = std::make_unique<Busy>(units_.window, units_.buttons);
        if (bar_) {
            stop_ = stopButtonOf(bar_);
            if (stop_) {
                stop_->setEnabled(true);
                connect(stop_, &QPushButton::clicked, this, [this] {
                    stopAsked_ = true;
                    if (stop_) stop_->setEnabled(false);  // asked once is enough
                });
            }
        }
        if (pane_) {
            paneWasReadOnly_ = pane_->isReadOnly();
            pane_->setReadOnly(true);  // its emptiness is the sink's to know
        }
        connect(&flushTimer_, &QTimer::timeout, this, [this] { sink_.flush(); });
        flushTimer_.start(kFlushMilliseconds);

        thread_ = QThread::create([this] {
            try {
                job_(sink_, feedback_);
            } catch (const std::exception& e) {
                failure_ = e.what();
            } catch (...) {
                failure_ = msg::kUnknownInternalError;
            }
        });
        connect(thread_, &QThread::finished, this, &Run::finish);
        thread_->start();
    }

    // Runs `work` on the GUI thread and waits for it.
    // A window deleted under its run (the program ending) answers nothing:
    // the job gets what a cancelled box gives and goes on to its end.
    template <typename F>
    void onGui(F&& work) {
        QMetaObject::invokeMethod(
            this,
            [this, &work] {
                if (!window_) return;
                sink_.flush();  // what ran so far is visible behind a box
                work(gui_);
            },
            Qt::BlockingQueuedConnection);
    }

    // Worker thread: the bar follows the latest position, one update queued
    // at a time however often the job reports.
    void postProgress(long position, long maximum) {
        position_ = position;
        maximum_ = maximum;
        if (progressQueued_.exchange(true)) return;
        QMetaObject::invokeMethod(
            this,
            [this] {
                progressQueued_ = false;
                gui_.progress(position_, maximum_);
            },
            Qt::QueuedConnection);
    }

    void postFlush() {
        QMetaObject::invokeMethod(
            this, [this] { sink_.flush(); }, Qt::QueuedConnection);
    }

    bool stopRequested() {
        if (!stopAsked_) return false;
        stopped_ = true;
        return true;
    }

private:
    void finish() {
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
        flushTimer_.stop();
        sink_.flush();
        if (pane_) pane_->setReadOnly(paneWasReadOnly_);
        if (QProgressBar* bar = bar_) {
            gui_.progress(position_, maximum_);
            // A bar ends full or empty, never part-way.
            if (stopped_ || bar->maximum() <= 0 || bar->value() < bar->maximum()) {
                bar->setRange(0, 100);
                bar->reset();
            }
        }
        if (stop_) {
            disconnect(stop_, nullptr, this, nullptr);
            stop_->setEnabled(false);
        }
        busy_.reset();
        const RunEnd end{stopped_, sink_.lines()};
        // What follows is the window's: nothing of it when the window is gone.
        if (window_) {
            if (!failure_.empty())
                gui_.message(std::string(msg::kInternalError) + failure_, {}, Icon::Error);
            else if (end.stopped)
                gui_.message(stoppedText_ ? stoppedText_(end) : msg::runStopped(end.lines));
            if (done_) done_(end);
        }
        --running;
        deleteLater();
    }

    RunUnits units_;  // its widgets are reached through the guarded pointers below
    Job job_;
    std::function<void(const RunEnd&)> done_;
    std::function<std::string(const RunEnd&)> stoppedText_;
    QPointer<QWidget> window_;
    QPointer<QPlainTextEdit> pane_;
    QPointer<QProgressBar> bar_;
    GuiFeedback gui_;
    WorkerSink sink_;
    WorkerFeedback feedback_;
    std::unique_ptr<Busy> busy_;
    QPointer<QPushButton> stop_;
    QThread* thread_ = nullptr;
    QTimer flushTimer_;
    bool paneWasReadOnly_ = false;
    std::atomic<bool> stopAsked_{false};
    std::atomic<bool> stopped_{false};
    std::atomic<long> position_{0};
    std::atomic<long> maximum_{0};
    std::atomic<bool> progressQueued_{false};
    std::string failure_;  // written by the worker before it ends
};

void WorkerFeedback::message(std::string_view text, std::string_view title, Icon icon) {
    run_.onGui([&](GuiFeedback& gui) { gui.message(text, title, icon); });
}

// The run's GuiFeedback keeps which repeats the engineer has quieted.
void WorkerFeedback::repeatedMessage(std::string_view text, Repeat kind) {
    run_.onGui([&](GuiFeedback& gui) { gui.repeatedMessage(text, kind); });
}

void WorkerFeedback::detailedMessage(std::string_view text, std::string_view details) {
    run_.onGui([&](GuiFeedback& gui) { gui.detailedMessage(text, details); });
}

Answer WorkerFeedback::ask(Question id, std::string_view detail) {
    Answer answer = Answer::No;
    run_.onGui([&](GuiFeedback& gui) { answer = gui.ask(id, detail); });
    return answer;
}

std::optional<std::filesystem::path> WorkerFeedback::chooseOpenFile(const FileRequest& request) {
    std::optional<std::filesystem::path> chosen;
    run_.onGui([&](GuiFeedback& gui) { chosen = gui.chooseOpenFile(request); });
    return chosen;
}

std::optional<std::filesystem::path> WorkerFeedback::chooseSaveFile(const FileRequest& request) {
    std::optional<std::filesystem::path> chosen;
    run_.onGui([&](GuiFeedback& gui) { chosen = gui.chooseSaveFile(request); });
    return chosen;
}

void WorkerFeedback::progress(long position, long maximum) {
    run_.postProgress(position, maximum);
}

void WorkerFeedback::pace(int milliseconds) {
    run_.postFlush();                            // the pause shows what came so far
    if (GuiFeedback::presetInstalled()) return;  // tests are not paced
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool WorkerFeedback::stopRequested() {
    return run_.stopRequested();
}

}  // namespace

void startRun(const RunUnits& units, Job job, std::function<void(const RunEnd&)> done,
              std::function<std::string(const RunEnd&)> stoppedText) {
    // The run deletes itself when its job has ended.
    auto* run = new Run(units, std::move(job), std::move(done), std::move(stoppedText));
    run->start();
}

int runsInProgress() {
    return running;
}

QPushButton* stopButtonOf(const QProgressBar* bar) {
    if (!bar || !bar->parentWidget()) return nullptr;
    return bar->parentWidget()->findChild<QPushButton*>(
        QString::fromUtf8(kStopStem) + bar->objectName(), Qt::FindDirectChildrenOnly);
}

void addStopButtons(QWidget* window) {
    for (QProgressBar* bar : window->findChildren<QProgressBar*>()) {
        if (stopButtonOf(bar)) continue;
        QWidget* holder = bar->parentWidget();
        QLayout* layout = holder ? holder->layout() : nullptr;
        if (!layout) continue;
        auto* row = new QWidget;
        auto* stop = new QPushButton(qs(msg::kStopRun));
        stop->setObjectName(QString::fromUtf8(kStopStem) + bar->objectName());
        stop->setEnabled(false);
        stop->setAutoDefault(false);
        // The row takes the bar's place, so the layout keeps its shape.
        delete layout->replaceWidget(bar, row);
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        const bool hidden = bar->isHidden();
        line->addWidget(bar, 1);
        bar->setHidden(hidden);
        line->addWidget(stop);
        // A bar hidden between runs stays hidden; its button stays beside it.
    }
}

}  // namespace brindle::gui
