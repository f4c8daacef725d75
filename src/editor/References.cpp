// The reference and site lists: filled by the editor itself and kept in step with the record's
// reference and site collections, display order included.
#include "common/ErrorReport.h"
#include "common/GridProcedures.h"
#include "controls/ctrlBindGrid.h"
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

namespace {

void Report(const std::string& context, const std::exception& e) {
    if (auto* com = dynamic_cast<const ComError*>(&e)) return common::ReportError(context, *com);
    common::ReportError(context, e);
}

std::string CellText(const Variant& v) {
    return v.IsNull() || v.IsEmpty() ? std::string() : CStr(v);
}

void Require(const void* object, const char* what) {
    if (!object) Raise(err::ObjectNotSet, std::string("Object variable not set: ") + what);
}

void SetCell(VSFlexGrid& grid, long row, std::string_view key, std::string text) {
    long col = grid.ColIndex(key);
    if (col >= 0) grid.SetTextMatrix(row, col, std::move(text));
}

} // namespace

void ManagedAreaDetails::LoadReferencesGrid() {
    WireGridEvents();
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    VSFlexGrid& g = *flexReferences;
    g.SetRedraw(0);
    try {
        Require(ma_.get(), "record");
        const long count = ma_->Children(bo::ChildList::References).Count();
        g.SetRows(1);
        if (count >= 1) {
            const std::string sql =
                "SELECT managed_area_reference.reference_id, reference.reference_code, "
                "reference.full_citation "
                "FROM reference,managed_area_reference "
                "WHERE managed_area_reference.managed_area_id = " +
                std::to_string(currentId_) + " AND " +
                "reference.reference_id = managed_area_reference.reference_id " +
                "ORDER BY managed_area_reference.display_order, reference.reference_code";
            auto rs = HostQuery(appManager_, sql);
            if (rs->RecordCount() > 0) rs->MoveFirst();
            while (!rs->EOF()) {
                g.SetRows(g.Rows() + 1);
                const long row = g.Rows() - 1;
                SetCell(g, row, "ReferenceID", CellText(rs->Value("reference_id")));
                SetCell(g, row, "ReferenceCode", CellText(rs->Value("reference_code")));
                SetCell(g, row, "FullCitation", CellText(rs->Value("full_citation")));
                rs->MoveNext();
            }
            rs->Close();
        }
        SetCell(g, 0, "ReferenceID", "Reference ID");
        SetCell(g, 0, "ReferenceCode", "Reference Code");
        SetCell(g, 0, "FullCitation", "Full Citation");
    } catch (const std::exception& e) {
        g.SetRedraw(2);
        Screen::Instance().SetMousePointer(mouse::Default);
        Report("Error setting References Grid.", e);
        return;
    }
    g.SetRedraw(2);
    Screen::Instance().SetMousePointer(mouse::Default);
}

void ManagedAreaDetails::LoadSitesGrid() {
    WireGridEvents();
    try {
        Require(ma_.get(), "record");
        VSFlexGrid& g = *flexSites;
        SetCell(g, 0, "ConservationSiteID", "Site ID");
        SetCell(g, 0, "SiteName", "Site Name");
        g.SetRows(g.FixedRows());
        auto& sites = ma_->Children(bo::ChildList::Sites);
        for (long i = 1; i <= sites.Count(); ++i) {
            auto site = sites.Item(i);
            Variant id = site->GetProperty("ConservationSiteId");
            g.SetRows(g.Rows() + 1);
            const long row = g.Rows() - 1;
            g.SetRowData(row, id);
            SetCell(g, row, "ConservationSiteID", CellText(id));
            SetCell(g, row, "SiteName", CellText(site->GetProperty("SiteName")));
        }
    } catch (const std::exception& e) {
        Report("Error setting Sites Grid.", e);
    }
}

