#include "host/bo/Record.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::bo {

Record::Record(const TableDef& def)
    : def_(&def), values_(def.fields.size(), Variant::Null()),
      originals_(def.fields.size(), Variant::Null()) {}

int Record::Index(std::string_view property) const {
    int i = def_->IndexOf(property);
    if (i < 0)
        Raise(err::MemberNotFound,
              "Object doesn't support this property or method: " + std::string(property));
    return i;
}

namespace {
bool Blank(const Variant& v) {
    return v.IsNull() || v.IsEmpty() || (v.IsString() && Trim(v.Str()).empty());
}

[[noreturn]] void Mismatch(const FieldDef& f, const Variant& v) {
    std::string shown = v.IsObject() ? "an object" : "'" + CStr(v) + "'";
    Raise(err::TypeMismatch, "Type mismatch: " + f.property + " cannot hold " + shown);
}
} // namespace

Variant Record::Normalize(const FieldDef& f, const Variant& v) {
    if (v.IsObject()) Mismatch(f, v);
    if (f.kind == FieldKind::Text) {
        // An empty text is stored as no value, as the database treats it.
        if (v.IsNull() || v.IsEmpty() || (v.IsString() && v.Str().empty())) return Variant::Null();
        return Variant(CStr(v));
    }
    if (Blank(v)) return Variant::Null();
    if (f.kind == FieldKind::Date) {
        if (v.IsDate()) return v;
        if (v.IsString()) {
            auto d = ParseDate(Trim(v.Str()));
            if (!d) Mismatch(f, v);
            return Variant(*d);
        }
        Mismatch(f, v);
    }
    if (v.IsString() && !ParseNumber(v.Str())) Mismatch(f, v);
    if (!v.IsString() && !v.IsNumber()) Mismatch(f, v);
    if (f.kind == FieldKind::Long) return Variant(static_cast<int>(CLng(v)));
    return Variant(CDbl(v));
}

bool Record::Set(std::string_view property, const Variant& value) {
    int i = Index(property);
    Variant n = Normalize(def_->fields[static_cast<std::size_t>(i)], value);
    auto& slot = values_[static_cast<std::size_t>(i)];
    if (slot == n) return false;
    slot = std::move(n);
    return true;
}

void Record::Load(const std::vector<Variant>& row) {
    for (std::size_t i = 0; i < values_.size() && i < row.size(); ++i) {
        const auto& f = def_->fields[i];
        const Variant& v = row[i];
        // Dates come back as text; numbers keep the field's own kind.
        if (v.IsNull() || v.IsEmpty())
            values_[i] = Variant::Null();
        else if (f.kind == FieldKind::Date && v.IsString()) {
            auto d = ParseDate(v.Str());
            values_[i] = d ? Variant(*d) : Variant::Null();
        } else if (f.kind == FieldKind::Long && v.IsNumber())
            values_[i] = Variant(static_cast<int>(CLng(v)));
        else if (f.kind == FieldKind::Double && v.IsNumber())
            values_[i] = Variant(CDbl(v));
        else if (f.kind == FieldKind::Text)
            values_[i] = Variant(CStr(v));
        else
            values_[i] = v;
    }
    originals_ = values_;
}

void Record::Clear() {
    values_.assign(values_.size(), Variant::Null());
    originals_ = values_;
}

bool Record::Dirty() const {
    return !ChangedFields().empty();
}

std::vector<int> Record::ChangedFields() const {
    std::vector<int> out;
    for (std::size_t i = 0; i < values_.size(); ++i)
        if (def_->fields[i].lookupTable.empty() && !(values_[i] == originals_[i]))
            out.push_back(static_cast<int>(i));
    return out;
}

long CharCount(std::string_view s) {
    long n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

} // namespace zelk::bo
