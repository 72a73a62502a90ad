// The export tool windows: PCI change, neighbour inheritance, capacity
// reduction and frequency change, opened from the main window and run over
// an export workbook.

#include <QtTest>

#include "core/app/exporttools.h"
#include "core/base/platform.h"
#include "core/base/textcodec.h"
#include "core/library/store.h"
#include "exportworkbook.h"
#include "gui/app/mainwindow.h"
#include "gui/app/windowflow.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"
#include "gui/export/freqchangewindow.h"
#include "gui/export/inheritancewindow.h"
#include "gui/export/pcichangewindow.h"
#include "gui/export/reductionwindow.h"
#include "gui/freqplan/settings2gwindow.h"
#include "guitest.h"

using brindle::test::gbk;
using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

namespace {

QByteArray gbkBytes(std::string_view utf8) {
    return QByteArray::fromStdString(gbk(utf8));
}

// Windows closed with WA_DeleteOnClose go at the next turn of the event loop.
void deleteClosed() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

const char* const kOpenFailed = "请安装OFFICE服务或关闭将要打开的EXCEL\r\n";

}  // namespace

class ExportWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<WindowFlow> flow;
    std::filesystem::path exportPath;

    template <typename W>
    W* openFromMain(QPushButton* MainWindow::*button) {
        MainWindow* main = flow->showMain();
        click((main->*button));
        deleteClosed();
        return onlyShown<W>();
    }

    // Opens the export workbook through the window's choose button.
    void choose(QPushButton* button) {
        Dialogs dialogs;
        dialogs.file(exportPath);
        click(button);
        QCOMPARE(dialogs.messages(), QStringList{"外部数据库打开成功"});
    }

    // The main window the tool took the place of is shown again as it was.
    void checkMainAsLeft(const QPointer<MainWindow>& before) {
        deleteClosed();
        QVERIFY(before);
        QCOMPARE(flow->mainWindow(), before.data());
        QVERIFY(before->isVisible());
        QCOMPARE(before->编辑框_4G源小区->toPlainText(), QString("甲"));
    }

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        // share site and PCI (A-3 came with a capacity expansion).
        useLibrary(ws->session, "站.edb", LibraryKind::Lte,
                   {cell4G(1, {"站A", "A-1", "0", "1001", "1", "38400", "100", "2001"}),
                    cell4G(2, {"站A", "A-2", "1", "1001", "2", "38400", "101", "2001"}),
                    cell4G(3, {"站A", "A-3", "2", "1001", "3", "38950", "100", "2001"}),
                    cell4G(4, {"站B", "B-1", "0", "1002", "1", "38400", "200", "2002"}),
                    cell4G(5, {"站C", "C-1", "0", "1003", "1", "38950", "300", "2003"}),
                    cell4G(6, {"站N", "N-1", "0", "1004", "1", "38400", "400", "2004"})});
        useLibrary(ws->session, "g.edb", LibraryKind::Gsm,
                   {cell2G(5, {"G站", "G1", "4501", "10001", "60", "1", "2"}),
                    cell2G(6, {"G站", "G2", "4502", "10002", "61", "3", "4"})});
        test::writeFile(ws->session.folder.earfcnIni(),
                        gbk("[其它项]\r\n最低接收电平=-64\r\n"
                            "[频点1设置]\r\n频点=38400\r\n优先级=5\r\n测试带宽=MBW100\r\n"
                            "切换事件=A4\r\n"
                            "[频点2设置]\r\n频点=38950\r\n优先级=6\r\n测试带宽=MBW50\r\n"
                            "切换事件=A3\r\n"));
        test::writeFile(ws->session.folder.ini2G(),
                        gbk("[Config]\r\n开始频点=512\r\nBCCH组标识=1\r\nGSM_dcs1800=DCS1800\r\n"
                            "GERAN系统版本信息=GSM_V9\r\n位置区域码配置指示=CFG\r\n"));
        // B-1 holds A-1 as a neighbour; A-1 has two GSM neighbours; two NEs
        // define cells of A-1's site with PCI 100, a third one A-2's.
        exportPath = ws->dir / "导出 报文.xlsx";
        test::writeExportWorkbook(
            exportPath,
            {test::intraRelationSheet(
                 {{"站B", "0", "460", "00", "1001", "1"}, {"站B", "0", "460", "00", "1001", "2"}}),
             test::interRelationSheet({}),
             test::geranRelationSheet({{"站A", "0", "460", "00", "4501", "10001"},
                                       {"站A", "0", "460", "00", "4502", "10002"},
                                       {"站A", "1", "460", "00", "4501", "10001"}}),
             test::externalCellSheet({{"站B", "460", "00", "1001", "1", "38400", "100"},
                                      {"站C", "460", "00", "1001", "3", "38950", "100"},
                                      {"站C", "460", "00", "1001", "2", "38400", "101"}})});
        flow = std::make_unique<WindowFlow>(ws->session);
    }
    void cleanup() {
        deleteTopLevelWindows();
        flow.reset();
        ws.reset();
    }

    // ---- window flow ----

    void pciAndFrequencyChangeOpenModallyBesideTheMainWindow() {
        MainWindow* main = flow->showMain();
        auto* pci = openFromMain<PciChangeWindow>(&MainWindow::按钮_4G小区操作_修改PCI按钮);
        QVERIFY(pci);
        QVERIFY(pci->isModal());
        QCOMPARE(flow->mainWindow(), main);
        QVERIFY(main->isVisible());
        QPointer<PciChangeWindow> watched = pci;
        main->hide();
        click(pci->返回按钮);
        deleteClosed();
        QVERIFY(!watched);
        QCOMPARE(flow->mainWindow(), main);
        QVERIFY(main->isVisible());

        auto* change = openFromMain<FrequencyChangeWindow>(&MainWindow::按键_一键改频点);
        QVERIFY(change);
        QVERIFY(change->isModal());
        QVERIFY(main->isVisible());
        main->hide();
        change->close();
        QVERIFY(main->isVisible());
    }

    // Every row of the export-tool table has its button on the 4G page,
    // captioned from the row, and opens a window titled so, as the row says.
    void everyExportToolRowHasItsButtonAndWindow() {
        for (const ExportTool& tool : exportTools()) {
            MainWindow* main = flow->showMain();
            auto* button = main->findChild<QPushButton*>(qs(tool.unit));
            QVERIFY2(button, tool.unit.data());
            QCOMPARE(button->text(), qs(tool.caption));
            QVERIFY(main->选择夹1->widget(0)->isAncestorOf(button));
            click(button);
            auto* window = onlyShown<ExportWindow>();
            QVERIFY2(window, tool.name.data());
            QCOMPARE(window->windowTitle(), qs(tool.caption));
            const bool beside = tool.opens == ToolOpens::ModalBeside;
            QCOMPARE(window->isModal(), beside);
            QCOMPARE(main->isVisible(), beside);
            window->close();
            deleteClosed();
        }
    }

    void inheritanceAndReductionOpenInTheMainWindowsPlace() {
        QVERIFY(ws->session.settings2G.bcchGroupId.empty());
        const QPointer<MainWindow> main = flow->showMain();
        main->编辑框_4G源小区->setPlainText("甲");
        auto* inheritance = openFromMain<InheritanceWindow>(&MainWindow::一键扩容按钮);
        QVERIFY(inheritance);
        QVERIFY(!main->isVisible());
        // Opening reloads the 2G settings the GSM lines carry.
        QCOMPARE(ws->session.settings2G.bcchGroupId, std::string("1"));
        inheritance->close();
        checkMainAsLeft(main);

        test::writeFile(ws->session.folder.ini2G(), gbk("[Config]\r\nBCCH组标识=7\r\n"));
        auto* reduction = openFromMain<ReductionWindow>(&MainWindow::一键减容按钮);
        QVERIFY(reduction);
        QVERIFY(!main->isVisible());
        QCOMPARE(ws->session.settings2G.bcchGroupId, std::string("7"));
        // "频点1设置" … "频点11设置", empty values as empty lines.
        QCOMPARE(qs(boxText(reduction->频点4G_编辑框)),
                 QString("38400\r\n38950\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));
        click(reduction->参数2G设置按钮);
        QVERIFY(onlyShown<Settings2GWindow>());
        reduction->close();
        checkMainAsLeft(main);
    }

    // ---- choosing the workbook ----

    void choosingAWorkbookTellsHowItWent() {
        test::writeFile(ws->dir / "坏.xlsx", "not a workbook");
        struct Case {
            ExportWindow* window;
            QPushButton* button;
            const char* filter;
            const char* failTitle;
        };
        auto* pci = new PciChangeWindow(ws->session);
        auto* inheritance = new InheritanceWindow(ws->session);
        auto* reduction = new ReductionWindow(ws->session);
        auto* change = new FrequencyChangeWindow(ws->session);
        const Case cases[] = {
            {pci, pci->选择MML外部报文按钮, "excel文件|*.xlsx;*.xls", ""},
            {inheritance, inheritance->选择MML报文按钮, "", "系统提示"},
            {reduction, reduction->按钮1, "excel文件|*.xlsx;*.xls", "系统提示"},
            {change, change->按钮_选择MML报文, "excel文件|*.xlsx;*.xls", "系统提示"},
        };
        for (const Case& c : cases) {
            const QByteArray unit = c.button->objectName().toUtf8();
            Dialogs dialogs;
            dialogs.cancelFile();
            dialogs.file(exportPath);
            dialogs.file(ws->dir / "坏.xlsx");
            click(c.button);  // cancelled: nothing said, nothing opened
            QVERIFY2(!c.window->book(), unit);
            click(c.button);
            exports::ExportBook* opened = c.window->book();
            QVERIFY2(opened, unit);
            click(c.button);
            QCOMPARE(dialogs.messages().size(), 2);
            QCOMPARE(dialogs.messages()[0], QString("外部数据库打开成功"));
            QCOMPARE(dialogs.titles[0], std::string());
            QVERIFY2(dialogs.messages()[1].startsWith(kOpenFailed), unit);
            QVERIFY2(dialogs.messages()[1].size() > QString(kOpenFailed).size(), unit);
            QCOMPARE(qs(dialogs.titles[1]), QString(c.failTitle));
            // The failed choice keeps the workbook that was open.
            QCOMPARE(c.window->book(), opened);
            QCOMPARE(dialogs.requests.size(), std::size_t(3));
            QCOMPARE(qs(dialogs.requests[0].filter), QString(c.filter));
            // A window's first dialog starts where the last export was chosen
            // (the desktop before any), its next ones where it chose.
            QCOMPARE(dialogs.requests[0].startFolder,
                     &c == cases ? platform::desktopFolder() : exportPath.parent_path());
            QCOMPARE(dialogs.requests[2].startFolder, exportPath.parent_path());
        }
    }

    void generatorsWithoutAWorkbookAskForOne() {
        PciChangeWindow pci(ws->session);
        InheritanceWindow inheritance(ws->session);
        ReductionWindow reduction(ws->session);
        FrequencyChangeWindow change(ws->session);
        pci.改PCI小区名1编辑框->setText("A-1");
        pci.扩容小区数据编辑框->setText("3");
        inheritance.扩容小区编辑框->setText("N-1");
        inheritance.继承小区编辑框->setText("A-1");
        reduction.操作小区名编辑框->setText("A-1");
        reduction.源小区编辑框->setPlainText("手写");
        change.编辑框_小区名->setText("A-1");
        for (QPushButton* button : {pci.新PCI修改按钮, inheritance.生成脚本按钮,
                                    reduction.生成相关信息按钮, change.按钮_生成脚本}) {
            Dialogs dialogs;
            click(button);
            QCOMPARE(dialogs.messages(), QStringList{"请先选择MML报文！"});
        }
        QCOMPARE(pci.脚本编辑框->toPlainText(), QString());
        QCOMPARE(inheritance.脚本编辑框->toPlainText(), QString());
        QCOMPARE(change.编辑框_脚本内容->toPlainText(), QString());
        QCOMPARE(reduction.源小区编辑框->toPlainText(), QString("手写"));
    }

    // ---- PCI change ----

    void pciChangeQueriesGeneratesAndSaves() {
        PciChangeWindow w(ws->session);
        w.show();
        choose(w.选择MML外部报文按钮);
        w.改PCI小区名1编辑框->setText("A-1");
        w.修改PCI1编辑框->setText("7");
        w.扩容小区数据编辑框->setText("3");
        {
            Dialogs dialogs;
            click(w.查询按钮);
            QCOMPARE(dialogs.messages(), QStringList{"预修改PCI小区2名为空，当前单小区修改！"});
        }
        QCOMPARE(w.标签6->text(), QString("1001"));
        QCOMPARE(w.标签7->text(), QString("100"));
        QCOMPARE(w.标签8->text(), QString());
        QCOMPARE(w.标签11->text(), QString());

        // Before any run the name comes from cell 1's site.
        QCOMPARE(qs(w.proposedScriptName()), QString("站A_PCI修改脚本"));
        const std::string script =
            "DEA CELL:LOCALCELLID=0;{站A}\r\n"
            "MOD CELL:LOCALCELLID=0,PHYCELLID=110;{站A}\r\n"
            "DEA CELL:LOCALCELLID=2;{站A}\r\n"
            "MOD CELL:LOCALCELLID=2,PHYCELLID=110;{站A}\r\n"
            "MOD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=1,PHYCELLID=7;{站B}"
            "\r\n"
            "MOD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=3,PHYCELLID=7;{站C}"
            "\r\n"
            "MOD CELL:LOCALCELLID=0,PHYCELLID=7;{站A}\r\n"
            "ACT CELL:LOCALCELLID=0;{站A}\r\n"
            "MOD CELL:LOCALCELLID=2,PHYCELLID=7;{站A}\r\n"
            "ACT CELL:LOCALCELLID=2;{站A}\r\n";
        {
            Dialogs dialogs;
            click(w.新PCI修改按钮);
            click(w.新PCI修改按钮);
            QCOMPARE(dialogs.messages(),
                     (QStringList{"修改PCI脚本已生成！", "修改PCI脚本已生成！"}));
        }
        QCOMPARE(qs(boxText(w.脚本编辑框)), qs(script + "\r\n" + script + "\r\n"));

        TempDir out;
        Dialogs dialogs;
        dialogs.file(out / "pci");  // the extension comes with the save
        click(w.另存为脚本按钮);
        QVERIFY(dialogs.messages().isEmpty());
        QCOMPARE(dialogs.requests.size(), std::size_t(1));
        QCOMPARE(qs(dialogs.requests[0].proposedName), QString("站A_PCI修改脚本"));
        QCOMPARE(qs(dialogs.requests[0].filter), QString("文本|*.txt"));
        QCOMPARE(dialogs.requests[0].startFolder, platform::desktopFolder());
        QCOMPARE(readAll(out / "pci.txt"), gbkBytes(script));
        QCOMPARE(qs(boxText(w.脚本编辑框)), qs(script));
    }

    void pciSaveNameBeforeAnyRun() {
        PciChangeWindow w(ws->session);
        w.改PCI小区名1编辑框->setText("B-1");
        QCOMPARE(qs(w.proposedScriptName()), QString("站B_PCI修改脚本"));
        // A name the library does not hold is the best the window has.
        w.改PCI小区名1编辑框->setText("未知");
        QCOMPARE(qs(w.proposedScriptName()), QString("未知_PCI修改脚本"));
        // A cancelled save writes nothing and, nothing having failed, says nothing.
        w.脚本编辑框->setPlainText("X\nX");
        Dialogs dialogs;
        click(w.另存为脚本按钮);
        QCOMPARE(dialogs.messages(), QStringList{});
        QCOMPARE(qs(dialogs.requests.at(0).proposedName), QString("未知_PCI修改脚本"));
        QCOMPARE(qs(boxText(w.脚本编辑框)), QString("X\r\n"));
    }

    void pciQueryOfAnotherCellDropsTheOldLabels() {
        PciChangeWindow w(ws->session);
        w.改PCI小区名1编辑框->setText("A-1");
        w.改PCI小区名2编辑框->setText("B-1");
        Dialogs dialogs;
        click(w.查询按钮);
        QCOMPARE(w.标签8->text(), QString("1002"));
        QCOMPARE(w.标签11->text(), QString("200"));
        w.改PCI小区名2编辑框->setText("无此小区");
        click(w.查询按钮);
        QCOMPARE(dialogs.messages(), QStringList{"无此小区小区不存在！"});
        QCOMPARE(w.标签7->text(), QString("100"));
        QCOMPARE(w.标签8->text(), QString());
        QCOMPARE(w.标签11->text(), QString());
    }

    void pciUpdateWritesTheLibrary() {
        PciChangeWindow w(ws->session);
        w.改PCI小区名1编辑框->setText("A-2");
        {
            Dialogs dialogs;
            click(w.修改按钮);
            QCOMPARE(dialogs.messages(), QStringList{"修改的PCI不能为空"});
        }
        w.修改PCI1编辑框->setText("37");
        w.改PCI小区名2编辑框->setText("B-1");
        w.修改PCI2编辑框->setText("38");
        {
            Dialogs dialogs;
            click(w.修改按钮);
            QCOMPARE(dialogs.messages(), (QStringList{"修改成功", "修改成功"}));
        }
        const Library& inMemory = *ws->session.library4G;
        QCOMPARE(qs(inMemory.at(1).field(6)), QString("37"));
        QCOMPARE(qs(inMemory.at(3).field(6)), QString("38"));
        const auto onDisk = store::load(inMemory.path(), LibraryKind::Lte);
        QVERIFY(onDisk);
        QCOMPARE(qs((*onDisk)->at(1).field(6)), QString("37"));
        QCOMPARE(qs((*onDisk)->at(3).field(6)), QString("38"));
        QCOMPARE(qs((*onDisk)->at(0).field(6)), QString("100"));
    }

    // ---- neighbour inheritance ----

    void inheritanceGeneratesAndSaves() {
        InheritanceWindow w(ws->session);
        w.show();
        choose(w.选择MML报文按钮);
        w.扩容小区编辑框->setText("N-1");
        w.继承小区编辑框->setText("A-1");
        {
            Dialogs dialogs;
            click(w.生成脚本按钮);
            QCOMPARE(dialogs.messages(), QStringList{"扩容脚本已经生成！"});
        }
        const std::string lte =
            "ADD EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=38400,ULEARFCNCFGIND=NOT_CFG,"
            "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=5,SPEEDDEPENDSPCFGIND=NOT_CFG,"
            "MEASBANDWIDTH=MBW100,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=EventA4,"
            "QQUALMINCFGIND=NOT_CFG;{站B}\r\n"
            "ADD EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=38400,ULEARFCNCFGIND=NOT_CFG,"
            "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=5,SPEEDDEPENDSPCFGIND=NOT_CFG,"
            "MEASBANDWIDTH=MBW100,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=EventA4,"
            "QQUALMINCFGIND=NOT_CFG;{站N}\r\n"
            "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1004,CELLID=1,DLEARFCN=38400,"
            "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=400,TAC=2004,CELLNAME=\"N-1\";{站B}\r\n"
            "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1002,CELLID=1,DLEARFCN=38400,"
            "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=200,TAC=2002,CELLNAME=\"B-1\";{站N}\r\n"
            "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1004,CELLID=1,"
            "LOCALCELLNAME=\"B-1\",NEIGHBOURCELLNAME=\"N-1\";{站B}\r\n"
            "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1002,CELLID=1,"
            "LOCALCELLNAME=\"N-1\",NEIGHBOURCELLNAME=\"B-1\";{站N}\r\n";
        const std::string group =
            "ADD GERANNFREQGROUP:LOCALCELLID=0,BCCHGROUPID=1,GERANVERSION=GSM_V9,"
            "STARTINGARFCN=512,BANDINDICATOR=DCS1800,CELLRESELPRIORITYCFGIND=CFG,"
            "CELLRESELPRIORITY=2,PMAXGERANCFGIND=NOT_CFG,THRESHXLOW=10,ConnFreqPriority=8;{站N}"
            "\r\n";
        const std::string gsmRest =
            "ADD GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=1,GERANARFCN=60;{站N}\r\n"
            "ADD GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=1,GERANARFCN=61;{站N}\r\n"
            "ADD GERANEXTERNALCELL:MCC=\"460\",MNC=\"00\",GERANCELLID=10001,LAC=4501,RACCFGIND=CFG,"
            "RAC=0,BANDINDICATOR=DCS1800,GERANARFCN=60,NETWORKCOLOURCODE=1,"
            "BASESTATIONCOLOURCODE=2,CELLNAME=\"G1\";{站N}\r\n"
            "ADD GERANEXTERNALCELL:MCC=\"460\",MNC=\"00\",GERANCELLID=10002,LAC=4502,RACCFGIND=CFG,"
            "RAC=0,BANDINDICATOR=DCS1800,GERANARFCN=61,NETWORKCOLOURCODE=3,"
            "BASESTATIONCOLOURCODE=4,CELLNAME=\"G2\";{站N}\r\n"
            "ADD GERANNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",LAC=4501,GERANCELLID=10001,"
            "NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"N-1\","
            "NEIGHBOURCELLNAME=\"G1\";{站N}\r\n"
            "ADD GERANNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",LAC=4502,GERANCELLID=10002,"
            "NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"N-1\","
            "NEIGHBOURCELLNAME=\"G2\";{站N}\r\n";
        // The frequency group is written once per GSM row; the save keeps one.
        QCOMPARE(qs(boxText(w.脚本编辑框)), qs(lte + group + group + gsmRest));

        TempDir out;
        Dialogs dialogs;
        dialogs.file(out / "扩容.txt");
        click(w.另存脚本按钮);
        QVERIFY(dialogs.messages().isEmpty());
        QCOMPARE(qs(dialogs.requests.at(0).proposedName), QString("N-1扩容脚本"));
        QCOMPARE(qs(dialogs.requests.at(0).filter), QString("脚本文件|*.txt"));
        QCOMPARE(readAll(out / "扩容.txt"), gbkBytes(lte + group + gsmRest));
    }

    // ---- capacity reduction ----

    void reductionListsScriptAndRollbackInTwoFiles() {
        ReductionWindow w(ws->session);
        w.show();
        choose(w.按钮1);
        w.操作小区名编辑框->setText("A-1");
        w.源小区编辑框->setPlainText("旧的");
        {
            Dialogs dialogs;
            click(w.生成相关信息按钮);
            QCOMPARE(dialogs.messages(), QStringList{"相关数据已生成！"});
        }
        QCOMPARE(qs(boxText(w.源小区编辑框)), QString("B-1\r\n"));
        QCOMPARE(qs(boxText(w.CI编辑框)), QString("10001\r\n10002\r\n"));

        // The engineer edits the lists: a CI twice, one the 2G library lacks,
        // and a shorter carrier list.
        w.CI编辑框->setPlainText("10001\n10002\n99999\n10001");
        w.频点4G_编辑框->setPlainText("38950\n38400\n1850");
        w.生成回退脚本选择框->setChecked(true);
        {
            Dialogs dialogs;
            click(w.生成脚本按钮);
            QCOMPARE(dialogs.messages(), QStringList{"减容脚本已经生成！"});
        }
        const std::string script =
            "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0,ENODEBID=1001,CELLID=1;{站B}\r\n"
            "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0;{站A}\r\n"
            "RMV EUTRANINTERFREQNCELL:LOCALCELLID=0;{站A}\r\n"
            "RMV EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=38950;{站A}\r\n"
            "RMV EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=1850;{站A}\r\n"
            "RMV EUTRANINTERNFREQ:LOCALCELLID=0;{站A}\r\n"
            "RMV GERANNCELL:LOCALCELLID=0;{站A}\r\n"
            "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=1,GERANARFCN=60;{站A}\r\n"
            "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=1,GERANARFCN=61;{站A}\r\n";
        const std::string repeated =
            "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=1,GERANARFCN=60;{站A}\r\n";
        const std::string tail =
            "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0;{站A}\r\n"
            "RMV GERANRANSHARE:LOCALCELLID=0,BCCHGROUPID=1,MCC=\"460\",MNC=\"00\";{站A}\r\n"
            "RMV GERANNFREQGROUP:LOCALCELLID=0;{站A}\r\n";
        QCOMPARE(qs(boxText(w.脚本编辑框)), qs(script + repeated + tail + "\r\n"));
        // The rollback lines stay out of the removal script.
        const std::string rollback =
            "ADD GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=1,GERANARFCN=60;{站A}\r\n"
            "ADD GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=1,GERANARFCN=61;{站A}\r\n";
        QCOMPARE(
            qs(boxText(w.回退脚本编辑框)),
            qs(rollback +
               "ADD GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=1,GERANARFCN=60;{站A}\r\n"));

        TempDir out;
        Dialogs dialogs;
        dialogs.file(out / "减容.txt");
        dialogs.file(out / "回退.txt");
        click(w.另存为文本按钮);
        QVERIFY(dialogs.messages().isEmpty());
        QCOMPARE(dialogs.requests.size(), std::size_t(2));
        QCOMPARE(qs(dialogs.requests[0].proposedName), QString("A-1"));
        QCOMPARE(qs(dialogs.requests[1].proposedName), QString("A-1回退"));
        QCOMPARE(qs(dialogs.requests[1].filter), QString("脚本文件|*.txt"));
        QCOMPARE(readAll(out / "减容.txt"), gbkBytes(script + tail));
        QCOMPARE(readAll(out / "回退.txt"), gbkBytes(rollback));

        click(w.清空内容按钮);
        for (QPlainTextEdit* box : {w.源小区编辑框, w.CI编辑框, w.脚本编辑框, w.回退脚本编辑框})
            QCOMPARE(box->toPlainText(), QString());
        QCOMPARE(w.频点4G_编辑框->toPlainText(), QString("38950\n38400\n1850"));
    }

    // Step 3 works from the lists alone, typed by hand without a workbook,
    // with the 2G settings as saved last (the window's own "2G参数设置"
    // changes them while it is open); unticked, there is no rollback and the
    // save asks for one file.
    void reductionFromHandTypedListsWithoutRollback() {
        ReductionWindow w(ws->session);
        test::writeFile(ws->session.folder.ini2G(), gbk("[Config]\r\nBCCH组标识=9\r\n"));
        w.操作小区名编辑框->setText("C-1");
        w.源小区编辑框->setPlainText("A-3\n不在库中");
        w.频点4G_编辑框->setPlainText("38950");
        w.回退脚本编辑框->setPlainText("上次的");
        {
            Dialogs dialogs;
            click(w.生成脚本按钮);
            QCOMPARE(dialogs.messages(), QStringList{"减容脚本已经生成！"});
        }
        const std::string script =
            "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=2,ENODEBID=1003,CELLID=1;{站A}\r\n"
            "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0;{站C}\r\n"
            "RMV EUTRANINTERFREQNCELL:LOCALCELLID=0;{站C}\r\n"
            "RMV EUTRANINTERNFREQ:LOCALCELLID=0;{站C}\r\n"
            "RMV GERANNCELL:LOCALCELLID=0;{站C}\r\n"
            "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0;{站C}\r\n"
            "RMV GERANRANSHARE:LOCALCELLID=0,BCCHGROUPID=9,MCC=\"460\",MNC=\"00\";{站C}\r\n"
            "RMV GERANNFREQGROUP:LOCALCELLID=0;{站C}\r\n";
        QCOMPARE(qs(boxText(w.脚本编辑框)), qs(script + "\r\n"));
        QCOMPARE(w.回退脚本编辑框->toPlainText(), QString());

        TempDir out;
        Dialogs dialogs;
        dialogs.file(out / "c.txt");
        click(w.另存为文本按钮);
        QCOMPARE(dialogs.requests.size(), std::size_t(1));
        QCOMPARE(readAll(out / "c.txt"), gbkBytes(script));

        // A missing cell leaves the boxes as they were.
        w.操作小区名编辑框->setText("Z-9");
        Dialogs missing;
        click(w.生成脚本按钮);
        QCOMPARE(missing.messages(), QStringList{"减容小区名不存在，请核对工参库！"});
        QCOMPARE(qs(boxText(w.脚本编辑框)), qs(script));
    }

    // A save never replaces the workbook, a library or a settings file the
    // window works from: the engineer is told, and nothing is written.
    void aSaveRefusesTheFilesInUse() {
        InheritanceWindow w(ws->session);
        choose(w.选择MML报文按钮);
        w.脚本编辑框->setPlainText("ACT CELL:LOCALCELLID=0;{站A}");
        for (const std::filesystem::path& file :
             {exportPath, ws->session.current4G, ws->session.folder.ini2G()}) {
            const QByteArray before = readAll(file);
            Dialogs dialogs;
            dialogs.file(file);
            click(w.另存脚本按钮);
            QCOMPARE(dialogs.messages(), QStringList{"不能覆盖正在使用的文件：" + qpath(file)});
            QCOMPARE(readAll(file), before);
        }
    }

    // ---- frequency change ----

    void frequencyChangeQueriesGeneratesAndSaves() {
        FrequencyChangeWindow w(ws->session);
        w.show();
        w.编辑框_小区名->setText("A-1");
        {
            Dialogs dialogs;
            click(w.按钮_查询);
            QVERIFY(dialogs.messages().isEmpty());
        }
        QCOMPARE(w.标签_原小区频点->text(), QString("38400"));
        choose(w.按钮_选择MML报文);
        {
            Dialogs dialogs;
            click(w.按钮_生成脚本);
            click(w.按钮_生成脚本);
            QVERIFY(dialogs.messages().isEmpty());
        }
        const std::string line =
            "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0,ENODEBID=1001,CELLID=1;{站B}\r\n";
        QCOMPARE(qs(boxText(w.编辑框_脚本内容)), qs(line + line));

        TempDir out;
        Dialogs dialogs;
        dialogs.file(out / "改.txt");
        click(w.按钮_另存脚本);
        QCOMPARE(qs(dialogs.requests.at(0).proposedName), QString("A-1改频点脚本"));
        QCOMPARE(qs(dialogs.requests.at(0).filter), QString("脚本文件|*.txt"));
        QCOMPARE(readAll(out / "改.txt"), gbkBytes(line));

        // A cell the library lacks: said, and the old carrier is not left standing.
        w.编辑框_小区名->setText("X-1");
        Dialogs missing;
        click(w.按钮_查询);
        click(w.按钮_生成脚本);
        QCOMPARE(missing.messages(), (QStringList{"X-1小区不存在！", "X-1小区不存在！"}));
        QCOMPARE(w.标签_原小区频点->text(), QString());
        QCOMPARE(qs(boxText(w.编辑框_脚本内容)), qs(line));
    }
};

QTEST_MAIN(ExportWindowsTest)
#include "exportwindows_test.moc"
