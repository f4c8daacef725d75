#pragma once

#include "platform/ui/StdControls.h"

#include <memory>
#include <string>

namespace zelk::controls {

// A text field with clipboard commands, a spelling check and a larger editor window.
//
// Late-bound members (besides Text, SelStart, SelLength, SelText, MultiLine, Locked):
//   DoCopy, DoCut, DoPaste   through the clipboard of the UI driver; cut and paste honour Locked
//   CheckSpelling            reports the words /usr/share/dict/words does not know
//   LaunchEditor(tag)        edits the text in the modal form "frmTextEditor" (txtEditor,
//                            cmdOK, cmdCancel); OK writes the text back
//   ParentForm               the window the editor belongs to (held weakly)
class RichTextControl : public TextBox {
public:
    explicit RichTextControl(std::string name);

    void DoCopy();
    void DoCut();
    void DoPaste();
    // The words not found, as shown to the user; empty when all were found.
    std::string CheckSpelling();
    // True when the user pressed OK.
    bool LaunchEditor(const std::string& tag);

    static void SetDictionaryPath(std::string path);

private:
    std::weak_ptr<Object> parentForm_;
};

} // namespace zelk::controls
