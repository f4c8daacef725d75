#include "host/bo/DomainListImpl.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::bo {

DomainListImpl::DomainListImpl(const SqlResult& rows) : rs_(NewRecordset()) {
    for (std::size_t c = 0; c < rows.columns.size(); ++c) {
        // The column's type is that of its first value; text when all are empty.
        int type = ad::VarChar;
        for (const auto& r : rows.rows) {
            if (r[c].IsNull()) continue;
            type = r[c].IsString() ? ad::VarChar
                                   : (r[c].Type() == VarType::Double ? ad::Double : ad::Integer);
            break;
        }
        rs_->GetFields().Append(rows.columns[c], type, type == ad::VarChar ? 4000 : 0,
                                ad::FldIsNullable);
    }
    rs_->Open();
    for (const auto& r : rows.rows) {
        rs_->AddNew();
        for (std::size_t c = 0; c < r.size(); ++c)
            rs_->GetFields().Item(c).SetValue(r[c]);
        rs_->Update();
    }
    if (rs_->RecordCount() > 0) rs_->MoveFirst();
}

long DomainListImpl::Count() const {
    return rs_->RecordCount();
}

Variant DomainListImpl::Value(std::string_view field, long row) const {
    if (row < 1 || row > Count())
        Raise(err::SubscriptOutOfRange, "No domain row " + std::to_string(row));
    rs_->SetAbsolutePosition(row);
    return rs_->GetFields().Item(field).Value();
}

void DomainListImpl::SortBy(std::string_view field) {
    rs_->SetSort(field);
}

RecordsetPtr DomainListImpl::GetList(int) {
    return rs_;
}

void DomainListImpl::SortList(const RecordsetPtr& list, std::string_view field,
                              std::string_view direction) {
    if (!list) Raise(err::ObjectNotSet, "No domain list to sort");
    std::string sort(field);
    if (!Trim(direction).empty()) sort += " " + std::string(Trim(direction));
    list->SetSort(sort);
}

Variant DomainListImpl::DefaultValue(std::string_view column) const {
    if (Count() == 0) return Variant::Null();
    long pick = 1;
    if (rs_->GetFields().Exists("default_ind"))
        for (long r = 1; r <= Count(); ++r) {
            rs_->SetAbsolutePosition(r);
            Variant v = rs_->GetFields().Item("default_ind").Value();
            if (!v.IsNull() && UCase(CStr(v)) == "Y") {
                pick = r;
                break;
            }
        }
    return Value(column, pick);
}

ObjectPtr DomainListImpl::BindToCombo(const ObjectPtr& combo, std::string_view,
                                      std::string_view boundField, std::string_view listField) {
    if (!combo) Raise(err::ObjectRequired, "Object required: the combo to fill");
    combo->Let("BoundColumn", Variant(boundField));
    combo->Let("ListField", Variant(listField));
    combo->Let("RowSource", Variant(std::static_pointer_cast<Object>(rs_)));
    return combo;
}

Variant DomainListImpl::Invoke(std::string_view name, CallKind kind, Args& args) {
    if (IEquals(name, "Count")) return Variant(static_cast<int>(Count()));
    if (IEquals(name, "Value")) return Value(CStr(Arg(args, 0)), CLng(Arg(args, 1)));
    if (IEquals(name, "SortBy")) {
        SortBy(CStr(Arg(args, 0)));
        return {};
    }
    if (IEquals(name, "DefaultValue")) return DefaultValue(CStr(Arg(args, 0)));
    return Object::Invoke(name, kind, args);
}

} // namespace zelk::bo
