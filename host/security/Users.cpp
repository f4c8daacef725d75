#include "host/security/Users.h"

#include "host/ReferenceHost.h"
#include "host/data/PgDataService.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::host::security {

namespace {

constexpr const char* kSource = "Security";

[[noreturn]] void Refuse(const std::string& why) {
    Raise(err::InvalidArgument, why, kSource);
}

// What the server would refuse too, said the same way on a file.
void CheckName(const std::string& name) {
    if (Trim(name).empty()) Refuse("A user needs a name.");
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f) Refuse("A user name cannot hold control characters.");
}

// Access letters as the server functions take them.
const char* Letter(Access a) {
    switch (a) {
    case Access::Admin:
        return "A";
    case Access::Edit:
        return "E";
    case Access::Read:
        return "R";
    case Access::None:
        break;
    }
    Refuse("The access must be read, edit or admin.");
}

Access FromLetter(const std::string& l) {
    if (l == "A") return Access::Admin;
    if (l == "E" || l == "F") return Access::Edit;
    if (l == "R") return Access::Read;
    return Access::None;
}

Variant OrNull(const std::optional<std::string>& s) {
    return s ? Variant(*s) : Variant::Null();
}

} // namespace

const char* AccessName(Access a) {
    switch (a) {
    case Access::Admin:
        return "admin";
    case Access::Edit:
        return "edit";
    case Access::Read:
        return "read";
    case Access::None:
        break;
    }
    return "none";
}

Access ParseAccess(const std::string& text) {
    for (Access a : {Access::Read, Access::Edit, Access::Admin})
        if (IEquals(text, AccessName(a))) return a;
    Refuse("The access must be read, edit or admin, not '" + text + "'.");
}

std::string SignedInUser(DataService& db, const std::string& requested) {
    if (db.Dialect() != sql::Dialect::PostgreSQL)
        return requested.empty() ? OsUserName() : requested;
    std::string session = CStr(db.Query("SELECT session_user::text AS u")->Value("u"));
    if (!requested.empty() && requested != session)
        Raise(err::InvalidArgument,
              "On a server database you are the user the server signed you in as (" + session +
                  "); a user name of your own (--user " + requested +
                  ") cannot be used there. To work as another user, connect as that user: "
                  "postgresql://NAME@host/database, or PGUSER=NAME.",
              kSource);
    return session;
}

bool UserDirectory::OnServer() const {
    return db_.Dialect() == sql::Dialect::PostgreSQL;
}

std::vector<User> UserDirectory::List() {
    std::vector<User> out;
    RecordsetPtr rs;
    if (OnServer()) {
        rs = db_.Query("SELECT u.user_name, zelk_access(u.user_name) AS access, o.org_unit_code "
                       "FROM app_user u LEFT JOIN org_unit o ON o.org_unit_id = u.org_unit_id "
                       "ORDER BY u.user_name");
    } else {
        EnsureAdminColumn();
        rs = db_.Query("SELECT u.user_name, CASE WHEN u.admin_ind = 'Y' THEN 'A' ELSE "
                       "u.access_level END AS access, o.org_unit_code FROM app_user u LEFT JOIN "
                       "org_unit o ON o.org_unit_id = u.org_unit_id ORDER BY u.user_name");
    }
    for (; !rs->EOF(); rs->MoveNext()) {
        Variant org = rs->Value("org_unit_code");
        out.push_back({CStr(rs->Value("user_name")), FromLetter(CStr(rs->Value("access"))),
                       org.IsNull() ? std::string() : CStr(org)});
    }
    return out;
}

Access UserDirectory::AccessOf(const std::string& name) {
    if (OnServer())
        return FromLetter(
            CStr(db_.Query("SELECT zelk_access(?) AS a", {Variant(name)})->Value("a")));
    auto rs = db_.Query("SELECT * FROM app_user WHERE user_name = ?", {Variant(name)});
    // On a file a user without a row reads only.
    if (rs->RecordCount() == 0) return Access::Read;
    if (rs->GetFields().Exists("admin_ind") && !rs->Value("admin_ind").IsNull() &&
        CStr(rs->Value("admin_ind")) == "Y")
        return Access::Admin;
    return FromLetter(CStr(rs->Value("access_level")));
}

long UserDirectory::OrgUnitId(const std::string& code) {
    auto rs = code.empty() ? db_.Query("SELECT MIN(org_unit_id) AS id FROM org_unit")
                           : db_.Query("SELECT org_unit_id AS id FROM org_unit WHERE "
                                       "org_unit_code = ?",
                                       {Variant(code)});
    if (rs->RecordCount() == 0 || rs->Value("id").IsNull()) {
        if (code.empty()) return -1;
        Refuse("There is no organisation unit '" + code + "'.");
    }
    return CLng(rs->Value("id"));
}

