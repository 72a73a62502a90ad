#include "core/workbook/ole2.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/base/textcodec.h"

namespace brindle::workbook::ole2 {

namespace {

using Kind = WorkbookError::Kind;

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
// Sector numbers from here up are markers, not sectors.
constexpr std::uint32_t kMaxSectors = 0xFFFFFFFA;

constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kHeaderFatSectors = 109;
constexpr unsigned kMiniShift = 6;
// Streams below this size live in the mini stream.
constexpr std::uint64_t kMiniCutoff = 4096;
constexpr std::size_t kEntrySize = 128;

enum EntryType : unsigned { kStorage = 1, kStream = 2, kRootStorage = 5 };

std::uint16_t le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(le16(p)) | static_cast<std::uint32_t>(le16(p + 2)) << 16;
}
std::uint64_t le64(const unsigned char* p) {
    return le32(p) | static_cast<std::uint64_t>(le32(p + 4)) << 32;
}

WorkbookError damaged() {
    return WorkbookError{Kind::Damaged};
}

bool readExactly(const ByteSource::Reader& file, std::uint64_t at, char* into, std::size_t length) {
    const std::optional<std::size_t> got = file.readAt(at, into, length);
    return got && *got == length;
}

std::uint64_t sectorsFor(std::uint64_t bytes, unsigned shift) {
    return (bytes + (std::uint64_t{1} << shift) - 1) >> shift;
}

// The sectors of the chain from `start` through `table`: `count` of them for
// a stream, whose size says how many; up to the end of the chain otherwise.
// Only the first `available` sectors exist. A link out of them, a sector met
// twice (a loop) or a chain that ends early is damage.
Read<std::vector<std::uint32_t>> chain(const std::vector<std::uint32_t>& table, std::uint32_t start,
                                       std::optional<std::uint64_t> count,
                                       std::uint64_t available) {
    const std::size_t limit =
        static_cast<std::size_t>(std::min<std::uint64_t>(table.size(), available));
    if (count && *count > limit) return damaged();
    std::vector<std::uint32_t> sectors;
    if (count) sectors.reserve(static_cast<std::size_t>(*count));
    std::vector<bool> seen(limit);
    for (std::uint32_t sector = start; count ? sectors.size() < *count : sector != kEndOfChain;
         sector = table[sector]) {
        if (sector >= limit || seen[sector]) return damaged();
        seen[sector] = true;
        sectors.push_back(sector);
    }
    return sectors;
}

// Little-endian 32-bit words of `bytes`.
std::vector<std::uint32_t> words(const std::string& bytes) {
    std::vector<std::uint32_t> out(bytes.size() / 4);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = le32(reinterpret_cast<const unsigned char*>(bytes.data()) + 4 * i);
    return out;
}

// The lowercase letters of the alphabets stream names are written in, in
// uppercase: the format compares names after Unicode's simple uppercase
// mapping, whose remaining letters no workbook names a stream with.
char16_t upper(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
        (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) || (c >= 0x430 && c <= 0x44F) ||
        (c >= 0xFF41 && c <= 0xFF5A))
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    switch (c) {
        case 0xFF:
            return 0x178;
        case 0xB5:
            return 0x39C;
        case 0x131:
            return u'I';
        case 0x17F:
            return u'S';
        case 0x3C2:
            return 0x3A3;
        default:
            return c;
    }
}

// One directory entry as the file holds it.
struct RawEntry {
    std::u16string name;
    unsigned type = 0;
    std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream, start = 0;
    std::uint64_t size = 0;
};

RawEntry rawEntry(const unsigned char* p, bool wideSizes) {
    RawEntry entry;
    // The name's length counts its terminating NUL, in bytes (an odd count
    // takes in the byte's unit); the name never leaves its 64-byte field,
    // whatever the length says.
    const std::size_t units = (le16(p + 64) + 1u) / 2;
    for (std::size_t i = 0; i < std::min<std::size_t>(units, 32); ++i) {
        const char16_t unit = static_cast<char16_t>(le16(p + 2 * i));
        if (unit == 0) break;
        entry.name += unit;
    }
    entry.type = p[66];
    entry.left = le32(p + 68);
    entry.right = le32(p + 72);
    entry.child = le32(p + 76);
    entry.start = le32(p + 116);
    // Writers of 512-byte-sector files left the upper half of the size
    // uninitialised; such a file cannot hold a stream that needs it.
    entry.size = wideSizes ? le64(p + 120) : le32(p + 120);
    return entry;
}

}  // namespace

