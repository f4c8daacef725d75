// The grid's members as they are reached late-bound, by name.
#include "platform/Conv.h"
#include "platform/ui/VSFlexGrid.h"

namespace zelk {

namespace {
long L(const Args& a, std::size_t i) {
    return CLng(Arg(a, i));
}
long Opt(const Args& a, std::size_t i, long fallback) {
    return Arg(a, i).IsEmpty() ? fallback : CLng(Arg(a, i));
}
Variant V(long n) {
    return Variant(static_cast<int>(n));
}
} // namespace

void VSFlexGrid::DefineMembers() {
    DefineProperty(
        "Rows", [this](Args&) { return V(rows_); },
        [this](const Variant& v, Args&) { SetRows(CLng(v)); });
    DefineProperty(
        "Cols", [this](Args&) { return V(Cols()); },
        [this](const Variant& v, Args&) { SetCols(CLng(v)); });
    DefineProperty(
        "FixedRows", [this](Args&) { return V(fixedRows_); },
        [this](const Variant& v, Args&) { SetFixedRows(CLng(v)); });
    DefineProperty(
        "FixedCols", [this](Args&) { return V(fixedCols_); },
        [this](const Variant& v, Args&) { SetFixedCols(CLng(v)); });
    DefineProperty(
        "TextMatrix", [this](Args& a) { return Variant(TextMatrix(L(a, 0), L(a, 1))); },
        [this](const Variant& v, Args& a) {
            SetTextMatrix(L(a, 0), L(a, 1), v.IsNull() ? std::string() : CStr(v));
        });
    DefineProperty(
        "Text", [this](Args&) { return Variant(Text()); },
        [this](const Variant& v, Args&) { SetText(v.IsNull() ? std::string() : CStr(v)); });
    DefineProperty(
        "Cell",
        [this](Args& a) {
            return Cell(L(a, 0), Opt(a, 1, row_), Opt(a, 2, col_), Opt(a, 3, -1), Opt(a, 4, -1));
        },
        [this](const Variant& v, Args& a) {
            SetCell(L(a, 0), Opt(a, 1, row_), Opt(a, 2, col_), Opt(a, 3, -1), Opt(a, 4, -1), v);
        });
    DefineProperty(
        "ColKey", [this](Args& a) { return Variant(ColKey(L(a, 0))); },
        [this](const Variant& v, Args& a) { SetColKey(L(a, 0), CStr(v)); });
    DefineProperty("ColIndex", [this](Args& a) { return V(ColIndex(CStr(Arg(a, 0)))); });
    DefineProperty(
        "ColWidth", [this](Args& a) { return V(ColWidth(L(a, 0))); },
        [this](const Variant& v, Args& a) { SetColWidth(L(a, 0), CLng(v)); });
    DefineProperty(
        "ColHidden", [this](Args& a) { return Variant(ColHidden(L(a, 0))); },
        [this](const Variant& v, Args& a) { SetColHidden(L(a, 0), CBool(v)); });
    DefineProperty(
        "ColDataType", [this](Args& a) { return Variant(ColDataType(L(a, 0))); },
        [this](const Variant& v, Args& a) { SetColDataType(L(a, 0), CLng(v)); });
    DefineProperty(
        "ColFormat", [this](Args& a) { return Variant(ColFormat(L(a, 0))); },
        [this](const Variant& v, Args& a) { SetColFormat(L(a, 0), CStr(v)); });
    DefineProperty(
        "ColEditMask", [this](Args& a) { return Variant(ColEditMask(L(a, 0))); },
        [this](const Variant& v, Args& a) { SetColEditMask(L(a, 0), CStr(v)); });
    DefineProperty(
        "ColComboList", [this](Args& a) { return Variant(ColComboList(L(a, 0))); },
        [this](const Variant& v, Args& a) { SetColComboList(L(a, 0), CStr(v)); });
    DefineProperty(
        "ColSort", [this](Args& a) { return Variant(ColSort(L(a, 0))); },
        [this](const Variant& v, Args& a) { SetColSort(L(a, 0), CLng(v)); });
    DefineProperty(
        "ColPosition", [](Args& a) { return Variant(CLng(Arg(a, 0))); },
        [this](const Variant& v, Args& a) { SetColPosition(L(a, 0), CLng(v)); });
    DefineProperty(
        "RowData", [this](Args& a) { return RowData(L(a, 0)); },
        [this](const Variant& v, Args& a) { SetRowData(L(a, 0), v); });
    DefineProperty(
        "RowHidden", [this](Args& a) { return Variant(RowHidden(L(a, 0))); },
        [this](const Variant& v, Args& a) { SetRowHidden(L(a, 0), CBool(v)); });
    DefineProperty(
        "Row", [this](Args&) { return V(row_); },
        [this](const Variant& v, Args&) { SetRow(CLng(v)); });
    DefineProperty(
        "Col", [this](Args&) { return V(col_); },
        [this](const Variant& v, Args&) { SetCol(CLng(v)); });
    DefineProperty(
        "RowSel", [this](Args&) { return V(rowSel_); },
        [this](const Variant& v, Args&) { SetRowSel(CLng(v)); });
    DefineProperty(
        "ColSel", [this](Args&) { return V(colSel_); },
        [this](const Variant& v, Args&) { SetColSel(CLng(v)); });
    DefineProperty(
        "SelectionMode", [this](Args&) { return Variant(selectionMode_); },
        [this](const Variant& v, Args&) { SetSelectionMode(CLng(v)); });
    DefineProperty(
        "IsSelected", [this](Args& a) { return Variant(IsSelected(L(a, 0))); },
        [this](const Variant& v, Args& a) { SetIsSelected(L(a, 0), CBool(v)); });
    DefineProperty("MouseRow", [this](Args&) { return V(mouseRow_); });
    DefineProperty("MouseCol", [this](Args&) { return V(mouseCol_); });
    DefineProperty("SelectedRows", [this](Args&) { return V(SelectedRows()); });
    DefineProperty("SelectedRow", [this](Args& a) { return V(SelectedRow(L(a, 0))); });
    DefineProperty(
        "TopRow", [this](Args&) { return V(topRow_); },
        [this](const Variant& v, Args&) { SetTopRow(CLng(v)); });
    DefineProperty(
        "Editable", [this](Args&) { return Variant(editable_); },
        [this](const Variant& v, Args&) { SetEditable(CLng(v)); });
    DefineProperty(
        "AllowUserResizing", [this](Args&) { return Variant(allowUserResizing_); },
        [this](const Variant& v, Args&) { SetAllowUserResizing(CLng(v)); });
    DefineProperty(
        "AutoResize", [this](Args&) { return Variant(autoResize_); },
        [this](const Variant& v, Args&) { SetAutoResize(CBool(v)); });
    DefineProperty(
        "Redraw", [this](Args&) { return Variant(redraw_); },
        [this](const Variant& v, Args&) { SetRedraw(v.IsBool() ? (v.Bool() ? 1 : 0) : CLng(v)); });
    DefineProperty(
        "Sort", [](Args&) { return Variant(0); },
        [this](const Variant& v, Args&) { Sort(CLng(v)); });
    DefineProperty(
        "EditText", [this](Args&) { return Variant(editText_); },
        [this](const Variant& v, Args&) { SetEditText(CStr(v)); });
    DefineMethod("EditCell", [this](Args&) { return Variant(EditCell()); });
    DefineMethod("AutoSize", [this](Args& a) {
        AutoSize(L(a, 0), Opt(a, 1, -1));
        return Variant();
    });
    DefineMethod("AddItem", [this](Args& a) { return V(AddItem(CStr(Arg(a, 0)), Opt(a, 1, -1))); });
    DefineMethod("RemoveItem", [this](Args& a) {
        RemoveItem(L(a, 0));
        return Variant();
    });
    DefineProperty(
        "RowPosition", [](Args&) { return Variant(); },
        [this](const Variant& v, Args& a) { SetRowPosition(L(a, 0), CLng(v)); });
    DefineMethod("Clear", [this](Args&) {
        Clear();
        return Variant();
    });
    DefineMethod("FindRow", [this](Args& a) {
        return V(FindRow(Arg(a, 0), Opt(a, 1, -1), Opt(a, 2, 0),
                         Arg(a, 3).IsEmpty() || CBool(Arg(a, 3)),
                         Arg(a, 4).IsEmpty() || CBool(Arg(a, 4))));
    });
}

} // namespace zelk
