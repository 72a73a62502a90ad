// The 4G page's generator buttons driven through the window.

#include <QCheckBox>
#include <QtTest>

#include "gui/app/mainwindow.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

class Page4GTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestWorkspace> ws;
    MainWindow* w = nullptr;

    const std::string forward = "RMV EUTRANEXTERNALCELL:ENODEBID=1002,CELLID=21;{站甲}\r\n";
    const std::string reverse = "RMV EUTRANEXTERNALCELL:ENODEBID=1001,CELLID=10;{站乙}\r\n";

private slots:
    void init() {
        ws = std::make_unique<TestWorkspace>();
        makeLibrary(ws->session.folder.mu() / "a.edb", LibraryKind::Lte,
                    {cell(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"}),
                     cell(2, {"站乙", "乙-1", "1", "1002", "21", "38544", "101", "2002"})});
        ws->session.library4G =
            store::load(ws->session.folder.mu() / "a.edb", LibraryKind::Lte).value();
        w = new MainWindow(ws->session);
        w->show();
    }
    void cleanup() { delete w; }

    void linesContinueThePaneAndTheProgressBarMoves() {
        setBoxText(w->编辑框_4G源小区, "甲-1\r\n无\r\n");
        setBoxText(w->编辑框_4G目标小区, "乙-1\r\n乙-1\r\n");
        setBoxText(w->编辑框_4G脚本内容, "earlier");
        w->选择框_4G小区操作_双向操作选择框->setChecked(true);
        ModalDriver driver;
        w->按钮_4G小区操作_删除外部按钮->click();
        QCOMPARE(driver.messages, (QStringList{"无小区不存在！", "删除外部脚本生成成功！！"}));
        QCOMPARE(boxText(w->编辑框_4G脚本内容), "earlier" + forward + reverse);
        QCOMPARE(w->进度条4G->maximum(), 2);
        QCOMPARE(w->进度条4G->value(), 2);
    }

    void directOutputWritesTheFileAndLeavesThePaneAlone() {
        setBoxText(w->编辑框_4G源小区, "甲-1\r\n甲-1");
        setBoxText(w->编辑框_4G目标小区, "乙-1\r\n乙-1");
        w->选择框_4G小区操作_直出脚本->setChecked(true);
        ModalDriver driver;
        driver.files = {ws->dir.filePath("direct")};
        w->按钮_4G小区操作_删除外部按钮->click();
        QCOMPARE(driver.messages, QStringList{"删除外部脚本生成成功！！"});
        QCOMPARE(boxText(w->编辑框_4G脚本内容), "");
        QCOMPARE(
            readAll(ws->dir.filePath("direct.txt")),
            QByteArray("RMV EUTRANEXTERNALCELL:ENODEBID=1002,CELLID=21;{\xD5\xBE\xBC\xD7}\r\n"));
        QCOMPARE(ws->session.generalBuffer, "");
    }

    void addCarrierAsksItsTwoQuestions() {
        setBoxText(w->编辑框_4G源小区, "甲-1");
        setBoxText(w->编辑框_4G目标小区, "乙-1");
        ModalDriver driver;
        driver.answers = {QMessageBox::No, QMessageBox::Yes};
        w->按钮_4G小区操作_添加频点按钮->click();
        QCOMPARE(driver.messages, (QStringList{"是为城区，否为农村", "农村",
                                               "是否对加频点测量性能要求设置为降低的？",
                                               "添加频点脚本生成成功！！"}));
    }
};

QTEST_MAIN(Page4GTest)
#include "page4g_test.moc"
