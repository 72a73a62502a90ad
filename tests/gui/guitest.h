#pragma once
// Helpers for the GUI tests: the answers of the dialogs a click will open,
// set before the click (no dialog is ever shown or waited for), and the
// windows a test leaves behind.

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "gui/base/backgroundrun.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"
#include "testsupport.h"

namespace brindle::guitest {

using namespace brindle::test;

// Installs preset dialog answers for as long as it lives: message texts are
// recorded, questions take their answers by id, file dialogs take `files`.
class Dialogs : public gui::GuiFeedback::Preset {
public:
    Dialogs() { gui::GuiFeedback::preset(this); }
    ~Dialogs() { gui::GuiFeedback::preset(nullptr); }
    Dialogs(const Dialogs&) = delete;
    Dialogs& operator=(const Dialogs&) = delete;

    QStringList messages() const {
        QStringList out;
        for (const auto& text : shown) out << gui::qs(text);
        return out;
    }
    void file(const std::filesystem::path& path) { files.push_back(path); }
    void cancelFile() { files.push_back(std::nullopt); }
};

// Waits until every run the window started on its worker has ended and
// its results are shown. False when one is still working after `limit`.
inline bool waitForRuns(int limit = 50'000) {
    QElapsedTimer waited;
    waited.start();
    while (gui::runsInProgress() > 0 && waited.elapsed() < limit) QTest::qWait(2);
    return gui::runsInProgress() == 0;
}

// Clicks `button` and waits for the run it started, if it started one.
inline void click(QAbstractButton* button) {
    button->click();
    (void)waitForRuns();
}

// What the program remembers (folders, geometry, libraries) goes to a
// folder of the test binary's own, never to the engineer's settings file.
struct SettingsSandbox {
    QTemporaryDir dir;
    SettingsSandbox() {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    }
};
inline SettingsSandbox settingsSandbox;

inline QString qpath(const std::filesystem::path& path) {
    return gui::qs(platform::utf8Name(path));
}
using gui::fsPath;

// Deletes the windows a test left open. A window may own another (the 2G
// import window belongs to the start window), so each is checked before;
// one that has a parent (a combo box's popup, a dialog of a window) goes
// with its parent, which may still use it while it closes.
inline void deleteTopLevelWindows() {
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!w->parentWidget()) windows << w;
    for (const auto& w : windows) delete w.data();
}

// The one visible top-level window of type W; null when there is none or
// more than one.
template <typename W>
W* onlyShown() {
    W* found = nullptr;
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* match = qobject_cast<W*>(w); match && match->isVisible()) {
            found = match;
            ++count;
        }
    return count == 1 ? found : nullptr;
}

inline QByteArray readAll(const std::filesystem::path& path) {
    QFile f(qpath(path));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

}  // namespace brindle::guitest
