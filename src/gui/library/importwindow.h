#pragma once
// The two import windows: read a workbook into a preview, then write it into
// a 4G library (two steps) or a 2G library (one step).

#include <QAbstractTableModel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

#include <functional>
#include <memory>

#include "core/app/session.h"
#include "core/library/import.h"

namespace brindle::gui {

// The preview rows as a table model: a list view of 100,000 rows stays
// responsive because no widget item is made per cell.
class PreviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    PreviewModel(LibraryKind kind, std::shared_ptr<const Preview> preview,
                 QObject* parent = nullptr);
    void reload(std::shared_ptr<const Preview> preview);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    LibraryKind kind_;
    std::shared_ptr<const Preview> preview_;
};

class ImportWindowBase : public QWidget {
    Q_OBJECT
public:
    ImportWindowBase(Session& session, LibraryKind kind, QWidget* parent);

    QProgressBar* 进度条1 = nullptr;

signals:
    // The engineer leaves the window; the start window comes back.
    void left();

protected:
    // Asks for a workbook and reads it into the preview, on a worker; `then`
    // is told how it went when the read has ended. A failed or stopped read
    // leaves the preview empty.
    enum class Read { Cancelled, Failed, Done };
    void readChosenWorkbook(std::function<void(Read)> then);
    void writePreview();
    QTableView* makePreviewList(const char* unit);
    // The window's buttons, disabled while it reads or writes.
    std::vector<QPushButton*> buttons();
    void leave();
    void closeEvent(QCloseEvent* event) override;

    Session& session_;
    LibraryKind kind_;
    // Shared with a write that runs on the worker; a new read replaces it.
    std::shared_ptr<Preview> preview_ = std::make_shared<Preview>();
    PreviewModel model_;

private:
    bool leaving_ = false;
};

class ImportWindow4G : public ImportWindowBase {
    Q_OBJECT
public:
    explicit ImportWindow4G(Session& session, QWidget* parent = nullptr);

    QPushButton* 打开按钮 = nullptr;
    QPushButton* 导入工参按钮 = nullptr;
    QPushButton* 继续按钮 = nullptr;
    QTableView* 超级列表框_导入预览 = nullptr;
};

class ImportWindow2G : public ImportWindowBase {
    Q_OBJECT
public:
    explicit ImportWindow2G(Session& session, QWidget* parent = nullptr);

    QPushButton* 打开2G工参 = nullptr;
    QPushButton* 返回按钮 = nullptr;
    QPushButton* 导入2G工参按钮 = nullptr;
    QTableView* 超级列表框_导入预览2 = nullptr;
};

}  // namespace brindle::gui
