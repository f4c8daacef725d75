#pragma once

#include "host/data/DataService.h"
#include "platform/Recordset.h"

namespace zelk::host {

// The host's side of the module's list events. UpdateList(ID): the row is read again from the
// managed-area working-list view into every column the list has (added at the end when the
// list does not hold it; nothing when the record is not in the database). RemoveItem(ID): the
// row goes. The list's current row stays where it was (the first row when it was removed).
void RefreshWorkingListRow(DataService& db, Recordset& list, long id);
void RemoveWorkingListRow(Recordset& list, long id);

} // namespace zelk::host
