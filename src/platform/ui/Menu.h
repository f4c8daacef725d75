#pragma once

#include "platform/ui/StdControls.h"

#include <string>

namespace zelk {

class Form;

// A menu item; its container is the menu it belongs to, or the form for a top-level menu.
// A shortcut is written as the user reads it: "Ctrl+S", "F1", "Shift+F3".
class Menu : public CaptionedControl {
public:
    explicit Menu(std::string name);
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    const std::string& Shortcut() const { return shortcut_; }
    void SetShortcut(std::string s) { shortcut_ = std::move(s); }
    // The caption without its access-key marker.
    std::string PlainCaption() const;
    // Whether the key code and shift state are this item's shortcut.
    bool MatchesShortcut(int keyCode, int shift) const;
    // A menu item acts while it and the menus above it are enabled; a hidden top menu that
    // only serves as a pop-up does not switch its items off.
    bool IsActionable() const;
    void UserClick() override;

private:
    bool checked_ = false;
    std::string shortcut_;
};

// Shows `menu`'s items as a pop-up at x, y (twips, relative to `form`); the user's choice, if
// any, raises that item's Click before the call returns.
void PopupMenu(Form& form, Menu& menu, long x, long y);

// Runs the shortcut: clicks the first usable menu item of the form that has it. Returns
// whether one did.
bool RunShortcut(Form& form, int keyCode, int shift);

} // namespace zelk
