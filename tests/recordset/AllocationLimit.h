#pragma once

#include <cstddef>

namespace zelk::testing {

// While one is alive, every operator new asking for more than `bytes` throws std::bad_alloc,
// as it would on a machine out of memory. Only this test program replaces operator new.
class AllocationLimit {
public:
    explicit AllocationLimit(std::size_t bytes);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;
};

} // namespace zelk::testing
