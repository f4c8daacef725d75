#pragma once

#include "platform/FieldValue.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace zelk {

using RowId = std::uint32_t;

// Hash index of one column: key of the stored value -> rows holding it. Most keys are held
// by one row, so a slot keeps its first row inline and allocates only for duplicates.
// Whole numbers (the ID columns every recordset indexes) live in a flat open-addressed table
// of 16-byte slots: a node-based map costs about a hundred bytes a key, which at a million
// records is more than the records' own key values.
class ValueIndex {
public:
    // Room for `keys` whole-number keys without growing: an index built over a whole
    // column knows its size up front.
    void Reserve(std::size_t keys);
    void Add(const IndexKey& key, RowId row);
    void Remove(const IndexKey& key, RowId row);
    // Calls f(row) for every row holding key, in no particular order.
    template <class F> void ForEach(const IndexKey& key, F f) const {
        if (key.tag == IndexKey::Tag::Whole) {
            const Slot* s = FindWhole(key.number);
            if (!s) return;
            f(s->first);
            if (s->more != kNone)
                for (RowId r : more_[s->more])
                    f(r);
            return;
        }
        auto it = buckets_.find(key);
        if (it == buckets_.end()) return;
        f(it->second.first);
        for (RowId r : it->second.more)
            f(r);
    }

private:
    static constexpr std::uint32_t kNone = 0xffffffffu;
    struct Slot {
        std::uint64_t key = 0;
        RowId first = kNone;        // kNone: the slot is free
        std::uint32_t more = kNone; // position in more_ of the further rows, or kNone
    };
    struct Bucket {
        RowId first;
        std::vector<RowId> more;
    };

    std::size_t Home(std::uint64_t key) const;
    const Slot* FindWhole(std::uint64_t key) const;
    void AddWhole(std::uint64_t key, RowId row);
    void RemoveWhole(std::uint64_t key, RowId row);
    void EraseSlot(std::size_t at);
    void Rehash(std::size_t slots);
    std::uint32_t NewMore();

    std::vector<Slot> slots_; // size a power of two, or empty
    std::size_t used_ = 0;
    std::vector<std::vector<RowId>> more_;
    std::vector<std::uint32_t> freeMore_;
    std::unordered_map<IndexKey, Bucket, IndexKeyHash> buckets_; // real and text keys
};

} // namespace zelk
