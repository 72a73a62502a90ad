// The script check in the windows: the check panel under every script pane,
// and a script file checked from the main window's menu or dropped on it.

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableView>
#include <QUrl>
#include <QtTest>

#include "core/base/platform.h"
#include "core/base/textcodec.h"
#include "core/tools/scriptcheck.h"
#include "gui/app/mainwindow.h"
#include "gui/app/windowflow.h"
#include "gui/base/checkpanel.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"
#include "gui/export/freqchangewindow.h"
#include "gui/export/inheritancewindow.h"
#include "gui/export/pcichangewindow.h"
#include "gui/export/reductionwindow.h"
#include "gui/tools/scriptcheckwindow.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

namespace {

// LOCALCELLID has no value: the network management system refuses the line.
const char* const kBadLine = "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=,ENODEBID=1;{站甲}";

// The row of a finding of rule `id` on `line`: the rule's severity and
// reason from the rule table, then what the check says about this line.
QString row(int line, std::string_view id, const char* detail = "") {
    const check::Rule* rule = check::findRule(id);
    if (!rule) return QStringLiteral("no rule %1").arg(qs(id));
    const QString severity = rule->severity == check::Severity::Error ? "错误" : "警告";
    const QString what = *detail ? "：" + QString::fromUtf8(detail) : QString();
    return QStringLiteral("第%1行 %2 %3：%4").arg(line).arg(severity, qs(id), qs(rule->reason)) +
           what;
}

QStringList rows(const QAbstractItemView* list) {
    QStringList out;
    const QAbstractItemModel* model = list->model();
    for (int i = 0; i < model->rowCount(); ++i) out << model->index(i, 0).data().toString();
    return out;
}

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

// Windows closed with WA_DeleteOnClose go at the next turn of the event loop;
// queued calls (a dropped file's check) run then too.
void runPosted() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class ScriptCheckTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<WindowFlow> flow;

    // The window that holds the pane, as the window flow or the engineer
    // opens it, shown.
    QWidget* openWindow(const QString& window) {
        if (window == "主窗口") return flow->showMain();
        QWidget* w = nullptr;
        if (window == "PCI修改窗口") w = new PciChangeWindow(ws->session);
        if (window == "一键扩容窗口") w = new InheritanceWindow(ws->session);
        if (window == "一键减容窗口") w = new ReductionWindow(ws->session);
        if (window == "改频点窗口") w = new FrequencyChangeWindow(ws->session);
        if (w) w->show();
        return w;
    }

    template <typename W>
    static W* unitOf(QWidget* window, const QString& stem, const QString& pane) {
        return window->findChild<W*>(stem + pane);
    }

