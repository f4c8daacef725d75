#include "host/exchange/Lookups.h"

#include "host/data/DataService.h"
#include "platform/Conv.h"
#include "platform/Strings.h"
#include "platform/UnicodeCase.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace zelk::host::exchange {

std::string FoldName(std::string_view text) {
    const std::string trimmed = Trim(text);
    bool ascii = true;
    for (unsigned char c : trimmed)
        if (c >= 0x80) ascii = false;
    if (ascii) return UpperUtf8(trimmed);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status)) return UpperUtf8(trimmed);
    icu::UnicodeString decomposed =
        nfd->normalize(icu::UnicodeString::fromUTF8(icu::StringPiece(trimmed)), status);
    if (U_FAILURE(status)) return UpperUtf8(trimmed);
    icu::UnicodeString bare;
    for (int32_t i = 0; i < decomposed.length();) {
        const UChar32 c = decomposed.char32At(i);
        if (u_charType(c) != U_NON_SPACING_MARK) bare.append(c);
        i += U16_LENGTH(c);
    }
    std::string out;
    bare.toUTF8String(out);
    return UpperUtf8(out);
}

Lookups::Lookups(DataService& db) {
    Load(db, "SELECT nation_id, 0, nation_code, display_value, nation_name FROM d_nation",
         nations_);
    Load(db, "SELECT d_state_id, nation_id, state_code, display_value, state_name FROM d_state",
         states_);
    Load(db, "SELECT d_county_id, d_state_id, county_name, display_value, '' FROM d_county",
         counties_);
    Load(db, "SELECT d_owner_type_id, 0, display_value, owner_type_desc, '' FROM d_owner_type",
         ownerTypes_);
    for (const char* t :
         {"d_protection_level", "d_iucn_category", "d_public_access", "d_data_qc_status"})
        Load(db, std::string("SELECT ") + t + "_id, 0, display_value, '', '' FROM " + t,
             domains_[t]);
    auto rs = db.Query("SELECT d_state_id, nation_id FROM d_state");
    for (; !rs->EOF(); rs->MoveNext())
        stateNation_[CLng(rs->GetFields().Item(std::size_t{0}).ValueRef())] =
            rs->GetFields().Item(std::size_t{1}).ValueRef().IsNull()
                ? 0
                : CLng(rs->GetFields().Item(std::size_t{1}).ValueRef());
}

void Lookups::Load(DataService& db, const std::string& sql, Index& index) {
    auto rs = db.Query(sql);
    auto f = rs->GetFields();
    for (; !rs->EOF(); rs->MoveNext()) {
        const Entry e{CLng(f.Item(std::size_t{0}).ValueRef()),
                      f.Item(std::size_t{1}).ValueRef().IsNull()
                          ? 0
                          : CLng(f.Item(std::size_t{1}).ValueRef())};
        index.emplace("#" + std::to_string(e.id), e);
        for (std::size_t i = 2; i < 5; ++i) {
            const Variant& v = f.Item(i).ValueRef();
            if (v.IsNull()) continue;
            const std::string key = FoldName(CStr(v));
            if (key.empty()) continue;
            // One entry per name and record, though code and name may fold alike.
            bool known = false;
            auto [b, end] = index.equal_range(key);
            for (auto it = b; it != end; ++it)
                if (it->second.id == e.id) known = true;
            if (!known) index.emplace(key, e);
        }
    }
}

std::optional<long> Lookups::Find(const Index& index, const std::string& key, long parent) {
    std::optional<long> found;
    auto [b, end] = index.equal_range(key);
    for (auto it = b; it != end; ++it) {
        if (parent != 0 && it->second.parent != parent) continue;
        if (found && *found != it->second.id) return std::nullopt; // ambiguous
        found = it->second.id;
    }
    return found;
}

namespace {
// "#12" for a whole number (an ID), otherwise the folded name.
std::string KeyOf(const std::string& text) {
    const std::string t = Trim(text);
    if (!t.empty() && t.find_first_not_of("0123456789") == std::string::npos && t.size() < 10)
        return "#" + std::to_string(std::stol(t));
    return FoldName(t);
}
} // namespace

std::optional<long> Lookups::Nation(const std::string& v) const {
    return Find(nations_, FoldName(v), 0);
}

std::optional<long> Lookups::State(const std::string& v, long nationId) const {
    return Find(states_, FoldName(v), nationId);
}

long Lookups::NationOfState(long stateId) const {
    auto it = stateNation_.find(stateId);
    return it == stateNation_.end() ? 0 : it->second;
}

std::optional<long> Lookups::County(const std::string& v, long stateId) const {
    const std::string key = KeyOf(v);
    if (key.starts_with("#")) return Find(counties_, key, 0);
    return Find(counties_, key, stateId);
}

std::optional<long> Lookups::OwnerType(const std::string& v) const {
    return Find(ownerTypes_, KeyOf(v), 0);
}

std::optional<long> Lookups::Domain(const std::string& table, const std::string& v) const {
    auto it = domains_.find(table);
    if (it == domains_.end()) return std::nullopt;
    return Find(it->second, KeyOf(v), 0);
}

} // namespace zelk::host::exchange
