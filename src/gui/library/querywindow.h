#pragma once
// The library query window over the current 4G library, and the record
// edit window that changes one of its records.

#include <QAbstractTableModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

#include <vector>

#include "core/app/session.h"
#include "core/library/record.h"

namespace brindle::gui {

// The query list's rows: a copy of the library's records taken when the list
// is loaded; a record edited from the list is copied again once it is saved.
// No widget item is made per cell: 200,000 rows load and scroll at once.
class QueryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void load(std::vector<Record> rows);
    void replace(std::size_t row, Record record);
    const std::vector<Record>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Record> rows_;
};

// A search box that the engineer empties by pressing the left mouse button in it.
class ClearingLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class QueryWindow : public QWidget {
    Q_OBJECT
public:
    explicit QueryWindow(Session& session, QWidget* parent = nullptr);

    QTableView* 超级列表框1 = nullptr;
    ClearingLineEdit* 编辑框1 = nullptr;
    QPushButton* 查询数据按钮 = nullptr;
    QPushButton* 刷新按钮 = nullptr;
    QPushButton* 修改数据按钮 = nullptr;
    QPushButton* 按钮2 = nullptr;
    QLabel* 基站名标签 = nullptr;
    QLabel* 小区名标签 = nullptr;
    QLabel* 频点标签 = nullptr;

    QueryModel& model() { return model_; }

    // Fills the list from the current 4G library and puts the focus into the search box.
    void reload();
    // Selects the row the search text finds (none when nothing matches).
    void find();
    // Opens the record edit window for the selected row.
    void editSelected();
    // After the record `id` was saved: its row shows what the library now
    // holds, and is the selected one.
    void showEdited(std::int32_t id);

signals:
    // The window closed; the main window comes back.
    void left();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::optional<std::size_t> selectedRow() const;
    void showLabels();

    Session& session_;
    QueryModel model_;
    bool leaving_ = false;
};

// Changes one 4G record, found by the `ID` of the row it was opened for.
class RecordEditWindow : public QWidget {
    Q_OBJECT
public:
    RecordEditWindow(Session& session, Record row, QWidget* parent = nullptr);

    QLineEdit* ID编辑框 = nullptr;
    QLineEdit* 基站名编辑框 = nullptr;
    QLineEdit* 小区名编辑框 = nullptr;
    QLineEdit* 本地小区标识编辑框 = nullptr;
    QLineEdit* 基站号编辑框 = nullptr;
    QLineEdit* 小区标识编辑框 = nullptr;
    QLineEdit* 频点编辑框 = nullptr;
    QLineEdit* 物理小区标识编辑框 = nullptr;
    QLineEdit* TAC号编辑框 = nullptr;
    QPushButton* 修改按钮 = nullptr;

    // Writes the boxes into the library; closes the window when that
    // succeeded. Values the script checker would reject are listed and
    // written only when the engineer answers Yes to RecordValues.
    void save();

signals:
    // The record was written; emitted before the window closes.
    void saved(std::int32_t id);
    // The window was closed (by "修改" or its close box); the query window comes back.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::vector<QLineEdit*> fieldBoxes() const;

    Session& session_;
    Record row_;  // the edit buffer: the row as copied from the list
};

}  // namespace brindle::gui
