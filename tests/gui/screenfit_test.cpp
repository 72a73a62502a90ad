// Every window the program opens fits a 1366×768 screen at 125 % and 150 %:
// it opens inside the screen's available area, centred, and shrinks to
// 1024×560 (or to the screen, where that is smaller) with every button and
// progress bar still inside the window or inside a scroll area.
//
// The screen is the offscreen platform's, configured before the
// QApplication exists, so the test has its own main: one application per
// scale, the test object run under each.

#include <QAbstractButton>
#include <QDir>
#include <QLayout>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <functional>

#include "core/app/exporttools.h"
#include "gui/app/mainwindow.h"
#include "gui/app/startwindow.h"
#include "gui/app/windowflow.h"
#include "gui/library/querywindow.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::gui;
using namespace brindle::guitest;

namespace {

const QSize kSmallest(1024, 560);

// The window a step opened: the last shown window that was not shown before.
QWidget* newest(const QList<QWidget*>& before) {
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::Window && !before.contains(w)) found = w;
    return found;
}

}  // namespace

class ScreenFitTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<WindowFlow> flow;

    MainWindow* main() { return flow->showMain(); }
    // Clicks and returns the window it opened.
    static QWidget* opens(const std::function<void()>& step) {
        QList<QWidget*> before;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) before << w;
        step();
        (void)waitForRuns();  // the check window checks its file as it opens
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return newest(before);
    }
    QWidget* fromMain(QPushButton* MainWindow::*button) {
        MainWindow* m = main();
        return opens([&] { (m->*button)->click(); });
    }

    // Each window as the program opens it; an export tool's from its row.
    std::vector<std::pair<QString, std::function<QWidget*()>>> windows() {
        std::vector<std::pair<QString, std::function<QWidget*()>>> all = {
            {"start", [this] { return opens([this] { flow->showStart(); }); }},
            {"import4G",
             [this] {
                 StartWindow* start = flow->showStart();
                 return opens([start] { start->添加工参按钮->click(); });
             }},
            {"import2G",
             [this] {
                 StartWindow* start = flow->showStart();
                 return opens([start] { start->添加2G工参按钮->click(); });
             }},
            {"main", [this] { return opens([this] { flow->showMain(); }); }},
            {"planEditor", [this] { return fromMain(&MainWindow::按钮_4G小区操作_频点配置按钮); }},
            {"settings2G",
             [this] { return fromMain(&MainWindow::按钮_2G小区操作_参数2G设置按钮); }},
            {"query", [this] { return fromMain(&MainWindow::按钮_4G小区操作_修改工参数据按钮); }},
            {"recordEdit",
             [this] {
                 auto* query = qobject_cast<QueryWindow*>(
                     fromMain(&MainWindow::按钮_4G小区操作_修改工参数据按钮));
                 if (!query) return static_cast<QWidget*>(nullptr);
                 query->编辑框1->setText("1");
                 click(query->查询数据按钮);
                 return opens([query] { query->修改数据按钮->click(); });
             }},
            {"scriptCheck",
             [this] {
                 const auto path = ws->dir / "s.txt";
                 writeFile(path, "ACT CELL:LOCALCELLID=0;\r\n");
                 Dialogs dialogs;
                 dialogs.file(path);
                 MainWindow* m = main();
                 return opens([m] { m->动作_检查脚本文件->trigger(); });
             }},
            {"splitter", [this] { return fromMain(&MainWindow::按钮_4G小区操作_脚本分割按钮); }},
            {"siteType", [this] { return fromMain(&MainWindow::按钮_4G小区操作_站型转换); }},
        };
        for (const ExportTool& tool : exportTools())
            all.emplace_back(qs(tool.name), [this, unit = qs(tool.unit)] {
                MainWindow* m = main();
                auto* button = m->findChild<QPushButton*>(unit);
                return button ? opens([button] { button->click(); }) : nullptr;
            });
        return all;
    }

    void rows() {
        QTest::addColumn<int>("index");
        int i = 0;
        for (const auto& [name, open] : windows()) QTest::newRow(qPrintable(name)) << i++;
    }
    QWidget* open() {
        QFETCH(int, index);
        return windows().at(std::size_t(index)).second();
    }
    static QRect available(QWidget* w) { return w->screen()->availableGeometry(); }
    // The size the window must reach: 1024×560, or the screen's room where
    // that is smaller.
    static QSize smallest(QWidget* w) {
        const QMargins frame = w->windowHandle()->frameMargins();
        return kSmallest.boundedTo(available(w).size().shrunkBy(frame));
    }

