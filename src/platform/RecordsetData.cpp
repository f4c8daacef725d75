#include "platform/RecordsetData.h"

#include <algorithm>

namespace zelk {

void ValueIndex::Add(const IndexKey& key, RowId row) {
    auto [it, added] = buckets_.try_emplace(key, Bucket{row, {}});
    if (!added) it->second.more.push_back(row);
}

void ValueIndex::Remove(const IndexKey& key, RowId row) {
    auto it = buckets_.find(key);
    if (it == buckets_.end()) return;
    Bucket& b = it->second;
    if (b.first == row) {
        if (b.more.empty()) {
            buckets_.erase(it);
            return;
        }
        b.first = b.more.back();
        b.more.pop_back();
        return;
    }
    auto pos = std::find(b.more.begin(), b.more.end(), row);
    if (pos != b.more.end()) b.more.erase(pos);
}

void RecordsetData::AppendField(FieldDef def) {
    def.kind = KindOfFieldType(def.type);
    byName.emplace(def.name, fields.size());
    fields.push_back(std::move(def));
    indexes.emplace_back();
    for (auto& row : rows)
        row.push_back(Variant::Null());
}

std::optional<std::size_t> RecordsetData::Column(std::string_view name) const {
    auto it = byName.find(name);
    if (it == byName.end()) return std::nullopt;
    return it->second;
}

void RecordsetData::BuildKeyIndexes() {
    for (std::size_t c = 0; c < fields.size(); ++c)
        if (IEquals(fields[c].name, "ID")) SetIndexed(c, true);
}

void RecordsetData::SetIndexed(std::size_t col, bool on) {
    if (!on) {
        indexes[col].reset();
        return;
    }
    if (indexes[col]) return;
    indexes[col] = std::make_unique<ValueIndex>();
    for (RowId r = 0; r < rows.size(); ++r)
        if (states[r] == RowState::Live) IndexRow(r, col, true);
}

void RecordsetData::IndexRow(RowId row, std::size_t col, bool add) {
    ValueIndex* index = indexes[col].get();
    if (!index) return;
    IndexKey key;
    if (!FieldKey(rows[row][col], fields[col].kind, key)) return;
    if (add)
        index->Add(key, row);
    else
        index->Remove(key, row);
}

RowId RecordsetData::NewRow() {
    rows.emplace_back(fields.size(), Variant::Null());
    states.push_back(RowState::Pending);
    return static_cast<RowId>(rows.size() - 1);
}

void RecordsetData::Commit(RowId row, const RowObserver* origin) {
    if (states[row] != RowState::Pending) return;
    states[row] = RowState::Live;
    for (std::size_t c = 0; c < fields.size(); ++c)
        IndexRow(row, c, true);
    // Observers may be added while we notify (none do today); index rather than iterate.
    for (std::size_t i = 0; i < observers.size(); ++i)
        if (observers[i] != origin) observers[i]->RowCommitted(row);
}

void RecordsetData::AppendLive(std::vector<std::vector<Variant>>&& more) {
    rows.reserve(rows.size() + more.size());
    states.reserve(states.size() + more.size());
    for (auto& r : more) {
        r.resize(fields.size(), Variant::Null());
        RowId row = static_cast<RowId>(rows.size());
        rows.push_back(std::move(r));
        states.push_back(RowState::Live);
        for (std::size_t c = 0; c < fields.size(); ++c)
            IndexRow(row, c, true);
        for (std::size_t i = 0; i < observers.size(); ++i)
            observers[i]->RowCommitted(row);
    }
    more.clear();
}

void RecordsetData::SetCell(RowId row, std::size_t col, Variant value) {
    bool live = states[row] == RowState::Live;
    if (live) IndexRow(row, col, false);
    rows[row][col] = std::move(value);
    if (live) IndexRow(row, col, true);
}

void RecordsetData::RemoveRow(RowId row) {
    if (states[row] == RowState::Deleted) return;
    if (states[row] == RowState::Live)
        for (std::size_t c = 0; c < fields.size(); ++c)
            IndexRow(row, c, false);
    states[row] = RowState::Deleted;
    rows[row].assign(fields.size(), Variant::Null()); // frees the values; the slot stays
    for (std::size_t i = 0; i < observers.size(); ++i)
        observers[i]->RowRemoved(row);
}

std::shared_ptr<RecordsetData> RecordsetData::EmptyCopy() const {
    auto copy = std::make_shared<RecordsetData>();
    for (const FieldDef& f : fields) {
        FieldDef def = f;
        def.optimize = false;
        copy->AppendField(std::move(def));
    }
    return copy;
}

} // namespace zelk
