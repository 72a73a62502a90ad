// A long generator run through the window: the pane, filled in batches while
// events run, ends holding exactly the lines generated, in order, once each.

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QtTest>

#include "core/base/messages.h"
#include "gui/app/mainwindow.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

// Cells C0…C(n-1) of sites 站0…, eNodeB 5000+i, cell i % 7.
void useCells(Workspace& ws, int count) {
    std::vector<Record> cells;
    for (int i = 0; i < count; ++i)
        cells.push_back(cell4G(i + 1, {"站" + std::to_string(i), "C" + std::to_string(i), "0",
                                       std::to_string(5000 + i), std::to_string(i % 7), "38400",
                                       std::to_string(i), "2001"}));
    useLibrary(ws.session, "big.edb", LibraryKind::Lte, cells);
}

// 删除外部's line for source cell s and target cell t.
std::string removal(int s, int t) {
    return "RMV EUTRANEXTERNALCELL:ENODEBID=" + std::to_string(5000 + t) +
           ",CELLID=" + std::to_string(t % 7) + ";{站" + std::to_string(s) + "}\r\n";
}

class LongRunTest : public QObject {
    Q_OBJECT

private slots:
    // The pane is read back a paragraph at a time: every paragraph and every
    // line break inside one ends a line, the last one without a line end.
    void aPaneReadsBackAsItsLines() {
        QPlainTextEdit pane;
        QCOMPARE(boxText(&pane), std::string());
        setBoxText(&pane, "甲\r\n\r\nB;{站}");
        QCOMPARE(boxText(&pane), std::string("甲\r\n\r\nB;{站}"));
        setBoxText(&pane, "A\r\n");
        QCOMPARE(boxText(&pane), std::string("A\r\n"));
        QTextCursor cursor(pane.document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("x") + QChar(QChar::LineSeparator) + QStringLiteral("乙"));
        QCOMPARE(boxText(&pane), std::string("A\r\nx\r\n乙"));
    }

    void thePaneHoldsEveryLineOfALongRun() {
        constexpr int kCells = 200;
        Workspace ws;
        useCells(ws, kCells);
        MainWindow w(ws.session);
        w.show();
        // Every ordered pair of distinct cells once: 39,800 lines, far more
        // than one batch of the pane.
        std::string sources, targets, expected;
        for (int k = 0; k < kCells * (kCells - 1); ++k) {
            const int s = k % kCells, t = (s + 1 + k / kCells) % kCells;
            sources += "C" + std::to_string(s) + "\r\n";
            targets += "C" + std::to_string(t) + "\r\n";
            expected += removal(s, t);
        }
        setBoxText(w.编辑框_4G源小区, sources);
        setBoxText(w.编辑框_4G目标小区, targets);
        Dialogs dialogs;
        click(w.按钮_4G小区操作_删除外部按钮);
        QCOMPARE(dialogs.messages(), QStringList{"删除外部脚本生成成功！！"});
        QCOMPARE(w.编辑框_4G脚本内容->document()->blockCount(), kCells * (kCells - 1) + 1);
        QVERIFY(boxText(w.编辑框_4G脚本内容) == expected);
    }

    // 停止 while the box of a missing name is open: the run ends at the next
    // pair, the pane keeps exactly the lines of the pairs before, and the
    // engineer is told how many.
    void aStoppedRunKeepsTheLinesMadeBeforeTheStop() {
        constexpr int kCells = 50, kPairs = 2000, kMissingAt = 700;
        Workspace ws;
        useCells(ws, kCells);
        MainWindow w(ws.session);
        w.show();
        std::string sources, targets, expected;
        for (int k = 0; k < kPairs; ++k) {
            const int s = k % kCells, t = (s + 1) % kCells;
            sources +=
                (k == kMissingAt ? std::string("无此小区") : "C" + std::to_string(s)) + "\r\n";
            targets += "C" + std::to_string(t) + "\r\n";
            if (k < kMissingAt) expected += removal(s, t);
        }
        setBoxText(w.编辑框_4G源小区, sources);
        setBoxText(w.编辑框_4G目标小区, targets);
        QPushButton* stop = stopButtonOf(w.进度条4G);
        QVERIFY(stop);
        QVERIFY(!stop->isEnabled());
        Dialogs dialogs;
        dialogs.whileShown = [stop](const std::string&) {
            if (stop->isEnabled()) stop->click();
        };
        click(w.按钮_4G小区操作_删除外部按钮);
        QCOMPARE(dialogs.messages(),
                 (QStringList{"无此小区小区不存在！", qs(msg::runStopped(kMissingAt))}));
        QVERIFY(boxText(w.编辑框_4G脚本内容) == expected);
        QVERIFY(!stop->isEnabled());
        // The bar does not stand part-way after a stop, and the pane is editable again.
        QCOMPARE(w.进度条4G->value(), w.进度条4G->minimum() - 1);
        QVERIFY(!w.编辑框_4G脚本内容->isReadOnly());
    }
};

QTEST_MAIN(LongRunTest)
#include "longrun_test.moc"
