#pragma once

#include "platform/ui/UiDriver.h"

#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>

#include <functional>

namespace zelk::view {

// Everything of the model that needs a person, done with Qt widgets: message and input boxes,
// modal and modeless forms, pop-up menus, keys sent to the focused widget, the clipboard,
// help, and the hourglass as the wait cursor.
class QtUiDriver : public UiDriver {
public:
    QtUiDriver();

    int MsgBox(const std::string& prompt, int flags, const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void ShowModal(Form& form) override;
    void ShowModeless(Form& form) override;
    void SendKeys(const std::string& keys) override;
    void PopupMenu(Form& form, Control& menu, long x, long y) override;
    void SetClipboardText(const std::string& text) override;
    std::string ClipboardText() override;
    void ShowHelp(const std::string& helpFile, int command, long context) override;
    void PrintReport(const ReportDocument& document) override;
    void DoEvents() override;
    // A dialog over the whole application with the count and a Cancel button (Escape too);
    // the person's click is heard while the operation runs.
    bool ShowProgress(const std::string& caption, long count) override;
    void EndProgress() override;

private:
    QPointer<QProgressDialog> progress_;
};

// Who answers F1 sent by code (a Help menu item of the module) in a window of the workbench's
// own, where the frame's help shortcut cannot hear a key sent to a widget. It answers whether
// it showed help; without one, or when it declines, the key goes to the focused widget.
void SetHelpKeyHandler(std::function<bool(QWidget* window)> handler);

// The buttons, default button and icon of a message box for the model's flags, and the
// model's answer for the button pressed.
QMessageBox::StandardButtons MsgBoxButtons(int flags);
QMessageBox::StandardButton MsgBoxDefault(int flags);
QMessageBox::Icon MsgBoxIcon(int flags);
int MsgBoxAnswer(QMessageBox::StandardButton pressed);

// Installs the wait cursor that follows Screen's mouse pointer (11 = hourglass). Once.
void FollowScreenMousePointer();

} // namespace zelk::view
