// Selecting linked records: equivalent site, major managed area, references and sites.
#include "common/GridProcedures.h"
#include "editor/EventSupport.h"
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "search/frmModalSearch.h"
#include "zelk/ManagedAreaDetails.h"

#include <algorithm>
#include <vector>

namespace zelk::editor {

namespace {
constexpr const char* kSiteSearch = "ZELK_Site.SiteSearch";
constexpr const char* kManagedAreaSearch = "ZELK_ManagedArea.ManagedAreaSearch";
constexpr const char* kReferenceSearch = "ZELK_Reference.ReferenceSearch";

// Puts the pointer back however a pick ends.
struct PointerBack {
    ~PointerBack() { Screen::Instance().SetMousePointer(mouse::Default); }
};

bool HasRows(const RecordsetPtr& rs) {
    return rs && rs->RecordCount() > 0;
}

} // namespace

std::string ManagedAreaDetails::HostWindowCaption() {
    Form* host = TopForm();
    return host && host != this ? host->Caption() : std::string();
}

Variant ManagedAreaDetails::HostMessage(const std::string& code) {
    return CallHost(appManager_, "Message", {Variant(code)});
}

RecordsetPtr ManagedAreaDetails::PickRecords(const std::string& progId, RecordsetPtr prototype,
                                             const std::string& captionPrefix, bool single) {
    auto dlg = std::make_shared<search::frmModalSearch>();
    struct UnloadAtEnd {
        search::frmModalSearch& d;
        ~UnloadAtEnd() { d.Unload(); }
    } unload{*dlg};
    dlg->SetIcon(HostIcon());
    const std::string caption = captionPrefix + HostWindowCaption();
    // A failed start has told the user why; the recordset then stays empty.
    dlg->InitDialog(progId, appManager_, prototype, "");
    if (!dlg->HostedControl()) return prototype;
    // After the set-up, in which the hosted search names the window after itself.
    dlg->SetCaption(caption);
    dlg->UseSelectedRecordset(true);
    if (single) dlg->SetSingleSelect();
    Screen::Instance().SetMousePointer(mouse::Default);
    dlg->Show(true);
    return prototype;
}

void ManagedAreaDetails::SelectEquiSite() {
    if (!ma_) return;
    RecordsetPtr rs =
        PickRecords(kSiteSearch, HostQuery(appManager_, "Select * from site_wl_vw where 1=0"),
                    "Contact Search - ", true);
    if (!HasRows(rs)) return;
    rs->MoveFirst();
    ma_->SetProperty("EquiSiteId", rs->Value("ID"));
    ma_->SetProperty("EquiSiteName", rs->Value("site_name"));
    txtEquiSiteID->SetText(TextOf(ma_->GetProperty("EquiSiteId")));
    txtEquiSiteName->SetText(TextOf(ma_->GetProperty("EquiSiteName")));
}

void ManagedAreaDetails::ClearEquiSite() {
    if (!ma_) return;
    ma_->SetProperty("EquiSiteId", Variant(std::string()));
    txtEquiSiteID->SetText("");
    txtEquiSiteName->SetText("");
}

void ManagedAreaDetails::SelectMajorMA() {
    if (!ma_) return;
    RecordsetPtr rs = PickRecords(
        kManagedAreaSearch, HostQuery(appManager_, "select * from MANAGED_AREA_WL_VW WHERE 1=0"),
        "Managed Area Search - ", true);
    // One managed area contains this one; a longer answer is no choice.
    if (!rs || rs->RecordCount() != 1) return;
    rs->MoveFirst();
    long id = CLng(rs->Value("ID"));
    if (id == currentId_) {
        HostMessage("MGA002");
        return;
    }
    ma_->SetProperty("MajorMaId", Variant(static_cast<int>(id)));
    txtMajorMAID->SetText(std::to_string(id));
    txtMajorMAName->SetText(TextOf(rs->Value("MANAGED_AREA_NAME")));
}

void ManagedAreaDetails::ClearMajorMA() {
    if (!ma_) return;
    ma_->SetProperty("MajorMaId", Variant(std::string()));
    txtMajorMAID->SetText("");
    txtMajorMAName->SetText("");
}

void ManagedAreaDetails::SelectReferences() {
    if (!ma_) return;
    PointerBack back;
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    RecordsetPtr rs = PickRecords(kReferenceSearch,
                                  HostQuery(appManager_, "select * from REFERENCE_WL_VW WHERE 1=0"),
                                  "Reference Search - ", false);
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    if (!HasRows(rs)) return;
    for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext())
        AddReferenceToList(CLng(rs->Value("ID")), TextOf(rs->Value("REFERENCE_CODE")),
                           TextOf(rs->Value("FULL_CITATION")));
}

