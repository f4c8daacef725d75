#pragma once

#include "host/framework/Component.h"

namespace zelk::host {

// "ZELK_AuditLogClient.cAuditLog": one column-level entry of the audit trail, loaded by its
// key (the "Column Id" of the host's audit listing), so that a user can comment on it.
// Properties (read only but Comments): AuditLogColumnId (the key; also ID), AuditDate,
// UserName, TableName, TableKind, Action, ColumnName, OldValue, NewValue, PrimaryKey,
// RecordId, OrgUnitId, and Comments (at most 4000 characters, kept as written).
// Entries are written by the database only: a new entry cannot be saved, none deleted.
// Named queries: "AUDIT_LOG_COLUMN_ID" (key); "Empty".
class AuditLogItem : public Component {
public:
    explicit AuditLogItem(bo::StorePtr store);
    // Error 3021 when the key names no column-level entry.
    void Load(const Variant& key) override;
    std::vector<ComponentPtr> Fetch(const std::string& query,
                                    const std::vector<std::string>& params) override;
    Variant WriteTo(bo::Saver& s, const Variant& parentId) override;
    void WriteDelete(bo::Saver& s) override;

private:
    ComponentPtr MakeSibling() const override;
    bool Writable(const bo::FieldDef& f) const override;
};

} // namespace zelk::host
