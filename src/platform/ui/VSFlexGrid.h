#pragma once

#include "platform/RowSource.h"
#include "platform/ui/CellColumn.h"
#include "platform/ui/Control.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zelk {

class ProgIdRegistry;

namespace flex {
// Cell settings of Cell(setting, ...).
constexpr int cpText = 0;
constexpr int cpChecked = 5;
constexpr int cpBackColor = 6;
constexpr int cpForeColor = 7;
constexpr int cpFontBold = 13;
// Checked states.
constexpr int Checked = 1;
constexpr int Unchecked = 2;
// Selection modes.
constexpr int SelFree = 0;
constexpr int SelByRow = 1;
constexpr int SelByColumn = 2;
constexpr int SelListBox = 3;
// Sort orders.
constexpr int SortNone = 0;
constexpr int SortGenericAscending = 1;
constexpr int SortGenericDescending = 2;
constexpr int SortNumericAscending = 3;
constexpr int SortNumericDescending = 4;
constexpr int SortStringNoCaseAscending = 5;
constexpr int SortStringNoCaseDescending = 6;
constexpr int SortStringAscending = 7;
constexpr int SortStringDescending = 8;
constexpr int SortUseColSort = 10;
// Column data types used by the module.
constexpr int TypeEmpty = 0;
constexpr int TypeBoolean = 11;
// Editable.
constexpr int EDNone = 0;
constexpr int EDKbdMouse = 2;
} // namespace flex

// The grid model. Cells are stored column by column, each column's texts in one buffer; per-row
// data, hidden flags and selection are vectors; cell formatting is sparse. Row and column numbers
// are 0-based, with FixedRows header rows at the top.
//
// Events (arguments in order, by reference):
//   BeforeEdit(Row, Col, Cancel)  StartEdit(Row, Col, Cancel)  ChangeEdit()
//   ValidateEdit(Row, Col, Cancel)  AfterEdit(Row, Col)  AfterRowColChange(OldRow, OldCol,
//   NewRow, NewCol)  BeforeSort(Col, Order)  AfterSort(Col, Order)  Click  DblClick
//   KeyDown(KeyCode, Shift)  KeyPress(KeyAscii)  ComboCloseUp(Row, Col, FinishEdit)
//   BeforeMouseDown(Button, Shift, X, Y, Cancel)  BeforeMoveRow(Row, Position, Cancel)
//   AfterMoveRow(Row, Position)
//
// Combo lists: "a|b|c" offers texts that are stored as they are; "#1;Owner|#2;Agency" offers
// texts whose cell stores the id ("1"); TextMatrix reads the stored value and DisplayText what
// the user sees.
class VSFlexGrid : public Control, public SelectedRowSource {
public:
    explicit VSFlexGrid(std::string name);
    bool CanFocus() const override { return true; }

    long Rows() const { return rows_; }
    void SetRows(long n);
    // Gives back the cells SetRows kept from rows it took away, for a grid that will not soon
    // be refilled to that size (or whose memory is wanted more than a quick refill).
    void ReleaseSpareRows();
    long Cols() const { return static_cast<long>(cols_.size()); }
    void SetCols(long n);
    long FixedRows() const { return fixedRows_; }
    void SetFixedRows(long n);
    long FixedCols() const { return fixedCols_; }
    void SetFixedCols(long n);

    std::string TextMatrix(long row, long col) const override;
    // The cell's text without a copy; valid until the grid's cells change.
    std::string_view CellRef(long row, long col) const;
    void SetTextMatrix(long row, long col, std::string_view text);
    // The text shown for a cell: a combo list's text for a stored id.
    std::string DisplayText(long row, long col) const;
    // Current cell.
    std::string Text() const { return TextMatrix(row_, col_); }
    void SetText(std::string_view text) { SetTextMatrix(row_, col_, text); }

    Variant Cell(int setting, long row1, long col1, long row2 = -1, long col2 = -1) const;
    void SetCell(int setting, long row1, long col1, long row2, long col2, const Variant& v);
    bool CellBold(long row, long col) const;
    long CellBackColor(long row, long col) const;

