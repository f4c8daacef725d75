#pragma once

#include "platform/Recordset.h"
#include "platform/RowSource.h"

#include <functional>
#include <string>

namespace zelk {

// Procedures that move records between recordsets keyed by an "ID" field. The grid
// procedures read each selected row's ID from its column 0. All leave the recordsets'
// positions where their last operation left them.

// Appends to target every selected row's record of source whose ID target lacks yet.
void AppendSelectedRows(const SelectedRowSource& grid, Recordset& source, Recordset& target);
// Removes every record; the fields stay, so the recordset can be appended to at once.
void EmptyRecordset(Recordset& rs);
// With at least one selected row: empties target, then appends the selected rows.
void ReplaceWithSelectedRows(const SelectedRowSource& grid, Recordset& source, Recordset& target);
// Copies source's current record into target, over target's record with the same ID or as a
// new one. 1 on success; 0 when source is closed or empty, or on error (reported to the user).
int MergeRecord(Recordset& source, Recordset& target);
// A new, open, empty recordset with source's fields; all but the key fields become text.
void CreateDetachedRecordset(Recordset& source, RecordsetPtr& newRs);
// CreateDetachedRecordset, then a copy of every record of source.
void CopyToDetachedRecordset(Recordset& source, RecordsetPtr& newRs);
// The same for a source that is not needed afterwards: its records move into the new
// recordset instead of being copied, and source is left open and empty.
void MoveToDetachedRecordset(Recordset& source, RecordsetPtr& newRs);

// How MergeRecord shows its error until a user-interface driver plugs in; flags 64 is the
// information icon. The default writes the message to stderr.
using MessageBoxHook =
    std::function<int(const std::string& prompt, int flags, const std::string& title)>;
void SetMessageBoxHook(MessageBoxHook hook);

} // namespace zelk
