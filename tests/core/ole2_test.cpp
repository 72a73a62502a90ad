// The compound-file reader compared with libgsf, the reference: what each
// makes of every .xls fixture, of the OLE inputs of the fuzzing corpus, of
// containers libgsf writes with unusual layouts and of damaged copies.

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "core/workbook/ole2.h"
#include "testsupport.h"

namespace brindle::workbook::ole2 {
namespace {

namespace fs = std::filesystem;

const std::string kSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// What a reader makes of a container: the streams it can read, by their
// paths, with their bytes; sorted, for the two readers list a storage's
// children in orders of their own. nullopt when refused whole. A stream
// that cannot be read counts as one not listed: libgsf leaves out some of
// them when it opens the container, and some when it opens them.
using Item = std::pair<std::string, std::string>;
using Listing = std::optional<std::vector<Item>>;

void walk(const CompoundFile& file, CompoundFile::Id storage, const std::string& prefix,
          std::vector<Item>& out) {
    for (const CompoundFile::Id id : file.entries()[storage].children) {
        const CompoundFile::Entry& entry = file.entries()[id];
        const std::string path = prefix + entry.name;
        if (entry.storage) {
            walk(file, id, path + "/", out);
            continue;
        }
        auto stream = file.stream(id);
        std::string bytes(stream ? stream->size() : 0, '\0');
        if (stream && stream->read(0, bytes.data(), bytes.size())) out.emplace_back(path, bytes);
    }
}

Listing ours(const std::string& bytes) {
    const auto file = CompoundFile::open(ByteSource::memory(bytes, "in.xls"));
    if (!file) return std::nullopt;
    std::vector<Item> items;
    walk(*file, CompoundFile::kRoot, "", items);
    std::sort(items.begin(), items.end());
    return items;
}

template <class T>
struct Unref {
    void operator()(T* object) const {
        if (object) g_object_unref(object);
    }
};
template <class T>
using Gsf = std::unique_ptr<T, Unref<T>>;

void gsfWalk(GsfInfile* storage, const std::string& prefix, std::size_t fileSize,
             std::vector<Item>& out) {
    for (int i = 0; i < gsf_infile_num_children(storage); ++i) {
        const char* name = gsf_infile_name_by_index(storage, i);
        const std::string path = prefix + (name ? name : "");
        Gsf<GsfInput> child(gsf_infile_child_by_index(storage, i));
        if (!child) continue;
        if (GSF_IS_INFILE(child.get()) && gsf_infile_num_children(GSF_INFILE(child.get())) >= 0) {
            gsfWalk(GSF_INFILE(child.get()), path + "/", fileSize, out);
            continue;
        }
        // No stream holds more than the file.
        const gsf_off_t size = gsf_input_size(child.get());
        if (size < 0 || std::size_t(size) > fileSize + 4096) continue;
        std::string bytes(std::size_t(size), '\0');
        if (size == 0 ||
            gsf_input_read(child.get(), std::size_t(size), reinterpret_cast<guint8*>(bytes.data())))
            out.emplace_back(path, bytes);
    }
}

// libgsf logs its complaints about damage on stderr; the verdict is enough.
void initGsf() {
    static const bool done = [] {
        gsf_init();
        const auto levels = static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK & ~G_LOG_LEVEL_ERROR);
        for (const char* domain : {"libgsf", "libgsf:msole", static_cast<const char*>(nullptr)})
            g_log_set_handler(
                domain, levels, [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {},
                nullptr);
        return true;
    }();
    (void)done;
}

Listing gsf(const std::string& bytes) {
    initGsf();
    Gsf<GsfInput> input(gsf_input_memory_new(reinterpret_cast<const guint8*>(bytes.data()),
                                             gsf_off_t(bytes.size()), FALSE));
    GError* error = nullptr;
    Gsf<GsfInfile> file(gsf_infile_msole_new(input.get(), &error));
    g_clear_error(&error);
    if (!file) return std::nullopt;
    std::vector<Item> items;
    gsfWalk(file.get(), "", bytes.size(), items);
    std::sort(items.begin(), items.end());
    return items;
}

// A short account of a listing for a failure message: each stream's size.
std::string describe(const Listing& listing) {
    if (!listing) return "refused";
    std::string out;
    for (const auto& [path, bytes] : *listing)
        out += path + " " + std::to_string(bytes.size()) + "; ";
    return out;
}

// ---- containers libgsf writes ----------------------------------------------------

struct Entry {
    std::string path;  // "dir/" makes a storage; "dir/name" a stream in it
    std::string bytes;
};

std::string writeContainer(const std::vector<Entry>& entries, unsigned sectorSize = 512) {
    initGsf();
    Gsf<GsfOutput> sink(gsf_output_memory_new());
    Gsf<GsfOutfile> ole(gsf_outfile_msole_new_full(sink.get(), sectorSize, 64));
    std::vector<std::pair<std::string, Gsf<GsfOutput>>> storages;
    for (const Entry& entry : entries) {
        const std::size_t slash = entry.path.find('/');
        GsfOutfile* parent = ole.get();
        for (auto& [name, storage] : storages)
            if (slash != std::string::npos && name == entry.path.substr(0, slash))
                parent = GSF_OUTFILE(storage.get());
        if (slash + 1 == entry.path.size()) {
            storages.emplace_back(entry.path.substr(0, slash),
                                  Gsf<GsfOutput>(gsf_outfile_new_child(
                                      parent, entry.path.substr(0, slash).c_str(), TRUE)));
            continue;
        }
        const std::string name =
            slash == std::string::npos ? entry.path : entry.path.substr(slash + 1);
        Gsf<GsfOutput> child(gsf_outfile_new_child(parent, name.c_str(), FALSE));
        EXPECT_TRUE(gsf_output_write(child.get(), entry.bytes.size(),
                                     reinterpret_cast<const guint8*>(entry.bytes.data())));
        EXPECT_TRUE(gsf_output_close(child.get()));
    }
    for (auto it = storages.rbegin(); it != storages.rend(); ++it)
        EXPECT_TRUE(gsf_output_close(it->second.get()));
    EXPECT_TRUE(gsf_output_close(GSF_OUTPUT(ole.get())));
    const auto* memory = GSF_OUTPUT_MEMORY(sink.get());
    return std::string(reinterpret_cast<const char*>(
                           gsf_output_memory_get_bytes(const_cast<GsfOutputMemory*>(memory))),
                       std::size_t(gsf_output_size(sink.get())));
}

// Bytes that differ from one offset to the next, so that a sector read in
// the wrong place shows.
std::string pattern(std::size_t size, unsigned seed = 1) {
    std::string out(size, '\0');
    std::uint32_t state = seed;
    for (char& c : out) {
        state = state * 1103515245u + 12345u;
        c = char(state >> 16);
    }
    return out;
}

// ---- the container's layout, to damage it where it counts ------------------------

std::uint32_t le32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | std::uint8_t(bytes[at + std::size_t(i)]);
    return value;
}
void put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + std::size_t(i)] = char(value >> (8 * i));
}

