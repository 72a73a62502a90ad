#include "gui/base/checkpanel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLayout>
#include <QSignalBlocker>
#include <QSplitter>
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

    bool stopRequested() override {
        beforePump_();
        return GuiFeedback::stopRequested();
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
    severities_ = new QComboBox;
    severities_->setObjectName(unitName("下拉框_检查级别_", pane));
    severities_->addItem(qs(msg::kCheckAllSeverities));
    severities_->addItem(qs(msg::kCheckError));
    severities_->addItem(qs(msg::kCheckWarning));
    rules_ = new QComboBox;
    rules_->setObjectName(unitName("下拉框_检查规则_", pane));
    rules_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    model_ = new FindingsModel(this);
    model_->clear();
    // A table of one column, not a list view: the list lays out every row
    // again whenever rows are added, the table's rows all have one height
    // and place millions without measuring or storing each.
    findings_ = new QTableView;
    findings_->setObjectName(unitName("列表_检查结果_", pane));
    findings_->setModel(model_);
    findings_->horizontalHeader()->hide();
    findings_->horizontalHeader()->setStretchLastSection(true);
    findings_->verticalHeader()->hide();
    findings_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    findings_->verticalHeader()->setDefaultSectionSize(findings_->fontMetrics().height() + 4);
    findings_->setShowGrid(false);
    findings_->setWordWrap(false);
    findings_->setSelectionBehavior(QAbstractItemView::SelectRows);
    findings_->setSelectionMode(QAbstractItemView::SingleSelection);
    findings_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    showResults(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(button_);
    bar->addWidget(summary_, 1);
    bar->addWidget(progress_, 1);
    auto* filters = new QHBoxLayout;
    filters->addWidget(severities_);
    filters->addWidget(rules_);
    filters->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addLayout(filters);
    layout->addWidget(findings_, 1);

    connect(button_, &QPushButton::clicked, this, &CheckPanel::check);
    // A click or Enter on a row: whichever the platform calls activation,
    // a single click must also lead to the line.
    connect(findings_, &QTableView::activated, this,
            [this](const QModelIndex& index) { showFindingAt(index.row()); });
    connect(findings_, &QTableView::clicked, this,
            [this](const QModelIndex& index) { showFindingAt(index.row()); });
    connect(severities_, &QComboBox::currentIndexChanged, this, &CheckPanel::applyFilter);
    connect(rules_, &QComboBox::currentIndexChanged, this, &CheckPanel::applyFilter);
    connect(pane, &QPlainTextEdit::textChanged, this, [this] {
        ++edits_;
        if (model_->size() > 0 || !summary_->text().isEmpty()) clearFindings();
    });
}

void CheckPanel::check() {
    if (!pane_) return;
    const std::string script = script_ ? script_() : boxText(pane_);
    clearFindings();
    if (script.empty()) {
        GuiFeedback(window()).message(msg::kCheckEmpty);
        return;
    }

    // Events run during the check: the button waits, and a close of the
    // window waits for the check's end, which still writes into this panel.
    const Busy busy(window(), {button_});
    showResults(true);
    summary_->setText(qs(msg::kChecking));
    progress_->reset();
    progress_->show();
    sinceFlush_.start();

    PumpingFeedback feedback(window(), progress_, [this] { flushRowsIfDue(); });
    const check::CheckContext context{&programCommands(), session_.library4G.get(),
                                      session_.library2G.get()};
    check::Tally tally;
    const unsigned long edits = edits_;
    // The check keeps its own list of the findings too; it goes at once.
    (void)check::checkScript(
        script, context,
        [this, &tally, edits](const check::Finding& finding) {
            if (edits_ != edits) return;
            model_->add(finding);
            tally.count(finding);
        },
        &feedback);
    progress_->hide();
    if (edits_ != edits) {
        // The pane changed while the check ran: what it found is stale.
        clearFindings();
        return;
    }
    flushRows();
    summary_->setText(qs(check::checkSummary(tally)));
}

void CheckPanel::clearFindings() {
    model_->clear();
    countRules();
    summary_->clear();
    showResults(false);
}

void CheckPanel::showResults(bool shown) {
    severities_->setVisible(shown);
    rules_->setVisible(shown);
    findings_->setVisible(shown);
    // The list takes a third of the column when it first shows, and gives
    // the room back to the pane when it goes; the splitter resizes it.
    auto* splitter = qobject_cast<QSplitter*>(parentWidget());
    if (!splitter || splitter->count() != 2) return;
    const int total = splitter->sizes().value(0) + splitter->sizes().value(1);
    if (!shown)
        splitter->setSizes({total, 0});
    else if (splitter->sizes().value(1) < total / 4)
        splitter->setSizes({total - total / 3, total / 3});
}

void CheckPanel::flushRows() {
    model_->publish();
    countRules();
    sinceFlush_.restart();
}

void CheckPanel::flushRowsIfDue() {
    if (sinceFlush_.elapsed() >= 100) flushRows();
}

void CheckPanel::countRules() {
    const QSignalBlocker blocker(rules_);
    const QVariant chosen = rules_->currentData();
    rules_->clear();
    rules_->addItem(qs(msg::kCheckAllRules) + qs(msg::kCheckCountHead) +
                        QString::number(model_->size()) + qs(msg::kCheckCountTail),
                    -1);
    const auto all = check::rules();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::size_t count = model_->countOf(&all[i]);
        if (count == 0) continue;
        rules_->addItem(qs(all[i].id) + " " + qs(all[i].reason) + qs(msg::kCheckCountHead) +
                            QString::number(count) + qs(msg::kCheckCountTail),
                        static_cast<int>(i));
    }
    const int kept = rules_->findData(chosen);
    rules_->setCurrentIndex(kept < 0 ? 0 : kept);
    // A rule chosen that this check did not find: every rule shows again.
    if (kept < 0 && chosen.toInt() >= 0 && chosen.isValid()) applyFilter();
}

