// The desktop program's last line of defence: an exception out of an event
// handler is shown and the program carries on.

#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest>

#include <new>
#include <stdexcept>

#include "gui/app/mainwindow.h"
#include "gui/base/application.h"
#include "gui/base/widgets.h"
#include "guitest.h"

using namespace brindle;
using namespace brindle::guitest;

namespace {

// A widget whose handlers fail the way a programming error would.
class FailingButton : public QPushButton {
public:
    int handled = 0;

protected:
    void mousePressEvent(QMouseEvent*) override {
        ++handled;
        throw std::out_of_range("frequency settings number out of range: 14");
    }
    void keyPressEvent(QKeyEvent*) override {
        ++handled;
        throw 42;  // not even a std::exception
    }
};

}  // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void anExceptionFromAHandlerIsShownAndTheProgramCarriesOn() {
        FailingButton button;
        button.show();
        Dialogs dialogs;
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(dialogs.messages(),
                 QStringList{"程序内部错误：frequency settings number out of range: 14"});
        QCOMPARE(button.handled, 1);

        // The next events are handled as usual.
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(button.handled, 2);
        QCOMPARE(dialogs.messages().size(), 2);
    }

    void anythingElseThrownIsShownToo() {
        FailingButton button;
        button.show();
        button.setFocus();
        Dialogs dialogs;
        QTest::keyClick(&button, Qt::Key_A);
        QCOMPARE(dialogs.messages(), QStringList{"程序内部错误：未知错误"});
        QCOMPARE(button.handled, 1);
    }

    // A unit a run reads that the window has lost is told as the program's
    // error; the run does not go on as if the box were empty.
    void aRunMissingAUnitOfItsWindowIsAnInternalError() {
        Workspace ws;
        auto* window = new gui::MainWindow(ws.session);
        window->show();
        delete window->开关基站_功率编辑框;
        gui::setBoxText(window->开关基站_基站名编辑框, "甲-1");
        Dialogs dialogs;
        QTest::mouseClick(window->开关基站_按钮_修改功率, Qt::LeftButton);
        QVERIFY(waitForRuns());
        QCOMPARE(dialogs.messages(),
                 QStringList{"程序内部错误：窗口缺少单元：开关基站_功率编辑框"});
        QVERIFY(window->开关基站_生成脚本编辑框->document()->isEmpty());
        delete window;
    }

    void aPostedEventThatFailsDoesNotStopTheQueue() {
        bool later = false;
        QTimer::singleShot(0, [] { throw std::bad_alloc(); });
        QTimer::singleShot(0, [&later] { later = true; });
        Dialogs dialogs;
        QTRY_VERIFY_WITH_TIMEOUT(later, 5000);
        QCOMPARE(dialogs.messages().size(), 1);
        QVERIFY(dialogs.messages()[0].startsWith("程序内部错误："));
    }

    // The PNGs live in a resource of a static library, which the linker drops
    // unless something names it.
    void theWindowsCarryBrindlesIconInEverySize() {
        const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
        QCOMPARE(sizes.size(), 7);
        QVERIFY(sizes.contains(QSize(16, 16)));
        QVERIFY(sizes.contains(QSize(256, 256)));
    }

    // Last: the translation stays installed for the rest of the process.
    void qtsOwnButtonsSpeakChinese() {
        QVERIFY(gui::installQtTranslation(*qApp));
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Ok)->text(), QString("确定"));
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QString("取消"));
    }
};

int main(int argc, char** argv) {
    brindle::gui::Application app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
