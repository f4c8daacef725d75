#include "platform/ui/CellColumn.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace zelk {

void CellColumn::Set(std::size_t i, std::string_view s) {
    Ref& r = refs_[i];
    if (s.size() <= r.len) {
        // In place: refilling a grid with texts of the same length writes no new bytes.
        if (!s.empty()) std::memmove(text_.data() + r.pos, s.data(), s.size());
        garbage_ += r.len - s.size();
        r.len = static_cast<std::uint32_t>(s.size());
        if (s.empty()) r.pos = 0;
        return;
    }
    if (garbage_ > (1u << 20) && garbage_ * 2 > text_.size()) {
        // `s` may point into our own text; keep it apart before the buffer moves.
        std::vector<char> copy(s.begin(), s.end());
        Drop(r);
        Compact();
        Set(i, std::string_view(copy.data(), copy.size()));
        return;
    }
    if (text_.size() + s.size() > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
    const std::size_t pos = text_.size();
    const std::ptrdiff_t from = s.data() - text_.data();
    const bool own = !text_.empty() && from >= 0 && static_cast<std::size_t>(from) < text_.size();
    if (own) {
        // Copy from our own text: the buffer may move as it grows.
        text_.resize(pos + s.size());
        std::memmove(text_.data() + pos, text_.data() + from, s.size());
    } else {
        text_.insert(text_.end(), s.begin(), s.end());
    }
    garbage_ += r.len;
    r = Ref{static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(s.size())};
}

void CellColumn::Resize(std::size_t n) {
    for (std::size_t i = n; i < refs_.size(); ++i)
        garbage_ += refs_[i].len;
    refs_.resize(n);
    if (n == 0) ClearAll();
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
    text_.clear();
    garbage_ = 0;
}

void CellColumn::ShrinkToFit() {
    if (garbage_ > 0) Compact();
    refs_.shrink_to_fit();
    text_.shrink_to_fit();
}

void CellColumn::Compact() {
    std::vector<char> kept;
    kept.reserve(text_.size() - std::min(garbage_, text_.size()));
    for (Ref& r : refs_) {
        if (r.len == 0) {
            r.pos = 0;
            continue;
        }
        const std::size_t pos = kept.size();
        kept.insert(kept.end(), text_.begin() + r.pos, text_.begin() + r.pos + r.len);
        r.pos = static_cast<std::uint32_t>(pos);
    }
    text_ = std::move(kept);
    garbage_ = 0;
}

} // namespace zelk
