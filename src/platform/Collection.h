#pragma once

#include "platform/Dispatch.h"

#include <optional>
#include <string>
#include <vector>

namespace zelk {

// The desktop-basic collection: 1-based, optional unique keys compared case-insensitively.
// Item and Remove take a position (number) or a key (text); a bad one is error 5 / 9.
class Collection : public Dispatch {
public:
    Collection();

    // before/after: a position or key; at most one of them may be given.
    void Add(Variant item, std::string key = "", const Variant& before = {},
             const Variant& after = {});
    const Variant& Item(const Variant& indexOrKey) const;
    void Remove(const Variant& indexOrKey);
    long Count() const { return static_cast<long>(items_.size()); }
    bool Exists(const std::string& key) const;
    void Clear();

    auto begin() const { return values_.begin(); }
    auto end() const { return values_.end(); }

private:
    std::size_t IndexOf(const Variant& indexOrKey) const; // 0-based, raises when absent
    void Insert(std::size_t pos, Variant item, std::string key);

    std::vector<Variant> values_;
    std::vector<std::string> items_; // key per item ("" when none)
};

} // namespace zelk
