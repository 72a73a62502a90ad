// What the program remembers between dialogs and runs, the menus, the
// status bar and the keys every window shares.

#include <QDesktopServices>
#include <QStatusBar>
#include <QtTest>

#include "core/base/messages.h"
#include "gui/app/mainwindow.h"
#include "gui/app/startwindow.h"
#include "gui/app/windowflow.h"
#include "gui/base/conventions.h"
#include "gui/base/remembered.h"
#include "gui/base/widgets.h"
#include "gui/freqplan/planeditor.h"
#include "gui/freqplan/settings2gwindow.h"
#include "gui/tools/sitetypewindow.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

namespace fs = std::filesystem;

// Takes the file URLs QDesktopServices would hand to the system.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QUrl opened;
public slots:
    void open(const QUrl& url) { opened = url; }
};

class DesktopTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<WindowFlow> flow;

    fs::path library(const char* name) {
        return ws->session.folder.mu() / platform::pathFromUtf8(name);
    }
    void makeLte(const char* name, int records) {
        std::vector<Record> cells;
        for (int i = 1; i <= records; ++i)
            cells.push_back(cell4G(i, {"站", "小区" + std::to_string(i), "0", std::to_string(i),
                                       "0", "38400", "1", "1"}));
        makeLibrary(library(name), LibraryKind::Lte, cells);
    }
    // The start window with `name` chosen, then 小区操作.
    MainWindow* openWith(const char* name) {
        StartWindow* start = flow->showStart();
        start->组合框1->setCurrentIndex(start->组合框1->findText(QString::fromUtf8(name)));
        emit start->组合框1->activated(start->组合框1->currentIndex());
        Dialogs dialogs;  // "没有选择2G工参库…"
        click(start->添加处理小区按钮);
        return flow->mainWindow();
    }
    static void activate(QWidget* window) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