void UserDirectory::EnsureAdminColumn() {
    if (db_.Query("SELECT 1 FROM pragma_table_info('app_user') WHERE name = 'admin_ind'")
            ->RecordCount() > 0)
        return;
    try {
        db_.Execute("ALTER TABLE app_user ADD COLUMN admin_ind TEXT NOT NULL DEFAULT 'N'");
    } catch (const ComError&) {
        // A file this user may only read: nobody administers it from here.
    }
}

std::string UserDirectory::Verifier(const std::string& name, const std::string& password) {
    auto* pg = dynamic_cast<PgDataService*>(&db_);
    if (!pg) Refuse("A database file has no passwords: its protection is its file permissions.");
    if (password.empty()) Refuse("An empty password cannot be set.");
    return pg->EncryptPassword(name, password);
}

void UserDirectory::Add(const std::string& name, Access access, const std::string& orgUnit,
                        const std::optional<std::string>& password) {
    CheckName(name);
    if (OnServer()) {
        Variant verifier = password ? Variant(Verifier(name, *password)) : Variant::Null();
        db_.Query("SELECT 1 AS done FROM zelk_add_user(?, ?, ?, ?)",
                  {Variant(name), Variant(Letter(access)),
                   orgUnit.empty() ? Variant::Null() : Variant(orgUnit), verifier});
        return;
    }
    if (password) Verifier(name, *password);
    Letter(access);
    EnsureAdminColumn();
    if (db_.Query("SELECT 1 FROM app_user WHERE user_name = ?", {Variant(name)})->RecordCount() > 0)
        Refuse("The user '" + name + "' exists already.");
    long org = OrgUnitId(orgUnit);
    db_.Execute("INSERT INTO app_user (user_name, org_unit_id, access_level, admin_ind) VALUES "
                "(?, ?, ?, ?)",
                {Variant(name), org < 0 ? Variant::Null() : Variant(static_cast<int>(org)),
                 Variant(access == Access::Read ? "R" : "F"),
                 Variant(access == Access::Admin ? "Y" : "N")});
}

void UserDirectory::Set(const std::string& name, std::optional<Access> access,
                        const std::optional<std::string>& orgUnit,
                        const std::optional<std::string>& password) {
    CheckName(name);
    if (OnServer()) {
        Variant verifier = password ? Variant(Verifier(name, *password)) : Variant::Null();
        db_.Query("SELECT 1 AS done FROM zelk_set_user(?, ?, ?, ?)",
                  {Variant(name), access ? Variant(Letter(*access)) : Variant::Null(),
                   OrNull(orgUnit), verifier});
        return;
    }
    if (password) Verifier(name, *password);
    EnsureAdminColumn();
    if (db_.Query("SELECT 1 FROM app_user WHERE user_name = ?", {Variant(name)})->RecordCount() ==
        0)
        Refuse("There is no user '" + name + "' in this database.");
    Transaction t(db_);
    if (access) {
        Letter(*access);
        db_.Execute("UPDATE app_user SET access_level = ?, admin_ind = ? WHERE user_name = ?",
                    {Variant(*access == Access::Read ? "R" : "F"),
                     Variant(*access == Access::Admin ? "Y" : "N"), Variant(name)});
    }
    if (orgUnit)
        db_.Execute("UPDATE app_user SET org_unit_id = ? WHERE user_name = ?",
                    {Variant(static_cast<int>(OrgUnitId(*orgUnit))), Variant(name)});
    t.Commit();
}

void UserDirectory::Remove(const std::string& name) {
    CheckName(name);
    if (OnServer()) {
        db_.Query("SELECT 1 AS done FROM zelk_remove_user(?)", {Variant(name)});
        return;
    }
    if (db_.Execute("DELETE FROM app_user WHERE user_name = ?", {Variant(name)}) == 0)
        Refuse("There is no user '" + name + "' in this database.");
}

void UserDirectory::RegisterCreator(const std::string& name) {
    // On a server the schema made its creator a member of the administrators already.
    if (!OnServer()) EnsureAdminColumn();
    if (db_.Query("SELECT 1 FROM app_user WHERE user_name = ?", {Variant(name)})->RecordCount() ==
        0)
        db_.Execute("INSERT INTO app_user (user_name, org_unit_id, access_level) VALUES (?, "
                    "(SELECT MIN(org_unit_id) FROM org_unit), 'F')",
                    {Variant(name)});
    if (!OnServer()) {
        try {
            db_.Execute("UPDATE app_user SET admin_ind = 'Y' WHERE user_name = ?", {Variant(name)});
        } catch (const ComError&) {
            // A file without the column (read-only): the creator still edits.
        }
    }
}

} // namespace zelk::host::security
