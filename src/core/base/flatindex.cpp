#include "core/base/flatindex.h"

#include <atomic>
#include <functional>

namespace brindle {

namespace {

std::atomic<int> equalHashes{0};

}  // namespace

std::uint64_t FlatIndex::hash(std::string_view key) {
    if (equalHashes.load(std::memory_order_relaxed) != 0) [[unlikely]]
        return 0;
    return std::hash<std::string_view>{}(key);
}

EqualHashesForTest::EqualHashesForTest() {
    equalHashes.fetch_add(1);
}

EqualHashesForTest::~EqualHashesForTest() {
    equalHashes.fetch_sub(1);
}

}  // namespace brindle
