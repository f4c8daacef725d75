#include "host/framework/ComponentCollection.h"

#include "host/bo/ChildListImpl.h"
#include "host/bo/Saver.h"
#include "platform/Conv.h"
#include "platform/Criteria.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::host {

namespace {
const char* const kSource = "ClientFramework.ComponentCollection";
}

ComponentCollection::ComponentCollection(Factory create, bo::StorePtr store)
    : Dispatch("ComponentCollection"), create_(std::move(create)), store_(std::move(store)) {
    DefineMembers();
}

void ComponentCollection::RequireInitialized() const {
    if (progId_.empty())
        Raise(err::InvalidProcedureCall,
              "The collection is not initialised for a business component", kSource);
}

ComponentPtr ComponentCollection::Prototype() const {
    RequireInitialized();
    auto c = std::dynamic_pointer_cast<Component>(create_(progId_));
    if (!c) Raise(err::CannotCreateObject, progId_ + " is not a business component", kSource);
    c->Connect(server_, serverType_);
    return c;
}

void ComponentCollection::Initialize(const std::string& progId, const std::string& serverName,
                                     int serverType) {
    Release();
    progId_ = progId;
    server_ = serverName;
    serverType_ = serverType;
    Prototype(); // an unknown class fails here, not at the first load
}

bool ComponentCollection::Load(const std::string& query, const std::vector<std::string>& params) {
    auto found = Prototype()->Fetch(query, params);
    Release();
    for (auto& c : found) {
        std::string key = CStr(c->Id());
        entries_.push_back({std::move(c), std::move(key)});
    }
    return true;
}

void ComponentCollection::LoadLater(const std::string& query, std::vector<std::string> params) {
    Release();
    pending_ = true;
    pendingQuery_ = query;
    pendingParams_ = std::move(params);
}

void ComponentCollection::EnsureLoaded() const {
    if (!pending_) return;
    pending_ = false;
    std::vector<Entry> loaded;
    for (auto& c : Prototype()->Fetch(pendingQuery_, pendingParams_)) {
        std::string key = CStr(c->Id());
        loaded.push_back({std::move(c), std::move(key)});
    }
    // Items added before the first look stay after the stored ones.
    for (auto& e : entries_)
        loaded.push_back(std::move(e));
    entries_ = std::move(loaded);
}

long ComponentCollection::Count() const {
    EnsureLoaded();
    return static_cast<long>(entries_.size());
}

std::size_t ComponentCollection::Slot(const Variant& positionOrKey) const {
    EnsureLoaded();
    if (positionOrKey.IsString()) {
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (!entries_[i].key.empty() && IEquals(entries_[i].key, positionOrKey.Str())) return i;
        Raise(err::InvalidProcedureCall, "No item with the key '" + positionOrKey.Str() + "'",
              kSource);
    }
    long p = CLng(positionOrKey);
    if (p < 1 || p > static_cast<long>(entries_.size()))
        Raise(err::SubscriptOutOfRange, "No item at position " + std::to_string(p), kSource);
    return static_cast<std::size_t>(p - 1);
}

ComponentPtr ComponentCollection::Item(const Variant& positionOrKey) const {
    return entries_[Slot(positionOrKey)].item;
}

void ComponentCollection::Add(const ObjectPtr& item, const std::string& key) {
    RequireInitialized();
    auto c = std::dynamic_pointer_cast<Component>(item);
    if (!c || !IEquals(c->TypeName(), progId_))
        Raise(err::TypeMismatch,
              "Only " + progId_ + " objects belong in this collection" +
                  (item ? ", not " + item->TypeName() : std::string()),
              kSource);
    EnsureLoaded();
    for (const auto& e : entries_) {
        if (e.item == c) Raise(err::InvalidProcedureCall, "The item is already in the collection");
        if (!key.empty() && IEquals(e.key, key))
            Raise(457, "This key is already associated with an element of this collection",
                  kSource);
    }
    entries_.push_back({std::move(c), key});
}

void ComponentCollection::Remove(const Variant& positionOrKey) {
    std::size_t s = Slot(positionOrKey);
    auto c = entries_[s].item;
    entries_.erase(entries_.begin() + static_cast<long>(s));
    if (!c->IsNew()) removed_.push_back(std::move(c));
}

