#include "host/modules/StandInSearch.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"

#include "common/RS_Functions.h"
#include "dialogs/RecordsetGrid.h"

namespace zelk::host {

namespace {
constexpr const char* kGeoLevel = "GEOLEVEL";

void Report(const std::string& context, const ComError& e) {
    Ui().MsgBox(context + "\n\n" + e.Description(), vb::Exclamation, "Search");
}
} // namespace

StandInSearch::StandInSearch(SearchSource source)
    : UserControl(source.typeName, source.typeName), source_(std::move(source)) {
    BuildControls();
    SetFixedSize(9000, 6600);
    DefineMembers();
}

void StandInSearch::BuildControls() {
    auto lblName = Add<Label>("lblName");
    lblName->SetCaption("&Name or code contains:");
    lblName->Move(120, 150, 2000, 300);
    txtName_ = Add<TextBox>("txtName");
    txtName_->Move(2160, 120, 3600, 360);
    cboNameType_ = Add<ComboBox>("cboNameType");
    cboNameType_->SetStyle(2);
    cboNameType_->Move(5880, 120, 1800, 360);
    cboNameType_->AddItem("Any");
    for (const auto& label : source_.matchLabels)
        cboNameType_->AddItem(label);
    cboNameType_->SetListIndex(0);
    auto lblID = Add<Label>("lblID");
    lblID->SetCaption("&ID:");
    lblID->Move(120, 630, 2000, 300);
    txtID_ = Add<TextBox>("txtID");
    txtID_->Move(2160, 600, 1440, 360);
    cmdFindNow_ = Add<CommandButton>("cmdFindNow");
    cmdFindNow_->SetCaption("&Find Now");
    cmdFindNow_->SetDefault(true);
    cmdFindNow_->Move(7800, 120, 1080, 360);
    lblCount_ = Add<Label>("lblCount");
    lblCount_->Move(120, 1080, 4000, 300);
    flexResults_ = Add<VSFlexGrid>("flexResults");
    flexResults_->Move(120, 1440, 8760, 4440);
    flexResults_->SetSelectionMode(flex::SelListBox);
    flexResults_->SetRows(1);
    flexResults_->SetFixedRows(1);
    cmdOK_ = Add<CommandButton>("cmdOK");
    cmdOK_->SetCaption("OK");
    cmdOK_->SetEnabled(false);
    cmdOK_->Move(6600, 6060, 1080, 360);
    cmdCancel_ = Add<CommandButton>("cmdCancel");
    cmdCancel_->SetCaption("Cancel");
    cmdCancel_->SetCancel(true);
    cmdCancel_->Move(7800, 6060, 1080, 360);

    cmdFindNow_->On("Click", [this](Args&) {
        try {
            FindNow();
        } catch (const ComError& e) {
            Report("An error occurred while searching.", e);
        }
    });
    flexResults_->On("AfterRowColChange", [this](Args&) { UpdateOK(); });
    flexResults_->On("Click", [this](Args&) { UpdateOK(); });
    flexResults_->On("DblClick", [this](Args&) {
        if (flexResults_->Row() >= flexResults_->FixedRows()) Accept();
    });
    cmdOK_->On("Click", [this](Args&) { Accept(); });
    cmdCancel_->On("Click", [this](Args&) {
        rsTemp_.reset();
        RaiseEvent("Quit");
    });
}

void StandInSearch::DefineMembers() {
    DefineMethod("InitModalSearch", [this](Args& a) {
        RecordsetPtr rs;
        if (a.size() > 1 && a[1].IsObject()) rs = std::dynamic_pointer_cast<Recordset>(a[1].Obj());
        InitModalSearch(RequireObject(Arg(a, 0)), rs, CStr(Arg(a, 2)));
        if (a.size() > 1) a[1] = Variant(rs);
        return Variant();
    });
    DefineMethod("UseSelectedRecordset", [this](Args& a) {
        UseSelectedRecordset(CBool(Arg(a, 0)));
        return Variant();
    });
    DefineMethod("SetSelectedItems", [this](Args& a) {
        SetSelectedItems(Arg(a, 0).IsObject() ? std::dynamic_pointer_cast<Collection>(a[0].Obj())
                                              : nullptr);
        return Variant();
    });
    DefineMethod("SetSingleSelect", [this](Args&) {
        SetMultiSelect(false);
        return Variant();
    });
    DefineMethod("SetMutliSelect", [this](Args& a) {
        SetMultiSelect(CBool(Arg(a, 0)));
        return Variant();
    });
    DefineMethod("GetMultiSelect", [this](Args&) { return Variant(GetMultiSelect()); });
    DefineMethod("SetNameType", [this](Args& a) {
        SetNameType(CLng(Arg(a, 0)), CBool(Arg(a, 1)), a.size() > 2 ? CStr(a[2]) : "");
        return Variant();
    });
    DefineMethod("SetIdEnabled", [this](Args& a) {
        SetIdEnabled(CBool(Arg(a, 0)));
        return Variant();
    });
    DefineMethod("SelectedItems", [this](Args&) {
        SelectedItems();
        return Variant();
    });
    DefineMethod("FindNow", [this](Args&) { return Variant(static_cast<int>(FindNow())); });
    DefineMethod("CanClose", [](Args&) { return Variant(true); });
    DefineMethod("Deactivate", [this](Args&) {
        Deactivate();
        return Variant();
    });
}

void StandInSearch::InitModalSearch(const ObjectPtr& appManager, RecordsetPtr& rsTemp,
                                    const std::string& /*extraInfo*/) {
    app_ = appManager;
    if (rsTemp && source_.geoLevel && rsTemp->State() == ad::StateOpen &&
        !rsTemp->GetFields().Exists(kGeoLevel) && rsTemp->RecordCount() == 0) {
        // The caller reads each pick's level; an empty prototype can take the column.
        auto wider = NewRecordset();
        Fields from = rsTemp->GetFields();
        for (long i = 0; i < from.Count(); ++i) {
            Field f = from.Item(static_cast<std::size_t>(i));
            wider->GetFields().Append(f.Name(), f.Type(), f.DefinedSize(), f.Attributes());
        }
        wider->GetFields().Append(kGeoLevel, ad::VarChar, 20, ad::FldIsNullable);
        wider->Open();
        rsTemp = wider;
    }
    rsTemp_ = rsTemp;
    if (Form* top = TopForm(); top && top != this) top->SetCaption(source_.caption);
}

void StandInSearch::SetMultiSelect(bool multi) {
    multiSelect_ = multi;
    flexResults_->SetSelectionMode(multi ? flex::SelListBox : flex::SelByRow);
    UpdateOK();
}

void StandInSearch::SetNameType(int nameType, bool locked, const std::string& text) {
    if (nameType >= 0 && nameType < cboNameType_->ListCount()) cboNameType_->SetListIndex(nameType);
    cboNameType_->SetEnabled(!locked);
    if (!text.empty()) txtName_->SetText(text);
}

void StandInSearch::SetIdEnabled(bool enabled) {
    txtID_->SetEnabled(enabled);
    if (!enabled) txtID_->SetText("");
}

std::string StandInSearch::BuildSQL() const {
    std::vector<std::string> where;
    std::string id = Trim(txtID_->Text());
    if (!id.empty() && txtID_->Enabled()) {
        if (!IsNumeric(Variant(id))) Raise(err::TypeMismatch, "The ID must be a number: " + id);
        where.push_back(source_.view + ".id = " + CStr(Variant(CLng(Variant(id)))));
    }
    std::string text = Trim(txtName_->Text());
    if (!text.empty()) {
        std::string pattern = "'%" + QuoteEscape(UCase(text)) + "%'";
        int only = cboNameType_->ListIndex();
        std::vector<std::string> any;
        for (std::size_t i = 0; i < source_.matchColumns.size(); ++i)
            if (only <= 0 || static_cast<std::size_t>(only) == i + 1)
                any.push_back("UPPER(" + source_.view + "." + source_.matchColumns[i] + ") LIKE " +
                              pattern);
        where.push_back(any.size() == 1 ? any[0] : "(" + Join(any, " OR ") + ")");
    }
    std::string sql = "SELECT * FROM " + source_.view;
    if (!where.empty()) sql += " WHERE " + Join(where, " AND ");
    return sql + " ORDER BY " + source_.orderBy;
}

long StandInSearch::FindNow() {
    if (!app_) Raise(err::ObjectNotSet, "The search is not initialised");
    std::string sql = BuildSQL();
    Variant rs = app_->Call("CallGetQueryRSXML", {Variant(sql)});
    results_ = std::dynamic_pointer_cast<Recordset>(RequireObject(rs));
    if (!results_) Raise(err::TypeMismatch, "The query answered no recordset");
    dialogs::ShowRecordset(*flexResults_, *results_);
    for (long c = 0; c < flexResults_->Cols(); ++c)
        flexResults_->SetTextMatrix(0, c, dialogs::ReadableHeader(flexResults_->TextMatrix(0, c)));
    long n = results_->RecordCount();
    for (long r = 1; r <= n; ++r)
        flexResults_->SetRowData(r, Variant(static_cast<int>(r)));
    lblCount_->SetCaption(std::to_string(n) + (n == 1 ? " record found" : " records found"));
    UpdateOK();
    return n;
}

void StandInSearch::UpdateOK() {
    cmdOK_->SetEnabled(flexResults_->SelectedRows() > 0);
}

void StandInSearch::Accept() {
    try {
        SelectedItems();
    } catch (const ComError& e) {
        Report("An error occurred while handing over the chosen records.", e);
        return;
    }
    RaiseEvent("Quit");
}

void StandInSearch::SelectedItems() {
    long n = flexResults_->SelectedRows();
    if (selected_) {
        selected_->Clear();
        for (long i = 0; i < n; ++i)
            selected_->Add(Variant(flexResults_->TextMatrix(flexResults_->SelectedRow(i), 0)));
    }
    if (!useRecordset_ || !rsTemp_ || !results_ || n == 0) return;
    EmptyRecordset(*rsTemp_);
    for (long i = 0; i < n; ++i) {
        // Each row remembers its record, wherever sorting the grid has moved it.
        results_->SetAbsolutePosition(CLng(flexResults_->RowData(flexResults_->SelectedRow(i))));
        CopyRow(*rsTemp_);
    }
    rsTemp_->MoveFirst();
}

void StandInSearch::CopyRow(Recordset& target) {
    Fields to = target.GetFields();
    Fields from = results_->GetFields();
    target.AddNew();
    try {
        for (long i = 0; i < to.Count(); ++i) {
            Field f = to.Item(static_cast<std::size_t>(i));
            if (from.Exists(f.Name()))
                f.SetValue(from.Item(f.Name()).Value());
            else if (source_.geoLevel && IEquals(f.Name(), kGeoLevel))
                f.SetValue(app_->Call("GetElementGeoLevel", {results_->Value("id")}));
        }
        target.Update();
    } catch (...) {
        if (target.EditMode() != ad::EditNone) target.CancelUpdate();
        throw;
    }
}

void StandInSearch::Deactivate() {
    rsTemp_.reset();
    results_.reset();
    selected_.reset();
    app_.reset();
}

SearchSource SiteSearchSource() {
    return {"SiteSearch",
            "Find Site",
            "site_wl_vw",
            {"site_name", "site_code"},
            {"Site name", "Site code"},
            "site_wl_vw.site_name",
            false};
}

SearchSource ReferenceSearchSource() {
    return {"ReferenceSearch",
            "Find Reference",
            "REFERENCE_WL_VW",
            {"reference_code", "full_citation"},
            {"Reference code", "Citation"},
            "REFERENCE_WL_VW.reference_code",
            false};
}

SearchSource ElementSearchSource() {
    return {"ElementSearch",
            "Find Element",
            "element_wl_vw",
            {"scientific_name", "common_name"},
            {"Scientific name", "Common name"},
            "element_wl_vw.scientific_name",
            true};
}

} // namespace zelk::host