    // A clicked row, as the mouse clicks it in the list.
    static void clickRow(QTableView* list, int row) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        list->doItemsLayout();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(row, 0)).center());
    }

    // A shown script-check window's panel over `script`, checked.
    CheckPanel* checkedPane(const std::string& script) {
        auto* w = new PciChangeWindow(ws->session);
        w->show();
        setBoxText(w->脚本编辑框, script);
        auto* panel = w->findChild<CheckPanel*>("检查面板_脚本编辑框");
        if (panel) panel->check();
        (void)waitForRuns();
        return panel;
    }

    static QString selectedText(const QPlainTextEdit* pane) {
        return pane->textCursor().selectedText();
    }

    std::filesystem::path writeScript(const std::string& name, std::string_view utf8) {
        const std::filesystem::path path = ws->dir / name;
        writeFile(path, *codec::toGbk(utf8).text);
        return path;
    }

    static QMimeData* filesData(const std::vector<std::filesystem::path>& files) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const auto& f : files) urls << QUrl::fromLocalFile(qpath(f));
        data->setUrls(urls);
        return data;
    }

    // A drag that enters the window and drops there.
    static void drop(QWidget* window, const QMimeData* data) {
        QDragEnterEvent enter(QPoint(20, 60), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent event(QPointF(20, 60), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &event);
        QVERIFY(event.isAccepted());
    }

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        useLibrary(ws->session, "a.edb", LibraryKind::Lte,
                   {cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"}),
                    cell4G(2, {"站乙", "乙-1", "1", "1002", "21", "38400", "101", "2002"})});
        flow = std::make_unique<WindowFlow>(ws->session);
    }
    void cleanup() {
        deleteTopLevelWindows();
        flow.reset();
        ws.reset();
    }

    // ---- every script pane -----------------------------------------------

    void everyPaneListsItsFindingsAndLeadsToTheirLines_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("pane");
        const char* const panes[][2] = {
            {"主窗口", "编辑框_4G脚本内容"},       {"主窗口", "编辑框_2G脚本内容"},
            {"主窗口", "开关基站_生成脚本编辑框"}, {"PCI修改窗口", "脚本编辑框"},
            {"一键扩容窗口", "脚本编辑框"},        {"一键减容窗口", "脚本编辑框"},
            {"一键减容窗口", "回退脚本编辑框"},    {"改频点窗口", "编辑框_脚本内容"},
        };
        for (const auto& [window, pane] : panes)
            QTest::addRow("%s %s", window, pane)
                << QString::fromUtf8(window) << QString::fromUtf8(pane);
    }
    void everyPaneListsItsFindingsAndLeadsToTheirLines() {
        QFETCH(QString, window);
        QFETCH(QString, pane);
        QWidget* w = openWindow(window);
        QVERIFY(w);
        auto* box = w->findChild<QPlainTextEdit*>(pane);
        QVERIFY(box);
        // The main window's pane is on one of its pages.
        if (auto* main = qobject_cast<MainWindow*>(w))
            for (int i = 0; i < main->选择夹1->count(); ++i)
                if (main->选择夹1->widget(i)->isAncestorOf(box)) main->选择夹1->setCurrentIndex(i);
        auto* button = unitOf<QPushButton>(w, "按钮_检查脚本_", pane);
        auto* list = unitOf<QTableView>(w, "列表_检查结果_", pane);
        auto* summary = unitOf<QLabel>(w, "标签_检查结果_", pane);
        QVERIFY(box && button && list && summary);
        // Pane and findings share a column the engineer divides.
        auto* splitter = qobject_cast<QSplitter*>(box->parentWidget());
        QVERIFY(splitter);
        QCOMPARE(splitter->objectName(), "分隔条_检查_" + pane);
        QCOMPARE(splitter->widget(1), unitOf<CheckPanel>(w, "检查面板_", pane));
        QCOMPARE(button->text(), QString("检查脚本"));
        QVERIFY(list->isHidden());  // nothing to show before a check

        const QString line3 = "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=0,ENODEBID=;{站甲}";
        setBoxText(box, std::string(kBadLine) + "\r\nACT CELL:LOCALCELLID=0;{站甲}\r\n" +
                            u8(line3) + "\r\n");
        const QStringList expected = {row(1, "empty-value", "LOCALCELLID="),
                                      row(3, "empty-value", "ENODEBID=")};
        {
            Dialogs dialogs;
            click(button);
            QCOMPARE(dialogs.messages(), QStringList{});
        }
        QVERIFY(list->isVisible());
        QCOMPARE(rows(list), expected);
        QCOMPARE(summary->text(), QString("检查完成：2 个错误，0 个警告"));

        // A second check replaces the findings of the first.
        click(button);
        QCOMPARE(rows(list), expected);

        // A click on a row selects its whole line; so does Enter.
        clickRow(list, 0);
        QCOMPARE(selectedText(box), QString::fromUtf8(kBadLine));
        list->setCurrentIndex(list->model()->index(1, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(selectedText(box), line3);
        // Each row's whole text is its tooltip, where the list cuts it.
        QCOMPARE(list->model()->index(0, 0).data(Qt::ToolTipRole).toString(), expected[0]);
    }

    // Any change of the pane's text takes the findings away: none may point
    // at a line that is not the one checked.
    void findingsGoWhenThePaneChanges_data() {
        QTest::addColumn<int>("edit");
        QTest::newRow("rewritten") << 0;
        QTest::newRow("a line added") << 1;
        QTest::newRow("cleared") << 2;
        QTest::newRow("a character typed") << 3;
    }
    void findingsGoWhenThePaneChanges() {
        QFETCH(int, edit);
        CheckPanel* panel = checkedPane(std::string(kBadLine) + "\r\n");
        QVERIFY(panel);
        QCOMPARE(rows(panel->findings()), QStringList{row(1, "empty-value", "LOCALCELLID=")});
        auto* pane = panel->window()->findChild<QPlainTextEdit*>("脚本编辑框");
        if (edit == 0) setBoxText(pane, "ACT CELL:LOCALCELLID=0;{站甲}\r\n");
        if (edit == 1) appendToBox(pane, "ACT CELL:LOCALCELLID=0;{站甲}\r\n");
        if (edit == 2) clearBox(pane);
        if (edit == 3) QTest::keyClick(pane, Qt::Key_A);
        QCOMPARE(panel->findings()->model()->rowCount(), 0);
        QVERIFY(!panel->findings()->isVisible());
        QCOMPARE(panel->summary()->text(), QString());
    }

    // The filters show one severity, one rule or both; each rule the check
    // found is offered with its count.
    void theFiltersShowOneSeverityOrOneRule_data() {
        QTest::addColumn<int>("severity");  // 0 both, 1 errors, 2 warnings
        QTest::addColumn<int>("rule");      // the rule filter's entry
        QTest::addColumn<QStringList>("shown");
        const QString noNe = row(2, "no-ne"), empty1 = row(1, "empty-value", "LOCALCELLID="),
                      empty2 = row(2, "empty-value", "LOCALCELLID=");
        QTest::newRow("everything") << 0 << 0 << QStringList{empty1, noNe, empty2};
        QTest::newRow("errors") << 1 << 0 << QStringList{empty1, empty2};
        QTest::newRow("warnings") << 2 << 0 << QStringList{noNe};
        QTest::newRow("one rule") << 0 << 1 << QStringList{noNe};
        QTest::newRow("errors of a warning rule") << 1 << 1 << QStringList{};
    }
    void theFiltersShowOneSeverityOrOneRule() {
        QFETCH(int, severity);
        QFETCH(int, rule);
        QFETCH(QStringList, shown);
        CheckPanel* panel = checkedPane(std::string(kBadLine) + "\r\n" +
                                        "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=,ENODEBID=2;\r\n");
        QVERIFY(panel);
        QCOMPARE(items(panel->ruleFilter()),
                 (QStringList{"全部规则（3）",
                              "no-ne 行末没有{网元名}，只能在已连接该网元的窗口中执行（1）",
                              "empty-value 参数值为空（2）"}));
        QCOMPARE(items(panel->severityFilter()), (QStringList{"全部级别", "错误", "警告"}));
        panel->severityFilter()->setCurrentIndex(severity);
        panel->ruleFilter()->setCurrentIndex(rule);
        QCOMPARE(rows(panel->findings()), shown);
        // A shown row still leads to its own line.
        if (!shown.isEmpty()) {
            clickRow(panel->findings(), shown.size() - 1);
            QVERIFY(!panel->window()
                         ->findChild<QPlainTextEdit*>("脚本编辑框")
                         ->textCursor()
                         .selectedText()
                         .isEmpty());
        }
    }

    // The expansion page's result is band labels, not a script: no check.
    void theExpansionPageHasNoCheck() {
        MainWindow* main = flow->showMain();
        QVERIFY(main->findChild<CheckPanel*>("检查面板_编辑框_4G脚本内容"));
        QVERIFY(!main->findChild<CheckPanel*>("检查面板_编辑框_小区扩容配置生成内容"));
    }

    // What the generators write passes the check: the external cells, then
    // the relations to them. An empty pane is said to be empty.
    void aGeneratedScriptIsCleanAndAnEmptyPaneIsSaidToBeEmpty() {
        MainWindow* main = flow->showMain();
        setBoxText(main->编辑框_4G源小区, "甲-1");
        setBoxText(main->编辑框_4G目标小区, "乙-1");
        main->选择框_4G小区操作_双向操作选择框->setChecked(true);
        {
            Dialogs dialogs;
            click(main->按钮_4G小区操作_添加外部按钮);
            click(main->按钮_4G小区操作_添加邻区按钮);
            click(main->findChild<QPushButton*>("按钮_检查脚本_编辑框_4G脚本内容"));
            QCOMPARE(dialogs.messages(),
                     (QStringList{"添加外部脚本生成成功！！", "添加邻区脚本生成成功！！"}));
        }
        const std::string generated = boxText(main->编辑框_4G脚本内容);
        QCOMPARE(std::count(generated.begin(), generated.end(), '\n'), 4);
        auto* list = main->findChild<QTableView*>("列表_检查结果_编辑框_4G脚本内容");
        auto* summary = main->findChild<QLabel*>("标签_检查结果_编辑框_4G脚本内容");
        QCOMPARE(rows(list), QStringList{});
        QVERIFY(list->isVisible());
        QCOMPARE(summary->text(), QString("检查完成：未发现问题"));

        main->编辑框_4G脚本内容->clear();
        Dialogs dialogs;
        click(main->findChild<QPushButton*>("按钮_检查脚本_编辑框_4G脚本内容"));
        QCOMPARE(dialogs.messages(), QStringList{"脚本为空，没有可检查的内容！"});
        QVERIFY(!list->isVisible());
        QCOMPARE(summary->text(), QString());
    }

    // A long script's findings reach the list in a few batches, not a row
    // at a time, while the window takes events and the button waits.
    void manyFindingsComeInBatchesWhileTheWindowWaits() {
        auto* w = new PciChangeWindow(ws->session);
        w->show();
        const QPointer<PciChangeWindow> alive = w;
        std::string script;
        const int count = 20000;
        // Lines that differ (an eNodeB each), or the copies would be found too.
        for (int i = 0; i < count; ++i)
            script += "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=,ENODEBID=" + std::to_string(i) +
                      ";{站甲}\r\n";
        setBoxText(w->脚本编辑框, script);
        auto* list = w->findChild<QTableView*>("列表_检查结果_脚本编辑框");
        auto* button = w->findChild<QPushButton*>("按钮_检查脚本_脚本编辑框");
        auto* progress = w->findChild<QProgressBar*>("进度条_检查_脚本编辑框");
        QSignalSpy inserts(list->model(), &QAbstractItemModel::rowsInserted);
        int progressSteps = 0;
        bool buttonEnabledDuringCheck = false;
        connect(progress, &QProgressBar::valueChanged, this, [&] {
            ++progressSteps;
            buttonEnabledDuringCheck |= button->isEnabled();
        });
        Dialogs dialogs;
        click(button);
        disconnect(progress, nullptr, this, nullptr);
        QVERIFY(progressSteps > 0);
        QVERIFY(!buttonEnabledDuringCheck);
        QCOMPARE(list->model()->rowCount(), count);
        QVERIFY(inserts.count() >= 1);
        QVERIFY(inserts.count() < 50);
        QCOMPARE(list->model()->index(count - 1, 0).data().toString(),
                 row(count, "empty-value", "LOCALCELLID="));
        QCOMPARE(w->findChild<QLabel*>("标签_检查结果_脚本编辑框")->text(),
                 QStringLiteral("检查完成：%1 个错误，0 个警告").arg(count));
        w->close();
        runPosted();
        QVERIFY(!alive);
    }

    // ---- a script file ---------------------------------------------------

    void theMenuChecksAChosenFileInAWindowOfItsOwn() {
        MainWindow* main = flow->showMain();
        // A GBK file, as Brindle saves scripts, but with a bare LF: the file
        // is checked as it is, not as the pane shows it.
        const auto path = writeScript(
            "夜间.txt", "ACT CELL:LOCALCELLID=0;{站甲}\n" + std::string(kBadLine) + "\r\n");
        {
            Dialogs dialogs;
            dialogs.file(path);
            main->动作_检查脚本文件->trigger();
            QVERIFY(waitForRuns());
            QVERIFY(waitForRuns());
            QCOMPARE(dialogs.messages(), QStringList{});
            QCOMPARE(dialogs.requests.size(), 1u);
            QCOMPARE(dialogs.requests[0].filter, "脚本文件|*.txt");
            QCOMPARE(dialogs.requests[0].startFolder, platform::desktopFolder());
        }
        auto* checked = onlyShown<ScriptCheckWindow>();
        QVERIFY(checked);
        QVERIFY(checked->编辑框_脚本文件内容->isReadOnly());
        QCOMPARE(boxText(checked->编辑框_脚本文件内容),
                 "ACT CELL:LOCALCELLID=0;{站甲}\r\n" + std::string(kBadLine) + "\r\n");
        QTableView* list = checked->checkPanel()->findings();
        QCOMPARE(rows(list),
                 (QStringList{row(1, "line-end"), row(2, "empty-value", "LOCALCELLID=")}));
        clickRow(list, 1);
        QCOMPARE(selectedText(checked->编辑框_脚本文件内容), QString::fromUtf8(kBadLine));
        QVERIFY(main->isVisible());  // the main window stays

        // A cancelled choice opens nothing.
        checked->close();
        runPosted();
        Dialogs dialogs;
        dialogs.cancelFile();
        main->动作_检查脚本文件->trigger();
        QVERIFY(waitForRuns());
        QCOMPARE(dialogs.messages(), QStringList{});
        QVERIFY(!onlyShown<ScriptCheckWindow>());
    }

    void droppedFilesAreEachCheckedInTheirOwnWindow() {
        MainWindow* main = flow->showMain();
        const auto first = writeScript("甲.txt", std::string(kBadLine) + "\r\n");
        // Any name: engineers keep scripts as .mml, .log or without extension.
        // The check knows the program's commands and the session's library.
        const auto second =
            writeScript("乙.mml", "ACT CELL:LOCALCELLID=0,LOCALCELLNAME=\"丙-1\";{站甲}\r\n");
        const std::unique_ptr<QMimeData> data(filesData({first, second}));
        // Text dragged from elsewhere is no file to check.
        QMimeData text;
        text.setText("甲-1");
        QDragEnterEvent enterText(QPoint(20, 60), Qt::CopyAction, &text, Qt::LeftButton,
                                  Qt::NoModifier);
        QApplication::sendEvent(main, &enterText);
        QVERIFY(!enterText.isAccepted());

        Dialogs dialogs;
        drop(main, data.get());
        runPosted();
        QVERIFY(waitForRuns());
        QCOMPARE(dialogs.messages(), QStringList{});
        QMap<QString, QStringList> found;  // title -> rows
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* checked = qobject_cast<ScriptCheckWindow*>(w); checked && w->isVisible())
                found[checked->windowTitle()] = rows(checked->checkPanel()->findings());
        QCOMPARE(found.keys(), (QStringList{"检查脚本：乙.mml", "检查脚本：甲.txt"}));
        QCOMPARE(found["检查脚本：甲.txt"], QStringList{row(1, "empty-value", "LOCALCELLID=")});
        QCOMPARE(found["检查脚本：乙.mml"],
                 (QStringList{row(1, "unknown-parameter", "LOCALCELLNAME"),
                              row(1, "unknown-cell", "LOCALCELLNAME=\"丙-1\"")}));
    }

    void anUnreadableFileSaysWhy() {
        MainWindow* main = flow->showMain();
        const auto missing = ws->dir / "不在.txt";
        const auto folder = ws->dir / "脚本";
        std::filesystem::create_directories(folder);
        const QString missingWhy = "脚本文件不存在：" + qpath(missing);
        const QString folderWhy = "脚本文件无法读取：" + qpath(folder);
        Dialogs dialogs;
        dialogs.file(missing);
        main->动作_检查脚本文件->trigger();
        QVERIFY(waitForRuns());
        const std::unique_ptr<QMimeData> data(filesData({folder}));
        drop(main, data.get());
        runPosted();
        QCOMPARE(dialogs.messages(), (QStringList{missingWhy, folderWhy}));
        QVERIFY(!onlyShown<ScriptCheckWindow>());
    }
};

QTEST_MAIN(ScriptCheckTest)
#include "scriptcheck_test.moc"
