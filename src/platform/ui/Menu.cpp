#include "platform/ui/Menu.h"

#include "platform/Conv.h"
#include "platform/Strings.h"
#include "platform/ui/Form.h"
#include "platform/ui/UiDriver.h"

namespace zelk {

Menu::Menu(std::string name) : CaptionedControl("Menu", std::move(name)) {
    SetTabStop(false);
    DefineProperty(
        "Checked", [this](Args&) { return Variant(checked_); },
        [this](const Variant& v, Args&) { SetChecked(CBool(v)); });
}

void Menu::SetChecked(bool v) {
    if (checked_ != v) {
        checked_ = v;
        NotifyChanged("Checked");
    }
}

std::string Menu::PlainCaption() const {
    std::string out;
    const std::string& c = Caption();
    for (std::size_t i = 0; i < c.size(); ++i) {
        if (c[i] == '&' && i + 1 < c.size()) {
            out += c[++i]; // "&&" is a literal ampersand
            continue;
        }
        out += c[i];
    }
    return out;
}

namespace {
std::string KeyName(int keyCode) {
    if (keyCode >= key::F1 && keyCode < key::F1 + 12)
        return "F" + std::to_string(keyCode - key::F1 + 1);
    if ((keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9'))
        return std::string(1, static_cast<char>(keyCode));
    if (keyCode == key::Delete) return "Del";
    return "";
}
} // namespace

bool Menu::MatchesShortcut(int keyCode, int shift) const {
    if (shortcut_.empty()) return false;
    std::string name = KeyName(keyCode);
    if (name.empty()) return false;
    std::string want;
    if (shift & key::CtrlMask) want += "Ctrl+";
    if (shift & key::ShiftMask) want += "Shift+";
    if (shift & key::AltMask) want += "Alt+";
    return IEquals(want + name, shortcut_);
}

bool Menu::IsActionable() const {
    if (!Visible()) return false;
    for (const Control* c = this; c; c = c->Container()) {
        if (!c->Enabled()) return false;
        if (!dynamic_cast<const Menu*>(c))
            break; // the form: its own state is not the menu's business
    }
    return true;
}

void Menu::UserClick() {
    if (IsActionable()) RaiseEvent("Click");
}

void PopupMenu(Form& form, Menu& menu, long x, long y) {
    Ui().PopupMenu(form, menu, x, y);
}

bool RunShortcut(Form& form, int keyCode, int shift) {
    for (const auto& c : form.Controls())
        if (auto* m = dynamic_cast<Menu*>(c.get()); m && m->MatchesShortcut(keyCode, shift)) {
            if (!m->IsUsable()) return false;
            m->UserClick();
            return true;
        }
    return false;
}

} // namespace zelk
