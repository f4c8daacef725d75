#pragma once

#include <cstddef>
#include <memory_resource>

namespace zelk {

// The upstream of the records' arenas. A large result fills its arena with big blocks; when
// the recordset goes they are kept for the next arena instead of going back to the system, so
// running a large search again costs no fresh pages. Small blocks and anything beyond a fixed
// total go straight to the heap. Safe to use from several threads.
std::pmr::memory_resource* RecycledBlocks();

// An allocator drawing on the same cache, for the one big array a large result grows (its
// list of records). Given back to the heap, an array that size makes it merge every small
// block freed before it, which costs more than the result took to read.
template <class T> struct RecycledAllocator {
    using value_type = T;
    RecycledAllocator() = default;
    template <class U> RecycledAllocator(const RecycledAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        return static_cast<T*>(RecycledBlocks()->allocate(n * sizeof(T), alignof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept {
        RecycledBlocks()->deallocate(p, n * sizeof(T), alignof(T));
    }
    template <class U> bool operator==(const RecycledAllocator<U>&) const noexcept { return true; }
};

} // namespace zelk
