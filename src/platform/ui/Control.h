#pragma once

#include "platform/Dispatch.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

class Control;
class Form;
using ControlPtr = std::shared_ptr<Control>;

// Receives every property change of a control and of everything inside it, so a view layer
// can mirror the model and a test can read what the user sees. `property` is the member name
// as it is reached late-bound ("Text", "Enabled", "Cell" ...).
class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    virtual void PropertyChanged(Control& control, std::string_view property) = 0;
    virtual void ControlAdded(Control& /*control*/) {}
    virtual void ControlRemoved(Control& /*control*/) {}
};

// Base of every control of the model. A control belongs to one form (or user control), which
// owns it; the container is the frame, picture box, tab control or form it sits in.
//
// Events are raised by name through Dispatch with their arguments by reference, so a handler
// can write back (Cancel, KeyAscii). `On` is the typed way for the module's own forms to
// handle them.
class Control : public Dispatch {
public:
    using Handler = std::function<void(Args&)>;

    Control(std::string typeName, std::string name);
    ~Control() override;

    const std::string& Name() const { return name_; }
    // Position in a control array; -1 when the control is not part of one.
    int Index() const { return index_; }
    void SetIndex(int index) { index_ = index; }

    const std::string& Tag() const { return tag_; }
    void SetTag(std::string tag);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Locked() const { return locked_; }
    void SetLocked(bool locked);
    const std::string& ToolTipText() const { return toolTip_; }
    void SetToolTipText(std::string text);

    long Left() const { return left_; }
    long Top() const { return top_; }
    long Width() const { return width_; }
    long Height() const { return height_; }
    void SetLeft(long v);
    void SetTop(long v);
    virtual void SetWidth(long v);
    virtual void SetHeight(long v);
    void Move(long left, long top, long width = -1, long height = -1);

    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int v);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v);

    // The container this control sits in; null for a top-level form.
    Control* Container() const { return container_; }
    void SetContainer(Control* container);
    // The form or user control that owns this control (null for a top-level form).
    Form* Owner() const { return owner_; }
    // The top-level form the control is shown in, through any nesting of user controls.
    Form* TopForm();
    // True when this control and every container up to the form are visible / enabled.
    bool IsShowing() const;
    bool IsUsable() const;
    // The page of a tab control this control belongs to (-1: every page / not on a tab).
    int TabPage() const { return tabPage_; }
    void SetTabPage(int page);

    // Whether a child is on show inside this container (a tab control shows only the controls
    // of its current page).
    virtual bool ShowsChild(const Control& /*child*/) const { return true; }
    // Whether the kind can take the focus at all (labels, frames and images cannot).
    virtual bool CanFocus() const { return false; }
    // Moves the focus here; the control being left gets Validate (and keeps the focus when a
    // handler cancels), then LostFocus; this one gets GotFocus. Returns whether it moved.
    bool SetFocus();
    bool HasFocus();

    int On(std::string_view event, Handler handler);

    // Property change notification: observers of this control and of every container above it
    // hear about it.
    void AddObserver(ControlObserver* observer);
    void RemoveObserver(ControlObserver* observer);
    const std::vector<ControlObserver*>& Observers() const { return observers_; }
    void NotifyChanged(std::string_view property);
    void NotifyAdded(Control& child);
    void NotifyRemoved(Control& child);

    // User actions that have the same effect for every kind.
    virtual void UserClick();
    void UserDblClick();
    // KeyDown with the key code and shift state, then KeyPress for printable keys. Returns the
    // key code left after the handlers (0 = eaten).
    int UserKeyDown(int keyCode, int shift = 0);
    int UserKeyPress(int keyAscii);
    void UserMouseUp(int button, int shift, float x, float y);

private:
    friend class Form;

    void DefineCommonMembers();

    std::string name_;
    int index_ = -1;
    std::string tag_;
    bool enabled_ = true;
    bool visible_ = true;
    bool locked_ = false;
    std::string toolTip_;
    long left_ = 0, top_ = 0, width_ = 1200, height_ = 360;
    int tabIndex_ = 0;
    bool tabStop_ = true;
    int tabPage_ = -1;
    Control* container_ = nullptr;
    Form* owner_ = nullptr;
    std::vector<ControlObserver*> observers_;
};

// Key codes and shift flags used by the module.
namespace key {
constexpr int Back = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Escape = 27;
constexpr int Delete = 46;
constexpr int F1 = 112;
constexpr int ShiftMask = 1;
constexpr int CtrlMask = 2;
constexpr int AltMask = 4;
} // namespace key

} // namespace zelk
