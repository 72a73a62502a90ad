#pragma once
// A window at work: a long job lets window events through so the window
// paints and its progress bar moves, which would also let the engineer
// start a second job or close the window under the running one. While a
// Busy lives, the given buttons are disabled and a close of the window is
// held back; when the job ends the buttons come back as they were and a
// held-back close happens.

#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <utility>
#include <vector>

namespace brindle::gui {

class Busy : public QObject {
public:
    Busy(QWidget* window, const std::vector<QPushButton*>& buttons);
    ~Busy() override;
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    std::vector<std::pair<QPointer<QPushButton>, bool>> buttons_;
    bool closeHeldBack_ = false;
};

}  // namespace brindle::gui
