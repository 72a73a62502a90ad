#pragma once
// The desktop program's QApplication. An exception that escapes an event
// handler (a click, a timer, a paint) would otherwise end the program with
// everything the engineer had in its windows: here it is caught where Qt
// hands out each event, shown as "程序内部错误：<what>", and the program
// carries on with the next event. It also carries Brindle's icon, which
// every window without one of its own shows (title bar, taskbar).

#include <QApplication>

#include <string_view>

namespace brindle::gui {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void reportInternalError(std::string_view what);

    bool reporting_ = false;  // a box is open: a failure inside it is not boxed again
};

// Qt's own texts (the standard buttons, the file dialogs) in Chinese:
// qtbase_zh_CN.qm from translations/ beside the executable (the Windows
// package carries it there), else from Qt's own translations folder
// (Debian's qt6-translations-l10n). False when neither has it; Qt's texts
// then stay English.
bool installQtTranslation(QApplication& app);

}  // namespace brindle::gui
