#include "platform/ui/ListControls.h"

#include "platform/Conv.h"
#include "platform/Error.h"

#include <algorithm>

namespace zelk {

ListControl::ListControl(std::string typeName, std::string name)
    : Control(std::move(typeName), std::move(name)) {
    DefineMethod("AddItem", [this](Args& a) {
        AddItem(CStr(Arg(a, 0)), Arg(a, 1).IsEmpty() ? -1 : CLng(Arg(a, 1)));
        return Variant();
    });
    DefineMethod("RemoveItem", [this](Args& a) {
        RemoveItem(CLng(Arg(a, 0)));
        return Variant();
    });
    DefineMethod("Clear", [this](Args&) {
        Clear();
        return Variant();
    });
    DefineProperty("ListCount", [this](Args&) { return Variant(ListCount()); });
    DefineProperty("NewIndex", [this](Args&) { return Variant(newIndex_); });
    DefineProperty(
        "ListIndex", [this](Args&) { return Variant(listIndex_); },
        [this](const Variant& v, Args&) { SetListIndex(CLng(v)); });
    DefineProperty(
        "List", [this](Args& a) { return Variant(List(CLng(Arg(a, 0)))); },
        [this](const Variant& v, Args& a) { SetList(CLng(Arg(a, 0)), CStr(v)); });
    DefineProperty(
        "ItemData",
        [this](Args& a) { return Variant(static_cast<int>(ItemData(CLng(Arg(a, 0))))); },
        [this](const Variant& v, Args& a) { SetItemData(CLng(Arg(a, 0)), CLng(v)); });
}

void ListControl::CheckIndex(int index) const {
    if (index < 0 || index >= ListCount()) Raise(381, "Invalid property array index");
}

void ListControl::AddItem(std::string text, int index) {
    int pos = index;
    if (index < 0) {
        pos = ListCount();
        if (sorted_)
            pos = static_cast<int>(
                std::upper_bound(items_.begin(), items_.end(), text,
                                 [](const std::string& t, const Item& i) {
                                     return VarCompare(Variant(t), Variant(i.text), true) < 0;
                                 }) -
                items_.begin());
    } else if (index > ListCount()) {
        CheckIndex(index);
    }
    items_.insert(items_.begin() + pos, Item{std::move(text), 0});
    newIndex_ = pos;
    if (listIndex_ >= pos) ++listIndex_;
    NotifyChanged("List");
}

void ListControl::RemoveItem(int index) {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
    if (listIndex_ == index) {
        listIndex_ = -1;
        ListIndexChanged();
        NotifyChanged("ListIndex");
    } else if (listIndex_ > index) {
        --listIndex_;
    }
    NotifyChanged("List");
}

void ListControl::Clear() {
    items_.clear();
    newIndex_ = -1;
    if (listIndex_ != -1) {
        listIndex_ = -1;
        ListIndexChanged();
        NotifyChanged("ListIndex");
    }
    NotifyChanged("List");
}

const std::string& ListControl::List(int index) const {
    static const std::string none;
    // Reading past the end answers "", as the list controls do.
    if (index < 0 || index >= ListCount()) return none;
    return items_[static_cast<std::size_t>(index)].text;
}

void ListControl::SetList(int index, std::string text) {
    CheckIndex(index);
    items_[static_cast<std::size_t>(index)].text = std::move(text);
    NotifyChanged("List");
}

long ListControl::ItemData(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].data;
}

void ListControl::SetItemData(int index, long data) {
    CheckIndex(index);
    items_[static_cast<std::size_t>(index)].data = data;
}

void ListControl::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) Raise(380, "Invalid property value");
    if (listIndex_ == index) return;
    listIndex_ = index;
    ListIndexChanged();
    NotifyChanged("ListIndex");
    RaiseEvent("Click");
}

int ListControl::FindText(const std::string& text) const {
    for (int i = 0; i < ListCount(); ++i)
        if (IEquals(items_[static_cast<std::size_t>(i)].text, text)) return i;
    return -1;
}

bool ListControl::UserPick(int index) {
    if (!IsUsable() || Locked() || (!HasFocus() && !SetFocus())) return false;
    SetListIndex(index);
    return true;
}

ComboBox::ComboBox(std::string name) : ListControl("ComboBox", std::move(name)) {
    DefineProperty(
        "Text", [this](Args&) { return Variant(text_); },
        [this](const Variant& v, Args&) { SetText(CStr(v)); });
    DefineProperty("Style", [this](Args&) { return Variant(style_); });
}

void ComboBox::ListIndexChanged() {
    std::string t = ListIndex() < 0 ? std::string() : List(ListIndex());
    if (t != text_) {
        text_ = std::move(t);
        NotifyChanged("Text");
        if (style_ != 2) RaiseEvent("Change");
    }
}

void ComboBox::SetText(std::string text) {
    if (style_ == 2) {
        int i = FindText(text);
        if (i < 0 && !text.empty()) Raise(383, "'Text' property is read-only");
        SetListIndex(i);
        return;
    }
    if (text_ == text) return;
    text_ = std::move(text);
    NotifyChanged("Text");
    RaiseEvent("Change");
}

bool ComboBox::UserType(const std::string& text) {
    if (style_ == 2 || !IsUsable() || Locked() || (!HasFocus() && !SetFocus())) return false;
    SetText(text);
    return true;
}

} // namespace zelk
