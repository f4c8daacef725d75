#pragma once

#include "host/app/AppManager.h"
#include "host/app/Views.h"
#include "host/data/DataService.h"

#include <functional>
#include <memory>
#include <string>

namespace zelk::host {

struct HostOptions {
    // ":memory:" for tests; a file is created with schema and sample data on first start.
    // A "postgresql://..." URL works on a PostgreSQL server instead; an empty database there
    // gets the schema and sample data the same way. "" takes the environment's ZELK_DB.
    std::string dbPath = ":memory:";
    // On a file: "" = the user of the operating system, or a name for tests and scripts. On a
    // server the server's session user is the user, and any other name here is refused.
    std::string userName;
    int sampleAreas = 500;
    unsigned sampleSeed = 1;
    bool sampleData = true; // fill a new database with the sample data set
    // Start with every managed area in the working list (the desktop's first view), rather
    // than an empty list that only a search fills.
    bool fillWorkingList = false;
};

// The reference host in one piece: the database, the application manager, the window manager,
// the views with the managed-area working list, and every class the module creates by
// programmatic identifier (controls, business objects, framework classes, GIS stand-in).
class ReferenceHost {
public:
    // Progress of a first start, 0..100, while the sample data are written.
    using Progress = std::function<void(int percent)>;
    static std::unique_ptr<ReferenceHost> Open(const HostOptions& options,
                                               const Progress& progress = {});
    ~ReferenceHost();

    const std::shared_ptr<DataService>& Db() const { return db_; }
    const std::shared_ptr<AppManager>& App() const { return app_; }
    const std::shared_ptr<WindowManager>& WinMan() const { return winMan_; }
    const std::shared_ptr<ViewsCollection>& Views() const { return views_; }
    // The host's managed-area working list ("rsView"): ID, managed_area_name, managed_area_desc.
    const RecordsetPtr& WorkingList() const { return workingList_; }
    // The view ID of the managed-area view in Views (1-based position).
    long ManagedAreaViewId() const { return 1; }
    bool WasCreated() const { return created_; }
    const std::string& UserName() const { return userName_; }
    // The classes the module creates by identifier are registered process-wide; with several
    // hosts in one process (tests of many users) the last one opened owns them. This makes
    // them this host's again, so the objects created from now on use its database.
    void MakeCurrent() const;

private:
    ReferenceHost() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::shared_ptr<DataService> db_;
    std::shared_ptr<AppManager> app_;
    std::shared_ptr<WindowManager> winMan_;
    std::shared_ptr<ViewsCollection> views_;
    RecordsetPtr workingList_;
    bool created_ = false;
    std::string userName_;
};

// The user of the operating system ("USER", then "LOGNAME"), "user" when neither is set.
std::string OsUserName();

} // namespace zelk::host
