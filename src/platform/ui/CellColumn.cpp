#include "platform/ui/CellColumn.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace zelk {

CellColumn::Ref CellColumn::Append(std::string_view s) {
    Block* last = blocks_.empty() ? nullptr : &blocks_.back();
    if (!last || last->size - last->used < s.size()) {
        if (blocks_.size() >= kMaxBlocks) throw std::bad_alloc();
        // Small grids start small; a large one soon takes whole blocks.
        std::size_t size =
            last ? std::min(kBlock, std::max(last->size * 2, std::size_t{256})) : std::size_t{256};
        size = std::max(size, s.size());
        blocks_.push_back(Block{std::make_unique_for_overwrite<char[]>(size), size, 0});
        last = &blocks_.back();
    }
    const auto pos = static_cast<std::uint32_t>(((blocks_.size() - 1) << kOffsetBits) | last->used);
    std::memcpy(last->data.get() + last->used, s.data(), s.size());
    last->used += s.size();
    text_ += s.size();
    return Ref{pos, static_cast<std::uint32_t>(s.size())};
}

void CellColumn::Set(std::size_t i, std::string_view s) {
    if (s.size() > 0xffffffffu) throw std::bad_alloc();
    Ref& r = refs_[i];
    if (s.size() <= r.len) {
        // In place: a text no longer than the one it replaces needs no new room.
        if (!s.empty())
            std::memmove(blocks_[r.pos >> kOffsetBits].data.get() + (r.pos & kOffsetMask), s.data(),
                         s.size());
        garbage_ += r.len - s.size();
        r.len = static_cast<std::uint32_t>(s.size());
        if (s.empty()) r.pos = 0;
        return;
    }
    if (garbage_ > kBlock && garbage_ * 2 > text_) {
        // `s` may be one of our own texts; keep it apart before the blocks are rebuilt.
        const std::string copy(s);
        Drop(r);
        Compact();
        refs_[i] = Append(copy);
        return;
    }
    // Blocks never move, so `s` stays valid even when it is one of our own texts.
    const Ref placed = Append(s);
    garbage_ += r.len;
    r = placed;
}

void CellColumn::Resize(std::size_t n) {
    if (n == 0) {
        refs_.clear();
        ClearAll();
        return;
    }
    for (std::size_t i = n; i < refs_.size(); ++i)
        garbage_ += refs_[i].len;
    refs_.resize(n);
}

void CellColumn::InsertEmpty(std::size_t at) {
    refs_.insert(refs_.begin() + static_cast<std::ptrdiff_t>(at), Ref{});
}

void CellColumn::Erase(std::size_t at) {
    garbage_ += refs_[at].len;
    refs_.erase(refs_.begin() + static_cast<std::ptrdiff_t>(at));
}

void CellColumn::Permute(std::size_t first, const std::vector<long>& newOrder) {
    std::vector<Ref> moved(newOrder.size());
    for (std::size_t i = 0; i < newOrder.size(); ++i)
        moved[i] = refs_[static_cast<std::size_t>(newOrder[i])];
    std::copy(moved.begin(), moved.end(), refs_.begin() + static_cast<std::ptrdiff_t>(first));
}

void CellColumn::ClearAll() {
    std::fill(refs_.begin(), refs_.end(), Ref{});
    blocks_.clear();
    text_ = garbage_ = 0;
}

void CellColumn::ShrinkToFit() {
    if (garbage_ > 0) Compact();
    refs_.shrink_to_fit();
    blocks_.shrink_to_fit();
}

void CellColumn::Compact() {
    std::vector<Block> old = std::move(blocks_);
    blocks_.clear();
    text_ = garbage_ = 0;
    for (Ref& r : refs_) {
        if (r.len == 0) continue;
        const char* from = old[r.pos >> kOffsetBits].data.get() + (r.pos & kOffsetMask);
        r = Append(std::string_view(from, r.len));
    }
}

} // namespace zelk
