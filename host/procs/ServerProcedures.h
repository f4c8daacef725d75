#pragma once

#include "host/data/DataService.h"

#include <string>
#include <vector>

namespace zelk::host {

// The server procedures the module calls by name, each in one transaction: all or nothing.
//   "delete_ma_data"(id): the managed area, every child row and its shape when no other
//   managed area shares it. False when there is no such managed area.
//   "COPY_MA"(source, target): the descriptive fields and the child lists of source replace
//   those of target; identity (ID, code, name, shape, organisation unit) and the elements
//   recorded in the target stay. False when either is missing or they are the same.
// An unknown procedure is error 5. A database failure rolls back and raises.
bool RunServerProcedure(DataService& db, const std::string& name, const std::vector<long>& ids,
                        const std::string& userName);

bool DeleteManagedAreaData(DataService& db, long managedAreaId);
bool CopyManagedAreaData(DataService& db, long sourceId, long targetId,
                         const std::string& userName);

// The tables whose rows belong to one managed area (foreign key to ma), from the schema itself.
std::vector<std::string> ManagedAreaChildTables(DataService& db);

} // namespace zelk::host
