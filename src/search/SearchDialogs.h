#pragma once

#include "platform/Dispatch.h"

#include <string>

namespace zelk::search {

class ManagedAreaSearch;

// The modal windows the search opens: the editor on one record or on a new one, and the
// statement it would run. Each takes the icon of the form that contains the search.

// Shows the record in the editor, modally.
void ShowModalDetails(ManagedAreaSearch& search, const ObjectPtr& appManager, long id);
// Opens the editor on a new record, modally; the new record's ID, 0 or less when none was made.
long NewModalDetails(ManagedAreaSearch& search, const ObjectPtr& appManager);
// Shows the statement, read-only, modally.
void ShowSearchSql(ManagedAreaSearch& search, const std::string& sql);

} // namespace zelk::search
