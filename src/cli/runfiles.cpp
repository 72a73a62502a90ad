#include "cli/runfiles.h"

#include <array>

#include "core/base/messages.h"
#include "core/base/platform.h"

namespace brindle::cli {

void RunFiles::input(std::string label, const std::filesystem::path& path) {
    if (!path.empty() && path != "-") inputs_.push_back({std::move(label), path});
}

void RunFiles::output(std::string label, const std::filesystem::path& path) {
    if (!path.empty()) outputs_.push_back({std::move(label), path});
}

void RunFiles::sessionInputs(const Session& session) {
    // Named as the engineer gave or knows them, in the order of filesInUse().
    constexpr std::array<const char*, 4> kLabels = {"--lib4g", "--lib2g", "EARFCN.ini", "2G.ini"};
    const std::vector<std::filesystem::path> files = session.filesInUse();
    for (std::size_t i = 0; i < files.size() && i < kLabels.size(); ++i)
        input(kLabels[i], files[i]);
}

bool RunFiles::clear(Feedback& feedback) const {
    for (std::size_t o = 0; o < outputs_.size(); ++o) {
        const File& out = outputs_[o];
        for (const File& in : inputs_) {
            if (!platform::sameFile(out.path, in.path)) continue;
            feedback.message(
                out.label + std::string(msg::kOutputIsInput) + platform::utf8Name(out.path), {},
                Icon::Error);
            return false;
        }
        for (std::size_t other = o + 1; other < outputs_.size(); ++other) {
            if (!platform::sameFile(out.path, outputs_[other].path)) continue;
            feedback.message(out.label + std::string(msg::kAnd) + outputs_[other].label +
                                 std::string(msg::kOutputsOneFile) +
                                 platform::utf8Name(outputs_[other].path),
                             {}, Icon::Error);
            return false;
        }
    }
    return true;
}

}  // namespace brindle::cli
