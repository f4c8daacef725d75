#pragma once

#include "platform/ReportDocument.h"
#include "platform/ui/UiDriver.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zelk {

// A person played by a script, for tests and the script runner. Answers are taken in the order
// they were queued; every message, input box, modal form, help call and key sequence is logged.
//
// A message box with a choice, an input box or a modal form that finds no answer queued is a
// script failure: the failure handler is called (tests make it a test failure), the box is
// answered with Cancel (or the form hidden) so nothing ever waits for a person.
class ScriptedUiDriver : public UiDriver {
public:
    struct Entry {
        std::string kind; // "MsgBox", "InputBox", "Modal", "Modeless", "SendKeys", "Help", "Popup",
                          // "Progress", "EndProgress"
        std::string text; // prompt, form name, keys or help file
        int flags = 0;    // message box flags, help command
        std::string title;
        int answer = 0;
        int pointer = 0; // the mouse pointer on the screen when it was shown
    };
    using ModalAction = std::function<void(Form&)>;

    void QueueAnswer(int answer) { answers_.push_back(answer); }
    void QueueInput(std::string text) { inputs_.push_back(std::move(text)); }
    // The next modal show runs `action` on the form; `formName` ("" = any) must match. The
    // action should hide or unload the form, as a person pressing OK or Cancel would.
    void QueueModal(std::string formName, ModalAction action);
    // The next pop-up menu chooses the item with this name ("" = the person dismisses it).
    void QueuePopupChoice(std::string itemName) { popups_.push_back(std::move(itemName)); }
    // The person stops the next long operation once its progress shows at least `count`
    // (0 = at the first report). Every report is logged as "Progress" with the count as answer.
    void QueueCancelProgressAt(long count) { cancelAt_.push_back(count); }
    void SetFailureHandler(std::function<void(const std::string&)> f) { onFailure_ = std::move(f); }

    const std::vector<Entry>& Log() const { return log_; }
    // The prompts of every message box shown, in order.
    std::vector<std::string> Messages() const;
    const Entry* LastMessage() const;
    void ClearLog() { log_.clear(); }
    // Forgets every queued answer (a step of a test loop that may or may not have asked).
    void DropQueued() {
        answers_.clear();
        inputs_.clear();
        modals_.clear();
        popups_.clear();
        cancelAt_.clear();
    }
    // What the script queued and nobody asked for.
    std::size_t PendingAnswers() const {
        return answers_.size() + inputs_.size() + modals_.size() + popups_.size() +
               cancelAt_.size();
    }
    const std::vector<std::string>& Failures() const { return failures_; }

    int MsgBox(const std::string& prompt, int flags, const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void ShowModal(Form& form) override;
    void ShowModeless(Form& form) override;
    void SendKeys(const std::string& keys) override;
    void PopupMenu(Form& form, Control& menu, long x, long y) override;
    void SetClipboardText(const std::string& text) override { clipboard_ = text; }
    std::string ClipboardText() override { return clipboard_; }
    void ShowHelp(const std::string& helpFile, int command, long context) override;
    // Logged as "Print" with the title; the document is kept for the test to read.
    void PrintReport(const ReportDocument& document) override;
    bool ShowProgress(const std::string& caption, long count) override;
    void EndProgress() override;
    const ReportDocument* LastReport() const { return lastReport_.get(); }

private:
    void Fail(const std::string& what);

    std::deque<int> answers_;
    std::deque<std::string> inputs_;
    std::deque<std::pair<std::string, ModalAction>> modals_;
    std::deque<std::string> popups_;
    std::deque<long> cancelAt_;
    std::vector<Entry> log_;
    std::vector<std::string> failures_;
    std::function<void(const std::string&)> onFailure_;
    std::string clipboard_;
    std::shared_ptr<ReportDocument> lastReport_;
};

} // namespace zelk
