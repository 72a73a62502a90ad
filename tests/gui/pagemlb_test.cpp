// The load-balancing page's generator driven through the window: the
// switches, radio buttons and threshold boxes are read by unit name and the
// script goes to the clipboard.

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

#include "gui/app/mainwindow.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

class PageMlbTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    MainWindow* w = nullptr;

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        useLibrary(ws->session, "a.edb", LibraryKind::Lte,
                   {cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"}),
                    cell4G(2, {"站乙", "乙-FDDD1", "1", "1002", "21", "38544", "101", "2002"})});
        w = new MainWindow(ws->session);
        w->show();
        w->选择夹1->setCurrentIndex(4);
        QGuiApplication::clipboard()->setText("earlier");
    }
    void cleanup() { delete w; }

    void userNumberModeWithTheNeGoesToTheClipboard() {
        setBoxText(w->负载均衡优化_小区名编辑框, "甲-1\r\n乙-FDDD1");
        w->负载均衡优化_选择框_是否带基站->setChecked(true);
        w->负载均衡优化_选择框_模式开关->setChecked(true);
        w->负载均衡优化_单选框_用户数模式->setChecked(true);
        w->负载均衡优化F1_编辑框_用户数门限->setText("45");
        w->负载均衡优化F2_编辑框_能力缩放因子->setText("8");
        Dialogs dialogs;
        click(w->负载均衡优化_生成按钮);
        QCOMPARE(dialogs.messages(), QStringList{"复制成功,直接粘贴！"});
        const QString tail =
            ",MLBUENUMOFFSET=5,MLBMAXUENUM=20,MLBUESELECTPRBTHD=99,UENUMDIFFTHD=5,"
            "INTERFREQUETRSFTYPE=IdleUE-1,INTERFREQIDLEMLBUENUMTHD=55,INTERFREQLOADEVALPRD=5,"
            "LOADBALANCENCELLSCOPE=ADAPTIVE,MLBUESELECTPUNISHTIMER=60,"
            "MLBHOCELLSELECTSTRATEGY=PERMIT_NON_STRONGEST_CELL,CELLCAPACITYSCALEFACTOR=";
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 "MOD CELLMLB:LOCALCELLID=0,MLBTRIGGERMODE=UE_NUMBER_ONLY,INTERFREQMLBUENUMTHD=45" +
                     tail + "10;{站甲}\r\n" +
                     "MOD CELLMLB:LOCALCELLID=1,MLBTRIGGERMODE=UE_NUMBER_ONLY,"
                     "INTERFREQMLBUENUMTHD=20" +
                     tail + "8;{站乙}\r\n");
    }

    // The script is checked before it is copied: errors are counted first,
    // then it is copied as ever.
    void aScriptWithAnErrorSaysSoBeforeItIsCopied() {
        setBoxText(w->负载均衡优化_小区名编辑框, "乙-FDDD1");
        w->负载均衡优化_选择框_是否带基站->setChecked(true);
        w->负载均衡优化_选择框_模式开关->setChecked(true);
        w->负载均衡优化_单选框_用户数模式->setChecked(true);
        w->负载均衡优化F2_编辑框_能力缩放因子->clear();
        Dialogs dialogs;
        click(w->负载均衡优化_生成按钮);
        QCOMPARE(dialogs.messages(),
                 (QStringList{"要复制的脚本有 1 个错误，请粘贴前核对！", "复制成功,直接粘贴！"}));
        QVERIFY(
            QGuiApplication::clipboard()->text().endsWith("CELLCAPACITYSCALEFACTOR=;{站乙}\r\n"));
    }

    void thePrbRadioButtonSwitchesTheModeLines() {
        setBoxText(w->负载均衡优化_小区名编辑框, "乙-FDDD1");
        w->负载均衡优化_选择框_模式开关->setChecked(true);
        w->负载均衡优化_单选框_用户数模式->setChecked(true);
        w->负载均衡优化_单选框_PRB模式->setChecked(true);  // one radio button at a time
        QVERIFY(!w->负载均衡优化_单选框_用户数模式->isChecked());
        Dialogs dialogs;
        click(w->负载均衡优化_生成按钮);
        QCOMPARE(dialogs.messages(), QStringList{"复制成功,直接粘贴！"});
        QVERIFY(QGuiApplication::clipboard()->text().endsWith(
            "MOD CELLMLBUESEL:LOCALCELLID=1,UESELECTPRBPRIO=255;\r\n"));
    }

    void aMissingNameCopiesNothing() {
        setBoxText(w->负载均衡优化_小区名编辑框, "甲-1\r\n无");
        w->负载均衡优化_选择框_小区负载均衡开关->setChecked(true);
        Dialogs dialogs;
        click(w->负载均衡优化_生成按钮);
        QCOMPARE(dialogs.messages(), QStringList{"无小区不存在！"});
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("earlier"));
    }
};

QTEST_MAIN(PageMlbTest)
#include "pagemlb_test.moc"
