// Writing one record: shape, managed area and every child list in one transaction.
#include "host/bo/ShapeImpl.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

#include <functional>

namespace zelk::bo {

namespace {

bool IsStamp(const FieldDef& f) {
    return IEquals(f.property, "RecLastModDate") || IEquals(f.property, "RecLastModUser") ||
           IEquals(f.property, "RecCreateDate") || IEquals(f.property, "RecCreateUser");
}

// Refuses text longer than its column before anything is written.
void CheckLengths(const Record& r) {
    const auto& t = r.Def();
    for (std::size_t i = 0; i < t.fields.size(); ++i) {
        const auto& f = t.fields[i];
        const Variant& v = r.At(static_cast<int>(i));
        if (f.kind != FieldKind::Text || f.size <= 0 || !f.lookupTable.empty() || !v.IsString())
            continue;
        long n = CharCount(v.Str());
        if (n > f.size)
            Raise(err::InvalidArgument, f.property + " is too long: " + std::to_string(n) +
                                            " characters where " + t.table + "." + f.column +
                                            " holds at most " + std::to_string(f.size));
    }
}

// Statements of one save, and what to put into the objects once the commit succeeded.
class Saver {
public:
    Saver(SqlPort& port, std::string user) : port_(port), user_(std::move(user)), now_(Now()) {}

    std::int64_t Insert(Record& r, const Variant& parentId) {
        const auto& t = r.Def();
        std::string cols, marks;
        std::vector<Variant> vals;
        int createDate = t.IndexOf("RecCreateDate");
        for (std::size_t i = 0; i < t.fields.size(); ++i) {
            const auto& f = t.fields[i];
            if (!f.lookupTable.empty() || f.column == t.idColumn) continue;
            Variant v = r.At(static_cast<int>(i));
            if (!t.parentColumn.empty() && f.column == t.parentColumn) v = parentId;
            if (static_cast<int>(i) == createDate && v.IsNull()) v = Variant(now_);
            cols += (cols.empty() ? "" : ", ") + f.column;
            marks += marks.empty() ? "?" : ", ?";
            vals.push_back(std::move(v));
        }
        std::int64_t id = port_.Execute(
            "INSERT INTO " + t.table + " (" + cols + ") VALUES (" + marks + ")", vals);
        Record* rec = &r;
        Variant now(now_);
        apply_.push_back([rec, id, parentId, createDate, now] {
            const auto& t = rec->Def();
            rec->SetAt(0, Variant(static_cast<int>(id)));
            int p = t.parentColumn.empty() ? -1 : 1;
            if (p > 0) rec->SetAt(p, parentId);
            if (createDate >= 0 && rec->At(createDate).IsNull()) rec->SetAt(createDate, now);
            rec->MarkClean();
        });
        return id;
    }

    void Update(Record& r, const std::string& auditTable) {
        auto changed = r.ChangedFields();
        const auto& t = r.Def();
        bool real = false;
        for (int i : changed)
            if (!IsStamp(t.fields[static_cast<std::size_t>(i)])) real = true;
        if (!real) return;
        int modDate = t.IndexOf("RecLastModDate");
        int modUser = t.IndexOf("RecLastModUser");
        std::string set;
        std::vector<Variant> vals;
        auto add = [&](int i, Variant v) {
            set +=
                (set.empty() ? "" : ", ") + t.fields[static_cast<std::size_t>(i)].column + " = ?";
            vals.push_back(std::move(v));
        };
        for (int i : changed)
            if (i != modDate && i != modUser) add(i, r.At(i));
        if (modUser >= 0) add(modUser, r.At(modUser));
        if (modDate >= 0) add(modDate, Variant(now_));
        vals.push_back(r.At(0));
        port_.Execute("UPDATE " + t.table + " SET " + set + " WHERE " + t.idColumn + " = ?", vals);
        Audit(r, changed, auditTable);
        Record* rec = &r;
        Variant now(now_);
        apply_.push_back([rec, modDate, now] {
            if (modDate >= 0) rec->SetAt(modDate, now);
            rec->MarkClean();
        });
    }

