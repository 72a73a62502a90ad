#pragma once
// "添加频点": ADD EUTRANINTERNFREQ lines whose parameters come from the band-pair
// family of the two carriers' bands in EARFCN.ini.

#include "core/app/session.h"
#include "core/base/feedback.h"
#include "core/base/script.h"
#include "core/mml/pairwise.h"

namespace brindle::mml {

// Asks urban or rural and whether the measurement demand is reduced, then
// writes the forward pass and, with 双向操作, the reverse pass.
void runCarrierAdd(Session& session, const PageInput& input, ScriptSink& pane, Feedback& feedback);

}  // namespace brindle::mml
