#include "gui/library/importwindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include <memory>
#include <string>
#include <utility>

#include "core/app/workflows.h"
#include "core/base/messages.h"
#include "core/base/platform.h"
#include "gui/base/backgroundrun.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

PreviewModel::PreviewModel(LibraryKind kind, std::shared_ptr<const Preview> preview,
                           QObject* parent)
    : QAbstractTableModel(parent), kind_(kind), preview_(std::move(preview)) {}

void PreviewModel::reload(std::shared_ptr<const Preview> preview) {
    beginResetModel();
    preview_ = std::move(preview);
    endResetModel();
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(preview_->size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(importColumns(kind_).size());
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return qs(preview_->cell(static_cast<std::size_t>(index.row()),
                             static_cast<std::size_t>(index.column())));
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return qs(importColumns(kind_)[static_cast<std::size_t>(section)].title);
}

ImportWindowBase::ImportWindowBase(Session& session, LibraryKind kind, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), kind_(kind), model_(kind, preview_) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("工参导入"));
    UNIT(进度条1);
    resize(1000, 600);
}

QTableView* ImportWindowBase::makePreviewList(const char* unit) {
    auto* list = named(new QTableView, unit);
    list->setModel(&model_);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->setDefaultSectionSize(22);
    const auto columns = importColumns(kind_);
    for (std::size_t c = 0; c < columns.size(); ++c)
        list->setColumnWidth(static_cast<int>(c), columns[c].width);
    return list;
}

void ImportWindowBase::readChosenWorkbook(std::function<void(Read)> then) {
    GuiFeedback feedback(this, 进度条1);
    const auto chosen =
        feedback.chooseOpenFile({std::string(msg::kWorkbookFilter), {}, {}, FileKind::Workbook});
    if (!chosen) {
        then(Read::Cancelled);
        return;
    }
    setWindowTitle(qs(std::string(msg::kImportTitleHead) + platform::utf8Name(*chosen) +
                      std::string(msg::kImportTitleTail)));
    // The workbook is read into a preview of its own while the list shows
    // the one it had; the list takes the new one when the read has ended.
    auto read = std::make_shared<Preview>();
    auto readOk = std::make_shared<bool>(false);
    startRun(
        {this, 进度条1, nullptr, buttons(), {}},
        [path = *chosen, kind = kind_, read, readOk](ScriptSink&, Feedback& feedback) {
            *readOk = static_cast<bool>(readWorkbook(path, kind, *read, feedback));
        },
        [this, read, readOk, then = std::move(then)](const RunEnd& end) {
            // A read stopped part-way is no workbook to import.
            const bool done = *readOk && !end.stopped;
            preview_ = done ? read : std::make_shared<Preview>();
            model_.reload(preview_);
            then(done ? Read::Done : Read::Failed);
        },
        [](const RunEnd&) { return std::string(msg::kImportReadStopped); });
}

void ImportWindowBase::writePreview() {
    // Either way the engineer has been told; the window stays as it is. The
    // list shows the preview while it is written and nothing changes it. The
    // write is one transaction and is not stopped part-way.
    startRun(
        {this, 进度条1, nullptr, buttons(), {}},
        [&session = session_, kind = kind_, preview = preview_](ScriptSink&, Feedback& feedback) {
            static_cast<void>(importPreview(session, kind, *preview, feedback));
        },
        {});
}

std::vector<QPushButton*> ImportWindowBase::buttons() {
    const auto all = findChildren<QPushButton*>();
    return {all.begin(), all.end()};
}

void ImportWindowBase::leave() {
    if (leaving_) return;
    leaving_ = true;
    emit left();
}

void ImportWindowBase::closeEvent(QCloseEvent* event) {
    leave();
    event->accept();
}

ImportWindow4G::ImportWindow4G(Session& session, QWidget* parent)
    : ImportWindowBase(session, LibraryKind::Lte, parent) {
    setObjectName("4G工参导入窗口");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {UNIT(打开按钮, "1、打开工参"), UNIT(导入工参按钮, "2、导入工参"),
                           UNIT(继续按钮, "3、继续")})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(超级列表框_导入预览 = makePreviewList("超级列表框_导入预览"));
    layout->addWidget(进度条1);
    layout->addLayout(buttons);
    // After a failed read there is nothing to import until a read succeeds.
    connect(打开按钮, &QPushButton::clicked, this, [this] {
        readChosenWorkbook([this](Read read) {
            if (read != Read::Cancelled) 导入工参按钮->setEnabled(read == Read::Done);
        });
    });
    connect(导入工参按钮, &QPushButton::clicked, this, [this] { writePreview(); });
    connect(继续按钮, &QPushButton::clicked, this, [this] { close(); });
    addStopButtons(this);
}

ImportWindow2G::ImportWindow2G(Session& session, QWidget* parent)
    : ImportWindowBase(session, LibraryKind::Gsm, parent) {
    setObjectName("2G工参导入窗口");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {UNIT(打开2G工参, "打开2G工参"), UNIT(导入2G工参按钮, "导入2G工参"),
                           UNIT(返回按钮, "返回")})
        buttons->addWidget(b);
    // Reading writes the library at once in this window; the button has no task.
    导入2G工参按钮->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(超级列表框_导入预览2 = makePreviewList("超级列表框_导入预览2"));
    layout->addWidget(进度条1);
    layout->addLayout(buttons);
    // Reading and writing are one step here.
    connect(打开2G工参, &QPushButton::clicked, this, [this] {
        readChosenWorkbook([this](Read read) {
            if (read == Read::Done) writePreview();
        });
    });
    connect(返回按钮, &QPushButton::clicked, this, [this] { close(); });
    addStopButtons(this);
}

}  // namespace brindle::gui
