#pragma once

#include "platform/ui/StdControls.h"

#include <memory>
#include <string>

namespace zelk::controls {

// A text field with clipboard commands, a spelling check and a larger editor window.
//
// Late-bound members (besides Text, SelStart, SelLength, SelText, MultiLine, Locked):
//   DoCopy, DoCut, DoPaste   through the clipboard of the UI driver; cut and paste honour Locked
//   CheckSpelling            walks the unknown words in the spelling dialog (frmSpellCheck)
//                            with the host's "ZELK_Spelling.SpellChecker"
//   LaunchEditor(tag)        edits the text in the modal form "frmTextEditor" (txtEditor,
//                            cmdOK, cmdCancel); OK writes the text back
//   ParentForm               the window the editor belongs to (held weakly)
class RichTextControl : public TextBox {
public:
    explicit RichTextControl(std::string name);

    void DoCopy();
    void DoCut();
    void DoPaste();
    // The words the dictionary did not know, joined by ", "; empty when none or cancelled.
    std::string CheckSpelling();
    // True when the user pressed OK.
    bool LaunchEditor(const std::string& tag);

private:
    std::weak_ptr<Object> parentForm_;
};

} // namespace zelk::controls
