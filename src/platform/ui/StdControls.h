#pragma once

#include "platform/ui/Control.h"

#include <string>

namespace zelk {

// Kinds with a caption (shown text, "&" marks the access key).
class CaptionedControl : public Control {
public:
    CaptionedControl(std::string typeName, std::string name);
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);

private:
    std::string caption_;
};

// Raises Change when its caption changes.
class Label : public CaptionedControl {
public:
    explicit Label(std::string name, std::string typeName = "Label");
};

class Frame : public Label {
public:
    explicit Frame(std::string name) : Label(std::move(name), "Frame") {}
};

// A container that can show one picture, named by the key of an image list entry or a file.
class PictureBox : public Control {
public:
    explicit PictureBox(std::string name);
    const std::string& Picture() const { return picture_; }
    void SetPicture(std::string picture);

private:
    std::string picture_;
};

// Events: Change (after every change of Text, by code or by the user), Validate(Cancel),
// GotFocus, LostFocus, KeyDown, KeyPress, DblClick.
// Text fields of other kinds (rich text, dates) build on it under their own type name.
class TextBox : public Control {
public:
    explicit TextBox(std::string name, std::string typeName = "TextBox");
    bool CanFocus() const override { return true; }

    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    long SelStart() const { return selStart_; }
    long SelLength() const { return selLength_; }
    void SetSelStart(long v);
    void SetSelLength(long v);
    std::string SelText() const;
    // Replaces the selection, as typing over it does.
    void SetSelText(const std::string& text);
    long MaxLength() const { return maxLength_; }
    void SetMaxLength(long v) { maxLength_ = v < 0 ? 0 : v; }
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool v);

    // The user replaces the whole text: takes the focus, honours Locked and MaxLength.
    // Returns false when the box would not take the input.
    bool UserType(const std::string& text);

private:
    std::string text_;
    long selStart_ = 0, selLength_ = 0;
    long maxLength_ = 0;
    bool multiLine_ = false;
};

// Value 0 unchecked, 1 checked, 2 greyed. Setting Value raises Click, as a user click does.
class CheckBox : public CaptionedControl {
public:
    explicit CheckBox(std::string name);
    bool CanFocus() const override { return true; }
    int Value() const { return value_; }
    void SetValue(int v);
    void UserClick() override;

private:
    int value_ = 0;
};

// Setting Value to True clears the other option buttons of the same container.
class OptionButton : public CaptionedControl {
public:
    explicit OptionButton(std::string name);
    bool CanFocus() const override { return true; }
    bool Value() const { return value_; }
    void SetValue(bool v);
    void UserClick() override;

private:
    bool value_ = false;
};

// Default answers Return and Cancel answers Escape on its form (see Form key handling).
class CommandButton : public CaptionedControl {
public:
    explicit CommandButton(std::string name);
    bool CanFocus() const override { return true; }
    bool Default() const { return default_; }
    void SetDefault(bool v) { default_ = v; }
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }

private:
    bool default_ = false, cancel_ = false;
};

} // namespace zelk