private slots:
    void init() {
        ws = std::make_unique<Workspace>();
        useLibrary(ws->session, "a.edb", LibraryKind::Lte,
                   {cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"})});
        useLibrary(ws->session, "g.edb", LibraryKind::Gsm,
                   {cell2G(5, {"G站", "G1", "4501", "10001", "60", "1", "2"})});
        flow = std::make_unique<WindowFlow>(ws->session);
    }
    void cleanup() {
        deleteTopLevelWindows();
        flow.reset();
        ws.reset();
    }

    void opensCentredInsideTheScreen_data() { rows(); }
    void opensCentredInsideTheScreen() {
        QWidget* w = open();
        QVERIFY(w);
        const QRect frame = w->frameGeometry();
        qInfo("%s opens %dx%d (frame %dx%d), smallest %dx%d, screen %dx%d", QTest::currentDataTag(),
              w->width(), w->height(), frame.width(), frame.height(), w->minimumSizeHint().width(),
              w->minimumSizeHint().height(), available(w).width(), available(w).height());
        QVERIFY2(available(w).contains(frame), qPrintable(QString("%1,%2 %3x%4")
                                                              .arg(frame.x())
                                                              .arg(frame.y())
                                                              .arg(frame.width())
                                                              .arg(frame.height())));
        const QPoint off = frame.center() - available(w).center();
        QVERIFY2(std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1,
                 qPrintable(QString("%1,%2").arg(off.x()).arg(off.y())));
    }

    void shrinksToTheSmallestSize_data() { rows(); }
    void shrinksToTheSmallestSize() {
        QWidget* w = open();
        QVERIFY(w);
        const QSize target = smallest(w);
        QVERIFY(w->minimumSize().width() <= target.width());
        QVERIFY(w->minimumSize().height() <= target.height());
        QVERIFY2(w->minimumSizeHint().boundedTo(target) == w->minimumSizeHint(),
                 qPrintable(QString("%1x%2")
                                .arg(w->minimumSizeHint().width())
                                .arg(w->minimumSizeHint().height())));
        w->resize(target);
        QCOMPARE(w->size(), target);
        // Every page: each button and progress bar lies inside the window or
        // inside a scroll area, where scrolling reaches it.
        const QList<QTabWidget*> tabs = w->findChildren<QTabWidget*>();
        const int pages = tabs.isEmpty() ? 1 : tabs.front()->count();
        for (int page = 0; page < pages; ++page) {
            if (!tabs.isEmpty()) tabs.front()->setCurrentIndex(page);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QList<QWidget*> controls;
            for (auto* b : w->findChildren<QAbstractButton*>()) controls << b;
            for (auto* b : w->findChildren<QProgressBar*>()) controls << b;
            for (QWidget* c : controls) {
                if (!c->isVisibleTo(w)) continue;
                QWidget* frame = w;
                for (QWidget* p = c->parentWidget(); p && p != w; p = p->parentWidget())
                    if (auto* area = qobject_cast<QScrollArea*>(p); area && area->widget()) {
                        frame = area->widget();
                        break;
                    }
                const QRect at(c->mapTo(frame, QPoint(0, 0)), c->size());
                QVERIFY2(frame->rect().contains(at),
                         qPrintable(c->objectName() + " on page " + QString::number(page)));
            }
        }
    }
};

// One application per scale on a 1366×768 screen: its logical DPI over the
// base DPI is the scale Qt applies. The offscreen platform reads its screen
// from a file named relative to the working folder (a Windows drive letter
// would end the platform's option at its colon). A "-platform" on the
// command line would win over the setting, so it is dropped.
int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (QByteArray(argv[i]) == "-platform" && i + 1 < argc) {
            ++i;
            continue;
        }
        args.push_back(argv[i]);
    }
    int status = 0;
    for (const int dpi : {120, 144}) {
        QTemporaryDir dir;
        QFile config(dir.filePath("screen.json"));
        if (!config.open(QIODevice::WriteOnly)) return 1;
        config.write(QByteArray(R"({"synchronousWindowSystemEvents": true,
            "windowFrameMargins": true, "screens": [{"name": "laptop", "x": 0, "y": 0,
            "width": 1366, "height": 768, "logicalDpi": )") +
                     QByteArray::number(dpi) + R"(, "logicalBaseDpi": 96, "dpr": 1}]})");
        config.close();
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=screen.json");
        int count = int(args.size());
        QApplication app(count, args.data());
        QDir::setCurrent(cwd);
        qInfo("scale %.2f: screen %dx%d logical",
              QGuiApplication::primaryScreen()->devicePixelRatio(),
              QGuiApplication::primaryScreen()->availableGeometry().width(),
              QGuiApplication::primaryScreen()->availableGeometry().height());
        ScreenFitTest test;
        status |= QTest::qExec(&test, count, args.data());
    }
    return status;
}

#include "screenfit_test.moc"
