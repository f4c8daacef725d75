#pragma once

#include "host/data/DataService.h"
#include "platform/Dispatch.h"
#include "platform/Recordset.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zelk::host {

class MessageCatalog;
class ViewsCollection;

// What the application manager needs from the database side, wired by the reference host:
// the module's Oracle SQL run on the data service, and the server procedures.
struct ModuleDatabase {
    std::function<RecordsetPtr(const std::string& oracleSql)> query;
    std::function<long(const std::string& oracleSql)> execute;
    // "delete_ma_data"(id) and "COPY_MA"(source, target): true when done and committed.
    std::function<bool(const std::string& procedure, const std::vector<long>& ids,
                       const std::string& userName)>
        procedure;
};

// A request to open records of another module, for the window that shows them.
struct RelatedRequest {
    std::string ownModule, targetModule, caption;
    long id = 0;
};

// The host's application manager, reached late-bound by the module. Every member traps
// nothing: a failure raises in the caller, which reports it.
class AppManager : public Dispatch {
public:
    struct Options {
        std::string userName;   // the signed-in user
        std::string serverName; // the database (file path or connection name)
        int serverType = 1;     // 1 embedded SQLite, 2 PostgreSQL
        std::string helpFile = "wayfold-help.html";
    };

    AppManager(std::shared_ptr<DataService> db, ModuleDatabase sql, Options options);

    RecordsetPtr CallGetQueryRSXML(const std::string& sql);
    void executesql(const std::string& sql);
    bool Delete(const std::string& procedure, long id, const std::string& userName);
    bool Copy(const std::string& procedure, long sourceId, long targetId,
              const std::string& userName);
    // Shows the coded message with its arguments (a collection, an array or nothing).
    int Message(const std::string& code, const Variant& arguments = {});

    const std::string& GetUserName() const { return options_.userName; }
    // -1 when the user is not known to the database.
    long GetUserID();
    long GetSystemOrgUnitID();
    // "-1" when there is no such unit.
    std::string GetOrgUnitCode(const Variant& orgUnitId);
    // 'F' full, 'R' read-only; a user without a row reads only.
    std::string AccessLevel();
    // May manage the database's users (the Users window).
    bool IsAdministrator();
    std::string GetControlAccess(const std::string& component, const std::string& control);
    // Locks every bound control (its tag names a field) and switches off the commands that
    // change data, when the user may only read.
    void ApplySecurity(const ObjectPtr& control, const std::string& name,
                       const ObjectPtr& controls);

    RecordsetPtr GetPrototypeRSForView(const std::string& moduleCode);
    bool OpenRelatedDetail(const std::string& own, const std::string& target,
                           const std::string& caption, long id);
    bool ValidateCoord(const std::string& text, const std::string& label, int width,
                       const std::string& hemispheres);
    std::string GetElementGeoLevel(long elementId);
    RecordsetPtr Auditing(const std::string& tableKind, long id, const std::string& column);

    void SetViews(std::shared_ptr<ViewsCollection> views) { views_ = std::move(views); }
    // Called for each OpenRelatedDetail that found records (the workbench opens a window).
    void SetRelatedHandler(std::function<bool(const RelatedRequest&)> f) {
        related_ = std::move(f);
    }
    const std::vector<RelatedRequest>& RelatedRequests() const { return relatedLog_; }
    DataService& Database() { return *db_; }
    // Hears every statement the module sends (CallGetQueryRSXML, executesql) as written, before
    // it runs; tests and the workbench's SQL log use it.
    void SetSqlObserver(std::function<void(const std::string&)> f) { sqlObserver_ = std::move(f); }

private:
    void DefineMembers();
    long CountRelated(const std::string& target, long id);

    std::shared_ptr<DataService> db_;
    ModuleDatabase sql_;
    Options options_;
    std::shared_ptr<ViewsCollection> views_;
    std::function<bool(const RelatedRequest&)> related_;
    std::vector<RelatedRequest> relatedLog_;
    ObjectPtr viewManager_;
    std::function<void(const std::string&)> sqlObserver_;
};

} // namespace zelk::host
