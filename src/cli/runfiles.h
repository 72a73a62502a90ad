#pragma once
// The files one command reads and the files it writes, so that a run never
// writes a script over a file it reads (the export, a library, a name list,
// a settings file) nor two of its outputs into one file. Files are compared
// by what they are, not by how the command line spells them.

#include <filesystem>
#include <string>
#include <vector>

#include "core/app/session.h"
#include "core/base/feedback.h"

namespace brindle::cli {

class RunFiles {
public:
    // `label` names the file in a refusal ("-o", "--export"). An empty path
    // is no file, nor is an input "-" (standard input).
    void input(std::string label, const std::filesystem::path& path);
    void output(std::string label, const std::filesystem::path& path);
    // The chosen libraries and the two settings files below the program folder.
    void sessionInputs(const Session& session);

    // False, after telling why, when an output is an input or another output.
    [[nodiscard]] bool clear(Feedback& feedback) const;

private:
    struct File {
        std::string label;
        std::filesystem::path path;
    };
    std::vector<File> inputs_, outputs_;
};

}  // namespace brindle::cli
