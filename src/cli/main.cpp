// brindle-cli: the core headless. Lines a run would append to its pane go to
// stdout; every message-box text goes to stderr.

#include <CLI/CLI.hpp>

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "core/app/programfolder.h"
#include "core/app/session.h"
#include "core/base/messages.h"
#include "core/base/platform.h"

using namespace brindle;

int main(int argc, char** argv) {
    platform::prepareStandardStreams();
    CLI::App app{"Brindle: eNodeB MML scripts from cell-parameter libraries", "brindle-cli"};
    app.require_subcommand(1);
    // CLI11 takes "/x" for the option -x on Windows; the command line reads the
    // same on every system, and "/..." is a path there (a drive's root).
    app.allow_windows_style_options(false);
    std::string home;
    std::string lib4g, lib2g;
    app.add_option("--home", home,
                   "program folder holding mu/ and mu2/ (default: the executable's when it "
                   "holds mu/, else the user's data folder)");
    app.add_option("--lib4g", lib4g, "4G library, by its file name in mu/");
    app.add_option("--lib2g", lib2g, "2G library, by its file name in mu2/");

    cli::Options options;
    cli::addCommands(app, options);

    try {
        // CLI11 takes the arguments after the program's name, last first.
        const std::vector<std::string> arguments = platform::commandLineArguments(argc, argv);
        app.parse(std::vector<std::string>(arguments.rbegin(),
                                           arguments.rend() - (arguments.empty() ? 0 : 1)));
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? cli::kCompleted : cli::kUsage;
    }

    // An error in the program itself ends the command, never the way a crash
    // would: it is told like any other message and the command ends early.
    const auto internalError = [](std::string_view what) {
        std::cerr << msg::kInternalError << what << '\n' << std::flush;
        return cli::kEndedEarly;
    };
    try {
        Result<std::filesystem::path> folder =
            home.empty() ? defaultProgramFolder() : platform::pathFromUtf8(home);
        if (!folder) {
            std::cerr << folder.error() << '\n' << std::flush;
            return cli::kEndedEarly;
        }
        Session session(std::move(*folder));
        if (!lib4g.empty()) session.current4G = session.folder.mu() / platform::pathFromUtf8(lib4g);
        if (!lib2g.empty())
            session.current2G = session.folder.mu2() / platform::pathFromUtf8(lib2g);
        const int rc = cli::runCommand(app, options, session);
        // A full disk or a closed pipe must not pass for a complete script.
        std::cout.flush();
        if (std::cout.fail()) {
            std::cerr << msg::kStdoutFailed << '\n' << std::flush;
            return cli::kEndedEarly;
        }
        return rc;
    } catch (const std::exception& e) {
        return internalError(e.what());
    } catch (...) {
        return internalError(msg::kUnknownInternalError);
    }
}
