#include "controls/RichTextControl.h"

#include "platform/Conv.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/UiDriver.h"

#include <cctype>
#include <fstream>
#include <unordered_set>

namespace zelk::controls {

namespace {
std::string& DictionaryPath() {
    static std::string path = "/usr/share/dict/words";
    return path;
}

// The word list, read once per path; null when there is none.
const std::unordered_set<std::string>* Dictionary() {
    static std::string loadedFrom;
    static std::unordered_set<std::string> words;
    static bool present = false;
    if (loadedFrom != DictionaryPath() || loadedFrom.empty()) {
        loadedFrom = DictionaryPath();
        words.clear();
        std::ifstream in(loadedFrom);
        present = static_cast<bool>(in);
        for (std::string w; std::getline(in, w);)
            if (!w.empty()) words.insert(LCase(Trim(w)));
    }
    return present ? &words : nullptr;
}
} // namespace

void RichTextControl::SetDictionaryPath(std::string path) {
    DictionaryPath() = std::move(path);
}

RichTextControl::RichTextControl(std::string name) : TextBox(std::move(name), "RichTextControl") {
    DefineMethod("DoCopy", [this](Args&) { return DoCopy(), Variant(); });
    DefineMethod("DoCut", [this](Args&) { return DoCut(), Variant(); });
    DefineMethod("DoPaste", [this](Args&) { return DoPaste(), Variant(); });
    DefineMethod("CheckSpelling", [this](Args&) { return Variant(CheckSpelling()); });
    DefineMethod("LaunchEditor",
                 [this](Args& a) { return Variant(LaunchEditor(CStr(Arg(a, 0)))); });
    DefineProperty(
        "ParentForm", [this](Args&) { return Variant(parentForm_.lock()); },
        [this](const Variant& v, Args&) { parentForm_ = v.IsObject() ? v.Obj() : ObjectPtr(); });
}

void RichTextControl::DoCopy() {
    if (SelLength() > 0) Ui().SetClipboardText(SelText());
}

void RichTextControl::DoCut() {
    if (SelLength() == 0 || Locked()) return;
    Ui().SetClipboardText(SelText());
    SetSelText("");
}

void RichTextControl::DoPaste() {
    if (Locked()) return;
    SetSelText(Ui().ClipboardText());
}

std::string RichTextControl::CheckSpelling() {
    const auto* dict = Dictionary();
    if (!dict) {
        // Saying "no errors" here would claim a check that never ran.
        Ui().MsgBox("No word list is installed, so the spelling was not checked.", vb::Information,
                    "Spell Check");
        return "";
    }
    std::vector<std::string> unknown;
    std::unordered_set<std::string> seen;
    std::string word;
    auto flush = [&] {
        while (!word.empty() && word.back() == '\'')
            word.pop_back();
        if (!word.empty() && !dict->count(LCase(word)) && seen.insert(LCase(word)).second)
            unknown.push_back(word);
        word.clear();
    };
    for (char ch : Text()) {
        if (std::isalpha(static_cast<unsigned char>(ch)) || (ch == '\'' && !word.empty()))
            word += ch;
        else
            flush();
    }
    flush();
    if (unknown.empty()) {
        Ui().MsgBox("The spelling check is complete.", vb::Information, "Spell Check");
        return "";
    }
    std::string list = Join(unknown, ", ");
    Ui().MsgBox("These words were not found:\n\n" + list, vb::Exclamation, "Spell Check");
    return list;
}

bool RichTextControl::LaunchEditor(const std::string& tag) {
    auto form = std::make_shared<Form>("frmTextEditor");
    form->SetCaption(tag.empty() ? "Text Editor" : "Text Editor - " + tag);
    form->Move(0, 0, 7200, 5400);
    auto txt = form->Add<TextBox>("txtEditor");
    txt->SetMultiLine(true);
    txt->SetLocked(Locked());
    txt->Move(120, 120, 6960, 4440);
    txt->SetText(Text());
    auto ok = form->Add<CommandButton>("cmdOK");
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->Move(4680, 4680, 1080, 360);
    auto cancel = form->Add<CommandButton>("cmdCancel");
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->Move(5880, 4680, 1080, 360);
    bool accepted = false;
    Form* f = form.get();
    ok->On("Click", [&accepted, f](Args&) {
        accepted = true;
        f->Hide();
    });
    cancel->On("Click", [f](Args&) { f->Hide(); });
    Ui().ShowModal(*form);
    if (accepted && !Locked()) SetText(txt->Text());
    form->Unload();
    return accepted;
}

} // namespace zelk::controls
