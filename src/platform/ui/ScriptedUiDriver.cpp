#include "platform/ui/ScriptedUiDriver.h"

#include "platform/Strings.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"

namespace zelk {

void ScriptedUiDriver::QueueModal(std::string formName, ModalAction action) {
    modals_.emplace_back(std::move(formName), std::move(action));
}

std::vector<std::string> ScriptedUiDriver::Messages() const {
    std::vector<std::string> out;
    for (const auto& e : log_)
        if (e.kind == "MsgBox") out.push_back(e.text);
    return out;
}

const ScriptedUiDriver::Entry* ScriptedUiDriver::LastMessage() const {
    for (auto it = log_.rbegin(); it != log_.rend(); ++it) // NOLINT(modernize-loop-convert)
        if (it->kind == "MsgBox") return &*it;
    return nullptr;
}

void ScriptedUiDriver::Fail(const std::string& what) {
    failures_.push_back(what);
    if (onFailure_) onFailure_(what);
}

int ScriptedUiDriver::MsgBox(const std::string& prompt, int flags, const std::string& title) {
    int buttons = flags & 7;
    int answer = vb::OK;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    } else if (buttons != vb::OKOnly) {
        Fail("No answer queued for the message box: " + prompt);
        answer = buttons == vb::YesNo ? vb::No : vb::Cancel;
    }
    log_.push_back({"MsgBox", prompt, flags, title, answer, Screen::Instance().MousePointer()});
    return answer;
}

std::string ScriptedUiDriver::InputBox(const std::string& prompt, const std::string& title,
                                       const std::string&) {
    std::string text;
    if (!inputs_.empty()) {
        text = std::move(inputs_.front());
        inputs_.pop_front();
    } else {
        Fail("No input queued for the input box: " + prompt);
    }
    log_.push_back({"InputBox", prompt, 0, title, 0});
    return text;
}

void ScriptedUiDriver::ShowModal(Form& form) {
    log_.push_back({"Modal", form.Name(), 0, form.Caption(), 0});
    if (modals_.empty()) {
        Fail("No action queued for the modal form " + form.Name());
    } else {
        auto [name, action] = std::move(modals_.front());
        modals_.pop_front();
        if (!name.empty() && !IEquals(name, form.Name()))
            Fail("Expected the modal form " + name + " but " + form.Name() + " was shown");
        else if (action)
            action(form);
    }
    // A modal loop returns only once the form is gone; a script that forgets to close it
    // must not hang the test.
    if (form.Visible()) {
        Fail("The script left the modal form " + form.Name() + " open");
        form.Hide();
    }
}

void ScriptedUiDriver::ShowModeless(Form& form) {
    log_.push_back({"Modeless", form.Name(), 0, form.Caption(), 0});
}

void ScriptedUiDriver::SendKeys(const std::string& keys) {
    log_.push_back({"SendKeys", keys, 0, "", 0});
    // The edit keys act on the focused text box of the active window, as the system's do.
    Form* form = Screen::Instance().ActiveForm();
    auto* box = form ? dynamic_cast<TextBox*>(form->FocusedControl()) : nullptr;
    if (!box) return;
    const bool selected = box->SelLength() > 0;
    if (IEquals(keys, "^C")) {
        if (selected) clipboard_ = box->SelText();
    } else if (IEquals(keys, "^X")) {
        if (selected && !box->Locked()) {
            clipboard_ = box->SelText();
            box->SetSelText("");
        }
    } else if (IEquals(keys, "^V")) {
        if (!box->Locked()) box->SetSelText(clipboard_);
    }
}

void ScriptedUiDriver::PopupMenu(Form& form, Control& menu, long x, long y) {
    log_.push_back({"Popup", menu.Name(), 0, std::to_string(x) + "," + std::to_string(y), 0});
    if (popups_.empty()) {
        Fail("No choice queued for the pop-up menu " + menu.Name());
        return;
    }
    std::string choice = std::move(popups_.front());
    popups_.pop_front();
    if (choice.empty()) return;
    Form* owner = menu.Owner() ? menu.Owner() : &form;
    Control* item = owner->Find(choice);
    if (!item || item->Container() != &menu) {
        Fail("The pop-up menu " + menu.Name() + " has no item " + choice);
        return;
    }
    item->UserClick();
}

void ScriptedUiDriver::ShowHelp(const std::string& helpFile, int command, long context) {
    log_.push_back({"Help", helpFile, command, std::to_string(context), 0});
}

void ScriptedUiDriver::PrintReport(const ReportDocument& document) {
    log_.push_back({"Print", document.title, 0, "", 0});
    lastReport_ = std::make_shared<ReportDocument>(document);
}

bool ScriptedUiDriver::ShowProgress(const std::string& caption, long count) {
    const bool stop = !cancelAt_.empty() && count >= cancelAt_.front();
    if (stop) cancelAt_.pop_front();
    log_.push_back({"Progress", caption, 0, "", static_cast<int>(count)});
    return stop;
}

void ScriptedUiDriver::EndProgress() {
    log_.push_back({"EndProgress", "", 0, "", 0});
}

} // namespace zelk
