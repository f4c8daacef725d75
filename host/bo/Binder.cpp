#include "host/bo/Binder.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::bo {

struct Binder::Binding {
    std::weak_ptr<Object> control;
    std::string property;
    std::string field;
    int cookie = 0;
    bool showing = false; // true while the binder itself writes into the control
    bool refused = false; // the control holds text the field would not take
};

Binder::~Binder() {
    DropAll();
}

void Binder::Show(Binding& b) {
    auto c = b.control.lock();
    if (!c) return;
    Variant v = get_(b.field);
    b.refused = false;
    b.showing = true;
    try {
        c->Let(b.property, v.IsNull() ? Variant(std::string()) : Variant(CStr(v)));
    } catch (...) {
        b.showing = false;
        throw;
    }
    b.showing = false;
}

void Binder::Bind(const ObjectPtr& control, const std::string& property, const std::string& field) {
    if (!control) Raise(err::ObjectRequired, "Object required: the control to bind");
    auto b = std::make_shared<Binding>();
    b->control = control;
    b->property = property;
    b->field = field;
    Show(*b);
    // Controls report edits as a property-change event naming the property.
    if (auto d = std::dynamic_pointer_cast<Dispatch>(control)) {
        std::weak_ptr<Binding> weak = b;
        b->cookie = d->Advise([this, weak](std::string_view event, Args& args) {
            auto bb = weak.lock();
            if (!bb || bb->showing) return;
            // Text the field refused stays while the user is still typing it ("-" on the way
            // to "-5"); leaving the control shows the field again.
            if (IEquals(event, "LostFocus")) {
                if (bb->refused) {
                    bb->refused = false;
                    Show(*bb);
                }
                return;
            }
            if (!IEquals(event, "PropertyChanged") && !IEquals(event, "Change")) return;
            if (IEquals(event, "PropertyChanged") && !args.empty() &&
                !IEquals(CStr(args[0]), bb->property))
                return;
            auto c = bb->control.lock();
            if (!c) return;
            try {
                bb->showing = true; // the control already shows what it writes
                set_(bb->field, c->Get(bb->property));
                bb->showing = false;
                bb->refused = false;
            } catch (const ComError&) {
                bb->showing = false;
                // A value the field refuses leaves the field as it was.
                bb->refused = true;
            }
        });
    }
    bindings_.push_back(std::move(b));
}

void Binder::Detach(Binding& b) {
    if (b.cookie == 0) return;
    if (auto d = std::dynamic_pointer_cast<Dispatch>(b.control.lock())) d->Unadvise(b.cookie);
    b.cookie = 0;
}

void Binder::Unbind(const std::string& field) {
    for (auto it = bindings_.begin(); it != bindings_.end();) {
        if (IEquals((*it)->field, field)) {
            Detach(**it);
            it = bindings_.erase(it);
        } else {
            ++it;
        }
    }
}

void Binder::DropAll() {
    for (auto& b : bindings_)
        Detach(*b);
    bindings_.clear();
}

void Binder::Refresh() {
    for (auto& b : bindings_)
        if (!b->showing) Show(*b);
}

} // namespace zelk::bo
