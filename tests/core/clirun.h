#pragma once
// Running the real brindle-cli from a core test: in the test's folder, with
// --home set to it, standard input from a file, both output streams kept.

#include <filesystem>
#include <string>

#include "testsupport.h"

namespace brindle::test {

struct CliResult {
    int status = -1;
    std::string out, err;
};

// `args` is shell text after the program name and --home. Runs at the same
// time in one folder give each its own `streams` tag for the files that hold
// the streams.
inline CliResult runCli(const std::filesystem::path& home, const std::string& args,
                        const std::string& input = "", const std::string& streams = "") {
    const auto in = home / platform::pathFromUtf8("stdin" + streams),
               out = home / platform::pathFromUtf8("stdout" + streams),
               err = home / platform::pathFromUtf8("stderr" + streams);
    writeFile(in, input);
    const int status = runProgram(
        home, BRINDLE_CLI_PATH, "--home '" + platform::utf8Name(home) + "' " + args, in, out, err);
    return {status, readFile(out), readFile(err)};
}

}  // namespace brindle::test
