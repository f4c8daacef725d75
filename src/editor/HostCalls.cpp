#include "editor/HostCalls.h"

#include "platform/Error.h"

#include <memory>

namespace zelk::editor {

Variant CallHost(const ObjectPtr& host, std::string_view member, Args args) {
    if (!host) Raise(91, "Object variable or With block variable not set");
    return host->Call(member, std::move(args));
}

RecordsetPtr HostQuery(const ObjectPtr& app, const std::string& sql) {
    Variant v = CallHost(app, "CallGetQueryRSXML", {Variant(sql)});
    auto rs = v.IsObject() ? std::dynamic_pointer_cast<Recordset>(v.Obj()) : nullptr;
    if (!rs) Raise(91, "The query returned no recordset");
    return rs;
}

} // namespace zelk::editor
