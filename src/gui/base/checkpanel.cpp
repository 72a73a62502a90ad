#include "gui/base/checkpanel.h"

#include <QHBoxLayout>
#include <QLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <stdexcept>
#include <utility>

#include "core/app/commandtable.h"
#include "core/base/messages.h"
#include "core/tools/checkreport.h"
#include "core/tools/scriptcheck.h"
#include "gui/base/busy.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"

namespace brindle::gui {

namespace {

// The window's feedback, with the rows found so far put into the list
// whenever the check lets events through, so they show as they come.
class PumpingFeedback : public GuiFeedback {
public:
    PumpingFeedback(QWidget* parent, QProgressBar* bar, std::function<void()> beforePump)
        : GuiFeedback(parent, bar), beforePump_(std::move(beforePump)) {}

    void pumpEvents() override {
        beforePump_();
        GuiFeedback::pumpEvents();
    }

private:
    std::function<void()> beforePump_;
};

QString unitName(const char* stem, const QPlainTextEdit* pane) {
    return QString::fromUtf8(stem) + pane->objectName();
}

}  // namespace

CheckPanel::CheckPanel(QPlainTextEdit* pane, const Session& session, ScriptSource script,
                       QWidget* parent)
    : QWidget(parent), pane_(pane), session_(session), script_(std::move(script)) {
    setObjectName(unitName("检查面板_", pane));
    button_ = new QPushButton(qs(msg::kCheckScript));
    button_->setObjectName(unitName("按钮_检查脚本_", pane));
    summary_ = new QLabel;
    summary_->setObjectName(unitName("标签_检查结果_", pane));
    progress_ = new QProgressBar;
    progress_->setObjectName(unitName("进度条_检查_", pane));
    progress_->hide();
    findings_ = new QListWidget;
    findings_->setObjectName(unitName("列表_检查结果_", pane));
    // Rows of one height let the list place 100,000 of them without
    // measuring each.
    findings_->setUniformItemSizes(true);
    findings_->setMaximumHeight(160);
    findings_->hide();

    auto* bar = new QHBoxLayout;
    bar->addWidget(button_);
    bar->addWidget(summary_, 1);
    bar->addWidget(progress_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(findings_);

    connect(button_, &QPushButton::clicked, this, &CheckPanel::check);
    // A click or Enter on a row: whichever the platform calls activation,
    // a single click must also lead to the line.
    connect(findings_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showFindingAt(findings_->row(item)); });
    connect(findings_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showFindingAt(findings_->row(item)); });
}

void CheckPanel::check() {
    if (!pane_) return;
    const std::string script = script_ ? script_() : boxText(pane_);
    findings_->clear();
    lines_.clear();
    pendingRows_.clear();
    if (script.empty()) {
        findings_->hide();
        summary_->clear();
        GuiFeedback(window()).message(msg::kCheckEmpty);
        return;
    }

    // Events run during the check: the button waits, and a close of the
    // window waits for the check's end, which still writes into this panel.
    const Busy busy(window(), {button_});
    findings_->show();
    summary_->setText(qs(msg::kChecking));
    progress_->reset();
    progress_->show();
    sinceFlush_.start();

    PumpingFeedback feedback(window(), progress_, [this] { flushRowsIfDue(); });
    const check::CheckContext context{&programCommands(), session_.library4G.get(),
                                      session_.library2G.get()};
    check::Tally tally;
    check::checkScript(
        script, context,
        [this, &tally](const check::Finding& finding) {
            addRow(check::findingRow(finding), finding.line);
            tally.count(finding);
        },
        &feedback);
    flushRows();
    progress_->hide();
    summary_->setText(qs(check::checkSummary(tally)));
}

void CheckPanel::addRow(std::string_view row, std::size_t line) {
    pendingRows_ << qs(row);
    lines_.push_back(line);
}

void CheckPanel::flushRows() {
    if (!pendingRows_.isEmpty()) findings_->addItems(pendingRows_);
    pendingRows_.clear();
    sinceFlush_.restart();
}

void CheckPanel::flushRowsIfDue() {
    if (!pendingRows_.isEmpty() && sinceFlush_.elapsed() >= 100) flushRows();
}

void CheckPanel::showFindingAt(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= lines_.size()) return;
    showLine(lines_[static_cast<std::size_t>(row)]);
}

void CheckPanel::showLine(std::size_t line) {
    // A finding about the whole script has no line to show.
    if (!pane_ || line == 0) return;
    // The pane may have been edited since the check; a line that is gone
    // selects nothing.
    const QTextBlock block = pane_->document()->findBlockByNumber(static_cast<int>(line - 1));
    if (!block.isValid()) return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    pane_->setTextCursor(cursor);
    pane_->ensureCursorVisible();
}

CheckPanel* attachCheckPanel(QPlainTextEdit* pane, const Session& session,
                             CheckPanel::ScriptSource script) {
    QWidget* parent = pane->parentWidget();
    QLayout* layout = parent ? parent->layout() : nullptr;
    auto* holder = new QWidget;
    // The pane keeps its place, stretch included; the holder takes it and
    // stacks the pane over its panel.
    QLayoutItem* old = layout ? layout->replaceWidget(pane, holder) : nullptr;
    if (!old) {
        delete holder;
        throw std::logic_error("a check panel needs its pane in a layout: " +
                               u8(pane->objectName()));
    }
    delete old;
    holder->setSizePolicy(pane->sizePolicy());
    auto* panel = new CheckPanel(pane, session, std::move(script));
    auto* column = new QVBoxLayout(holder);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(pane, 1);
    column->addWidget(panel);
    return panel;
}

std::vector<CheckPanel*> attachCheckPanels(const Session& session,
                                           std::initializer_list<QPlainTextEdit*> panes) {
    std::vector<CheckPanel*> panels;
    for (QPlainTextEdit* pane : panes) panels.push_back(attachCheckPanel(pane, session));
    return panels;
}

}  // namespace brindle::gui
