#pragma once
// "添加频点": ADD EUTRANINTERNFREQ lines whose parameters come from the
// band-pair family of the two carriers' bands in EARFCN.ini. A run of its
// own: a forward pass over all pairs, then, with 双向操作, a reverse pass.

#include "core/mml/run.h"

namespace brindle::mml {

// Uses the answers to the area question (urban or rural) and the
// measurement-performance question. Runs to its end unless the engineer
// stops it (false), between two receiving cells.
bool runCarrierAdd(const RunContext& context, const PageInput& input);

}  // namespace brindle::mml
