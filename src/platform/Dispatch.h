#pragma once

#include "platform/Strings.h"
#include "platform/Variant.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelk {

// Arguments of a late-bound call or an event. Events pass them by reference so a sink can
// write back (a Cancel flag, a changed value).
using Args = std::vector<Variant>;

enum class CallKind { Method, PropertyGet, PropertyLet };

// Base of everything a Variant can hold as an object. Members are reached by name,
// case-insensitively; an unknown member is error 438.
class Object : public std::enable_shared_from_this<Object> {
public:
    virtual ~Object();
    virtual std::string TypeName() const = 0;
    virtual Variant Invoke(std::string_view name, CallKind kind, Args& args);

    Variant Call(std::string_view name, Args args = {});
    Variant Get(std::string_view name, Args args = {});
    void Let(std::string_view name, const Variant& value, Args args = {});
};

// Event sink: receives the event name and its arguments.
using EventSink = std::function<void(std::string_view event, Args& args)>;

// An object whose members are a table of named getters, setters and methods, and which
// raises events to any number of sinks. Subclasses register their members once in their
// constructor.
class Dispatch : public Object {
public:
    using Getter = std::function<Variant(Args&)>;
    using Setter = std::function<void(const Variant&, Args&)>;
    using Method = std::function<Variant(Args&)>;

    explicit Dispatch(std::string typeName);
    std::string TypeName() const override { return typeName_; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override;
    bool HasMember(std::string_view name) const;

    // Sinks are called in the order they were added; the returned cookie removes one.
    int Advise(EventSink sink);
    void Unadvise(int cookie);
    void RaiseEvent(std::string_view name, Args& args);
    void RaiseEvent(std::string_view name) {
        Args none;
        RaiseEvent(name, none);
    }

protected:
    void DefineProperty(std::string_view name, Getter get, Setter set = nullptr);
    void DefineMethod(std::string_view name, Method m);

private:
    struct Member {
        Getter get;
        Setter set;
        Method call;
    };
    std::string typeName_;
    std::unordered_map<std::string, Member, IHash, IEqual> members_;
    std::vector<std::pair<int, EventSink>> sinks_;
    int nextCookie_ = 1;
};

// Helpers for late-bound calls on a Variant that must hold an object (error 91 otherwise).
ObjectPtr RequireObject(const Variant& v);
Variant CallByName(const Variant& target, std::string_view name, CallKind kind, Args args = {});

// Argument access inside member tables: missing optional arguments read as Empty.
inline const Variant& Arg(const Args& a, std::size_t i) {
    static const Variant empty;
    return i < a.size() ? a[i] : empty;
}

} // namespace zelk
