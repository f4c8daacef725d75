#include "platform/ui/Form.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/UiDriver.h"

#include <algorithm>

namespace zelk {

namespace {

// Late-bound face of a form's Controls: Count, Item(index or name), Add(progId, name[, container]).
class ControlsObject : public Dispatch {
public:
    explicit ControlsObject(Form& form) : Dispatch("Controls"), form_(form) {
        DefineProperty(
            "Count", [this](Args&) { return Variant(static_cast<int>(form_.Controls().size())); });
        DefineMethod("Item", [this](Args& a) { return Variant(ItemOf(Arg(a, 0))); });
        DefineMethod("Add", [this](Args& a) {
            Control* container = nullptr;
            if (Arg(a, 2).IsObject())
                container = dynamic_cast<Control*>(RequireObject(Arg(a, 2)).get());
            return Variant(form_.AddControl(CStr(Arg(a, 0)), CStr(Arg(a, 1)), container));
        });
        DefineMethod("Remove", [this](Args& a) {
            form_.RemoveControl(*ItemOf(Arg(a, 0)));
            return Variant();
        });
    }

private:
    ControlPtr ItemOf(const Variant& key) const {
        const auto& all = form_.Controls();
        if (key.IsString()) {
            for (const auto& c : all)
                if (IEquals(c->Name(), key.Str())) return c;
            Raise(err::SubscriptOutOfRange, "Control not found: " + key.Str());
        }
        long i = CLng(key); // 0-based, as the form's Controls collection counts
        if (i < 0 || i >= static_cast<long>(all.size()))
            Raise(err::SubscriptOutOfRange, "Subscript out of range");
        return all[static_cast<std::size_t>(i)];
    }
    Form& form_;
};

} // namespace

Form::Form(std::string name, std::string typeName) : Control(std::move(typeName), std::move(name)) {
    SetTabStop(false);
    DefineProperty(
        "Caption", [this](Args&) { return Variant(caption_); },
        [this](const Variant& v, Args&) { SetCaption(CStr(v)); });
    DefineProperty(
        "Icon", [this](Args&) { return Variant(icon_); },
        [this](const Variant& v, Args&) { SetIcon(CStr(v)); });
    DefineProperty(
        "KeyPreview", [this](Args&) { return Variant(keyPreview_); },
        [this](const Variant& v, Args&) { SetKeyPreview(CBool(v)); });
    DefineProperty("Controls", [this](Args&) { return Variant(ControlsObject()); });
    DefineProperty("ActiveControl", [this](Args&) {
        Control* c = ActiveControl();
        return c ? Variant(c->shared_from_this()) : Variant::Nothing();
    });
    DefineMethod("Show", [this](Args& a) {
        Show(!Arg(a, 0).IsEmpty() && CLng(Arg(a, 0)) == 1);
        return Variant();
    });
    DefineMethod("Hide", [this](Args&) {
        Hide();
        return Variant();
    });
}

Form::~Form() = default;

void Form::SetCaption(std::string caption) {
    if (caption_ != caption) {
        caption_ = std::move(caption);
        NotifyChanged("Caption");
    }
}

void Form::SetIcon(std::string icon) {
    if (icon_ != icon) {
        icon_ = std::move(icon);
        NotifyChanged("Icon");
    }
}

void Form::Adopt(const ControlPtr& c, Control* container) {
    if (Find(c->Name(), c->Index()))
        Raise(err::InvalidProcedureCall, "A control named " + c->Name() + " already exists");
    if (container && container != this && container->Owner() != this)
        Raise(err::InvalidProcedureCall, "The container of " + c->Name() + " is not on this form");
    c->owner_ = this;
    c->container_ = container ? container : this;
    controls_.push_back(c);
    NotifyAdded(*c);
}

ControlPtr Form::AddControl(std::string_view progId, std::string name, Control* container) {
    ObjectPtr obj = CreateObject(progId);
    auto control = std::dynamic_pointer_cast<Control>(obj);
    if (!control) Raise(err::TypeMismatch, std::string(progId) + " is not a control");
    control->name_ = std::move(name);
    Adopt(control, container);
    return control;
}

void Form::RemoveControl(Control& control) {
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [&](const ControlPtr& p) { return p.get() == &control; });
    if (it == controls_.end()) return;
    ControlPtr keep = *it; // alive until observers have heard of it
    for (const auto& c : controls_)
        if (c->container_ == &control)
            Raise(err::InvalidProcedureCall,
                  "Remove the controls inside " + control.Name() + " first");
    if (control.HasFocus())
        if (Form* top = TopForm()) top->focused_.reset();
    controls_.erase(it);
    NotifyRemoved(control);
    keep->owner_ = nullptr;
    keep->container_ = nullptr;
}

Control* Form::Find(std::string_view name, int index) const {
    for (const auto& c : controls_)
        if ((index < 0 || c->Index() == index) && IEquals(c->Name(), name)) return c.get();
    return nullptr;
}

void Form::MissingControl(std::string_view name) {
    Raise(err::SubscriptOutOfRange, "Control not found: " + std::string(name));
}

std::vector<Control*> Form::ChildrenOf(const Control* container) const {
    if (!container) container = this;
    std::vector<Control*> out;
    for (const auto& c : controls_)
        if (c->container_ == container) out.push_back(c.get());
    return out;
}

ObjectPtr Form::ControlsObject() {
    if (!controlsObject_) controlsObject_ = std::make_shared<zelk::ControlsObject>(*this);
    return controlsObject_;
}

