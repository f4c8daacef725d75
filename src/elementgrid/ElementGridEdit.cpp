// What the user does on the Elements tab: pick an element or a reference, clear the
// reference, edit the attributes, remove a row, reorder the rows, open an element.
#include "elementgrid/MA_ElementGrid.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/UiDriver.h"

namespace zelk::elementgrid {

namespace {

std::string FieldText(Recordset& rs, std::string_view field) {
    Variant v = rs.Value(field);
    return v.IsNull() || v.IsEmpty() ? std::string() : CStr(v);
}

void CloseQuietly(const RecordsetPtr& rs) {
    try {
        if (rs && rs->State() == ad::StateOpen) rs->Close();
    } catch (const ComError&) {
    }
}

bool IsCodedOrStatus(std::string_view key) {
    for (const char* k : {"d_origin_id", "d_regularity_id", "d_dist_confidence_id",
                          "d_curr_presence_absence_id", "d_population_id", "status_in_ma"})
        if (IEquals(key, k)) return true;
    return false;
}

} // namespace

void MA_ElementGrid::SelectElement() {
    Screen& screen = Screen::Instance();
    screen.SetMousePointer(mouse::Hourglass);
    RecordsetPtr rs;
    try {
        rs = std::dynamic_pointer_cast<Recordset>(
            RequireObject(App("GetPrototypeRSForView", {Variant("ELE")})));
        screen.SetMousePointer(mouse::Default);
        picker_("ZELK_Element.ElementSearch", "Element Search - " + searchCaption_, searchIcon_,
                appManager_, rs);
        if (rs && rs->State() == ad::StateOpen && rs->RecordCount() > 0) {
            rs->MoveFirst();
            FillPickedElement(*rs);
        }
    } catch (const ComError& e) {
        screen.SetMousePointer(mouse::Default);
        Ui().MsgBox("Error opening Element Search.\n\n" + e.Description(), vb::Exclamation,
                    "Managed Area");
    }
    screen.SetMousePointer(mouse::Default);
    CloseQuietly(rs);
}

void MA_ElementGrid::FillPickedElement(Recordset& rs) {
    const long id = CLng(rs.Value("ID"));
    const std::string idText = std::to_string(id);
    // IDs are numbered per level, so the level is part of what makes an element the same.
    const std::string level =
        rs.GetFields().Exists("GEOLEVEL")
            ? FieldText(rs, "GEOLEVEL")
            : CStr(App("GetElementGeoLevel", {Variant(static_cast<int>(id))}));
    long row = flexElement_->Row();
    if (row < FirstDataRow()) row = BlankRow();
    const long idCol = Col("element_id"), levelCol = Col("geo_level");
    for (long r = FirstDataRow(); r < flexElement_->Rows(); ++r) {
        if (r == row) continue;
        if (flexElement_->CellRef(r, idCol) == idText &&
            IEquals(flexElement_->CellRef(r, levelCol), level)) {
            App("Message", {Variant("MGA014")});
            return;
        }
    }
    const bool wasNew = RowState(row) == rowstate::New;
    SetCell(row, "element_id", idText);
    SetCell(row, "element_global_id", "");
    SetCell(row, "element_national_id", "");
    SetCell(row, "element_subnational_id", "");
    if (level == "Global")
        SetCell(row, "element_global_id", idText);
    else if (level == "National")
        SetCell(row, "element_national_id", idText);
    else if (level == "Subnational")
        SetCell(row, "element_subnational_id", idText);
    SetCell(row, "geo_level", level);
    SetCell(row, "scientific_name", FieldText(rs, "SCIENTIFIC_NAME"));
    SetCell(row, "common_name", FieldText(rs, "COMMON_NAME"));
    SetCell(row, "rank", FieldText(rs, "RANK"));
    if (flexElement_->Row() != row) flexElement_->SetRow(row);
    RowChange(0, 0, row, 1);
    // A saved row keeps its record and takes the new element; an unsaved one stays new.
    SetRowState(row, wasNew ? rowstate::New : rowstate::Modified);
}

void MA_ElementGrid::SelectReference() {
    RecordsetPtr rs = std::dynamic_pointer_cast<Recordset>(RequireObject(
        App("CallGetQueryRSXML", {Variant("select * from REFERENCE_WL_VW WHERE 1=0")})));
    try {
        picker_("ZELK_Reference.ReferenceSearch", "Reference Search - " + searchCaption_,
                searchIcon_, appManager_, rs);
        const long row = flexElement_->Row();
        if (row >= FirstDataRow() && rs && rs->State() == ad::StateOpen && rs->RecordCount() == 1) {
            rs->MoveFirst();
            SetCell(row, "reference_id", FieldText(*rs, "ID"));
            SetCell(row, "reference_code", FieldText(*rs, "REFERENCE_CODE"));
            SetCell(row, "full_citation", FieldText(*rs, "FULL_CITATION"));
            MarkChanged(row);
            RowChange(0, 0, row, 1);
        } else {
            const bool data = row >= FirstDataRow();
            txtReferenceCode_->SetText(data ? Cell(row, "reference_code") : "");
            txtFullCitation_->SetText(data ? Cell(row, "full_citation") : "");
        }
    } catch (...) {
        CloseQuietly(rs);
        throw;
    }
    CloseQuietly(rs);
}

void MA_ElementGrid::ClearReference() {
    const long row = flexElement_->Row();
    if (row < FirstDataRow()) return;
    SetCell(row, "reference_id", "");
    SetCell(row, "reference_code", "");
    SetCell(row, "full_citation", "");
    MarkChanged(row);
    ShowElementDetails();
}

void MA_ElementGrid::RemoveElement() {
    const long row = flexElement_->Row();
    if (!IsDataRow(row)) return;
    const std::string idText = Cell(row, "element_managed_area_id");
    if (auto id = ParseNumber(idText)) {
        const std::string criterion = "ID = " + std::to_string(CLng(Variant(*id)));
        if (!elements_->Find(criterion)) {
            bo::ChildPtr e = LoadElementObject(idText);
            e->SetProperty("RecLastModUser", Variant(UserName()));
            elements_->Add(e);
        }
        if (long pos = elements_->FindPosition(criterion); pos > 0) elements_->Remove(pos);
    } else if (bo::ChildPtr e = FindNewRowElement(row)) {
        // Never saved: an element an earlier store added is forgotten, nothing to delete.
        for (long pos = 1; pos <= elements_->Count(); ++pos)
            if (elements_->Item(pos) == e) {
                elements_->Drop(pos);
                break;
            }
    }
    removed_ = true;
    flexElement_->RemoveItem(row);
    ShowElementDetails();
}

void MA_ElementGrid::UpdateElementCell(long row, const std::string& key, const std::string& value) {
    if (row < FirstDataRow() || row >= flexElement_->Rows()) return;
    if (Cell(row, key) != value) {
        SetCell(row, key, value);
        MarkChanged(row);
    }
    if (IsCodedOrStatus(key)) flexElement_->AutoSize(Col(key));
    RowChange(row, 0, row, 1);
}

void MA_ElementGrid::CommitDetailPanel() {
    const long row = flexElement_->Row();
    if (row < FirstDataRow()) return;
    UpdateElementCell(row, "status_in_ma", txtStatusInMA_->Text());
    UpdateElementCell(row, "ma_distribution_com", ctrDistributionComments_->Text());
    UpdateElementCell(row, "d_curr_presence_absence_id", cboCurrentPresenceAbsence_->BoundText());
    UpdateElementCell(row, "d_dist_confidence_id", cboDistributionConfidence_->BoundText());
    UpdateElementCell(row, "d_origin_id", cboOrigin_->BoundText());
    UpdateElementCell(row, "d_population_id", cboPopulation_->BoundText());
    UpdateElementCell(row, "d_regularity_id", cboRegularity_->BoundText());
}

void MA_ElementGrid::OpenElementRecord() {
    const long row = flexElement_->Row();
    if (row < FirstDataRow() || !winMan_) return;
    const std::string id = Cell(row, "element_id");
    if (!IsNumeric(Variant(id))) return;
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    winMan_->Call("OpenDetails",
                  {Variant(static_cast<int>(etkViewId_)), Variant(static_cast<int>(etkViewId_)),
                   Variant(CLng(Variant(id))), Variant("ROOTOPEN")});
    Screen::Instance().SetMousePointer(mouse::Default);
}

void MA_ElementGrid::BeforeReorder() {
    reordering_ = true;
    if (flexElement_->Rows() > flexElement_->FixedRows())
        flexElement_->SetRows(flexElement_->Rows() - 1);
}

void MA_ElementGrid::AfterReorder() {
    reordering_ = false;
    AddBlankRow();
    orderChanged_ = true;
    ShowElementDetails();
}

} // namespace zelk::elementgrid