    // Columns.
    const std::string& ColKey(long col) const { return ColAt(col).key; }
    void SetColKey(long col, std::string key);
    // -1 when no column has the key (case-insensitive).
    long ColIndex(std::string_view key) const;
    long ColWidth(long col) const { return ColAt(col).width; }
    void SetColWidth(long col, long twips);
    bool ColHidden(long col) const { return ColAt(col).hidden; }
    void SetColHidden(long col, bool hidden);
    int ColDataType(long col) const { return ColAt(col).dataType; }
    void SetColDataType(long col, int type);
    const std::string& ColFormat(long col) const { return ColAt(col).format; }
    void SetColFormat(long col, std::string f);
    const std::string& ColEditMask(long col) const { return ColAt(col).editMask; }
    void SetColEditMask(long col, std::string m);
    const std::string& ColComboList(long col) const { return ColAt(col).comboList; }
    void SetColComboList(long col, std::string list);
    int ColSort(long col) const { return ColAt(col).sort; }
    void SetColSort(long col, int order);
    // Moves a column, with its cells and settings, to a new position.
    void SetColPosition(long col, long position);

    // Rows.
    const Variant& RowData(long row) const;
    void SetRowData(long row, Variant v);
    bool RowHidden(long row) const;
    void SetRowHidden(long row, bool hidden);
    // Inserts a row from tab-separated text at `row` (the end when -1); returns its number.
    long AddItem(const std::string& tabbedText, long row = -1);
    void RemoveItem(long row);
    // Moves a data row, with its cells, data and settings, into the place of another one.
    void SetRowPosition(long row, long position);
    // Empties every cell and cell setting; rows, columns and row data stay.
    void Clear();
    // First row from `startRow` (FixedRows when -1) whose cell in `col` equals `item`; with col
    // -1 the rows' RowData are compared. -1 when none.
    long FindRow(const Variant& item, long startRow = -1, long col = 0, bool caseSensitive = true,
                 bool fullMatch = true) const;

    // Cursor and selection.
    long Row() const { return row_; }
    long Col() const { return col_; }
    long RowSel() const { return rowSel_; }
    long ColSel() const { return colSel_; }
    void SetRow(long row);
    void SetCol(long col);
    void SetRowSel(long row);
    void SetColSel(long col);
    int SelectionMode() const { return selectionMode_; }
    void SetSelectionMode(int mode);
    bool IsSelected(long row) const;
    void SetIsSelected(long row, bool selected);
    long SelectedRows() const override;
    long SelectedRow(long index) const override;
    long TopRow() const { return topRow_; }
    void SetTopRow(long row);
    // The cell under the mouse at the user's last mouse action; -1 before any.
    long MouseRow() const { return mouseRow_; }
    long MouseCol() const { return mouseCol_; }

    int Editable() const { return editable_; }
    void SetEditable(int e) { editable_ = e; }
    int AllowUserResizing() const { return allowUserResizing_; }
    void SetAllowUserResizing(int v) { allowUserResizing_ = v; }
    bool AutoResize() const { return autoResize_; }
    void SetAutoResize(bool v) { autoResize_ = v; }
    // Fits the columns col1..col2 to their contents: in mode 0 the column widths to the longest
    // text, in mode 1 the row heights to the most lines a cell of those columns needs.
    void AutoSize(long col1, long col2 = -1);
    int AutoSizeMode() const { return autoSizeMode_; }
    void SetAutoSizeMode(int mode) { autoSizeMode_ = mode; }
    // Wrapped text takes as many lines as its column's width needs.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    // Twips; one line of the default font until AutoSize fits it.
    long RowHeight(long row) const;
    // 0 off; anything else on (changes are announced once when drawing resumes).
    int Redraw() const { return redraw_; }
    void SetRedraw(int r);

