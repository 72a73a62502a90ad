// The library query window and the record edit window, opened from the main window.

#include <QHeaderView>
#include <QtTest>

#include "core/library/store.h"
#include "gui/app/mainwindow.h"
#include "gui/app/windowflow.h"
#include "gui/library/querywindow.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

class QueryWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<WindowFlow> flow;

    std::vector<Record> cells() {
        return {cell4G(7, {"站1甲", "A小区", "0", "1001", "11", "38400", "101", "2001"}),
                cell4G(21, {"北站", "北-1", "1", "1002", "12", "38544", "102", "2002"}),
                cell4G(10, {"南站", "南-1", "2", "1003", "13", "1850", "103", "2003"})};
    }

    QueryWindow* openQuery() {
        MainWindow* main = flow->showMain();
        main->选择夹1->setCurrentIndex(0);
        QPushButton* button = main->按钮_4G小区操作_修改工参数据按钮;
        if (!button->isEnabled() || button->text() != QString("工参读写")) return nullptr;
        click(button);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* q = qobject_cast<QueryWindow*>(w); q && q->isVisible()) return q;
        return nullptr;
    }

    RecordEditWindow* editWindow() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<RecordEditWindow*>(w); e && e->isVisible()) return e;
        return nullptr;
    }

    // The record edit window for the record found by `id`, opened as the
    // engineer opens it: 查询数据, then 修改数据.
    RecordEditWindow* editRecord(const char* id) {
        QueryWindow* q = searchFor(id);
        if (!q) return nullptr;
        click(q->修改数据按钮);
        return editWindow();
    }

    // The query window after "查询数据" for `text`.
    QueryWindow* searchFor(const char* text) {
        QueryWindow* q = openQuery();
        if (!q) return nullptr;
        q->编辑框1->setText(text);
        click(q->查询数据按钮);
        return q;
    }

    int selectedRow(QueryWindow* q) {
        const auto rows = q->超级列表框1->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        useLibrary(ws->session, "北区.edb", LibraryKind::Lte, cells());
        flow = std::make_unique<WindowFlow>(ws->session);
    }
    void cleanup() {
        deleteTopLevelWindows();
        flow.reset();
    }

    void listsEveryRecordUnderItsTitles() {
        QueryWindow* q = openQuery();
        QVERIFY(q);
        QVERIFY(flow->mainWindow()->isVisible());  // it opens beside the main window
        auto* model = q->超级列表框1->model();
        QCOMPARE(model->rowCount(), 3);
        QStringList titles;
        for (int c = 0; c < model->columnCount(); ++c)
            titles << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{"ID", "eNodeB Name", "CELLNAME", "Sector ID", "eNodeB ID",
                                      "Cell ID", "DlEarfcn", "PCI", "TAC"}));
        QStringList row;
        for (int c = 0; c < 9; ++c) row << model->index(1, c).data().toString();
        QCOMPARE(row,
                 (QStringList{"21", "北站", "北-1", "1", "1002", "12", "38544", "102", "2002"}));
        // A hint, not a text a search would include.
        QCOMPARE(q->编辑框1->text(), QString());
        QCOMPARE(q->编辑框1->placeholderText(), QString("请输入要查询的内容"));
        QCOMPARE(q->查询数据按钮->text(), QString("查询数据"));
        QCOMPARE(q->刷新按钮->text(), QString("刷新"));
        QCOMPARE(q->修改数据按钮->text(), QString("修改数据"));
        QCOMPARE(q->按钮2->text(), QString("返回"));
        QCOMPARE(q->基站名标签->text(), QString("基站名"));
        QCOMPARE(q->小区名标签->text(), QString("小区名"));
        QCOMPARE(q->频点标签->text(), QString("频点"));
        // A second press brings the same window forward.
        QCOMPARE(openQuery(), q);
    }

    void aClickEmptiesTheSearchBox() {
        QueryWindow* q = openQuery();
        QVERIFY(q);
        q->编辑框1->setText("北");
        QTest::mouseClick(q->编辑框1, Qt::RightButton);
        QCOMPARE(q->编辑框1->text(), QString("北"));
        QTest::mouseClick(q->编辑框1, Qt::LeftButton);
        QCOMPARE(q->编辑框1->text(), QString());
    }

    void findsIdsFirstThenAnyColumnAndShowsTheLabels() {
        QueryWindow* q = openQuery();
        QVERIFY(q);
        q->编辑框1->setText("1");  // ID 10 before the 1001 of the first row
        click(q->查询数据按钮);
        QCOMPARE(selectedRow(q), 2);
        QCOMPARE(q->基站名标签->text(), QString("基站名：南站"));
        QCOMPARE(q->小区名标签->text(), QString("小区名：南-1"));
        QCOMPARE(q->频点标签->text(), QString("频点：1850"));

        q->编辑框1->setText("北");
        click(q->查询数据按钮);
        QCOMPARE(selectedRow(q), 1);
        QCOMPARE(q->小区名标签->text(), QString("小区名：北-1"));

        q->编辑框1->setText("a小区");  // names are compared byte for byte
        click(q->查询数据按钮);
        QCOMPARE(selectedRow(q), -1);
        QCOMPARE(q->基站名标签->text(), QString("基站名："));
        QCOMPARE(q->小区名标签->text(), QString("小区名："));
        QCOMPARE(q->频点标签->text(), QString("频点："));

        Dialogs dialogs;
        click(q->修改数据按钮);
        QCOMPARE(dialogs.messages(), QStringList{"你没有选中项目"});
        QVERIFY(!editWindow());
    }

    // The labels describe the row 修改数据 edits, also one picked by a click.
    void theLabelsFollowAClickedRow() {
        QueryWindow* q = searchFor("7");
        QVERIFY(q);
        QCOMPARE(selectedRow(q), 0);
        QTableView* list = q->超级列表框1;
        const QRect row2 = list->visualRect(list->model()->index(2, 1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row2.center());
        QCOMPARE(selectedRow(q), 2);
        QCOMPARE(q->基站名标签->text(), QString("基站名：南站"));
        QCOMPARE(q->小区名标签->text(), QString("小区名：南-1"));
        QCOMPARE(q->频点标签->text(), QString("频点：1850"));
        click(q->修改数据按钮);
        RecordEditWindow* e = editWindow();
        QVERIFY(e);
        QCOMPARE(e->ID编辑框->text(), QString("10"));
    }

    // A PCI the script checker rejects is named and written only on Yes.
    void aValueTheCheckerRejectsIsAskedAbout() {
        RecordEditWindow* e = editRecord("21");
        QVERIFY(e);
        e->物理小区标识编辑框->setText("9x9");
        const QString asked =
            "以下取值不符合脚本检查的规则，仍要修改吗？\r\n物理小区标识：参数值应为整数：PHYCELLID="
            "9x9";
        {
            Dialogs dialogs;
            dialogs.answer(Question::RecordValues, false);
            click(e->修改按钮);
            QCOMPARE(dialogs.messages(), QStringList{asked});
        }
        QVERIFY(editWindow() == e);
        const auto kept = store::load(ws->session.current4G, LibraryKind::Lte).value();
        QCOMPARE(qs(kept->at(1).field(Field4G::Pci)), QString("102"));
        Dialogs dialogs;
        dialogs.answer(Question::RecordValues, true);
        click(e->修改按钮);
        QCOMPARE(dialogs.messages(), (QStringList{asked, "修改成功"}));
        const auto written = store::load(ws->session.current4G, LibraryKind::Lte).value();
        QCOMPARE(qs(written->at(1).field(Field4G::Pci)), QString("9x9"));
    }

    void theEditWindowWritesByIdAndTheListRefreshes() {
        QueryWindow* q = searchFor("21");
        QVERIFY(q);
        QCOMPARE(selectedRow(q), 1);
        click(q->修改数据按钮);
        RecordEditWindow* e = editWindow();
        QVERIFY(e);
        QCOMPARE(e->ID编辑框->text(), QString("21"));
        QCOMPARE(e->小区名编辑框->text(), QString("北-1"));
        QCOMPARE(e->TAC号编辑框->text(), QString("2002"));
        QCOMPARE(e->修改按钮->text(), QString("修改"));

        QVERIFY(e->ID编辑框->isReadOnly());
        e->ID编辑框->setText("99");  // has no effect: the record keeps its ID
        e->小区名编辑框->setText("北-9");
        e->频点编辑框->setText("");
        QPointer<RecordEditWindow> guard(e);
        {
            Dialogs dialogs;
            dialogs.answer(Question::RecordValues, true);  // the emptied 频点
            click(e->修改按钮);
            QCOMPARE(dialogs.messages().last(), QString("修改成功"));
        }
        QTRY_VERIFY(!guard);
        QVERIFY(q->isVisible());

        const auto reopened = store::load(ws->session.current4G, LibraryKind::Lte).value();
        QCOMPARE(reopened->at(1).ID, 21);
        QCOMPARE(qs(reopened->at(1).cellName()), QString("北-9"));
        QCOMPARE(qs(reopened->at(1).field(5)), QString());
        QCOMPARE(qs(reopened->at(0).cellName()), QString("A小区"));

        // The row shows what was written, and is still the one selected.
        auto* model = q->超级列表框1->model();
        QCOMPARE(model->index(1, 2).data().toString(), QString("北-9"));
        QCOMPARE(model->index(1, 0).data().toString(), QString("21"));
        QCOMPARE(model->index(1, 6).data().toString(), QString());
        QCOMPARE(selectedRow(q), 1);
        QCOMPARE(q->小区名标签->text(), QString("小区名：北-9"));
        QCOMPARE(q->频点标签->text(), QString("频点："));
        click(q->刷新按钮);
        QCOMPARE(model->index(1, 2).data().toString(), QString("北-9"));
    }

    // Another program changes the record while the window is open: the boxes
    // the engineer left alone are not written, so that change stays.
    void onlyTheChangedBoxesAreWritten() {
        RecordEditWindow* e = editRecord("21");
        QVERIFY(e);
        auto other = store::load(ws->session.current4G, LibraryKind::Lte).value();
        QVERIFY(other->modify(RecordKey::byId(21), {{7, "TAC9"}}).value());
        e->小区名编辑框->setText("北-9");
        Dialogs dialogs;
        click(e->修改按钮);
        QCOMPARE(dialogs.messages(), QStringList{"修改成功"});
        const auto reopened = store::load(ws->session.current4G, LibraryKind::Lte).value();
        QCOMPARE(qs(reopened->at(1).cellName()), QString("北-9"));
        QCOMPARE(qs(reopened->at(1).field(7)), QString("TAC9"));
    }

    void aFailedWriteKeepsTheWindowAndTheRecord() {
        RecordEditWindow* e = editRecord("7");
        QVERIFY(e);
        std::filesystem::remove(ws->session.current4G);
        e->小区名编辑框->setText("改");
        Dialogs dialogs;
        click(e->修改按钮);
        QCOMPARE(dialogs.messages(),
                 QStringList{qs("修改失败，写入失败：工参库无法读取：" +
                                platform::utf8Name(ws->session.current4G) + "\r\n文件不存在")});
        QVERIFY(editWindow() == e);
        QCOMPARE(qs(ws->session.library4G->at(0).cellName()), QString("A小区"));
    }

    void aVanishedRecordIsTold() {
        RecordEditWindow* e = editRecord("10");
        QVERIFY(e);
        // The current library was replaced meanwhile by one without ID 10.
        useLibrary(ws->session, "南区.edb", LibraryKind::Lte, {cell4G(7, {"站", "A"})});
        Dialogs dialogs;
        click(e->修改按钮);
        QCOMPARE(dialogs.messages(), QStringList{"查找不到ID"});
    }

    void returnClosesAndTheMainWindowComesBack() {
        QueryWindow* q = openQuery();
        QVERIFY(q);
        flow->mainWindow()->hide();
        QPointer<QueryWindow> guard(q);
        click(q->按钮2);
        QTRY_VERIFY(!guard);
        QVERIFY(flow->mainWindow()->isVisible());
    }

    void aLargeLibraryLoadsQuickly() {
        std::vector<Record> many;
        many.reserve(200000);
        for (int i = 1; i <= 200000; ++i)
            many.push_back(cell4G(i, {"站" + std::to_string(i / 3), "小区" + std::to_string(i), "0",
                                      "1", "2", "38400", "3", "4"}));
        useLibrary(ws->session, "大.edb", LibraryKind::Lte, many);
        QElapsedTimer timer;
        timer.start();
        QueryWindow* q = openQuery();
        QVERIFY(q);
        QCOMPARE(q->超级列表框1->model()->rowCount(), 200000);
        q->编辑框1->setText("小区199999");
        click(q->查询数据按钮);
        QCOMPARE(selectedRow(q), 199998);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_MAIN(QueryWindowTest)
#include "query_test.moc"
