#include "platform/Dispatch.h"

#include "platform/Error.h"

#include <algorithm>

namespace zelk {

Object::~Object() = default;

Variant Object::Invoke(std::string_view name, CallKind, Args&) {
    Raise(err::MemberNotFound, "Object doesn't support this property or method: " + TypeName() +
                                   "." + std::string(name));
}

Variant Object::Call(std::string_view name, Args args) {
    return Invoke(name, CallKind::Method, args);
}

Variant Object::Get(std::string_view name, Args args) {
    return Invoke(name, CallKind::PropertyGet, args);
}

void Object::Let(std::string_view name, const Variant& value, Args args) {
    args.push_back(value);
    Invoke(name, CallKind::PropertyLet, args);
}

Dispatch::Dispatch(std::string typeName) : typeName_(std::move(typeName)) {}

void Dispatch::DefineProperty(std::string_view name, Getter get, Setter set) {
    auto& m = members_[std::string(name)];
    m.get = std::move(get);
    m.set = std::move(set);
}

void Dispatch::DefineMethod(std::string_view name, Method method) {
    members_[std::string(name)].call = std::move(method);
}

bool Dispatch::HasMember(std::string_view name) const {
    return members_.find(name) != members_.end();
}

Variant Dispatch::Invoke(std::string_view name, CallKind kind, Args& args) {
    auto it = members_.find(name);
    if (it == members_.end()) return Object::Invoke(name, kind, args);
    Member& m = it->second;
    switch (kind) {
    case CallKind::PropertyLet:
        if (m.set) {
            // The value travels last, after any index arguments.
            Variant value = args.empty() ? Variant() : args.back();
            Args index(args.begin(), args.empty() ? args.end() : args.end() - 1);
            m.set(value, index);
            return {};
        }
        break;
    case CallKind::PropertyGet:
        if (m.get) return m.get(args);
        if (m.call) return m.call(args);
        break;
    case CallKind::Method:
        if (m.call) return m.call(args);
        if (m.get) return m.get(args);
        break;
    }
    Raise(err::MemberNotFound, "Object doesn't support this property or method: " + typeName_ +
                                   "." + std::string(name) +
                                   (kind == CallKind::PropertyLet ? " (read-only)" : ""));
}

int Dispatch::Advise(EventSink sink) {
    sinks_.emplace_back(nextCookie_, std::move(sink));
    return nextCookie_++;
}

void Dispatch::Unadvise(int cookie) {
    std::erase_if(sinks_, [cookie](const auto& s) { return s.first == cookie; });
}

void Dispatch::RaiseEvent(std::string_view name, Args& args) {
    // A sink may unadvise itself (or others) while handling; iterate over a snapshot.
    auto snapshot = sinks_;
    for (auto& [cookie, sink] : snapshot) {
        bool stillAdvised = std::any_of(sinks_.begin(), sinks_.end(),
                                        [c = cookie](const auto& s) { return s.first == c; });
        if (stillAdvised) sink(name, args);
    }
}

ObjectPtr RequireObject(const Variant& v) {
    if (!v.IsObject()) Raise(err::ObjectRequired, "Object required");
    if (!v.Obj()) Raise(err::ObjectNotSet, "");
    return v.Obj();
}

Variant CallByName(const Variant& target, std::string_view name, CallKind kind, Args args) {
    return RequireObject(target)->Invoke(name, kind, args);
}

} // namespace zelk