struct Layout {
    const std::string& bytes;
    unsigned shift() const { return std::uint8_t(bytes[30]); }
    std::size_t sector(std::uint32_t s) const { return std::size_t(s + 1) << shift(); }
    // Where the FAT holds the link of sector `s` (the first 109 FAT sectors).
    std::size_t fatLink(std::uint32_t s) const {
        const std::size_t perSector = (std::size_t{1} << shift()) / 4;
        return sector(le32(bytes, 76 + 4 * (s / perSector))) + 4 * (s % perSector);
    }
    std::uint32_t next(std::uint32_t s) const { return le32(bytes, fatLink(s)); }
    // Directory entry `id`, through the directory's chain.
    std::size_t entry(std::uint32_t id) const {
        const std::size_t perSector = (std::size_t{1} << shift()) / 128;
        std::uint32_t s = le32(bytes, 48);
        for (std::uint32_t i = 0; i < id / perSector; ++i) s = next(s);
        return sector(s) + 128 * (id % perSector);
    }
    // The entry named `name` (ASCII), by its id.
    std::uint32_t find(std::string_view name) const {
        std::string units;
        for (const char c : name) units += std::string{c, '\0'};
        units += std::string(2, '\0');
        for (std::uint32_t id = 0; id < 16; ++id)
            if (bytes.compare(entry(id), units.size(), units) == 0) return id;
        ADD_FAILURE() << "no entry " << name;
        return 0;
    }
    std::size_t field(std::string_view name, std::size_t offset) const {
        return entry(find(name)) + offset;
    }
};

