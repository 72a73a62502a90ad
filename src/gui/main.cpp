// brindle: the desktop program. Starts with the start window on the program
// folder (the executable's, or the one given with --home).

#include <QCommandLineParser>

#include "core/app/session.h"
#include "core/base/platform.h"
#include "gui/app/windowflow.h"
#include "gui/base/application.h"
#include "gui/base/qtext.h"

int main(int argc, char** argv) {
    brindle::gui::Application app(argc, argv);
    QApplication::setApplicationName("Brindle");
    QApplication::setApplicationDisplayName("Brindle");
    QApplication::setApplicationVersion(BRINDLE_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription("Brindle: eNodeB MML scripts from cell-parameter libraries");
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption home("home", "Program folder holding mu/ and mu2/.", "DIR");
    parser.addOption(home);
    parser.process(app);

    brindle::Session session(
        parser.isSet(home) ? brindle::platform::pathFromUtf8(brindle::gui::u8(parser.value(home)))
                           : brindle::platform::executableFolder());
    brindle::gui::WindowFlow flow(session);
    flow.showStart();
    return QApplication::exec();
}
