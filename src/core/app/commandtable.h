#pragma once
// The table of commands the program writes, learnt from every template of
// the generators and tools, for the script checker.

#include "core/tools/scriptcheck.h"

namespace brindle {

// Built once, on first use.
const check::CommandTable& programCommands();

}  // namespace brindle
