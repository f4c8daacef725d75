#include "host/bo/RecordMerge.h"

#include "platform/Conv.h"
#include "platform/Strings.h"

#include <map>

namespace zelk::bo {

namespace {

constexpr const char* kRemoved = "(removed)";

bool IsStamp(const FieldDef& f) {
    return IEquals(f.property, "RecLastModDate") || IEquals(f.property, "RecLastModUser") ||
           IEquals(f.property, "RecCreateDate") || IEquals(f.property, "RecCreateUser");
}

// The fields whose values are the user's to change: not keys, links, stamps, looked-up
// names, or the position in a list (which moves whenever a row before it goes).
bool IsContent(const TableDef& t, std::size_t i) {
    const auto& f = t.fields[i];
    if (i == 0 || !f.lookupTable.empty() || IsStamp(f)) return false;
    if (!t.parentColumn.empty() && f.column == t.parentColumn) return false;
    return !IEquals(f.property, "DisplayOrder");
}

std::string Shown(const Variant& v) {
    return v.IsNull() || v.IsEmpty() ? std::string() : CStr(v);
}

bool SameContent(const TableDef& t, const std::vector<Variant>& a, const std::vector<Variant>& b) {
    for (std::size_t i = 0; i < t.fields.size(); ++i)
        if (IsContent(t, i) && !(a[i] == b[i])) return false;
    return true;
}

// A row as the user reads it in its grid: its values, the looked-up name instead of the key.
std::string RowText(const TableDef& t, const std::vector<Variant>& v) {
    std::string out;
    for (std::size_t i = 0; i < t.fields.size(); ++i) {
        const auto& f = t.fields[i];
        bool keyOfLookup = false;
        for (const auto& g : t.fields)
            if (!g.lookupTable.empty() && g.lookupKey == f.column) keyOfLookup = true;
        if (!(IsContent(t, i) || !f.lookupTable.empty()) || keyOfLookup) continue;
        std::string s = Shown(v[i]);
        if (s.empty()) continue;
        out += (out.empty() ? "" : ", ") + s;
    }
    return out;
}

// The property a list that picks from a domain is keyed by; the others by their row's ID.
const char* NaturalKey(ChildList l) {
    switch (l) {
    case ChildList::Sites:
        return "ConservationSiteId";
    case ChildList::Counties:
        return "DCountyId";
    case ChildList::LocalJurisdictions:
        return "DLocalJurisdictionId";
    case ChildList::Mapsheets:
        return "DMapsheetId";
    case ChildList::References:
        return "ReferenceID";
    case ChildList::Keywords:
        return "DManagedAreaKeywordID";
    default:
        return nullptr;
    }
}

std::string KeyOf(ChildList l, const ChildItem& item, const std::vector<Variant>& values,
                  bool isNew) {
    if (const char* natural = NaturalKey(l)) {
        const Variant& v = values[static_cast<std::size_t>(item.Rec().Index(natural))];
        if (!v.IsNull()) return "=" + CStr(v);
    }
    return isNew ? "+" + item.UniqueID() : "#" + CStr(values[0]);
}

} // namespace

RecordMerge::RecordMerge(std::shared_ptr<ShapeImpl> mine) : mine_(std::move(mine)) {
    theirs_ = std::make_shared<ShapeImpl>(mine_->GetStore());
    theirs_->Load(std::to_string(mine_->ShapeId()));
    exists_ = theirs_->HasManagedArea() && mine_->HasManagedArea();
    if (!exists_) return;
    theirVersion_ = theirs_->Ma().RowVersion();
    PlanFields(mine_->Rec(), theirs_->Rec(), MergeConflict::Kind::ShapeField);
    PlanFields(mine_->Ma().Rec(), theirs_->Ma().Rec(), MergeConflict::Kind::ManagedAreaField);
    for (int l = 0; l < ChildListCount; ++l)
        PlanList(static_cast<ChildList>(l));
}

void RecordMerge::AddConflict(MergeConflict c, const std::string& table, const Variant& key,
                              const std::string& column) {
    // The other user's latest change of this field or row, as the database recorded it.
    std::string sql = "SELECT user_name, audit_date FROM audit_log WHERE table_name = ? AND "
                      "primary_key = ?";
    std::vector<Variant> params{Variant(table), key};
    if (!column.empty()) {
        sql += " AND column_name = ?";
        params.emplace_back(column);
    }
    sql += " ORDER BY audit_log_id DESC LIMIT 1";
    auto rs = mine_->GetStore()->Port().Query(sql, params);
    if (!rs.rows.empty()) {
        c.changedBy = Shown(rs.rows.front()[0]);
        c.changedOn = Shown(rs.rows.front()[1]);
    }
    conflicts_.push_back(std::move(c));
}

void RecordMerge::PlanFields(Record& mine, const Record& theirs, MergeConflict::Kind kind) {
    const auto& t = mine.Def();
    for (std::size_t i = 0; i < t.fields.size(); ++i) {
        if (!IsContent(t, i) && !IEquals(t.fields[i].property, "DisplayOrder")) continue;
        const int f = static_cast<int>(i);
        const Variant& b = mine.Original(f);
        const Variant& m = mine.At(f);
        const Variant& th = theirs.At(f);
        FieldPlan p{&mine, f, m, th};
        if (m == b)
            p.value = th;
        else if (!(th == b) && !(th == m)) {
            p.conflict = static_cast<int>(conflicts_.size());
            MergeConflict c;
            c.kind = kind;
            c.field = t.fields[i].property;
            c.loaded = Shown(b);
            c.mine = Shown(m);
            c.theirs = Shown(th);
            AddConflict(std::move(c), t.table, theirs.At(0), t.fields[i].column);
        }
        fields_.push_back(std::move(p));
    }
    rebase_.emplace_back(&mine, theirs.Values());
}

void RecordMerge::PlanList(ChildList which) {
    auto& mineList = mine_->Ma().List(which);
    // A list the user never opened holds nothing of theirs: it reads the database's rows
    // when first used.
    if (!mineList.Loaded()) return;
    const TableDef& t = mineList.Def();
    struct Base {
        std::vector<Variant> values;
    };
    std::map<std::string, Base> base;
    for (const auto& gone : mineList.Removed())
        base[KeyOf(which, *gone, gone->Rec().Originals(), false)].values = gone->Rec().Originals();
    for (const auto& item : mineList.Items())
        if (!item->IsNew())
            base[KeyOf(which, *item, item->Rec().Originals(), false)].values =
                item->Rec().Originals();
    // A key met twice on one side (the same county listed twice) matches nothing: both rows
    // are kept as they are.
    std::vector<std::pair<std::string, std::shared_ptr<ChildItem>>> mineKeys;
    std::map<std::string, std::shared_ptr<ChildItem>> mineByKey;
    for (const auto& item : mineList.Items()) {
        std::string key = KeyOf(which, *item, item->Rec().Values(), item->IsNew());
        if (mineByKey.count(key)) key = "+" + item->UniqueID();
        mineByKey[key] = item;
        mineKeys.emplace_back(key, item);
    }
    ListPlan plan{which, {}};
    auto decide = [&](RowPlan r, const std::string& key) {
        auto b = base.find(key);
        const bool inBase = b != base.end();
        const auto* bv = inBase ? &b->second.values : nullptr;
        const auto* mv = r.mine ? &r.mine->Rec().Values() : nullptr;
        const auto* tv = r.theirs ? &r.theirs->Rec().Values() : nullptr;
        if (inBase) {
            const bool mineSame = mv && SameContent(t, *mv, *bv);
            const bool theirsSame = tv && SameContent(t, *tv, *bv);
            // Both the same in the end: the database's row as it is, stamps included.
            if (mv && tv)
                r.action = mineSame || SameContent(t, *mv, *tv) ? Do::TakeTheirs
                           : theirsSame                         ? Do::KeepMine
                                                                : Do::Conflict;
            else if (mv)
                r.action = mineSame ? Do::Drop : Do::Conflict;
            else if (tv)
                r.action = theirsSame ? Do::DeleteTheirs : Do::Conflict;
            else
                r.action = Do::Drop;
        } else if (mv && tv) {
            r.action = SameContent(t, *mv, *tv) ? Do::TakeTheirs : Do::Conflict;
        } else {
            r.action = mv ? Do::KeepMine : Do::TakeTheirs;
        }
        if (r.action == Do::Conflict) {
            r.conflict = static_cast<int>(conflicts_.size());
            MergeConflict c;
            c.kind = MergeConflict::Kind::Row;
            c.list = which;
            c.loaded = bv ? RowText(t, *bv) : "";
            c.mine = mv ? RowText(t, *mv) : kRemoved;
            c.theirs = tv ? RowText(t, *tv) : kRemoved;
            c.row = mv ? c.mine : bv ? c.loaded : c.theirs;
            const Variant& id = tv ? (*tv)[0] : bv ? (*bv)[0] : (*mv)[0];
            AddConflict(std::move(c), t.table, id, "");
        }
        plan.rows.push_back(std::move(r));
    };
    auto& theirList = theirs_->Ma().List(which);
    std::map<std::string, bool> seen;
    for (const auto& item : theirList.Items()) {
        std::string key = KeyOf(which, *item, item->Rec().Values(), false);
        if (seen[key]) key = "*" + CStr(item->Rec().At(0));
        seen[key] = true;
        auto m = mineByKey.find(key);
        RowPlan r;
        r.theirs = item;
        if (m != mineByKey.end()) {
            r.mine = m->second;
            mineByKey.erase(m);
        }
        decide(std::move(r), key);
    }
    // Rows only the user has, in the user's order.
    for (const auto& [key, item] : mineKeys) {
        if (!mineByKey.count(key)) continue;
        RowPlan r;
        r.mine = item;
        decide(std::move(r), key);
    }
    lists_.push_back(std::move(plan));
}

RecordMerge::Do RecordMerge::Resolve(const RowPlan& r) const {
    if (r.action != Do::Conflict) return r.action;
    if (conflicts_[static_cast<std::size_t>(r.conflict)].takeTheirs)
        return r.theirs ? Do::TakeTheirs : Do::Drop;
    return r.mine ? Do::KeepMine : Do::DeleteTheirs;
}

void RecordMerge::ApplyList(const ListPlan& plan) {
    std::vector<std::shared_ptr<ChildItem>> items, removed;
    for (const auto& r : plan.rows) {
        switch (Resolve(r)) {
        case Do::KeepMine:
            if (r.theirs) {
                // The user's values over the database's row: the save updates what differs.
                r.mine->Rec().SetAt(0, r.theirs->Rec().At(0));
                r.mine->Rec().SetOriginals(r.theirs->Rec().Values());
                r.mine->SetLoaded();
            } else {
                // Gone from the database but kept by the user: it goes in again.
                r.mine->MarkNew(true);
            }
            items.push_back(r.mine);
            break;
        case Do::TakeTheirs:
            items.push_back(r.theirs);
            break;
        case Do::DeleteTheirs:
            removed.push_back(r.theirs);
            break;
        default:
            break;
        }
    }
    mine_->Ma().List(plan.which).Replace(std::move(items), std::move(removed));
}

void RecordMerge::Apply() {
    if (!exists_) return;
    for (const auto& f : fields_) {
        const bool theirs =
            f.conflict >= 0 && conflicts_[static_cast<std::size_t>(f.conflict)].takeTheirs;
        f.rec->SetAt(f.field, theirs ? f.theirs : f.value);
    }
    for (auto& [rec, originals] : rebase_) {
        // A looked-up name follows its key: where the key is now the other user's, so is
        // the name read with it.
        const auto& t = rec->Def();
        for (std::size_t i = 0; i < t.fields.size(); ++i) {
            // The stamps are the database's: a save writes its own, and a record differing
            // from the database in a stamp alone would count as changed for good.
            if (IsStamp(t.fields[i])) rec->SetAt(static_cast<int>(i), originals[i]);
            if (t.fields[i].lookupTable.empty()) continue;
            for (std::size_t k = 0; k < t.fields.size(); ++k)
                if (t.fields[k].column == t.fields[i].lookupKey &&
                    t.fields[k].lookupTable.empty() && rec->At(static_cast<int>(k)) == originals[k])
                    rec->SetAt(static_cast<int>(i), originals[i]);
        }
        rec->SetOriginals(originals);
    }
    for (const auto& l : lists_)
        ApplyList(l);
    mine_->Ma().SetRowVersion(theirVersion_);
}

MergePtr ShapeImpl::PrepareMerge() {
    if (isNew_ || !hasMa_ || ma_->IsNew()) return nullptr;
    return std::make_shared<RecordMerge>(std::static_pointer_cast<ShapeImpl>(shared_from_this()));
}

} // namespace zelk::bo
