#include "host/ReferenceHost.h"

#include "common/FrameworkClasses.h"
#include "common/RS_Functions.h"
#include "controls/MakersControls.h"
#include "host/app/DataClient.h"
#include "host/bo/RegisterBusinessObjects.h"
#include "host/data/PgDataService.h"
#include "host/data/SqliteDataService.h"
#include "host/framework/ChangeRecorder.h"
#include "host/framework/RegisterFrameworkClasses.h"
#include "host/gis/GisInterface.h"
#include "host/modules/ModuleStandIns.h"
#include "host/procs/ServerProcedures.h"
#include "host/sample/SampleData.h"
#include "host/security/Users.h"
#include "host/spelling/SpellChecker.h"
#include "host/sql/OracleQuery.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/XmlObjects.h"
#include "platform/ui/ControlRegistry.h"
#include "zelk/ManagedAreaModule.h"

#include <cstdlib>

namespace zelk::host {

struct ReferenceHost::Impl {
    sql::OracleTranslator translator;
};

std::string OsUserName() {
    for (const char* var : {"USER", "LOGNAME"})
        if (const char* v = std::getenv(var); v && *v) return v;
    return "user";
}

namespace {

// Whoever creates a database administers it; an existing database keeps its own rules.
void EnsureUser(DataService& db, const std::string& user, bool created) {
    if (created) security::UserDirectory(db).RegisterCreator(user);
}

RecordsetPtr NewWorkingList(AppManager& app) {
    // Same columns as the view the search reads, so rows can be copied across.
    return app.GetPrototypeRSForView("MGA");
}

} // namespace

std::unique_ptr<ReferenceHost> ReferenceHost::Open(const HostOptions& options,
                                                   const Progress& progress) {
    std::unique_ptr<ReferenceHost> host(new ReferenceHost());
    host->impl_ = std::make_unique<Impl>();

    // No path given: the database named in the environment, else a private one in memory.
    std::string path = options.dbPath;
    if (path.empty())
        if (const char* env = std::getenv("ZELK_DB"); env && *env) path = env;
    std::shared_ptr<DataService> db;
    const bool server = PgDataService::IsUrl(path);
    if (server) {
        auto pg = std::make_shared<PgDataService>(path, OpenMode::CreateIfMissing);
        host->created_ = pg->WasCreated();
        db = pg;
    } else {
        auto lite = std::make_shared<SqliteDataService>(path, OpenMode::CreateIfMissing);
        host->created_ = lite->WasCreated();
        db = lite;
    }
    host->db_ = db;
    // On a server the server says who is signed in; a name of the client's own is refused.
    host->userName_ = security::SignedInUser(*db, options.userName);
    const sql::Dialect dialect = db->Dialect();
    if (progress) progress(5);
    if (host->created_ && options.sampleData)
        WriteSampleData(*db, options.sampleAreas, options.sampleSeed);
    EnsureUser(*db, host->userName_, host->created_);
    if (progress) progress(100);

    Impl* impl = host->impl_.get();
    ModuleDatabase sql;
    sql.query = [db, impl, dialect](const std::string& text) {
        return QueryOracle(*db, impl->translator, text, dialect);
    };
    sql.execute = [db, impl, dialect](const std::string& text) {
        return ExecuteOracle(*db, impl->translator, text, dialect);
    };
    sql.procedure = [db](const std::string& name, const std::vector<long>& ids,
                         const std::string& user) {
        if (ids.size() == 1) return RunDeleteProcedure(*db, name, ids[0], user);
        if (ids.size() == 2) return RunCopyProcedure(*db, name, ids[0], ids[1], user);
        Raise(err::InvalidProcedureCall, "Wrong number of arguments for " + name);
    };
    host->app_ = std::make_shared<AppManager>(
        db, sql,
        AppManager::Options{host->userName_, server ? PgDataService::Redacted(path) : path,
                            server ? 2 : 1, "wayfold-help.html"});
    db->SetSessionUser(host->userName_, host->app_->GetSystemOrgUnitID());

    host->winMan_ = std::make_shared<WindowManager>();
    host->views_ = std::make_shared<ViewsCollection>();
    host->workingList_ = NewWorkingList(*host->app_);
    if (options.fillWorkingList) {
        auto all = host->app_->CallGetQueryRSXML(
            "SELECT * FROM managed_area_wl_vw ORDER BY managed_area_wl_vw.managed_area_name");
        // The answer is the host's alone and read no more: its records move into the list.
        RecordsetPtr list;
        MoveToDetachedRecordset(*all, list);
        host->workingList_ = list;
    }
    host->views_->AddView("MGA", host->workingList_);
    host->app_->SetViews(host->views_);

    auto& registry = ProgIdRegistry::Instance();
    RegisterControls(registry);
    controls::RegisterMakersControls(registry);
    RegisterXmlClasses(registry);
    RegisterModuleStandIns(registry);
    RegisterManagedAreaModule(registry);
    host->MakeCurrent();
    return host;
}

void ReferenceHost::MakeCurrent() const {
    auto& registry = ProgIdRegistry::Instance();
    RegisterDataClient(registry, db_);
    bo::RegisterBusinessObjects(registry, db_);
    RegisterFrameworkClasses(registry, db_);
    gis::RegisterGisInterface(registry, db_);
    RegisterSpellChecker(registry, db_, [app = std::weak_ptr<AppManager>(app_)] {
        auto a = app.lock();
        return a ? a->GetUserID() : -1L;
    });
    common::SetChangeRecorderFactory([db = db_] { return std::make_shared<ChangeRecorder>(db); });
}

ReferenceHost::~ReferenceHost() = default;

} // namespace zelk::host
