// Opening related records of other modules, the record's and a field's audit history, and the
// record's shape in the GIS viewer.
#include "dialogs/frmAuditLog.h"
#include "editor/EventSupport.h"
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Strings.h"
#include "platform/XmlDocument.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

namespace {
constexpr const char* kOwnModule = "MGA";
constexpr const char* kShapeServer = "ZELK_ManagedAreaSrv.MA_Shape";
constexpr const char* kManagedAreaServer = "ZELK_ManagedAreaSrv.MA_ManagedArea";

// One related module of the File > Open menu.
struct Related {
    Menu* ManagedAreaDetails::*item;
    const char* module;
    const char* displayName;
    const char* refusal; // shown when the host opened nothing
};

const Related kRelated[] = {
    {&ManagedAreaDetails::mnuFileOpenMajorMA, "MGA", "Major Managed Area", "MGA013"},
    {&ManagedAreaDetails::mnuFileOpenEquiSite, "SIT", "Equi-Site", "MGA013"},
    {&ManagedAreaDetails::mnuFileOpenElementTracking, "ETK", "Element Tracking", "MGA013"},
    {&ManagedAreaDetails::mnuFileOpenElementOccurrences, "ELO", "Element Occurrence", "EGP011"},
    {&ManagedAreaDetails::mnuFileOpenSites, "SIT", "Site", "MGA013"},
    {&ManagedAreaDetails::mnuFileOpenReferences, "REF", "Reference", "MGA013"},
};

struct PointerBack {
    ~PointerBack() { Screen::Instance().SetMousePointer(mouse::Default); }
};

// Loads the audit dialog with the history, shows it modally and unloads it whatever happens,
// a failed load included.
void ShowAudit(dialogs::frmAuditLog& dlg, const std::string& tableKind, long id,
               const ObjectPtr& appManager, const std::string& column) {
    struct UnloadAtEnd {
        dialogs::frmAuditLog& d;
        ~UnloadAtEnd() { d.Unload(); }
    } unload{dlg};
    dlg.Load();
    dlg.LoadAuditData(tableKind, id, appManager, column);
    Screen::Instance().SetMousePointer(mouse::Default);
    dlg.Show(true);
}
} // namespace

bool ManagedAreaDetails::HasElementRows() {
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    PointerBack back;
    RecordsetPtr rs =
        HostQuery(appManager_, "Select * From element_managed_area where managed_area_id = " +
                                   std::to_string(ma_ ? ma_->ManagedAreaId() : currentId_));
    bool any = rs->RecordCount() > 0;
    try {
        rs->Close();
    } catch (const ComError&) {
        // The answer is known; a recordset that will not close changes nothing.
    }
    return any;
}

void ManagedAreaDetails::OpenRelated(Menu* item) {
    const Related* r = nullptr;
    for (const auto& candidate : kRelated)
        if (this->*candidate.item == item) r = &candidate;
    if (!r) return;
    const Variant name{std::string(r->displayName)};
    try {
        if (!ma_) Raise(91, "Object variable or With block variable not set");
        bool met = true;
        if (item == mnuFileOpenMajorMA)
            met = !TextOf(ma_->GetProperty("MajorMaId")).empty();
        else if (item == mnuFileOpenEquiSite)
            met = !TextOf(ma_->GetProperty("EquiSiteId")).empty();
        else if (item == mnuFileOpenElementTracking)
            met = HasElementRows();
        else if (item == mnuFileOpenSites)
            met = ma_->Children(bo::ChildList::Sites).Count() >= 1;
        else if (item == mnuFileOpenReferences)
            met = ma_->Children(bo::ChildList::References).Count() >= 1;
        if (!met) {
            DisplayMessage("APP004");
            return;
        }
        bool opened = CBool(
            CallHost(appManager_, "OpenRelatedDetail",
                     {Variant(std::string(kOwnModule)), Variant(std::string(r->module)),
                      Variant(item->Caption()), Variant(static_cast<int>(ma_->ManagedAreaId()))}));
        if (!opened) DisplayMessage(r->refusal, {name});
    } catch (const ComError&) {
        DisplayMessage("MGA013", {name});
    }
}

