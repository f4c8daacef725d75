#include "platform/ui/VSFlexGrid.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Strings.h"

#include <algorithm>

namespace zelk {

namespace {
constexpr int InvalidRow = 30009; // "Invalid row value"
constexpr int InvalidCol = 30010; // "Invalid column value"
} // namespace

VSFlexGrid::VSFlexGrid(std::string name) : Control("VSFlexGrid", std::move(name)) {
    SetWidth(4800);
    SetHeight(2400);
    SetRows(2);
    SetCols(2);
    fixedRows_ = fixedCols_ = 1;
    row_ = rowSel_ = 1;
    col_ = colSel_ = 1;
    topRow_ = 1;
    DefineMembers();
}

void VSFlexGrid::Touched() {
    if (redraw_ == 0) {
        dirty_ = true;
        return;
    }
    NotifyChanged("Cells");
}

void VSFlexGrid::SetRedraw(int r) {
    bool wasOff = redraw_ == 0;
    redraw_ = r;
    if (wasOff && r != 0 && dirty_) {
        dirty_ = false;
        NotifyChanged("Cells");
    }
}

const VSFlexGrid::Column& VSFlexGrid::ColAt(long col) const {
    if (col < 0 || col >= Cols()) Raise(InvalidCol, "Invalid column value: " + std::to_string(col));
    return cols_[static_cast<std::size_t>(col)];
}

VSFlexGrid::Column& VSFlexGrid::ColAt(long col) {
    return const_cast<Column&>(static_cast<const VSFlexGrid*>(this)->ColAt(col));
}

void VSFlexGrid::CheckRow(long row) const {
    if (row < 0 || row >= rows_) Raise(InvalidRow, "Invalid row value: " + std::to_string(row));
}

void VSFlexGrid::SetRows(long n) {
    if (n < 0) Raise(InvalidRow, "Invalid row value: " + std::to_string(n));
    const auto size = static_cast<std::size_t>(n);
    for (auto& c : cols_)
        c.cells.Resize(size);
    rowData_.resize(size);
    rowHidden_.resize(size, 0);
    rowHeights_.resize(size, 0);
    selected_.resize(size, 0);
    selectedDirty_ = true;
    if (n < rows_)
        std::erase_if(styles_,
                      [n](const auto& s) { return static_cast<long>(s.first >> 32) >= n; });
    rows_ = n;
    fixedRows_ = std::min(fixedRows_, n);
    if (row_ >= n) row_ = rowSel_ = n - 1;
    Touched();
}

void VSFlexGrid::ReleaseSpareRows() {
    const auto size = static_cast<std::size_t>(rows_);
    for (auto& c : cols_) {
        c.cells.Resize(size);
        c.cells.ShrinkToFit();
    }
    rowData_.shrink_to_fit();
    rowHidden_.shrink_to_fit();
    rowHeights_.shrink_to_fit();
    selected_.shrink_to_fit();
}

void VSFlexGrid::SetCols(long n) {
    if (n < 0) Raise(InvalidCol, "Invalid column value: " + std::to_string(n));
    long before = Cols();
    cols_.resize(static_cast<std::size_t>(n));
    for (long c = before; c < n; ++c)
        cols_[static_cast<std::size_t>(c)].cells.Resize(static_cast<std::size_t>(rows_));
    if (n < before)
        std::erase_if(styles_,
                      [n](const auto& s) { return static_cast<long>(s.first & 0xffffffffu) >= n; });
    fixedCols_ = std::min(fixedCols_, n);
    if (col_ >= n) col_ = colSel_ = n - 1;
    Touched();
}

void VSFlexGrid::SetFixedRows(long n) {
    if (n < 0 || n > rows_) Raise(InvalidRow, "Invalid row value: " + std::to_string(n));
    fixedRows_ = n;
    if (row_ < n && n < rows_) row_ = rowSel_ = n;
    Touched();
}

void VSFlexGrid::SetFixedCols(long n) {
    if (n < 0 || n > Cols()) Raise(InvalidCol, "Invalid column value: " + std::to_string(n));
    fixedCols_ = n;
    if (col_ < n && n < Cols()) col_ = colSel_ = n;
    Touched();
}

std::string_view VSFlexGrid::CellRef(long row, long col) const {
    CheckRow(row);
    return ColAt(col).cells[static_cast<std::size_t>(row)];
}

std::string VSFlexGrid::TextMatrix(long row, long col) const {
    return std::string(CellRef(row, col));
}

void VSFlexGrid::SetTextMatrix(long row, long col, std::string_view text) {
    CheckRow(row);
    CellColumn& cells = ColAt(col).cells;
    const auto at = static_cast<std::size_t>(row);
    if (cells[at] == text) return;
    cells.Set(at, text);
    Touched();
}

std::vector<VSFlexGrid::ComboEntry> VSFlexGrid::ParseComboList(const std::string& list) {
    std::vector<ComboEntry> out;
    if (list.empty()) return out;
    for (const std::string& part : Split(list, "|")) {
        if (!part.empty() && part[0] == '#') {
            auto semi = part.find(';');
            if (semi != std::string::npos) {
                out.push_back({part.substr(1, semi - 1), part.substr(semi + 1)});
                continue;
            }
        }
        out.push_back({part, part});
    }
    return out;
}

std::string VSFlexGrid::DisplayText(long row, long col) const {
    const std::string_view v = CellRef(row, col);
    const auto& list = ColAt(col).comboList;
    if (row >= fixedRows_ && !list.empty() && list[0] == '#')
        for (const auto& e : ParseComboList(list))
            if (e.value == v) return e.text;
    return std::string(v);
}

Variant VSFlexGrid::Cell(int setting, long row1, long col1, long, long) const {
    CheckRow(row1);
    ColAt(col1);
    auto it = styles_.find(StyleKey(row1, col1));
    CellStyle s = it == styles_.end() ? CellStyle{} : it->second;
    switch (setting) {
    case flex::cpText:
        return Variant(TextMatrix(row1, col1));
    case flex::cpChecked:
        return Variant(s.checked);
    case flex::cpBackColor:
        return Variant(static_cast<int>(s.backColor));
    case flex::cpForeColor:
        return Variant(static_cast<int>(s.foreColor));
    case flex::cpFontBold:
        return Variant(s.bold);
    default:
        Raise(err::InvalidProcedureCall, "Cell setting not supported: " + std::to_string(setting));
    }
}

void VSFlexGrid::SetCell(int setting, long row1, long col1, long row2, long col2,
                         const Variant& v) {
    if (row2 < 0) row2 = row1;
    if (col2 < 0) col2 = col1;
    CheckRow(row1);
    CheckRow(row2);
    ColAt(col1);
    ColAt(col2);
    for (long r = std::min(row1, row2); r <= std::max(row1, row2); ++r)
        for (long c = std::min(col1, col2); c <= std::max(col1, col2); ++c) {
            if (setting == flex::cpText) {
                SetTextMatrix(r, c, CStr(v));
                continue;
            }
            CellStyle& s = styles_[StyleKey(r, c)];
            switch (setting) {
            case flex::cpChecked:
                s.checked = CLng(v);
                break;
            case flex::cpBackColor:
                s.backColor = CLng(v);
                break;
            case flex::cpForeColor:
                s.foreColor = CLng(v);
                break;
            case flex::cpFontBold:
                s.bold = CBool(v);
                break;
            default:
                Raise(err::InvalidProcedureCall,
                      "Cell setting not supported: " + std::to_string(setting));
            }
        }
    Touched();
}

bool VSFlexGrid::CellBold(long row, long col) const {
    return CBool(Cell(flex::cpFontBold, row, col));
}
long VSFlexGrid::CellBackColor(long row, long col) const {
    return CLng(Cell(flex::cpBackColor, row, col));
}

void VSFlexGrid::SetColKey(long col, std::string key) {
    ColAt(col).key = std::move(key);
}

long VSFlexGrid::ColIndex(std::string_view key) const {
    for (std::size_t c = 0; c < cols_.size(); ++c)
        if (!cols_[c].key.empty() && IEquals(cols_[c].key, key)) return static_cast<long>(c);
    return -1;
}

void VSFlexGrid::SetColWidth(long col, long twips) {
    ColAt(col).width = twips;
    Touched();
}
void VSFlexGrid::SetColHidden(long col, bool hidden) {
    ColAt(col).hidden = hidden;
    Touched();
}
void VSFlexGrid::SetColDataType(long col, int type) {
    ColAt(col).dataType = type;
}
void VSFlexGrid::SetColFormat(long col, std::string f) {
    ColAt(col).format = std::move(f);
    Touched();
}
void VSFlexGrid::SetColEditMask(long col, std::string m) {
    ColAt(col).editMask = std::move(m);
}
void VSFlexGrid::SetColComboList(long col, std::string list) {
    ColAt(col).comboList = std::move(list);
    Touched();
}
void VSFlexGrid::SetColSort(long col, int order) {
    ColAt(col).sort = order;
}

void VSFlexGrid::SetColPosition(long col, long position) {
    ColAt(col);
    ColAt(position);
    if (col == position) return;
    // Styles are keyed by column number: carry them with the move.
    std::vector<long> newIndex(cols_.size());
    for (long c = 0; c < Cols(); ++c)
        newIndex[static_cast<std::size_t>(c)] = c;
    Column moving = std::move(cols_[static_cast<std::size_t>(col)]);
    cols_.erase(cols_.begin() + col);
    cols_.insert(cols_.begin() + position, std::move(moving));
    for (long c = 0; c < Cols(); ++c) {
        long n = c;
        if (c == col)
            n = position;
        else if (col < position && c > col && c <= position)
            n = c - 1;
        else if (col > position && c >= position && c < col)
            n = c + 1;
        newIndex[static_cast<std::size_t>(c)] = n;
    }
    RemapStyles([&](long r, long c) {
        return std::pair{r, newIndex[static_cast<std::size_t>(c)]};
    });
    Touched();
}

const Variant& VSFlexGrid::RowData(long row) const {
    CheckRow(row);
    return rowData_[static_cast<std::size_t>(row)];
}

void VSFlexGrid::SetRowData(long row, Variant v) {
    CheckRow(row);
    rowData_[static_cast<std::size_t>(row)] = std::move(v);
}

bool VSFlexGrid::RowHidden(long row) const {
    CheckRow(row);
    return rowHidden_[static_cast<std::size_t>(row)] != 0;
}

void VSFlexGrid::SetRowHidden(long row, bool hidden) {
    CheckRow(row);
    rowHidden_[static_cast<std::size_t>(row)] = hidden ? 1 : 0;
    Touched();
}

void VSFlexGrid::InsertRowAt(long row) {
    const auto at = static_cast<std::size_t>(row);
    for (auto& c : cols_)
        c.cells.InsertEmpty(at);
    // Grow at the end and rotate into place: inserting a fresh Variant trips a false
    // uninitialised-use warning in the standard library's variant.
    rowData_.emplace_back();
    std::rotate(rowData_.begin() + static_cast<long>(at), rowData_.end() - 1, rowData_.end());
    rowHidden_.insert(rowHidden_.begin() + static_cast<long>(at), 0);
    rowHeights_.insert(rowHeights_.begin() + static_cast<long>(at), 0);
    selected_.insert(selected_.begin() + static_cast<long>(at), 0);
    selectedDirty_ = true;
    RemapStyles([row](long r, long c) { return std::pair{r >= row ? r + 1 : r, c}; });
    ++rows_;
}

long VSFlexGrid::AddItem(const std::string& tabbedText, long row) {
    if (row < 0) row = rows_;
    if (row > rows_) CheckRow(row);
    InsertRowAt(row);
    auto parts = Split(tabbedText, "\t");
    for (std::size_t c = 0; c < parts.size() && c < cols_.size(); ++c)
        cols_[c].cells.Set(static_cast<std::size_t>(row), parts[c]);
    Touched();
    return row;
}

void VSFlexGrid::RemoveItem(long row) {
    CheckRow(row);
    const auto at = static_cast<long>(row);
    for (auto& c : cols_)
        c.cells.Erase(static_cast<std::size_t>(at));
    rowData_.erase(rowData_.begin() + at);
    rowHidden_.erase(rowHidden_.begin() + at);
    rowHeights_.erase(rowHeights_.begin() + at);
    selected_.erase(selected_.begin() + at);
    selectedDirty_ = true;
    RemapStyles([row](long r, long c) {
        return std::pair{r == row ? -1L : (r > row ? r - 1 : r), c};
    });
    --rows_;
    fixedRows_ = std::min(fixedRows_, rows_);
    // Either end of the selection may have been the row removed.
    row_ = std::min(row_, rows_ - 1);
    rowSel_ = std::min(rowSel_, rows_ - 1);
    Touched();
}

void VSFlexGrid::Clear() {
    for (auto& c : cols_)
        c.cells.ClearAll();
    styles_.clear();
    Touched();
}

void VSFlexGrid::RowColChanged(long oldRow, long oldCol) {
    if (oldRow == row_ && oldCol == col_) return;
    NotifyChanged("Selection");
    Args a{Variant(static_cast<int>(oldRow)), Variant(static_cast<int>(oldCol)),
           Variant(static_cast<int>(row_)), Variant(static_cast<int>(col_))};
    RaiseEvent("AfterRowColChange", a);
}

void VSFlexGrid::SetRow(long row) {
    if (row != -1) CheckRow(row);
    long oldRow = row_, oldCol = col_;
    row_ = rowSel_ = row;
    RowColChanged(oldRow, oldCol);
}

void VSFlexGrid::SetCol(long col) {
    if (col != -1) ColAt(col);
    long oldRow = row_, oldCol = col_;
    col_ = colSel_ = col;
    RowColChanged(oldRow, oldCol);
}

void VSFlexGrid::SetRowSel(long row) {
    CheckRow(row);
    rowSel_ = row;
    NotifyChanged("Selection");
}

void VSFlexGrid::SetColSel(long col) {
    ColAt(col);
    colSel_ = col;
    NotifyChanged("Selection");
}

void VSFlexGrid::SetSelectionMode(int mode) {
    selectionMode_ = mode;
    std::fill(selected_.begin(), selected_.end(), 0);
    selectedDirty_ = true;
    NotifyChanged("Selection");
}

bool VSFlexGrid::IsSelected(long row) const {
    CheckRow(row);
    if (selectionMode_ == flex::SelListBox) return selected_[static_cast<std::size_t>(row)] != 0;
    return row_ >= 0 && row >= std::min(row_, rowSel_) && row <= std::max(row_, rowSel_);
}

void VSFlexGrid::SetIsSelected(long row, bool selected) {
    CheckRow(row);
    selected_[static_cast<std::size_t>(row)] = selected ? 1 : 0;
    selectedDirty_ = true;
    NotifyChanged("Selection");
}

long VSFlexGrid::SelectedRows() const {
    if (selectionMode_ == flex::SelListBox) return static_cast<long>(SelectedList().size());
    if (row_ < fixedRows_ || row_ < 0) return 0;
    return std::abs(rowSel_ - row_) + 1;
}

long VSFlexGrid::SelectedRow(long index) const {
    if (index < 0 || index >= SelectedRows())
        Raise(err::SubscriptOutOfRange, "Subscript out of range");
    if (selectionMode_ != flex::SelListBox) return std::min(row_, rowSel_) + index;
    return SelectedList()[static_cast<std::size_t>(index)];
}

const std::vector<long>& VSFlexGrid::SelectedList() const {
    if (selectedDirty_) {
        selectedList_.clear();
        for (long r = 0; r < rows_; ++r)
            if (selected_[static_cast<std::size_t>(r)]) selectedList_.push_back(r);
        selectedDirty_ = false;
    }
    return selectedList_;
}

void VSFlexGrid::SetTopRow(long row) {
    CheckRow(row);
    topRow_ = row;
    NotifyChanged("TopRow");
}

namespace {
constexpr long kLineHeight = 240; // twips of one line at the default font
constexpr long kCharWidth = 100;  // twips of an average character
constexpr long kCellMargin = 150;
} // namespace

void VSFlexGrid::SetWordWrap(bool v) {
    wordWrap_ = v;
    NotifyChanged("WordWrap");
}

long VSFlexGrid::RowHeight(long row) const {
    CheckRow(row);
    long h = rowHeights_[static_cast<std::size_t>(row)];
    return h > 0 ? h : kLineHeight;
}

void VSFlexGrid::AutoSize(long col1, long col2) {
    if (col2 < 0) col2 = col1;
    if (autoSizeMode_ == 1) {
        for (long r = 0; r < rows_; ++r) {
            long lines = 1;
            for (long c = col1; c <= col2 && c < Cols(); ++c) {
                const long perLine =
                    std::max(1L, (ColWidth(c) - kCellMargin) / kCharWidth); // characters
                long cellLines = 0;
                for (const std::string& part : Split(DisplayText(r, c), "\n")) {
                    const long len = static_cast<long>(part.size());
                    cellLines += wordWrap_ ? std::max(1L, (len + perLine - 1) / perLine) : 1;
                }
                lines = std::max(lines, cellLines);
            }
            rowHeights_[static_cast<std::size_t>(r)] = lines * kLineHeight;
        }
        NotifyChanged("RowHeight");
        return;
    }
    for (long c = col1; c <= col2; ++c) {
        std::size_t longest = 0;
        const auto& list = ColAt(c).comboList;
        if (!list.empty() && list[0] == '#') {
            // The list is read once for the column, not once for every cell.
            auto entries = ParseComboList(list);
            for (long r = 0; r < rows_; ++r) {
                const std::string_view v = CellRef(r, c);
                std::size_t len = v.size();
                if (r >= fixedRows_)
                    for (const auto& e : entries)
                        if (e.value == v) {
                            len = e.text.size();
                            break;
                        }
                longest = std::max(longest, len);
            }
        } else {
            for (long r = 0; r < rows_; ++r)
                longest = std::max(longest, CellRef(r, c).size());
        }
        // About 100 twips a character at the default font, plus the cell margins.
        SetColWidth(c, static_cast<long>(longest) * kCharWidth + kCellMargin);
    }
}

void RegisterGridControl(ProgIdRegistry& registry) {
    registry.Register("VSFlex7Ctl.VSFlexGrid", [] { return std::make_shared<VSFlexGrid>(""); });
}

} // namespace zelk
