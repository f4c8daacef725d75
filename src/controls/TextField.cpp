#include "controls/TextField.h"

#include "platform/Conv.h"
#include "platform/Error.h"

#include <algorithm>

namespace zelk::controls {

TextField::TextField(std::string typeName, std::string name)
    : Control(std::move(typeName), std::move(name)) {
    DefineProperty(
        "Text", [this](Args&) { return Variant(text_); },
        [this](const Variant& v, Args&) { SetText(v.IsNull() ? "" : CStr(v)); });
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
        "MultiLine", [this](Args&) { return Variant(multiLine_); },
        [this](const Variant& v, Args&) { SetMultiLine(CBool(v)); });
}

void TextField::SetText(std::string text) {
    if (text_ == text) return;
    text_ = std::move(text);
    const long len = static_cast<long>(text_.size());
    selStart_ = std::min(selStart_, len);
    selLength_ = std::min(selLength_, len - selStart_);
    NotifyChanged("Text");
    RaiseEvent("Change");
}

void TextField::SetSelStart(long v) {
    if (v < 0) Raise(err::InvalidProcedureCall, "Invalid property value");
    selStart_ = std::min(v, static_cast<long>(text_.size()));
    selLength_ = 0;
    NotifyChanged("SelStart");
}

void TextField::SetSelLength(long v) {
    if (v < 0) Raise(err::InvalidProcedureCall, "Invalid property value");
    selLength_ = std::min(v, static_cast<long>(text_.size()) - selStart_);
    NotifyChanged("SelLength");
}

std::string TextField::SelText() const {
    return text_.substr(static_cast<std::size_t>(selStart_), static_cast<std::size_t>(selLength_));
}

void TextField::SetSelText(const std::string& text) {
    std::string t = text_;
    t.replace(static_cast<std::size_t>(selStart_), static_cast<std::size_t>(selLength_), text);
    const long caret = selStart_ + static_cast<long>(text.size());
    SetText(std::move(t));
    selStart_ = std::min(caret, static_cast<long>(text_.size()));
    selLength_ = 0;
}

void TextField::SetMultiLine(bool v) {
    if (multiLine_ == v) return;
    multiLine_ = v;
    NotifyChanged("MultiLine");
}

bool TextField::UserType(const std::string& text) {
    if (!IsUsable() || Locked()) return false;
    if (!HasFocus() && !SetFocus()) return false;
    SetText(text);
    selStart_ = static_cast<long>(text_.size());
    selLength_ = 0;
    return true;
}

} // namespace zelk::controls
