#include "host/security/PgSecurity.h"

#include "host/data/DataService.h"
#include "host/embedded/PgSecuritySql.h"
#include "platform/Conv.h"
#include "platform/Error.h"

namespace zelk::host {

bool PgSecurityInstalled(DataService& db) {
    return CLng(db.Query("SELECT (to_regclass('security_role') IS NOT NULL)::integer AS p")
                    ->Value("p")) == 1;
}

void InstallPgSecurity(DataService& db) {
    try {
        db.ExecScript(embedded::PgSecuritySql());
    } catch (const ComError& e) {
        Raise(e.Number(),
              "The rights on this database could not be set up; its owner (or a superuser) "
              "opens it once, or runs zelk-admin init. " +
                  e.Description(),
              "Security");
    }
}

} // namespace zelk::host
