#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zelk::host {
class DataService;
}

namespace zelk::host::security {

// What a user may do. On a server database the server enforces it (group roles); on a file
// the host does, and the file's own permissions are its protection.
enum class Access { None, Read, Edit, Admin };

// "read", "edit", "admin" ("none" for None).
const char* AccessName(Access a);
// Parses "read", "edit" or "admin" (any case); raises ComError for anything else.
Access ParseAccess(const std::string& text);

struct User {
    std::string name;
    Access access = Access::None;
    std::string orgUnit; // the organisation unit's code; "" when none
};

// The signed-in user: on a server database the server's session user, and a client-supplied
// name (`requested`) is refused unless it is that user; on a file the requested name, else
// the user of the operating system.
std::string SignedInUser(DataService& db, const std::string& requested);

// Who may do what in one database, and the administration of its users. Every name reaches
// the database as a bound value; on a server the server quotes it where it becomes an
// identifier. A password travels only as the verifier libpq makes of it.
class UserDirectory {
public:
    explicit UserDirectory(DataService& db) : db_(db) {}

    std::vector<User> List();
    Access AccessOf(const std::string& name);
    bool IsAdministrator(const std::string& name) { return AccessOf(name) == Access::Admin; }
    // A new user; orgUnit "" takes the first organisation unit. On a server a login role is
    // created (or an existing login gets rights here); a password is for server logins only.
    void Add(const std::string& name, Access access, const std::string& orgUnit,
             const std::optional<std::string>& password = std::nullopt);
    // Changes what is given and keeps the rest.
    void Set(const std::string& name, std::optional<Access> access,
             const std::optional<std::string>& orgUnit,
             const std::optional<std::string>& password = std::nullopt);
    // On a server the login goes too, so the user can no longer connect.
    void Remove(const std::string& name);
    // The creator of a new database: its first administrator.
    void RegisterCreator(const std::string& name);

private:
    bool OnServer() const;
    long OrgUnitId(const std::string& code);
    void EnsureAdminColumn();
    std::string Verifier(const std::string& name, const std::string& password);

    DataService& db_;
};

} // namespace zelk::host::security
