#pragma once

#include <cstddef>

namespace zelk::testing {

// While one is alive, every operator new asking for more than `bytes` throws std::bad_alloc,
// as it would on a machine out of memory. Only the recordset and grid test programs replace
// operator new.
class AllocationLimit {
public:
    explicit AllocationLimit(std::size_t bytes);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;
};

// Counts the calls of operator new while it is alive (one counter at a time).
class AllocationCount {
public:
    AllocationCount();
    ~AllocationCount();
    AllocationCount(const AllocationCount&) = delete;
    AllocationCount& operator=(const AllocationCount&) = delete;
    std::size_t Calls() const;
};

} // namespace zelk::testing
