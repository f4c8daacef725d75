#include "host/sample/SampleData.h"

#include "host/data/PgDataService.h"
#include "host/gis/GisSchema.h"
#include "host/sample/SampleWriter.h"
#include "host/schema/PgSchema.h"
#include "host/schema/Schema.h"
#include "platform/Conv.h"
#include "platform/Error.h"

#include <string>
#include <vector>

namespace zelk::host {

void WriteSampleData(DataService& db, int areas, unsigned seed) {
    if (areas < 0) Raise(err::InvalidArgument, "The number of managed areas cannot be negative.");
    Transaction t(db);
    if (CLng(db.Query("SELECT count(*) AS n FROM d_state")->Value("n")) > 0)
        Raise(err::ProviderError,
              "The database already holds data; sample data goes into a new one.", "SampleData");
    if (db.Dialect() == sql::Dialect::PostgreSQL) {
        EnablePgAuditTriggers(db, false);
        auto* server = dynamic_cast<PgDataService*>(&db);
        if (server) server->SetBulkLoad(true);
        sample::SampleRandom r(seed);
        sample::SampleCatalogue c = sample::WriteReferenceData(db, areas, r);
        c.seed = seed;
        sample::WriteManagedAreas(db, c, areas, r);
        if (server) server->SetBulkLoad(false);
        // The rows came with their keys; new rows must number on from there.
        SyncPgKeyGenerators(db);
        EnablePgAuditTriggers(db, true);
        db.ExecScript("ANALYZE;");
        t.Commit();
        return;
    }
    // A load is not a change anybody made: the audit triggers are off while it runs, and put
    // back from the catalogue before the transaction commits.
    auto triggers = db.Query("SELECT name FROM sqlite_master WHERE type = 'trigger' AND "
                             "name LIKE '%audit%'");
    for (; !triggers->EOF(); triggers->MoveNext())
        db.Execute("DROP TRIGGER " + CStr(triggers->Value("name")));

    // Indexes built once over the loaded rows cost far less than kept up row by row.
    std::vector<std::string> indexes;
    auto ix = db.Query("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT "
                       "NULL");
    for (; !ix->EOF(); ix->MoveNext()) {
        indexes.push_back(CStr(ix->Value("sql")));
        db.Execute("DROP INDEX " + CStr(ix->Value("name")));
    }

    gis::BeginBulkGeometry(db);
    sample::SampleRandom r(seed);
    sample::SampleCatalogue c = sample::WriteReferenceData(db, areas, r);
    c.seed = seed;
    sample::WriteManagedAreas(db, c, areas, r);
    gis::EndBulkGeometry(db);

    for (const std::string& sql : indexes)
        db.Execute(sql);
    InstallAuditTriggers(db);
    t.Commit();
}

} // namespace zelk::host
