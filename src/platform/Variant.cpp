#include "platform/Variant.h"

#include "platform/Conv.h"
#include "platform/Error.h"

namespace zelk {

VarType Variant::Type() const {
    switch (v_.index()) {
    case 0:
        return VarType::Empty;
    case 1:
        return VarType::Null;
    case 2:
        return VarType::Boolean;
    case 3:
        return VarType::Integer;
    case 4:
        return VarType::Long;
    case 5:
        return VarType::Single;
    case 6:
        return VarType::Double;
    case 7:
        return VarType::Date;
    case 8:
        return VarType::String;
    default:
        return VarType::Object;
    }
}

bool Variant::IsNumber() const {
    return std::holds_alternative<bool>(v_) || std::holds_alternative<std::int16_t>(v_) ||
           std::holds_alternative<std::int32_t>(v_) || std::holds_alternative<float>(v_) ||
           std::holds_alternative<double>(v_);
}

double Variant::NumberValue() const {
    if (auto* b = std::get_if<bool>(&v_)) return *b ? -1.0 : 0.0;
    if (auto* i = std::get_if<std::int16_t>(&v_)) return *i;
    if (auto* l = std::get_if<std::int32_t>(&v_)) return *l;
    if (auto* f = std::get_if<float>(&v_)) return *f;
    if (auto* d = std::get_if<double>(&v_)) return *d;
    if (auto* t = std::get_if<DateValue>(&v_)) return t->serial;
    if (IsEmpty()) return 0.0;
    if (IsNull()) Raise(err::InvalidUseOfNull, "Invalid use of Null");
    Raise(err::TypeMismatch, "");
}

} // namespace zelk
