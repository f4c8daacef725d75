#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace zelk {

// The texts of one grid column, packed into blocks of up to a megabyte, each cell a place and
// a length in them: a grid of a million rows then costs eight bytes a cell on top of its
// text, where a string per cell costs thirty-two and a heap block for any longer than a few
// characters. Blocks never move, so filling a large grid copies no text twice. A text that no
// longer fits its place goes to the end; the places left behind are reclaimed once they make
// up most of the text.
class CellColumn {
public:
    std::size_t size() const { return refs_.size(); }
    std::string_view operator[](std::size_t i) const {
        const Ref r = refs_[i];
        if (r.len == 0) return {};
        return {blocks_[r.pos >> kOffsetBits].data.get() + (r.pos & kOffsetMask), r.len};
    }
    void Set(std::size_t i, std::string_view s);
    void Clear(std::size_t i) { Drop(refs_[i]); }
    // New cells are empty.
    void Resize(std::size_t n);
    void InsertEmpty(std::size_t at);
    void Erase(std::size_t at);
    // Cells [first, first + n) become the cells newOrder names, in that order.
    void Permute(std::size_t first, const std::vector<long>& newOrder);
    void ClearAll();
    void ShrinkToFit();

private:
    // A place: the block in the upper bits, the offset in it below. A text longer than a
    // block gets a block of its own and starts at its offset 0.
    static constexpr unsigned kOffsetBits = 20;
    static constexpr std::uint32_t kOffsetMask = (1u << kOffsetBits) - 1;
    static constexpr std::size_t kBlock = std::size_t{1} << kOffsetBits;
    static constexpr std::size_t kMaxBlocks = std::size_t{1} << (32 - kOffsetBits);

    struct Ref {
        std::uint32_t pos = 0, len = 0;
    };
    struct Block {
        std::unique_ptr<char[]> data;
        std::size_t size = 0, used = 0;
    };
    void Drop(Ref& r) {
        garbage_ += r.len;
        r = Ref{};
    }
    Ref Append(std::string_view s);
    void Compact();

    std::vector<Ref> refs_;
    std::vector<Block> blocks_;
    std::size_t text_ = 0;    // bytes of the blocks in use
    std::size_t garbage_ = 0; // bytes of them no cell refers to
};

} // namespace zelk
