#pragma once

#include "platform/ui/Control.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// A form: a top-level window of the model that owns its controls. Controls are created on the
// form (typed with Add<T>, or by programmatic identifier with AddControl) and live as long as
// the form. The focus of a window is tracked by its top-level form.
//
// Events: Load, Activate, Deactivate, Resize, QueryUnload(Cancel, UnloadMode), Unload(Cancel),
// KeyDown/KeyPress first when KeyPreview is set.
class Form : public Control {
public:
    explicit Form(std::string name, std::string typeName = "Form");
    ~Form() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    const std::string& Icon() const { return icon_; }
    void SetIcon(std::string icon);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }

    // Creates a control of kind T on this form, inside `container` (the form when null).
    template <class T, class... A>
    std::shared_ptr<T> Add(std::string name, Control* container = nullptr, A&&... a) {
        auto c = std::make_shared<T>(std::move(name), std::forward<A>(a)...);
        Adopt(c, container);
        return c;
    }
    // Run-time addition by programmatic identifier; the object the factory makes must be a
    // control. Error 429 for an unknown identifier, 13 when it is not a control, 5 when the
    // name is taken.
    ControlPtr AddControl(std::string_view progId, std::string name, Control* container = nullptr);
    void RemoveControl(Control& control);

    // Every control owned by this form, in creation order (nested containers included, user
    // controls' own controls not).
    const std::vector<ControlPtr>& Controls() const { return controls_; }
    // Case-insensitive lookup; `index` picks a member of a control array. Null when absent.
    Control* Find(std::string_view name, int index = -1) const;
    template <class T> T* FindAs(std::string_view name, int index = -1) const {
        return dynamic_cast<T*>(Find(name, index));
    }
    // Like Find, but error 9 ("Control not found: name") when absent or of another kind.
    template <class T> T& Get(std::string_view name, int index = -1) const {
        auto* c = dynamic_cast<T*>(Find(name, index));
        if (!c) MissingControl(name);
        return *c;
    }
    // The controls whose container is `container` (this form when null), in creation order.
    std::vector<Control*> ChildrenOf(const Control* container = nullptr) const;
    // A late-bound view of Controls: Count, Item(index or name), Add(progId, name, container).
    ObjectPtr ControlsObject();

    // The control of this form that has the focus, or the user control that contains it.
    Control* ActiveControl();
    // The deepest focused control, through nested user controls.
    Control* FocusedControl();
    // Runs Validate on the focused control inside this form, as leaving it would, so a
    // pending entry is checked; false when a handler cancelled.
    bool ValidateControls();

    bool IsLoaded() const { return loaded_; }
    // Raises Load the first time; Show implies it.
    void Load();
    // Modal shows return when the form is hidden or unloaded.
    void Show(bool modal = false);
    void Hide();
    // QueryUnload and Unload may cancel; returns whether the form was unloaded.
    bool Unload(int unloadMode = 1);
    bool IsModal() const { return modal_; }

    bool CanFocus() const override { return false; }
    void SetWidth(long v) override;
    void SetHeight(long v) override;

    // Keyboard on the focused control, previewed by the form when KeyPreview is set.
    int UserKeyDownFocused(int keyCode, int shift = 0);

private:
    friend class Control;
    void Adopt(const ControlPtr& c, Control* container);
    [[noreturn]] static void MissingControl(std::string_view name);
    void SetFocused(Control* c);

    std::string caption_;
    std::string icon_;
    bool keyPreview_ = false;
    bool loaded_ = false;
    bool modal_ = false;
    std::vector<ControlPtr> controls_;
    std::weak_ptr<Object> focused_; // only on a top-level form
    ObjectPtr controlsObject_;
};

// A control built from other controls, sited in a form. It owns its own controls like a form,
// raises its events to the host through RaiseEvent, and can insist on a fixed size.
class UserControl : public Form {
public:
    explicit UserControl(std::string name, std::string typeName = "UserControl");

    // A fixed size is restored by every resize, as the control's own Resize handler would.
    void SetFixedSize(long width, long height);
    // The child (one of its own, kept for its life) covers the whole control, now and after
    // every resize.
    void FillWith(Control& child);
    void SetWidth(long v) override;
    void SetHeight(long v) override;
    bool CanFocus() const override { return true; }

private:
    long fixedWidth_ = -1, fixedHeight_ = -1;
};

// Mouse pointer and active form of the application.
namespace mouse {
constexpr int Default = 0;
constexpr int Hourglass = 11;
} // namespace mouse

class Screen {
public:
    static Screen& Instance();
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int v);
    Form* ActiveForm() const;
    void SetActiveForm(Form* f);
    void AddObserver(std::function<void()> onChange) { observers_.push_back(std::move(onChange)); }
    void ClearObservers() { observers_.clear(); }

private:
    int mousePointer_ = 0;
    std::weak_ptr<Object> activeForm_;
    std::vector<std::function<void()>> observers_;
};

// Lets the view draw pending changes; a no-op headless.
void DoEvents();

} // namespace zelk
