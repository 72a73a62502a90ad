#include "core/base/lineblocks.h"

#include <algorithm>

namespace brindle {

LineBlocks::LineBlocks(const platform::FileReader& file, std::uintmax_t start,
                       std::size_t blockSize)
    : file_(file), blockSize_(std::max<std::size_t>(blockSize, 1)), offset_(start) {}

bool LineBlocks::next(std::string_view& block) {
    // What follows the last block's final "\n" starts the next one.
    buffer_.erase(0, consumed_);
    offset_ += consumed_;
    consumed_ = 0;
    std::size_t searched = 0;  // the bytes before this hold no "\n"
    for (;;) {
        const std::string_view unsearched = std::string_view(buffer_).substr(searched);
        const std::size_t newline = unsearched.rfind('\n');
        if (newline != std::string_view::npos) {
            consumed_ = searched + newline + 1;
            break;
        }
        if (atEnd_) {
            consumed_ = buffer_.size();
            break;
        }
        searched = buffer_.size();
        buffer_.resize(searched + blockSize_);
        const auto read = file_.readAt(offset_ + searched, buffer_.data() + searched, blockSize_);
        if (!read) {
            buffer_.resize(searched);
            return false;
        }
        buffer_.resize(searched + *read);
        if (*read < blockSize_) atEnd_ = true;
    }
    block = std::string_view(buffer_).substr(0, consumed_);
    return true;
}

}  // namespace brindle
