#include "host/bo/Saver.h"

#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::bo {

namespace {
bool IsStamp(const FieldDef& f) {
    return IEquals(f.property, "RecLastModDate") || IEquals(f.property, "RecLastModUser") ||
           IEquals(f.property, "RecCreateDate") || IEquals(f.property, "RecCreateUser");
}
} // namespace

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

std::int64_t SqlPort::InsertRow(const std::string& table, const std::string&,
                                const std::string& columns, std::vector<Variant> values) {
    std::string marks;
    for (std::size_t i = 0; i < values.size(); ++i)
        marks += i ? ", ?" : "?";
    return Execute("INSERT INTO " + table + " (" + columns + ") VALUES (" + marks + ")", values)
        .lastInsertId;
}

Saver::Saver(SqlPort& port) : port_(port), now_(Now()) {}

std::int64_t Saver::Insert(Record& r, const Variant& parentId) {
    const auto& t = r.Def();
    std::string cols;
    std::vector<Variant> vals;
    int createDate = t.IndexOf("RecCreateDate");
    int parent = -1;
    for (std::size_t i = 0; i < t.fields.size(); ++i)
        if (!t.parentColumn.empty() && t.fields[i].column == t.parentColumn)
            parent = static_cast<int>(i);
    for (std::size_t i = 0; i < t.fields.size(); ++i) {
        const auto& f = t.fields[i];
        if (!f.lookupTable.empty() || f.column == t.idColumn) continue;
        Variant v = r.At(static_cast<int>(i));
        if (static_cast<int>(i) == parent) v = parentId;
        if (static_cast<int>(i) == createDate && v.IsNull()) v = Variant(now_);
        cols += (cols.empty() ? "" : ", ") + f.column;
        vals.push_back(std::move(v));
    }
    const std::int64_t id = port_.InsertRow(t.table, t.idColumn, cols, std::move(vals));
    Record* rec = &r;
    Variant now(now_);
    apply_.emplace_back([rec, id, parentId, parent, createDate, now] {
        rec->SetAt(0, Variant(static_cast<int>(id)));
        if (parent >= 0) rec->SetAt(parent, parentId);
        if (createDate >= 0 && rec->At(createDate).IsNull()) rec->SetAt(createDate, now);
        rec->MarkClean();
    });
    return id;
}

void Saver::Update(Record& r) {
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
        set += (set.empty() ? "" : ", ") + t.fields[static_cast<std::size_t>(i)].column + " = ?";
        vals.push_back(std::move(v));
    };
    for (int i : changed)
        if (i != modDate && i != modUser) add(i, r.At(i));
    if (modUser >= 0) add(modUser, r.At(modUser));
    if (modDate >= 0) add(modDate, Variant(now_));
    vals.push_back(r.At(0));
    auto res =
        port_.Execute("UPDATE " + t.table + " SET " + set + " WHERE " + t.idColumn + " = ?", vals);
    if (res.rowsChanged != 1)
        Raise(err::NoCurrentRecord, "The " + t.table + " record " + CStr(r.At(0)) +
                                        " no longer exists; another user may have deleted it.");
    Record* rec = &r;
    Variant now(now_);
    apply_.emplace_back([rec, modDate, now] {
        if (modDate >= 0) rec->SetAt(modDate, now);
        rec->MarkClean();
    });
}

void Saver::Delete(const Record& r) {
    const auto& t = r.Def();
    // A row another user already deleted is gone as wished; nothing to report.
    port_.Execute("DELETE FROM " + t.table + " WHERE " + t.idColumn + " = ?", {r.At(0)});
}

std::string Saver::Commit(const std::function<void()>& write) {
    bool begun = false;
    failure_ = 0;
    try {
        port_.Begin();
        begun = true;
        write();
        port_.Commit();
    } catch (const ComError& e) {
        try {
            if (begun) port_.Rollback();
        } catch (const ComError&) {
            // The failure that ended the save is the one to report.
        }
        failure_ = e.Number();
        return e.Description();
    }
    ApplyAll();
    return "";
}

void Saver::ApplyAll() {
    for (auto& f : apply_)
        f();
    apply_.clear();
}

} // namespace zelk::bo