bool Stream::read(std::uint64_t offset, char* into, std::size_t length) const {
    if (offset > size_ || length > size_ - offset) return false;
    const std::uint64_t sectorSize = std::uint64_t{1} << shift_;
    while (length > 0) {
        const std::size_t first = static_cast<std::size_t>(offset >> shift_);
        const std::uint64_t within = offset & (sectorSize - 1);
        // Sectors that follow one another in the file are read at once.
        std::size_t last = first;
        std::uint64_t run = sectorSize - within;
        while (run < length && last + 1 < sectors_.size() &&
               sectors_[last + 1] == sectors_[last] + 1) {
            ++last;
            run += sectorSize;
        }
        const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(run, length));
        // The file's sector 0 follows the header, which takes a sector's room.
        const std::uint64_t sector = sectors_[first] + (container_ ? 0 : 1);
        const std::uint64_t at = (sector << shift_) + within;
        if (!(container_ ? container_->read(at, into, piece) : readExactly(file_, at, into, piece)))
            return false;
        offset += piece;
        into += piece;
        length -= piece;
    }
    return true;
}

Read<Stream> CompoundFile::chained(std::uint32_t start, std::uint64_t size, bool mini) const {
    Stream stream;
    stream.file_ = file_;
    stream.size_ = size;
    stream.shift_ = mini ? kMiniShift : shift_;
    if (mini) {
        if (size > 0 && !miniStream_) return damaged();
        stream.container_ = miniStream_;
    }
    const std::uint64_t available =
        mini ? (miniStream_ ? sectorsFor(miniStream_->size(), kMiniShift) : 0) : sectors_;
    auto sectors = chain(mini ? miniFat_ : fat_, start, sectorsFor(size, stream.shift_), available);
    if (!sectors) return sectors.error();
    stream.sectors_ = std::move(*sectors);
    return stream;
}

Read<Stream> CompoundFile::stream(Id id) const {
    if (id >= entries_.size() || entries_[id].storage) return damaged();
    const Entry& entry = entries_[id];
    return chained(entry.start, entry.size, entry.size < kMiniCutoff);
}

std::optional<CompoundFile::Id> CompoundFile::child(Id storage, std::u16string_view name) const {
    if (storage >= entries_.size()) return std::nullopt;
    for (const Id id : entries_[storage].children) {
        const std::u16string& candidate = names_[id];
        if (std::equal(candidate.begin(), candidate.end(), name.begin(), name.end(),
                       [](char16_t a, char16_t b) { return upper(a) == upper(b); }))
            return id;
    }
    return std::nullopt;
}

