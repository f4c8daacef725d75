// Handing the grid's changes to the record: the checks before a save, the copy into the
// element collection and the display order written after it.
#include "elementgrid/ElementQuery.h"
#include "elementgrid/MA_ElementGrid.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/UiDriver.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace zelk::elementgrid {

namespace {

// The criterion finding an element by one of its numeric fields; empty when the text is no
// number, so a cell never becomes part of a criterion as it stands.
std::string Criterion(std::string_view property, const std::string& idText) {
    auto n = ParseNumber(idText);
    if (!n) return {};
    return std::string(property) + " = " + std::to_string(CLng(Variant(*n)));
}

// The level column and element property a level name stands for.
struct LevelField {
    const char* column;
    const char* property;
};
const LevelField* LevelOf(const std::string& level) {
    static const LevelField global{"element_global_id", "ElementGlobalId"};
    static const LevelField national{"element_national_id", "ElementNationalId"};
    static const LevelField sub{"element_subnational_id", "ElementSubnationalId"};
    const std::string l = LCase(level);
    if (l == "global") return &global;
    if (l == "national") return &national;
    if (l == "subnational") return &sub;
    return nullptr;
}

} // namespace

bool MA_ElementGrid::IsModified() {
    if (removed_ || orderChanged_) return true;
    CommitDetailPanel();
    for (long r = FirstDataRow(); r < BlankRow(); ++r)
        if (RowState(r) != rowstate::Unchanged) return true;
    return false;
}

bool MA_ElementGrid::IsValid() {
    VSFlexGrid& g = *flexElement_;
    g.SetRedraw(0);
    bool valid = true;
    try {
        for (long r = FirstDataRow(); r < BlankRow(); ++r) {
            std::string levelId;
            for (const char* key :
                 {"element_global_id", "element_national_id", "element_subnational_id"}) {
                std::string t = Cell(r, key);
                if (IsNumeric(Variant(t))) {
                    levelId = std::move(t);
                    break;
                }
            }
            if (levelId.empty()) {
                App("Message", {Variant("MGA023")});
                g.SetRow(r);
                valid = false;
                break;
            }
            CLng(Variant(levelId));
        }
    } catch (const ComError& e) {
        Ui().MsgBox("An error occurred while validating the Elements Tab: " + e.Description(),
                    vb::Exclamation, "Managed Area");
        valid = false;
    }
    g.SetRedraw(2);
    return valid;
}

bo::ChildPtr MA_ElementGrid::NewElementObject() {
    ObjectPtr o = CreateObject("ZELK_ManagedAreaClient.CElement");
    auto e = std::dynamic_pointer_cast<bo::IChildObject>(o);
    if (!e) Raise(err::TypeMismatch, "ZELK_ManagedAreaClient.CElement is not an element");
    e->Connect(CStr(App("GetServerName")), CLng(App("GetServerType")));
    return e;
}

bo::ChildPtr MA_ElementGrid::LoadElementObject(const std::string& id) {
    bo::ChildPtr e = NewElementObject();
    e->Load(id);
    return e;
}

bo::ChildPtr MA_ElementGrid::FindNewRowElement(long row) const {
    const LevelField* level = LevelOf(Cell(row, "geo_level"));
    if (!level) return nullptr;
    std::string c = Criterion(level->property, Cell(row, level->column));
    return c.empty() ? nullptr : elements_->Find(c);
}

void MA_ElementGrid::StoreRowToElement(long row, bo::IChildObject& e) {
    static const std::pair<const char*, const char*> fields[] = {
        {"ReferenceId", "reference_id"},
        {"DOriginId", "d_origin_id"},
        {"DRegularityId", "d_regularity_id"},
        {"DDistConfidenceId", "d_dist_confidence_id"},
        {"DCurrPresenceAbsenceId", "d_curr_presence_absence_id"},
        {"DPopulationId", "d_population_id"},
        {"StatusInMa", "status_in_ma"},
        {"MaDistributionCom", "ma_distribution_com"},
        {"DisplayOrder", "display_order"},
    };
    for (auto [property, key] : fields)
        e.SetProperty(property, Variant(Cell(row, key)));
}