    void Delete(Record& r) {
        const auto& t = r.Def();
        port_.Execute("DELETE FROM " + t.table + " WHERE " + t.idColumn + " = ?", {r.At(0)});
    }

    void After(std::function<void()> f) { apply_.push_back(std::move(f)); }
    void ApplyAll() {
        for (auto& f : apply_)
            f();
    }

private:
    // One audit entry per changed row, one column row per changed column (stamps aside).
    void Audit(const Record& r, const std::vector<int>& changed, const std::string& table) {
        const auto& t = r.Def();
        std::vector<Variant> vals;
        std::string tuples;
        std::int64_t auditId = 0;
        for (int i : changed) {
            const auto& f = t.fields[static_cast<std::size_t>(i)];
            if (IsStamp(f)) continue;
            if (auditId == 0)
                auditId = port_.Execute("INSERT INTO audit_log (audit_date, user_name, table_name, "
                                        "action, primary_key) VALUES (?, ?, ?, 'U', ?)",
                                        {Variant(now_), Variant(user_), Variant(table), r.At(0)});
            tuples += tuples.empty() ? "(?, ?, ?, ?)" : ", (?, ?, ?, ?)";
            auto text = [](const Variant& v) { return v.IsNull() ? v : Variant(CStr(v)); };
            vals.insert(vals.end(), {Variant(static_cast<int>(auditId)), Variant(f.column),
                                     text(r.Original(i)), text(r.At(i))});
        }
        if (!tuples.empty())
            port_.Execute("INSERT INTO audit_log_column (audit_log_id, column_name, old_value, "
                          "new_value) VALUES " +
                              tuples,
                          vals);
    }

    SqlPort& port_;
    std::string user_;
    DateValue now_;
    std::vector<std::function<void()>> apply_;
};

std::string UserOf(const Record& r) {
    Variant v = r.Get("RecLastModUser");
    if (v.IsNull()) v = r.Get("RecCreateUser");
    return v.IsNull() ? std::string() : CStr(v);
}

} // namespace

bool ShapeImpl::Save() {
    lastError_.clear();
    auto& port = store_->Port();
    try {
        CheckLengths(rec_);
        if (hasMa_) {
            CheckLengths(ma_->Rec());
            for (int l = 0; l < ChildListCount; ++l) {
                auto& list = ma_->List(static_cast<ChildList>(l));
                if (!list.Loaded()) continue;
                for (const auto& item : list.Items())
                    CheckLengths(item->Rec());
            }
        }
    } catch (const ComError& e) {
        lastError_ = e.Description();
        return false;
    }

    Saver s(port, UserOf(rec_));
    try {
        port.Begin();
        Variant shapeId = rec_.At(0);
        if (isNew_)
            shapeId = Variant(static_cast<int>(s.Insert(rec_, {})));
        else
            s.Update(rec_, "SHAPE");
        if (hasMa_) {
            Variant maId = ma_->Rec().At(0);
            if (ma_->IsNew())
                maId = Variant(static_cast<int>(s.Insert(ma_->Rec(), shapeId)));
            else
                s.Update(ma_->Rec(), "MA");
            for (int l = 0; l < ChildListCount; ++l) {
                auto& list = ma_->List(static_cast<ChildList>(l));
                if (!list.Loaded()) continue;
                for (const auto& gone : list.Removed())
                    s.Delete(gone->Rec());
                for (const auto& item : list.Items()) {
                    if (item->IsNew())
                        s.Insert(item->Rec(), maId);
                    else
                        s.Update(item->Rec(), UCase(list.Def().table));
                }
                ChildListImpl* lp = &list;
                s.After([lp] {
                    lp->ClearRemoved();
                    for (const auto& item : lp->Items()) {
                        item->SetLoaded();
                        item->AfterSave();
                    }
                });
            }
            s.After([ma = ma_] { ma->SetSaved(); });
        }
        port.Commit();
    } catch (const ComError& e) {
        try {
            port.Rollback();
        } catch (const ComError&) {
            // The failure that ended the save is the one to report.
        }
        lastError_ = e.Description();
        return false;
    }
    s.ApplyAll();
    isNew_ = false;
    return true;
}

} // namespace zelk::bo
