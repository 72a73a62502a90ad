#pragma once
// The GUI's side of the feedback seam: message boxes, file dialogs, a
// window's progress bar and event processing.

#include <QPointer>
#include <QProgressBar>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "core/base/feedback.h"
#include "core/base/presetanswers.h"

namespace brindle::gui {

class PaneSink;

class GuiFeedback : public Feedback {
public:
    explicit GuiFeedback(QWidget* parent, QProgressBar* bar = nullptr, PaneSink* pane = nullptr)
        : parent_(parent), bar_(bar), pane_(pane) {}

    void message(std::string_view text, std::string_view title = {},
                 Icon icon = Icon::None) override;
    // The box offers "本次运行不再提示"; once it is ticked, this GuiFeedback
    // (one run's) shows no more messages of that kind.
    void repeatedMessage(std::string_view text, Repeat kind) override;
    // The details go to the box's "Show Details" part, selectable for copying.
    void detailedMessage(std::string_view text, std::string_view details) override;
    Answer ask(Question id, std::string_view detail = {}) override;
    std::optional<std::filesystem::path> chooseOpenFile(const FileRequest& request) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileRequest& request) override;
    void progress(long position, long maximum) override;
    void pace(int milliseconds) override;

    // Files a save must not replace (the libraries, settings files and
    // export workbook the window works from): a save dialog that picks one
    // tells why and answers as a cancelled dialog does.
    void refuseToReplace(std::vector<std::filesystem::path> inUse) { inUse_ = std::move(inUse); }

    // Dialog answers set before a click, for the GUI tests: while a preset
    // is installed no box or dialog is shown. Every message and question
    // text goes to `shown`; questions take their preset answers by id (No
    // or Cancel when none is set, noted in `unanswered`); file dialogs take
    // the preset files in order (Cancel when none is left) and keep what
    // they were asked with. A box that offers "本次运行不再提示" has it ticked
    // while `quietRepeats` is set.
    struct Preset : PresetAnswers {
        std::vector<std::string> shown;
        std::vector<std::string> titles;    // each shown text's box title
        std::vector<FileRequest> requests;  // each file dialog's, in order
        // Called with each text while its box would be open: what the
        // engineer does then (a click on 停止) happens at that moment.
        std::function<void(const std::string&)> whileShown;
        bool quietRepeats = false;
        std::vector<std::string> quietOffered;  // the texts of the boxes that offered it
        std::vector<std::string> details;       // the details of each box that had them
    };
    static void preset(Preset* answers);
    static bool presetInstalled();

private:
    // Shows a message box, with details and a check box when they are not
    // empty; true when the check box was ticked.
    bool showBox(std::string_view text, std::string_view title, Icon icon, std::string_view details,
                 std::string_view checkBox);
    std::optional<std::filesystem::path> chooseFile(const FileRequest& request, bool save);

    QPointer<QWidget> parent_;
    QPointer<QProgressBar> bar_;
    PaneSink* pane_;
    std::vector<std::filesystem::path> inUse_;
    std::vector<Repeat> quieted_;  // kinds the engineer asked to see no more of
};

// "描述|*.EXT" becomes Qt's "描述 (*.EXT *.ext)": on a case-sensitive file
// system the upper-case pattern alone would hide the engineers' .txt files.
QString qtFilter(std::string_view filter);

}  // namespace brindle::gui