void ManagedAreaDetails::SelectSites() {
    if (!ma_) return;
    PointerBack back;
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    ObjectPtr proto = RequireObject(
        CallHost(appManager_, "GetPrototypeRSForView", {Variant(std::string("SIT"))}));
    auto rsProto = std::dynamic_pointer_cast<Recordset>(proto);
    if (!rsProto) Raise(13, "Type mismatch: the prototype is no recordset");
    RecordsetPtr rs = PickRecords(kSiteSearch, rsProto, "Contact Search - ", false);
    if (!HasRows(rs)) return;
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    bo::IChildCollection& sites = ma_->Children(bo::ChildList::Sites);
    const std::string user = UserName();
    for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext()) {
        const std::string id = TextOf(rs->Value("ID"));
        if (sites.FindPosition("ConservationSiteId = " + id) > 0) continue;
        sites.AddNew();
        bo::ChildPtr site = sites.Item(sites.Count());
        site->SetProperty("ConservationSiteId", rs->Value("ID"));
        site->SetProperty("SiteName", rs->Value("SITE_NAME"));
        site->SetProperty("RecCreateUser", Variant(user));
        site->SetProperty("RecLastModUser", Variant(user));
        const long row = flexSites->Rows();
        flexSites->SetRows(row + 1);
        flexSites->SetRowData(row, site->GetProperty("ConservationSiteId"));
        flexSites->SetTextMatrix(row, flexSites->ColIndex("ConservationSiteID"),
                                 TextOf(site->GetProperty("ConservationSiteId")));
        flexSites->SetTextMatrix(row, flexSites->ColIndex("SiteName"),
                                 TextOf(site->GetProperty("SiteName")));
    }
    common::StoreRowOrder(*flexSites, sites, "ConservationSiteID", user);
}

void ManagedAreaDetails::RemoveSites() {
    if (!ma_ || flexSites->SelectedRows() < 1) return;
    // Rows go from the last selected up, so the positions of the others stay valid.
    std::vector<long> rows;
    for (long i = 0; i < flexSites->SelectedRows(); ++i)
        rows.push_back(flexSites->SelectedRow(i));
    std::sort(rows.begin(), rows.end());
    bo::IChildCollection& sites = ma_->Children(bo::ChildList::Sites);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) { // NOLINT(modernize-loop-convert)
        const std::string id = TextOf(flexSites->RowData(*it));
        long pos = id.empty() ? 0 : sites.FindPosition("ConservationSiteId = " + id);
        if (pos > 0) {
            sites.Remove(pos);
            modified_ = true;
        }
        flexSites->RemoveItem(*it);
    }
}

void ManagedAreaDetails::RemoveReferences() {
    if (!ma_) return;
    bo::IChildCollection& refs = ma_->Children(bo::ChildList::References);
    // The record's reference items know their reference by ID only (the code is the reference
    // module's), so the row's hidden ID column finds the item; a code could even be shared.
    const long idCol = flexReferences->ColIndex("ReferenceID");
    // The selection is taken first: removing a row moves the grid's current row, which would
    // otherwise count as selected in turn.
    std::vector<long> rows;
    for (long row = flexReferences->Rows() - 1; row >= flexReferences->FixedRows(); --row)
        if (flexReferences->IsSelected(row)) rows.push_back(row);
    for (long row : rows) {
        const std::string id = flexReferences->TextMatrix(row, idCol);
        long pos = IsNumeric(Variant(id)) ? refs.FindPosition("ReferenceID = " + id) : 0;
        if (pos > 0) refs.Remove(pos);
        flexReferences->RemoveItem(row);
        modified_ = true;
    }
}

void ManagedAreaDetails::WireLinkEvents() {
    auto on = [](CommandButton* b, const char* context, auto f) {
        b->On("Click", Guarded(context, [f](Args&) { f(); }));
    };
    on(cmdSelectEquiSite, "An error occurred while selecting the equivalent site.",
       [this] { SelectEquiSite(); });
    on(cmdClearEquiSite, "An error occurred while clearing the equivalent site.",
       [this] { ClearEquiSite(); });
    on(cmdSelectMajorMAID, "An error occurred while selecting the major managed area.",
       [this] { SelectMajorMA(); });
    on(cmdClearMajorMAID, "An error occurred while clearing the major managed area.",
       [this] { ClearMajorMA(); });
    on(cmdSelectSites, "An error occurred while adding sites.", [this] { SelectSites(); });
    on(cmdRemoveSite, "An error occurred while removing sites.", [this] { RemoveSites(); });
    on(cmdSelectReferences, "An error occurred while adding references.",
       [this] { SelectReferences(); });
    on(cmdRemoveReferenceCode, "An error occurred while removing references.",
       [this] { RemoveReferences(); });
}

} // namespace zelk::editor
