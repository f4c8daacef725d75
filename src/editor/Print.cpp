// The record as a printed report: every page as the user sees it, its grids as tables.
#include "common/ErrorReport.h"
#include "controls/CheckListControl.h"
#include "controls/ctlMapsheet.h"
#include "controls/ctrlBindGrid.h"
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "platform/ReportDocument.h"
#include "platform/Strings.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/UiDriver.h"
#include "zelk/ManagedAreaDetails.h"

#include <cctype>

namespace zelk::editor {

namespace {

std::string Plain(const std::string& caption) {
    return Replace(caption, "&", "");
}

// The grid's visible columns, headed by its fixed row, one row per data row that holds text.
ReportTable GridTable(const VSFlexGrid& g, const std::string& caption) {
    ReportTable t;
    t.caption = caption;
    std::vector<long> cols;
    for (long c = 0; c < g.Cols(); ++c)
        if (!g.ColHidden(c) && g.ColWidth(c) != 0) cols.push_back(c);
    for (long c : cols)
        t.columns.push_back(g.FixedRows() > 0 ? g.TextMatrix(0, c) : std::string());
    for (long r = g.FixedRows(); r < g.Rows(); ++r) {
        std::vector<std::string> row;
        bool any = false;
        for (long c : cols) {
            std::string text = g.DisplayText(r, c);
            if (text == "-1" || IEquals(text, "True")) text = "Yes";
            any = any || !text.empty();
            row.push_back(std::move(text));
        }
        if (any) t.rows.push_back(std::move(row));
    }
    return t;
}

// The name without its kind prefix, which is the leading lower-case letters ("txt", "cbo",
// "flex").
std::string BareName(const std::string& name) {
    std::size_t kind = 0;
    while (kind < name.size() && std::islower(static_cast<unsigned char>(name[kind])))
        ++kind;
    return kind < name.size() ? name.substr(kind) : name;
}

// The caption of the label "lbl" + bare, or empty when there is none.
std::string LabelOf(const Form& form, const std::string& bare) {
    const auto* label = form.FindAs<Label>("lbl" + bare);
    return label ? Plain(label->Caption()) : std::string();
}

// The caption a field is known by: its label; for a name shown beside its record's ID
// ("txtEquiSiteName" after "txtEquiSiteID") the ID's label; otherwise its name in words
// ("SpatialAttributes" as "Spatial Attributes").
std::string CaptionOf(const Form& form, const Control& c) {
    const std::string bare = BareName(c.Name());
    if (std::string label = LabelOf(form, bare); !label.empty()) return label;
    if (bare.size() > 4 && bare.ends_with("Name")) {
        std::string label = LabelOf(form, bare.substr(0, bare.size() - 4) + "ID");
        if (!label.empty() && label.back() == ':') label.pop_back();
        if (!label.empty()) return label + " name:";
    }
    auto upper = [&](std::size_t at) {
        return at < bare.size() && std::isupper(static_cast<unsigned char>(bare[at])) != 0;
    };
    auto lower = [&](std::size_t at) {
        return at < bare.size() && std::islower(static_cast<unsigned char>(bare[at])) != 0;
    };
    std::string words;
    for (std::size_t i = 0; i < bare.size(); ++i) {
        // "SpatialAttributes" and "MAAlias": a word starts at a capital after a small letter,
        // or at the last capital of a run that a small letter follows.
        if (i > 0 && upper(i) && (lower(i - 1) || (upper(i - 1) && lower(i + 1)))) words += ' ';
        words += bare[i];
    }
    return words;
}

} // namespace

ReportDocument ManagedAreaDetails::BuildReport() {
    ReportDocument doc;
    doc.title = HostCaption(TextOf(ma_->GetProperty("ManagedAreaName")));
    doc.notes.push_back("Universal key " + lblUniversalKey->Caption() + ", shape " +
                        lblShapeID->Caption());
    if (RecordIsModified())
        doc.notes.push_back(shape_->IsNew() ? "New record, not saved yet: printed as shown."
                                            : "Unsaved changes: printed as shown, not as saved.");
    doc.notes.push_back("Printed by " + UserName());
    // Every page as the user would see it: the ones not shown yet are filled first.
    const int shown = tabManagedAreas->ActiveTab();
    for (int page = 0; page < PageCount; ++page)
        if (!filled_[page]) TabChange(page);
    TabChange(shown);
    for (int page = 0; page < PageCount; ++page) {
        ReportSection section;
        section.heading = Plain(tabManagedAreas->TabCaption(page));
        for (const auto& ptr : Controls()) {
            Control& c = *ptr;
            if (c.TabPage() != page || !c.Visible()) continue;
            if (auto* box = dynamic_cast<TextBox*>(&c)) {
                section.fields.push_back({CaptionOf(*this, c), box->Text()});
            } else if (auto* combo = dynamic_cast<DataCombo*>(&c)) {
                section.fields.push_back({CaptionOf(*this, c), combo->Text()});
            } else if (auto* check = dynamic_cast<CheckBox*>(&c)) {
                section.fields.push_back(
                    {Plain(check->Caption()), check->Value() == 1 ? "Yes" : "No"});
            } else if (auto* grid = dynamic_cast<VSFlexGrid*>(&c)) {
                section.tables.push_back(GridTable(*grid, CaptionOf(*this, c)));
            } else if (auto* bind = dynamic_cast<controls::ctrlBindGrid*>(&c)) {
                section.tables.push_back(GridTable(bind->Grid(), CaptionOf(*this, c)));
            } else if (auto* list = dynamic_cast<controls::CheckListControl*>(&c)) {
                ReportTable t;
                if (list->HasMember("Caption"))
                    t.caption = CStr(static_cast<Object&>(*list).Get("Caption"));
                if (t.caption.empty()) t.caption = CaptionOf(*this, c);
                t.columns = {"Ticked"};
                VSFlexGrid& g = list->Grid();
                const long text = g.ColIndex("Text");
                for (long r = g.FixedRows(); r < g.Rows(); ++r)
                    if (list->IsTicked(r) && text >= 0) t.rows.push_back({g.TextMatrix(r, text)});
                section.tables.push_back(std::move(t));
            } else if (auto* maps = dynamic_cast<controls::ctlMapsheet*>(&c)) {
                section.tables.push_back(GridTable(maps->Grid(), "Mapsheets"));
            } else if (auto* inner = dynamic_cast<Form*>(&c)) {
                // Another module's control (the element grid): its own grids.
                for (const auto& sub : inner->Controls())
                    if (auto* g = dynamic_cast<VSFlexGrid*>(sub.get()))
                        section.tables.push_back(GridTable(*g, CaptionOf(*this, c)));
            }
        }
        // The shape's map goes with the page that places the area.
        if (section.heading == "Locators" && shapeId_ > 0)
            section.images.push_back(MapPicture(shapeId_));
        doc.sections.push_back(std::move(section));
    }
    return doc;
}

void ManagedAreaDetails::PrintRecord() {
    if (!ma_) return;
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    ReportDocument doc = BuildReport();
    Screen::Instance().SetMousePointer(mouse::Default);
    Ui().PrintReport(doc);
}

} // namespace zelk::editor
