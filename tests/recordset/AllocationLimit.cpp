#include "AllocationLimit.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> limit{0}; // 0: no limit
std::atomic<bool> counting{false};
std::atomic<std::size_t> calls{0};
} // namespace

void* operator new(std::size_t bytes) {
    const std::size_t most = limit.load(std::memory_order_relaxed);
    if (most != 0 && bytes > most) throw std::bad_alloc();
    if (counting.load(std::memory_order_relaxed)) calls.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(bytes != 0 ? bytes : 1)) return p;
    throw std::bad_alloc();
}

// Every plain form is replaced together, so whatever allocates (nothrow, arrays) frees with
// the matching function; the aligned forms stay the library's, as a pair.
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t bytes) {
    return ::operator new(bytes);
}

void* operator new[](std::size_t bytes, const std::nothrow_t& tag) noexcept {
    return ::operator new(bytes, tag);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

void operator delete[](void* p) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace zelk::testing {

AllocationLimit::AllocationLimit(std::size_t bytes) {
    limit.store(bytes, std::memory_order_relaxed);
}

AllocationLimit::~AllocationLimit() {
    limit.store(0, std::memory_order_relaxed);
}

AllocationCount::AllocationCount() {
    calls.store(0, std::memory_order_relaxed);
    counting.store(true, std::memory_order_relaxed);
}

AllocationCount::~AllocationCount() {
    counting.store(false, std::memory_order_relaxed);
}

std::size_t AllocationCount::Calls() const {
    return calls.load(std::memory_order_relaxed);
}

} // namespace zelk::testing
