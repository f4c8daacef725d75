#include "platform/ui/StdControls.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/Form.h"

#include <algorithm>

namespace zelk {

CaptionedControl::CaptionedControl(std::string typeName, std::string name)
    : Control(std::move(typeName), std::move(name)) {
    DefineProperty(
        "Caption", [this](Args&) { return Variant(caption_); },
        [this](const Variant& v, Args&) { SetCaption(CStr(v)); });
}

void CaptionedControl::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    NotifyChanged("Caption");
    if (IEquals(TypeName(), "Label")) RaiseEvent("Change");
}

Label::Label(std::string name, std::string typeName)
    : CaptionedControl(std::move(typeName), std::move(name)) {
    SetTabStop(false);
}

PictureBox::PictureBox(std::string name) : Control("PictureBox", std::move(name)) {
    SetTabStop(false);
    DefineProperty(
        "Picture", [this](Args&) { return Variant(picture_); },
        [this](const Variant& v, Args&) { SetPicture(v.IsObject() ? std::string() : CStr(v)); });
}

void PictureBox::SetPicture(std::string picture) {
    if (picture_ == picture) return;
    picture_ = std::move(picture);
    NotifyChanged("Picture");
}

TextBox::TextBox(std::string name, std::string typeName)
    : Control(std::move(typeName), std::move(name)) {
    DefineProperty(
        "Text", [this](Args&) { return Variant(text_); },
        [this](const Variant& v, Args&) { SetText(v.IsNull() ? std::string() : CStr(v)); });
    DefineProperty(
        "SelStart", [this](Args&) { return Variant(static_cast<int>(selStart_)); },
        [this](const Variant& v, Args&) { SetSelStart(CLng(v)); });
    DefineProperty(
        "SelLength", [this](Args&) { return Variant(static_cast<int>(selLength_)); },
        [this](const Variant& v, Args&) { SetSelLength(CLng(v)); });
    DefineProperty(
        "SelText", [this](Args&) { return Variant(SelText()); },
        [this](const Variant& v, Args&) { SetSelText(CStr(v)); });
    DefineProperty(
        "MaxLength", [this](Args&) { return Variant(static_cast<int>(maxLength_)); },
        [this](const Variant& v, Args&) { SetMaxLength(CLng(v)); });
    DefineProperty(
        "MultiLine", [this](Args&) { return Variant(multiLine_); },
        [this](const Variant& v, Args&) { SetMultiLine(CBool(v)); });
}

void TextBox::SetText(std::string text) {
    // An edit control's text ends at a NUL, whatever was pasted or assigned after it.
    if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    if (text_ == text) return;
    text_ = std::move(text);
    long len = static_cast<long>(text_.size());
    selStart_ = std::min(selStart_, len);
    selLength_ = std::min(selLength_, len - selStart_);
    NotifyChanged("Text");
    RaiseEvent("Change");
}

void TextBox::SetSelStart(long v) {
    if (v < 0) Raise(err::InvalidProcedureCall, "Invalid property value");
    selStart_ = std::min(v, static_cast<long>(text_.size()));
    selLength_ = 0;
    NotifyChanged("SelStart");
}

void TextBox::SetSelLength(long v) {
    if (v < 0) Raise(err::InvalidProcedureCall, "Invalid property value");
    selLength_ = std::min(v, static_cast<long>(text_.size()) - selStart_);
    NotifyChanged("SelLength");
}

std::string TextBox::SelText() const {
    return text_.substr(static_cast<std::size_t>(selStart_), static_cast<std::size_t>(selLength_));
}

void TextBox::SetSelText(const std::string& text) {
    std::string t = text_;
    t.replace(static_cast<std::size_t>(selStart_), static_cast<std::size_t>(selLength_), text);
    long caret = selStart_ + static_cast<long>(text.size());
    SetText(std::move(t));
    selStart_ = std::min(caret, static_cast<long>(text_.size()));
    selLength_ = 0;
}

void TextBox::SetMultiLine(bool v) {
    if (multiLine_ == v) return;
    multiLine_ = v;
    NotifyChanged("MultiLine");
}

bool TextBox::UserType(const std::string& text) {
    if (!IsUsable() || Locked()) return false;
    if (!HasFocus() && !SetFocus()) return false;
    std::string t = text;
    if (maxLength_ > 0 && static_cast<long>(t.size()) > maxLength_)
        t.resize(static_cast<std::size_t>(maxLength_));
    SetText(std::move(t));
    selStart_ = static_cast<long>(text_.size());
    selLength_ = 0;
    return true;
}

CheckBox::CheckBox(std::string name) : CaptionedControl("CheckBox", std::move(name)) {
    DefineProperty(
        "Value", [this](Args&) { return Variant(value_); },
        [this](const Variant& v, Args&) { SetValue(CLng(v)); });
}

void CheckBox::SetValue(int v) {
    if (v < 0 || v > 2) Raise(err::InvalidProcedureCall, "Invalid property value");
    if (value_ == v) return;
    value_ = v;
    NotifyChanged("Value");
    RaiseEvent("Click");
}

void CheckBox::UserClick() {
    if (!IsUsable() || (!HasFocus() && !SetFocus())) return;
    SetValue(value_ == 1 ? 0 : 1);
}

OptionButton::OptionButton(std::string name) : CaptionedControl("OptionButton", std::move(name)) {
    DefineProperty(
        "Value", [this](Args&) { return Variant(value_); },
        [this](const Variant& v, Args&) { SetValue(CBool(v)); });
}

void OptionButton::SetValue(bool v) {
    if (value_ == v) return;
    value_ = v;
    NotifyChanged("Value");
    if (!v) return;
    if (Form* owner = Owner())
        for (Control* c : owner->ChildrenOf(Container()))
            if (auto* o = dynamic_cast<OptionButton*>(c); o && o != this && o->value_) {
                o->value_ = false;
                o->NotifyChanged("Value");
            }
    RaiseEvent("Click");
}

void OptionButton::UserClick() {
    if (!IsUsable() || (!HasFocus() && !SetFocus())) return;
    if (value_)
        RaiseEvent("Click");
    else
        SetValue(true);
}

CommandButton::CommandButton(std::string name)
    : CaptionedControl("CommandButton", std::move(name)) {
    DefineProperty(
        "Default", [this](Args&) { return Variant(default_); },
        [this](const Variant& v, Args&) { SetDefault(CBool(v)); });
    DefineProperty(
        "Cancel", [this](Args&) { return Variant(cancel_); },
        [this](const Variant& v, Args&) { SetCancel(CBool(v)); });
    // Setting Value to True presses the button from code.
    DefineProperty(
        "Value", [](Args&) { return Variant(false); },
        [this](const Variant& v, Args&) {
            if (CBool(v)) RaiseEvent("Click");
        });
}

} // namespace zelk
