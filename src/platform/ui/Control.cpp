#include "platform/ui/Control.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/Form.h"

#include <algorithm>

namespace zelk {

Control::Control(std::string typeName, std::string name)
    : Dispatch(std::move(typeName)), name_(std::move(name)) {
    DefineCommonMembers();
}

Control::~Control() = default;

void Control::DefineCommonMembers() {
    DefineProperty("Name", [this](Args&) { return Variant(name_); });
    DefineProperty("Index", [this](Args&) { return Variant(index_); });
    DefineProperty(
        "Tag", [this](Args&) { return Variant(tag_); },
        [this](const Variant& v, Args&) { SetTag(CStr(v)); });
    DefineProperty(
        "Enabled", [this](Args&) { return Variant(enabled_); },
        [this](const Variant& v, Args&) { SetEnabled(CBool(v)); });
    DefineProperty(
        "Visible", [this](Args&) { return Variant(visible_); },
        [this](const Variant& v, Args&) { SetVisible(CBool(v)); });
    DefineProperty(
        "Locked", [this](Args&) { return Variant(locked_); },
        [this](const Variant& v, Args&) { SetLocked(CBool(v)); });
    DefineProperty(
        "ToolTipText", [this](Args&) { return Variant(toolTip_); },
        [this](const Variant& v, Args&) { SetToolTipText(CStr(v)); });
    DefineProperty(
        "Left", [this](Args&) { return Variant(static_cast<int>(left_)); },
        [this](const Variant& v, Args&) { SetLeft(CLng(v)); });
    DefineProperty(
        "Top", [this](Args&) { return Variant(static_cast<int>(top_)); },
        [this](const Variant& v, Args&) { SetTop(CLng(v)); });
    DefineProperty(
        "Width", [this](Args&) { return Variant(static_cast<int>(width_)); },
        [this](const Variant& v, Args&) { SetWidth(CLng(v)); });
    DefineProperty(
        "Height", [this](Args&) { return Variant(static_cast<int>(height_)); },
        [this](const Variant& v, Args&) { SetHeight(CLng(v)); });
    DefineProperty(
        "TabIndex", [this](Args&) { return Variant(tabIndex_); },
        [this](const Variant& v, Args&) { SetTabIndex(CLng(v)); });
    DefineProperty(
        "TabStop", [this](Args&) { return Variant(tabStop_); },
        [this](const Variant& v, Args&) { SetTabStop(CBool(v)); });
    DefineProperty("Container", [this](Args&) {
        return container_ ? Variant(container_->shared_from_this()) : Variant::Nothing();
    });
    DefineMethod("SetFocus", [this](Args&) {
        SetFocus();
        return Variant();
    });
    DefineMethod("Move", [this](Args& a) {
        Move(CLng(Arg(a, 0)), Arg(a, 1).IsEmpty() ? top_ : CLng(Arg(a, 1)),
             Arg(a, 2).IsEmpty() ? -1 : CLng(Arg(a, 2)),
             Arg(a, 3).IsEmpty() ? -1 : CLng(Arg(a, 3)));
        return Variant();
    });
}

namespace {
template <class T> bool Assign(T& field, T value) {
    if (field == value) return false;
    field = std::move(value);
    return true;
}
} // namespace

void Control::SetTag(std::string tag) {
    if (Assign(tag_, std::move(tag))) NotifyChanged("Tag");
}
void Control::SetEnabled(bool enabled) {
    if (Assign(enabled_, enabled)) NotifyChanged("Enabled");
}
void Control::SetVisible(bool visible) {
    if (Assign(visible_, visible)) NotifyChanged("Visible");
}
void Control::SetLocked(bool locked) {
    if (Assign(locked_, locked)) NotifyChanged("Locked");
}
void Control::SetToolTipText(std::string text) {
    if (Assign(toolTip_, std::move(text))) NotifyChanged("ToolTipText");
}
void Control::SetLeft(long v) {
    if (Assign(left_, v)) NotifyChanged("Left");
}
void Control::SetTop(long v) {
    if (Assign(top_, v)) NotifyChanged("Top");
}
void Control::SetWidth(long v) {
    if (v < 0) Raise(err::InvalidProcedureCall, "Invalid property value");
    if (Assign(width_, v)) NotifyChanged("Width");
}
void Control::SetHeight(long v) {
    if (v < 0) Raise(err::InvalidProcedureCall, "Invalid property value");
    if (Assign(height_, v)) NotifyChanged("Height");
}
void Control::Move(long left, long top, long width, long height) {
    SetLeft(left);
    SetTop(top);
    if (width >= 0) SetWidth(width);
    if (height >= 0) SetHeight(height);
}
void Control::SetTabIndex(int v) {
    if (Assign(tabIndex_, v)) NotifyChanged("TabIndex");
}
void Control::SetTabStop(bool v) {
    if (Assign(tabStop_, v)) NotifyChanged("TabStop");
}
void Control::SetTabPage(int page) {
    if (Assign(tabPage_, page)) NotifyChanged("TabPage");
}

void Control::SetContainer(Control* container) {
    for (auto* c = container; c; c = c->container_)
        if (c == this)
            Raise(err::InvalidProcedureCall, "A control cannot contain itself: " + name_);
    if (Assign(container_, container)) NotifyChanged("Container");
}

Form* Control::TopForm() {
    Form* f = owner_ ? owner_ : dynamic_cast<Form*>(this);
    while (f && f->owner_)
        f = f->owner_;
    return f;
}

bool Control::IsShowing() const {
    for (const Control* c = this; c; c = c->container_)
        if (!c->visible_ || (c->container_ && !c->container_->ShowsChild(*c))) return false;
    return true;
}

bool Control::IsUsable() const {
    for (const Control* c = this; c; c = c->container_)
        if (!c->enabled_) return false;
    return IsShowing();
}

bool Control::HasFocus() {
    Form* top = TopForm();
    return top && top->FocusedControl() == this;
}

bool Control::SetFocus() {
    if (!CanFocus())
        Raise(err::InvalidProcedureCall,
              "Invalid procedure call: " + name_ + " cannot take the focus");
    if (!IsUsable())
        Raise(err::InvalidProcedureCall,
              "Can't move focus to a control because it is invisible, not enabled, or of a type "
              "that does not accept the focus: " +
                  name_);
    Form* top = TopForm();
    if (!top) return false;
    Control* old = top->FocusedControl();
    if (old == this) return true;
    if (old) {
        Args validate{Variant(false)};
        old->RaiseEvent("Validate", validate);
        if (CBool(validate[0])) return false;
        // A Validate handler may have moved the focus itself; that choice stands.
        if (top->FocusedControl() != old) return top->FocusedControl() == this;
    }
    top->SetFocused(this);
    if (old) {
        old->RaiseEvent("LostFocus");
        old->NotifyChanged("Focus");
    }
    RaiseEvent("GotFocus");
    NotifyChanged("Focus");
    return true;
}

int Control::On(std::string_view event, Handler handler) {
    return Advise(
        [ev = std::string(event), h = std::move(handler)](std::string_view name, Args& args) {
            if (IEquals(name, ev)) h(args);
        });
}

void Control::AddObserver(ControlObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void Control::RemoveObserver(ControlObserver* observer) {
    std::erase(observers_, observer);
}

namespace {
// Observers of a control and of every container above it, through user controls to the form.
template <class F> void Bubble(Control* start, F&& f) {
    for (Control* c = start; c;) {
        // Copy: an observer may detach while notified.
        auto observers = c->Observers();
        for (auto* o : observers)
            f(*o);
        Control* next = c->Container();
        if (!next && c->Owner() && c->Owner() != c) next = c->Owner();
        c = next;
    }
}
} // namespace

void Control::NotifyChanged(std::string_view property) {
    Bubble(this, [&](ControlObserver& o) { o.PropertyChanged(*this, property); });
}
void Control::NotifyAdded(Control& child) {
    Bubble(this, [&](ControlObserver& o) { o.ControlAdded(child); });
}
void Control::NotifyRemoved(Control& child) {
    Bubble(this, [&](ControlObserver& o) { o.ControlRemoved(child); });
}

void Control::UserClick() {
    if (!IsUsable()) return;
    if (CanFocus() && !HasFocus() && !SetFocus()) return;
    RaiseEvent("Click");
}

void Control::UserDblClick() {
    if (IsUsable()) RaiseEvent("DblClick");
}

int Control::UserKeyDown(int keyCode, int shift) {
    if (!IsUsable()) return 0;
    Args a{Variant(keyCode), Variant(shift)};
    RaiseEvent("KeyDown", a);
    return CLng(a[0]);
}

int Control::UserKeyPress(int keyAscii) {
    if (!IsUsable()) return 0;
    Args a{Variant(keyAscii)};
    RaiseEvent("KeyPress", a);
    return CLng(a[0]);
}

void Control::UserMouseUp(int button, int shift, float x, float y) {
    if (!IsUsable()) return;
    Args a{Variant(button), Variant(shift), Variant(x), Variant(y)};
    RaiseEvent("MouseUp", a);
}

} // namespace zelk
