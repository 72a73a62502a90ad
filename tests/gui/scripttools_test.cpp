// The script tools' windows: the splitter and the site-type builder, opened
// in the main window's place.

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

#include "core/base/textcodec.h"
#include "gui/app/mainwindow.h"
#include "gui/app/windowflow.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"
#include "gui/tools/sitetypewindow.h"
#include "gui/tools/splitterwindow.h"
#include "guitest.h"

using brindle::test::gbk;
using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

namespace {

template <typename W>
W* openWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<W*>(w); found && found->isVisible()) return found;
    return nullptr;
}

}  // namespace

class ScriptToolsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<WindowFlow> flow;

    // Opens the main window, changes it, then clicks `button`: the main
    // window is hidden and the tool window of type W opens.
    template <typename W>
    W* openFromMain(QPushButton* MainWindow::*button) {
        MainWindow* main = flow->showMain();
        main->编辑框_4G源小区->setPlainText("甲");
        main->选择夹1->setCurrentIndex(2);
        click((main->*button));
        // A closed window would go at the next turn of the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (flow->mainWindow() != main || main->isVisible()) return nullptr;
        return openWindow<W>();
    }

    // The main window the tool took the place of is back as it was left.
    void checkMainAsLeft(const QPointer<MainWindow>& before) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(before);
        QCOMPARE(flow->mainWindow(), before.data());
        QVERIFY(before->isVisible());
        QCOMPARE(before->选择夹1->currentIndex(), 2);
        QCOMPARE(before->编辑框_4G源小区->toPlainText(), QString("甲"));
    }

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        useLibrary(ws->session, "站.edb", LibraryKind::Lte,
                   {cell4G(1, {"ABC", "ABC-1", "0", "1", "1", "38400", "1", "1"}),
                    cell4G(2, {"ABC", "ABC-2", "1", "1", "2", "38400", "2", "1"}),
                    cell4G(3, {"ABC", "ABC-3", "2", "1", "3", "38400", "3", "1"}),
                    cell4G(4, {"ABC", "ABC-11", "3", "1", "4", "37900", "4", "1"})});
        flow = std::make_unique<WindowFlow>(ws->session);
    }
    void cleanup() {
        deleteTopLevelWindows();
        flow.reset();
        ws.reset();
    }

    // ---- window flow ----

    void theSplitterOpensInTheMainWindowsPlace() {
        auto* splitter = openFromMain<SplitterWindow>(&MainWindow::按钮_4G小区操作_脚本分割按钮);
        QVERIFY(splitter);
        const QPointer<MainWindow> main = flow->mainWindow();
        QCOMPARE(splitter->windowTitle(), QString("脚本分割"));
        splitter->close();
        checkMainAsLeft(main);
        QCOMPARE(ws->session.library4G->count(), 4u);  // the libraries stay as chosen
    }

    void theBuilderOpensInTheMainWindowsPlace() {
        auto* builder = openFromMain<SiteTypeWindow>(&MainWindow::按钮_4G小区操作_站型转换);
        QVERIFY(builder);
        const QPointer<MainWindow> main = flow->mainWindow();
        builder->close();
        checkMainAsLeft(main);
        // And again, from the same main window.
        QVERIFY(openFromMain<SiteTypeWindow>(&MainWindow::按钮_4G小区操作_站型转换));
    }

    void bothButtonsAreEnabledWithTheirCaptions() {
        MainWindow* main = flow->showMain();
        QVERIFY(main->按钮_4G小区操作_脚本分割按钮->isEnabled());
        QVERIFY(main->按钮_4G小区操作_站型转换->isEnabled());
        QCOMPARE(main->按钮_4G小区操作_脚本分割按钮->text(), QString("脚本分割"));
        QCOMPARE(main->按钮_4G小区操作_站型转换->text(), QString("站型转换"));
    }

    // ---- splitter ----

    void splitterUnitsAndDefaults() {
        SplitterWindow w;
        QCOMPARE(w.findChild<QLineEdit*>("编辑框2")->text(), QString("200"));
        QCOMPARE(w.findChild<QLineEdit*>("编辑框3")->text(), QString("1000"));
        QCOMPARE(w.findChild<QCheckBox*>("选择框1")->text(), QString("按照基站分割"));
        QCOMPARE(w.findChild<QCheckBox*>("选择框2")->text(), QString("按照行数分割"));
        QCOMPARE(w.findChild<QPushButton*>("打开按钮")->text(), QString(".."));
        QCOMPARE(w.findChild<QPushButton*>("开始按钮")->text(), QString("开始"));
        QCOMPARE(w.findChild<QGroupBox*>("分组框1")->title(), QString("基站功能"));
        QCOMPARE(w.findChild<QGroupBox*>("分组框2")->title(), QString("高级功能"));
        QVERIFY(w.findChild<QProgressBar*>("进度条1"));
        QVERIFY(w.findChild<QLineEdit*>("编辑框1"));
    }

    void tickingOneWayClearsTheOther() {
        SplitterWindow w;
        w.show();
        click(w.选择框1);
        QVERIFY(w.选择框1->isChecked());
        click(w.选择框2);
        QVERIFY(w.选择框2->isChecked());
        QVERIFY(!w.选择框1->isChecked());
        click(w.选择框1);
        QVERIFY(!w.选择框2->isChecked());
    }

    void splitsTheChosenScriptBesideIt() {
        TempDir dir;
        const auto path = dir / "北区.new.txt";
        test::writeFile(path, gbk("A;{北1}\r\nB;{北1}\r\n\r\nC;{北2}\r\nD;{北3}\r\n"));
        SplitterWindow w;
        w.show();
        Dialogs dialogs;
        dialogs.file(path);
        click(w.打开按钮);
        QCOMPARE(w.编辑框1->text(), QString("北区"));
        click(w.选择框1);
        w.编辑框2->setText("2");
        click(w.开始按钮);
        // The engineer hears how many files went where.
        QCOMPARE(dialogs.messages(),
                 QStringList{"脚本分割完成！\r\n共写出2个文件，保存在：" + qpath(dir.path())});
        QCOMPARE(readAll(dir / "北区_0.txt"),
                 QByteArray::fromStdString(gbk("A;{北1}\r\nB;{北1}\r\nC;{北2}\r\n")));
        QCOMPARE(readAll(dir / "北区_1.txt"), QByteArray::fromStdString(gbk("D;{北3}\r\n")));
        QVERIFY(!std::filesystem::exists(dir / "北区_2.txt"));
        QCOMPARE(w.进度条1->value(), 5);
        // The base name is the engineer's to change; lines per file now.
        w.编辑框1->setText("片区");
        click(w.选择框2);
        w.编辑框3->setText("3");
        click(w.开始按钮);
        QCOMPARE(readAll(dir / "片区_0.txt"),
                 QByteArray::fromStdString(gbk("A;{北1}\r\nB;{北1}\r\nC;{北2}\r\n")));
        QCOMPARE(readAll(dir / "片区_1.txt"), QByteArray::fromStdString(gbk("D;{北3}\r\n")));
    }

    void startBeforeAnyFileAsksForOneAndWritesNothing() {
        TempDir dir;
        const auto before = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        SplitterWindow w;
        Dialogs dialogs;
        click(w.开始按钮);
        std::filesystem::current_path(before);
        QCOMPARE(dialogs.messages(), QStringList{"请先选择脚本文件！"});
        QVERIFY(std::filesystem::is_empty(dir.path()));
    }

    void aCancelledChoiceKeepsTheLoadedScript() {
        TempDir dir;
        test::writeFile(dir / "s.txt", "A\r\n");
        SplitterWindow w;
        Dialogs dialogs;
        dialogs.file(dir / "s.txt");
        dialogs.cancelFile();
        click(w.打开按钮);
        click(w.打开按钮);
        QCOMPARE(w.编辑框1->text(), QString("s"));
        click(w.开始按钮);
        QCOMPARE(readAll(dir / "s_0.txt"), QByteArray("A\r\n"));
    }

    void anUnwritableFileIsReported() {
        TempDir dir;
        test::writeFile(dir / "s.txt", "A\r\nB\r\n");
        std::filesystem::create_directories(dir / "s_1.txt");
        SplitterWindow w;
        Dialogs dialogs;
        dialogs.file(dir / "s.txt");
        click(w.打开按钮);
        click(w.选择框2);
        w.编辑框3->setText("1");
        click(w.开始按钮);
        QCOMPARE(dialogs.messages().size(), 1);
        QVERIFY2(dialogs.messages()[0].startsWith("写出失败：s_1.txt："),
                 qPrintable(dialogs.messages()[0]));
        QCOMPARE(readAll(dir / "s_0.txt"), QByteArray("A\r\n"));
    }

    // ---- site-type builder ----

    void builderDefaults() {
        SiteTypeWindow w(ws->session);
        QCOMPARE(w.频段1编辑框->text(), QString("F"));
        QCOMPARE(w.频段2编辑框->text(), QString("D"));
        QCOMPARE(w.频段3编辑框->text(), QString("E"));
        QCOMPARE(w.频段4编辑框->text(), QString("FDD"));
        QCOMPARE(w.频段1频点编辑框->text(), QString("38400|38544|38496"));
        QCOMPARE(w.频段2频点编辑框->text(), QString("37900|38098|40936"));
        QCOMPARE(w.频段3频点编辑框->text(), QString("38950|39148|39292|40738|40540"));
        QCOMPARE(w.频段4频点编辑框->text(), QString("1250|3683"));
        QCOMPARE(w.头编辑框->text(), QString("S"));
        QCOMPARE(w.连接符编辑框->text(), QString("-"));
        QCOMPARE(w.最大小区数编辑框->text(), QString("9"));
        QCOMPARE(w.站型连接符编辑框->text(), QString("/"));
        QCOMPARE(w.按钮1->text(), QString("转换"));
        QCOMPARE(w.复制按钮->text(), QString("复制内容"));
        QCOMPARE(w.findChild<QPlainTextEdit*>("基站名编辑框"), w.基站名编辑框);
        QCOMPARE(w.findChild<QPlainTextEdit*>("输出编辑框"), w.输出编辑框);
        QVERIFY(w.findChild<QProgressBar*>("进度条1"));
    }

    void convertAppendsOnEveryRun() {
        SiteTypeWindow w(ws->session);
        w.show();
        w.基站名编辑框->setPlainText("ABC\nXYZ");
        Dialogs dialogs;
        click(w.按钮1);
        click(w.按钮1);
        const QString once =
            "ABC|F|S1/1/1/|D|S1/0/0/|E|S0/0/0/|FDD|S0/0/0/\r\nXYZ|F|S|D|S|E|S|FDD|S\r\n";
        QCOMPARE(qs(boxText(w.输出编辑框)), once + once);
        QCOMPARE(w.进度条1->value(), 2);
        // XYZ's line of bare heads is no site type: one box per run says so.
        const QString missing = "以下基站在工参库中找不到小区：\r\nXYZ";
        QCOMPARE(dialogs.messages(), (QStringList{missing, missing}));
    }

    void convertReadsTheBoxes() {
        SiteTypeWindow w(ws->session);
        w.基站名编辑框->setPlainText("ABC");
        w.频段2频点编辑框->setText("38400");
        w.头编辑框->setText("H");
        w.站型连接符编辑框->setText("+");
        w.最大小区数编辑框->setText("2");
        w.频段4编辑框->setText("L");
        click(w.按钮1);
        QCOMPARE(qs(boxText(w.输出编辑框)), QString("ABC|F|H1+1+|D|H1+1+|E|H0+0+|L|H0+0+\r\n"));
    }

    void copyContent() {
        SiteTypeWindow w(ws->session);
        {
            Dialogs dialogs;
            click(w.复制按钮);
            QCOMPARE(dialogs.messages(), QStringList{"没有脚本，复制个啥子嘛！！"});
        }
        w.基站名编辑框->setPlainText("ABC");
        click(w.按钮1);
        Dialogs dialogs;
        click(w.复制按钮);
        QCOMPARE(dialogs.messages(), QStringList{"复制成功！"});
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString("ABC|F|S1/1/1/|D|S1/0/0/|E|S0/0/0/|FDD|S0/0/0/\r\n"));
    }
};

QTEST_MAIN(ScriptToolsTest)
#include "scripttools_test.moc"
