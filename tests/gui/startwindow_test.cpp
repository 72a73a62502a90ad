// The start window: listing, choosing, deleting and opening libraries.

#include <QKeyEvent>
#include <QTabWidget>
#include <QtTest>

#include "gui/app/mainwindow.h"
#include "gui/app/startwindow.h"
#include "gui/app/windowflow.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

class StartWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<WindowFlow> flow;

    StartWindow* start() { return flow->showStart(); }

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        flow = std::make_unique<WindowFlow>(ws->session);
    }
    void cleanup() {
        deleteTopLevelWindows();
        flow.reset();
    }

    void withoutLibrariesTheListsAreEmptyAndOpeningAsksForA4GLibrary() {
        StartWindow* w = start();
        QCOMPARE(w->组合框1->count(), 0);
        QCOMPARE(w->组合框2->count(), 0);
        Dialogs dialogs;
        click(w->添加处理小区按钮);
        QCOMPARE(dialogs.messages(), QStringList{"请选择4G工参库"});
        QVERIFY(!flow->mainWindow());
    }

    void listsWithoutSelectionAndOpensTheMainWindow() {
        makeLibrary(ws->session.folder.mu() / u8"北区.edb", LibraryKind::Lte,
                    {cell4G(1, {"站", "小区", "0", "1", "0", "38400", "1", "1"})});
        makeLibrary(ws->session.folder.mu() / u8"南区.edb", LibraryKind::Lte, {});
        StartWindow* w = start();
        QCOMPARE(w->组合框1->count(), 2);
        QCOMPARE(w->组合框1->currentIndex(), -1);
        QCOMPARE(w->分组框1->title(), QString("选择4G工参"));
        QCOMPARE(w->分组框2->title(), QString("选择2G工参"));

        Dialogs dialogs;
        w->组合框1->setCurrentIndex(w->组合框1->findText("南区.edb"));
        emit w->组合框1->activated(w->组合框1->currentIndex());
        click(w->添加处理小区按钮);
        QCOMPARE(dialogs.messages(), QStringList{"该工参库无数据，请导入工参库！"});

        w->组合框1->setCurrentIndex(w->组合框1->findText("北区.edb"));
        emit w->组合框1->activated(w->组合框1->currentIndex());
        QPointer<StartWindow> guard(w);
        click(w->添加处理小区按钮);
        QCOMPARE(dialogs.messages().last(), QString("没有选择2G工参库，只能生成4G脚本！"));
        QTRY_VERIFY(!guard);  // the start window closed
        QVERIFY(flow->mainWindow());
        QVERIFY(flow->mainWindow()->isVisible());
        QCOMPARE(ws->session.library4G->count(), 1u);
    }

    void deleteKeyAsksAndRebuildsTheList() {
        makeLibrary(ws->session.folder.mu() / u8"北区.edb", LibraryKind::Lte, {});
        makeLibrary(ws->session.folder.mu() / u8"南区.edb", LibraryKind::Lte, {});
        StartWindow* w = start();
        Dialogs dialogs;
        QTest::keyRelease(w->组合框1, Qt::Key_Delete);  // nothing selected: nothing happens
        w->组合框1->setCurrentIndex(0);
        QTest::keyRelease(w->组合框1, Qt::Key_Backspace);
        QVERIFY(dialogs.messages().isEmpty());

        dialogs.answer(Question::DeleteLibrary, false);
        QTest::keyRelease(w->组合框1, Qt::Key_Delete);
        QCOMPARE(w->组合框1->count(), 2);

        dialogs.answer(Question::DeleteLibrary, true);
        QTest::keyRelease(w->组合框1, Qt::Key_Delete);
        QCOMPARE(dialogs.messages(), (QStringList{"是否删除工参库： \r\n北区.edb",
                                                  "是否删除工参库： \r\n北区.edb", "删除成功！"}));
        QCOMPARE(w->组合框1->count(), 1);
        QCOMPARE(w->组合框1->itemText(0), QString("南区.edb"));
        QCOMPARE(w->组合框1->currentIndex(), -1);
        QVERIFY(!std::filesystem::exists(ws->session.folder.mu() / u8"北区.edb"));
    }

    void theChosenPathSurvivesARecreatedStartWindow() {
        makeLibrary(ws->session.folder.mu() / u8"北区.edb", LibraryKind::Lte, {});
        StartWindow* w = start();
        w->组合框1->setCurrentIndex(0);
        emit w->组合框1->activated(0);
        delete w;
        StartWindow* again = start();
        QCOMPARE(again->组合框1->currentIndex(), 0);  // and is shown chosen
        QCOMPARE(ws->session.current4G, ws->session.folder.mu() / u8"北区.edb");
    }
};

QTEST_MAIN(StartWindowTest)
#include "startwindow_test.moc"
