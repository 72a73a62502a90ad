#pragma once
// A text file read a block of whole lines at a time, so that a script of a
// million lines is never held whole. A block ends just after a "\n": that
// byte is never part of a longer character in UTF-8 or in GBK (whose second
// bytes are 0x40 and above), so every block can be decoded on its own, and a
// "\r\n" is never cut in two.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/base/platform.h"

namespace brindle {

// The bytes read at a time: large enough that reading costs little, small
// next to any script worth reading in pieces.
constexpr std::size_t kLineBlockSize = std::size_t(1) << 20;

class LineBlocks {
public:
    // Reads `file` from `start` on, about `blockSize` bytes at a time (more
    // when one line is longer).
    explicit LineBlocks(const platform::FileReader& file, std::uintmax_t start = 0,
                        std::size_t blockSize = kLineBlockSize);

    // The next block: whole lines, each ending in "\n", or at the end of the
    // file the bytes after the last "\n". Empty once the file is read.
    // False on a read error. The view lasts until the next call.
    [[nodiscard]] bool next(std::string_view& block);
    // The offset in the file of the first byte of the last block.
    std::uintmax_t offset() const { return offset_; }

private:
    const platform::FileReader& file_;
    std::size_t blockSize_;
    std::string buffer_;
    std::uintmax_t offset_;     // of buffer_[0] in the file
    std::size_t consumed_ = 0;  // bytes of buffer_ handed out by the last next()
    bool atEnd_ = false;
};

}  // namespace brindle
