#include "platform/ValueIndex.h"

#include <algorithm>

namespace zelk {

namespace {
// IDs are often consecutive. Runs of eight neighbouring keys share one stretch of slots, so
// building or walking an index in key order touches memory in order; the runs themselves are
// spread by a multiplicative hash, so that keys a power of two apart meet no long probes.
std::uint64_t Mix(std::uint64_t k) {
    std::uint64_t run = k >> 3;
    run ^= run >> 33;
    run *= 0xff51afd7ed558ccdULL;
    run ^= run >> 33;
    return (run << 3) | (k & 7);
}
} // namespace

std::size_t ValueIndex::Home(std::uint64_t key) const {
    return static_cast<std::size_t>(Mix(key)) & (slots_.size() - 1);
}

const ValueIndex::Slot* ValueIndex::FindWhole(std::uint64_t key) const {
    if (slots_.empty()) return nullptr;
    for (std::size_t i = Home(key);; i = (i + 1) & (slots_.size() - 1)) {
        const Slot& s = slots_[i];
        if (s.first == kNone) return nullptr;
        if (s.key == key) return &s;
    }
}

void ValueIndex::Reserve(std::size_t keys) {
    std::size_t want = 16;
    while (want < keys * 2)
        want *= 2;
    if (want > slots_.size()) Rehash(want);
}

void ValueIndex::Rehash(std::size_t slots) {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(slots, Slot{});
    for (const Slot& s : old) {
        if (s.first == kNone) continue;
        std::size_t i = Home(s.key);
        while (slots_[i].first != kNone)
            i = (i + 1) & (slots_.size() - 1);
        slots_[i] = s;
    }
}

std::uint32_t ValueIndex::NewMore() {
    if (!freeMore_.empty()) {
        std::uint32_t m = freeMore_.back();
        freeMore_.pop_back();
        return m;
    }
    more_.emplace_back();
    return static_cast<std::uint32_t>(more_.size() - 1);
}

void ValueIndex::AddWhole(std::uint64_t key, RowId row) {
    // At most half full keeps probes short.
    if ((used_ + 1) * 2 > slots_.size()) Rehash(slots_.empty() ? 16 : slots_.size() * 2);
    std::size_t i = Home(key);
    for (;; i = (i + 1) & (slots_.size() - 1)) {
        Slot& s = slots_[i];
        if (s.first == kNone) {
            s = Slot{key, row, kNone};
            ++used_;
            return;
        }
        if (s.key == key) {
            if (s.more == kNone) s.more = NewMore();
            more_[s.more].push_back(row);
            return;
        }
    }
}

// Backward-shift deletion: the slots after the freed one that would no longer be found from
// their home slot move into the gap, so no tombstones build up.
void ValueIndex::EraseSlot(std::size_t at) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t gap = at;
    for (std::size_t i = (at + 1) & mask; slots_[i].first != kNone; i = (i + 1) & mask) {
        const std::size_t home = Home(slots_[i].key);
        // Moves when its home lies cyclically outside (gap, i].
        const bool between = gap <= i ? (home > gap && home <= i) : (home > gap || home <= i);
        if (!between) {
            slots_[gap] = slots_[i];
            gap = i;
        }
    }
    slots_[gap] = Slot{};
    --used_;
}

void ValueIndex::RemoveWhole(std::uint64_t key, RowId row) {
    const Slot* found = FindWhole(key);
    if (!found) return;
    const std::size_t at = static_cast<std::size_t>(found - slots_.data());
    Slot& s = slots_[at];
    if (s.first == row) {
        if (s.more == kNone) {
            EraseSlot(at);
            return;
        }
        std::vector<RowId>& more = more_[s.more];
        s.first = more.back();
        more.pop_back();
    } else {
        if (s.more == kNone) return;
        std::vector<RowId>& more = more_[s.more];
        auto pos = std::find(more.begin(), more.end(), row);
        if (pos != more.end()) more.erase(pos);
    }
    if (more_[s.more].empty()) {
        freeMore_.push_back(s.more);
        s.more = kNone;
    }
}

void ValueIndex::Add(const IndexKey& key, RowId row) {
    if (key.tag == IndexKey::Tag::Whole) {
        AddWhole(key.number, row);
        return;
    }
    auto [it, added] = buckets_.try_emplace(key, Bucket{row, {}});
    if (!added) it->second.more.push_back(row);
}

void ValueIndex::Remove(const IndexKey& key, RowId row) {
    if (key.tag == IndexKey::Tag::Whole) {
        RemoveWhole(key.number, row);
        return;
    }
    auto it = buckets_.find(key);
    if (it == buckets_.end()) return;
    Bucket& b = it->second;
    if (b.first == row) {
        if (b.more.empty()) {
            buckets_.erase(it);
            return;
        }
        b.first = b.more.back();
        b.more.pop_back();
        return;
    }
    auto pos = std::find(b.more.begin(), b.more.end(), row);
    if (pos != b.more.end()) b.more.erase(pos);
}

} // namespace zelk
