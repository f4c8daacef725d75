#include "controls/RichTextControl.h"

#include "controls/frmSpellCheck.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Strings.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/UiDriver.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace zelk::controls {

namespace {
constexpr const char* kSpellChecker = "ZELK_Spelling.SpellChecker";
constexpr const char* kSpellTitle = "Spell Check";

// The spelling service of the host; null when there is none or it has no dictionary.
ObjectPtr SpellService() {
    ObjectPtr checker;
    try {
        checker = CreateObject(kSpellChecker);
        if (checker && !CBool(checker->Get("Available"))) checker = nullptr;
    } catch (const ComError&) {
        checker = nullptr;
    }
    return checker;
}

// The byte length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Letters of words: ASCII letters and every character beyond ASCII except the punctuation
// blocks (dashes, curly quotes, ellipses) and the multiplication and division signs.
bool IsLetterAt(const std::string& text, std::size_t i, std::size_t& length) {
    const auto c = static_cast<unsigned char>(text[i]);
    length = std::min(SequenceLength(c), text.size() - i);
    if (c < 0x80) return std::isalpha(c) != 0;
    if (c < 0xC0) return false;
    if (c == 0xC3 && length == 2) {
        const auto d = static_cast<unsigned char>(text[i + 1]);
        return d != 0x97 && d != 0xB7;
    }
    if (c == 0xC2) return false; // Latin-1 punctuation and symbols
    if (c == 0xE2 && length == 3) {
        const auto d = static_cast<unsigned char>(text[i + 1]);
        return d < 0x80 || d > 0x81; // U+2000 to U+207F
    }
    return true;
}

// The next word at or after `from`: its start and length in bytes; false when none is left.
// A word may hold apostrophes inside it; words with digits are codes, not words.
bool NextWord(const std::string& text, std::size_t from, std::size_t& start, std::size_t& len) {
    std::size_t i = from, n = 0;
    while (i < text.size()) {
        while (i < text.size() && !IsLetterAt(text, i, n))
            i += std::max<std::size_t>(n, 1);
        if (i >= text.size()) return false;
        std::size_t j = i;
        bool digits = false;
        while (j < text.size()) {
            if (IsLetterAt(text, j, n)) {
                j += n;
            } else if (text[j] == '\'' && j + 1 < text.size() && IsLetterAt(text, j + 1, n)) {
                ++j;
            } else if (std::isdigit(static_cast<unsigned char>(text[j]))) {
                digits = true;
                ++j;
            } else {
                break;
            }
        }
        if (!digits) {
            start = i;
            len = j - i;
            return true;
        }
        i = j;
    }
    return false;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    for (auto& line : Split(text, "\n"))
        if (!line.empty()) out.push_back(line);
    return out;
}
} // namespace

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
    ObjectPtr checker = SpellService();
    if (!checker) {
        // Saying "no errors" here would claim a check that never ran.
        Ui().MsgBox("No word list is installed, so the spelling was not checked.", vb::Information,
                    kSpellTitle);
        return "";
    }
    const std::string original = Text();
    std::string text = original;
    std::vector<std::string> flagged;
    std::set<std::string> ignored;
    std::map<std::string, std::string> changeAll;
    auto dialog = std::make_shared<frmSpellCheck>();
    std::size_t pos = 0, start = 0, len = 0;
    while (NextWord(text, pos, start, len)) {
        const std::string word = text.substr(start, len);
        pos = start + len;
        if (ignored.count(word)) continue;
        if (auto it = changeAll.find(word); it != changeAll.end()) {
            text.replace(start, len, it->second);
            pos = start + it->second.size();
            continue;
        }
        if (CBool(checker->Call("Check", {Variant(word)}))) continue;
        flagged.push_back(word);
        // The word is shown selected in the field while the user decides.
        if (text != Text()) SetText(text);
        SetSelStart(static_cast<long>(start));
        SetSelLength(static_cast<long>(len));
        const auto choice =
            dialog->Ask(word, Lines(CStr(checker->Call("Suggest", {Variant(word)}))), !Locked());
        using Choice = frmSpellCheck::Choice;
        switch (choice) {
        case Choice::Cancel:
            dialog->Unload();
            if (Text() != original) SetText(original);
            return "";
        case Choice::IgnoreAll:
            ignored.insert(word);
            break;
        case Choice::AddWord:
            checker->Call("AddWord", {Variant(word)});
            ignored.insert(word);
            break;
        case Choice::ReplaceAll:
            changeAll[word] = dialog->ChangeTo();
            [[fallthrough]];
        case Choice::Replace:
            text.replace(start, len, dialog->ChangeTo());
            pos = start + dialog->ChangeTo().size();
            break;
        case Choice::Ignore:
            break;
        }
    }
    dialog->Unload();
    if (text != Text()) SetText(text);
    SetSelLength(0);
    Ui().MsgBox("The spelling check is complete.", vb::Information, kSpellTitle);
    return Join(flagged, ", ");
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
