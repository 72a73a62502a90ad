// The 4G page's generator buttons driven through the window.

#include <QCheckBox>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "core/library/store.h"
#include "gui/app/mainwindow.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

class Page4GTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    MainWindow* w = nullptr;

    const std::string forward = "RMV EUTRANEXTERNALCELL:ENODEBID=1002,CELLID=21;{站甲}\r\n";
    const std::string reverse = "RMV EUTRANEXTERNALCELL:ENODEBID=1001,CELLID=10;{站乙}\r\n";

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        useLibrary(ws->session, "a.edb", LibraryKind::Lte,
                   {cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"}),
                    cell4G(2, {"站乙", "乙-1", "1", "1002", "21", "38544", "101", "2002"})});
        w = new MainWindow(ws->session);
        w->show();
    }
    void cleanup() { delete w; }

    void linesContinueThePaneAndTheProgressBarMoves() {
        setBoxText(w->编辑框_4G源小区, "甲-1\r\n无\r\n");
        setBoxText(w->编辑框_4G目标小区, "乙-1\r\n乙-1\r\n");
        setBoxText(w->编辑框_4G脚本内容, "earlier");
        w->选择框_4G小区操作_双向操作选择框->setChecked(true);
        Dialogs dialogs;
        click(w->按钮_4G小区操作_删除外部按钮);
        QCOMPARE(dialogs.messages(),
                 (QStringList{"无小区不存在！",
                              "删除外部脚本生成成功！！\r\n共生成2行脚本，1个小区不存在。"}));
        QCOMPARE(boxText(w->编辑框_4G脚本内容), "earlier" + forward + reverse);
        QCOMPARE(w->进度条4G->maximum(), 2);
        QCOMPARE(w->进度条4G->value(), 2);
    }

    void directOutputWritesTheFileAndLeavesThePaneAlone() {
        setBoxText(w->编辑框_4G源小区, "甲-1\r\n甲-1");
        setBoxText(w->编辑框_4G目标小区, "乙-1\r\n乙-1");
        w->选择框_4G小区操作_直出脚本->setChecked(true);
        Dialogs dialogs;
        dialogs.file(ws->dir / "direct");
        click(w->按钮_4G小区操作_删除外部按钮);
        QCOMPARE(dialogs.messages(), QStringList{"删除外部脚本生成成功！！"});
        QCOMPARE(boxText(w->编辑框_4G脚本内容), "");
        QCOMPARE(
            readAll(ws->dir / "direct.txt"),
            QByteArray("RMV EUTRANEXTERNALCELL:ENODEBID=1002,CELLID=21;{\xD5\xBE\xBC\xD7}\r\n"));
        QCOMPARE(*ws->session.buffer(OutputBuffer::General), "");
    }

    void addCarrierAsksItsTwoQuestions() {
#ifdef _WIN32
        // Open fault: on Windows a whole 添加频点 run on the worker thread
        // ends in a heap fault on the GUI thread (the run cancelled at its
        // first question does not); until it is mended this test cannot run.
        QSKIP("添加频点 on the worker thread: open heap fault on Windows");
#endif
        setBoxText(w->编辑框_4G源小区, "甲-1");
        setBoxText(w->编辑框_4G目标小区, "乙-1");
        Dialogs dialogs;
        dialogs.answer(Question::UrbanArea, false);
        dialogs.answer(Question::ReducedMeasurement, true);
        click(w->按钮_4G小区操作_添加频点按钮);
        // There is no plan file in the workspace: the run says so, once.
        const QString noPlan = QString::fromStdString(
            "频点配置文件不存在：" + platform::utf8Name(ws->session.folder.earfcnIni()));
        QCOMPARE(dialogs.messages(), (QStringList{"是为城区，否为农村", "农村",
                                                  "是否对加频点测量性能要求设置为降低的？", noPlan,
                                                  "添加频点脚本生成成功！！"}));
        QVERIFY(dialogs.unanswered.empty());
    }

    // Esc on the area question is no answer: the run ends before any line,
    // and the direct-output buffer stays empty, with nothing more said.
    void cancellingTheAreaQuestionCancelsTheRun() {
        setBoxText(w->编辑框_4G源小区, "甲-1");
        setBoxText(w->编辑框_4G目标小区, "乙-1");
        for (bool direct : {false, true}) {
            w->选择框_4G小区操作_直出脚本->setChecked(direct);
            Dialogs dialogs;
            dialogs.cancel(Question::UrbanArea);
            click(w->按钮_4G小区操作_添加频点按钮);
            QCOMPARE(dialogs.messages(), QStringList{"是为城区，否为农村"});
            QCOMPARE(boxText(w->编辑框_4G脚本内容), "");
            QCOMPARE(*ws->session.buffer(OutputBuffer::Carrier), "");
            QVERIFY(dialogs.requests.empty());
        }
    }

    // The same through the real boxes: Esc on the area box is no answer,
    // while its Yes button answers it (Esc on the boxes after is their No
    // or OK, as before).
    void escapeOnTheAreaBoxItselfCancelsTheRun() {
#ifdef _WIN32
        // Open fault: on Windows a whole 添加频点 run on the worker thread
        // ends in a heap fault on the GUI thread (the run cancelled at its
        // first question does not); until it is mended this test cannot run.
        QSKIP("添加频点 on the worker thread: open heap fault on Windows");
#endif
        setBoxText(w->编辑框_4G源小区, "甲-1");
        setBoxText(w->编辑框_4G目标小区, "乙-1");
        for (bool yes : {false, true}) {
            QStringList boxes;
            QTimer answer;
            connect(&answer, &QTimer::timeout, this, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                boxes << box->text();
                if (yes && boxes.size() == 1)
                    box->button(QMessageBox::Yes)->click();
                else
                    QTest::keyClick(box, Qt::Key_Escape);
            });
            answer.start(0);
            click(w->按钮_4G小区操作_添加频点按钮);
            answer.stop();
            if (!yes) {
                QCOMPARE(boxes, QStringList{"是为城区，否为农村"});
                QCOMPARE(boxText(w->编辑框_4G脚本内容), "");
            } else {
                QCOMPARE(boxes.mid(0, 3), (QStringList{"是为城区，否为农村", "城区",
                                                       "是否对加频点测量性能要求设置为降低的？"}));
                QCOMPARE(boxes.last(), QString("添加频点脚本生成成功！！"));
            }
        }
    }

    // A run lets window events through; while it runs no generator button
    // can start a second run into the same pane and buffers.
    void aRunDisablesEveryGeneratorButtonUntilItEnds() {
        setBoxText(w->编辑框_4G源小区, "甲-1\r\n甲-1");
        setBoxText(w->编辑框_4G目标小区, "乙-1\r\n乙-1");
        Dialogs dialogs;
        QStringList enabledDuringRun;
        int clicksDuringRun = 0;
        // The first message of the run comes while the buttons are still disabled.
        connect(w->进度条4G, &QProgressBar::valueChanged, this, [&] {
            for (QPushButton* b : w->findChildren<QPushButton*>())
                if (generatorForUnit(u8(b->objectName())) && b->isEnabled())
                    enabledDuringRun << b->objectName();
            w->按钮_4G小区操作_添加邻区按钮->click();  // ignored: the button is disabled
            ++clicksDuringRun;
        });
        click(w->按钮_4G小区操作_删除外部按钮);
        disconnect(w->进度条4G, nullptr, this, nullptr);
        QVERIFY(clicksDuringRun > 0);
        QCOMPARE(enabledDuringRun, QStringList{});
        QCOMPARE(dialogs.messages(), QStringList{"删除外部脚本生成成功！！"});
        QCOMPARE(boxText(w->编辑框_4G脚本内容), forward + forward);
        QVERIFY(w->按钮_4G小区操作_添加邻区按钮->isEnabled());
        QVERIFY(w->选择框_4G小区操作_双向操作选择框->isEnabled());
    }

    // Closing the window during a run (its close box works while events run)
    // waits for the run to end: the pane and the window must not vanish
    // under the running generator.
    void closingDuringARunWaitsForItsEnd() {
        setBoxText(w->编辑框_4G源小区, "甲-1\r\n甲-1");
        setBoxText(w->编辑框_4G目标小区, "乙-1\r\n乙-1");
        Dialogs dialogs;
        QPointer<MainWindow> guard(w);
        bool closedDuringRun = false;
        connect(w->进度条4G, &QProgressBar::valueChanged, this, [&] {
            if (closedDuringRun) return;
            closedDuringRun = true;
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(guard && w->isVisible());
        });
        dialogs.answer(Question::CloseUnsaved, true);  // the pane's new lines are not saved
        // The held-back close asks when the run has ended, the pane then full.
        std::string paneAtClose;
        dialogs.whileShown = [&](const std::string& text) {
            if (text == "脚本尚未保存，确定要关闭吗？" && guard)
                paneAtClose = boxText(w->编辑框_4G脚本内容);
        };
        click(w->按钮_4G小区操作_删除外部按钮);
        QVERIFY(closedDuringRun);
        QCOMPARE(dialogs.messages(),
                 (QStringList{"删除外部脚本生成成功！！", "脚本尚未保存，确定要关闭吗？"}));
        QCOMPARE(paneAtClose, forward + forward);
        QTRY_VERIFY(!guard);
        w = nullptr;
    }
};

QTEST_MAIN(Page4GTest)
#include "page4g_test.moc"
