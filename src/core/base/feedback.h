#pragma once
// The one way the core reaches the user: message boxes, questions, file
// choice, progress and the engineer's request to stop a long run. The GUI,
// the command line and the tests each provide their own implementation.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/questions.h"

namespace brindle {

enum class Icon { None, Information, Warning, Error };

// Messages that can come once per item of one run, such as "<name>小区不存在！"
// for every name of a long list that the library lacks.
enum class Repeat { CellMissing };

// What a file dialog opens or saves. A front end may title its dialog by it
// and start in the folder the engineer last used for that kind.
enum class FileKind {
    Other,
    ScriptSave,
    ToolScriptSave,
    RollbackSave,
    Workbook,
    Export,
    ScriptFile
};

// A file dialog request. `filter` uses the "描述|*.EXT" form of the
// program's dialogs; an empty filter shows every file.
struct FileRequest {
    std::string filter;
    std::string proposedName;
    std::filesystem::path startFolder;
    FileKind kind = FileKind::Other;
};

class Feedback {
public:
    virtual ~Feedback() = default;

    virtual void message(std::string_view text, std::string_view title = {},
                         Icon icon = Icon::None) = 0;
    // A message of a kind that can come once per item of the run this
    // Feedback serves. A front end may let the engineer see no more of that
    // kind in the run; the caller counts them either way. By default every
    // one is an ordinary message.
    virtual void repeatedMessage(std::string_view text, Repeat kind) {
        (void)kind;
        message(text);
    }
    // A message with details kept apart from its text (one item a line, for
    // copying out). By default the text, a line break and the details.
    virtual void detailedMessage(std::string_view text, std::string_view details) {
        message(std::string(text).append("\r\n").append(details));
    }
    // Asks question `id` (its text followed by `detail`): Yes for Yes or OK,
    // No for No or Cancel; Cancelled only for a question that escapeCancels,
    // closed with Esc or its close box.
    virtual Answer ask(Question id, std::string_view detail = {}) = 0;
    // Nothing when the user cancels.
    virtual std::optional<std::filesystem::path> chooseOpenFile(const FileRequest& request) = 0;
    virtual std::optional<std::filesystem::path> chooseSaveFile(const FileRequest& request) = 0;
    virtual void progress(long position, long maximum) = 0;
    // A pause that paces how a window fills, the window staying responsive;
    // nothing where no window is watched.
    virtual void pace(int milliseconds) { (void)milliseconds; }
    // True once the engineer has asked the run to stop: a long loop ends
    // between two items, keeping what it has made, and reports no success.
    [[nodiscard]] virtual bool stopRequested() { return false; }
};

}  // namespace brindle
