// The results grid, its selection, the working-list commands, the editor hand-over and the
// commands of the menus and toolbar that act on the results.
#include "search/ManagedAreaSearch.h"

#include "common/RS_Functions.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"
#include "search/SearchDialogs.h"

namespace zelk::search {

namespace {

// Pointer back to normal however the command ends.
struct Hourglass {
    Hourglass() { Screen::Instance().SetMousePointer(mouse::Hourglass); }
    ~Hourglass() { Screen::Instance().SetMousePointer(mouse::Default); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

// Fills the grid from the recordset: a header row of field names, then one row per record.
void FillGrid(VSFlexGrid& grid, Recordset& rs) {
    const int redraw = grid.Redraw();
    grid.SetRedraw(0);
    Fields fields = rs.GetFields();
    const long cols = fields.Count();
    const long count = rs.RecordCount();
    grid.SetRows(1);
    grid.SetFixedRows(1);
    grid.SetCols(cols);
    grid.SetFixedCols(0);
    grid.SetRows(1 + count);
    for (long c = 0; c < cols; ++c)
        grid.SetTextMatrix(0, c, fields.Item(static_cast<std::size_t>(c)).Name());
    if (count > 0) {
        std::vector<Field> fs;
        for (long c = 0; c < cols; ++c)
            fs.push_back(fields.Item(static_cast<std::size_t>(c)));
        long row = 1;
        for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext(), ++row)
            for (long c = 0; c < cols; ++c) {
                const Variant& v = fs[static_cast<std::size_t>(c)].ValueRef();
                if (v.IsString())
                    grid.SetTextMatrix(row, c, v.Str());
                else if (!v.IsNull())
                    grid.SetTextMatrix(row, c, CStr(v));
            }
        rs.MoveFirst();
    }
    grid.SetRedraw(redraw == 0 ? 1 : redraw);
}

} // namespace

std::string ManagedAreaSearch::HeaderCaption(const std::string& fieldName) {
    std::vector<std::string> words;
    for (const std::string& piece : Split(LCase(fieldName), " "))
        words.push_back(Trim(piece));
    std::vector<std::string> parts = Split(Join(words, "_"), "_");
    for (std::string& p : parts) {
        if (!p.empty()) p = UCase(p.substr(0, 1)) + p.substr(1);
        if (LCase(Trim(p)) == "id") p = "ID";
    }
    return Trim(Join(parts, " "));
}

void ManagedAreaSearch::FormatGridHeaders(VSFlexGrid& grid) {
    if (grid.Rows() < 1) return;
    for (long c = 0; c < grid.Cols(); ++c)
        grid.SetTextMatrix(0, c, HeaderCaption(grid.TextMatrix(0, c)));
}

void ManagedAreaSearch::BindResults() {
    if (!mrsResults) {
        UnbindResults();
        lblRecordsReturnedCount_->SetCaption("0");
        return;
    }
    FillGrid(*flexResults_, *mrsResults);
    FormatGridHeaders(*flexResults_);
    lblRecordsReturnedCount_->SetCaption(std::to_string(mrsResults->RecordCount()));
    UpdateOkButton();
}

void ManagedAreaSearch::UnbindResults() {
    flexResults_->SetRows(flexResults_->FixedRows() > 0 ? flexResults_->FixedRows() : 1);
    UpdateOkButton();
}

ManagedAreaSearch::ResultsView ManagedAreaSearch::SaveResultsView() const {
    const VSFlexGrid& g = *flexResults_;
    ResultsView v{g.Row(), g.Col(), g.RowSel(), g.ColSel(), g.TopRow(), {}};
    if (g.SelectionMode() == flex::SelListBox)
        for (long i = 0; i < g.SelectedRows(); ++i)
            v.selected.push_back(g.SelectedRow(i));
    return v;
}

void ManagedAreaSearch::RestoreResultsView(const ResultsView& view) {
    VSFlexGrid& g = *flexResults_;
    // The grid was refilled from the same records, so every saved position exists again.
    if (view.row < g.Rows()) g.SetRow(view.row);
    if (view.col < g.Cols()) g.SetCol(view.col);
    if (view.rowSel >= 0 && view.rowSel < g.Rows()) g.SetRowSel(view.rowSel);
    if (view.colSel >= 0 && view.colSel < g.Cols()) g.SetColSel(view.colSel);
    if (view.topRow >= 0 && view.topRow < g.Rows()) g.SetTopRow(view.topRow);
    if (g.SelectionMode() == flex::SelListBox) {
        for (long r = 0; r < g.Rows(); ++r)
            if (g.IsSelected(r)) g.SetIsSelected(r, false);
        for (long r : view.selected)
            if (r >= 0 && r < g.Rows()) g.SetIsSelected(r, true);
    }
    UpdateOkButton();
}

void ManagedAreaSearch::UpdateOkButton() {
    const VSFlexGrid& g = *flexResults_;
    const bool current = g.Row() >= g.FixedRows() && g.Row() < g.Rows();
    cmdOK_->SetEnabled(current || g.SelectedRows() > 0);
}

void ManagedAreaSearch::MakeCurrentRow(long row) {
    VSFlexGrid& g = *flexResults_;
    g.SetRow(row);
    // Moving the cursor selects nothing in list-box mode, yet OK is enabled for the current
    // row: it must be the row OK returns. Framed, the list commands wait for the user's choice.
    if (mblnModal && g.SelectionMode() == flex::SelListBox) {
        for (long r = 0; r < g.Rows(); ++r)
            if (g.IsSelected(r) && r != row) g.SetIsSelected(r, false);
        g.SetIsSelected(row, true);
    }
    UpdateOkButton();
}

void ManagedAreaSearch::SelectAll() {
    VSFlexGrid& g = *flexResults_;
    if (g.Rows() < 2) return;
    Hourglass wait;
    const long col = g.Cols() > 1 ? 1 : 0;
    g.SetRow(1);
    g.SetCol(col);
    g.SetRowSel(singleSelect_ ? 1 : g.Rows() - 1);
    g.SetColSel(col);
    if (g.SelectionMode() == flex::SelListBox)
        for (long r = g.FixedRows(); r < g.Rows(); ++r)
            g.SetIsSelected(r, true);
    UpdateOkButton();
}

void ManagedAreaSearch::SelectNone() {
    VSFlexGrid& g = *flexResults_;
    if (g.Rows() < 1 || g.Cols() < 1) return;
    g.SetRow(0);
    g.SetCol(0);
    if (g.SelectionMode() == flex::SelListBox)
        for (long r = 0; r < g.Rows(); ++r)
            if (g.IsSelected(r)) g.SetIsSelected(r, false);
    UpdateOkButton();
}

void ManagedAreaSearch::SetMainGridRedraw(bool on) {
    Form* parent = ParentForm();
    if (parent && parent->HasMember("SetMainGridRedraw"))
        parent->Call("SetMainGridRedraw", {Variant(on)});
}

void ManagedAreaSearch::AddToList(bool replace) {
    if (!mrsTemp) Raise(err::ObjectNotSet, "Object variable not set: there is no working list");
    if (!mrsResults) return;
    Hourglass wait;
    SetMainGridRedraw(false);
    try {
        if (replace)
            ReplaceWithSelectedRows(*flexResults_, *mrsResults, *mrsTemp);
        else
            AppendSelectedRows(*flexResults_, *mrsResults, *mrsTemp);
    } catch (...) {
        SetMainGridRedraw(true);
        throw;
    }
    SetMainGridRedraw(true);
}

void ManagedAreaSearch::ShowDetails() {
    const VSFlexGrid& g = *flexResults_;
    if (g.Row() < g.FixedRows() || g.Row() >= g.Rows()) return;
    const std::string id = g.TextMatrix(g.Row(), 0);
    if (!mblnModal) {
        Hourglass wait;
        if (!mobjWinMan) Raise(err::ObjectNotSet, "Object variable not set: no window manager");
        mobjWinMan->Call("OpenDetails",
                         {Variant(static_cast<int>(mlngViewType)),
                          Variant(static_cast<int>(mlngViewType)), Variant(id), Variant("")});
        return;
    }
    auto n = ParseNumber(id);
    ShowModalDetails(*this, mobjAppManager, n ? static_cast<long>(*n) : -1);
}

void ManagedAreaSearch::NewRecord() {
    if (mblnModal) {
        NewRecordModal();
        return;
    }
    long position = -1;
    if (mcolViews) {
        const long n = CLng(mcolViews->Get("Count"));
        for (long i = 1; i <= n && position < 0; ++i) {
            ObjectPtr view = RequireObject(mcolViews->Call("Item", {Variant(static_cast<int>(i))}));
            if (CStr(view->Call("Item", {Variant("WORKING_LIST_TYPE")})) == "MGA") position = i;
        }
    }
    if (!mobjWinMan) Raise(err::ObjectNotSet, "Object variable not set: no window manager");
    mobjWinMan->Call("NewDetails", {Variant(static_cast<int>(position)),
                                    Variant(static_cast<int>(position)), Variant("Managed Area")});
}

void ManagedAreaSearch::NewRecordModal() {
    const long id = NewModalDetails(*this, mobjAppManager);
    if (id <= 0) return;
    Variant answer =
        App("CallGetQueryRSXML", {Variant("SELECT UNIQUE managed_area_id as id, managed_area_name, "
                                          "managed_area_type FROM ma WHERE ma.managed_area_id = " +
                                          std::to_string(id) + " ORDER BY managed_area_id")});
    auto rs = answer.IsObject() ? std::dynamic_pointer_cast<Recordset>(answer.Obj()) : nullptr;
    if (!rs || rs->RecordCount() != 1 || !mrsResults) return;

    // The answer has fewer columns than the results: carry what it has into a row shaped like
    // them, so the merge fills every column it can instead of failing on the missing ones.
    RecordsetPtr row;
    CreateDetachedRecordset(*mrsResults, row);
    row->AddNew();
    rs->MoveFirst();
    Fields from = rs->GetFields();
    Fields to = row->GetFields();
    for (long i = 0; i < to.Count(); ++i) {
        Field f = to.Item(static_cast<std::size_t>(i));
        f.SetValue(from.Exists(f.Name()) ? from.Item(f.Name()).Value() : Variant::Null());
    }
    row->Update();
    row->MoveFirst();

    UnbindResults();
    MergeRecord(*row, *mrsResults);
    BindResults();
    VSFlexGrid& g = *flexResults_;
    if (g.Rows() > g.FixedRows()) {
        MakeCurrentRow(g.Rows() - 1);
        if (g.Cols() > 1) g.SetCol(1);
        g.SetTopRow(g.Rows() - 1);
    }
    UpdateOkButton();
    rs->Close();
}

void ManagedAreaSearch::ResultsDblClick() {
    // The row under the mouse decides, not the current row: a double-click on the header
    // leaves the current row where it was.
    const VSFlexGrid& g = *flexResults_;
    if (g.MouseRow() < g.FixedRows() || g.MouseRow() >= g.Rows()) return;
    if (mblnModal)
        Ok();
    else
        AddToList(false);
}

void ManagedAreaSearch::Ok() {
    SelectedItems();
    RaiseEvent("Quit");
}

void ManagedAreaSearch::Cancel() {
    mrsTemp.reset();
    RaiseEvent("Quit");
}

void ManagedAreaSearch::SendClipboardKeys(const std::string& keys) {
    if (dynamic_cast<TextBox*>(ActiveControl())) Ui().SendKeys(keys);
}

void ManagedAreaSearch::ToolbarButtonClick(const std::string& key) {
    if (IEquals(key, "New"))
        Guard("Error starting a new search", [this] { NewSearch(); });
    else if (IEquals(key, "Open"))
        Guard("Error opening the search", [this] { OpenSearch(); });
    else if (IEquals(key, "Save"))
        Guard("Error saving the search", [this] { SaveSearch(false); });
    else if (IEquals(key, "Cut"))
        SendClipboardKeys("^x");
    else if (IEquals(key, "Copy"))
        SendClipboardKeys("^c");
    else if (IEquals(key, "Paste"))
        SendClipboardKeys("^v");
    else if (IEquals(key, "Help"))
        Ui().SendKeys("{F1}");
}

void ManagedAreaSearch::ViewSearchSql() {
    const std::string sql = BuildSearchSQL();
    ShowSearchSql(*this, sql);
}

} // namespace zelk::search
