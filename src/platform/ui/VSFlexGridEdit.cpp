// Sorting, finding, editing and the user's actions on the grid.
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"
#include "platform/ui/VSFlexGrid.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numeric>

namespace zelk {

void VSFlexGrid::Permute(const std::vector<long>& newOrder) {
    const std::size_t first = static_cast<std::size_t>(fixedRows_);
    const std::size_t n = newOrder.size();
    for (auto& c : cols_)
        c.cells.Permute(first, newOrder);
    auto permute = [&](auto& v) {
        using T = typename std::decay_t<decltype(v)>::value_type;
        std::vector<T> moved(n);
        for (std::size_t i = 0; i < n; ++i)
            moved[i] = std::move(v[static_cast<std::size_t>(newOrder[i])]);
        std::move(moved.begin(), moved.end(), v.begin() + static_cast<long>(first));
    };
    permute(rowData_);
    permute(rowHidden_);
    permute(rowHeights_);
    permute(selected_);
    selectedDirty_ = true;
    if (!styles_.empty()) {
        std::vector<long> where(static_cast<std::size_t>(rows_));
        std::iota(where.begin(), where.end(), 0L);
        for (std::size_t i = 0; i < n; ++i)
            where[static_cast<std::size_t>(newOrder[i])] = static_cast<long>(first + i);
        RemapStyles([&](long r, long c) {
            return std::pair{where[static_cast<std::size_t>(r)], c};
        });
    }
}

namespace {
bool Descending(int order) {
    return order == flex::SortGenericDescending || order == flex::SortNumericDescending ||
           order == flex::SortStringNoCaseDescending || order == flex::SortStringDescending;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int x = std::tolower(static_cast<unsigned char>(a[i]));
        int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// One column's sort keys, worked out once per sort rather than once per comparison.
struct SortKey {
    int order;
    const CellColumn* cells;
    std::vector<double> number; // NaN when the cell is not a number
    int Compare(long a, long b) const {
        const auto ia = static_cast<std::size_t>(a), ib = static_cast<std::size_t>(b);
        const std::string_view x = (*cells)[ia];
        const std::string_view y = (*cells)[ib];
        switch (order) {
        case flex::SortGenericAscending:
        case flex::SortGenericDescending:
        case flex::SortNumericAscending:
        case flex::SortNumericDescending: {
            const double nx = number[ia], ny = number[ib];
            const bool hx = !std::isnan(nx), hy = !std::isnan(ny);
            if (hx && hy) return nx < ny ? -1 : nx > ny ? 1 : 0;
            if (order == flex::SortNumericAscending || order == flex::SortNumericDescending)
                return hx == hy ? 0 : (hx ? 1 : -1); // text sorts below numbers
            if (hx != hy) return hx ? -1 : 1;
            return CompareNoCase(x, y);
        }
        case flex::SortStringNoCaseAscending:
        case flex::SortStringNoCaseDescending:
            return CompareNoCase(x, y);
        default:
            return x.compare(y) < 0 ? -1 : x == y ? 0 : 1;
        }
    }
};
} // namespace

void VSFlexGrid::Sort(int order) {
    if (order == flex::SortNone || rows_ - fixedRows_ < 2 || col_ < 0) return;
    Args before{Variant(static_cast<int>(col_)), Variant(order)};
    RaiseEvent("BeforeSort", before);
    const long c1 = std::min(col_, colSel_), c2 = std::max(col_, colSel_);
    std::vector<SortKey> keys;
    for (long c = c1; c <= c2; ++c) {
        int o = order == flex::SortUseColSort ? ColAt(c).sort : order;
        if (o == flex::SortNone) continue;
        SortKey k{o, &cols_[static_cast<std::size_t>(c)].cells, {}};
        if (o >= flex::SortGenericAscending && o <= flex::SortNumericDescending) {
            k.number.resize(static_cast<std::size_t>(rows_));
            for (long r = fixedRows_; r < rows_; ++r) {
                const std::string_view t = (*k.cells)[static_cast<std::size_t>(r)];
                k.number[static_cast<std::size_t>(r)] =
                    !t.empty() && IsNumeric(Variant(t)) ? CDbl(Variant(t)) : std::nan("");
            }
        }
        keys.push_back(std::move(k));
    }
    std::vector<long> rows(static_cast<std::size_t>(rows_ - fixedRows_));
    std::iota(rows.begin(), rows.end(), fixedRows_);
    std::stable_sort(rows.begin(), rows.end(), [&](long a, long b) {
        for (const auto& k : keys)
            if (int r = k.Compare(a, b); r != 0) return Descending(k.order) ? r > 0 : r < 0;
        return false;
    });
    Permute(rows);
    Touched();
    Args after{Variant(static_cast<int>(col_)), Variant(order)};
    RaiseEvent("AfterSort", after);
}

long VSFlexGrid::FindRow(const Variant& item, long startRow, long col, bool caseSensitive,
                         bool fullMatch) const {
    if (startRow < 0) startRow = fixedRows_;
    if (col >= 0) ColAt(col);
    const std::string want = item.IsNull() ? std::string() : CStr(item);
    for (long r = startRow; r < rows_; ++r) {
        if (col < 0) {
            const Variant& d = rowData_[static_cast<std::size_t>(r)];
            if (!d.IsEmpty() && !d.IsNull() && !d.IsObject() && CStr(d) == want) return r;
            continue;
        }
        const std::string_view s =
            cols_[static_cast<std::size_t>(col)].cells[static_cast<std::size_t>(r)];
        if (fullMatch ? (caseSensitive ? s == want : IEquals(s, want))
                      : (caseSensitive ? s.compare(0, want.size(), want) == 0
                                       : IEquals(s.substr(0, want.size()), want)))
            return r;
    }
    return -1;
}

void VSFlexGrid::SetEditText(std::string t) {
    if (!editing_) return;
    editText_ = std::move(t);
    RaiseEvent("ChangeEdit");
}

bool VSFlexGrid::EditCell() {
    if (editable_ == flex::EDNone || row_ < fixedRows_ || col_ < fixedCols_ || editing_)
        return false;
    Args before{Variant(static_cast<int>(row_)), Variant(static_cast<int>(col_)), Variant(false)};
    RaiseEvent("BeforeEdit", before);
    if (CBool(before[2])) return false;
    Args start{Variant(static_cast<int>(row_)), Variant(static_cast<int>(col_)), Variant(false)};
    RaiseEvent("StartEdit", start);
    if (CBool(start[2])) return false;
    editing_ = true;
    editRow_ = row_;
    editCol_ = col_;
    editText_ = TextMatrix(row_, col_);
    NotifyChanged("Editing");
    return true;
}

bool VSFlexGrid::UserEdit(long row, long col, const std::string& text) {
    if (!IsUsable() || Locked() || editable_ == flex::EDNone) return false;
    if (!HasFocus() && !SetFocus()) return false;
    UserSelect(row, col);
    if (row_ != row || col_ != col || !EditCell()) return false;
    SetEditText(text);
    // Combo lists with ids: a shown text stands for its id.
    std::string value = editText_;
    const auto& list = ColAt(col).comboList;
    if (!list.empty() && list[0] == '#')
        for (const auto& e : ParseComboList(list))
            if (e.text == value) {
                value = e.value;
                break;
            }
    Args validate{Variant(static_cast<int>(row)), Variant(static_cast<int>(col)), Variant(false)};
    RaiseEvent("ValidateEdit", validate);
    const bool cancelled = CBool(validate[2]);
    editing_ = false;
    NotifyChanged("Editing");
    if (cancelled) return false;
    SetTextMatrix(row, col, value);
    Args after{Variant(static_cast<int>(row)), Variant(static_cast<int>(col))};
    RaiseEvent("AfterEdit", after);
    return true;
}

bool VSFlexGrid::UserToggleCheck(long row, long col) {
    bool checked = TextMatrix(row, col) == "-1" || IEquals(TextMatrix(row, col), "True");
    return UserEdit(row, col, checked ? "0" : "-1");
}

bool VSFlexGrid::UserPickCombo(long row, long col, int index) {
    auto entries = ParseComboList(ColAt(col).comboList);
    if (index < 0 || index >= static_cast<int>(entries.size()))
        Raise(380, "Invalid property value");
    bool done = UserEdit(row, col, entries[static_cast<std::size_t>(index)].text);
    if (done) {
        Args a{Variant(static_cast<int>(row)), Variant(static_cast<int>(col)), Variant(true)};
        RaiseEvent("ComboCloseUp", a);
    }
    return done;
}

void VSFlexGrid::UserSelect(long row, long col) {
    if (!IsUsable()) return;
    if (!HasFocus() && !SetFocus()) return;
    CheckRow(row);
    ColAt(col);
    mouseRow_ = row;
    mouseCol_ = col;
    Args down{Variant(1), Variant(0), Variant(0.0f), Variant(0.0f), Variant(false)};
    RaiseEvent("BeforeMouseDown", down);
    if (CBool(down[4])) return;
    if (selectionMode_ == flex::SelListBox) {
        std::fill(selected_.begin(), selected_.end(), 0);
        if (row >= fixedRows_) selected_[static_cast<std::size_t>(row)] = 1;
        selectedDirty_ = true;
    }
    long oldRow = row_, oldCol = col_;
    row_ = rowSel_ = row;
    col_ = colSel_ = col;
    RowColChanged(oldRow, oldCol);
    RaiseEvent("Click");
}

void VSFlexGrid::UserSelectRows(const std::vector<long>& rows) {
    if (!IsUsable() || rows.empty()) return;
    if (!HasFocus() && !SetFocus()) return;
    for (long r : rows)
        CheckRow(r);
    long oldRow = row_, oldCol = col_;
    mouseRow_ = rows.back();
    mouseCol_ = col_ < 0 ? fixedCols_ : col_;
    if (selectionMode_ == flex::SelListBox) {
        std::fill(selected_.begin(), selected_.end(), 0);
        for (long r : rows)
            if (r >= fixedRows_) selected_[static_cast<std::size_t>(r)] = 1;
        selectedDirty_ = true;
        row_ = rowSel_ = rows.back();
    } else {
        // A contiguous range from the first row given to the last.
        row_ = rows.front();
        rowSel_ = rows.back();
    }
    if (col_ < 0) col_ = colSel_ = fixedCols_;
    NotifyChanged("Selection");
    RowColChanged(oldRow, oldCol);
    RaiseEvent("Click");
}

void VSFlexGrid::UserDblClickCell(long row, long col) {
    if (!IsUsable()) return;
    CheckRow(row);
    ColAt(col);
    if (row >= fixedRows_) {
        UserSelect(row, col);
        if (row_ != row || !IsUsable()) return; // the click was refused or closed the grid
    } else {
        if (!HasFocus() && !SetFocus()) return;
        mouseRow_ = row;
        mouseCol_ = col;
        Args down{Variant(1), Variant(0), Variant(0.0f), Variant(0.0f), Variant(false)};
        RaiseEvent("BeforeMouseDown", down);
        if (CBool(down[4])) return;
        RaiseEvent("Click");
    }
    mouseRow_ = row;
    mouseCol_ = col;
    RaiseEvent("DblClick");
}

void VSFlexGrid::UserClickHeader(long col) {
    if (!IsUsable()) return;
    ColAt(col);
    // A second click on the same column turns the order around.
    static constexpr int kAsc = flex::SortGenericAscending, kDesc = flex::SortGenericDescending;
    int order = (col_ == col && ColAt(col).sort == kAsc) ? kDesc : kAsc;
    ColAt(col).sort = order;
    mouseRow_ = 0;
    mouseCol_ = col;
    long oldRow = row_, oldCol = col_;
    col_ = colSel_ = col;
    RowColChanged(oldRow, oldCol);
    Sort(order);
}

void VSFlexGrid::SetRowPosition(long row, long position) {
    for (long r : {row, position})
        if (r < fixedRows_ || r >= rows_) Raise(30009, "Invalid row value: " + std::to_string(r));
    if (row == position) return;
    std::vector<long> order(static_cast<std::size_t>(rows_ - fixedRows_));
    std::iota(order.begin(), order.end(), fixedRows_);
    const auto from = order.begin() + (row - fixedRows_);
    const auto to = order.begin() + (position - fixedRows_);
    if (row < position)
        std::rotate(from, from + 1, to + 1);
    else
        std::rotate(to, from, from + 1);
    Permute(order);
    Touched();
}

bool VSFlexGrid::UserMoveRow(long row, long position) {
    if (!IsUsable() || Locked() || row < fixedRows_ || row >= rows_ || position < fixedRows_)
        return false;
    Args before{Variant(static_cast<int>(row)), Variant(static_cast<int>(position)),
                Variant(false)};
    RaiseEvent("BeforeMoveRow", before);
    if (CBool(before[2])) return false;
    // A handler may have taken rows off the grid.
    if (row >= rows_) return false;
    position = std::min(position, rows_ - 1);
    SetRowPosition(row, position);
    const long oldRow = row_, oldCol = col_;
    row_ = rowSel_ = position;
    RowColChanged(oldRow, oldCol);
    Args after{Variant(static_cast<int>(row)), Variant(static_cast<int>(position))};
    RaiseEvent("AfterMoveRow", after);
    return true;
}

} // namespace zelk
