#pragma once

#include "platform/Recordset.h"
#include "platform/ui/Control.h"

#include <string>
#include <vector>

namespace zelk {

// A combo filled from a recordset: each row shows its ListField and stands for its
// BoundColumn. BoundText is the bound value of the chosen row; setting it chooses the row with
// that value. A value that is in no row is kept (nothing is lost) and the text shows empty.
// Events: Change (whenever Text changes), Click, Validate, GotFocus, LostFocus, KeyPress.
class DataCombo : public Control {
public:
    explicit DataCombo(std::string name);
    bool CanFocus() const override { return true; }

    // The rows are read when RowSource, ListField or BoundColumn change; the recordset is not
    // kept open by the combo.
    void SetRowSource(const RecordsetPtr& rs);
    void SetListField(std::string field);
    void SetBoundColumn(std::string field);
    const std::string& ListField() const { return listField_; }
    const std::string& BoundColumn() const { return boundColumn_; }
    // Re-reads the rows of the last row source.
    void ReFill();

    int Style() const { return style_; } // 0 drop-down combo, 2 drop-down list
    void SetStyle(int v) { style_ = v; }
    int MatchEntry() const { return matchEntry_; } // 0 basic, 1 extended
    void SetMatchEntry(int v) { matchEntry_ = v; }

    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    const std::string& BoundText() const { return boundText_; }
    void SetBoundText(std::string value);
    // Row of the chosen entry, -1 when none.
    int SelectedIndex() const { return selected_; }
    int ListCount() const { return static_cast<int>(rows_.size()); }
    const std::string& ListText(int i) const { return rows_.at(static_cast<std::size_t>(i)).text; }
    const std::string& BoundValue(int i) const {
        return rows_.at(static_cast<std::size_t>(i)).bound;
    }

    // The user chooses an entry (takes the focus, honours Locked), or types text (style 0),
    // which picks the first entry whose text starts with it when MatchEntry is basic.
    bool UserPick(int index);
    bool UserType(const std::string& text);

private:
    void Select(int index);
    void Fill();

    RecordsetPtr source_;
    std::string listField_, boundColumn_;
    struct Row {
        std::string text, bound;
    };
    std::vector<Row> rows_;
    int selected_ = -1;
    int style_ = 0, matchEntry_ = 0;
    std::string text_, boundText_;
};

} // namespace zelk
