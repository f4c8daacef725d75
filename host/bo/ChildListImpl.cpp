#include "host/bo/ChildListImpl.h"

#include "host/bo/Saver.h"
#include "platform/Conv.h"
#include "platform/Criteria.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::bo {

ChildListImpl::ChildListImpl(std::string itemType, const TableDef& def, StorePtr store)
    : itemType_(std::move(itemType)), def_(&def), store_(std::move(store)) {}

void ChildListImpl::EnsureLoaded() const {
    if (!loader_) return;
    Loader l = std::move(loader_);
    loader_ = nullptr;
    l(const_cast<ChildListImpl&>(*this));
}

const std::vector<std::shared_ptr<ChildItem>>& ChildListImpl::Items() const {
    EnsureLoaded();
    return items_;
}

void ChildListImpl::AppendLoaded(const std::vector<Variant>& row) {
    auto item = std::make_shared<ChildItem>(itemType_, *def_, store_);
    item->Rec().Load(row);
    item->SetLoaded();
    items_.push_back(std::move(item));
}

long ChildListImpl::Count() const {
    return static_cast<long>(Items().size());
}

std::size_t ChildListImpl::Slot(long position) const {
    if (position < 1 || position > Count())
        Raise(err::SubscriptOutOfRange,
              "No item at position " + std::to_string(position) + " of " + def_->table);
    return static_cast<std::size_t>(position - 1);
}

ChildPtr ChildListImpl::Item(long position) const {
    return Items()[Slot(position)];
}

void ChildListImpl::Add(const ChildPtr& item) {
    auto own = std::dynamic_pointer_cast<ChildItem>(item);
    if (!own || &own->Rec().Def() != def_)
        Raise(err::TypeMismatch, "The item does not belong in a list of " + def_->table);
    EnsureLoaded();
    items_.push_back(std::move(own));
}

ChildPtr ChildListImpl::AddNew() {
    auto item = std::make_shared<ChildItem>(itemType_, *def_, store_);
    Add(item);
    return item;
}

bool CriterionMatches(const Variant& v, const Criteria::Comparison& c) {
    if (v.IsNull() || v.IsEmpty()) return false;
    switch (c.value.kind) {
    case Criteria::Literal::Kind::Text:
        return CStr(v) == c.value.text;
    case Criteria::Literal::Kind::Number:
        if (v.IsString()) {
            auto n = ParseNumber(v.Str());
            return n && *n == c.value.number;
        }
        return (v.IsNumber() || v.IsDate()) && v.NumberValue() == c.value.number;
    case Criteria::Literal::Kind::Date:
        return v.IsDate() && v.Date() == c.value.date;
    default:
        return false;
    }
}

long ChildListImpl::FindPosition(std::string_view criterion) const {
    Criteria parsed = Criteria::Parse(criterion, true);
    const auto* cmp = parsed.SingleEquality();
    if (!cmp)
        Raise(err::InvalidArgument,
              "Criterion must be \"Property = value\": " + std::string(criterion));
    if (!IEquals(cmp->field, "UniqueID") && def_->IndexOf(cmp->field) < 0)
        Raise(err::MemberNotFound, "Object doesn't support this property or method: " + cmp->field);
    const auto& items = Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (CriterionMatches(items[i]->GetProperty(cmp->field), *cmp))
            return static_cast<long>(i + 1);
    return 0;
}

ChildPtr ChildListImpl::Find(std::string_view criterion) const {
    long p = FindPosition(criterion);
    return p > 0 ? items_[static_cast<std::size_t>(p - 1)] : nullptr;
}

void ChildListImpl::Remove(long position) {
    std::size_t s = Slot(position);
    auto item = items_[s];
    items_.erase(items_.begin() + static_cast<long>(s));
    // A row never saved has nothing to delete.
    if (!item->IsNew()) removed_.push_back(std::move(item));
}

void ChildListImpl::Drop(long position) {
    std::size_t s = Slot(position);
    items_.erase(items_.begin() + static_cast<long>(s));
}

void ChildListImpl::SaveItems(Saver& s, const Variant& parentId) {
    for (const auto& gone : removed_)
        s.Delete(gone->Rec());
    for (const auto& item : Items())
        item->SaveInto(s, parentId);
    s.After([this] {
        removed_.clear();
        for (const auto& item : items_)
            item->AfterSave();
    });
}

void ChildListImpl::Replace(std::vector<std::shared_ptr<ChildItem>> items,
                            std::vector<std::shared_ptr<ChildItem>> removed) {
    loader_ = nullptr;
    items_ = std::move(items);
    removed_ = std::move(removed);
}

bool ChildListImpl::HasChanges() const {
    if (loader_) return false; // never read, so never changed
    if (!removed_.empty()) return true;
    for (const auto& i : items_)
        if (i->HasChanges()) return true;
    return false;
}

void ChildListImpl::Release() {
    loader_ = nullptr;
    items_.clear();
    removed_.clear();
}

Variant ChildListImpl::Invoke(std::string_view name, CallKind kind, Args& args) {
    if (IEquals(name, "Count")) return Variant(static_cast<int>(Count()));
    if (IEquals(name, "Item"))
        return Variant(std::dynamic_pointer_cast<Object>(Item(CLng(Arg(args, 0)))));
    if (IEquals(name, "Add")) {
        auto obj = std::dynamic_pointer_cast<IChildObject>(RequireObject(Arg(args, 0)));
        if (!obj) Raise(err::TypeMismatch, "Not a child object");
        Add(obj);
        return {};
    }
    if (IEquals(name, "AddNew")) return Variant(std::dynamic_pointer_cast<Object>(AddNew()));
    if (IEquals(name, "Find")) {
        auto f = Find(CStr(Arg(args, 0)));
        return f ? Variant(std::dynamic_pointer_cast<Object>(f)) : Variant::Nothing();
    }
    if (IEquals(name, "FindPosition"))
        return Variant(static_cast<int>(FindPosition(CStr(Arg(args, 0)))));
    if (IEquals(name, "Remove")) {
        Remove(CLng(Arg(args, 0)));
        return {};
    }
    if (IEquals(name, "Drop")) {
        Drop(CLng(Arg(args, 0)));
        return {};
    }
    if (IEquals(name, "HasChanges") || IEquals(name, "IsDirty")) return Variant(HasChanges());
    if (IEquals(name, "Release")) {
        Release();
        return {};
    }
    return Object::Invoke(name, kind, args);
}

} // namespace zelk::bo
