#pragma once
// The program's one hash index: open addressing over entry numbers, the
// entries (and their keys) kept by the user. A slot holds an entry's number
// and the full 64-bit hash of its key; a lookup passes over slots of other
// hashes without touching their entries, and on a hash match asks the user
// whether the entry's key is the one looked for, so two keys sharing a hash
// stay two entries. The index keeps no copy of the keys: a library's names
// are views into its records, a script's lines are where they stand.
//
// The standard unordered containers allocate a node per entry and miss the
// cache on every lookup; a province's library and a million-line script are
// far larger than the cache, and a lookup here mostly touches one slot and
// one entry.

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace brindle {

class FlatIndex {
public:
    // The hash the index's users key by.
    static std::uint64_t hash(std::string_view key);

    std::size_t size() const { return size_; }

    // Makes room for `entries` in all, so that filling the index never moves
    // it: growing by doubling copies the table at every doubling.
    void reserve(std::size_t entries) {
        std::size_t capacity = 16;
        while (capacity < entries * 2) capacity *= 2;
        if (capacity > slots_.size()) rehash(capacity);
    }

    // The entry under `hash` for which `same(entry)` holds, if any.
    template <class Same>
    std::optional<std::uint32_t> find(std::uint64_t hash, const Same& same) const {
        if (slots_.empty()) return std::nullopt;
        for (std::size_t s = hash & mask();; s = (s + 1) & mask()) {
            const Slot& slot = slots_[s];
            if (slot.entry == kFree) return std::nullopt;
            if (slot.hash() == hash && same(slot.entry)) return slot.entry;
        }
    }

    // Adds `entry` under `hash` unless an entry for which `same` holds is
    // there; returns the entry the index then holds for the key and whether
    // it is `entry`.
    template <class Same>
    std::pair<std::uint32_t, bool> insert(std::uint64_t hash, std::uint32_t entry,
                                          const Same& same) {
        if ((size_ + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 16 : slots_.size() * 2);
        std::size_t s = hash & mask();
        for (; slots_[s].entry != kFree; s = (s + 1) & mask())
            if (slots_[s].hash() == hash && same(slots_[s].entry)) return {slots_[s].entry, false};
        slots_[s] = Slot(hash, entry);
        ++size_;
        return {entry, true};
    }

    // Starts fetching the slot of `hash` into the cache, for a lookup a
    // little later while other work goes on.
    void prefetch(std::uint64_t hash) const {
        if (!slots_.empty()) __builtin_prefetch(&slots_[hash & mask()]);
    }

    // An entry number is below this (a table of four billion entries would
    // not fit in memory anyway).
    static constexpr std::uint32_t kFree = UINT32_MAX;

private:
    // 12 bytes: the hash in two halves keeps the slot unpadded.
    struct Slot {
        Slot() = default;
        Slot(std::uint64_t h, std::uint32_t e)
            : entry(e),
              low(static_cast<std::uint32_t>(h)),
              high(static_cast<std::uint32_t>(h >> 32)) {}
        std::uint64_t hash() const { return (static_cast<std::uint64_t>(high) << 32) | low; }
        std::uint32_t entry = kFree;
        std::uint32_t low = 0, high = 0;
    };

    std::size_t mask() const { return slots_.size() - 1; }
    // The full hash is kept, so the table grows without asking for any key.
    void rehash(std::size_t capacity) {
        std::vector<Slot> old(capacity);
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.entry == kFree) continue;
            std::size_t s = slot.hash() & mask();
            while (slots_[s].entry != kFree) s = (s + 1) & mask();
            slots_[s] = slot;
        }
    }

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
};

// While one lives, FlatIndex::hash gives every key the same hash, so that
// every lookup meets every other key: a test of a user of the index then
// shows that keys, not hashes, decide. For small tests only (each lookup
// walks the whole table).
class EqualHashesForTest {
public:
    EqualHashesForTest();
    ~EqualHashesForTest();
    EqualHashesForTest(const EqualHashesForTest&) = delete;
    EqualHashesForTest& operator=(const EqualHashesForTest&) = delete;
};

}  // namespace brindle
