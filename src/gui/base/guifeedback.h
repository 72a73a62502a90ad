#pragma once
// The GUI's side of the feedback seam: message boxes, file dialogs, a
// window's progress bar and event processing.

#include <QPointer>
#include <QProgressBar>
#include <QWidget>

#include "core/base/feedback.h"

namespace brindle::gui {

class PaneSink;

class GuiFeedback : public Feedback {
public:
    explicit GuiFeedback(QWidget* parent, QProgressBar* bar = nullptr, PaneSink* pane = nullptr)
        : parent_(parent), bar_(bar), pane_(pane) {}

    void message(std::string_view text, std::string_view title = {},
                 Icon icon = Icon::None) override;
    bool askYesNo(std::string_view text, std::string_view title = {}) override;
    bool askOkCancel(std::string_view text, std::string_view title = {}) override;
    std::optional<std::filesystem::path> chooseOpenFile(const FileRequest& request) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileRequest& request) override;
    void progress(long position, long maximum) override;
    void pumpEvents() override;

private:
    QPointer<QWidget> parent_;
    QPointer<QProgressBar> bar_;
    PaneSink* pane_;
};

// "描述|*.EXT" becomes Qt's "描述 (*.EXT *.ext)": on a case-sensitive file
// system the upper-case pattern alone would hide the engineers' .txt files.
QString qtFilter(std::string_view filter);

}  // namespace brindle::gui
