#include "platform/RecordsetData.h"

#include <algorithm>

namespace zelk {

void RecordsetData::AppendField(FieldDef def) {
    def.kind = KindOfFieldType(def.type);
    byName.emplace(def.name, fields.size());
    fields.push_back(std::move(def));
    indexes.emplace_back();
    indexed.push_back(false);
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
    indexed[col] = on;
    if (!on) indexes[col].reset();
}

const ValueIndex* RecordsetData::IndexOf(std::size_t col) const {
    if (!indexed[col]) return nullptr;
    if (!indexes[col]) {
        indexes[col] = std::make_unique<ValueIndex>();
        if (fields[col].kind != FieldKind::Text) indexes[col]->Reserve(rows.size());
        for (RowId r = 0; r < rows.size(); ++r)
            if (states[r] == RowState::Live) IndexRow(r, col, true);
    }
    return indexes[col].get();
}

void RecordsetData::IndexRow(RowId row, std::size_t col, bool add) const {
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
    rows.emplace_back(fields.size(), Variant::Null(), &arena);
    states.push_back(RowState::Pending);
    return static_cast<RowId>(rows.size() - 1);
}

void RecordsetData::Commit(RowId row, const RowObserver* origin) {
    if (states[row] != RowState::Pending) return;
    states[row] = RowState::Live;
    for (std::size_t c = 0; c < fields.size(); ++c)
        IndexRow(row, c, true);
    // Observers may be added while we notify (none do today); index rather than iterate.
    for (std::size_t i = 0; i < observers.size(); ++i) // NOLINT(modernize-loop-convert)
        if (observers[i] != origin) observers[i]->RowCommitted(row);
}

RowId RecordsetData::PushRow(std::span<Variant> values, bool move) {
    Row& r = rows.emplace_back(&arena);
    r.reserve(fields.size());
    for (std::size_t c = 0; c < fields.size(); ++c) {
        if (c >= values.size())
            r.push_back(Variant::Null());
        else if (move)
            r.push_back(std::move(values[c]));
        else
            r.push_back(values[c]);
    }
    states.push_back(RowState::Live);
    return static_cast<RowId>(rows.size() - 1);
}

void RecordsetData::Announce(RowId row) {
    for (std::size_t c = 0; c < fields.size(); ++c)
        if (indexes[c]) IndexRow(row, c, true);
    for (std::size_t i = 0; i < observers.size(); ++i) // NOLINT(modernize-loop-convert)
        observers[i]->RowCommitted(row);
}

void RecordsetData::AppendLive(std::vector<std::vector<Variant>>&& more) {
    rows.reserve(rows.size() + more.size());
    states.reserve(states.size() + more.size());
    for (auto& r : more)
        Announce(PushRow(r, true));
    more.clear();
}

void RecordsetData::AppendLive(RecordBatch&& batch) {
    RecordBatch::RowList& more = batch.rows_;
    for (Row& r : more)
        if (r.size() != fields.size()) r.resize(fields.size(), Variant::Null());
    const RowId first = static_cast<RowId>(rows.size());
    adopted.push_back(std::move(batch.arena_));
    if (rows.empty()) {
        rows = std::move(more);
    } else {
        rows.reserve(rows.size() + more.size());
        for (Row& r : more)
            rows.push_back(std::move(r)); // keeps its storage in the adopted arena
    }
    more.clear();
    states.resize(rows.size(), RowState::Live);
    for (RowId row = first; row < rows.size(); ++row)
        Announce(row);
    batch.arena_ = RecordBatch::NewArena();
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
    rows[row].assign(fields.size(), Variant::Null());  // frees the values; the slot stays
    for (std::size_t i = 0; i < observers.size(); ++i) // NOLINT(modernize-loop-convert)
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