// Entry fields.
constexpr std::size_t kType = 66, kLeft = 68, kRight = 72, kChild = 76, kStart = 116, kSize = 120,
                      kNameLength = 64;

// ---- tests ---------------------------------------------------------------------------

TEST(Ole2Test, EveryFixtureReadsAsLibgsfReadsIt) {
    std::size_t compared = 0;
    for (const auto& item : fs::recursive_directory_iterator(BRINDLE_TEST_FIXTURES)) {
        if (item.path().extension() != ".xls") continue;
        const std::string bytes = test::readFile(item.path());
        if (bytes.compare(0, 8, kSignature) != 0) continue;  // the Excel 2.x one
        SCOPED_TRACE(item.path().filename().string());
        const Listing expected = gsf(bytes);
        ASSERT_TRUE(expected);
        EXPECT_EQ(ours(bytes), expected);
        ++compared;
    }
    EXPECT_EQ(compared, 6u);
}

// How two listings differ: each kind of difference with the paths of the
// streams it touches; empty where they agree.
std::map<std::string, std::string> difference(const Listing& mine, const Listing& theirs) {
    if (!mine || !theirs) {
        if (mine == theirs) return {};
        return {{!mine ? "refused by us" : "refused by libgsf", ""}};
    }
    std::map<std::string, std::string> out;
    const auto oneSided = [&out](const std::vector<Item>& from, const std::vector<Item>& other,
                                 const std::string& only) {
        for (const Item& item : from) {
            if (std::find(other.begin(), other.end(), item) != other.end()) continue;
            const bool named = std::any_of(other.begin(), other.end(),
                                           [&](const Item& o) { return o.first == item.first; });
            out[named ? "bytes differ" : only] += item.first + "; ";
        }
    };
    oneSided(*mine, *theirs, "only we read");
    oneSided(*theirs, *mine, "only libgsf reads");
    return out;
}

// The fuzzing corpus: damaged copies of the fixtures. Where libgsf and the
// reader differ, the table says how; in each case libgsf hands out bytes
// the file does not hold for the stream, or gives up on streams that are
// whole, and the reader does neither.
TEST(Ole2Test, TheFuzzingCorpusReadsAsLibgsfReadsIt) {
    // By the first characters of the input's name.
    const std::map<std::string, std::string> differences{
        // Damage to the mini FAT, or to a name: libgsf refuses the whole
        // container, where the streams whose sectors are all there read.
        {"36f45039", "refused by libgsf"},
        {"c584db5d", "refused by libgsf"},
        // A mini stream's chain leaves the mini FAT: libgsf reads the rest
        // of the stream from somewhere else.
        {"6d1445f8", "only libgsf reads"},
        {"01a26924", "only libgsf reads"},
        // One link of the mini FAT damaged: libgsf reads the sectors of
        // other, whole streams from the wrong places.
        {"fe77a44b", "bytes differ"},
        {"7eb15eb5", "bytes differ"},
        // libgsf leaves out the sibling of an entry whose size is beyond
        // the file, and an empty stream whose first sector is out of range.
        {"b918001d", "only we read"},
        {"891f2434", "only we read"},
    };
    std::size_t compared = 0, differing = 0;
    for (const auto& item : fs::recursive_directory_iterator(BRINDLE_FUZZ_CORPUS)) {
        if (!item.is_regular_file()) continue;
        const std::string bytes = test::readFile(item.path());
        if (bytes.compare(0, 8, kSignature) != 0) continue;
        ++compared;
        const std::string name = item.path().filename().string();
        SCOPED_TRACE(name);
        const auto found = differences.find(name.substr(0, 8));
        std::string kinds;
        for (const auto& [kind, paths] : difference(ours(bytes), gsf(bytes)))
            kinds += (kinds.empty() ? "" : ", ") + kind;
        differing += found != differences.end();
        EXPECT_EQ(kinds, found == differences.end() ? "" : found->second);
    }
    EXPECT_GE(compared, 22u);
    EXPECT_EQ(differing, differences.size());
}

