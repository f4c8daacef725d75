#include "host/framework/AuditLogItem.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::host {

namespace {
const char* const kClass = "ZELK_AuditLogClient.cAuditLog";

const bo::TableDef& AuditTable() {
    using bo::FieldKind;
    auto f = [](const char* p, const char* c, FieldKind k, int size = 0) {
        return bo::FieldDef{p, c, k, size, "", ""};
    };
    static const bo::TableDef t{
        "audit_log",
        "audit_log_id",
        "",
        {f("AuditLogColumnId", "audit_log_id", FieldKind::Long),
         f("AuditDate", "audit_date", FieldKind::Date), f("UserName", "user_name", FieldKind::Text),
         f("TableName", "table_name", FieldKind::Text),
         f("TableKind", "table_kind", FieldKind::Text), f("Action", "action", FieldKind::Text),
         f("ColumnName", "column_name", FieldKind::Text),
         f("OldValue", "old_value", FieldKind::Text), f("NewValue", "new_value", FieldKind::Text),
         f("Comments", "comments", FieldKind::Text, 4000),
         f("PrimaryKey", "primary_key", FieldKind::Long),
         f("RecordId", "record_id", FieldKind::Long),
         f("OrgUnitId", "org_unit_id", FieldKind::Long)},
        false,
        false};
    return t;
}

const char* const kColumnEntry = "t.audit_log_id = ? AND t.column_name IS NOT NULL";
} // namespace

AuditLogItem::AuditLogItem(bo::StorePtr store)
    : Component(kClass, AuditTable(), std::move(store)) {}

ComponentPtr AuditLogItem::MakeSibling() const {
    return std::make_shared<AuditLogItem>(store_);
}

bool AuditLogItem::Writable(const bo::FieldDef& f) const {
    return f.column == "comments";
}

void AuditLogItem::Load(const Variant& key) {
    auto rows =
        store_->LoadRowsWhere(rec_.Def(), kColumnEntry, {WholeNumber(CStr(key), "The key")});
    if (rows.empty())
        Raise(err::NoCurrentRecord, "No column-level audit entry with the key " + CStr(key),
              kClass);
    LoadRow(rows.front());
}

std::vector<ComponentPtr> AuditLogItem::Fetch(const std::string& query,
                                              const std::vector<std::string>& p) {
    if (IEquals(query, "Empty")) return {};
    if (!IEquals(query, "AUDIT_LOG_COLUMN_ID"))
        Raise(err::InvalidProcedureCall, "Unknown query '" + query + "' for " + kClass);
    if (p.size() != 1)
        Raise(err::InvalidProcedureCall,
              query + " takes 1 parameter (the key), not " + std::to_string(p.size()));
    return FetchWhere(kColumnEntry, {WholeNumber(p[0], "The key")});
}

Variant AuditLogItem::WriteTo(bo::Saver& s, const Variant& parentId) {
    if (IsNew())
        Raise(err::InvalidProcedureCall,
              "An audit entry is written by the database; load one to comment on it", kClass);
    return Component::WriteTo(s, parentId);
}

void AuditLogItem::WriteDelete(bo::Saver&) {
    Raise(err::InvalidProcedureCall, "Audit entries cannot be deleted", kClass);
}

} // namespace zelk::host
