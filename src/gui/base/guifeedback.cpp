#include "gui/base/guifeedback.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "core/base/messages.h"
#include "core/base/platform.h"
#include "gui/base/qtext.h"
#include "gui/base/remembered.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

namespace {

QString boxTitle(std::string_view title) {
    return title.empty() ? QApplication::applicationDisplayName() : qs(title);
}

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

GuiFeedback::Preset* presetAnswers = nullptr;

// Notes whether a box was put away rather than answered: Esc, or its close
// box (a close from the window system; a button closes the box from
// within). The box itself takes either for its No button; the note lets a
// question that must be answered tell the two apart.
class PutAway : public QObject {
public:
    bool happened = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() == QEvent::Close && event->spontaneous()) ||
            (event->type() == QEvent::KeyPress &&
             static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel)))
            happened = true;
        return QObject::eventFilter(watched, event);
    }
};

struct Pressed {
    int button = QMessageBox::NoButton;
    bool putAway = false;
    bool ticked = false;  // the box's check box, if it had one
};

// A box's optional parts: copyable details, a check box with this caption.
struct BoxParts {
    std::string_view details;
    std::string_view checkBox;
};

// Shows a box and gives the button pressed. The box lives on the heap: the
// window it belongs to could be deleted while the box is open, and would
// then delete the box with it.
Pressed execBox(QMessageBox::Icon icon, std::string_view title, std::string_view text,
                QMessageBox::StandardButtons buttons, QWidget* parent, BoxParts parts = {}) {
    const QPointer<QMessageBox> box =
        new QMessageBox(icon, boxTitle(title), qs(text), buttons, parent);
    // The details' text box takes the program's CR LF as two line breaks.
    if (!parts.details.empty())
        box->setDetailedText(
            qs(parts.details).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    if (!parts.checkBox.empty()) box->setCheckBox(new QCheckBox(qs(parts.checkBox)));
    PutAway putAway;
    box->installEventFilter(&putAway);
    const int pressed = box->exec();
    const bool ticked = box && box->checkBox() && box->checkBox()->isChecked();
    delete box.data();
    return {pressed, putAway.happened, ticked};
}

}  // namespace

void GuiFeedback::preset(Preset* answers) {
    presetAnswers = answers;
}

QString qtFilter(std::string_view filter) {
    if (filter.empty()) return {};
    const QString f = qs(filter);
    const auto bar = f.indexOf('|');
    if (bar < 0) return f;
    QStringList patterns;
    for (const QString& p : f.mid(bar + 1).split(';', Qt::SkipEmptyParts)) {
        patterns << p;
        if (p.toLower() != p) patterns << p.toLower();
    }
    return f.left(bar) + " (" + patterns.join(' ') + ")";
}

void GuiFeedback::message(std::string_view text, std::string_view title, Icon icon) {
    (void)showBox(text, title, icon, {}, {});
}

bool GuiFeedback::showBox(std::string_view text, std::string_view title, Icon icon,
                          std::string_view details, std::string_view checkBox) {
    if (pane_) pane_->flush();  // what ran so far is visible behind the box
    if (presetAnswers) {
        presetAnswers->shown.emplace_back(text);
        presetAnswers->titles.emplace_back(title);
        if (presetAnswers->whileShown) presetAnswers->whileShown(presetAnswers->shown.back());
        if (!details.empty()) presetAnswers->details.emplace_back(details);
        if (checkBox.empty()) return false;
        presetAnswers->quietOffered.emplace_back(text);
        return presetAnswers->quietRepeats;
    }
    return execBox(qtIcon(icon), title, text, QMessageBox::Ok, parent_, {details, checkBox}).ticked;
}

void GuiFeedback::repeatedMessage(std::string_view text, Repeat kind) {
    if (std::find(quieted_.begin(), quieted_.end(), kind) != quieted_.end()) return;
    if (showBox(text, {}, Icon::None, {}, msg::kQuietRepeats)) quieted_.push_back(kind);
}

void GuiFeedback::detailedMessage(std::string_view text, std::string_view details) {
    (void)showBox(text, {}, Icon::None, details, {});
}

Answer GuiFeedback::ask(Question id, std::string_view detail) {
    if (pane_) pane_->flush();
    const QuestionText& q = questionText(id);
    const std::string text = std::string(q.text) + std::string(detail);
    if (presetAnswers) {
        presetAnswers->shown.push_back(text);
        presetAnswers->titles.emplace_back(q.title);
        if (presetAnswers->whileShown) presetAnswers->whileShown(text);
        return presetAnswers->take(id).value_or(Answer::No);
    }
    const bool yesNo = q.buttons == Buttons::YesNo;
    const auto yes = yesNo ? QMessageBox::Yes : QMessageBox::Ok;
    const auto no = yesNo ? QMessageBox::No : QMessageBox::Cancel;
    const Pressed pressed = execBox(QMessageBox::Question, q.title, text, yes | no, parent_);
    if (pressed.putAway && q.escapeCancels) return Answer::Cancelled;
    return pressed.button == yes ? Answer::Yes : Answer::No;
}

// A dialog of a kind starts in the folder the last one of that kind chose
// from, and the folder of what it gives is remembered for the next.
std::optional<std::filesystem::path> GuiFeedback::chooseFile(const FileRequest& request,
                                                             bool save) {
    FileRequest asked = request;
    asked.startFolder = startFolderFor(request);
    std::optional<std::filesystem::path> chosen;
    if (presetAnswers) {
        presetAnswers->requests.push_back(asked);
        chosen = presetAnswers->takeFile();
    } else {
        QString start = qs(platform::utf8Name(asked.startFolder));
        if (save && !asked.proposedName.empty())
            start = start.isEmpty() ? qs(asked.proposedName) : start + '/' + qs(asked.proposedName);
        const QString title = qs(fileDialogTitle(asked.kind));
        const QString filter = qtFilter(asked.filter);
        const QString file = save ? QFileDialog::getSaveFileName(parent_, title, start, filter)
                                  : QFileDialog::getOpenFileName(parent_, title, start, filter);
        if (!file.isEmpty()) chosen = fsPath(file);
    }
    if (chosen) rememberFolder(asked.kind, *chosen);
    return chosen;
}

std::optional<std::filesystem::path> GuiFeedback::chooseOpenFile(const FileRequest& request) {
    return chooseFile(request, false);
}

std::optional<std::filesystem::path> GuiFeedback::chooseSaveFile(const FileRequest& request) {
    const std::optional<std::filesystem::path> chosen = chooseFile(request, true);
    if (!chosen) return chosen;
    for (const auto& file : inUse_) {
        if (file.empty() || !platform::sameFile(*chosen, file)) continue;
        message(std::string(msg::kFileInUse) + platform::utf8Name(*chosen), {}, Icon::Warning);
        return std::nullopt;
    }
    return chosen;
}

bool GuiFeedback::presetInstalled() {
    return presetAnswers != nullptr;
}

void GuiFeedback::progress(long position, long maximum) {
    if (!bar_) return;
    bar_->setMaximum(static_cast<int>(maximum));
    bar_->setValue(static_cast<int>(position));
}

void GuiFeedback::pace(int milliseconds) {
    if (pane_) pane_->flush();  // the pause shows what came so far
    if (presetAnswers) return;  // tests are not paced
    // An event loop of its own sleeps between events instead of spinning; the
    // window's generator buttons are disabled while a run pauses here.
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace brindle::gui