// Sector sizes, streams on either side of the mini stream's cutoff, a
// storage inside the root, and a FAT large enough for DIFAT sectors.
TEST(Ole2Test, LayoutsLibgsfWrites) {
    const std::vector<Entry> sizes{{"empty", ""},
                                   {"one", pattern(1, 2)},
                                   {"mini63", pattern(63, 3)},
                                   {"mini64", pattern(64, 4)},
                                   {"mini4095", pattern(4095, 5)},
                                   {"cutoff4096", pattern(4096, 6)},
                                   {"big4097", pattern(4097, 7)},
                                   {"dir/", ""},
                                   {"dir/inner", pattern(700, 8)}};
    struct Case {
        const char* name;
        std::vector<Entry> entries;
        unsigned sectorSize;
    };
    // 512-byte sectors: each FAT sector covers 64 KiB, so 109 of them end
    // before 7 MiB.
    const Case cases[] = {
        {"512", sizes, 512},
        {"4096", sizes, 4096},
        {"difat", {{"Workbook", pattern(8 << 20, 9)}, {"small", pattern(100, 10)}}, 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = writeContainer(c.entries, c.sectorSize);
        if (std::string(c.name) == "difat") {
            EXPECT_GT(le32(bytes, 44), 109u) << "FAT sectors";
        }
        std::vector<Item> expected;
        for (const Entry& entry : c.entries)
            if (entry.path.back() != '/') expected.emplace_back(entry.path, entry.bytes);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ours(bytes), expected);
        EXPECT_EQ(gsf(bytes), expected);
    }
}

TEST(Ole2Test, NamesCompareAsTheFormatComparesThem) {
    const std::string bytes =
        writeContainer({{"Workbook", "w"}, {"Ärger", "a"}, {"\xD0\xB4\xD0\xB0", "d"}});
    const auto file = CompoundFile::open(ByteSource::memory(bytes, "in.xls"));
    ASSERT_TRUE(file);
    const std::pair<std::u16string_view, bool> lookups[] = {
        {u"Workbook", true}, {u"WORKBOOK", true},   {u"workbooK", true},
        {u"ärger", true},    {u"ÄRGER", true},      {u"ДА", true},
        {u"Workboo", false}, {u"Workbooks", false}, {u"Book", false},
    };
    for (const auto& [name, found] : lookups)
        EXPECT_EQ(file->child(CompoundFile::kRoot, name).has_value(), found)
            << std::string(name.begin(), name.end());
}

