// Criteria to SQL, and the search run that fills the results.
#include "search/ManagedAreaSearch.h"

#include "common/RS_Functions.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"
#include "search/SearchProgress.h"

#include <cctype>

namespace zelk::search {

namespace {

std::string EscapeQuotes(const std::string& text) {
    return QuoteEscape(text);
}

// A whole number that fits a record ID. The text goes into the statement as typed, so nothing
// but blanks around an optionally signed run of digits may pass.
bool IsRecordId(const std::string& text) {
    std::string t = Trim(text);
    std::size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
    if (i == t.size()) return false;
    for (std::size_t k = i; k < t.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(t[k]))) return false;
    return ParseNumber(t).has_value() && *ParseNumber(t) >= -2147483648.0 &&
           *ParseNumber(t) <= 2147483647.0;
}

// Appends a condition, joined to what is there with AND.
void AndTo(std::string& s, const std::string& part) {
    if (!s.empty()) s += " AND ";
    s += part;
}

} // namespace

std::string ManagedAreaSearch::BuildComparison(const std::string& column, const std::string& value,
                                               int code) {
    const std::string v = UCase(EscapeQuotes(value));
    const std::string c = "UPPER(" + column + ")";
    switch (code) {
    case Contains:
        return c + " LIKE '%" + v + "%'";
    case ExactMatch:
        return c + " = '" + v + "'";
    case BeginsWith:
        return c + " LIKE '" + v + "%'";
    case EndsWith:
        return c + " LIKE '%" + v + "'";
    case Wildcard:
        return c + " LIKE '" + v + "'";
    default:
        Raise(err::InvalidProcedureCall, "Unknown comparison " + std::to_string(code));
    }
}

bool ManagedAreaSearch::Filled(const TextBox& box) {
    return !Trim(box.Text()).empty();
}

bool ManagedAreaSearch::HasCriteria() const {
    for (const Criterion& c : Criteria())
        if (Filled(*c.text)) return true;
    return false;
}

std::string ManagedAreaSearch::BuildSearchSQL() {
    if (Filled(*txtManagedAreaID_)) {
        const std::string& id = txtManagedAreaID_->Text();
        if (!IsRecordId(id)) {
            App("Message", {Variant("MGA024")});
            tab_->SetActiveTab(0);
            try {
                txtManagedAreaID_->SetFocus();
            } catch (const ComError&) {
                // Not on show (no window yet): the selection below still marks the text.
            }
            txtManagedAreaID_->SetSelStart(0);
            txtManagedAreaID_->SetSelLength(Len(id));
            return "";
        }
        return "select * from managed_area_wl_vw where id = " + id;
    }
    if (Filled(*txtManagedAreaCodeBCD_))
        return "Select managed_area_wl_vw.* from managed_area_wl_vw where " +
               BuildComparison("managed_area_wl_vw.macode", txtManagedAreaCodeBCD_->Text(),
                               ExactMatch);

    std::string w, j, f;
    if (Filled(*txtManagedAreaName_)) {
        const std::string& text = txtManagedAreaName_->Text();
        const int code = cboMANameComparison_->ListIndex();
        const bool both = optMABoth_->Value();
        if (optMAName_->Value() || both)
            w += BuildComparison("managed_area_wl_vw.managed_area_name", text, code);
        if (both) w = "(" + w + " OR ";
        if (optMAAlias_->Value() || both) {
            w += BuildComparison("managed_area_alias.managed_area_alias", text, code);
            if (both) w += ")";
            AndTo(j, "managed_area_wl_vw.id = managed_area_alias.managed_area_id(+)");
            f += ", managed_area_alias";
        }
    }
    if (Filled(*txtManagedAreaType_))
        AndTo(w, BuildComparison("managed_area_wl_vw.managed_area_type",
                                 txtManagedAreaType_->Text(), cboMATypeComparison_->ListIndex()));
    struct Joined {
        TextBox* text;
        ComboBox* cbo;
        const char* column;
        const char* joins;
        const char* tables;
    };
    const Joined joined[] = {
        {txtMapsheetCode_.get(), cboMapsheetCodeComparison_.get(), "d_mapsheet.mapsheet_cd",
         "managed_area_wl_vw.id = managed_area_mapsheet.managed_area_id(+) AND "
         "managed_area_mapsheet.D_MAPSHEET_ID = d_mapsheet.D_MAPSHEET_ID(+)",
         ", managed_area_mapsheet, d_mapsheet"},
        {txtCountyName_.get(), cboCountyNameComparison_.get(), "d_county.county_name",
         "managed_area_wl_vw.id = managed_area_county.managed_area_id(+) AND "
         "managed_area_county.D_COUNTY_ID = d_county.D_COUNTY_ID(+)",
         ", managed_area_county, d_county"},
        {txtLocalJurisdiction_.get(), cboLocalJurisComparison_.get(),
         "d_local_jurisdiction.local_jurisdiction_desc",
         "managed_area_wl_vw.id = managed_area_local_juris.managed_area_id(+) AND "
         "managed_area_local_juris.D_LOCAL_JURISDICTION_ID = "
         "d_local_jurisdiction.D_LOCAL_JURISDICTION_ID(+)",
         ", managed_area_local_juris, d_local_jurisdiction"},
        {txtSiteName_.get(), cboSiteNameComparison_.get(), "conservation_site.site_name",
         "managed_area_wl_vw.id = managed_area_site.managed_area_id(+) AND "
         "managed_area_site.conservation_site_id = conservation_site.conservation_site_id(+)",
         ", managed_area_site, conservation_site"},
    };
    for (const Joined& c : joined) {
        if (!Filled(*c.text)) continue;
        AndTo(w, BuildComparison(c.column, c.text->Text(), c.cbo->ListIndex()));
        AndTo(j, c.joins);
        f += c.tables;
    }
    if (Filled(*txtStateCode_)) {
        AndTo(w, "managed_area_wl_vw.state = '" + UCase(EscapeQuotes(txtStateCode_->Text())) + "'");
    } else if (Filled(*txtStateName_)) {
        f += ", ma, d_state";
        AndTo(j, "managed_area_wl_vw.id = ma.managed_area_id and ma.d_state_id = "
                 "d_state.d_state_id (+)");
        AndTo(w, BuildComparison("d_state.state_name", txtStateName_->Text(),
                                 cboStateComparison_->ListIndex()));
    }

    if (w.empty()) return "SELECT UNIQUE * FROM managed_area_wl_vw ORDER BY managed_area_wl_vw.id";
    std::string sql = "SELECT UNIQUE managed_area_wl_vw.* FROM managed_area_wl_vw" + f + " WHERE ";
    if (!j.empty()) sql += "(" + j + ") AND ";
    return sql + "(" + w + ") order by managed_area_wl_vw.id";
}

