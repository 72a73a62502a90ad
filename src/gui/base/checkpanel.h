#pragma once
// The script check of a pane: a "检查脚本" button under the pane and, once a
// check ran, the list of its findings and a summary. Choosing a finding
// selects its line in the pane. Every script pane of every window gets one,
// through attachCheckPanels, so the engineer can check a script where it
// was made, before it is copied or saved for the night.
//
// Units are named after the pane they serve: 按钮_检查脚本_<pane>,
// 列表_检查结果_<pane>, 标签_检查结果_<pane>, 进度条_检查_<pane>, the
// panel itself 检查面板_<pane>.

#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/app/session.h"

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
    QListWidget* findings() const { return findings_; }
    QLabel* summary() const { return summary_; }
    QProgressBar* progress() const { return progress_; }

    // Checks the script now, as the button does.
    void check();
    // Selects the whole of `line` (1-based) in the pane and scrolls to it.
    void showLine(std::size_t line);

private:
    // Rows gathered while a check runs and put into the list in batches:
    // a script of 100,000 bad lines must not relayout the list per row.
    void addRow(std::string_view row, std::size_t line);
    void flushRows();
    void flushRowsIfDue();
    void showFindingAt(int row);

    QPointer<QPlainTextEdit> pane_;
    const Session& session_;
    ScriptSource script_;
    QPushButton* button_ = nullptr;
    QLabel* summary_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QListWidget* findings_ = nullptr;
    // The script line of each row of the list, in row order.
    std::vector<std::size_t> lines_;
    QStringList pendingRows_;
    QElapsedTimer sinceFlush_;
};

// Puts a check panel directly under `pane`, in the pane's place in its
// window's layout. The pane must already sit in a layout.
CheckPanel* attachCheckPanel(QPlainTextEdit* pane, const Session& session,
                             CheckPanel::ScriptSource script = {});

// The same for each of a window's script panes.
std::vector<CheckPanel*> attachCheckPanels(const Session& session,
                                           std::initializer_list<QPlainTextEdit*> panes);

}  // namespace brindle::gui
