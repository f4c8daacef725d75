#pragma once

#include <string>

namespace zelk::host {

class DataService;

// The server procedures behind the application manager's Delete and Copy. Each runs in one
// transaction (a savepoint inside a caller's): it either completes or changes nothing. They
// answer false when a managed area named does not exist, and raise ComError, after rolling
// back, when a step fails. Audit rows they cause carry userName when the session names nobody.

// "delete_ma_data": removes the managed area, every row that belongs to it, its shape when no
// other managed area uses that shape, and clears the major managed area of areas inside it.
bool DeleteManagedAreaData(DataService& db, long managedAreaId, const std::string& userName);

// "COPY_MA": copies the data of the source managed area into the target. The target keeps
// its identity (ID, shape, name, codes, equivalent site, organisation unit, creation stamps)
// and every value the source lacks; it takes the source's other values and copies of the
// source's child rows, except rows it already has (the same county, reference, site, element,
// owner name, ...). Copied rows follow the target's own in display order and carry userName.
bool CopyManagedAreaData(DataService& db, long sourceId, long targetId,
                         const std::string& userName);

// By procedure name, as the module passes it; an unknown name raises ComError.
bool RunDeleteProcedure(DataService& db, const std::string& procedure, long id,
                        const std::string& userName);
bool RunCopyProcedure(DataService& db, const std::string& procedure, long sourceId, long targetId,
                      const std::string& userName);

} // namespace zelk::host