// Damage where a container is most easily damaged, in a container of each
// sector size: what the reader makes of it, and whether libgsf makes the
// same. Where libgsf differs, it reads the container as if the damage were
// not there (and hands out the wrong bytes or drops entries without a word),
// and a workbook in it reads as no workbook at all instead of a damaged one.
TEST(Ole2Test, DamagedCopies) {
    const std::string all = "Workbook 5000; dir/inner 10; small 300; ";
    const std::string noWorkbook = "dir/inner 10; small 300; ";
    const std::string noSmall = "Workbook 5000; ";
    const std::string refused = "refused", none = "", cycle = "dir/inner 10; ";
    const auto header = [](std::size_t at, std::uint32_t value) {
        return [=](std::string& b) { put32(b, at, value); };
    };
    const auto field = [](std::string_view entry, std::size_t offset, std::uint32_t value) {
        return [=](std::string& b) { put32(b, Layout{b}.field(entry, offset), value); };
    };
    const auto byte = [](std::string_view entry, std::size_t offset, char value) {
        return [=](std::string& b) { b[Layout{b}.field(entry, offset)] = value; };
    };
    const auto link = [](std::string_view entry, std::uint32_t value) {
        return [=](std::string& b) {
            const std::uint32_t start =
                entry.empty() ? le32(b, 48) : le32(b, Layout{b}.field(entry, kStart));
            put32(b, Layout{b}.fatLink(start), value == 0 ? start : value);
        };
    };
    struct Damage {
        const char* name;
        std::function<void(std::string&)> apply;
        const std::string& ours;
        bool libgsfAgrees = true;
        unsigned onlyAt = 0;      // sector size, where the two differ
        bool incomplete = false;  // entries lost to damage to the directory
    };
    const Damage damages[] = {
        {"signature", [](std::string& b) { b[0] = 'x'; }, refused},
        {"byte order", header(28, 0xFFFFFFFF), refused},
        {"sector shift 10", [](std::string& b) { b[30] = 10; }, refused},
        {"sector shift 31", [](std::string& b) { b[30] = 31; }, refused},
        // libgsf reads the mini stream in 128-byte sectors: wrong bytes.
        {"mini sector shift 7", [](std::string& b) { b[32] = 7; }, refused, false},
        // The format fixes the cutoff; libgsf takes the file's word for it.
        {"cutoff 2048", header(56, 2048), refused, false},
        {"FAT sectors beyond the file", header(44, 0x00100000), refused},
        {"no FAT", header(44, 0), refused},
        {"FAT sector out of range", header(76, 0x7FFFFF00), refused},
        {"directory out of range", header(48, 0x7FFFFF00), refused},
        // libgsf lists the entries of the directory's first sectors only.
        {"directory chain loops", link("", 0), refused, false},
        // The DIFAT is not needed with fewer than 110 FAT sectors.
        {"DIFAT start ignored", header(68, 0x12345678), all},
        {"mini FAT out of range", header(60, 0x7FFFFF00), noSmall},
        {"mini stream out of range", field("Root Entry", kStart, 0x7FFFFF00), noSmall},
        {"root typed a storage", byte("Root Entry", kType, 1), all},
        // Damage to the directory costs the entries it reaches, in libgsf
        // too; a workbook that is not found there is a damaged one.
        {"root is its own child", field("Root Entry", kChild, 0), none, true, 0, true},
        {"child beyond the directory", field("Root Entry", kChild, 0x00FFFFFF), none, true, 0,
         true},
        {"sibling cycle",
         [](std::string& b) {
             const Layout layout{b};
             const std::uint32_t child = le32(b, layout.entry(0) + kChild);
             put32(b, layout.entry(child) + kRight, child);
         },
         cycle, true, 0, true},
        {"unused entry in the tree", byte("Workbook", kType, 0), noWorkbook, true, 0, true},
        // libgsf takes the name from beyond its field.
        {"name length 200", byte("Workbook", kNameLength, char(200)), all, false},
        // libgsf leaves the stream out of the directory, where it is found
        // and refused: a damaged workbook, not a missing one.
        {"stream beyond the file", field("Workbook", kSize, 0x7FFFFFF0), noWorkbook},
        // Only a 4096-byte-sector file has 64-bit sizes; libgsf reads 32 bits.
        {"upper half of a size", field("Workbook", kSize + 4, 1), all, true, 512},
        {"upper half of a size", field("Workbook", kSize + 4, 1), noWorkbook, false, 4096},
        {"stream start out of range", field("Workbook", kStart, 0x7FFFFFF0), noWorkbook},
        {"stream chain loops", link("Workbook", 0), noWorkbook},
        {"stream chain ends early", link("Workbook", 0xFFFFFFFE), noWorkbook},
        {"mini stream start out of range", field("small", kStart, 0x00FFFFFF),
         "Workbook 5000; dir/inner 10; "},
        {"cut in half", [](std::string& b) { b.resize(b.size() / 2); }, refused},
        {"cut after the header", [](std::string& b) { b.resize(512); }, refused},
        {"last 100 bytes cut", [](std::string& b) { b.resize(b.size() - 100); }, refused},
    };
    const std::vector<Entry> entries{{"Workbook", pattern(5000, 11)},
                                     {"small", pattern(300, 12)},
                                     {"dir/", ""},
                                     {"dir/inner", pattern(10, 13)}};
    for (const unsigned sectorSize : {512u, 4096u}) {
        const std::string base = writeContainer(entries, sectorSize);
        ASSERT_EQ(describe(ours(base)), all);
        for (const Damage& damage : damages) {
            if (damage.onlyAt && damage.onlyAt != sectorSize) continue;
            SCOPED_TRACE(std::string(damage.name) + ", " + std::to_string(sectorSize));
            std::string bytes = base;
            damage.apply(bytes);
            const std::string mine = describe(ours(bytes));
            EXPECT_EQ(mine, damage.ours);
            EXPECT_EQ(describe(gsf(bytes)) == mine, damage.libgsfAgrees) << describe(gsf(bytes));
            const auto file = CompoundFile::open(ByteSource::memory(bytes, "in.xls"));
            EXPECT_EQ(file && file->incomplete(), damage.incomplete);
            if (damage.incomplete) {
                const auto workbook = Workbook::open(ByteSource::memory(bytes, "in.xls"));
                EXPECT_EQ(workbook.error(), WorkbookError{WorkbookError::Kind::Damaged});
            }
        }
    }
}

}  // namespace
}  // namespace brindle::workbook::ole2
