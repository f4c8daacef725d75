#pragma once

#include "platform/Dispatch.h"
#include "platform/Recordset.h"

#include <string>
#include <string_view>

namespace zelk::editor {

// Late-bound calls on the host's application manager (error 91 when there is none).
Variant CallHost(const ObjectPtr& host, std::string_view member, Args args = {});
// Runs a query through CallGetQueryRSXML; error 91 when the host answered no recordset.
RecordsetPtr HostQuery(const ObjectPtr& app, const std::string& sql);
// Whether a working list can be searched by record ID: it has an "ID" column.
bool ListHasIds(const RecordsetPtr& list);

} // namespace zelk::editor
