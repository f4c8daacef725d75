#pragma once

#include "platform/ui/Control.h"

#include <string>

namespace zelk::controls {

// The text behaviour the maker's text controls share with a text box: Text (raising Change),
// SelStart, SelLength, SelText, MultiLine, and typing by the user that honours Locked.
class TextField : public Control {
public:
    TextField(std::string typeName, std::string name);
    bool CanFocus() const override { return true; }

    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    long SelStart() const { return selStart_; }
    long SelLength() const { return selLength_; }
    void SetSelStart(long v);
    void SetSelLength(long v);
    std::string SelText() const;
    void SetSelText(const std::string& text);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool v);

    // The user replaces the whole text (takes the focus first); false when it is not taken.
    bool UserType(const std::string& text);

private:
    std::string text_;
    long selStart_ = 0, selLength_ = 0;
    bool multiLine_ = false;
};

} // namespace zelk::controls
