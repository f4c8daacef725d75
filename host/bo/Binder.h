#pragma once

#include "host/bo/Record.h"
#include "platform/Dispatch.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zelk::bo {

// Keeps controls showing fields of one record and writes their edits back. The write goes
// through the owner's setter, so a field changes only when the value really differs.
class Binder {
public:
    using Getter = std::function<Variant(const std::string& field)>;
    using Setter = std::function<void(const std::string& field, const Variant& value)>;
    Binder(Getter get, Setter set) : get_(std::move(get)), set_(std::move(set)) {}
    ~Binder();
    Binder(const Binder&) = delete;
    Binder& operator=(const Binder&) = delete;

    void Bind(const ObjectPtr& control, const std::string& property, const std::string& field);
    void Unbind(const std::string& field);
    void DropAll();
    // Shows every bound field again (after a load or a programmatic change).
    void Refresh();
    long Count() const { return static_cast<long>(bindings_.size()); }

private:
    struct Binding;
    void Show(Binding& b);
    void Detach(Binding& b);
    Getter get_;
    Setter set_;
    std::vector<std::shared_ptr<Binding>> bindings_;
};

} // namespace zelk::bo
