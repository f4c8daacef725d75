#include "platform/ui/DataCombo.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk {

DataCombo::DataCombo(std::string name) : Control("DataCombo", std::move(name)) {
    DefineProperty(
        "RowSource", [this](Args&) { return source_ ? Variant(source_) : Variant::Nothing(); },
        [this](const Variant& v, Args&) {
            SetRowSource(v.IsObject() ? std::dynamic_pointer_cast<Recordset>(v.Obj()) : nullptr);
        });
    DefineProperty(
        "ListField", [this](Args&) { return Variant(listField_); },
        [this](const Variant& v, Args&) { SetListField(CStr(v)); });
    DefineProperty(
        "BoundColumn", [this](Args&) { return Variant(boundColumn_); },
        [this](const Variant& v, Args&) { SetBoundColumn(CStr(v)); });
    DefineProperty(
        "Text", [this](Args&) { return Variant(text_); },
        [this](const Variant& v, Args&) { SetText(CStr(v)); });
    DefineProperty(
        "BoundText", [this](Args&) { return Variant(boundText_); },
        [this](const Variant& v, Args&) { SetBoundText(v.IsNull() ? std::string() : CStr(v)); });
    DefineProperty(
        "Style", [this](Args&) { return Variant(style_); },
        [this](const Variant& v, Args&) { SetStyle(CLng(v)); });
    DefineProperty(
        "MatchEntry", [this](Args&) { return Variant(matchEntry_); },
        [this](const Variant& v, Args&) { SetMatchEntry(CLng(v)); });
    DefineProperty("ListCount", [this](Args&) { return Variant(ListCount()); });
    DefineMethod("ReFill", [this](Args&) {
        ReFill();
        return Variant();
    });
}

void DataCombo::SetRowSource(const RecordsetPtr& rs) {
    source_ = rs;
    Fill();
}

void DataCombo::SetListField(std::string field) {
    listField_ = std::move(field);
    Fill();
}

void DataCombo::SetBoundColumn(std::string field) {
    boundColumn_ = std::move(field);
    Fill();
}

void DataCombo::ReFill() {
    Fill();
}

void DataCombo::Fill() {
    rows_.clear();
    if (source_ && source_->State() != 0 && !listField_.empty()) {
        // Read through a clone so the caller's current record stays where it was.
        auto rs = source_->Clone();
        // A clone starts unsorted and unfiltered; the list shows the rows as the source does.
        if (!source_->Sort().empty()) rs->SetSort(source_->Sort());
        if (!source_->Filter().empty()) rs->SetFilter(source_->Filter());
        const std::string& bound = boundColumn_.empty() ? listField_ : boundColumn_;
        if (rs->RecordCount() > 0)
            for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext()) {
                Variant t = rs->Value(listField_), b = rs->Value(bound);
                rows_.push_back(
                    {t.IsNull() ? std::string() : CStr(t), b.IsNull() ? std::string() : CStr(b)});
            }
    }
    NotifyChanged("List");
    // The chosen value survives a refill when it is still in the list.
    std::string keep = boundText_;
    selected_ = -1;
    boundText_.clear();
    if (!keep.empty()) SetBoundText(keep);
}

void DataCombo::Select(int index) {
    std::string text = index < 0 ? std::string() : rows_[static_cast<std::size_t>(index)].text;
    std::string bound = index < 0 ? boundText_ : rows_[static_cast<std::size_t>(index)].bound;
    bool changed = text != text_;
    selected_ = index;
    boundText_ = std::move(bound);
    text_ = std::move(text);
    NotifyChanged("BoundText");
    if (changed) {
        NotifyChanged("Text");
        RaiseEvent("Change");
    }
}

void DataCombo::SetBoundText(std::string value) {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].bound == value) {
            if (selected_ != static_cast<int>(i) || boundText_ != value)
                Select(static_cast<int>(i));
            return;
        }
    bool changed = boundText_ != value;
    boundText_ = std::move(value);
    if (selected_ != -1 || !text_.empty() || changed) Select(-1);
}

void DataCombo::SetText(std::string text) {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].text == text) {
            Select(static_cast<int>(i));
            return;
        }
    if (style_ == 2 && !text.empty()) Raise(383, "'Text' property is read-only");
    // Free text matches no row: there is no bound value.
    selected_ = -1;
    boundText_.clear();
    if (text_ != text) {
        text_ = std::move(text);
        NotifyChanged("Text");
        NotifyChanged("BoundText");
        RaiseEvent("Change");
    }
}

bool DataCombo::UserPick(int index) {
    if (!IsUsable() || Locked() || (!HasFocus() && !SetFocus())) return false;
    if (index < -1 || index >= ListCount()) Raise(380, "Invalid property value");
    Select(index);
    RaiseEvent("Click");
    return true;
}

bool DataCombo::UserType(const std::string& text) {
    if (!IsUsable() || Locked() || (!HasFocus() && !SetFocus())) return false;
    if (matchEntry_ == 0 && !text.empty())
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (IEquals(rows_[i].text.substr(0, text.size()), text)) {
                Select(static_cast<int>(i));
                return true;
            }
    if (style_ == 2) return false;
    SetText(text);
    return true;
}

} // namespace zelk
