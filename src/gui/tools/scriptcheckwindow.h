#pragma once
// A script file checked on its own: the file's text, read-only, with the
// check panel under it. Opened from the main window's menu or by dropping
// a file on it; it stays open beside the main window, one per file.

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

#include <filesystem>
#include <string>

#include "core/app/session.h"
#include "core/base/feedback.h"

namespace brindle::gui {

class CheckPanel;

class ScriptCheckWindow : public QWidget {
    Q_OBJECT
public:
    // Reads the file and, when it can be read, shows it and checks it; null
    // after telling the engineer why it cannot.
    static ScriptCheckWindow* open(const Session& session, const std::filesystem::path& path,
                                   Feedback& feedback);

    QLabel* 标签_脚本文件 = nullptr;
    QPlainTextEdit* 编辑框_脚本文件内容 = nullptr;
    CheckPanel* checkPanel() const { return panel_; }

private:
    ScriptCheckWindow(const Session& session, const std::filesystem::path& path,
                      std::string script);

    // The text as read, line ends and all: the pane shows paragraphs, and
    // a bare LF in the file must still be found.
    std::string script_;
    CheckPanel* panel_ = nullptr;
};

}  // namespace brindle::gui
