#include "gui/base/application.h"

#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <exception>
#include <string>

#include "core/base/messages.h"
#include "gui/base/guifeedback.h"

// The icon's PNGs are a resource of the static GUI library: nothing else
// refers to it, so the linker would drop it unless it is named here (and
// Q_INIT_RESOURCE names it only outside a namespace).
static QIcon brindleIcon() {
    Q_INIT_RESOURCE(brindle);
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/brindle-%1.png").arg(size), QSize(size, size));
    return icon;
}

namespace brindle::gui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setWindowIcon(brindleIcon());
}

bool installQtTranslation(QApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString name = QStringLiteral("qtbase_zh_CN");
    for (const QString& folder :
         {QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
          QLibraryInfo::path(QLibraryInfo::TranslationsPath)})
        if (translator->load(name, folder)) return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        reportInternalError(e.what());
    } catch (...) {
        reportInternalError(msg::kUnknownInternalError);
    }
    return false;
}

void Application::reportInternalError(std::string_view what) {
    const std::string text = std::string(msg::kInternalError) + std::string(what);
    // The box runs its own event loop; should a handler fail again while it
    // is open, that failure goes to the log instead of stacking up boxes.
    if (reporting_) {
        qWarning("%s", text.c_str());
        return;
    }
    reporting_ = true;
    GuiFeedback(activeWindow()).message(text, {}, Icon::Error);
    reporting_ = false;
}

}  // namespace brindle::gui