    // Sorts the data rows by the columns Col..ColSel with the given order.
    void Sort(int order);
    bool Editing() const { return editing_; }
    const std::string& EditText() const { return editText_; }
    void SetEditText(std::string t);
    // Starts editing the current cell, as a user's keystroke would.
    bool EditCell();

    // User actions.
    void UserSelect(long row, long col);
    // List-box selection: the rows given become the selection; Row follows the last one.
    void UserSelectRows(const std::vector<long>& rows);
    // Edit of one cell with the whole event sequence; false when refused or cancelled.
    bool UserEdit(long row, long col, const std::string& text);
    bool UserToggleCheck(long row, long col);
    // Picks entry `index` of the cell's combo list.
    bool UserPickCombo(long row, long col, int index);
    void UserClickHeader(long col);
    // A double-click on a cell: on a data row its first click selects the cell as UserSelect
    // does; on a fixed row the click moves nothing. DblClick follows with MouseRow and
    // MouseCol on that cell.
    void UserDblClickCell(long row, long col);
    // The user drags data row `row` to `position`: BeforeMoveRow(Row, Position, Cancel), the
    // move (a position past the last row means the last), AfterMoveRow(Row, Position). The
    // cursor follows the row. False when refused or cancelled.
    bool UserMoveRow(long row, long position);

    // The entries of a combo list: value stored and text shown.
    struct ComboEntry {
        std::string value, text;
    };
    static std::vector<ComboEntry> ParseComboList(const std::string& list);

private:
    struct Column {
        std::string key;
        long width = 960;
        bool hidden = false;
        int dataType = 0;
        std::string format, editMask, comboList;
        int sort = 0;
        CellColumn cells;
    };
    struct CellStyle {
        int checked = 0;
        long backColor = -1, foreColor = -1;
        bool bold = false;
    };

    void DefineMembers();
    const Column& ColAt(long col) const;
    Column& ColAt(long col);
    void CheckRow(long row) const;
    void Touched();
    void RowColChanged(long oldRow, long oldCol);
    std::uint64_t StyleKey(long row, long col) const {
        return (static_cast<std::uint64_t>(row) << 32) | static_cast<std::uint32_t>(col);
    }
    // Moves every cell setting to the cell `to(row, col)` gives; a row of -1 drops it.
    template <class F> void RemapStyles(F to) {
        std::unordered_map<std::uint64_t, CellStyle> moved;
        for (const auto& [k, s] : styles_) {
            auto [r, c] = to(static_cast<long>(k >> 32), static_cast<long>(k & 0xffffffffu));
            if (r >= 0) moved[StyleKey(r, c)] = s;
        }
        styles_ = std::move(moved);
    }
    // Reorders the rows: newOrder[i] is the old row now at position i.
    void Permute(const std::vector<long>& newOrder);
    void InsertRowAt(long row);

    long rows_ = 0;
    std::vector<Column> cols_;
    long fixedRows_ = 0, fixedCols_ = 0;
    std::vector<Variant> rowData_;
    std::vector<char> rowHidden_, selected_;
    std::vector<long> rowHeights_; // 0: one line
    // The selected rows in order, rebuilt on demand: a caller walks the selection by index.
    mutable std::vector<long> selectedList_;
    mutable bool selectedDirty_ = true;
    const std::vector<long>& SelectedList() const;
    std::unordered_map<std::uint64_t, CellStyle> styles_;
    long row_ = -1, col_ = -1, rowSel_ = -1, colSel_ = -1, topRow_ = 0;
    long mouseRow_ = -1, mouseCol_ = -1;
    int selectionMode_ = 0, editable_ = 0, allowUserResizing_ = 0;
    bool autoResize_ = true;
    bool wordWrap_ = false;
    int autoSizeMode_ = 0;
    int redraw_ = 1;
    bool dirty_ = false;
    bool editing_ = false;
    std::string editText_;
    long editRow_ = -1, editCol_ = -1;
};

void RegisterGridControl(ProgIdRegistry& registry);

} // namespace zelk
