// The import windows, driven from the start window.

#include <QComboBox>
#include <QHeaderView>
#include <QtTest>

#include "gui/app/startwindow.h"
#include "gui/app/windowflow.h"
#include "gui/library/importwindow.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

class ImportWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<WindowFlow> flow;

    QString writeCsv(const QString& name, const QByteArray& bytes) {
        QFile f(qpath(ws->dir / name.toStdString()));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }

    template <typename W>
    W* topLevel() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<W*>(w); found && found->isVisible()) return found;
        return nullptr;
    }

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        flow = std::make_unique<WindowFlow>(ws->session);
    }
    void cleanup() {
        deleteTopLevelWindows();
        flow.reset();
    }

    void fourGImportInTwoStepsThenBackToANewStartWindow() {
        const QString csv = writeCsv("北区.csv",
                                     "h\n站A,小区A,0,1001,1,38400,7,22561\n"
                                     ",孤儿,1\n\n站B,小区B\n");
        QPointer<StartWindow> start = flow->showStart();
        start->添加工参按钮->click();
        QTRY_VERIFY(!start);
        auto* w = topLevel<ImportWindow4G>();
        QVERIFY(w);
        QCOMPARE(w->打开按钮->text(), QString("1、打开工参"));

        Dialogs dialogs;
        dialogs.file(fsPath(csv));
        w->打开按钮->click();
        QCOMPARE(dialogs.messages(), QStringList{"工参打开成功！含2条"});
        QCOMPARE(w->windowTitle(), "工参导入（" + csv + ")");
        auto* model = w->超级列表框_导入预览->model();
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->columnCount(), 8);
        QCOMPARE(model->headerData(7, Qt::Horizontal).toString(), QString("TAC号"));
        QCOMPARE(w->超级列表框_导入预览->columnWidth(0), 200);
        QCOMPARE(w->超级列表框_导入预览->columnWidth(2), 100);
        QCOMPARE(model->index(1, 0).data().toString(), QString(""));
        QCOMPARE(model->index(1, 1).data().toString(), QString("孤儿"));

        w->导入工参按钮->click();
        QCOMPARE(dialogs.messages().last(), QString("OK"));
        QVERIFY(std::filesystem::exists(ws->session.folder.mu() / "北区.edb"));

        w->继续按钮->click();
        QTRY_VERIFY(topLevel<StartWindow>());
        auto* again = topLevel<StartWindow>();
        QCOMPARE(again->组合框1->count(), 1);
        QCOMPARE(again->组合框1->itemText(0), QString("北区.edb"));
        QCOMPARE(again->组合框1->currentIndex(), -1);
    }

    void importingBeforeOpeningSaysSo() {
        flow->showStart()->添加工参按钮->click();
        auto* w = topLevel<ImportWindow4G>();
        QVERIFY(w);
        Dialogs dialogs;
        w->导入工参按钮->click();
        QCOMPARE(dialogs.messages(), QStringList{"请先打开工参！"});
        w->close();  // the close box brings the start window back too
        QTRY_VERIFY(topLevel<StartWindow>());
    }

    void twoGImportIsOneStepAndTheStartWindowRelists() {
        const QString csv = writeCsv("城区2G.csv", "h\nG站,G1,4501,10001,60,1,2\n");
        StartWindow* start = flow->showStart();
        start->添加2G工参按钮->click();
        auto* w = topLevel<ImportWindow2G>();
        QVERIFY(w);
        QVERIFY(start->isVisible());
        Dialogs dialogs;
        dialogs.file(fsPath(csv));
        w->打开2G工参->click();
        QCOMPARE(dialogs.messages(), (QStringList{"工参打开成功！含1条", "OK"}));
        QCOMPARE(w->超级列表框_导入预览2->columnWidth(2), 80);
        w->返回按钮->click();
        QTRY_VERIFY(!topLevel<ImportWindow2G>());
        QCOMPARE(start->组合框2->count(), 1);
        QCOMPARE(start->组合框2->itemText(0), QString("城区2G.edb"));
    }
};

QTEST_MAIN(ImportWindowTest)
#include "import_test.moc"
