#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zelk {

// The texts of one grid column. They sit one after another in a single buffer, each cell a
// position and a length into it: a grid of a million rows then costs eight bytes a cell on
// top of its text, where a string per cell costs thirty-two and a heap block for any longer
// than a few characters. A text that no longer fits its place goes to the end; the places
// left behind are reclaimed once they make up most of the buffer.
class CellColumn {
public:
    std::size_t size() const { return refs_.size(); }
    std::string_view operator[](std::size_t i) const {
        const Ref r = refs_[i];
        return {text_.data() + r.pos, r.len};
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
    struct Ref {
        std::uint32_t pos = 0, len = 0;
    };
    void Drop(Ref& r) {
        garbage_ += r.len;
        r = Ref{};
    }
    void Compact();

    std::vector<Ref> refs_;
    std::vector<char> text_;
    std::size_t garbage_ = 0; // bytes of text_ no cell refers to
};

} // namespace zelk
