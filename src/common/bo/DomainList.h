#pragma once

#include "platform/Dispatch.h"
#include "platform/Recordset.h"
#include "platform/Variant.h"

#include <string_view>

namespace zelk::bo {

// Rows of one lookup table: an ID column, display_value, display_order and descriptive
// columns.
class IDomainList {
public:
    virtual ~IDomainList() = default;
    virtual long Count() const = 0;
    // Field by name and 1-based row; 3265 for an unknown field, 9 for a bad row.
    virtual Variant Value(std::string_view field, long row) const = 0;
    virtual void SortBy(std::string_view field) = 0;
    // The rows as a recordset (kind 1: the list as currently ordered) and a sort of it; the
    // two-step form callers use to order the list.
    virtual RecordsetPtr GetList(int kind) = 0;
    virtual void SortList(const RecordsetPtr& list, std::string_view field,
                          std::string_view direction) = 0;
    // The value of column in the row marked as default, else of the first row; Null if empty.
    virtual Variant DefaultValue(std::string_view column) const = 0;
    // Fills a data combo: its rows, bound column and list column. Returns the combo.
    virtual ObjectPtr BindToCombo(const ObjectPtr& combo, std::string_view unused,
                                  std::string_view boundField, std::string_view listField) = 0;
};
using DomainPtr = std::shared_ptr<IDomainList>;

} // namespace zelk::bo
