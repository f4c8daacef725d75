#pragma once

#include "platform/ui/Control.h"

#include <string>
#include <vector>

namespace zelk {

// A tab control whose pages hold controls (a control's TabPage names its page). Only the
// controls of the current page are on show.
//
// Choosing a tab as the user does raises BeforeSwitch(OldTab, NewTab, Cancel); unless a
// handler cancels, the tab becomes current and Click(NewTab, PreviousTab) follows. Setting
// ActiveTab from code switches silently.
class vaTabPro : public Control {
public:
    explicit vaTabPro(std::string name);
    bool CanFocus() const override { return true; }
    bool ShowsChild(const Control& child) const override;

    void SetTabCount(int n);
    int TabCount() const { return static_cast<int>(tabs_.size()); }
    const std::string& TabCaption(int tab) const { return At(tab).caption; }
    void SetTabCaption(int tab, std::string caption);
    bool TabVisible(int tab) const { return At(tab).visible; }
    void SetTabVisible(int tab, bool v);
    bool TabEnabled(int tab) const { return At(tab).enabled; }
    void SetTabEnabled(int tab, bool v);
    int ActiveTab() const { return active_; }
    void SetActiveTab(int tab);

    // Client area inside the tab strip, in twips relative to the control.
    long ClientLeft() const { return 60; }
    long ClientTop() const { return 420; }
    long ClientWidth() const { return Width() > 120 ? Width() - 120 : 0; }
    long ClientHeight() const { return Height() > 480 ? Height() - 480 : 0; }

    bool UserSelectTab(int tab);

private:
    struct Tab {
        std::string caption;
        bool visible = true, enabled = true;
    };
    const Tab& At(int tab) const;
    Tab& At(int tab);
    std::vector<Tab> tabs_;
    int active_ = 0;
};

// Help through the help viewer of the UI driver.
class CommonDialog : public Control {
public:
    explicit CommonDialog(std::string name);
    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(std::string f) { helpFile_ = std::move(f); }
    int HelpCommand() const { return helpCommand_; }
    void SetHelpCommand(int c) { helpCommand_ = c; }
    long HelpContext() const { return helpContext_; }
    void SetHelpContext(long c) { helpContext_ = c; }
    void ShowHelp();

private:
    std::string helpFile_;
    int helpCommand_ = 0;
    long helpContext_ = 0;
};

} // namespace zelk
