#include "gui/tools/scriptcheckwindow.h"

#include <QFontDatabase>
#include <QPointer>
#include <QVBoxLayout>

#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/tools/scriptcheck.h"
#include "gui/base/backgroundrun.h"
#include "gui/base/checkpanel.h"
#include "gui/base/qtext.h"
#include "gui/base/widgets.h"

namespace brindle::gui {

ScriptCheckWindow* ScriptCheckWindow::open(const Session& session,
                                           const std::filesystem::path& path, Feedback& feedback) {
    Result<std::string> script = check::readScript(path);
    if (!script) {
        feedback.message(script.error(), {}, Icon::Error);
        return nullptr;
    }
    const QPointer<ScriptCheckWindow> window =
        new ScriptCheckWindow(session, path, std::move(script).value());
    window->show();
    window->raise();
    // The check goes on in the background; the window holds back a close
    // until it has ended.
    window->panel_->check();
    return window;
}

ScriptCheckWindow::ScriptCheckWindow(const Session& session, const std::filesystem::path& path,
                                     std::string script)
    : script_(std::move(script)) {
    setObjectName("检查脚本窗口");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(qs(msg::kCheckWindowTitle) + qs(platform::utf8Name(path.filename())));

    UNIT(标签_脚本文件, qs(platform::utf8Name(path)));
    标签_脚本文件->setTextInteractionFlags(Qt::TextSelectableByMouse);
    UNIT(编辑框_脚本文件内容);
    编辑框_脚本文件内容->setReadOnly(true);
    编辑框_脚本文件内容->setLineWrapMode(QPlainTextEdit::NoWrap);
    编辑框_脚本文件内容->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setBoxText(编辑框_脚本文件内容, script_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(标签_脚本文件);
    layout->addWidget(编辑框_脚本文件内容, 1);
    panel_ = attachCheckPanel(编辑框_脚本文件内容, session, [this] { return script_; });
    addStopButtons(this);
    resize(760, 560);
}

}  // namespace brindle::gui
