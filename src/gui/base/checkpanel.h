#pragma once
// The script check of a pane: a "检查脚本" button under the pane and, once a
// check ran, the list of its findings and a summary. Choosing a finding
// selects its line in the pane. Every script pane of every window gets one,
// through attachCheckPanels, so the engineer can check a script where it
// was made, before it is copied or saved for the night.
//
// The findings are cleared as soon as the pane's text changes: a finding
// must never point at a line that is no longer the one checked.
//
// Units are named after the pane they serve: 按钮_检查脚本_<pane>,
// 列表_检查结果_<pane>, 标签_检查结果_<pane>, 进度条_检查_<pane>,
// 下拉框_检查级别_<pane>, 下拉框_检查规则_<pane>, the panel itself
// 检查面板_<pane> and the splitter between pane and panel 分隔条_检查_<pane>.

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/session.h"
#include "core/base/clipboard.h"
#include "core/base/feedback.h"
#include "gui/base/findingsmodel.h"

namespace brindle::gui {

class CheckPanel : public QWidget {
    Q_OBJECT
public:
    // The text a check reads; by default the pane's own.
    using ScriptSource = std::function<std::string()>;

    // The check compares the script with the session's libraries as they are
    // when the button is pressed: the engineer may choose others meanwhile.
    CheckPanel(QPlainTextEdit* pane, const Session& session, ScriptSource script = {},
               QWidget* parent = nullptr);

    QPushButton* button() const { return button_; }
    QTableView* findings() const { return findings_; }
    FindingsModel* model() const { return model_; }
    QComboBox* severityFilter() const { return severities_; }
    QComboBox* ruleFilter() const { return rules_; }
    QLabel* summary() const { return summary_; }
    QProgressBar* progress() const { return progress_; }

    // Checks the script now, as the button does.
    void check();
    // Selects the whole of `line` (1-based) in the pane and scrolls to it.
    void showLine(std::size_t line);

private:
    // Findings gathered while a check runs reach the list in batches: a
    // script of 100,000 bad lines must not relayout the list per row.
    void flushRows();
    void showFindingAt(int row);
    void clearFindings();
    void showResults(bool shown);
    // The rule filter's entries, each with its count, the choice kept.
    void countRules();
    void applyFilter();

    QPointer<QPlainTextEdit> pane_;
    const Session& session_;
    ScriptSource script_;
    QPushButton* button_ = nullptr;
    QLabel* summary_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QComboBox* severities_ = nullptr;
    QComboBox* rules_ = nullptr;
    QTableView* findings_ = nullptr;
    FindingsModel* model_ = nullptr;
    // Changes of the pane's text so far: a check whose pane changed while it
    // ran keeps none of its findings.
    unsigned long edits_ = 0;
};

// The clipboard of a page that copies its script without showing it: the
// script is checked first and, when it holds errors, the engineer is told
// how many before it is copied.
class CheckedClipboard : public Clipboard {
public:
    CheckedClipboard(Clipboard& clipboard, const Session& session, Feedback& feedback)
        : clipboard_(clipboard), session_(session), feedback_(feedback) {}
    bool setText(std::string_view text) override;

private:
    Clipboard& clipboard_;
    const Session& session_;
    Feedback& feedback_;
};

// Puts a check panel under `pane`, in the pane's place in its window's
// layout, a splitter between them. The pane must already sit in a layout.
CheckPanel* attachCheckPanel(QPlainTextEdit* pane, const Session& session,
                             CheckPanel::ScriptSource script = {});

// The same for each of a window's script panes.
std::vector<CheckPanel*> attachCheckPanels(const Session& session,
                                           std::initializer_list<QPlainTextEdit*> panes);

}  // namespace brindle::gui
