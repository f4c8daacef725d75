#include "platform/Collection.h"

#include "platform/Conv.h"
#include "platform/Error.h"

namespace zelk {

namespace {
constexpr int DuplicateKey = 457;
}

Collection::Collection() : Dispatch("Collection") {
    DefineMethod("Add", [this](Args& a) {
        Add(Arg(a, 0), Arg(a, 1).IsEmpty() ? "" : CStr(Arg(a, 1)), Arg(a, 2), Arg(a, 3));
        return Variant();
    });
    DefineMethod("Item", [this](Args& a) { return Item(Arg(a, 0)); });
    DefineMethod("Remove", [this](Args& a) {
        Remove(Arg(a, 0));
        return Variant();
    });
    DefineProperty("Count", [this](Args&) { return Variant(static_cast<int>(Count())); });
}

std::size_t Collection::IndexOf(const Variant& indexOrKey) const {
    if (indexOrKey.IsString()) {
        const std::string& key = indexOrKey.Str();
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (!items_[i].empty() && IEquals(items_[i], key)) return i;
        Raise(err::InvalidProcedureCall, "Invalid procedure call or argument: no item with key '" +
                                             key + "' in the collection");
    }
    long pos = CLng(indexOrKey);
    if (pos < 1 || pos > Count())
        Raise(err::SubscriptOutOfRange, "Subscript out of range: " + std::to_string(pos));
    return static_cast<std::size_t>(pos - 1);
}

bool Collection::Exists(const std::string& key) const {
    for (const auto& k : items_)
        if (!k.empty() && IEquals(k, key)) return true;
    return false;
}

void Collection::Insert(std::size_t pos, Variant item, std::string key) {
    values_.insert(values_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(item));
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(key));
}

void Collection::Add(Variant item, std::string key, const Variant& before, const Variant& after) {
    if (!key.empty() && Exists(key))
        Raise(DuplicateKey, "This key is already associated with an element of this collection");
    if (!before.IsEmpty() && !after.IsEmpty())
        Raise(err::InvalidProcedureCall, "Invalid procedure call or argument: both before and "
                                         "after given");
    std::size_t pos = values_.size();
    if (!before.IsEmpty())
        pos = IndexOf(before);
    else if (!after.IsEmpty())
        pos = IndexOf(after) + 1;
    Insert(pos, std::move(item), std::move(key));
}

const Variant& Collection::Item(const Variant& indexOrKey) const {
    return values_[IndexOf(indexOrKey)];
}

void Collection::Remove(const Variant& indexOrKey) {
    std::size_t i = IndexOf(indexOrKey);
    values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(i));
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
}

void Collection::Clear() {
    values_.clear();
    items_.clear();
}

} // namespace zelk