void CheckPanel::applyFilter() {
    FindingsModel::Filter filter;
    if (severities_->currentIndex() == 1) filter.severity = check::Severity::Error;
    if (severities_->currentIndex() == 2) filter.severity = check::Severity::Warning;
    const int rule = rules_->currentData().toInt();
    if (rule >= 0 && static_cast<std::size_t>(rule) < check::rules().size())
        filter.rule = &check::rules()[static_cast<std::size_t>(rule)];
    model_->setFilter(filter);
}

void CheckPanel::showFindingAt(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    showLine(model_->lineAt(row));
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

bool CheckedClipboard::setText(std::string_view text) {
    const check::CheckContext context{&programCommands(), session_.library4G.get(),
                                      session_.library2G.get()};
    check::Tally tally;
    for (const check::Finding& finding : check::checkScript(text, context)) tally.count(finding);
    if (tally.errors > 0)
        feedback_.message(std::string(msg::kCopyHoldsErrorsHead) + std::to_string(tally.errors) +
                              std::string(msg::kCopyHoldsErrorsTail),
                          {}, Icon::Warning);
    return clipboard_.setText(text);
}

CheckPanel* attachCheckPanel(QPlainTextEdit* pane, const Session& session,
                             CheckPanel::ScriptSource script) {
    QWidget* parent = pane->parentWidget();
    QLayout* layout = parent ? parent->layout() : nullptr;
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->setObjectName(unitName("分隔条_检查_", pane));
    // The pane keeps its place, stretch included; the splitter takes it and
    // stacks the pane over its panel.
    QLayoutItem* old = layout ? layout->replaceWidget(pane, splitter) : nullptr;
    if (!old) {
        delete splitter;
        throw std::logic_error("a check panel needs its pane in a layout: " +
                               u8(pane->objectName()));
    }
    delete old;
    splitter->setSizePolicy(pane->sizePolicy());
    splitter->setChildrenCollapsible(false);
    auto* panel = new CheckPanel(pane, session, std::move(script));
    splitter->addWidget(pane);
    splitter->addWidget(panel);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    return panel;
}

std::vector<CheckPanel*> attachCheckPanels(const Session& session,
                                           std::initializer_list<QPlainTextEdit*> panes) {
    std::vector<CheckPanel*> panels;
    for (QPlainTextEdit* pane : panes) panels.push_back(attachCheckPanel(pane, session));
    return panels;
}

}  // namespace brindle::gui
