#pragma once

#include "common/bo/DomainList.h"
#include "host/bo/SqlPort.h"

namespace zelk::bo {

// A lookup table's rows held in a recordset.
class DomainListImpl : public Object, public IDomainList {
public:
    explicit DomainListImpl(const SqlResult& rows);
    std::string TypeName() const override { return "DomainList"; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override;

    long Count() const override;
    Variant Value(std::string_view field, long row) const override;
    void SortBy(std::string_view field) override;
    RecordsetPtr GetList(int kind) override;
    void SortList(const RecordsetPtr& list, std::string_view field,
                  std::string_view direction) override;
    Variant DefaultValue(std::string_view column) const override;
    ObjectPtr BindToCombo(const ObjectPtr& combo, std::string_view unused,
                          std::string_view boundField, std::string_view listField) override;

private:
    RecordsetPtr rs_;
};

} // namespace zelk::bo
