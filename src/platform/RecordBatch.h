#pragma once

#include "platform/BlockCache.h"
#include "platform/Variant.h"

#include <cstddef>
#include <memory>
#include <memory_resource>
#include <vector>

namespace zelk {

// Records read in bulk by a data service, stored where the recordset that takes them keeps
// them: handing the batch over moves no value, and the records' storage is given back all at
// once when the last recordset sharing them goes.
class RecordBatch {
public:
    using Row = std::pmr::vector<Variant>;
    using RowList = std::vector<Row, RecycledAllocator<Row>>;

    RecordBatch() : arena_(NewArena()) {}

    // A bulk read's arena starts at the size the block cache keeps, so that even its first
    // blocks come back from earlier results rather than from the heap.
    static std::unique_ptr<std::pmr::monotonic_buffer_resource> NewArena() {
        constexpr std::size_t kFirstBlock = 64 * 1024;
        return std::make_unique<std::pmr::monotonic_buffer_resource>(kFirstBlock, RecycledBlocks());
    }

    // A new record with room for `width` values; the caller appends them in field order.
    Row& NewRow(std::size_t width) {
        Row& r = rows_.emplace_back(arena_.get());
        r.reserve(width);
        return r;
    }
    RowList& Rows() { return rows_; }
    bool Empty() const { return rows_.empty(); }

private:
    friend struct RecordsetData;
    std::unique_ptr<std::pmr::monotonic_buffer_resource> arena_; // outlives rows_
    RowList rows_;
};

} // namespace zelk
