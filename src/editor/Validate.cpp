// The record-level checks before a save: uniqueness, coordinates and the child grids.
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

namespace {
std::string Quoted(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

bool Valid(Control* c, std::string_view member = "IsValid") {
    return CBool(c->Call(member));
}
} // namespace

std::string ManagedAreaDetails::OtherRecordWith(std::string_view column, std::string_view value) {
    std::string sql = std::string("Select ma.managed_area_id as ID from MA ") + "where ma." +
                      std::string(column) + " = '" + Quoted(value) + "' " +
                      "and ma.managed_area_id <> " + std::to_string(currentId_);
    RecordsetPtr rs = HostQuery(appManager_, sql);
    std::string id = rs->EOF() ? std::string() : TextOf(rs->Value("ID"));
    rs->Close();
    return id;
}

bool ManagedAreaDetails::CoordinateAccepted(TextBox* box) {
    struct Rule {
        TextBox* box;
        const char* label;
        int width;
        const char* letters;
    };
    const Rule rules[] = {
        {txtNorth, "Latitude North", 7, "NS"}, {txtSouth, "Latitude South", 7, "NS"},
        {txtEast, "Longitude East", 8, "EW"},  {txtWest, "Longitude West", 8, "EW"},
        {txtLongitude, "Longitude", 8, "EW"},  {txtLatitude, "Latitude", 7, "NS"}};
    for (const Rule& r : rules)
        if (r.box == box)
            return CBool(CallHost(appManager_, "ValidateCoord",
                                  {Variant(box->Text()), Variant(std::string(r.label)),
                                   Variant(r.width), Variant(std::string(r.letters))}));
    return true;
}

bool ManagedAreaDetails::ValidateRecord() {
    std::string other = OtherRecordWith("equi_site_id", TextOf(ma_->GetProperty("EquiSiteId")));
    if (!other.empty()) {
        DisplayMessage("MGA011", {Variant(other)});
        return false;
    }
    if (filled_[PageIdentifiers] && !(Valid(flexMAAlias) && Valid(flexOwners))) return false;
    if (filled_[PageLocators]) {
        for (TextBox* box : {txtNorth, txtSouth, txtEast, txtWest, txtLongitude, txtLatitude}) {
            if (CoordinateAccepted(box)) continue;
            tabManagedAreas->SetActiveTab(PageLocators);
            try {
                box->SetFocus();
            } catch (const ComError&) {
                // A window not on show cannot take the focus; the page still shows the box.
            }
            return false;
        }
        if (!Valid(flexTownRangeSection)) return false;
    }
    if (filled_[PageLegalProtection] && !Valid(flexLegal)) return false;
    if (filled_[PageManagement] && !Valid(flexYearPlanBudget)) return false;
    if (filled_[PageElements] && ctlElement->HasMember("IsValid") && !Valid(ctlElement))
        return false;
    other = OtherRecordWith("macode_bcd", TextOf(ma_->GetProperty("MACodeBcd")));
    if (other.empty()) return true;
    DisplayMessage("MGA012", {Variant(other)});
    return false;
}

} // namespace zelk::editor
