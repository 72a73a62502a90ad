#include "gui/tools/sitetypewindow.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/base/clipboard.h"
#include "core/base/messages.h"
#include "core/tools/sitetype.h"
#include "gui/base/backgroundrun.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtclipboard.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

namespace {

QGroupBox* groupOf(const QString& caption, QWidget* content) {
    auto* box = new QGroupBox(caption);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

}  // namespace

SiteTypeWindow::SiteTypeWindow(Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName("站型转换窗口");
    setWindowTitle(QStringLiteral("站型转换"));
    setAttribute(Qt::WA_DeleteOnClose);

    const tools::SiteTypeSettings defaults;
    auto* form = new QFormLayout;
    const auto row = [&](const char* label, QLineEdit* edit, const std::string& text) {
        edit->setText(qs(text));
        form->addRow(QString::fromUtf8(label), edit);
    };
    row("频段1：", UNIT(频段1编辑框), defaults.bandNames[0]);
    row("包含频点：", UNIT(频段1频点编辑框), defaults.earfcns[0]);
    row("频段2：", UNIT(频段2编辑框), defaults.bandNames[1]);
    row("包含频点：", UNIT(频段2频点编辑框), defaults.earfcns[1]);
    row("频段3：", UNIT(频段3编辑框), defaults.bandNames[2]);
    row("包含频点：", UNIT(频段3频点编辑框), defaults.earfcns[2]);
    row("频段4：", UNIT(频段4编辑框), defaults.bandNames[3]);
    row("包含频点：", UNIT(频段4频点编辑框), defaults.earfcns[3]);
    row("头设置：", UNIT(头编辑框), defaults.head);
    row("基站名到小区名连接符：", UNIT(连接符编辑框), defaults.connector);
    row("单站最大小区数：", UNIT(最大小区数编辑框), defaults.maxCells);
    row("站型连接符设置：", UNIT(站型连接符编辑框), defaults.separator);

    UNIT(基站名编辑框)->setTabChangesFocus(true);  // a name box: Tab goes on
    UNIT(输出编辑框);
    输出编辑框->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(UNIT(按钮1, QStringLiteral("转换")));
    buttons->addWidget(UNIT(复制按钮, QStringLiteral("复制内容")));

    auto* side = new QVBoxLayout;
    side->addLayout(form);
    side->addLayout(buttons);
    side->addStretch();

    auto* boxes = new QHBoxLayout;
    boxes->addLayout(side);
    boxes->addWidget(groupOf(QStringLiteral("添加基站名"), 基站名编辑框), 1);
    boxes->addWidget(groupOf(QStringLiteral("内容"), 输出编辑框), 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes, 1);
    layout->addWidget(UNIT(进度条1));

    connect(按钮1, &QPushButton::clicked, this, &SiteTypeWindow::convert);
    connect(复制按钮, &QPushButton::clicked, this, &SiteTypeWindow::copy);
    addStopButtons(this);
    resize(960, 520);
}

void SiteTypeWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

void SiteTypeWindow::convert() {
    tools::SiteTypeSettings settings;
    const std::array<QLineEdit*, 4> names{频段1编辑框, 频段2编辑框, 频段3编辑框, 频段4编辑框};
    const std::array<QLineEdit*, 4> lists{频段1频点编辑框, 频段2频点编辑框, 频段3频点编辑框,
                                          频段4频点编辑框};
    for (std::size_t b = 0; b < 4; ++b) {
        settings.bandNames[b] = u8(names[b]->text());
        settings.earfcns[b] = u8(lists[b]->text());
    }
    settings.head = u8(头编辑框->text());
    settings.connector = u8(连接符编辑框->text());
    settings.maxCells = u8(最大小区数编辑框->text());
    settings.separator = u8(站型连接符编辑框->text());

    // Each line reaches the box as it is made; the names that found no cell
    // are told once the run is through.
    startRun({this, 进度条1, 输出编辑框, {按钮1, 复制按钮}, {}},
             [library = session_.library4G, names = boxText(基站名编辑框), settings](
                 ScriptSink& box, Feedback& feedback) {
                 (void)tools::buildSiteTypes(library.get(), names, settings, &feedback,
                                             [&box](const std::string& line) { box.append(line); });
             });
}

void SiteTypeWindow::copy() {
    GuiFeedback feedback(this);
    QtClipboard clipboard;
    copyScript(boxText(输出编辑框), msg::kNothingToCopy, clipboard, feedback);
}

}  // namespace brindle::gui
