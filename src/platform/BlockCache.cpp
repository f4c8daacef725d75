#include "platform/BlockCache.h"

#include <cstddef>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

namespace zelk {

namespace {

class BlockCache final : public std::pmr::memory_resource {
    // Blocks this big come from the system's page mapping, whose pages fault in afresh on
    // every use; smaller ones are reused by the heap anyway.
    static constexpr std::size_t kMinBlock = 64 * 1024;
    // What one large result needs, so memory kept idle stays bounded.
    static constexpr std::size_t kMaxKept = std::size_t{128} * 1024 * 1024;

    void* do_allocate(std::size_t bytes, std::size_t align) override {
        if (bytes >= kMinBlock) {
            std::lock_guard lock(mutex_);
            auto it = free_.find(Key(bytes, align));
            if (it != free_.end() && !it->second.empty()) {
                void* p = it->second.back();
                it->second.pop_back();
                kept_ -= bytes;
                return p;
            }
        }
        return ::operator new(bytes, std::align_val_t(align));
    }

    void do_deallocate(void* p, std::size_t bytes, std::size_t align) override {
        if (bytes >= kMinBlock) {
            std::lock_guard lock(mutex_);
            if (kept_ + bytes <= kMaxKept) {
                free_[Key(bytes, align)].push_back(p);
                kept_ += bytes;
                return;
            }
        }
        ::operator delete(p, std::align_val_t(align));
    }

    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }

    // Arenas grow their blocks by the same steps each time, so exact sizes recur.
    static std::size_t Key(std::size_t bytes, std::size_t align) { return bytes * 64 + align % 64; }

    std::mutex mutex_;
    std::unordered_map<std::size_t, std::vector<void*>> free_;
    std::size_t kept_ = 0;
};

} // namespace

std::pmr::memory_resource* RecycledBlocks() {
    // Never destroyed: recordsets held by other statics may give blocks back at exit.
    static auto* cache = new BlockCache;
    return cache;
}

} // namespace zelk
