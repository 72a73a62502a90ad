// The on/off page driven through the window: its check box and power box are
// read by unit name.

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

#include "gui/app/mainwindow.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

class OnOffPageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    MainWindow* w = nullptr;

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        useLibrary(ws->session, "a.edb", LibraryKind::Lte,
                   {cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"})});
        w = new MainWindow(ws->session);
        w->show();
        w->选择夹1->setCurrentIndex(2);
    }
    void cleanup() { delete w; }

    void powerAndContinuousOutput() {
        setBoxText(w->开关基站_基站名编辑框, "甲-1");
        setBoxText(w->开关基站_生成脚本编辑框, "earlier\r\n");
        w->开关基站_功率编辑框->setText("-60");
        Dialogs dialogs;
        click(w->开关基站_按钮_修改功率);
        QCOMPARE(boxText(w->开关基站_生成脚本编辑框),
                 "MOD PDSCHCFG:LOCALCELLID=0,REFERENCESIGNALPWR=-60;{站甲}\r\n");
        w->开关基站_选择框->setChecked(true);
        click(w->开关基站_按钮_激活);
        QCOMPARE(boxText(w->开关基站_生成脚本编辑框),
                 "MOD PDSCHCFG:LOCALCELLID=0,REFERENCESIGNALPWR=-60;{站甲}\r\n"
                 "ACT CELL:LOCALCELLID=0;{站甲}\r\n");
        QCOMPARE(dialogs.messages(), (QStringList{"修改功率脚本已生成！", "激活脚本已生成！"}));
        QCOMPARE(w->开关基站_进度条->value(), 1);
    }
};

QTEST_MAIN(OnOffPageTest)
#include "onoff_test.moc"
