#include "gui/library/querywindow.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

#include "core/app/editorvalues.h"
#include "core/base/messages.h"
#include "core/library/query.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

namespace {

constexpr std::array<const char*, kQueryColumns> kTitles = {
    "ID", "eNodeB Name", "CELLNAME", "Sector ID", "eNodeB ID", "Cell ID", "DlEarfcn", "PCI", "TAC"};
constexpr std::array<int, kQueryColumns> kWidths = {60, 160, 180, 80, 90, 70, 80, 60, 80};

}  // namespace

void QueryModel::load(std::vector<Record> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void QueryModel::replace(std::size_t row, Record record) {
    rows_.at(row) = std::move(record);
    const int r = static_cast<int>(row);
    emit dataChanged(index(r, 0), index(r, columnCount() - 1), {Qt::DisplayRole});
}

int QueryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int QueryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kQueryColumns);
}

QVariant QueryModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return qs(queryCellText(rows_[static_cast<std::size_t>(index.row())],
                            static_cast<std::size_t>(index.column())));
}

QVariant QueryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return QString::fromUtf8(kTitles[static_cast<std::size_t>(section)]);
}

void ClearingLineEdit::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) clear();
    QLineEdit::mousePressEvent(event);
}

QueryWindow::QueryWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session) {
    setObjectName("工参读写窗口");
    setWindowTitle(QStringLiteral("工参读写"));
    setAttribute(Qt::WA_DeleteOnClose);

    UNIT(超级列表框1);
    超级列表框1->setModel(&model_);
    超级列表框1->setSelectionBehavior(QAbstractItemView::SelectRows);
    超级列表框1->setSelectionMode(QAbstractItemView::SingleSelection);
    超级列表框1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    超级列表框1->verticalHeader()->setDefaultSectionSize(22);
    for (std::size_t c = 0; c < kQueryColumns; ++c)
        超级列表框1->setColumnWidth(static_cast<int>(c), kWidths[c]);

    UNIT(编辑框1);
    // A hint, not a text: a search never includes it.
    编辑框1->setPlaceholderText(QStringLiteral("请输入要查询的内容"));
    UNIT(基站名标签, QStringLiteral("基站名"));
    UNIT(小区名标签, QStringLiteral("小区名"));
    UNIT(频点标签, QStringLiteral("频点"));

    auto* search = new QHBoxLayout;
    search->addWidget(编辑框1, 1);
    for (QPushButton* b :
         {UNIT(查询数据按钮, QStringLiteral("查询数据")), UNIT(刷新按钮, QStringLiteral("刷新")),
          UNIT(修改数据按钮, QStringLiteral("修改数据")), UNIT(按钮2, QStringLiteral("返回"))})
        search->addWidget(b);
    auto* labels = new QHBoxLayout;
    for (QLabel* l : {基站名标签, 小区名标签, 频点标签}) labels->addWidget(l, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addLayout(labels);
    layout->addWidget(超级列表框1, 1);

    connect(查询数据按钮, &QPushButton::clicked, this, [this] { find(); });
    connect(编辑框1, &QLineEdit::returnPressed, this, [this] { find(); });
    connect(刷新按钮, &QPushButton::clicked, this, [this] { reload(); });
    connect(修改数据按钮, &QPushButton::clicked, this, [this] { editSelected(); });
    connect(按钮2, &QPushButton::clicked, this, [this] { close(); });
    // The labels describe the row "修改数据" would edit, however it was selected.
    connect(超级列表框1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { showLabels(); });
    resize(900, 600);
    reload();
}

void QueryWindow::reload() {
    // A reload clears the selection without telling: the labels follow here.
    const bool hadSelection = selectedRow().has_value();
    std::vector<Record> rows;
    if (const Library* library = session_.library4G.get()) {
        rows.reserve(library->count());
        for (std::size_t i = 0; i < library->count(); ++i)
            rows.push_back(library->at(i).toRecord());
    }
    model_.load(std::move(rows));
    if (hadSelection) showLabels();
    编辑框1->setFocus();
}

std::optional<std::size_t> QueryWindow::selectedRow() const {
    const QModelIndexList selected = 超级列表框1->selectionModel()->selectedRows();
    if (selected.isEmpty()) return std::nullopt;
    return static_cast<std::size_t>(selected.front().row());
}

void QueryWindow::find() {
    const auto row = findQueryRow(model_.rows(), u8(编辑框1->text()));
    auto* selection = 超级列表框1->selectionModel();
    if (row) {
        const QModelIndex index = model_.index(static_cast<int>(*row), 0);
        selection->setCurrentIndex(index,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        超级列表框1->scrollTo(index);
    } else {
        selection->clearSelection();
    }
    超级列表框1->setFocus();
    showLabels();
}

void QueryWindow::showLabels() {
    const auto row = selectedRow();
    const auto cell = [&](std::size_t column) {
        return row ? qs(queryCellText(model_.rows()[*row], column)) : QString();
    };
    基站名标签->setText(QStringLiteral("基站名：") + cell(queryColumn(Field4G::SiteName)));
    小区名标签->setText(QStringLiteral("小区名：") + cell(queryColumn(Field4G::CellName)));
    频点标签->setText(QStringLiteral("频点：") + cell(queryColumn(Field4G::Earfcn)));
}

void QueryWindow::editSelected() {
    const auto row = selectedRow();
    if (!row) {
        GuiFeedback(this).message(msg::kNothingSelected);
        return;
    }
    auto* window = new RecordEditWindow(session_, model_.rows()[*row], this);
    connect(window, &RecordEditWindow::saved, this, &QueryWindow::showEdited);
    connect(window, &RecordEditWindow::closed, this, [this] {
        show();
        raise();
    });
    window->show();
}

void QueryWindow::showEdited(std::int32_t id) {
    const auto& rows = model_.rows();
    const auto listed =
        std::find_if(rows.begin(), rows.end(), [id](const Record& r) { return r.ID == id; });
    if (listed == rows.end()) return;
    const auto row = static_cast<std::size_t>(listed - rows.begin());
    // What the library holds now, another program's changes to the record included.
    if (const auto& library = session_.library4G) {
        const auto at = library->findForward(0, [id](RecordView r) { return r.ID == id; });
        if (at) model_.replace(row, library->at(*at).toRecord());
    }
    const QModelIndex index = model_.index(static_cast<int>(row), 0);
    超级列表框1->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    超级列表框1->scrollTo(index);
    showLabels();
}

void QueryWindow::closeEvent(QCloseEvent* event) {
    if (!leaving_) {
        leaving_ = true;
        emit left();
    }
    event->accept();
}

RecordEditWindow::RecordEditWindow(Session& session, Record row, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), row_(std::move(row)) {
    setObjectName("修改数据窗口");
    setWindowTitle(QStringLiteral("修改数据"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("ID"), UNIT(ID编辑框));
    // The record is found by its ID, which never changes.
    ID编辑框->setReadOnly(true);
    form->addRow(QStringLiteral("基站名"), UNIT(基站名编辑框));
    form->addRow(QStringLiteral("小区名"), UNIT(小区名编辑框));
    form->addRow(QStringLiteral("本地小区标识"), UNIT(本地小区标识编辑框));
    form->addRow(QStringLiteral("基站号"), UNIT(基站号编辑框));
    form->addRow(QStringLiteral("小区标识"), UNIT(小区标识编辑框));
    form->addRow(QStringLiteral("频点"), UNIT(频点编辑框));
    form->addRow(QStringLiteral("物理小区标识"), UNIT(物理小区标识编辑框));
    form->addRow(QStringLiteral("TAC号"), UNIT(TAC号编辑框));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(UNIT(修改按钮, QStringLiteral("修改")));

    ID编辑框->setText(QString::number(row_.ID));
    const auto boxes = fieldBoxes();
    for (std::size_t f = 0; f < boxes.size(); ++f)
        boxes[f]->setText(f < row_.fields.size() ? qs(row_.fields[f]) : QString());
    connect(修改按钮, &QPushButton::clicked, this, [this] { save(); });
    resize(360, 0);
}

void RecordEditWindow::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}

// In record order, as the edit's field positions are.
std::vector<QLineEdit*> RecordEditWindow::fieldBoxes() const {
    return {基站名编辑框,   小区名编辑框, 本地小区标识编辑框, 基站号编辑框,
            小区标识编辑框, 频点编辑框,   物理小区标识编辑框, TAC号编辑框};
}

void RecordEditWindow::save() {
    std::vector<std::string> texts;
    for (const QLineEdit* box : fieldBoxes()) texts.push_back(u8(box->text()));
    GuiFeedback feedback(this);
    // A box the engineer left as it was loaded is no change: the field keeps
    // what the file holds, also when another program changed it meanwhile.
    const FieldChanges changes = changedFields(row_.fields, texts);
    if (!confirmValues(Question::RecordValues, recordValueProblems(changes), feedback)) return;
    if (saveRecordEdit(session_.library4G.get(), row_.ID, changes, feedback)) {
        emit saved(row_.ID);
        close();
    }
}

}  // namespace brindle::gui
