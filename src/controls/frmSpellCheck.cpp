#include "controls/frmSpellCheck.h"

namespace zelk::controls {

frmSpellCheck::frmSpellCheck() : Form("frmSpellCheck") {
    SetCaption("Spell Check");
    Move(0, 0, 6600, 4200);
    auto label = [this](const char* name, const char* caption, long top) {
        auto l = Add<Label>(name);
        l->SetCaption(caption);
        l->Move(120, top, 3600, 255);
    };
    label("lblNotInDictionary", "Not in dictionary:", 120);
    txtNotInDictionary = Add<TextBox>("txtNotInDictionary").get();
    txtNotInDictionary->Move(120, 390, 4320, 315);
    txtNotInDictionary->SetLocked(true);
    label("lblChangeTo", "Change &to:", 810);
    txtChangeTo = Add<TextBox>("txtChangeTo").get();
    txtChangeTo->Move(120, 1080, 4320, 315);
    label("lblSuggestions", "&Suggestions:", 1500);
    lstSuggestions = Add<ListBox>("lstSuggestions").get();
    lstSuggestions->Move(120, 1770, 4320, 2220);
    lstSuggestions->On("Click", [this](Args&) {
        if (lstSuggestions->ListIndex() >= 0) txtChangeTo->SetText(lstSuggestions->Text());
    });
    lstSuggestions->On("DblClick", [this](Args&) { cmdReplace->UserClick(); });

    long top = 390;
    auto button = [this, &top](const char* name, const char* caption, Choice choice) {
        auto b = Add<CommandButton>(name);
        b->SetCaption(caption);
        b->Move(4680, top, 1800, 375);
        top += 480;
        b->On("Click", [this, choice](Args&) {
            choice_ = choice;
            Hide();
        });
        return b.get();
    };
    cmdIgnore = button("cmdIgnore", "&Ignore", Choice::Ignore);
    cmdIgnoreAll = button("cmdIgnoreAll", "I&gnore All", Choice::IgnoreAll);
    cmdReplace = button("cmdReplace", "&Replace", Choice::Replace);
    cmdReplaceAll = button("cmdReplaceAll", "Replace &All", Choice::ReplaceAll);
    cmdAddWord = button("cmdAddWord", "A&dd to Dictionary", Choice::AddWord);
    cmdCancel = button("cmdCancel", "Cancel", Choice::Cancel);
    cmdCancel->SetCancel(true);
    cmdReplace->SetDefault(true);
}

frmSpellCheck::Choice frmSpellCheck::Ask(const std::string& word,
                                         const std::vector<std::string>& suggestions,
                                         bool canChange) {
    txtNotInDictionary->SetText(word);
    lstSuggestions->Clear();
    for (const auto& s : suggestions)
        lstSuggestions->AddItem(s);
    txtChangeTo->SetText(suggestions.empty() ? word : suggestions.front());
    if (!suggestions.empty()) lstSuggestions->SetListIndex(0);
    for (CommandButton* b : {cmdReplace, cmdReplaceAll})
        b->SetEnabled(canChange);
    txtChangeTo->SetLocked(!canChange);
    // A window closed without a choice is a Cancel.
    choice_ = Choice::Cancel;
    Show(true);
    return choice_;
}

} // namespace zelk::controls
