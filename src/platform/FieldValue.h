#pragma once

#include "platform/Variant.h"

#include <cstdint>
#include <string>

namespace zelk {

// How the values of a field compare and hash; decided by its data type.
enum class FieldKind { Text, Number, Date, Boolean, Other };

FieldKind KindOfFieldType(int type);

// The value as a field of that type stores it: text for character fields, Long for integer
// fields, a date for date fields. Null and Empty store Null; a value that cannot convert
// raises the conversion's error (13 type mismatch, 6 overflow).
Variant ToFieldType(const Variant& v, int type);
// The same for a value that is not needed afterwards: text stays where it is, unconverted.
Variant ToFieldType(Variant&& v, int type);

// Compares two non-null values of one field: text case-insensitively, numbers and dates
// numerically. Returns <0, 0, >0.
int CompareFieldValues(const Variant& a, const Variant& b, FieldKind kind);

// The hash-index key of a stored value. Whole numbers key by their value, so that
// neighbouring IDs land in neighbouring buckets; text keys by its upper-case form.
struct IndexKey {
    enum class Tag : std::uint8_t { Whole, Real, Text } tag = Tag::Whole;
    std::uint64_t number = 0; // the whole number, or the bits of a real one
    std::string text;
    friend bool operator==(const IndexKey&, const IndexKey&) = default;
};
struct IndexKeyHash {
    std::size_t operator()(const IndexKey& k) const noexcept;
};

// False for Null and Empty, which no "=" matches. For values of one field, two values have
// the same key exactly when CompareFieldValues calls them equal.
bool FieldKey(const Variant& v, FieldKind kind, IndexKey& key);

} // namespace zelk