Read<CompoundFile> CompoundFile::open(const ByteSource& source) {
    auto opened = source.open();
    if (!opened) return opened.error();
    CompoundFile file;
    file.file_ = *std::move(opened);

    std::array<unsigned char, kHeaderSize> header{};
    const std::optional<std::size_t> got =
        file.file_.readAt(0, reinterpret_cast<char*>(header.data()), header.size());
    if (!got) return WorkbookError{Kind::CannotOpen};
    if (*got < 8 || std::memcmp(header.data(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) != 0)
        return WorkbookError{Kind::NotAWorkbook};
    // The byte order mark, 512- or 4096-byte sectors, 64-byte mini sectors
    // and the mini stream's cutoff are fixed by the format.
    if (*got < header.size() || le16(&header[28]) != 0xFFFE ||
        (le16(&header[30]) != 9 && le16(&header[30]) != 12) || le16(&header[32]) != kMiniShift ||
        le32(&header[56]) != kMiniCutoff)
        return damaged();
    file.shift_ = le16(&header[30]);
    const std::uint64_t sectorSize = std::uint64_t{1} << file.shift_;
    const std::uint64_t fileSize = file.file_.size();
    file.sectors_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(
        fileSize > sectorSize ? sectorsFor(fileSize - sectorSize, file.shift_) : 0, kMaxSectors));

    // The FAT's sectors: 109 in the header, the rest in a chain of DIFAT
    // sectors, each ending with the number of the next.
    const std::uint32_t fatSectors = le32(&header[44]);
    if (fatSectors > file.sectors_) return damaged();
    std::vector<std::uint32_t> fatAt;
    fatAt.reserve(fatSectors);
    for (std::size_t i = 0; i < std::min<std::size_t>(fatSectors, kHeaderFatSectors); ++i)
        fatAt.push_back(le32(&header[76 + 4 * i]));
    std::string sector(sectorSize, '\0');
    const std::size_t perDifat = sectorSize / 4 - 1;
    std::vector<bool> seenDifat(file.sectors_);
    for (std::uint32_t difat = le32(&header[68]); fatAt.size() < fatSectors;) {
        if (difat >= file.sectors_ || seenDifat[difat] ||
            !readExactly(file.file_, (difat + 1ull) << file.shift_, sector.data(), sector.size()))
            return damaged();
        seenDifat[difat] = true;
        const std::vector<std::uint32_t> listed = words(sector);
        const std::size_t take = std::min(perDifat, fatSectors - fatAt.size());
        fatAt.insert(fatAt.end(), listed.begin(),
                     listed.begin() + static_cast<std::ptrdiff_t>(take));
        difat = listed[perDifat];
    }
    file.fat_.reserve(static_cast<std::size_t>(fatSectors * sectorSize / 4));
    for (const std::uint32_t at : fatAt) {
        if (at >= file.sectors_ ||
            !readExactly(file.file_, (at + 1ull) << file.shift_, sector.data(), sector.size()))
            return damaged();
        const std::vector<std::uint32_t> links = words(sector);
        file.fat_.insert(file.fat_.end(), links.begin(), links.end());
    }

    // The directory and the mini FAT are chains of sectors of unknown
    // length, read the way a stream is.
    const auto readChain = [&file](std::uint32_t start) -> Read<std::string> {
        auto sectors = chain(file.fat_, start, std::nullopt, file.sectors_);
        if (!sectors) return sectors.error();
        const std::uint64_t size = std::uint64_t{sectors->size()} << file.shift_;
        Read<Stream> stream = file.chained(start, size, false);
        if (!stream) return stream.error();
        std::string bytes(static_cast<std::size_t>(size), '\0');
        if (!stream->read(0, bytes.data(), bytes.size())) return damaged();
        return bytes;
    };
    Read<std::string> directory = readChain(le32(&header[48]));
    if (!directory) return directory.error();
    // Damage to the mini FAT or the mini stream costs only the streams in
    // the mini stream: a workbook's own stream is never one of them.
    Read<std::string> miniFat = readChain(le32(&header[60]));
    if (miniFat) file.miniFat_ = words(*miniFat);

    const std::size_t count = directory->size() / kEntrySize;
    std::vector<RawEntry> raw;
    raw.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        raw.push_back(
            rawEntry(reinterpret_cast<const unsigned char*>(directory->data()) + i * kEntrySize,
                     file.shift_ != 9));
    // The first entry is the root: a storage, whichever kind it says.
    if (raw.empty() || (raw[0].type != kStorage && raw[0].type != kRootStorage)) return damaged();

    // The root's stream is the mini stream.
    if (raw[0].size > 0 && miniFat) {
        Read<Stream> mini = file.chained(raw[0].start, raw[0].size, false);
        if (mini) file.miniStream_ = std::make_shared<const Stream>(*std::move(mini));
    }

    // The children of a storage are a binary tree through their left and
    // right siblings, its root the storage's child; they are listed in the
    // tree's order. A link out of the directory or to an entry reached
    // before (a cycle) ends its branch, and an entry that is neither a
    // storage nor a stream is left out; the rest of the directory still
    // counts.
    std::vector<bool> reached(count);
    reached[0] = true;
    const auto add = [&](const RawEntry& entry) {
        file.entries_.push_back({codec::fromUtf16(entry.name),
                                 entry.type != kStream,
                                 entry.type == kStream ? entry.size : 0,
                                 entry.start,
                                 {}});
        file.names_.push_back(entry.name);
        return file.entries_.size() - 1;
    };
    add(raw[0]);
    file.entries_[0].storage = true;
    file.entries_[0].size = 0;
    std::vector<std::pair<Id, std::uint32_t>> storages{{kRoot, raw[0].child}};
    std::vector<std::uint32_t> path;
    while (!storages.empty()) {
        const auto [parent, top] = storages.back();
        storages.pop_back();
        for (std::uint32_t node = top; node != kNoStream || !path.empty();) {
            if (node != kNoStream) {
                if (node >= count || reached[node]) {
                    file.incomplete_ = true;
                    node = kNoStream;
                    continue;
                }
                reached[node] = true;
                path.push_back(node);
                node = raw[node].left;
                continue;
            }
            node = path.back();
            path.pop_back();
            const RawEntry& entry = raw[node];
            if ((entry.type == kStorage || entry.type == kStream)) {
                const Id id = add(entry);
                file.entries_[parent].children.push_back(id);
                if (entry.type == kStorage) storages.emplace_back(id, entry.child);
            } else {
                file.incomplete_ = true;
            }
            node = entry.right;
        }
    }
    return file;
}

}  // namespace brindle::workbook::ole2
