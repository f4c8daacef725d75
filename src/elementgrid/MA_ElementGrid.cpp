// The element grid: its controls, its late-bound members and the guards of its handlers.
#include "elementgrid/MA_ElementGrid.h"

#include "controls/RichTextControl.h"
#include "elementgrid/ElementPicker.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/UiDriver.h"

namespace zelk::elementgrid {

namespace {

// A handler that reports its failure instead of letting it escape into the window's event
// loop; the pointer is restored so an hourglass never sticks.
template <class F> void Guarded(const char* context, F&& f) {
    try {
        f();
    } catch (const ComError& e) {
        Screen::Instance().SetMousePointer(mouse::Default);
        Ui().MsgBox(std::string(context) + "\n\n" + e.Description(), vb::Exclamation,
                    "Managed Area");
    }
}

ObjectPtr ObjectArg(const Args& a, std::size_t i) {
    const Variant& v = Arg(a, i);
    return v.IsObject() ? v.Obj() : nullptr;
}

} // namespace

MA_ElementGrid::MA_ElementGrid(std::string name)
    : UserControl(std::move(name), "MA_ElementGrid"), picker_(ShowModalSearch) {
    BuildControls();
    HookEvents();
    DefineMembers();
    SetFixedSize(kWidth, kHeight);
}

MA_ElementGrid::~MA_ElementGrid() = default;

void MA_ElementGrid::BuildControls() {
    auto label = [this](const char* name, const char* caption, Control* in, long l, long t,
                        long w) {
        auto c = Add<Label>(name, in);
        c->SetCaption(caption);
        c->Move(l, t, w, 240);
        return c;
    };
    auto text = [this](const char* name, Control* in, long l, long t, long w) {
        auto c = Add<TextBox>(name, in);
        c->Move(l, t, w, 315);
        return c;
    };
    auto button = [this](const char* name, const char* caption, Control* in, long l, long t,
                         long w) {
        auto c = Add<CommandButton>(name, in);
        c->SetCaption(caption);
        c->Move(l, t, w, 315);
        return c;
    };

    label("lblElements", "Elements", nullptr, 120, 60, 2000);
    flexElement_ = Add<VSFlexGrid>("flexElement");
    flexElement_->Move(120, 300, 11040, 2280);
    flexElement_->SetEditable(flex::EDNone);
    flexElement_->SetSelectionMode(flex::SelByRow);
    flexElement_->SetAllowUserResizing(1);

    fraElementDetails_ = Add<Frame>("fraElementDetails");
    fraElementDetails_->SetCaption("Element Details");
    fraElementDetails_->Move(120, 2640, 11040, 2520);
    Control* fra = fraElementDetails_.get();

    label("lblElementID", "Element ID", fra, 120, 240, 900);
    txtElementID_ = text("txtElementID", fra, 120, 480, 900);
    cmdSelectElement_ = button("cmdSelectElement", "...", fra, 1050, 480, 315);
    label("lblGeoLevel", "GeoLevel", fra, 1440, 240, 1100);
    txtGeoLevel_ = text("txtGeoLevel", fra, 1440, 480, 1100);
    label("lblScientificName", "Scientific Name", fra, 2620, 240, 3300);
    txtScientificName_ = text("txtScientificName", fra, 2620, 480, 3300);
    label("lblCommonName", "Common Name", fra, 6000, 240, 3200);
    txtCommonName_ = text("txtCommonName", fra, 6000, 480, 3200);
    label("lblRank", "Rank", fra, 9280, 240, 900);
    txtRank_ = text("txtRank", fra, 9280, 480, 900);

    label("lblReferenceCode", "Reference Code", fra, 120, 870, 1400);
    txtReferenceCode_ = text("txtReferenceCode", fra, 120, 1110, 1400);
    cmdSelectReference_ = button("cmdSelectReference", "...", fra, 1560, 1110, 315);
    cmdClearReference_ = button("cmdClearReference", "Clear", fra, 1920, 1110, 700);
    label("lblFullCitation", "Full Citation", fra, 2700, 870, 7500);
    txtFullCitation_ = Add<controls::RichTextControl>("txtFullCitation", fra);
    txtFullCitation_->Move(2700, 1110, 8200, 480);
    txtFullCitation_->SetMultiLine(true);
    txtFullCitation_->SetLocked(true);

    struct ComboPlace {
        const char* label;
        const char* caption;
        std::shared_ptr<DataCombo>* combo;
        const char* name;
        long left, width;
    };
    const ComboPlace combos[] = {
        {"lblOrigin", "Origin", &cboOrigin_, "cboOrigin", 120, 1700},
        {"lblRegularity", "Regularity", &cboRegularity_, "cboRegularity", 1900, 1900},
        {"lblDistributionConfidence", "Distribution Confidence", &cboDistributionConfidence_,
         "cboDistributionConfidence", 3880, 2100},
        {"lblCurrentPresenceAbsence", "Current Presence/Absence", &cboCurrentPresenceAbsence_,
         "cboCurrentPresenceAbsence", 6060, 2300},
        {"lblPopulation", "Population", &cboPopulation_, "cboPopulation", 8440, 2460},
    };
    for (const auto& p : combos) {
        label(p.label, p.caption, fra, p.left, 1650, p.width);
        *p.combo = Add<DataCombo>(p.name, fra);
        (*p.combo)->Move(p.left, 1890, p.width, 315);
        (*p.combo)->SetStyle(2);
    }

    label("lblStatusInMA", "Status in MA", fra, 120, 2230, 1000);
    txtStatusInMA_ = text("txtStatusInMA", fra, 1150, 2190, 1900);
    label("lblDistributionComments", "Distribution Comments", fra, 3150, 2230, 1700);
    ctrDistributionComments_ = Add<controls::RichTextControl>("ctrDistributionComments", fra);
    ctrDistributionComments_->Move(4880, 2190, 4900, 315);
    ctrDistributionComments_->SetMultiLine(true);
    cmdRemove_ = button("cmdRemove", "R&emove", fra, 9880, 2190, 1040);
}

void MA_ElementGrid::HookEvents() {
    flexElement_->On("AfterRowColChange", [this](Args& a) {
        Guarded("Error showing the element.", [&] {
            RowChange(CLng(Arg(a, 0)), CLng(Arg(a, 1)), CLng(Arg(a, 2)), CLng(Arg(a, 3)));
        });
    });
    flexElement_->On("BeforeMoveRow", [this](Args& a) {
        // The blank row is where the next element goes; it does not move.
        if (CLng(Arg(a, 0)) >= BlankRow()) {
            if (a.size() > 2) a[2] = Variant(true);
            return;
        }
        BeforeReorder();
    });
    flexElement_->On("AfterMoveRow", [this](Args&) { AfterReorder(); });
    flexElement_->On("BeforeSort", [this](Args&) { BeforeReorder(); });
    flexElement_->On("AfterSort", [this](Args&) { AfterReorder(); });
    flexElement_->On("DblClick", [this](Args&) {
        Guarded("Error opening the element.", [&] { OpenElementRecord(); });
    });

    cmdSelectElement_->On("Click", [this](Args&) { SelectElement(); });
    cmdSelectReference_->On("Click", [this](Args&) {
        Guarded("Error opening Reference Search.", [&] { SelectReference(); });
    });
    cmdClearReference_->On("Click", [this](Args&) {
        Guarded("Error clearing the reference.", [&] { ClearReference(); });
    });
    cmdRemove_->On("Click", [this](Args&) {
        Guarded("Error removing the element.", [&] { RemoveElement(); });
    });

    const std::pair<DataCombo*, const char*> combos[] = {
        {cboOrigin_.get(), "d_origin_id"},
        {cboRegularity_.get(), "d_regularity_id"},
        {cboDistributionConfidence_.get(), "d_dist_confidence_id"},
        {cboCurrentPresenceAbsence_.get(), "d_curr_presence_absence_id"},
        {cboPopulation_.get(), "d_population_id"},
    };
    for (const auto& entry : combos) {
        // Named copies for the handler: older compilers cannot capture structured bindings.
        auto* combo = entry.first;
        auto key = entry.second;
        combo->On("Change", [this, combo, key](Args&) {
            if (showing_) return;
            Guarded("Error changing the element.",
                    [&] { UpdateElementCell(flexElement_->Row(), key, combo->BoundText()); });
        });
    }
    txtStatusInMA_->On("Validate", [this](Args&) {
        Guarded("Error changing the element.", [&] {
            UpdateElementCell(flexElement_->Row(), "status_in_ma", txtStatusInMA_->Text());
        });
    });
    ctrDistributionComments_->On("Validate", [this](Args&) {
        Guarded("Error changing the element.", [&] {
            UpdateElementCell(flexElement_->Row(), "ma_distribution_com",
                              ctrDistributionComments_->Text());
        });
    });
}

void MA_ElementGrid::DefineMembers() {
    DefineProperty(
        "SearchFormCaption", [this](Args&) { return Variant(searchCaption_); },
        [this](const Variant& v, Args&) { searchCaption_ = v.IsNull() ? "" : CStr(v); });
    DefineProperty(
        "SearchFormIcon", [this](Args&) { return Variant(searchIcon_); },
        [this](const Variant& v, Args&) {
            searchIcon_ = v.IsObject() || v.IsNull() || v.IsEmpty() ? "" : CStr(v);
        });
    DefineMethod("SetETKViewID", [this](Args& a) {
        SetETKViewID(CLng(Arg(a, 0)));
        return Variant();
    });
    DefineMethod("Initialize", [this](Args& a) {
        Initialize(RequireObject(Arg(a, 0)), CLng(Arg(a, 1)), ObjectArg(a, 2), ObjectArg(a, 3));
        return Variant();
    });
    DefineMethod("StoreToCollection", [this](Args&) { return Variant(StoreToCollection()); });
    DefineMethod("IsModified", [this](Args&) { return Variant(IsModified()); });
    DefineMethod("IsValid", [this](Args&) { return Variant(IsValid()); });
    DefineMethod("HoldRows", [this](Args& a) {
        HoldRows(!a.empty() && CBool(a[0]));
        return Variant();
    });
    DefineMethod("Clear", [this](Args&) {
        Clear();
        return Variant();
    });
    DefineMethod("PostSave", [this](Args&) {
        PostSave();
        return Variant();
    });
}

long MA_ElementGrid::Col(std::string_view key) const {
    long c = flexElement_->ColIndex(key);
    if (c < 0)
        Raise(err::SubscriptOutOfRange, "The element grid has no column " + std::string(key));
    return c;
}

std::string MA_ElementGrid::Cell(long row, std::string_view key) const {
    return std::string(flexElement_->CellRef(row, Col(key)));
}

void MA_ElementGrid::SetCell(long row, std::string_view key, std::string value) {
    flexElement_->SetTextMatrix(row, Col(key), std::move(value));
}

int MA_ElementGrid::RowState(long row) const {
    const Variant& v = flexElement_->RowData(row);
    return v.IsEmpty() || v.IsNull() ? rowstate::New : CLng(v);
}

void MA_ElementGrid::SetRowState(long row, int state) {
    flexElement_->SetRowData(row, Variant(state));
}

void MA_ElementGrid::MarkChanged(long row) {
    if (RowState(row) != rowstate::New) SetRowState(row, rowstate::Modified);
}

Variant MA_ElementGrid::App(std::string_view member, Args args) const {
    if (!appManager_) Raise(err::ObjectNotSet, "The element grid has not been initialised");
    return appManager_->Call(member, std::move(args));
}

std::string MA_ElementGrid::UserName() const {
    return CStr(App("GetUserName"));
}

} // namespace zelk::elementgrid