bool MA_ElementGrid::StoreToCollection() {
    if (!elements_) Raise(err::ObjectNotSet, "The element grid has not been initialised");
    const std::string user = UserName();
    std::vector<bo::ChildPtr> newOnes;
    for (long r = FirstDataRow(); r < BlankRow(); ++r) {
        const int state = RowState(r);
        if (state == rowstate::Unchanged) continue;
        if (state == rowstate::Modified) {
            const std::string id = Cell(r, "element_managed_area_id");
            const std::string c = Criterion("ID", id);
            if (c.empty()) Raise(err::TypeMismatch, "A changed element has no record ID: " + id);
            bo::ChildPtr e = elements_->Find(c);
            // A row whose record another user deleted was kept as a new element by an earlier
            // store; it is found by its element.
            if (!e) e = FindNewRowElement(r);
            if (!e) {
                try {
                    e = LoadElementObject(id);
                } catch (const ComError& gone) {
                    if (gone.Number() != err::NoCurrentRecord) throw;
                    // Another user deleted the row: the user's edit of it goes in again, as a
                    // new row (the save is refused and merged first, the record having changed).
                    e = NewElementObject();
                    e->MarkNew(true);
                    e->SetProperty("ManagedAreaId", Variant(static_cast<int>(managedAreaId_)));
                    e->SetProperty("RecCreateUser", Variant(user));
                }
                elements_->Add(e);
            }
            if (e->IsNew()) newOnes.push_back(e);
            // The row may have been given another element.
            e->SetProperty("ElementGlobalId", Variant(Cell(r, "element_global_id")));
            e->SetProperty("ElementNationalId", Variant(Cell(r, "element_national_id")));
            e->SetProperty("ElementSubnationalId", Variant(Cell(r, "element_subnational_id")));
            StoreRowToElement(r, *e);
            e->SetProperty("RecLastModUser", Variant(user));
            continue;
        }
        // A row without an element would insert a record that names none.
        if (!LevelOf(Cell(r, "geo_level"))) continue;
        bo::ChildPtr e = FindNewRowElement(r);
        if (!e) {
            e = NewElementObject();
            e->MarkNew(true);
            elements_->Add(e);
        }
        e->SetProperty("ElementGlobalId", Variant(Cell(r, "element_global_id")));
        e->SetProperty("ElementNationalId", Variant(Cell(r, "element_national_id")));
        e->SetProperty("ElementSubnationalId", Variant(Cell(r, "element_subnational_id")));
        e->SetProperty("ManagedAreaId", Variant(static_cast<int>(managedAreaId_)));
        StoreRowToElement(r, *e);
        e->SetProperty("RecCreateUser", Variant(user));
        newOnes.push_back(e);
    }
    // New elements an earlier store added for rows since removed or given another element
    // are forgotten; they were never saved, so there is nothing to delete.
    for (long pos = elements_->Count(); pos >= 1; --pos) {
        bo::ChildPtr e = elements_->Item(pos);
        if (e->IsNew() && std::find(newOnes.begin(), newOnes.end(), e) == newOnes.end())
            elements_->Drop(pos);
    }
    return true;
}

long MA_ElementGrid::RecordIdOfRow(long row) {
    if (RowState(row) != rowstate::New) {
        auto n = ParseNumber(Cell(row, "element_managed_area_id"));
        return n ? CLng(Variant(*n)) : 0;
    }
    // The row's own level, as the element was stored under it; the host is asked only for a
    // row that has none.
    std::string level = Cell(row, "geo_level");
    const std::string elementId = Cell(row, "element_id");
    if (!LevelOf(level) && IsNumeric(Variant(elementId)))
        level = CStr(App("GetElementGeoLevel", {Variant(CLng(Variant(elementId)))}));
    const LevelField* l = LevelOf(level);
    if (!l) return 0;
    std::string c = Criterion(l->property, Cell(row, l->column));
    if (c.empty()) c = Criterion(l->property, elementId);
    bo::ChildPtr e = c.empty() ? nullptr : elements_->Find(c);
    if (!e) return 0;
    Variant id = e->GetProperty("ID");
    if (!IsNumeric(id)) return 0;
    const long recordId = CLng(id);
    if (recordId >= 1) SetCell(row, "element_managed_area_id", std::to_string(recordId));
    return recordId;
}

void MA_ElementGrid::WriteDisplayOrder(long position, long recordId) {
    App("executesql", {Variant(BuildDisplayOrderUpdate(position, UserName(), recordId))});
}

void MA_ElementGrid::EmptyCollection() {
    for (long pos = elements_->Count(); pos >= 1; --pos) {
        try {
            elements_->Drop(pos);
        } catch (const ComError&) {
        }
    }
}

void MA_ElementGrid::PostSave() {
    if (!elements_) Raise(err::ObjectNotSet, "The element grid has not been initialised");
    // A record saved for the first time has its real ID now; its elements carry it.
    if (managedAreaId_ < 1) {
        for (long pos = 1; pos <= elements_->Count(); ++pos) {
            Variant id = elements_->Item(pos)->GetProperty("ManagedAreaId");
            if (IsNumeric(id) && CLng(id) >= 1) {
                managedAreaId_ = CLng(id);
                break;
            }
        }
    }
    std::optional<ComError> failure;
    long position = 1;
    for (long r = FirstDataRow(); r < BlankRow(); ++r, ++position) {
        const long recordId = RecordIdOfRow(r);
        if (orderChanged_ && recordId >= 1 && !failure) {
            try {
                WriteDisplayOrder(position, recordId);
            } catch (const ComError& e) {
                failure = e;
            }
        }
        // The elements themselves are saved whatever happens to the order: a row left New
        // would be inserted a second time by the next save.
        SetRowState(r, rowstate::Unchanged);
    }
    EmptyCollection();
    // The order stays on screen and pending, so the next save writes it again instead of a
    // reload quietly putting back the old one. The editor tells the user: its save is not done.
    if (failure) throw *failure;
    Initialize(elementsObj_, managedAreaId_, winMan_, appManager_);
    orderChanged_ = false;
}

} // namespace zelk::elementgrid
