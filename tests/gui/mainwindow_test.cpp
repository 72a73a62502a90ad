// The main window: its pages and units, clearing, saving and copying scripts.

#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "core/app/generators.h"
#include "core/mml/pageunits.h"
#include "gui/app/mainwindow.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    MainWindow* window = nullptr;

    template <typename W>
    W* unit(const char* name) {
        W* w = window->findChild<W*>(QString::fromUtf8(name));
        if (!w) qWarning("missing unit %s", name);
        return w;
    }

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        window = new MainWindow(ws->session);
        window->show();
    }
    void cleanup() { delete window; }

    void hasFivePagesInOrder() {
        QTabWidget* tabs = unit<QTabWidget>("选择夹1");
        QVERIFY(tabs);
        QStringList titles;
        for (int i = 0; i < tabs->count(); ++i) titles << tabs->tabText(i);
        QCOMPARE(titles, (QStringList{"4G小区操作", "2G小区操作", "开关基站修改功率",
                                      "小区扩容配置", "负载均衡优化工具"}));
    }

    // Every generator of the registry has its button on its page, with its
    // unit name and caption, connected: a click runs it (an empty run shows
    // its success message).
    void everyRegistryRowHasItsWorkingButton() {
        for (const Generator& g : generators()) {
            const QString unit = qs(g.unit);
            auto* button = window->findChild<QPushButton*>(unit);
            QVERIFY2(button, qPrintable(unit));
            QCOMPARE(button->text(), qs(g.caption));
            QVERIFY2(button->isEnabled(), qPrintable(unit));
            QWidget* page = window->选择夹1->widget(static_cast<int>(g.page));
            QVERIFY2(page->isAncestorOf(button), qPrintable(unit));
            Dialogs dialogs;
            click(button);
            // A list page with no names says so instead of its success message.
            const bool saysSomething = g.names == Generator::Names::List
                                           ? !dialogs.messages().isEmpty()
                                           : dialogs.messages().contains(qs(g.success));
            QVERIFY2(saysSomething, qPrintable(unit));
        }
    }

    // Every unit a run reads is in the window as its row of the page-unit
    // table says: named after it, of its kind, with its caption, opening as
    // the row says.
    void everyPageUnitIsInTheWindowAsItsRowSays() {
        for (const mml::PageUnit* row : mml::kPageUnits) {
            QWidget* widget = window->findChild<QWidget*>(qs(row->name));
            QVERIFY2(widget, row->name.data());
            auto* box = qobject_cast<QLineEdit*>(widget);
            auto* check = qobject_cast<QCheckBox*>(widget);
            auto* radio = qobject_cast<QRadioButton*>(widget);
            switch (row->kind) {
                case mml::UnitKind::ValueBox:
                    QVERIFY2(box, row->name.data());
                    QCOMPARE(box->text(), qs(row->initial));
                    continue;
                case mml::UnitKind::CheckBox:
                    QVERIFY2(check, row->name.data());
                    break;
                case mml::UnitKind::RadioButton:
                    QVERIFY2(radio, row->name.data());
                    break;
            }
            auto* button = qobject_cast<QAbstractButton*>(widget);
            QCOMPARE(button->text(), qs(row->caption));
            QVERIFY2(!button->isChecked(), row->name.data());
        }
    }

    void everyGeneratorButtonOfThe2GPageExists() {
        int oneToOne = 0, oneToMany = 0;
        for (auto* b : window->findChildren<QPushButton*>()) {
            oneToOne += b->objectName().startsWith("按钮_2G小区操作_一对一_");
            oneToMany += b->objectName().startsWith("按钮_2G小区操作_一对多_");
        }
        QCOMPARE(oneToOne, 9);
        QCOMPARE(oneToMany, 9);
    }

    void inputUnitsAndDefaults() {
        QCOMPARE(unit<QLineEdit>("开关基站_功率编辑框")->text(), QString("122"));
        QCOMPARE(unit<QCheckBox>("选择框_4G小区操作_双向操作选择框")->text(), QString("双向操作"));
        QCOMPARE(unit<QCheckBox>("选择框_4G小区操作_直出脚本")->text(), QString("直出脚本"));
        QCOMPARE(unit<QCheckBox>("开关基站_选择框")->text(), QString("勾选连续输出"));
        for (const auto& [box, text] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"负载均衡优化其它_编辑框_用户数门限", "50"},
                 {"负载均衡优化其它_编辑框_能力缩放因子", "10"},
                 {"负载均衡优化F1_编辑框_用户数门限", "40"},
                 {"负载均衡优化F2_编辑框_用户数门限", "20"},
                 {"负载均衡优化F2_编辑框_能力缩放因子", ""},
                 {"负载均衡优化D_编辑框_用户数门限", "50"},
                 {"负载均衡优化FDDG_编辑框_用户数门限", "40"},
                 {"负载均衡优化FDDD_编辑框_用户数门限", "80"},
                 {"负载均衡优化D_编辑框_能力缩放因子", "10"},
                 {"负载均衡优化F1_编辑框_最大选择用户数", "20"},
                 {"负载均衡优化FDDG_编辑框_用户选择PRB门限", "99"},
                 {"负载均衡优化其它_编辑框_用户偏置", ""}})
            QCOMPARE(unit<QLineEdit>(box)->text(), QString(text));
        for (const char* bar : {"进度条4G", "进度条2G", "开关基站_进度条", "进度条_小区扩容配置"})
            QVERIFY(unit<QProgressBar>(bar));
    }

    void doubleClickEmptiesTheNineBoxes() {
        for (const char* name :
             {"编辑框_4G源小区", "编辑框_4G目标小区", "编辑框_4G脚本内容", "编辑框_2G源小区",
              "编辑框_2G目标小区", "编辑框_2G脚本内容", "开关基站_基站名编辑框",
              "开关基站_生成脚本编辑框", "负载均衡优化_小区名编辑框"}) {
            auto* box = unit<QPlainTextEdit>(name);
            QVERIFY(box);
            window->选择夹1->setCurrentWidget(box->parentWidget()->parentWidget());
            box->setPlainText("A\nB");
            QTest::mouseDClick(box->viewport(), Qt::LeftButton);
            QVERIFY2(box->toPlainText().isEmpty(), name);
            // The gesture is quick to make by mistake: Ctrl+Z brings the text back.
            QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(box->toPlainText(), QString("A\nB"));
        }
        // Boxes outside the list keep their text.
        auto* list = unit<QPlainTextEdit>("编辑框_小区扩容配置列表");
        window->选择夹1->setCurrentIndex(3);
        list->setPlainText("A");
        QTest::mouseDClick(list->viewport(), Qt::LeftButton);
        QCOMPARE(list->toPlainText(), QString("A"));
    }

    void clearAllEmptiesTheThreeBoxesOfThe4GPage() {
        window->编辑框_4G源小区->setPlainText("a");
        window->编辑框_4G目标小区->setPlainText("b");
        window->编辑框_4G脚本内容->setPlainText("c");
        click(window->按钮_4G小区操作_清空所有内容按钮);
        QVERIFY(window->编辑框_4G源小区->toPlainText().isEmpty());
        QVERIFY(window->编辑框_4G目标小区->toPlainText().isEmpty());
        QVERIFY(window->编辑框_4G脚本内容->toPlainText().isEmpty());
    }

    // Every clear button empties its boxes as one undo step per box.
    void everyClearButtonCanBeUndoneBoxByBox() {
        const std::vector<std::pair<QPushButton*, std::vector<QPlainTextEdit*>>> clears = {
            {window->按钮_4G小区操作_清空所有内容按钮,
             {window->编辑框_4G源小区, window->编辑框_4G目标小区, window->编辑框_4G脚本内容}},
            {window->按钮_2G小区操作_清空脚本按钮, {window->编辑框_2G脚本内容}},
            {window->按钮_2G小区操作_清空所有内容,
             {window->编辑框_2G源小区, window->编辑框_2G目标小区, window->编辑框_2G脚本内容}},
            {window->开关基站_按钮_清空内容,
             {window->开关基站_基站名编辑框, window->开关基站_生成脚本编辑框}},
            {window->按钮_小区扩容配置_清空,
             {window->编辑框_小区扩容配置列表, window->编辑框_小区扩容配置生成内容}},
        };
        for (const auto& [button, boxes] : clears) {
            for (QPlainTextEdit* box : boxes) box->setPlainText(box->objectName());
            click(button);
            for (QPlainTextEdit* box : boxes) {
                QVERIFY2(box->document()->isEmpty(), qPrintable(box->objectName()));
                box->undo();
                QCOMPARE(box->toPlainText(), box->objectName());
            }
        }
    }

    // Closing asks while a script pane holds lines changed since they were
    // last saved or copied, or a direct-output buffer holds lines.
    void closingWithAnUnsavedScriptAsksFirst() {
        const std::vector<std::pair<QPlainTextEdit*, QPushButton*>> panes = {
            {window->编辑框_4G脚本内容, window->按钮_4G小区操作_复制脚本内容按钮},
            {window->编辑框_2G脚本内容, window->按钮_2G小区操作_复制脚本内容按钮},
            {window->开关基站_生成脚本编辑框, window->开关基站_按钮_复制脚本},
            {window->编辑框_小区扩容配置生成内容, window->按钮_小区扩容配置_复制},
        };
        window->setAttribute(Qt::WA_DeleteOnClose, false);  // closed and shown again below
        for (const auto& [pane, save] : panes) {
            appendToBox(pane, "ADD A;{北}\r\n");
            Dialogs dialogs;
            window->close();  // no answer given: No
            QVERIFY2(window->isVisible(), qPrintable(pane->objectName()));
            QCOMPARE(dialogs.messages(), QStringList{"脚本尚未保存，确定要关闭吗？"});
            dialogs.file(ws->dir / "s.txt");
            click(save);  // saved or copied: nothing is lost by closing
            dialogs.shown.clear();
            window->close();
            QCOMPARE(dialogs.messages(), QStringList{});
            QVERIFY(!window->isVisible());
            window->show();
            appendToBox(pane, "ADD B;{北}\r\n");  // changed again since
            window->close();
            QVERIFY(window->isVisible());
            clearBox(pane);  // nothing left to lose
            window->close();
            QVERIFY(!window->isVisible());
            window->show();
        }
        *ws->session.buffer(OutputBuffer::Carrier) = "ADD A;{北}\r\n";
        Dialogs dialogs;
        window->close();
        QVERIFY(window->isVisible());
        dialogs.answer(Question::CloseUnsaved, true);
        window->close();
        QVERIFY(!window->isVisible());
        QCOMPARE(dialogs.messages(),
                 (QStringList{"脚本尚未保存，确定要关闭吗？", "脚本尚未保存，确定要关闭吗？"}));
    }

    void savingThe4GScriptWritesDistinctLinesAsGbk() {
        setBoxText(window->编辑框_4G脚本内容, "ADD A;{北}\r\nMOD B;{北}\r\nADD A;{北}\r\n");
        Dialogs dialogs;
        dialogs.file(ws->dir / "out.txt");
        click(window->按钮_4G小区操作_复制脚本内容按钮);
        QCOMPARE(dialogs.messages(), QStringList{"复制完成"});
        QCOMPARE(readAll(ws->dir / "out.txt"),
                 QByteArray("ADD A;{\xB1\xB1}\r\nMOD B;{\xB1\xB1}\r\n"));
        QCOMPARE(boxText(window->编辑框_4G脚本内容), "ADD A;{北}\r\nMOD B;{北}\r\nADD A;{北}\r\n");

        // A cancelled dialog is the engineer's choice: nothing failed, nothing is said.
        dialogs.cancelFile();
        click(window->按钮_4G小区操作_复制脚本内容按钮);
        QCOMPARE(dialogs.messages(), QStringList{"复制完成"});
        QCOMPARE(dialogs.requests.size(), 2u);
        window->编辑框_4G脚本内容->clear();
        click(window->按钮_4G小区操作_复制脚本内容按钮);
        QCOMPARE(dialogs.messages().last(), QString("没有脚本，复制失败！"));
    }

    // 复制脚本内容 and the direct-output saves never replace the library or
    // a settings file the program works from.
    void aSaveNeverReplacesAFileInUse() {
        useLibrary(ws->session, "北区.edb", LibraryKind::Lte, {cell4G(1, {"北", "北-1"})});
        test::writeFile(ws->session.folder.ini2G(), "[Config]\r\n");
        setBoxText(window->编辑框_4G脚本内容, "ADD A;{北}\r\n");
        for (const std::filesystem::path& file :
             {ws->session.current4G, ws->session.folder.ini2G()}) {
            const QByteArray before = readAll(file);
            Dialogs dialogs;
            dialogs.file(file);
            click(window->按钮_4G小区操作_复制脚本内容按钮);
            QCOMPARE(dialogs.messages(), QStringList{"不能覆盖正在使用的文件：" + qpath(file)});
            QCOMPARE(readAll(file), before);
        }
    }

    void theTwoGCopyDedupsThePaneAndCopiesIt() {
        setBoxText(window->编辑框_2G脚本内容, "A\r\n\r\nB\r\nA");
        Dialogs dialogs;
        click(window->按钮_2G小区操作_复制脚本内容按钮);
        QCOMPARE(dialogs.messages(), QStringList{"复制成功！"});
        QCOMPARE(boxText(window->编辑框_2G脚本内容), "A\r\nB\r\n");
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("A\r\nB\r\n"));
        QCOMPARE(window->进度条2G->maximum(), 4);
        QCOMPARE(window->进度条2G->value(), 2);
        click(window->按钮_2G小区操作_清空所有内容);
        click(window->按钮_2G小区操作_复制脚本内容按钮);
        QCOMPARE(dialogs.messages().last(), QString("没有脚本，复制个啥子嘛！！"));
    }

    void emptyBoxesHaveTheirCopyMessages() {
        Dialogs dialogs;
        click(window->开关基站_按钮_复制脚本);
        click(window->按钮_小区扩容配置_复制);
        QCOMPARE(dialogs.messages(),
                 (QStringList{"无脚本命令，复制失败！", "没有脚本，复制个啥子嘛！！"}));
    }

    void aPageChangeReloadsThe2GSettings() {
        std::filesystem::create_directories(ws->session.folder.mu());
        QFile ini(QString::fromStdString(platform::utf8Name(ws->session.folder.ini2G())));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(
            "[Config]\r\nBCCH\xD7\xE9\xB1\xEA\xCA\xB6=7\r\nGSM_dcs1800=GSM_dcs1800\r\n");  // BCCH组标识
        ini.close();
        QCOMPARE(ws->session.settings2G.bcchGroupId, "");
        window->选择夹1->setCurrentIndex(1);
        QCOMPARE(ws->session.settings2G.bcchGroupId, "7");
        QCOMPARE(ws->session.settings2G.bandIndicator, "GSM_dcs1800");
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
