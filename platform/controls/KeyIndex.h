#pragma once
// The positions of keyed entries, found by key: the index behind the keyed
// collections of the controls. An open-addressed table of hash and position,
// eight bytes a slot, kept at most half full; the keys stay with the entries
// and are read back through keyAt(position) to compare. Adding, finding and
// taking out cost the same however many entries there are, and the table of
// a list of a hundred thousand stores stays small enough to be walked in the
// processor's caches. Keys compare exactly.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace controls {

class KeyIndex {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    void Clear()
    {
        slots_.clear();
        used_ = 0;
    }

    // The position entered for key, or kNone.
    template <class KeyAt>
    uint32_t Find(std::string_view key, const KeyAt& keyAt) const
    {
        const size_t at = slotOf(key, keyAt);
        return at == kMissing ? kNone : slots_[at].position;
    }

    // Enters key at position; false, and nothing entered, when key is there.
    template <class KeyAt>
    bool Insert(std::string_view key, uint32_t position, const KeyAt& keyAt)
    {
        if (slotOf(key, keyAt) != kMissing)
            return false;
        if ((used_ + 1) * 2 > slots_.size())
            grow();
        const uint32_t hash = hashOf(key);
        size_t i = hash & mask();
        while (slots_[i].position != kNone)
            i = (i + 1) & mask();
        slots_[i] = {hash, position};
        ++used_;
        return true;
    }

    // Takes key out; false when it was not there. The entry must still be
    // at its position.
    template <class KeyAt>
    bool Erase(std::string_view key, const KeyAt& keyAt)
    {
        size_t hole = slotOf(key, keyAt);
        if (hole == kMissing)
            return false;
        // Entries after the hole that would not be found past it move up.
        for (size_t j = (hole + 1) & mask(); slots_[j].position != kNone; j = (j + 1) & mask()) {
            const size_t home = slots_[j].hash & mask();
            const bool between = hole <= j ? (hole < home && home <= j) : (hole < home || home <= j);
            if (!between) {
                slots_[hole] = slots_[j];
                hole = j;
            }
        }
        slots_[hole] = {0, kNone};
        --used_;
        return true;
    }

    // The entry of key moved from one position to another.
    void Move(std::string_view key, uint32_t from, uint32_t to)
    {
        if (slots_.empty())
            return;
        for (size_t i = hashOf(key) & mask(); slots_[i].position != kNone; i = (i + 1) & mask())
            if (slots_[i].position == from) {
                slots_[i].position = to;
                return;
            }
    }

    // Every position above removed one lower: an entry left from the middle.
    void ShiftDownAfter(uint32_t removed)
    {
        for (Slot& s : slots_)
            if (s.position != kNone && s.position > removed)
                --s.position;
    }

private:
    struct Slot {
        uint32_t hash = 0;
        uint32_t position = kNone;
    };
    static constexpr size_t kMissing = SIZE_MAX;

    static uint32_t hashOf(std::string_view key)
    {
        const size_t h = std::hash<std::string_view>{}(key);
        return static_cast<uint32_t>(h ^ (h >> 32));
    }
    size_t mask() const { return slots_.size() - 1; }

    template <class KeyAt>
    size_t slotOf(std::string_view key, const KeyAt& keyAt) const
    {
        if (slots_.empty())
            return kMissing;
        const uint32_t hash = hashOf(key);
        for (size_t i = hash & mask(); slots_[i].position != kNone; i = (i + 1) & mask())
            if (slots_[i].hash == hash && keyAt(slots_[i].position) == key)
                return i;
        return kMissing;
    }

    // Twice the size (16 at first), every entry entered again by its hash.
    void grow()
    {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
        for (const Slot& s : old) {
            if (s.position == kNone)
                continue;
            size_t i = s.hash & mask();
            while (slots_[i].position != kNone)
                i = (i + 1) & mask();
            slots_[i] = s;
        }
    }

    std::vector<Slot> slots_;
    size_t used_ = 0;
};

} // namespace controls
