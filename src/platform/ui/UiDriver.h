#pragma once

#include <memory>
#include <string>

namespace zelk {

class Control;
class Form;

// Message box flags and answers, numbered as the desktop-basic MsgBox numbers them.
namespace vb {
constexpr int OKOnly = 0;
constexpr int OKCancel = 1;
constexpr int AbortRetryIgnore = 2;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int RetryCancel = 5;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int DefaultButton2 = 256;

constexpr int OK = 1;
constexpr int Cancel = 2;
constexpr int Abort = 3;
constexpr int Retry = 4;
constexpr int Ignore = 5;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace vb

// Everything that needs a person. The workbench implements it with Qt; tests use a scripted
// driver that answers in order and records what was shown.
struct ReportDocument;

class UiDriver {
public:
    virtual ~UiDriver() = default;

    virtual int MsgBox(const std::string& prompt, int flags, const std::string& title) = 0;
    // Returns the text entered, or "" when cancelled.
    virtual std::string InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) = 0;
    // Shows the form modally; returns when the form is hidden or unloaded.
    virtual void ShowModal(Form& form) = 0;
    // A form shown modelessly (the view layer opens a window for it).
    virtual void ShowModeless(Form& form) = 0;
    virtual void SendKeys(const std::string& keys) = 0;
    // Shows the items of `menu` as a pop-up; the person's choice raises that item's Click.
    virtual void PopupMenu(Form& form, Control& menu, long x, long y) = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
    virtual std::string ClipboardText() = 0;
    virtual void ShowHelp(const std::string& helpFile, int command, long context) = 0;
    // Offers the document for printing (a preview with Print and Save as PDF).
    virtual void PrintReport(const ReportDocument& document) = 0;
    // Lets the view draw pending changes (hourglass, wait picture); a no-op headless.
    virtual void DoEvents() {}
    // Shows how far a long operation has come (`count` rows read so far) with a way for the
    // person to stop it (Escape or Cancel), and lets the person's clicks run. Answers true
    // once the person asked to stop. EndProgress takes the display away.
    virtual bool ShowProgress(const std::string& caption, long count) {
        (void)caption;
        (void)count;
        return false;
    }
    virtual void EndProgress() {}
};

// The driver the module talks to. Must be set before any form is shown.
UiDriver& Ui();
void SetUiDriver(std::shared_ptr<UiDriver> driver);
std::shared_ptr<UiDriver> CurrentUiDriver();

} // namespace zelk
