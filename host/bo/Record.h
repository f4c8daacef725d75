#pragma once

#include "host/bo/TableDef.h"
#include "platform/Variant.h"

#include <string_view>
#include <vector>

namespace zelk::bo {

// The field values of one business object, with the values last loaded or saved, so a
// save can tell which columns really changed.
class Record {
public:
    explicit Record(const TableDef& def);

    const TableDef& Def() const { return *def_; }
    // 438 when the table has no such property.
    int Index(std::string_view property) const;
    Variant Get(std::string_view property) const { return values_[Index(property)]; }
    const Variant& At(int i) const { return values_[static_cast<std::size_t>(i)]; }
    const Variant& Original(int i) const { return originals_[static_cast<std::size_t>(i)]; }
    // Converts to the field's kind (13 when it cannot, nothing changed); true when the value
    // differs from the one held before.
    bool Set(std::string_view property, const Variant& value);
    // Sets without conversion checks of the caller's input (values from the database).
    void SetAt(int i, Variant v) { values_[static_cast<std::size_t>(i)] = std::move(v); }

    // Values read from the database, in field order; they become the originals too.
    void Load(const std::vector<Variant>& row);
    void Clear();
    void MarkClean() { originals_ = values_; }
    // After a merge the database's values become the originals, so a save writes only where
    // the merged record differs from them.
    void SetOriginals(std::vector<Variant> originals) { originals_ = std::move(originals); }
    const std::vector<Variant>& Values() const { return values_; }
    const std::vector<Variant>& Originals() const { return originals_; }
    bool Dirty() const;
    // Stored fields whose value differs from the original.
    std::vector<int> ChangedFields() const;

    static Variant Normalize(const FieldDef& f, const Variant& v);

private:
    const TableDef* def_;
    std::vector<Variant> values_;
    std::vector<Variant> originals_;
};

// Characters of UTF-8 text.
long CharCount(std::string_view s);

} // namespace zelk::bo
