#pragma once

#include "platform/Variant.h"

#include <string>

namespace zelk {

// How the values of a field compare and hash; decided by its data type.
enum class FieldKind { Text, Number, Date, Boolean, Other };

FieldKind KindOfFieldType(int type);

// The value as a field of that type stores it: text for character fields, Long for integer
// fields, a date for date fields. Null and Empty store Null; a value that cannot convert
// raises the conversion's error (13 type mismatch, 6 overflow).
Variant ToFieldType(const Variant& v, int type);

// Compares two non-null values of one field: text case-insensitively, numbers and dates
// numerically. Returns <0, 0, >0.
int CompareFieldValues(const Variant& a, const Variant& b, FieldKind kind);

// The hash-index key of a stored value; false for Null and Empty, which no "=" matches.
// Two values have the same key exactly when CompareFieldValues calls them equal.
bool FieldKey(const Variant& v, FieldKind kind, std::string& key);

} // namespace zelk
