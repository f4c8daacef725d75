// The child record grids of the pages: owners, aliases, the locator grids, legal acts and the
// year/plan/budget list, and the cell checks made while the user edits them.
#include "common/ErrorReport.h"
#include "common/GridProcedures.h"
#include "controls/DomainSelectGrid.h"
#include "controls/ctlMapsheet.h"
#include "controls/ctrlBindGrid.h"
#include "editor/FieldRules.h"
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Strings.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

namespace {

// Run-time errors show their own description; anything else what it says of itself.
void Report(const std::string& context, const std::exception& e) {
    if (auto* com = dynamic_cast<const ComError*>(&e)) return common::ReportError(context, *com);
    common::ReportError(context, e);
}

std::string Quoted(const std::string& value) {
    std::string out = "'";
    for (char c : value) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

// Drawing of a grid stays off while it is set up and comes back however the set-up ends.
class RedrawOff {
public:
    explicit RedrawOff(VSFlexGrid& grid) : grid_(grid) { grid_.SetRedraw(0); }
    ~RedrawOff() { grid_.SetRedraw(2); }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    VSFlexGrid& grid_;
};

// One column's header in row 0 and its width; a key the grid lacks is skipped.
void Header(VSFlexGrid& grid, std::string_view key, const std::string& caption, long width) {
    long col = grid.ColIndex(key);
    if (col < 0) return;
    grid.SetTextMatrix(0, col, caption);
    if (width > 0) grid.SetColWidth(col, width);
}

// The fixed-row layout every bind grid but the aliases starts with.
void PrepareGrid(VSFlexGrid& grid, long fixedRows) {
    if (grid.Rows() < fixedRows) grid.SetRows(fixedRows);
    grid.SetFixedRows(fixedRows);
    grid.SetFixedCols(0);
}

} // namespace

ObjectPtr ManagedAreaDetails::ChildListObject(bo::ChildList which) {
    if (!ma_) Raise(err::ObjectNotSet, "Object variable not set: record");
    return dynamic_cast<Object&>(ma_->Children(which)).shared_from_this();
}

void ManagedAreaDetails::SetupBindGrid(controls::ctrlBindGrid& bindGrid, bo::ChildList which,
                                       const std::string& bindList,
                                       const std::string& visibleColumns) {
    VSFlexGrid& g = bindGrid.Grid();
    PrepareGrid(g, 1);
    g.SetAutoResize(false);
    g.SetAllowUserResizing(4);
    const std::string user = UserName();
    bindGrid.Call("SetCreateDefault", {Variant("RecCreateUser"), Variant(user)});
    bindGrid.Call("SetModifyDefault", {Variant("RecLastModUser"), Variant(user)});
    bindGrid.Call("BindCollection", {Variant(ChildListObject(which)), Variant(bindList)});
    bindGrid.Call("SetVisibleColumns", {Variant(visibleColumns)});
}

void ManagedAreaDetails::SetupOwnersGrid() {
    WireGridEvents();
    VSFlexGrid& g = flexOwners->Grid();
    RedrawOff drawing(g);
    try {
        flexOwners->Let("KeepExtraColumns", Variant(true));
        // The Primary column of the previous record would otherwise stand where a bound
        // column is expected.
        g.SetCols(0);
        SetupBindGrid(*flexOwners, bo::ChildList::Owners,
                      "ID,DOwnerTypeID,OwnerName,OwnerNote,DisplayOrder",
                      "DOwnerTypeID,OwnerName,OwnerNote");
        Header(g, "DOwnerTypeID", "Owner Type", 2300);
        Header(g, "OwnerName", "Owner Name", 3500);
        Header(g, "OwnerNote", "Note", 100);

        g.SetCols(g.Cols() + 1);
        const long primary = g.Cols() - 1;
        g.SetColKey(primary, "PrimaryOwnerInd");
        g.SetTextMatrix(0, primary, "Primary");
        g.SetColWidth(primary, 690);
        g.SetColDataType(primary, flex::TypeBoolean);
        g.SetColPosition(primary, 3);
        g.SetColDataType(g.ColIndex("OwnerNote"), flex::TypeEmpty);
        ShowPrimaryOwners();

        if (ownerTypeComboList_.empty()) {
            ObjectPtr owner = CreateObject("ZELK_ManagedAreaClient.COwner");
            owner->Call("Connect", {Variant(ServerName()), Variant(ServerType())});
            Variant list =
                owner->Call("GetDomain", {Variant("OWNER_TYPE"), Variant(), Variant(true)});
            auto domain =
                list.IsObject() ? std::dynamic_pointer_cast<bo::IDomainList>(list.Obj()) : nullptr;
            common::SortDomainList(domain, "owner_type_desc");
            ownerTypeComboList_ =
                common::BuildComboList(domain, "d_owner_type_id", "display_value");
        }
        g.SetColComboList(g.ColIndex("DOwnerTypeID"), ownerTypeComboList_);

        flexOwners->Call("SetColumnOption", {Variant("OwnerName"), Variant(true)});
        flexOwners->Let("ExtendLastCol", Variant(true));
    } catch (const std::exception& e) {
        Report("Error setting Owners Grid.", e);
    }
}

void ManagedAreaDetails::ShowPrimaryOwners() {
    VSFlexGrid& g = flexOwners->Grid();
    const long primary = g.ColIndex("PrimaryOwnerInd");
    const long idCol = g.ColIndex("ID");
    if (primary < 0 || idCol < 0 || !ma_) return;
    auto& owners = ma_->Children(bo::ChildList::Owners);
    for (long i = 1; i <= owners.Count(); ++i) {
        auto owner = owners.Item(i);
        Variant id = owner->GetProperty("ID");
        // A row still to be saved has no ID; its row is found by its key instead.
        long row = id.IsNull() || id.IsEmpty() ? g.FindRow(Variant(owner->UniqueID()), -1, -1)
                                               : g.FindRow(Variant(CStr(id)), -1, idCol);
        if (row <= 0) continue;
        Variant flag = owner->GetProperty("PrimaryOwnerInd");
        const bool yes = !flag.IsNull() && UCase(CStr(flag)) == "Y";
        g.SetTextMatrix(row, primary, yes ? "-1" : "0");
    }
}

void ManagedAreaDetails::SetupAliasGrid() {
    VSFlexGrid& g = flexMAAlias->Grid();
    RedrawOff drawing(g);
    try {
        PrepareGrid(g, 0);
        const std::string user = UserName();
        flexMAAlias->Call("SetCreateDefault", {Variant("RecCreateUser"), Variant(user)});
        flexMAAlias->Call("SetModifyDefault", {Variant("RecLastModUser"), Variant(user)});
        flexMAAlias->Call("BindCollection", {Variant(ChildListObject(bo::ChildList::Aliases)),
                                             Variant("ManagedAreaAlias,DisplayOrder")});
        flexMAAlias->Call("SetColumnOption", {Variant("ManagedAreaAlias"), Variant(true)});
        flexMAAlias->Call("SetVisibleColumns", {Variant("ManagedAreaAlias")});
    } catch (const std::exception& e) {
        Report("Error setting Managed Area Alias Grid.", e);
    }
}

void ManagedAreaDetails::SetupCountyGrid() {
    try {
        ctlCounty->Let("Caption", Variant("County Selection"));
        ctlCounty->Let("ServerName", Variant(ServerName()));
        ctlCounty->Let("ServerType", Variant(ServerType()));
        ctlCounty->Let("UserName", Variant(UserName()));
        ctlCounty->Let("AllowAddItems", Variant(false));
        ctlCounty->Let("ShowSelectedOnly", Variant(false));
        // The counties of the record's state are the ones to pick from.
        ctlCounty->Let("GroupColumn", Variant("d_state_id"));
        ctlCounty->Let("GroupValue", Variant(cboState->BoundText()));
        ctlCounty->Call("SetDomain",
                        {Variant("d_county"), Variant("d_county_id"), Variant("display_value")});
        ctlCounty->Call("BindCollection", {Variant(ChildListObject(bo::ChildList::Counties)),
                                           Variant("DCountyID"), Variant("CountyName")});
    } catch (const std::exception& e) {
        Report("Unable to Set County Grid.", e);
    }
}

void ManagedAreaDetails::SetupLocalJurisdictionGrid() {
    try {
        auto& grid = *ctlLocalJurisdiction;
        grid.Let("Caption", Variant("Local Jurisdiction Selection"));
        grid.Let("ServerName", Variant(ServerName()));
        grid.Let("ServerType", Variant(ServerType()));
        grid.Let("UserName", Variant(UserName()));
        grid.Let("AllowAddItems", Variant(true));
        grid.Let("ShowSelectedOnly", Variant(false));
        grid.Let("GroupColumn", Variant("d_state_id"));
        grid.Let("GroupValue", Variant(cboState->BoundText()));
        grid.Call("SetDomain", {Variant("d_local_jurisdiction"), Variant("d_local_jurisdiction_id"),
                                Variant("local_jurisdiction_desc")});
        grid.Call("SetNewItemClass",
                  {Variant("ZELK_ManagedAreaClient.CDLocalJuris"), Variant("LocalJurisdictionDesc"),
                   Variant("LOCAL_JURIS_DESC")});
        grid.Call("BindCollection", {Variant(ChildListObject(bo::ChildList::LocalJurisdictions)),
                                     Variant("DLocalJurisdictionID"), Variant("LocalJurisDesc")});
    } catch (const std::exception& e) {
        Report("Unable to Set Local Jurisdiction Grid.", e);
    }
}

void ManagedAreaDetails::SetupMapsheetGrid() {
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    try {
        ctlMapsheet->Let("AppManager", Variant(appManager_));
        ctlMapsheet->Let("AllowEdit", Variant(true));
        ctlMapsheet->Call("BindCollection", {Variant(ChildListObject(bo::ChildList::Mapsheets))});
    } catch (const std::exception& e) {
        Report("Error setting Mapsheet Grid.", e);
    }
    Screen::Instance().SetMousePointer(mouse::Default);
}

void ManagedAreaDetails::SetupTownRangeSectionGrid() {
    VSFlexGrid& g = flexTownRangeSection->Grid();
    RedrawOff drawing(g);
    try {
        flexTownRangeSection->Call("ClearGrid");
        SetupBindGrid(*flexTownRangeSection, bo::ChildList::TownRangeSections,
                      "TownRange,Section,Meridian,TRSNote,DisplayOrder",
                      "TownRange,Section,Meridian,TRSNote");
        Header(g, "TownRange", "Town Range", 1200);
        Header(g, "Section", "Section", 800);
        Header(g, "Meridian", "Meridian", 900);
        Header(g, "TRSNote", "Note", 100);
        g.SetColEditMask(g.ColIndex("Meridian"), ">aa;q;_");
        flexTownRangeSection->Let("ExtendLastCol", Variant(true));
    } catch (const std::exception& e) {
        Report("Error setting Town/Range/Section Grid.", e);
    }
}

void ManagedAreaDetails::SetupLegalGrid() {
    VSFlexGrid& g = flexLegal->Grid();
    RedrawOff drawing(g);
    try {
        SetupBindGrid(*flexLegal, bo::ChildList::LegalActs, "LegalDate,LegalAct,DisplayOrder",
                      "LegalDate,LegalAct");
        Header(g, "LegalDate", "Legal Date", 1300);
        Header(g, "LegalAct", "Legal Act", 100);
        flexLegal->Let("ExtendLastCol", Variant(true));
    } catch (const std::exception& e) {
        Report("Error setting Legal Act Grid.", e);
    }
}

void ManagedAreaDetails::SetupYearPlanBudgetGrid() {
    WireGridEvents();
    VSFlexGrid& g = flexYearPlanBudget->Grid();
    RedrawOff drawing(g);
    try {
        SetupBindGrid(*flexYearPlanBudget, bo::ChildList::YearBudgets,
                      "ManagedAreaMgmtYear,ManagedAreaMgmtBudget,ManagedAreaMgmtStaff,DisplayOrder",
                      "ManagedAreaMgmtYear,ManagedAreaMgmtBudget,ManagedAreaMgmtStaff");
        Header(g, "ManagedAreaMgmtYear", "Year", 1000);
        Header(g, "ManagedAreaMgmtBudget", "Budget", 1300);
        Header(g, "ManagedAreaMgmtStaff", "Staff", 100);
        g.SetColEditMask(g.ColIndex("ManagedAreaMgmtYear"), "9999");
        g.SetColFormat(g.ColIndex("ManagedAreaMgmtBudget"), "Currency");
        flexYearPlanBudget->Let("ExtendLastCol", Variant(true));
    } catch (const std::exception& e) {
        Report("Error setting Year/Plan/Budget Grid.", e);
    }
}

void ManagedAreaDetails::DeactivateBindGrids() {
    for (const ControlPtr& c : Controls()) {
        if (!c || c->TypeName() != "ctrlBindGrid") continue;
        try {
            c->Call("Deactivate");
        } catch (const std::exception&) {
            // Releasing what can be released is all that is asked here.
        }
    }
}

void ManagedAreaDetails::OwnersAfterEdit(long row, long /*col*/) {
    try {
        VSFlexGrid& g = flexOwners->Grid();
        const long primary = g.ColIndex("PrimaryOwnerInd");
        if (!ma_ || primary < 0 || row < g.FixedRows() || row >= g.Rows()) return;
        const Variant& key = g.RowData(row);
        if (key.IsEmpty() || key.IsNull()) return;
        // Cells emptied by a refresh of the rows say nothing about the flag: leave it alone.
        const std::string cell = g.TextMatrix(row, primary);
        if (cell.empty()) return;
        auto owner = ma_->Children(bo::ChildList::Owners).Find("UniqueID = " + Quoted(CStr(key)));
        if (!owner) return;
        owner->SetProperty("PrimaryOwnerInd", Variant(cell == "-1" ? "Y" : "N"));
    } catch (const std::exception& e) {
        Report("Unable to store the primary owner.", e);
    }
}

void ManagedAreaDetails::YearPlanBudgetValidateEdit(long /*row*/, long col, bool& cancel) {
    try {
        VSFlexGrid& g = flexYearPlanBudget->Grid();
        if (col < 0 || col >= g.Cols()) return;
        const std::string& key = g.ColKey(col);
        const std::string text = Trim(g.EditText());
        if (text.empty()) return;
        std::string code;
        if (IEquals(key, "ManagedAreaMgmtYear"))
            code = YearProblem(text);
        else if (IEquals(key, "ManagedAreaMgmtBudget"))
            code = BudgetProblem(text);
        if (code.empty()) return;
        cancel = true;
        CallHost(appManager_, "Message", {Variant(code)});
    } catch (const std::exception& e) {
        Report("Unable to check the Year/Plan/Budget entry.", e);
    }
}

} // namespace zelk::editor
