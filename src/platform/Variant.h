#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace zelk {

class Object;
using ObjectPtr = std::shared_ptr<Object>;

// Type codes as VarType reports them.
enum class VarType : int {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    Date = 7,
    String = 8,
    Object = 9,
    Boolean = 11,
};

// A date as a serial day number: whole days since 30 Dec 1899, time as the fraction.
struct DateValue {
    double serial = 0;
    friend bool operator==(DateValue a, DateValue b) { return a.serial == b.serial; }
};

class Variant {
public:
    Variant() = default;
    Variant(bool b) : v_(b) {}
    Variant(int l) : v_(static_cast<std::int32_t>(l)) {}
    Variant(std::int16_t i) : v_(i) {}
    Variant(float f) : v_(f) {}
    Variant(double d) : v_(d) {}
    Variant(DateValue d) : v_(d) {}
    Variant(const char* s) : v_(std::string(s)) {}
    Variant(std::string s) : v_(std::move(s)) {}
    Variant(std::string_view s) : v_(std::string(s)) {}
    Variant(ObjectPtr o) : v_(std::move(o)) {}
    template <class T>
    requires std::is_base_of_v<Object, T> Variant(std::shared_ptr<T> o)
        : v_(ObjectPtr(std::move(o))) {}

    static Variant Null() {
        Variant v;
        v.v_ = NullTag{};
        return v;
    }
    static Variant Nothing() { return Variant(ObjectPtr()); }

    VarType Type() const;
    bool IsEmpty() const { return v_.index() == 0; }
    bool IsNull() const { return v_.index() == 1; }
    bool IsObject() const { return std::holds_alternative<ObjectPtr>(v_); }
    bool IsString() const { return std::holds_alternative<std::string>(v_); }
    bool IsNumber() const; // Integer, Long, Single, Double or Boolean
    bool IsDate() const { return std::holds_alternative<DateValue>(v_); }
    bool IsBool() const { return std::holds_alternative<bool>(v_); }

    // Direct access; the caller has checked the type.
    const std::string& Str() const { return std::get<std::string>(v_); }
    // The text moved out, for a value about to be dropped; the variant keeps an empty string.
    std::string TakeStr() { return std::move(std::get<std::string>(v_)); }
    const ObjectPtr& Obj() const { return std::get<ObjectPtr>(v_); }
    bool Bool() const { return std::get<bool>(v_); }
    DateValue Date() const { return std::get<DateValue>(v_); }

    // Numeric value of any number, Boolean or date; nullopt-free: caller checks IsNumber/IsDate.
    double NumberValue() const;

    // Identity of type and value (not the loose comparison of the language).
    friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

private:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) { return true; }
    };
    std::variant<std::monostate, NullTag, bool, std::int16_t, std::int32_t, float, double,
                 DateValue, std::string, ObjectPtr>
        v_;
};

} // namespace zelk