void ManagedAreaDetails::OpenRecordMaintenance() {
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    PointerBack back;
    auto dlg = std::make_shared<dialogs::frmAuditLog>();
    dlg->SetCaption("Record Maintenance - " + HostWindowCaption());
    dlg->SetIcon(HostIcon());
    ShowAudit(*dlg, "MA", currentId_, appManager_, "");
}

void ManagedAreaDetails::OpenAttributeMaintenance() {
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    PointerBack back;
    if (!shape_) Raise(91, "Object variable or With block variable not set");
    XmlDocument properties;
    properties.LoadXml(shape_->ComponentProperties("ZELK"));

    ObjectPtr active = ActiveControlObject();
    const std::string tag = active ? CStr(active->Get("Tag")) : std::string();
    if (tag.empty()) {
        HostMessage("APP001");
        return;
    }
    const bool onShape = InStr(tag, "MA_Shape") > 0;
    const std::string field =
        onShape ? Replace(tag, "MA_Shape.", "") : Replace(tag, "MA_ManagedArea.", "");
    const std::string path =
        Replace("ZELK/?/COMPONENT_PROPERTIES", "?", onShape ? kShapeServer : kManagedAreaServer);
    // Tags and the document spell some names differently ("...ID" / "...Id"): match by name
    // without regard to case, as the fields themselves are found.
    XmlNode node;
    if (XmlNode list = properties.SelectSingleNode(path); !list.IsNull())
        for (const XmlNode& child : list.ChildNodes())
            if (IEquals(child.Name(), field)) {
                node = child;
                break;
            }
    if (node.IsNull()) {
        HostMessage("APP001");
        return;
    }
    // The node holds its "table.column" as text.
    const std::string text = node.Text();
    const auto dot = text.find('.');
    const std::string column = dot == std::string::npos ? text : text.substr(dot + 1);

    auto dlg = std::make_shared<dialogs::frmAuditLog>();
    dlg->SetCaption("Attribute Maintenance - " + HostWindowCaption() + " (" + column + ")");
    dlg->SetIcon(HostIcon());
    if (onShape)
        ShowAudit(*dlg, "SHAPE", shapeId_, appManager_, column);
    else
        ShowAudit(*dlg, "MA", currentId_, appManager_, column);
}

void ManagedAreaDetails::ViewShape() {
    try {
        if (!shape_) Raise(91, "Object variable or With block variable not set");
        if (UCase(TextOf(shape_->GetProperty("HasShapeInd"))) != "Y") {
            HostMessage("MGA009");
            return;
        }
        ObjectPtr gis = CreateObject("ArcViewCommuncation.GISInterface");
        if (CBool(gis->Call("ViewShape", {Variant(static_cast<int>(shapeId_))}))) return;
        HostMessage(CBool(CallHost(appManager_, "IsTessaryInstalled")) ? "APP045" : "MGA010");
    } catch (const ComError&) {
        HostMessage("MGA010");
    }
}

void ManagedAreaDetails::WireRelatedEvents() {
    for (const auto& r : kRelated) {
        Menu* m = this->*r.item;
        m->On("Click", Guarded("An error occurred while opening the related records.",
                               [this, m](Args&) { OpenRelated(m); }));
    }
    mnuFileOpenRecordMaintenance->On(
        "Click", Guarded("An error occurred while showing the record's history.",
                         [this](Args&) { OpenRecordMaintenance(); }));
    mnuFileOpenAttributeMaintenance->On(
        "Click", Guarded("An error occurred while showing the field's history.",
                         [this](Args&) { OpenAttributeMaintenance(); }));
    mnuToolsViewShape->On("Click",
                          Guarded("An error occurred while showing the shape.",
                                  WhenEnabled(mnuToolsViewShape, [this](Args&) { ViewShape(); })));
}

} // namespace zelk::editor
