// Showing an element collection that was rebuilt under the grid: merged with another user's
// save, or carried over into a new record. The grid reads its rows from the database, which no
// longer says what the record holds; the collection does.
#include "elementgrid/ElementColumns.h"
#include "elementgrid/MA_ElementGrid.h"

#include "platform/Conv.h"

namespace zelk::elementgrid {

namespace {

std::string Shown(const Variant& v) {
    return v.IsNull() || v.IsEmpty() ? std::string() : CStr(v);
}

// The stored fields a row shows, by property and column; the order a row has is its place.
constexpr std::pair<const char*, const char*> kStored[] = {
    {"ElementGlobalId", "element_global_id"},
    {"ElementNationalId", "element_national_id"},
    {"ElementSubnationalId", "element_subnational_id"},
    {"ReferenceId", "reference_id"},
    {"DOriginId", "d_origin_id"},
    {"DRegularityId", "d_regularity_id"},
    {"DDistConfidenceId", "d_dist_confidence_id"},
    {"DCurrPresenceAbsenceId", "d_curr_presence_absence_id"},
    {"DPopulationId", "d_population_id"},
    {"StatusInMa", "status_in_ma"},
    {"MaDistributionCom", "ma_distribution_com"},
};

} // namespace

void MA_ElementGrid::HoldRows(bool everyRow) {
    held_.clear();
    holding_ = elements_ != nullptr;
    if (!elements_) return;
    const VSFlexGrid& g = *flexElement_;
    for (long r = FirstDataRow(); r < BlankRow(); ++r) {
        HeldRow h;
        for (long c = 0; c < g.Cols(); ++c)
            h.cells.push_back(g.TextMatrix(r, c));
        h.id = Cell(r, "element_managed_area_id");
        if (auto n = ParseNumber(h.id); n && RowState(r) != rowstate::New)
            h.element = elements_->Find("ID = " + std::to_string(CLng(Variant(*n))));
        if (!h.element) h.element = FindNewRowElement(r);
        if (everyRow && !h.element && !Cell(r, "geo_level").empty()) {
            h.element = NewElementObject();
            h.element->MarkNew(true);
            for (auto [property, key] : kStored)
                h.element->SetProperty(property, Variant(Cell(r, key)));
            h.element->SetProperty("DisplayOrder", Variant(Cell(r, "display_order")));
            h.element->SetProperty("RecCreateUser", Variant(UserName()));
            elements_->Add(h.element);
        }
        held_.push_back(std::move(h));
    }
}

// Writes the element's stored values into the row; the names of a reference the database row
// does not have come from the row as it was on screen.
void MA_ElementGrid::ShowElementOfRow(long row, bo::IChildObject& e) {
    bool changed = false;
    const std::string reference = Cell(row, "reference_id");
    for (auto [property, key] : kStored) {
        const std::string value = Shown(e.GetProperty(property));
        if (Cell(row, key) == value) continue;
        SetCell(row, key, value);
        changed = true;
    }
    if (Cell(row, "reference_id") != reference) {
        SetCell(row, "reference_code", "");
        SetCell(row, "full_citation", "");
        for (const auto& h : held_) {
            if (h.element.get() != &e) continue;
            if (h.cells[static_cast<std::size_t>(Col("reference_id"))] != Cell(row, "reference_id"))
                break;
            for (const char* key : {"reference_code", "full_citation"})
                SetCell(row, key, h.cells[static_cast<std::size_t>(Col(key))]);
        }
    }
    if (changed) SetRowState(row, rowstate::Modified);
}

void MA_ElementGrid::ShowHeldRows() {
    holding_ = false;
    VSFlexGrid& g = *flexElement_;
    std::vector<bool> used(held_.size(), false);
    auto take = [&](const bo::ChildPtr& e, const std::string& id) -> const HeldRow* {
        for (std::size_t i = 0; i < held_.size(); ++i)
            if (!used[i] && e && held_[i].element == e) return used[i] = true, &held_[i];
        for (std::size_t i = 0; i < held_.size(); ++i)
            if (!used[i] && !id.empty() && held_[i].id == id) return used[i] = true, &held_[i];
        return nullptr;
    };
    // The database's rows: as the collection has them now, or gone with it.
    for (long r = g.Rows() - 1; r >= g.FixedRows(); --r) {
        const std::string id = Cell(r, "element_managed_area_id");
        auto n = ParseNumber(id);
        bo::ChildPtr e = n ? elements_->Find("ID = " + std::to_string(CLng(Variant(*n)))) : nullptr;
        if (!e || e->IsNew()) {
            g.RemoveItem(r);
            removed_ = true;
            continue;
        }
        take(e, id);
        ShowElementOfRow(r, *e);
    }
    // Elements the database does not have yet, as they were on screen.
    for (long pos = 1; pos <= elements_->Count(); ++pos) {
        bo::ChildPtr e = elements_->Item(pos);
        if (!e->IsNew()) continue;
        const HeldRow* h = take(e, Shown(e->GetProperty("ID")));
        const long row = g.AddItem("");
        if (h)
            for (long c = 0; c < g.Cols(); ++c)
                g.SetTextMatrix(row, c, h->cells[static_cast<std::size_t>(c)]);
        // Whatever it was before, the row's record is to be inserted.
        SetCell(row, "element_managed_area_id", "");
        for (auto [property, key] : kStored)
            SetCell(row, key, Shown(e->GetProperty(property)));
        if (Cell(row, "geo_level").empty()) {
            for (auto [level, key] : {std::pair{"Subnational", "element_subnational_id"},
                                      std::pair{"National", "element_national_id"},
                                      std::pair{"Global", "element_global_id"}}) {
                if (Cell(row, key).empty()) continue;
                SetCell(row, "geo_level", level);
                SetCell(row, "element_id", Cell(row, key));
                break;
            }
        }
        SetRowState(row, rowstate::New);
    }
    held_.clear();
}

} // namespace zelk::elementgrid
