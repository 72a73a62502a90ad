// brindle: the desktop program. Starts with the start window on the program
// folder: the one given with --home, else defaultProgramFolder()'s.

#include <QCommandLineParser>

#include <filesystem>
#include <utility>

#include "core/app/programfolder.h"
#include "core/app/session.h"
#include "core/base/platform.h"
#include "gui/app/windowflow.h"
#include "gui/base/application.h"
#include "gui/base/conventions.h"
#include "gui/base/guifeedback.h"
#include "gui/base/qtext.h"

int main(int argc, char** argv) {
    brindle::gui::Application app(argc, argv);
    QApplication::setApplicationName("Brindle");
    QApplication::setApplicationDisplayName("Brindle");
    QApplication::setApplicationVersion(BRINDLE_VERSION);
    brindle::gui::installQtTranslation(app);
    brindle::gui::installDesktopConventions(app);

    QCommandLineParser parser;
    parser.setApplicationDescription("Brindle: eNodeB MML scripts from cell-parameter libraries");
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption home("home",
                            "Program folder holding mu/ and mu2/ (default: the executable's "
                            "folder when it holds mu/, else the user's data folder).",
                            "DIR");
    parser.addOption(home);
    parser.process(app);

    brindle::Result<std::filesystem::path> folder = parser.isSet(home)
                                                        ? brindle::gui::fsPath(parser.value(home))
                                                        : brindle::defaultProgramFolder();
    if (!folder) {
        brindle::gui::GuiFeedback(nullptr).message(folder.error(), {}, brindle::Icon::Error);
        return 1;
    }
    brindle::Session session(std::move(*folder));
    brindle::gui::WindowFlow flow(session);
    flow.showStart();
    return QApplication::exec();
}
