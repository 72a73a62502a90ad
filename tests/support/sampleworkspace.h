#pragma once
// The sample workspace (libraries, settings and an export workbook), copied
// so that runs may write into it. For the core tests, which know where the
// build made it.

#include <filesystem>

#include "testsupport.h"

namespace brindle::test {

struct SampleWorkspace {
    TempDir dir;
    SampleWorkspace() {
        std::filesystem::copy(BRINDLE_SAMPLE_WORKSPACE, dir.path(),
                              std::filesystem::copy_options::recursive);
    }
};

}  // namespace brindle::test
