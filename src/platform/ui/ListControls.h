#pragma once

#include "platform/ui/Control.h"

#include <string>
#include <vector>

namespace zelk {

// The list of a ListBox or ComboBox: text and a whole-number datum per entry. Setting
// ListIndex raises Click, as choosing an entry does.
class ListControl : public Control {
public:
    ListControl(std::string typeName, std::string name);
    bool CanFocus() const override { return true; }

    // Adds at `index` (the end when -1); NewIndex tells where it went.
    void AddItem(std::string text, int index = -1);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const { return static_cast<int>(items_.size()); }
    const std::string& List(int index) const;
    void SetList(int index, std::string text);
    long ItemData(int index) const;
    void SetItemData(int index, long data);
    int NewIndex() const { return newIndex_; }
    int ListIndex() const { return listIndex_; }
    virtual void SetListIndex(int index);
    // Position of the entry with this text (case-insensitive), -1 when none.
    int FindText(const std::string& text) const;
    bool Sorted() const { return sorted_; }
    void SetSorted(bool v) { sorted_ = v; }

    // The user chooses an entry: takes the focus, honours Locked.
    bool UserPick(int index);

protected:
    void CheckIndex(int index) const;
    virtual void ListIndexChanged() {}

private:
    struct Item {
        std::string text;
        long data = 0;
    };
    std::vector<Item> items_;
    int listIndex_ = -1;
    int newIndex_ = -1;
    bool sorted_ = false;
};

class ListBox : public ListControl {
public:
    explicit ListBox(std::string name) : ListControl("ListBox", std::move(name)) {}
    std::string Text() const { return ListIndex() < 0 ? std::string() : List(ListIndex()); }
};

// Style 0 is a drop-down combo whose text the user may edit (Change on each edit); style 2 a
// drop-down list whose text is always one of the entries.
class ComboBox : public ListControl {
public:
    explicit ComboBox(std::string name);
    int Style() const { return style_; }
    void SetStyle(int style) { style_ = style; }
    const std::string& Text() const { return text_; }
    // Style 2: the text must be an entry (error 383 otherwise) and selects it.
    void SetText(std::string text);
    bool UserType(const std::string& text);

protected:
    void ListIndexChanged() override;

private:
    int style_ = 0;
    std::string text_;
};

} // namespace zelk
