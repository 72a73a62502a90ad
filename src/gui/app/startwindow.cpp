#include "gui/app/startwindow.h"

#include <QKeyEvent>
#include <QMenu>
#include <QVBoxLayout>

#include "core/app/workflows.h"
#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/library/catalogue.h"
#include "gui/base/conventions.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"
#include "gui/base/remembered.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

StartWindow::StartWindow(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName("启动窗口");
    setWindowTitle(qs(msg::kStartWindowTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    keepOnEscape(this);

    auto* layout = new QVBoxLayout(this);
    for (auto kind : {LibraryKind::Lte, LibraryKind::Gsm}) {
        const bool lte = kind == LibraryKind::Lte;
        QComboBox* combo = lte ? UNIT(组合框1) : UNIT(组合框2);
        QGroupBox* box = lte ? UNIT(分组框1, "选择4G工参") : UNIT(分组框2, "选择2G工参");
        combo->setPlaceholderText(QStringLiteral("请选择"));
        combo->setMinimumWidth(320);
        combo->installEventFilter(this);
        combo->setContextMenuPolicy(Qt::CustomContextMenu);
        (new QVBoxLayout(box))->addWidget(combo);
        layout->addWidget(box);
        connect(combo, &QComboBox::activated, this,
                [this, kind](int index) { choose(kind, index); });
        connect(combo, &QWidget::customContextMenuRequested, this, [this, kind, combo](QPoint at) {
            if (combo->currentIndex() < 0) return;
            QMenu menu;
            menu.addAction(QStringLiteral("删除工参库"), this,
                           [this, kind] { deleteSelected(kind); });
            menu.exec(combo->mapToGlobal(at));
        });
    }
    for (QPushButton* b : {UNIT(添加工参按钮, "导入4G工参"), UNIT(添加2G工参按钮, "导入2G工参"),
                           UNIT(添加处理小区按钮, "小区操作")})
        layout->addWidget(b);
    connect(添加工参按钮, &QPushButton::clicked, this, &StartWindow::import4GRequested);
    connect(添加2G工参按钮, &QPushButton::clicked, this, &StartWindow::import2GRequested);
    connect(添加处理小区按钮, &QPushButton::clicked, this, &StartWindow::openLibraries);
    reloadLists();
}

QComboBox* StartWindow::comboOf(LibraryKind kind) const {
    return kind == LibraryKind::Lte ? 组合框1 : 组合框2;
}

void StartWindow::fill(LibraryKind kind) {
    QComboBox* combo = comboOf(kind);
    combo->clear();
    for (const auto& name : listLibraries(session_.folder.libraries(kind)))
        combo->addItem(qs(name));
    combo->setCurrentIndex(-1);
}

void StartWindow::reloadLists() {
    for (auto kind : {LibraryKind::Lte, LibraryKind::Gsm}) {
        fill(kind);
        preselect(kind);
    }
    session_.lastImported.clear();  // preselected once; the choice holds it now
}

// The library just imported, else the one this session chose (back from
// the main window), else the one opened last time; one that is no longer
// in the list is not chosen.
void StartWindow::preselect(LibraryKind kind) {
    const std::filesystem::path& chosen =
        kind == LibraryKind::Lte ? session_.current4G : session_.current2G;
    const std::filesystem::path folder = session_.folder.libraries(kind);
    for (const std::filesystem::path& candidate :
         {session_.lastImported, chosen, rememberedLibrary(kind)}) {
        if (candidate.empty() || candidate.parent_path() != folder) continue;
        const int index = comboOf(kind)->findText(qs(platform::utf8Name(candidate.filename())));
        if (index < 0) continue;
        comboOf(kind)->setCurrentIndex(index);
        choose(kind, index);
        return;
    }
}

void StartWindow::choose(LibraryKind kind, int index) {
    if (index < 0) return;
    const auto path = session_.folder.libraries(kind) /
                      platform::pathFromUtf8(u8(comboOf(kind)->itemText(index)));
    (kind == LibraryKind::Lte ? session_.current4G : session_.current2G) = path;
}

void StartWindow::deleteSelected(LibraryKind kind) {
    QComboBox* combo = comboOf(kind);
    if (combo->currentIndex() < 0) return;
    GuiFeedback feedback(this);
    const Result<bool> deleted =
        deleteLibrary(session_.folder.libraries(kind), u8(combo->currentText()), feedback);
    if (!deleted || *deleted) fill(kind);  // unless cancelled
}

bool StartWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (watched == 组合框1) deleteSelected(LibraryKind::Lte);
        if (watched == 组合框2) deleteSelected(LibraryKind::Gsm);
    }
    return QWidget::eventFilter(watched, event);
}

void StartWindow::openLibraries() {
    GuiFeedback feedback(this);
    if (!openChosenLibraries(session_, feedback)) return;
    rememberLibraries(session_);
    emit librariesOpened();
}

}  // namespace brindle::gui