void ManagedAreaDetails::AddReferenceToList(long ReferenceID, const std::string& ReferenceCode,
                                            const std::string& FullCitation) {
    Require(ma_.get(), "record");
    const std::string id = std::to_string(ReferenceID);
    auto& refs = ma_->Children(bo::ChildList::References);
    if (refs.FindPosition("ReferenceID = " + id) <= 0) {
        refs.AddNew();
        const long count = refs.Count();
        auto item = refs.Item(count);
        const std::string user = UserName();
        item->SetProperty("ReferenceID", Variant(static_cast<int>(ReferenceID)));
        item->SetProperty("RecCreateUser", Variant(user));
        item->SetProperty("RecLastModUser", Variant(user));
        item->SetProperty("DisplayOrder", Variant(static_cast<int>(count)));
    }
    VSFlexGrid& g = *flexReferences;
    if (common::FindGridRow(g, id, "ReferenceID") < 0) {
        g.SetRows(g.Rows() + 1);
        const long row = g.Rows() - 1;
        g.SetRow(row);
        SetCell(g, row, "ReferenceID", id);
        SetCell(g, row, "ReferenceCode", ReferenceCode);
        SetCell(g, row, "FullCitation", FullCitation);
    }
}

void ManagedAreaDetails::ReferencesAfterSort() {
    try {
        // A reader may sort to look; the order only becomes the record's for an editor.
        if (!ma_ || readOnly_) return;
        VSFlexGrid& g = *flexReferences;
        const long col = g.ColIndex("ReferenceID");
        if (col < 0) return;
        auto& refs = ma_->Children(bo::ChildList::References);
        for (long row = g.FixedRows(); row < g.Rows(); ++row) {
            const std::string id = g.TextMatrix(row, col);
            // Only digits reach the criterion; a row without an ID names no reference.
            if (id.empty() || id.find_first_not_of("0123456789") != std::string::npos) continue;
            auto item = refs.Find("ReferenceID = '" + id + "'");
            if (item)
                item->SetProperty("DisplayOrder",
                                  Variant(static_cast<int>(row - g.FixedRows() + 1)));
        }
    } catch (const std::exception& e) {
        Report("Unable to store the order of the references.", e);
    }
}

void ManagedAreaDetails::SitesAfterSort() {
    try {
        if (!ma_ || readOnly_) return;
        common::StoreRowOrder(*flexSites, ma_->Children(bo::ChildList::Sites), "ConservationSiteID",
                              UserName());
    } catch (const std::exception& e) {
        Report("Unable to store the order of the sites.", e);
    }
}

void ManagedAreaDetails::ReferencesDblClick() {
    try {
        VSFlexGrid& g = *flexReferences;
        if (g.SelectedRows() < 1) return;
        const long view = FindViewIndex("REF");
        if (view < 0) return;
        const long col = g.ColIndex("ReferenceID");
        if (col < 0) return;
        const std::string id = g.TextMatrix(g.SelectedRow(0), col);
        if (id.empty()) return;
        Require(winMan_.get(), "window manager");
        winMan_->Call("OpenDetails",
                      {Variant(static_cast<int>(view)), Variant(static_cast<int>(view)),
                       Variant(CLng(Variant(id))), Variant("")});
    } catch (const std::exception& e) {
        Report("Unable to open the reference.", e);
    }
}

void ManagedAreaDetails::WireGridEvents() {
    if (gridEventsWired_) return;
    gridEventsWired_ = true;
    flexOwners->On("AfterEdit",
                   [this](Args& a) { OwnersAfterEdit(CLng(Arg(a, 0)), CLng(Arg(a, 1))); });
    flexYearPlanBudget->On("ValidateEdit", [this](Args& a) {
        bool cancel = a.size() > 2 && CBool(a[2]);
        YearPlanBudgetValidateEdit(CLng(Arg(a, 0)), CLng(Arg(a, 1)), cancel);
        if (a.size() > 2) a[2] = Variant(cancel);
    });
    flexReferences->On("AfterSort", [this](Args&) { ReferencesAfterSort(); });
    flexSites->On("AfterSort", [this](Args&) { SitesAfterSort(); });
    flexReferences->On("DblClick", [this](Args&) { ReferencesDblClick(); });
}

} // namespace zelk::editor
