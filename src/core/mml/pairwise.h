#pragma once
// The 4G page's generators: the pairwise run that seven buttons share (source
// line i with target line i), and the add-carrier run of its own.

#include <functional>
#include <string>
#include <string_view>

#include "core/app/session.h"
#include "core/base/feedback.h"
#include "core/base/script.h"

namespace brindle::mml {

// What a 4G-page run reads from its page. The two options are asked anew
// for every pair: the engineer may tick or clear them during a run.
struct PageInput {
    std::string sourceText;              // 编辑框_4G源小区
    std::string targetText;              // 编辑框_4G目标小区
    std::function<bool()> twoWay;        // 双向操作
    std::function<bool()> directOutput;  // 直出脚本
};

enum class Generator4G {
    NeighbourAdd,
    NeighbourMod,
    NeighbourRmv,
    ExternalAdd,
    ExternalMod,
    ExternalRmv,
    CarrierAdd,
    CarrierRmv,
};

// A generator by its command-line name ("neighbour-add", …).
std::optional<Generator4G> generatorByName(std::string_view name);

// Runs one of the eight buttons of the 4G page: lines go to `pane` or, in
// direct-output mode, to the session's buffer, followed by the success
// message and the direct-output save step.
void run4G(Generator4G generator, Session& session, const PageInput& input, ScriptSink& pane,
           Feedback& feedback);

}  // namespace brindle::mml
