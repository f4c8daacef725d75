// The host contract: initialisation framed or modal, closing, the modal caller's selection and
// release of every reference.
#include "search/ManagedAreaSearch.h"

#include "common/RS_Functions.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/UiDriver.h"

namespace zelk::search {

namespace {

RecordsetPtr AsRecordset(const Variant& v) {
    if (!v.IsObject() || !v.Obj()) return nullptr;
    auto rs = std::dynamic_pointer_cast<Recordset>(v.Obj());
    if (!rs) Raise(err::TypeMismatch, "Type mismatch: a recordset is needed");
    return rs;
}

ObjectPtr AsObject(const Variant& v) {
    return v.IsObject() ? v.Obj() : nullptr;
}

Variant OrNothing(const ObjectPtr& o) {
    return o ? Variant(o) : Variant::Nothing();
}

} // namespace

ManagedAreaSearch::ManagedAreaSearch(std::string name)
    : UserControl(std::move(name), "ManagedAreaSearch") {
    CreateControls();
    WireEvents();
    DefineMembers();
}

ManagedAreaSearch::~ManagedAreaSearch() = default;

void ManagedAreaSearch::DefineMembers() {
    DefineProperty(
        "rsView", [this](Args&) { return OrNothing(rsView); },
        [this](const Variant& v, Args&) { rsView = AsRecordset(v); });
    DefineMethod("InitSearch", [this](Args& a) {
        InitSearch(AsRecordset(Arg(a, 0)), Arg(a, 1), CLng(Arg(a, 2)), AsObject(Arg(a, 3)),
                   AsObject(Arg(a, 4)), Arg(a, 5).IsEmpty() ? "" : CStr(Arg(a, 5)));
        return Variant();
    });
    DefineMethod("InitModalSearch", [this](Args& a) {
        InitModalSearch(AsObject(Arg(a, 0)), AsRecordset(Arg(a, 1)),
                        Arg(a, 2).IsEmpty() ? "" : CStr(Arg(a, 2)));
        // The caller's variable receives the reference the control keeps.
        if (a.size() > 1) a[1] = OrNothing(mrsTemp);
        return Variant();
    });
    DefineMethod("CanClose", [this](Args&) { return Variant(CanClose()); });
    DefineMethod("SelectedItems", [this](Args&) {
        SelectedItems();
        return Variant();
    });
    DefineMethod("SetSingleSelect", [this](Args&) {
        SetSingleSelect();
        return Variant();
    });
    DefineMethod("UseSelectedRecordset", [this](Args& a) {
        UseSelectedRecordset(CBool(Arg(a, 0)));
        return Variant();
    });
    DefineMethod("SetSelectedItems", [this](Args& a) {
        SetSelectedItems(AsObject(Arg(a, 0)));
        return Variant();
    });
    DefineMethod("Deactivate", [this](Args&) {
        Deactivate();
        return Variant();
    });
}

void ManagedAreaSearch::Guard(const char* context, const std::function<void()>& f) {
    try {
        f();
    } catch (const ComError& e) {
        Screen::Instance().SetMousePointer(mouse::Default);
        Ui().MsgBox(std::string(context) + "\n\n" + e.Description(), vb::Exclamation, "");
    }
}

Variant ManagedAreaSearch::App(std::string_view member, Args args) {
    if (!mobjAppManager)
        Raise(err::ObjectNotSet, "Object variable not set: the search has no host");
    return mobjAppManager->Call(member, std::move(args));
}

void ManagedAreaSearch::InitSearch(const RecordsetPtr& prsTemp, const Variant& objAppManager,
                                   long plngViewType, const ObjectPtr& pobjWinMan,
                                   const ObjectPtr& pcolViews, const std::string& strExtraInfo) {
    mblnModal = false;
    mobjAppManager = RequireObject(objAppManager);
    mrsTemp = prsTemp;
    if (Form* parent = ParentForm()) parent->SetCaption("Find Managed Area");
    cmdOK_->SetEnabled(false);
    cmdFindNow_->SetDefault(true);
    mlngViewType = plngViewType;
    mobjWinMan = pobjWinMan;
    mcolViews = pcolViews;
    mstrExtraInfo = strExtraInfo;

    FinishInit();
}

void ManagedAreaSearch::InitModalSearch(const ObjectPtr& objAppManager, const RecordsetPtr& rsTemp,
                                        const std::string& strExtraInfo) {
    if (Form* parent = ParentForm()) parent->SetCaption("Find Managed Area");
    mblnModal = true;
    if (!objAppManager) Raise(err::ObjectNotSet, "Object variable not set: no application manager");
    mobjAppManager = objAppManager;
    mrsTemp = rsTemp;
    mstrExtraInfo = strExtraInfo;

    cmdOK_->SetVisible(true);
    cmdCancel_->SetVisible(true);
    for (auto* c :
         {cmdAddToList_.get(), cmdReplaceList_.get(), cmdSelectAll_.get(), cmdDeselectAll_.get()})
        c->SetVisible(false);
    cmdFindNow_->SetDefault(true);
    cmdOK_->SetEnabled(false);

    FinishInit();
}

// Security, a new search and the user's defaults: the same for both kinds of use.
void ManagedAreaSearch::FinishInit() {
    App("ApplySecurity",
        {Variant(shared_from_this()), Variant(), Variant(Name()), Variant(ControlsObject())});
    NewSearch();
    if (mstrExtraInfo.empty()) {
        mnuOptionsSaveDefault_->SetEnabled(true);
        LoadDefault("$DEFAULT_FIND_PROPERTIES", false);
        if (mnuOptionsSaveDefault_->Checked()) LoadDefault("$DEFAULT_FIND_CRITERIA", true);
    } else {
        mnuOptionsSaveDefault_->SetEnabled(false);
        mnuOptionsSaveDefault_->SetChecked(false);
    }
    tab_->SetActiveTab(0);
}

bool ManagedAreaSearch::CanClose() {
    // Saving reports its own failures; the control never refuses to close.
    Guard("Error saving the default search", [this] {
        if (!mstrExtraInfo.empty() || !mobjAppManager) return;
        SaveDefault("$DEFAULT_FIND_PROPERTIES", BuildSearchPropertiesXml());
        if (mnuOptionsSaveDefault_->Checked())
            SaveDefault("$DEFAULT_FIND_CRITERIA", BuildSearchStateXml());
    });
    return true;
}

void ManagedAreaSearch::SelectedItems() {
    if (mcolSelected) {
        long n = CLng(mcolSelected->Get("Count"));
        for (long i = 0; i < n; ++i)
            mcolSelected->Call("Remove", {Variant(1)});
        const long selected = flexResults_->SelectedRows();
        for (long i = 0; i < selected; ++i)
            mcolSelected->Call(
                "Add", {Variant(flexResults_->TextMatrix(flexResults_->SelectedRow(i), 0))});
    }
    if (mblnUseRecordset && mrsTemp && mrsResults)
        ReplaceWithSelectedRows(*flexResults_, *mrsResults, *mrsTemp);
}

void ManagedAreaSearch::SetSingleSelect() {
    singleSelect_ = true;
    flexResults_->SetSelectionMode(flex::SelByRow);
    UpdateOkButton();
}

void ManagedAreaSearch::SetSelectedItems(const ObjectPtr& aCollection) {
    mcolSelected = aCollection;
}

void ManagedAreaSearch::Deactivate() {
    mrsResults.reset();
    mrsTemp.reset();
    mobjWinMan.reset();
    mcolViews.reset();
    mobjAppManager.reset();
    mcolSelected.reset();
}

void RegisterManagedAreaSearch(ProgIdRegistry& registry) {
    // The form that sites the control gives it its name.
    registry.Register(ManagedAreaSearch::kProgId,
                      [] { return std::make_shared<ManagedAreaSearch>(std::string()); });
}

} // namespace zelk::search
