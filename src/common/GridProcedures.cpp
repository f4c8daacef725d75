#include "common/GridProcedures.h"

#include "platform/Conv.h"

namespace zelk::common {

namespace {
std::string Text(const Variant& v) {
    return v.IsNull() || v.IsEmpty() ? std::string() : CStr(v);
}

// A criterion value: numbers as they are, anything else quoted, so a key with a quote in it
// cannot break the criterion.
std::string CriterionValue(const std::string& value) {
    if (ParseNumber(value) && value.find(',') == std::string::npos) return value;
    std::string quoted = "'";
    for (char c : value) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted + "'";
}
} // namespace

std::string BuildComboList(const bo::DomainPtr& list, std::string_view idField,
                           std::string_view textField) {
    if (!list) return {};
    const long count = list->Count();
    if (count < 1) return {};
    std::string out;
    for (long row = 1; row <= count; ++row)
        out +=
            "#" + Text(list->Value(idField, row)) + ";" + Text(list->Value(textField, row)) + "|";
    out.pop_back();
    return out;
}

void SortDomainList(const bo::DomainPtr& list, std::string_view field) {
    if (!list) return;
    list->SortList(list->GetList(1), field, "");
}

long FindGridRow(const VSFlexGrid& grid, const std::string& value, std::string_view colKey) {
    const long col = grid.ColIndex(colKey);
    // FindRow on column -1 would compare the row data instead.
    if (col < 0) return -1;
    return grid.FindRow(Variant(value), -1, col);
}

void StoreRowOrder(const VSFlexGrid& grid, bo::IChildCollection& collection,
                   std::string_view keyField, const std::string& userName) {
    for (long row = grid.FixedRows(); row < grid.Rows(); ++row) {
        const std::string key = Text(grid.RowData(row));
        if (key.empty()) continue;
        auto item = collection.Find(std::string(keyField) + " = " + CriterionValue(key));
        if (!item) continue;
        SetPropertyIfChanged(*item, "DisplayOrder", std::to_string(row - grid.FixedRows() + 1),
                             userName);
    }
}

bool SetPropertyIfChanged(bo::IChildObject& item, std::string_view property,
                          const std::string& newValue, const std::string& userName) {
    if (Text(item.GetProperty(property)) == newValue) return false;
    item.SetProperty(property, newValue.empty() ? Variant::Null() : Variant(newValue));
    if (!item.IsNew()) item.SetProperty("RecLastModUser", Variant(userName));
    return true;
}

} // namespace zelk::common
