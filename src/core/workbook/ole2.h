#pragma once
// The OLE2 compound file ([MS-CFB]) an .xls workbook is stored in: a small
// file system of sectors, a FAT chaining them, a directory of named streams
// and storages, and a mini stream holding the streams under 4096 bytes in
// 64-byte sectors. Read here rather than through libgsf, which drags GLib
// along and is not to be had for every system the program is built for.
//
// Everything the file says is checked against the file: a chain that loops
// or leaves the file, a stream larger than the file, a directory entry
// reached twice. A damaged container is refused when it is opened, or a
// stream of it when the stream is, with Kind::Damaged; damage to directory
// entries costs those entries. Nothing the file claims is allocated before
// the file is seen to hold it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/workbook/bytesource.h"
#include "core/workbook/workbook.h"

namespace brindle::workbook::ole2 {

// One stream of a compound file, read at any offset, as often as needed, from
// any thread: it holds the sectors it lies in, not a position.
class Stream {
public:
    std::uint64_t size() const { return size_; }
    // `length` bytes at `offset`; false when the stream ends before them or
    // the file cannot be read (or ends before the stream does).
    [[nodiscard]] bool read(std::uint64_t offset, char* into, std::size_t length) const;

private:
    friend class CompoundFile;
    ByteSource::Reader file_;
    // The mini stream for a stream in it; null for a stream in the file's
    // own sectors.
    std::shared_ptr<const Stream> container_;
    std::vector<std::uint32_t> sectors_;
    unsigned shift_ = 9;
    std::uint64_t size_ = 0;
};

class CompoundFile {
public:
    // Directory entries by their place in entries(); the root storage is 0.
    using Id = std::size_t;
    static constexpr Id kRoot = 0;

    struct Entry {
        std::string name;  // UTF-8
        bool storage = false;
        std::uint64_t size = 0;  // of a stream
        std::uint32_t start = 0;
        std::vector<Id> children;  // of a storage, in the directory's order
    };

    // NotAWorkbook without the signature, Damaged for a container that
    // cannot be what it says (NotFound or CannotOpen from the file).
    static Read<CompoundFile> open(const ByteSource& source);

    // The root storage first, then every storage and stream the directory
    // reaches from it.
    const std::vector<Entry>& entries() const { return entries_; }
    // The child of `storage` named `name`, compared as the format compares
    // names: without regard to case.
    std::optional<Id> child(Id storage, std::u16string_view name) const;
    // Whether damage to the directory cost entries: a stream not found may
    // have been one of them.
    bool incomplete() const { return incomplete_; }
    // Damaged when its sectors are not all there.
    Read<Stream> stream(Id id) const;

private:
    Read<Stream> chained(std::uint32_t start, std::uint64_t size, bool mini) const;

    ByteSource::Reader file_;
    unsigned shift_ = 9;
    std::uint32_t sectors_ = 0;  // in the file after the header
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::shared_ptr<const Stream> miniStream_;
    std::vector<Entry> entries_;
    std::vector<std::u16string> names_;  // of entries_, as the file spells them
    bool incomplete_ = false;
};

}  // namespace brindle::workbook::ole2
