#include "host/app/AppManager.h"

#include "host/help/HelpTopics.h"

#include "host/app/Coordinates.h"
#include "host/app/MessageCatalog.h"
#include "host/app/Views.h"
#include "host/security/Users.h"
#include "platform/Collection.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"

namespace zelk::host {

namespace {

// Arguments of Message: a collection, or a single value.
std::vector<std::string> MessageArguments(const Variant& v) {
    std::vector<std::string> out;
    if (v.IsEmpty() || v.IsNull()) return out;
    if (v.IsObject()) {
        if (!v.Obj()) return out;
        if (auto* c = dynamic_cast<Collection*>(v.Obj().get())) {
            for (const Variant& item : *c)
                out.push_back(item.IsNull() ? std::string() : CStr(item));
            return out;
        }
        Raise(err::TypeMismatch, "Message arguments must be a collection");
    }
    out.push_back(CStr(v));
    return out;
}

// The commands a read-only user cannot use.
bool ChangesData(const std::string& control) {
    static const char* names[] = {"mnuFileNew", "mnuFileSave",  "mnuEditDelete",
                                  "mnuEditCut", "mnuEditPaste", "mnuToolsCopy",
                                  "cmdSave",    "cmdDelete",    "cmdNew"};
    for (const char* n : names)
        if (IEquals(control, n)) return true;
    return false;
}

// The view of a module's working list and the view behind GetPrototypeRSForView.
const char* WorkingListView(const std::string& code) {
    if (IEquals(code, "MGA")) return "managed_area_wl_vw";
    if (IEquals(code, "SIT")) return "site_wl_vw";
    if (IEquals(code, "REF")) return "REFERENCE_WL_VW";
    if (IEquals(code, "ELE")) return "element_wl_vw";
    return nullptr;
}

// The manager of the views, as modal dialogs reach it.
class ViewManagerObject : public Dispatch {
public:
    explicit ViewManagerObject(std::shared_ptr<ViewsCollection> views)
        : Dispatch("ViewManager"), views_(std::move(views)) {
        DefineProperty("colViews", [this](Args&) {
            return views_ ? Variant(std::static_pointer_cast<Object>(views_)) : Variant::Nothing();
        });
    }

private:
    std::shared_ptr<ViewsCollection> views_;
};

} // namespace

AppManager::AppManager(std::shared_ptr<DataService> db, ModuleDatabase sql, Options options)
    : Dispatch("AppManager"), db_(std::move(db)), sql_(std::move(sql)),
      options_(std::move(options)) {
    if (!db_) Raise(err::ObjectRequired, "The application manager needs a database");
    DefineMembers();
}

RecordsetPtr AppManager::CallGetQueryRSXML(const std::string& sql) {
    if (!sql_.query) Raise(err::ObjectNotSet, "No query service");
    if (sqlObserver_) sqlObserver_(sql);
    return sql_.query(sql);
}

void AppManager::executesql(const std::string& sql) {
    if (!sql_.execute) Raise(err::ObjectNotSet, "No SQL service");
    if (sqlObserver_) sqlObserver_(sql);
    sql_.execute(sql);
}

bool AppManager::Delete(const std::string& procedure, long id, const std::string& userName) {
    return sql_.procedure && sql_.procedure(procedure, {id}, userName);
}

bool AppManager::Copy(const std::string& procedure, long sourceId, long targetId,
                      const std::string& userName) {
    return sql_.procedure && sql_.procedure(procedure, {sourceId, targetId}, userName);
}

int AppManager::Message(const std::string& code, const Variant& arguments) {
    const auto& catalog = MessageCatalog::Default();
    return Ui().MsgBox(catalog.Format(code, MessageArguments(arguments)),
                       catalog.Lookup(code).flags, kAppTitle);
}

long AppManager::GetUserID() {
    auto rs = db_->Query("SELECT user_id FROM app_user WHERE user_name = ?", {options_.userName});
    return rs->RecordCount() > 0 ? CLng(rs->Value("user_id")) : -1;
}

long AppManager::GetSystemOrgUnitID() {
    auto rs = db_->Query("SELECT org_unit_id FROM app_user WHERE user_name = ? AND org_unit_id IS "
                         "NOT NULL UNION ALL SELECT MIN(org_unit_id) FROM org_unit",
                         {options_.userName});
    if (rs->RecordCount() == 0) return -1;
    Variant v = rs->Value("org_unit_id");
    return v.IsNull() ? -1 : CLng(v);
}

std::string AppManager::GetOrgUnitCode(const Variant& orgUnitId) {
    if (orgUnitId.IsNull() || orgUnitId.IsEmpty() || !IsNumeric(orgUnitId)) return "-1";
    auto rs = db_->Query("SELECT org_unit_code FROM org_unit WHERE org_unit_id = ?",
                         {Variant(CLng(orgUnitId))});
    return rs->RecordCount() > 0 ? CStr(rs->Value("org_unit_code")) : "-1";
}

std::string AppManager::AccessLevel() {
    // On a server the rights are the session user's role membership, which the server also
    // enforces; on a file the user's row.
    auto a = security::UserDirectory(*db_).AccessOf(options_.userName);
    return a == security::Access::Edit || a == security::Access::Admin ? "F" : "R";
}

bool AppManager::IsAdministrator() {
    return security::UserDirectory(*db_).IsAdministrator(options_.userName);
}

std::string AppManager::GetControlAccess(const std::string&, const std::string& control) {
    std::string level = AccessLevel();
    if (level == "F") return "F";
    return ChangesData(control) ? "N" : "R";
}

void AppManager::ApplySecurity(const ObjectPtr&, const std::string&, const ObjectPtr& controls) {
    if (!controls || AccessLevel() == "F") return;
    int n = CLng(controls->Get("Count"));
    for (int i = 0; i < n; ++i) {
        ObjectPtr c = RequireObject(controls->Call("Item", {Variant(i)}));
        auto* d = dynamic_cast<Dispatch*>(c.get());
        std::string name = CStr(c->Get("Name"));
        if (ChangesData(name)) {
            c->Let("Enabled", Variant(false));
            continue;
        }
        // Bound controls carry their field in the tag; locking keeps them readable.
        if (d && d->HasMember("Tag") && !CStr(c->Get("Tag")).empty() && d->HasMember("Locked"))
            c->Let("Locked", Variant(true));
    }
}

RecordsetPtr AppManager::GetPrototypeRSForView(const std::string& moduleCode) {
    const char* view = WorkingListView(moduleCode);
    if (!view) Raise(err::InvalidProcedureCall, "No working list for the module " + moduleCode);
    return db_->Query(std::string("SELECT * FROM ") + view + " WHERE 1 = 0");
}

long AppManager::CountRelated(const std::string& target, long id) {
    std::string sql;
    if (IEquals(target, "SIT"))
        sql = "SELECT COUNT(*) AS n FROM managed_area_site WHERE managed_area_id = ?";
    else if (IEquals(target, "REF"))
        sql = "SELECT COUNT(*) AS n FROM managed_area_reference WHERE managed_area_id = ?";
    else if (IEquals(target, "ETK") || IEquals(target, "ELO"))
        sql = "SELECT COUNT(*) AS n FROM element_managed_area WHERE managed_area_id = ?";
    else if (IEquals(target, "MGA"))
        sql = "SELECT COUNT(*) AS n FROM ma WHERE managed_area_id = (SELECT major_ma_id FROM ma "
              "WHERE managed_area_id = ?)";
    else
        return 0;
    return CLng(db_->Query(sql, {Variant(static_cast<int>(id))})->Value("n"));
}

bool AppManager::OpenRelatedDetail(const std::string& own, const std::string& target,
                                   const std::string& caption, long id) {
    if (CountRelated(target, id) == 0) return false;
    RelatedRequest r{own, target, caption, id};
    relatedLog_.push_back(r);
    return related_ ? related_(r) : true;
}

bool AppManager::ValidateCoord(const std::string& text, const std::string& label, int width,
                               const std::string& hemispheres) {
    std::string problem = CoordinateProblem(text, label, width, hemispheres);
    if (problem.empty()) return true;
    Ui().MsgBox(problem, vb::OKOnly | vb::Exclamation, kAppTitle);
    return false;
}

std::string AppManager::GetElementGeoLevel(long elementId) {
    Params p{Variant(static_cast<int>(elementId))};
    if (db_->Query("SELECT 1 AS x FROM element_global WHERE element_global_id = ?", p)
            ->RecordCount() > 0)
        return "Global";
    if (db_->Query("SELECT 1 AS x FROM element_national WHERE element_national_id = ?", p)
            ->RecordCount() > 0)
        return "National";
    return "Subnational";
}

RecordsetPtr AppManager::Auditing(const std::string& tableKind, long id,
                                  const std::string& column) {
    // The columns in the order the audit dialog lays them out: ID, Date, User, Table, Actn,
    // Column, Old Value, Comments, Primary Key, Org Unit, Id, Column Id (the key of a
    // column-level entry, empty for the others).
    std::string sql = "SELECT audit_log_id AS id, audit_date, user_name, table_name, action, "
                      "column_name, old_value, comments, primary_key, org_unit_id, record_id, "
                      "CASE WHEN column_name IS NOT NULL THEN audit_log_id END AS column_id "
                      "FROM audit_log WHERE table_kind = ? AND record_id = ?";
    // Record IDs are 32-bit: a larger one overflows rather than naming another record.
    Params p{Variant(tableKind), Variant(CLng(Variant(static_cast<double>(id))))};
    if (!column.empty()) {
        sql += " AND column_name = ? COLLATE NOCASE";
        p.push_back(Variant(column));
    }
    return db_->Query(sql + " ORDER BY audit_date DESC, audit_log_id DESC", p);
}

void AppManager::DefineMembers() {
    auto str = [](const Args& a, std::size_t i) { return CStr(Arg(a, i)); };
    auto num = [](const Args& a, std::size_t i) { return static_cast<long>(CLng(Arg(a, i))); };
    DefineMethod("CallGetQueryRSXML",
                 [this, str](Args& a) { return Variant(CallGetQueryRSXML(str(a, 0))); });
    DefineMethod("executesql", [this, str](Args& a) {
        executesql(str(a, 0));
        return Variant();
    });
    DefineMethod("Delete", [this, str, num](Args& a) {
        return Variant(Delete(str(a, 0), num(a, 1), str(a, 2)));
    });
    DefineMethod("Copy", [this, str, num](Args& a) {
        return Variant(Copy(str(a, 0), num(a, 1), num(a, 2), str(a, 3)));
    });
    DefineMethod("Message",
                 [this, str](Args& a) { return Variant(Message(str(a, 0), Arg(a, 1))); });
    DefineMethod("GetUserName", [this](Args&) { return Variant(GetUserName()); });
    DefineMethod("GetUserID", [this](Args&) { return Variant(static_cast<int>(GetUserID())); });
    DefineMethod("GetServerName", [this](Args&) { return Variant(options_.serverName); });
    DefineMethod("GetServerType", [this](Args&) { return Variant(options_.serverType); });
    DefineMethod("GetSystemOrgUnitID",
                 [this](Args&) { return Variant(static_cast<int>(GetSystemOrgUnitID())); });
    DefineMethod("GetOrgUnitCode", [this](Args& a) { return Variant(GetOrgUnitCode(Arg(a, 0))); });
    DefineMethod("ApplySecurity", [this, str](Args& a) {
        ObjectPtr control = Arg(a, 0).IsObject() ? Arg(a, 0).Obj() : nullptr;
        ObjectPtr controls = Arg(a, 3).IsObject() ? Arg(a, 3).Obj() : nullptr;
        ApplySecurity(control, str(a, 2), controls);
        return Variant();
    });
    DefineMethod("GetControlAccess",
                 [this, str](Args& a) { return Variant(GetControlAccess(str(a, 0), str(a, 1))); });
    DefineMethod("GetPrototypeRSForView",
                 [this, str](Args& a) { return Variant(GetPrototypeRSForView(str(a, 0))); });
    DefineMethod("OpenRelatedDetail", [this, str, num](Args& a) {
        return Variant(OpenRelatedDetail(str(a, 0), str(a, 1), str(a, 2), num(a, 3)));
    });
    DefineMethod("ValidateCoord", [this, str, num](Args& a) {
        return Variant(ValidateCoord(str(a, 0), str(a, 1), static_cast<int>(num(a, 2)), str(a, 3)));
    });
    DefineMethod("GetElementGeoLevel",
                 [this, num](Args& a) { return Variant(GetElementGeoLevel(num(a, 0))); });
    DefineMethod("Auditing", [this, str, num](Args& a) {
        return Variant(Auditing(str(a, 0), num(a, 1), str(a, 2)));
    });
    DefineMethod("IsTessaryInstalled", [](Args&) { return Variant(false); });
    DefineMethod("PopupEdit", [](Args& a) {
        // A larger editor for the current cell of a grid.
        ObjectPtr grid = RequireObject(Arg(a, 0));
        Variant row = grid->Get("Row"), col = grid->Get("Col");
        std::string text = CStr(grid->Get("TextMatrix", {row, col}));
        std::string edited = Ui().InputBox("Edit the cell:", kAppTitle, text);
        if (!edited.empty() && edited != text) grid->Let("TextMatrix", Variant(edited), {row, col});
        return Variant();
    });
    DefineMethod("ShowAbout", [](Args&) {
        Ui().MsgBox("Wayfold\nManaged Area module\n\nFind, view and edit managed areas.",
                    vb::OKOnly | vb::Information, std::string("About ") + kAppTitle);
        return Variant();
    });
    DefineProperty("HelpFile", [this](Args&) { return Variant(options_.helpFile); });
    DefineMethod("GetHelpTopicID", [](Args& a) {
        // The page of the window (or page, or field) the control belongs to.
        const Variant control = Arg(a, 0);
        auto* c = control.IsObject() ? dynamic_cast<Control*>(control.Obj().get()) : nullptr;
        const long topic = help::TopicFor(c);
        if (a.size() > 1) a[1] = Variant(static_cast<int>(topic));
        return Variant(topic > 0);
    });
    DefineMethod("DisplaySystemControlEntry", [](Args&) { return Variant(); });
    DefineProperty("ViewManager", [this](Args&) {
        if (!viewManager_) viewManager_ = std::make_shared<ViewManagerObject>(views_);
        return Variant(viewManager_);
    });
}

} // namespace zelk::host
