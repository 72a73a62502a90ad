#pragma once
// Helpers for the GUI tests: answer the modal boxes and dialogs a click
// opens, and record every message shown.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <deque>
#include <filesystem>

#include "core/app/session.h"
#include "core/library/store.h"

namespace brindle::guitest {

// Watches for modal message boxes and file dialogs while a test clicks.
// Message boxes are recorded and answered with the queued button (OK or Yes
// by default); file dialogs take the queued path, or are cancelled when the
// queued path is empty.
class ModalDriver : public QObject {
public:
    QStringList messages;
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QString> files;

    ModalDriver() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
        timer_.start();
    }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (box->property("answered").toBool()) return;
            box->setProperty("answered", true);
            messages << box->text();
            QMessageBox::StandardButton choice = QMessageBox::NoButton;
            if (!answers.empty() && box->standardButtons() != QMessageBox::Ok) {
                choice = answers.front();
                answers.pop_front();
            } else {
                choice =
                    box->standardButtons() & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok;
            }
            box->button(choice)->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (dialog->property("answered").toBool()) return;
            dialog->setProperty("answered", true);
            const QString file = files.empty() ? QString() : files.front();
            if (!files.empty()) files.pop_front();
            if (file.isEmpty()) {
                dialog->reject();
            } else {
                dialog->selectFile(file);
                QMetaObject::invokeMethod(dialog, "accept");
            }
        }
    }

    QTimer timer_;
};

inline std::filesystem::path fsPath(const QString& s) {
    return std::filesystem::path(s.toStdString());
}

// A fresh program folder and its session, for one test function.
struct TestWorkspace {
    QTemporaryDir dir;
    Session session{fsPath(dir.path())};
};

// Deletes the windows a test left open. A window may own another (the 2G
// import window belongs to the start window), so each is checked before.
inline void deleteTopLevelWindows() {
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) windows << w;
    for (const auto& w : windows) delete w.data();
}

inline Record cell(std::int32_t id, std::vector<std::string> fields) {
    fields.resize(kFields4G.size());
    return {id, std::move(fields)};
}

inline void makeLibrary(const std::filesystem::path& path, LibraryKind kind,
                        const std::vector<Record>& records) {
    std::filesystem::create_directories(path.parent_path());
    Status made = store::create(path, kind);
    if (made) made = store::replaceAll(path, kind, records);
    if (!made) qFatal("%s", made.error().c_str());
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

}  // namespace brindle::guitest
