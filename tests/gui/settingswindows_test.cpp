// The frequency-plan editor and the 2G settings window, opened from the main
// window through the window flow.

#include <QtTest>

#include <stdexcept>

#include "core/base/textcodec.h"
#include "core/freqplan/profile.h"
#include "core/library/store.h"
#include "gui/app/mainwindow.h"
#include "gui/app/windowflow.h"
#include "gui/base/qtext.h"
#include "gui/freqplan/planeditor.h"
#include "gui/freqplan/settings2gwindow.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

class SettingsWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<WindowFlow> flow;

    static std::string gbk(std::string_view utf8) { return *codec::toGbk(utf8).text; }

    PlanEditor* openEditor() {
        click(flow->mainWindow()->按钮_4G小区操作_频点配置按钮);
        return onlyShown<PlanEditor>();
    }
    Settings2GWindow* openSettings2G() {
        click(flow->mainWindow()->按钮_2G小区操作_参数2G设置按钮);
        return onlyShown<Settings2GWindow>();
    }

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        useLibrary(ws->session, "a.edb", LibraryKind::Lte,
                   {cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"})});
        useLibrary(ws->session, "g.edb", LibraryKind::Gsm,
                   {cell2G(5, {"G站", "G1", "4501", "10001", "60", "1", "2"}),
                    cell2G(6, {"G站", "G2", "4502", "10002", "61", "3", "4"})});
        flow = std::make_unique<WindowFlow>(ws->session);
        flow->showMain();
    }
    void cleanup() {
        deleteTopLevelWindows();
        flow.reset();
        ws.reset();
    }

    void buttonsOpenTheWindowsBesideTheMainWindow() {
        QVERIFY(flow->mainWindow()->按钮_4G小区操作_频点配置按钮->isEnabled());
        QVERIFY(flow->mainWindow()->按钮_2G小区操作_参数2G设置按钮->isEnabled());
        QVERIFY(openEditor());
        QVERIFY(openSettings2G());
        QVERIFY(flow->mainWindow()->isVisible());
        QVERIFY(!onlyShown<PlanEditor>()->isModal());
        // A second click brings the open editor forward instead of a second one.
        QVERIFY(openEditor());
    }

    void editorBoxesAndTabs() {
        PlanEditor* editor = openEditor();
        QVERIFY(editor);
        QCOMPARE(editor->选择夹->count(), 5);
        QCOMPARE(editor->选择夹->tabText(0), QString("E频段"));
        QCOMPARE(editor->选择夹->tabText(2), QString("FDD1800/F1/F2频段"));
        QCOMPARE(editor->选择夹->tabText(4), QString("5G频段"));
        for (const char* name :
             {"E_E_异频频点重先优先级", "E_E_异频频点高优先级重选门限",
              "E_E_异频频点低优先级重选门限", "E_E_异频切换事件", "E_E_连接态频率偏置",
              "F1_F2_FDD1800_NC异频切换事件", "G5频段频点_编辑框", "最低接收电平编辑框"})
            QVERIFY2(editor->box(name), name);
        QVERIFY(!editor->box("E-E异频频点重先优先级"));
        const auto boxes = editor->findChildren<QLineEdit*>();
        QCOMPARE(boxes.size(), 128 + 40);
        int readOnly = 0;
        for (QLineEdit* b : boxes)
            if (b->isReadOnly()) {
                ++readOnly;
                QVERIFY(b->objectName().endsWith("2"));
            }
        QCOMPARE(readOnly, 40);
        QVERIFY(editor->box("A_D_FDD900_NC连接态频率偏置2")->isReadOnly());
        QVERIFY(editor->box("A_D_E_异频频点重先优先级2")->isReadOnly());
    }

    void editorLoadsEditsAndSavesThenClosesAndBringsUpTheMainWindow() {
        test::writeFile(ws->session.folder.earfcnIni(),
                        gbk("[E-E频段频点配置]\r\nE-E异频频点重先优先级=5\r\nE_E_异频切换事件="
                            "A3\r\n[FDD1800频段频点配置]\r\nFDD180频段频点=1850\r\n"));
        PlanEditor* editor = openEditor();
        QVERIFY(editor);
        QCOMPARE(editor->box("E_E_异频频点重先优先级")->text(), QString("5"));
        QCOMPARE(editor->box("E_E_异频切换事件")->text(), QString("A3"));
        QCOMPARE(editor->box("FDD1800频段频点_编辑框")->text(), QString("1850"));
        QCOMPARE(editor->box("E_A_D_异频切换事件")->text(), QString());
        editor->box("G5频段频点_编辑框")->setText("504990|627264");
        editor->box("E_E_连接态频率偏置")->setText("-2");
        flow->mainWindow()->hide();
        QPointer<PlanEditor> watched = editor;
        Dialogs dialogs;
        click(editor->保存配置按钮);
        QCOMPARE(dialogs.messages(), QStringList{"配置数据写入成功！"});
        QVERIFY(!watched || !watched->isVisible());
        QVERIFY(flow->mainWindow()->isVisible());
        const auto ini = ws->session.folder.earfcnIni();
        QCOMPARE(qs(readProfile(ini, "5G频段频点配置", "5G频段频点")), QString("504990|627264"));
        QCOMPARE(qs(readProfile(ini, "E-E频段频点配置", "E_E_连接态频率偏置")), QString("-2"));
        QCOMPARE(qs(readProfile(ini, "E-E频段频点配置", "E-E异频频点重先优先级")), QString("5"));
        QVERIFY(ProfileFile::load(ini).find("FDD900_FDD900_频段频点配置",
                                            "FDD900_FDD900_连接态频率偏置"));
        // Reopening shows what was saved.
        QCOMPARE(openEditor()->box("E_E_连接态频率偏置")->text(), QString("-2"));
    }

    // A carrier the script checker rejects is named, and saved only on Yes.
    void aBandListTheCheckerRejectsIsAskedAbout() {
        const auto ini = ws->session.folder.earfcnIni();
        const std::string before = gbk("[E频段频点配置]\r\nE频段频点=38400\r\n");
        test::writeFile(ini, before);
        PlanEditor* editor = openEditor();
        QVERIFY(editor);
        editor->box("E频段频点_编辑框")->setText("38400|3835O|");
        const QString asked =
            "以下取值不符合脚本检查的规则，仍要保存吗？\r\nE频段频点：参数值应为整数：DLEARFCN="
            "3835O";
        {
            Dialogs dialogs;
            dialogs.answer(Question::PlanValues, false);
            click(editor->保存配置按钮);
            QCOMPARE(dialogs.messages(), QStringList{asked});
        }
        QVERIFY(editor->isVisible());
        QCOMPARE(readFile(ini), before);
        Dialogs dialogs;
        dialogs.answer(Question::PlanValues, true);
        click(editor->保存配置按钮);
        QCOMPARE(dialogs.messages(), (QStringList{asked, "配置数据写入成功！"}));
        QCOMPARE(qs(readProfile(ini, "E频段频点配置", "E频段频点")), QString("38400|3835O|"));
    }

    // Closing with edits asks: Esc keeps editing, No discards, Yes saves.
    void closingWithEditsAsksToSave() {
        const auto ini = ws->session.folder.earfcnIni();
        const std::string before = gbk("[其它项]\r\n最低接收电平=-64\r\n");
        test::writeFile(ini, before);
        {
            PlanEditor* editor = openEditor();
            QVERIFY(editor);
            Dialogs dialogs;
            QVERIFY(editor->close());  // nothing edited: nothing asked
            QCOMPARE(dialogs.messages(), QStringList{});
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        PlanEditor* editor = openEditor();
        QVERIFY(editor);
        editor->box("最低接收电平编辑框")->setText("-60");
        const QString asked = "频点配置已修改，是否保存后关闭？（按Esc继续编辑）";
        {
            Dialogs dialogs;
            dialogs.cancel(Question::PlanUnsaved);
            QVERIFY(!editor->close());
            QCOMPARE(dialogs.messages(), QStringList{asked});
            QVERIFY(editor->isVisible());
        }
        {
            Dialogs dialogs;
            dialogs.answer(Question::PlanUnsaved, true);
            QVERIFY(editor->close());
            QCOMPARE(dialogs.messages(), (QStringList{asked, "配置数据写入成功！"}));
        }
        QCOMPARE(qs(readProfile(ini, "其它项", "最低接收电平")), QString("-60"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        editor = openEditor();
        QVERIFY(editor);
        editor->box("最低接收电平编辑框")->setText("-50");
        Dialogs dialogs;
        dialogs.answer(Question::PlanUnsaved, false);
        QVERIFY(editor->close());
        QCOMPARE(dialogs.messages(), QStringList{asked});
        QCOMPARE(qs(readProfile(ini, "其它项", "最低接收电平")), QString("-60"));
    }

    // A box the editor has lost is the program's error, not an empty value:
    // the save stops before it writes any key.
    void aSaveMissingABoxWritesNothing() {
        const auto ini = ws->session.folder.earfcnIni();
        const std::string before = gbk("[其它项]\r\n最低接收电平=-64\r\n");
        test::writeFile(ini, before);
        PlanEditor* editor = openEditor();
        QVERIFY(editor);
        editor->box("最低接收电平编辑框")->setText("-60");
        delete editor->box("E_E_异频切换事件");
        QVERIFY(!editor->box("E_E_异频切换事件"));
        Dialogs dialogs;
        QString error;
        try {
            editor->save();
        } catch (const std::logic_error& e) {
            error = QString::fromUtf8(e.what());
        }
        QCOMPARE(error, QString("窗口缺少单元：E_E_异频切换事件"));
        QCOMPARE(dialogs.messages(), QStringList{});
        QCOMPARE(test::readFile(ini), before);
    }

    void aReadOnlyPlanKeepsTheEditorAndItsEdits() {
        const auto ini = ws->session.folder.earfcnIni();
        const std::string before = gbk("[其它项]\r\n最低接收电平=-64\r\n");
        test::writeFile(ini, before);
        std::filesystem::permissions(ini, std::filesystem::perms::owner_read);
        PlanEditor* editor = openEditor();
        QVERIFY(editor);
        QCOMPARE(editor->box("最低接收电平编辑框")->text(), QString("-64"));
        editor->box("最低接收电平编辑框")->setText("-60");
        Dialogs dialogs;
        click(editor->保存配置按钮);
        // One box says it, with why, instead of one per key group.
        QCOMPARE(dialogs.messages(), QStringList{"写入失败，请重新写入：文件为只读"});
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->box("最低接收电平编辑框")->text(), QString("-60"));
        QCOMPARE(readFile(ini), before);
    }

    // Empty boxes from a file that could not be read are not the plan: the
    // engineer hears so before editing them.
    void anUnreadablePlanIsToldWhenTheEditorOpens() {
        const auto ini = ws->session.folder.earfcnIni();
        test::writeFile(ini, "[其它项]\r\n最低接收电平=-64\r\n");  // UTF-8, not GBK
        Dialogs dialogs;
        QVERIFY(openEditor());
        QCOMPARE(dialogs.messages(),
                 QStringList{qs("频点配置文件不是GBK编码：" + platform::utf8Name(ini))});
    }

    void settings2GSaveThatFailsSaysSoOnceAndNeverSaved() {
        std::filesystem::remove_all(ws->session.folder.mu());  // no folder to write into
        Settings2GWindow* window = openSettings2G();
        QVERIFY(window);
        Dialogs dialogs;
        click(window->保存设置按钮);
        QCOMPARE(dialogs.messages(), QStringList{"写入失败，请重新写入：文件夹不存在"});
    }

    void settings2GLoadsAndSavesWithoutReloading() {
        test::writeFile(ws->session.folder.ini2G(),
                        gbk("[Config]\r\n开始频点=1\r\nGSM_dcs1800=GSM_dcs1800\r\n"));
        ws->session.reload2GSettings();
        Settings2GWindow* window = openSettings2G();
        QVERIFY(window);
        QCOMPARE(window->settingsBox("开始频点编辑框").text(), QString("1"));
        QCOMPARE(window->settingsBox("GSM_dcs1800编辑框").text(), QString("GSM_dcs1800"));
        QCOMPARE(window->settingsBox("BCCH组标识编辑框").text(), QString());
        window->settingsBox("GSM_dcs1800编辑框").setText("GSM_dcs1900");
        window->settingsBox("位置区域码配置指示编辑框").setText("TRUE");
        Dialogs dialogs;
        click(window->保存设置按钮);
        QCOMPARE(dialogs.messages(), QStringList{"数据保存成功"});
        QVERIFY(window->isVisible());
        const auto ini = ws->session.folder.ini2G();
        QCOMPARE(qs(readProfile(ini, "Config", "GSM_dcs1800")), QString("GSM_dcs1900"));
        QCOMPARE(qs(readProfile(ini, "Config", "位置区域码配置指示")), QString("TRUE"));
        QVERIFY(ProfileFile::load(ini).find("Config", "GERAN系统版本信息"));
        QCOMPARE(qs(ws->session.settings2G.bandIndicator), QString("GSM_dcs1800"));
        // A page change reloads them.
        flow->mainWindow()->选择夹1->setCurrentIndex(1);
        QCOMPARE(qs(ws->session.settings2G.bandIndicator), QString("GSM_dcs1900"));
    }

    void recordGroupQueriesAndModifiesTheLibraryFile() {
        Settings2GWindow* window = openSettings2G();
        QVERIFY(window);
        window->编辑框_2G数据库_小区名->setText("G2");
        {
            Dialogs dialogs;
            click(window->按钮_2G基站数据_查询);
            QCOMPARE(dialogs.messages(), QStringList());
        }
        QCOMPARE(window->编辑框_2G数据库_LAC->text(), QString("4502"));
        QCOMPARE(window->编辑框_2G数据库_CI->text(), QString("10002"));
        QCOMPARE(window->编辑框_2G数据库_BCCH->text(), QString("61"));
        QCOMPARE(window->编辑框_2G数据库_NCC->text(), QString("3"));
        QCOMPARE(window->编辑框_2G数据库_BCC->text(), QString("4"));
        window->编辑框_2G数据库_CI->setText("20002");
        window->编辑框_2G数据库_BCC->setText("");
        {
            Dialogs dialogs;
            click(window->按钮_2G基站数据_修改);
            QCOMPARE(dialogs.messages(), QStringList{"修改成功"});
        }
        auto reopened = store::load(ws->session.current2G, LibraryKind::Gsm);
        QVERIFY(reopened);
        QCOMPARE((*reopened)->at(1).ID, 6);
        QVERIFY((*reopened)->at(1).toRecord().fields ==
                (std::vector<std::string>{"G站", "G2", "4502", "20002", "61", "3", ""}));
        QVERIFY((*reopened)->at(0).field(3) == "10001");

        window->编辑框_2G数据库_小区名->setText("G9");
        Dialogs dialogs;
        click(window->按钮_2G基站数据_查询);
        click(window->按钮_2G基站数据_修改);
        QCOMPARE(dialogs.messages(), (QStringList{"G9小区不存在！", "查找不到ID"}));
    }

    void recordGroupWriteFailureKeepsTheRecord() {
        Settings2GWindow* window = openSettings2G();
        QVERIFY(window);
        std::filesystem::remove(ws->session.current2G);
        std::filesystem::create_directory(ws->session.current2G);
        window->编辑框_2G数据库_小区名->setText("G1");
        window->编辑框_2G数据库_LAC->setText("1");
        Dialogs dialogs;
        click(window->按钮_2G基站数据_修改);
        QCOMPARE(dialogs.messages(),
                 QStringList{qs("修改失败，写入失败：工参库无法读取：" +
                                platform::utf8Name(ws->session.current2G) + "\r\n文件不存在")});
        click(window->按钮_2G基站数据_查询);
        QCOMPARE(window->编辑框_2G数据库_LAC->text(), QString("4501"));
    }
};

QTEST_MAIN(SettingsWindowsTest)
#include "settingswindows_test.moc"