Control* Form::FocusedControl() {
    Form* top = TopForm();
    if (top != this) {
        // Only the part of the focus path that lies inside this form counts.
        Control* f = top ? top->FocusedControl() : nullptr;
        for (Control* c = f; c; c = c->owner_)
            if (c->owner_ == this) return f;
        return nullptr;
    }
    auto p = focused_.lock();
    return p ? static_cast<Control*>(static_cast<Dispatch*>(p.get())) : nullptr;
}

bool Form::ValidateControls() {
    Control* f = FocusedControl();
    if (!f) return true;
    Args validate{Variant(false)};
    f->RaiseEvent("Validate", validate);
    return !CBool(validate[0]);
}

Control* Form::ActiveControl() {
    Control* f = FocusedControl();
    // Climb from the focused control to the one that this form owns directly.
    for (Control* c = f; c; c = c->owner_)
        if (c->owner_ == this) return c;
    return nullptr;
}

void Form::SetFocused(Control* c) {
    focused_ = c ? c->weak_from_this() : std::weak_ptr<Object>();
}

void Form::Load() {
    if (loaded_) return;
    loaded_ = true;
    RaiseEvent("Load");
}

void Form::Show(bool modal) {
    Load();
    if (modal_ && Visible())
        Raise(err::InvalidProcedureCall, "Form already displayed; can't show modally");
    SetVisible(true);
    Screen::Instance().SetActiveForm(this);
    RaiseEvent("Activate");
    if (!modal) {
        Ui().ShowModeless(*this);
        return;
    }
    modal_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{modal_};
    Ui().ShowModal(*this);
    if (Visible()) Hide(); // the driver gave up on the form (closed by the window system)
}

void Form::Hide() {
    if (!Visible()) return;
    SetVisible(false);
    RaiseEvent("Deactivate");
}

bool Form::Unload(int unloadMode) {
    if (!loaded_) return true;
    Args query{Variant(0), Variant(unloadMode)};
    RaiseEvent("QueryUnload", query);
    if (CLng(query[0]) != 0) return false;
    Args unload{Variant(0)};
    RaiseEvent("Unload", unload);
    if (CLng(unload[0]) != 0) return false;
    Hide();
    loaded_ = false;
    NotifyChanged("Unloaded");
    return true;
}

void Form::SetWidth(long v) {
    long before = Width();
    Control::SetWidth(v);
    if (Width() != before) RaiseEvent("Resize");
}

void Form::SetHeight(long v) {
    long before = Height();
    Control::SetHeight(v);
    if (Height() != before) RaiseEvent("Resize");
}

namespace {

bool OnShow(const Control& c) {
    for (const Control* x = &c; x; x = x->Owner())
        if (!x->IsUsable()) return false;
    return true;
}

// The usable default (Return) or cancel (Escape) button of the innermost form from `start`
// outwards that has one: a user control's own buttons come before the window around it.
CommandButton* AnsweringButton(Form* start, bool wantDefault) {
    for (Form* f = start; f; f = f->Owner())
        for (const ControlPtr& c : f->Controls()) {
            auto* b = dynamic_cast<CommandButton*>(c.get());
            if (b && (wantDefault ? b->Default() : b->Cancel()) && OnShow(*b)) return b;
        }
    return nullptr;
}

} // namespace

int Form::UserKeyDownFocused(int keyCode, int shift) {
    if (keyPreview_) {
        Args a{Variant(keyCode), Variant(shift)};
        RaiseEvent("KeyDown", a);
        keyCode = CLng(a[0]);
        if (keyCode == 0) return 0;
    }
    Control* f = FocusedControl();
    if (f) keyCode = f->UserKeyDown(keyCode, shift);
    const bool ret = keyCode == key::Return && shift == 0;
    if (!ret && !(keyCode == key::Escape && shift == 0)) return keyCode;
    // Return on a button presses that button; in a text of several lines it starts a new line.
    if (ret && f) {
        if (dynamic_cast<CommandButton*>(f)) return keyCode;
        auto* text = dynamic_cast<TextBox*>(f);
        if (text && text->MultiLine()) return keyCode;
    }
    CommandButton* b = AnsweringButton(f ? f->Owner() : this, ret);
    if (!b) return keyCode;
    b->UserClick();
    return 0;
}

UserControl::UserControl(std::string name, std::string typeName)
    : Form(std::move(name), std::move(typeName)) {
    SetTabStop(true);
}

void UserControl::SetFixedSize(long width, long height) {
    fixedWidth_ = width;
    fixedHeight_ = height;
    // The control's own setters, past this class's refusal to change a fixed size.
    Control::SetWidth(width);   // NOLINT(bugprone-parent-virtual-call)
    Control::SetHeight(height); // NOLINT(bugprone-parent-virtual-call)
}

void UserControl::FillWith(Control& child) {
    child.Move(0, 0, Width(), Height());
    On("Resize", [this, &child](Args&) { child.Move(0, 0, Width(), Height()); });
}

void UserControl::SetWidth(long v) {
    Form::SetWidth(fixedWidth_ >= 0 ? fixedWidth_ : v);
}

void UserControl::SetHeight(long v) {
    Form::SetHeight(fixedHeight_ >= 0 ? fixedHeight_ : v);
}

Screen& Screen::Instance() {
    static Screen screen;
    return screen;
}

void Screen::SetMousePointer(int v) {
    if (mousePointer_ == v) return;
    mousePointer_ = v;
    for (auto& f : observers_)
        f();
}

Form* Screen::ActiveForm() const {
    auto p = activeForm_.lock();
    return p ? dynamic_cast<Form*>(p.get()) : nullptr;
}

void Screen::SetActiveForm(Form* f) {
    activeForm_ = f ? f->weak_from_this() : std::weak_ptr<Object>();
}

void DoEvents() {
    if (auto d = CurrentUiDriver()) d->DoEvents();
}

} // namespace zelk
