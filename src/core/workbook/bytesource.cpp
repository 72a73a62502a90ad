#include "core/workbook/bytesource.h"

#include <algorithm>
#include <cstring>

namespace brindle::workbook {

namespace {

WorkbookError unopened(platform::FileContents::State state) {
    return {state == platform::FileContents::State::Missing ? WorkbookError::Kind::NotFound
                                                            : WorkbookError::Kind::CannotOpen};
}

}  // namespace

ByteSource ByteSource::file(std::filesystem::path path) {
    ByteSource source;
    source.name_ = std::move(path);
    return source;
}

ByteSource ByteSource::memory(std::string bytes, std::filesystem::path name) {
    ByteSource source;
    source.name_ = std::move(name);
    source.bytes_ = std::make_shared<const std::string>(std::move(bytes));
    return source;
}

std::optional<std::size_t> ByteSource::Reader::readAt(std::uintmax_t offset, char* into,
                                                      std::size_t length) const {
    if (file_) return file_->readAt(offset, into, length);
    if (offset >= bytes_->size()) return std::size_t{0};
    const std::size_t count = std::min<std::uintmax_t>(length, bytes_->size() - offset);
    std::memcpy(into, bytes_->data() + offset, count);
    return count;
}

std::uintmax_t ByteSource::Reader::size() const {
    return file_ ? file_->size() : bytes_->size();
}

Result<ByteSource::Reader, WorkbookError> ByteSource::open() const {
    Reader reader;
    if (bytes_) {
        reader.bytes_ = bytes_;
        return reader;
    }
    auto file = std::make_shared<platform::FileReader>();
    if (const auto state = file->open(name_); state != platform::FileContents::State::Read)
        return unopened(state);
    reader.file_ = std::move(file);
    return reader;
}

Result<std::FILE*, WorkbookError> ByteSource::openStream() const {
    if (bytes_) return WorkbookError{WorkbookError::Kind::CannotOpen};
    platform::FileContents::State state{};
    std::FILE* file = platform::openPlainFile(name_, state);
    if (!file) return unopened(state);
    return file;
}

}  // namespace brindle::workbook
