#pragma once

#include "platform/Recordset.h"
#include "platform/ui/VSFlexGrid.h"

#include <string>

namespace zelk::dialogs {

// Shows every field and record of rs in the grid, as binding the grid to the recordset does:
// one header row with the field names, then record n in row n. The recordset's position is
// left on its first record. Fast on many thousands of rows: drawing is held until the end.
void ShowRecordset(VSFlexGrid& grid, Recordset& rs);

// A readable header from a field name: managed_area_id -> "Managed Area ID".
std::string ReadableHeader(const std::string& fieldName);

} // namespace zelk::dialogs