long ComponentCollection::FindPosition(std::string_view criterion) const {
    Criteria parsed = Criteria::Parse(criterion, true);
    const auto* cmp = parsed.SingleEquality();
    if (!cmp)
        Raise(err::InvalidArgument,
              "Criterion must be \"Property = value\": " + std::string(criterion), kSource);
    if (!Prototype()->HasProperty(cmp->field))
        Raise(err::MemberNotFound, "Object doesn't support this property or method: " + cmp->field,
              kSource);
    EnsureLoaded();
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (bo::CriterionMatches(entries_[i].item->GetProperty(cmp->field), *cmp))
            return static_cast<long>(i + 1);
    return 0;
}

ComponentPtr ComponentCollection::Find(std::string_view criterion) const {
    long p = FindPosition(criterion);
    return p > 0 ? entries_[static_cast<std::size_t>(p - 1)].item : nullptr;
}

bool ComponentCollection::HasChanges() const {
    if (!removed_.empty()) return true;
    for (const auto& e : entries_)
        if (e.item->HasChanges()) return true;
    return false;
}

void ComponentCollection::CheckLengths() const {
    for (const auto& e : entries_)
        e.item->CheckLengths();
}

void ComponentCollection::WriteTo(bo::Saver& s, const Variant& parentId) {
    for (const auto& gone : removed_)
        gone->WriteDelete(s);
    for (const auto& e : entries_)
        if (e.item->HasChanges()) e.item->WriteTo(s, parentId);
    s.After([this] { removed_.clear(); });
}

bool ComponentCollection::SaveAll() {
    RequireInitialized();
    if (!HasChanges()) return true;
    CheckLengths();
    auto& port = store_->Port();
    bo::Saver s(port);
    port.Begin();
    try {
        WriteTo(s, {});
        port.Commit();
    } catch (const ComError&) {
        try {
            port.Rollback();
        } catch (const ComError&) {
            // The failure that ended the save is the one to report.
        }
        throw;
    }
    s.ApplyAll();
    return true;
}

void ComponentCollection::Release() {
    entries_.clear();
    removed_.clear();
    pending_ = false;
}

std::vector<std::string> ParamTexts(const Variant& params) {
    std::vector<std::string> out;
    if (params.IsEmpty() || params.IsNull()) return out;
    if (!params.IsObject()) {
        out.push_back(CStr(params));
        return out;
    }
    auto list = RequireObject(params);
    long n = CLng(list->Get("Count"));
    for (long i = 1; i <= n; ++i)
        out.push_back(CStr(list->Call("Item", {Variant(static_cast<int>(i))})));
    return out;
}

void ComponentCollection::DefineMembers() {
    auto obj = [](const ComponentPtr& c) {
        return c ? Variant(std::static_pointer_cast<Object>(c)) : Variant::Nothing();
    };
    DefineMethod("Initialize", [this](Args& a) {
        Initialize(CStr(Arg(a, 0)), CStr(Arg(a, 1)), Arg(a, 2).IsEmpty() ? 0 : CLng(Arg(a, 2)));
        return Variant();
    });
    DefineMethod("Load",
                 [this](Args& a) { return Variant(Load(CStr(Arg(a, 0)), ParamTexts(Arg(a, 1)))); });
    DefineProperty("Count", [this](Args&) { return Variant(static_cast<int>(Count())); });
    DefineMethod("Item", [this, obj](Args& a) { return obj(Item(Arg(a, 0))); });
    DefineMethod("Add", [this](Args& a) {
        Add(RequireObject(Arg(a, 0)), Arg(a, 1).IsEmpty() ? "" : CStr(Arg(a, 1)));
        return Variant();
    });
    DefineMethod("Remove", [this](Args& a) {
        Remove(Arg(a, 0));
        return Variant();
    });
    DefineMethod("Find", [this, obj](Args& a) { return obj(Find(CStr(Arg(a, 0)))); });
    DefineMethod("FindPosition", [this](Args& a) {
        return Variant(static_cast<int>(FindPosition(CStr(Arg(a, 0)))));
    });
    DefineProperty("HasChanges", [this](Args&) { return Variant(HasChanges()); });
    DefineMethod("SaveAll", [this](Args&) { return Variant(SaveAll()); });
    DefineMethod("Release", [this](Args&) {
        Release();
        return Variant();
    });
}

} // namespace zelk::host