void ManagedAreaSearch::FindNow() {
    if (!HasCriteria() && CLng(App("Message", {Variant("APP043")})) == vb::No) return;

    Screen::Instance().SetMousePointer(mouse::Hourglass);
    // What the person sees now, put back exactly when they stop the search.
    const ResultsView before = SaveResultsView();
    UnbindResults();
    // The previous results stay until the new ones are in (a stopped search shows them
    // again); the grid's text of them must not stay as well, or a large search needs room
    // for three copies at once.
    flexResults_->ReleaseSpareRows();
    lblRecordsReturnedCount_->SetCaption("Searching...");
    DoEvents();

    RecordsetPtr server;
    try {
        const std::string sql = BuildSearchSQL();
        if (sql.empty()) {
            BindResults(); // nothing ran: the previous results stand
            Screen::Instance().SetMousePointer(mouse::Default);
            return;
        }
        Variant answer;
        {
            SearchProgress progress;
            FetchProgress::Scope watch([&progress](long rows) { return progress.Report(rows); });
            answer = App("CallGetQueryRSXML", {Variant(sql)});
        }
        server = answer.IsObject() ? std::dynamic_pointer_cast<Recordset>(answer.Obj()) : nullptr;
        if (!server) Raise(err::ObjectNotSet, "The query service returned no recordset");
        answer = Variant();
        // The server's answer is closed below: its records move rather than being copied.
        RecordsetPtr copy;
        MoveToDetachedRecordset(*server, copy);
        mrsResults = copy;
        BindResults();
        if (mrsResults->RecordCount() < 1) {
            cmdOK_->SetEnabled(false);
        } else {
            MakeCurrentRow(flexResults_->FixedRows());
        }
    } catch (const ComError& e) {
        // The person stopped it: nothing to report, and nothing of the search stays.
        if (e.Number() != err::OperationCancelled)
            Ui().MsgBox("Error: " + e.Description(), vb::OKOnly, "");
        BindResults(); // a failed or stopped query leaves the previous results in place
        RestoreResultsView(before);
    }
    Screen::Instance().SetMousePointer(mouse::Default);
    try {
        if (server && server->State() == ad::StateOpen) server->Close();
    } catch (const ComError&) {
        // Closing the server's answer is a courtesy; nothing depends on it.
    }
}

} // namespace zelk::search
