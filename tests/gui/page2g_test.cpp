// The 2G page's generator buttons driven through the window.

#include <QtTest>

#include "gui/app/mainwindow.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

class Page2GTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    MainWindow* w = nullptr;

    static std::string arfcnRmv(const char* lcid, const char* arfcn, const char* ne) {
        return std::string("RMV GERANNFREQGROUPARFCN:LOCALCELLID=") + lcid +
               ",GERANARFCN=" + arfcn + ";{" + ne + "}\r\n";
    }

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        useLibrary(ws->session, "a.edb", LibraryKind::Lte,
                   {cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"}),
                    cell4G(2, {"站乙", "乙-1", "1", "1002", "21", "38544", "101", "2002"})});
        useLibrary(ws->session, "g.edb", LibraryKind::Gsm,
                   {cell2G(1, {"G站", "G1", "4501", "10001", "60", "1", "2"}),
                    cell2G(2, {"G站", "G2", "4502", "10002", "61", "3", "4"})});
        w = new MainWindow(ws->session);
        w->show();
        w->选择夹1->setCurrentIndex(1);
    }
    void cleanup() { delete w; }

    void oneToManyFillsThe2GPaneSourceMajor() {
        setBoxText(w->编辑框_2G源小区, "甲-1\r\n乙-1");
        setBoxText(w->编辑框_2G目标小区, "G1\r\nG2");
        setBoxText(w->编辑框_2G脚本内容, "earlier\r\n");
        Dialogs dialogs;
        click(w->按钮_2G小区操作_一对多_GERAN相邻频点按钮);
        QCOMPARE(dialogs.messages(), QStringList{"脚本生成成功！！"});
        QCOMPARE(boxText(w->编辑框_2G脚本内容),
                 "earlier\r\n" + arfcnRmv("0", "60", "站甲") + arfcnRmv("0", "61", "站甲") +
                     arfcnRmv("1", "60", "站乙") + arfcnRmv("1", "61", "站乙"));
        QCOMPARE(w->进度条2G->maximum(), 2);
        QCOMPARE(w->进度条2G->value(), 2);
        QCOMPARE(boxText(w->编辑框_4G脚本内容), "");  // the 4G pane is left alone
    }

    void oneToOneStopsAtTheFirstMissingCell() {
        setBoxText(w->编辑框_2G源小区, "甲-1\r\n乙-1\r\n甲-1");
        setBoxText(w->编辑框_2G目标小区, "G1\r\n无\r\nG2");
        Dialogs dialogs;
        click(w->按钮_2G小区操作_一对一_删除GE相邻频点);
        QCOMPARE(dialogs.messages(), QStringList{"无小区不存在！"});
        QCOMPARE(boxText(w->编辑框_2G脚本内容), arfcnRmv("0", "60", "站甲"));
    }
};

QTEST_MAIN(Page2GTest)
#include "page2g_test.moc"
