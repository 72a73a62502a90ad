// The capacity-expansion page driven through the window.

#include <QProgressBar>
#include <QtTest>

#include "gui/app/mainwindow.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

class PageExpansionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    MainWindow* w = nullptr;

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        useLibrary(ws->session, "a.edb", LibraryKind::Lte,
                   {cell4G(1, {"城东", "城东甲", "0", "5001", "1", "38400", "1", "100"}),
                    cell4G(2, {"城东", "城东乙", "1", "5001", "2", "38400", "2", "100"}),
                    cell4G(3, {"城东", "城东F甲", "2", "5001", "3", "38544", "3", "100"}),
                    cell4G(4, {"城东", "城东D甲", "3", "5001", "4", "37900", "4", "100"})});
        w = new MainWindow(ws->session);
        w->show();
    }
    void cleanup() { delete w; }

    void linesAccumulateUntilCleared() {
        setBoxText(w->编辑框_小区扩容配置列表, "城东甲\r\n无\r\n城东乙");
        Dialogs dialogs;
        click(w->按钮_小区扩容配置成生);
        QCOMPARE(dialogs.messages(),
                 (QStringList{"无小区名不存在！", "好了\r\n共生成2行脚本，1个小区不存在。"}));
        QCOMPARE(boxText(w->编辑框_小区扩容配置生成内容), "城东甲|F1+F2+D1\r\n城东乙|F1\r\n");
        // Two of three names found: the bar does not stay two-thirds full.
        QCOMPARE(w->进度条_小区扩容配置->value(), w->进度条_小区扩容配置->minimum() - 1);
        setBoxText(w->编辑框_小区扩容配置列表, "城东乙");
        click(w->按钮_小区扩容配置成生);
        QCOMPARE(boxText(w->编辑框_小区扩容配置生成内容),
                 "城东甲|F1+F2+D1\r\n城东乙|F1\r\n城东乙|F1\r\n");
        click(w->按钮_小区扩容配置_清空);
        QCOMPARE(boxText(w->编辑框_小区扩容配置生成内容), "");
        QCOMPARE(boxText(w->编辑框_小区扩容配置列表), "");
    }
};

QTEST_MAIN(PageExpansionTest)
#include "pageexpansion_test.moc"
