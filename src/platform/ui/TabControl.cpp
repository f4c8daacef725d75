#include "platform/ui/TabControl.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/UiDriver.h"

namespace zelk {

vaTabPro::vaTabPro(std::string name) : Control("vaTabPro", std::move(name)) {
    DefineProperty(
        "ActiveTab", [this](Args&) { return Variant(active_); },
        [this](const Variant& v, Args&) { SetActiveTab(CLng(v)); });
    DefineProperty(
        "TabCount", [this](Args&) { return Variant(TabCount()); },
        [this](const Variant& v, Args&) { SetTabCount(CLng(v)); });
    DefineProperty(
        "TabCaption", [this](Args& a) { return Variant(TabCaption(CLng(Arg(a, 0)))); },
        [this](const Variant& v, Args& a) { SetTabCaption(CLng(Arg(a, 0)), CStr(v)); });
    DefineProperty(
        "TabVisible", [this](Args& a) { return Variant(TabVisible(CLng(Arg(a, 0)))); },
        [this](const Variant& v, Args& a) { SetTabVisible(CLng(Arg(a, 0)), CBool(v)); });
    DefineProperty(
        "TabEnabled", [this](Args& a) { return Variant(TabEnabled(CLng(Arg(a, 0)))); },
        [this](const Variant& v, Args& a) { SetTabEnabled(CLng(Arg(a, 0)), CBool(v)); });
    DefineProperty("ClientLeft", [this](Args&) { return Variant(static_cast<int>(ClientLeft())); });
    DefineProperty("ClientTop", [this](Args&) { return Variant(static_cast<int>(ClientTop())); });
    DefineProperty("ClientWidth",
                   [this](Args&) { return Variant(static_cast<int>(ClientWidth())); });
    DefineProperty("ClientHeight",
                   [this](Args&) { return Variant(static_cast<int>(ClientHeight())); });
}

bool vaTabPro::ShowsChild(const Control& child) const {
    return child.TabPage() < 0 || child.TabPage() == active_;
}

const vaTabPro::Tab& vaTabPro::At(int tab) const {
    if (tab < 0 || tab >= TabCount())
        Raise(381, "Invalid property array index: tab " + std::to_string(tab));
    return tabs_[static_cast<std::size_t>(tab)];
}

vaTabPro::Tab& vaTabPro::At(int tab) {
    return const_cast<Tab&>(static_cast<const vaTabPro*>(this)->At(tab));
}

void vaTabPro::SetTabCount(int n) {
    if (n < 0) Raise(380, "Invalid property value");
    tabs_.resize(static_cast<std::size_t>(n));
    if (active_ >= n) active_ = n > 0 ? n - 1 : 0;
    NotifyChanged("Tabs");
}

void vaTabPro::SetTabCaption(int tab, std::string caption) {
    At(tab).caption = std::move(caption);
    NotifyChanged("Tabs");
}

void vaTabPro::SetTabVisible(int tab, bool v) {
    At(tab).visible = v;
    NotifyChanged("Tabs");
}

void vaTabPro::SetTabEnabled(int tab, bool v) {
    At(tab).enabled = v;
    NotifyChanged("Tabs");
}

void vaTabPro::SetActiveTab(int tab) {
    At(tab);
    if (active_ == tab) return;
    active_ = tab;
    NotifyChanged("ActiveTab");
}

bool vaTabPro::UserSelectTab(int tab) {
    const Tab& t = At(tab);
    if (!IsUsable() || !t.visible || !t.enabled) return false;
    // Clicking the strip moves the focus first, so the field being left is validated.
    if (!HasFocus() && !SetFocus()) return false;
    if (tab == active_) return true;
    int previous = active_;
    Args before{Variant(previous), Variant(tab), Variant(false)};
    RaiseEvent("BeforeSwitch", before);
    if (CBool(before[2])) return false;
    SetActiveTab(tab);
    Args click{Variant(tab), Variant(previous)};
    RaiseEvent("Click", click);
    return true;
}

CommonDialog::CommonDialog(std::string name) : Control("CommonDialog", std::move(name)) {
    SetVisible(false);
    SetTabStop(false);
    DefineProperty(
        "HelpFile", [this](Args&) { return Variant(helpFile_); },
        [this](const Variant& v, Args&) { SetHelpFile(CStr(v)); });
    DefineProperty(
        "HelpCommand", [this](Args&) { return Variant(helpCommand_); },
        [this](const Variant& v, Args&) { SetHelpCommand(CLng(v)); });
    DefineProperty(
        "HelpContext", [this](Args&) { return Variant(static_cast<int>(helpContext_)); },
        [this](const Variant& v, Args&) { SetHelpContext(CLng(v)); });
    DefineMethod("ShowHelp", [this](Args&) {
        ShowHelp();
        return Variant();
    });
}

void CommonDialog::ShowHelp() {
    Ui().ShowHelp(helpFile_, helpCommand_, helpContext_);
}

} // namespace zelk
