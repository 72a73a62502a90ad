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

    const QByteArray kHeader4G =
        "基站名,小区名,本地小区标识,基站号,小区标识,频点,物理小区标识,TAC号\n";
    const QByteArray kHeader2G =
        "基站名,小区名,小区LAC,小区CI,BCCH频点,小区网络色码,小区基站色码\n";

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

    const QByteArray kBook2G = kHeader2G + "G站,G1,4501,10001,60,1,2\n";

    // The 4G import window, opened from a start window.
    ImportWindow4G* open4G() {
        click(flow->showStart()->添加工参按钮);
        return topLevel<ImportWindow4G>();
    }
    // "1、打开工参" choosing `file`.
    static void read(ImportWindow4G* w, Dialogs& dialogs, const QString& file) {
        dialogs.file(fsPath(file));
        click(w->打开按钮);
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
        const QString csv = writeCsv("北区.csv", kHeader4G +
                                                     "站A,小区A,0,1001,1,38400,7,22561\n"
                                                     ",孤儿,1\n\n站B,小区B\n");
        QPointer<StartWindow> start = flow->showStart();
        click(start->添加工参按钮);
        QTRY_VERIFY(!start);
        auto* w = topLevel<ImportWindow4G>();
        QVERIFY(w);
        QCOMPARE(w->打开按钮->text(), QString("1、打开工参"));

        Dialogs dialogs;
        dialogs.file(fsPath(csv));
        click(w->打开按钮);
        QCOMPARE(dialogs.messages(), QStringList{"工参打开成功！含2条"});
        QCOMPARE(w->windowTitle(), "工参导入（" + QDir::toNativeSeparators(csv) + ")");
        auto* model = w->超级列表框_导入预览->model();
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->columnCount(), 8);
        QCOMPARE(model->headerData(7, Qt::Horizontal).toString(), QString("TAC号"));
        QCOMPARE(w->超级列表框_导入预览->columnWidth(0), 200);
        QCOMPARE(w->超级列表框_导入预览->columnWidth(2), 100);
        QCOMPARE(model->index(1, 0).data().toString(), QString(""));
        QCOMPARE(model->index(1, 1).data().toString(), QString("孤儿"));

        click(w->导入工参按钮);
        QCOMPARE(dialogs.messages().last(), QString("OK"));
        QVERIFY(std::filesystem::exists(ws->session.folder.mu() / u8"北区.edb"));

        click(w->继续按钮);
        QTRY_VERIFY(topLevel<StartWindow>());
        auto* again = topLevel<StartWindow>();
        QCOMPARE(again->组合框1->count(), 1);
        QCOMPARE(again->组合框1->itemText(0), QString("北区.edb"));
        QCOMPARE(again->组合框1->currentIndex(), 0);  // the library just imported
        QCOMPARE(ws->session.current4G, ws->session.folder.mu() / u8"北区.edb");
    }

    // A failed read leaves nothing of the workbook read before it: the
    // preview is empty and there is nothing to import until a read succeeds.
    void aFailedReadEmptiesThePreviewAndDisablesTheImport() {
        const QString good = writeCsv("北区.csv", kHeader4G + "站A,小区A,0,1001,1,38400,7,22561\n");
        const QString bad = writeCsv("坏.xlsx", "PK\x03\x04 not really a zip");
        auto* w = open4G();
        QVERIFY(w);
        Dialogs dialogs;
        read(w, dialogs, good);
        QCOMPARE(w->超级列表框_导入预览->model()->rowCount(), 1);
        read(w, dialogs, bad);
        QCOMPARE(w->超级列表框_导入预览->model()->rowCount(), 0);
        QVERIFY(!w->导入工参按钮->isEnabled());
        click(w->打开按钮);  // cancelled: as it was
        QVERIFY(!w->导入工参按钮->isEnabled());
        read(w, dialogs, good);
        QVERIFY(w->导入工参按钮->isEnabled());
        QCOMPARE(w->超级列表框_导入预览->model()->rowCount(), 1);
        QVERIFY(!std::filesystem::exists(ws->session.folder.mu()));

        // The 2G window reads and writes in one step: a failed read writes nothing.
        const QString good2G = writeCsv("城区2G.csv", kBook2G);
        click(flow->showStart()->添加2G工参按钮);
        auto* w2 = topLevel<ImportWindow2G>();
        QVERIFY(w2);
        dialogs.file(fsPath(good2G));
        click(w2->打开2G工参);
        const auto library2G = ws->session.folder.mu2() / u8"城区2G.edb";
        const auto written = std::filesystem::last_write_time(library2G);
        dialogs.file(fsPath(bad));
        click(w2->打开2G工参);
        QCOMPARE(w2->超级列表框_导入预览2->model()->rowCount(), 0);
        QCOMPARE(dialogs.messages().last().left(8), QString("无法读取工作簿："));
        QCOMPARE(std::filesystem::last_write_time(library2G), written);
    }

    // The wrong workbook is imported only when the engineer says so.
    void aWorkbookOfTheOtherKindAsksBeforeImporting() {
        auto* w = open4G();
        QVERIFY(w);
        Dialogs dialogs;
        read(w, dialogs, writeCsv("城区2G.csv", kBook2G));
        click(w->导入工参按钮);
        QCOMPARE(
            dialogs.messages(),
            (QStringList{"工参打开成功！含1条",
                         "该工作簿不像4G工参，仍要导入吗？\r\n表头为：基站名、小区名、小区LAC、"
                         "小区CI、BCCH频点、小区网络色码、小区基站色码\r\n应为：基站名、小区名、"
                         "本地小区标识、基站号、小区标识、频点、物理小区标识、TAC号\r\n只有7列，"
                         "应有8列"}));
        QVERIFY(!std::filesystem::exists(ws->session.folder.mu() / u8"城区2G.edb"));
        dialogs.answer(Question::ImportMismatch4G, true);
        click(w->导入工参按钮);
        QCOMPARE(dialogs.messages().last(), QString("OK"));
        QVERIFY(std::filesystem::exists(ws->session.folder.mu() / u8"城区2G.edb"));
    }

    void importingBeforeOpeningSaysSo() {
        click(flow->showStart()->添加工参按钮);
        auto* w = topLevel<ImportWindow4G>();
        QVERIFY(w);
        Dialogs dialogs;
        click(w->导入工参按钮);
        QCOMPARE(dialogs.messages(), QStringList{"请先打开工参！"});
        w->close();  // the close box brings the start window back too
        QTRY_VERIFY(topLevel<StartWindow>());
    }

    void twoGImportIsOneStepAndTheStartWindowRelists() {
        const QString csv = writeCsv("城区2G.csv", kBook2G);
        StartWindow* start = flow->showStart();
        click(start->添加2G工参按钮);
        auto* w = topLevel<ImportWindow2G>();
        QVERIFY(w);
        QVERIFY(start->isVisible());
        Dialogs dialogs;
        dialogs.file(fsPath(csv));
        click(w->打开2G工参);
        QCOMPARE(dialogs.messages(), (QStringList{"工参打开成功！含1条", "OK"}));
        QCOMPARE(w->超级列表框_导入预览2->columnWidth(2), 80);
        click(w->返回按钮);
        QTRY_VERIFY(!topLevel<ImportWindow2G>());
        QCOMPARE(start->组合框2->count(), 1);
        QCOMPARE(start->组合框2->itemText(0), QString("城区2G.edb"));
    }
};

QTEST_MAIN(ImportWindowTest)
#include "import_test.moc"
