#pragma once
// Running the real brindle-cli from a core test: in the test's folder, with
// --home set to it, standard input from a file, both output streams kept.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "testsupport.h"

namespace brindle::test {

struct CliResult {
    int status = -1;
    std::string out, err;
};

// `args` is shell text after the program name and --home.
inline CliResult runCli(const std::filesystem::path& home, const std::string& args,
                        const std::string& input = "") {
    const auto in = home / "stdin", out = home / "stdout", err = home / "stderr";
    writeFile(in, input);
    const std::string command = "cd '" + home.string() + "' && " + BRINDLE_CLI_PATH + " --home '" +
                                home.string() + "' " + args + " <'" + in.string() + "' >'" +
                                out.string() + "' 2>'" + err.string() + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
}

}  // namespace brindle::test
