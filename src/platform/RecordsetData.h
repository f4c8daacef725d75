#pragma once

#include "platform/FieldValue.h"
#include "platform/RecordBatch.h"
#include "platform/Strings.h"
#include "platform/ValueIndex.h"
#include "platform/Variant.h"

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelk {

struct FieldDef {
    std::string name;
    int type = 0;
    long definedSize = 0;
    long attributes = 0;
    FieldKind kind = FieldKind::Other;
    bool optimize = false;
};

// What a recordset's cursor hears about rows that any recordset sharing the records changes.
class RowObserver {
public:
    virtual ~RowObserver() = default;
    virtual void RowCommitted(RowId row) = 0; // a new record became visible to everyone
    virtual void RowRemoved(RowId row) = 0;
};

// The records that a recordset and its clones share. Rows are never moved while shared,
// so a row id is a stable bookmark; deleted rows stay as tombstones.
struct RecordsetData {
    enum class RowState : std::uint8_t { Pending, Live, Deleted };

    // One record's values. Their storage comes from an arena of the records and is given back
    // all at once with them: a large result costs no heap traffic per row.
    using Row = RecordBatch::Row;

    // Declared before the rows, which they outlive: the records' own arena and those of the
    // batches taken over.
    std::pmr::monotonic_buffer_resource arena{RecycledBlocks()};
    std::vector<std::unique_ptr<std::pmr::memory_resource>> adopted;
    std::vector<FieldDef> fields;
    std::unordered_map<std::string, std::size_t, IHash, IEqual> byName;
    RecordBatch::RowList rows;
    std::vector<RowState> states;
    // Per column, null until first used: a result that is only read never pays for one.
    mutable std::vector<std::unique_ptr<ValueIndex>> indexes;
    std::vector<bool> indexed; // the columns that keep an index
    std::vector<RowObserver*> observers;

    void AppendField(FieldDef def);
    std::optional<std::size_t> Column(std::string_view name) const;

    // Builds the indexes every recordset keeps: the one on a field named "ID".
    void BuildKeyIndexes();
    void SetIndexed(std::size_t col, bool on);
    // The column's index, built now when it is wanted and not yet built; null when not wanted.
    const ValueIndex* IndexOf(std::size_t col) const;

    // A new record seen only by the recordset that adds it, all values Null.
    RowId NewRow();
    // The pending record becomes live: indexed and announced to every other observer.
    void Commit(RowId row, const RowObserver* origin);
    // Appends records that are live at once, each already holding one value of its field's
    // type per field: the bulk path of a data service filling a fresh recordset.
    void AppendLive(std::vector<std::vector<Variant>>&& more);
    // The same from a batch, whose records and arena it takes over.
    void AppendLive(RecordBatch&& batch);
    // Adds a live record holding those values, moved or copied, Null for any field beyond
    // them; it is neither indexed nor announced.
    RowId PushRow(std::span<Variant> values, bool move);
    void SetCell(RowId row, std::size_t col, Variant value);
    void RemoveRow(RowId row);
    bool IsLive(RowId row) const { return row < states.size() && states[row] == RowState::Live; }

    // A copy of the field structure with no records, as a reopened recordset starts.
    std::shared_ptr<RecordsetData> EmptyCopy() const;

private:
    void IndexRow(RowId row, std::size_t col, bool add) const;
    void Announce(RowId row);
};

} // namespace zelk
