#pragma once

#include "platform/ui/Form.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/StdControls.h"

#include <string>
#include <vector>

namespace zelk::controls {

// The spelling dialog: one unknown word at a time, with the dictionary's suggestions.
class frmSpellCheck : public Form {
public:
    enum class Choice { Cancel, Ignore, IgnoreAll, Replace, ReplaceAll, AddWord };

    frmSpellCheck();
    // Shows the word (and whether it may be changed) and waits for the user's choice.
    Choice Ask(const std::string& word, const std::vector<std::string>& suggestions,
               bool canChange);
    // The text chosen to stand for the word.
    const std::string& ChangeTo() const { return txtChangeTo->Text(); }

    TextBox* txtNotInDictionary = nullptr;
    TextBox* txtChangeTo = nullptr;
    ListBox* lstSuggestions = nullptr;
    CommandButton* cmdIgnore = nullptr;
    CommandButton* cmdIgnoreAll = nullptr;
    CommandButton* cmdReplace = nullptr;
    CommandButton* cmdReplaceAll = nullptr;
    CommandButton* cmdAddWord = nullptr;
    CommandButton* cmdCancel = nullptr;

private:
    Choice choice_ = Choice::Cancel;
};

} // namespace zelk::controls
