#pragma once

#include "platform/Recordset.h"

#include <string>

namespace zelk::elementgrid {

// Shows another module's search control (by ProgID) in the modal search dialog with the given
// caption and icon, single selection, and lets it fill `rs` with the chosen records.
void ShowModalSearch(const std::string& progId, const std::string& caption, const std::string& icon,
                     const ObjectPtr& appManager, RecordsetPtr& rs);

} // namespace zelk::elementgrid
