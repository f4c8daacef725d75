#include "platform/FieldValue.h"

#include "platform/Conv.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

#include <cmath>
#include <cstring>

namespace zelk {

FieldKind KindOfFieldType(int type) {
    switch (type) {
    case ad::WChar:
    case ad::VarChar:
    case ad::LongVarChar:
    case ad::VarWChar:
        return FieldKind::Text;
    case ad::SmallInt:
    case ad::Integer:
    case ad::Single:
    case ad::Double:
    case ad::Currency:
    case ad::BigInt:
    case ad::Numeric:
        return FieldKind::Number;
    case ad::Date:
    case ad::DBTimeStamp:
        return FieldKind::Date;
    case ad::Boolean:
        return FieldKind::Boolean;
    default:
        return FieldKind::Other;
    }
}

Variant ToFieldType(Variant&& v, int type) {
    switch (type) {
    case ad::WChar:
    case ad::VarChar:
    case ad::LongVarChar:
    case ad::VarWChar:
        if (v.IsString()) return std::move(v);
        break;
    default:
        break;
    }
    return ToFieldType(static_cast<const Variant&>(v), type);
}

Variant ToFieldType(const Variant& v, int type) {
    if (v.IsNull() || v.IsEmpty()) return Variant::Null();
    switch (type) {
    case ad::WChar:
    case ad::VarChar:
    case ad::LongVarChar:
    case ad::VarWChar:
        return v.IsString() ? v : Variant(CStr(v));
    case ad::SmallInt:
        return Variant(CInt(v));
    case ad::Integer:
        return Variant(static_cast<int>(CLng(v)));
    case ad::BigInt: {
        // No 64-bit variant: whole numbers that fit stay Long, larger ones travel as Double.
        double d = std::nearbyint(CDbl(v));
        if (d >= -2147483648.0 && d <= 2147483647.0) return Variant(static_cast<int>(d));
        return Variant(d);
    }
    case ad::Single:
        return Variant(CSng(v));
    case ad::Double:
    case ad::Currency:
    case ad::Numeric:
        return Variant(CDbl(v));
    case ad::Date:
    case ad::DBTimeStamp:
        return Variant(CDate(v));
    case ad::Boolean:
        return Variant(CBool(v));
    default:
        return v;
    }
}

namespace {
bool Numeric(const Variant& v) {
    return v.IsNumber() || v.IsDate();
}
} // namespace

int CompareFieldValues(const Variant& a, const Variant& b, FieldKind kind) {
    if (kind != FieldKind::Text && Numeric(a) && Numeric(b)) {
        double x = a.NumberValue(), y = b.NumberValue();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return VarCompare(a, b, true);
}

std::size_t IndexKeyHash::operator()(const IndexKey& k) const noexcept {
    if (k.tag == IndexKey::Tag::Text) return std::hash<std::string>()(k.text);
    std::size_t h = static_cast<std::size_t>(k.number);
    return k.tag == IndexKey::Tag::Whole ? h : h ^ (h >> 29) ^ 0x9e3779b97f4a7c15ULL;
}

bool FieldKey(const Variant& v, FieldKind kind, IndexKey& key) {
    if (v.IsNull() || v.IsEmpty()) return false;
    key.text.clear();
    if (kind != FieldKind::Text && Numeric(v)) {
        double d = v.NumberValue();
        if (d == std::floor(d) && d >= -9.2e18 && d <= 9.2e18) {
            key.tag = IndexKey::Tag::Whole;
            key.number = static_cast<std::uint64_t>(static_cast<std::int64_t>(d));
        } else {
            key.tag = IndexKey::Tag::Real;
            std::memcpy(&key.number, &d, sizeof d);
        }
        return true;
    }
    key.tag = IndexKey::Tag::Text;
    key.number = 0;
    key.text = UCase(v.IsString() ? v.Str() : CStr(v));
    return true;
}

} // namespace zelk