private slots:
    void initTestCase() { installDesktopConventions(*qApp); }
    void init() {
        rememberedSettings().clear();
        ws = std::make_unique<Workspace>();
        flow = std::make_unique<WindowFlow>(ws->session);
    }
    void cleanup() {
        deleteTopLevelWindows();
        flow.reset();
    }

    void aDialogStartsWhereTheLastOfItsKindChose_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("remembers");
        QTest::newRow("script save") << int(FileKind::ScriptSave) << true;
        QTest::newRow("rollback save") << int(FileKind::RollbackSave) << true;
        QTest::newRow("workbook open") << int(FileKind::Workbook) << true;
        QTest::newRow("export open") << int(FileKind::Export) << true;
        QTest::newRow("unnamed kind") << int(FileKind::Other) << false;
    }
    void aDialogStartsWhereTheLastOfItsKindChose() {
        QFETCH(int, kind);
        QFETCH(bool, remembers);
        const auto k = static_cast<FileKind>(kind);
        TempDir chosen;
        const fs::path desktop = platform::desktopFolder();
        Dialogs dialogs;
        dialogs.file(chosen.path() / "a.txt");
        GuiFeedback feedback(nullptr);
        static_cast<void>(feedback.chooseSaveFile({"", "", desktop, k}));
        static_cast<void>(feedback.chooseOpenFile({"", "", desktop, k}));
        // Another kind keeps its own folder.
        const FileKind other = k == FileKind::ScriptFile ? FileKind::Export : FileKind::ScriptFile;
        static_cast<void>(feedback.chooseOpenFile({"", "", desktop, other}));
        QCOMPARE(dialogs.requests.size(), 3u);
        QCOMPARE(dialogs.requests[0].startFolder, desktop);
        QCOMPARE(dialogs.requests[1].startFolder, remembers ? chosen.path() : desktop);
        QCOMPARE(dialogs.requests[2].startFolder, desktop);
    }

    void aRememberedFolderThatIsGoneIsNotUsed() {
        const fs::path desktop = platform::desktopFolder();
        Dialogs dialogs;
        {
            TempDir gone;
            dialogs.file(gone.path() / "a.txt");
            GuiFeedback feedback(nullptr);
            static_cast<void>(feedback.chooseSaveFile({"", "", desktop, FileKind::ScriptSave}));
        }
        GuiFeedback(nullptr).chooseSaveFile({"", "", desktop, FileKind::ScriptSave});
        QCOMPARE(dialogs.requests.at(1).startFolder, desktop);
    }

    void aWindowTakesItsGeometryBackWhereAScreenShowsIt_data() {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<bool>("restored");
        QTest::newRow("on the screen") << QRect(40, 50, 330, 260) << true;
        QTest::newRow("off every screen") << QRect(9000, 9000, 330, 260) << false;
    }
    void aWindowTakesItsGeometryBackWhereAScreenShowsIt() {
        QFETCH(QRect, saved);
        QFETCH(bool, restored);
        StartWindow* first = flow->showStart();
        first->setGeometry(saved);
        const QRect placed = first->geometry();
        first->close();
        QTRY_VERIFY(!flow->startWindow());
        QCOMPARE(flow->showStart()->geometry() == placed, restored);
    }

    void theStartWindowPreselects_data() {
        QTest::addColumn<QString>("imported");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the library opened last time") << QString() << "南区.edb";
        QTest::newRow("a library just imported") << "北区.edb"
                                                 << "北区.edb";
    }
    void theStartWindowPreselects() {
        QFETCH(QString, imported);
        QFETCH(QString, expected);
        makeLte("北区.edb", 1);
        makeLte("南区.edb", 2);
        QVERIFY(openWith("南区.edb"));
        // A new run of the program on the same folder.
        deleteTopLevelWindows();
        Session next(ws->session.folder.home);
        if (!imported.isEmpty()) next.lastImported = library(u8(imported).c_str());
        WindowFlow nextFlow(next);
        StartWindow* start = nextFlow.showStart();
        QCOMPARE(start->组合框1->currentText(), expected);
        QCOMPARE(next.current4G, library(u8(expected).c_str()));
        QCOMPARE(start->组合框2->currentIndex(), -1);
    }

    void switchingLibrariesKeepsTheMainWindowAndItsWork() {
        makeLte("北区.edb", 1);
        makeLte("南区.edb", 2);
        QPointer<MainWindow> main = openWith("北区.edb");
        QVERIFY(main);
        QCOMPARE(main->状态栏_工参库->text(),
                 QString("4G工参库：北区.edb（1 条）    2G工参库：未选择"));
        main->编辑框_4G源小区->setPlainText("小区1");

        main->动作_切换工参库->trigger();
        QVERIFY(main->isHidden());
        StartWindow* start = flow->startWindow();
        QVERIFY(start && start->isVisible());
        QCOMPARE(start->组合框1->currentText(), QString("北区.edb"));
        QCOMPARE(openWith("南区.edb"), main.data());
        QVERIFY(main->isVisible());
        QCOMPARE(main->编辑框_4G源小区->toPlainText(), QString("小区1"));
        QCOMPARE(main->状态栏_工参库->text(),
                 QString("4G工参库：南区.edb（2 条）    2G工参库：未选择"));
        QCOMPARE(ws->session.library4G->count(), 2u);

        // Closing the start window without a choice brings the window back.
        main->动作_切换工参库->trigger();
        flow->startWindow()->close();
        QTRY_VERIFY(main->isVisible());
        QCOMPARE(ws->session.library4G->count(), 2u);
    }

    void keysOfTheMainWindow_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("shown");  // a box's text, or empty
        QTest::addColumn<int>("dialogs");    // file dialogs opened
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("Ctrl+S saves the 4G pane")
            << QKeySequence("Ctrl+S") << QString() << 1 << true;
        QTest::newRow("F1 shows the help")
            << QKeySequence(Qt::Key_F1) << qs(msg::kHelpText) << 0 << true;
        QTest::newRow("Esc leaves the main window")
            << QKeySequence(Qt::Key_Escape) << QString() << 0 << true;
        QTest::newRow("Ctrl+Q quits") << QKeySequence("Ctrl+Q") << QString() << 0 << false;
    }
    void keysOfTheMainWindow() {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, shown);
        QFETCH(int, dialogs);
        QFETCH(bool, stillOpen);
        makeLte("北区.edb", 1);
        QPointer<MainWindow> main = openWith("北区.edb");
        main->编辑框_4G脚本内容->setPlainText("LST CELL:;");
        main->编辑框_4G脚本内容->document()->setModified(false);
        activate(main);
        Dialogs answers;
        answers.cancelFile();
        QTest::keySequence(main.data(), keys);
        QCOMPARE(answers.messages(), shown.isEmpty() ? QStringList() : QStringList{shown});
        QCOMPARE(int(answers.requests.size()), dialogs);
        if (dialogs) QCOMPARE(answers.requests[0].kind, FileKind::ScriptSave);
        QTRY_COMPARE(main && main->isVisible(), stillOpen);
    }

    void enterPressesTheFocusedButton() {
        makeLte("北区.edb", 1);
        MainWindow* main = openWith("北区.edb");
        activate(main);
        Dialogs answers;
        QTest::keyClick(main->按钮_4G小区操作_复制脚本内容按钮, Qt::Key_Return);
        QCOMPARE(answers.messages(), QStringList{qs(msg::kNoScriptToSave)});
    }

    void enterInThe2GCellNameBoxQueries() {
        useLibrary(ws->session, "g.edb", LibraryKind::Gsm,
                   {cell2G(6, {"G站", "G2", "4502", "10002", "61", "3", "4"})});
        Settings2GWindow* w = flow->showSettings2G();
        w->编辑框_2G数据库_小区名->setText("G2");
        Dialogs answers;
        QTest::keyClick(w->编辑框_2G数据库_小区名, Qt::Key_Return);
        QCOMPARE(answers.messages(), QStringList());
        QCOMPARE(w->编辑框_2G数据库_LAC->text(), QString("4502"));
    }

    void escClosesAToolWindow() {
        QPointer<PlanEditor> editor = flow->showPlanEditor();
        QTest::keyClick(editor.data(), Qt::Key_Escape);
        QTRY_VERIFY(!editor || !editor->isVisible());
    }

    void tabLeavesANameBoxButNotAScriptPane() {
        makeLte("北区.edb", 1);
        MainWindow* main = openWith("北区.edb");
        activate(main);
        main->编辑框_4G源小区->setFocus();
        QTest::keyClick(main->编辑框_4G源小区, Qt::Key_Tab);
        QCOMPARE(main->编辑框_4G源小区->toPlainText(), QString());
        QVERIFY(!main->编辑框_4G源小区->hasFocus());
        main->编辑框_4G脚本内容->setFocus();
        QTest::keyClick(main->编辑框_4G脚本内容, Qt::Key_Tab);
        QCOMPARE(main->编辑框_4G脚本内容->toPlainText(), QString("\t"));
    }

    void theMenusOpenTheProgramFolderAndSayWhatTheProgramIs() {
        makeLte("北区.edb", 1);
        MainWindow* main = openWith("北区.edb");
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        main->动作_打开程序文件夹->trigger();
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(catcher.opened, QUrl::fromLocalFile(qpath(ws->session.folder.home)));
        Dialogs answers;
        main->动作_关于->trigger();
        QVERIFY(answers.messages().value(0).startsWith("Brindle " BRINDLE_VERSION "\n"));
        QCOMPARE(main->windowTitle(), QString("小区操作"));
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
