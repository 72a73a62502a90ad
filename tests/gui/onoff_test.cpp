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

    // Twenty names, three unknown: the first unknown's box offers
    // 本次运行不再提示 and has it ticked; no other box comes before the
    // closing message, which counts them and lists all three in its details,
    // the trailing space marked. The next run offers the box again.
    void aTickedBoxQuietsTheRunAndTheCloseListsTheMissedNames() {
        std::string names;
        for (int i = 0; i < 20; ++i)
            names += std::string(i == 2    ? "无1"
                                 : i == 9  ? "甲-1 "
                                 : i == 15 ? "无2"
                                           : "甲-1") +
                     "\r\n";
        setBoxText(w->开关基站_基站名编辑框, names);
        Dialogs dialogs;
        dialogs.quietRepeats = true;
        click(w->开关基站_按钮_激活);
        QCOMPARE(dialogs.messages(),
                 (QStringList{"无1小区不存在！",
                              "激活脚本已生成！\r\n共生成17行脚本，3个小区不存在。"}));
        QCOMPARE(dialogs.quietOffered.size(), 1u);
        QCOMPARE(qs(dialogs.quietOffered[0]), QString("无1小区不存在！"));
        QCOMPARE(dialogs.details.size(), 1u);
        QCOMPARE(qs(dialogs.details[0]),
                 QString("（“·”为空格，“□”为全角空格，“→”为制表符，“\\xHH”为其他控制字符）\r\n"
                         "「无1」\r\n「甲-1·」\r\n「无2」\r\n"));
        QCOMPARE(qs(boxText(w->开关基站_生成脚本编辑框)).count("ACT CELL:"), 17);

        dialogs.quietRepeats = false;
        dialogs.quietOffered.clear();
        click(w->开关基站_按钮_激活);
        QCOMPARE(dialogs.quietOffered.size(), 3u);
    }
};

QTEST_MAIN(OnOffPageTest)
#include "onoff_test.moc"
