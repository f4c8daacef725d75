#include "platform/Recordset.h"

#include "platform/Criteria.h"
#include "platform/Error.h"
#include "platform/RecordsetData.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zelk {

// One recordset's view of the shared records: the visible rows in order, the position
// among them, the filter and sort that made them, and the edit buffer.
struct Recordset::Cursor final : RowObserver {
    RecordsetData* data = nullptr;
    bool open = false;
    std::vector<RowId> view;
    // view position of each row id, -1 when hidden; rebuilt lazily after removals and sorts
    std::vector<std::int32_t> posOf;
    bool posValid = false;
    long pos = 0;           // -1 before the first record, view.size() after the last
    bool onDeleted = false; // the current record was deleted; pos is the record after it
    std::string filterText, sortText;
    Criteria filter;
    std::vector<SortKey> sortKeys;
    std::vector<std::size_t> sortCols;
    int editMode = ad::EditNone;
    RowId editRow = 0;
    std::vector<Variant> buf;
    std::vector<char> dirty;
    std::optional<RowId> beforeAdd; // record to return to when an addition is cancelled

    long Size() const { return static_cast<long>(view.size()); }
    bool HasCurrent() const { return open && !onDeleted && pos >= 0 && pos < Size(); }

    long PositionOf(RowId row) {
        if (!posValid) {
            posOf.assign(data->rows.size(), -1);
            for (std::size_t i = 0; i < view.size(); ++i)
                posOf[view[i]] = static_cast<std::int32_t>(i);
            posValid = true;
        }
        return row < posOf.size() ? posOf[row] : -1;
    }

    void Append(RowId row) {
        view.push_back(row);
        if (posValid) {
            if (posOf.size() <= row) posOf.resize(data->rows.size(), -1);
            posOf[row] = static_cast<std::int32_t>(view.size() - 1);
        }
    }

    void RowCommitted(RowId row) override {
        if (!open) return;
        if (filter.Empty() || filter.Matches(data->rows[row])) Append(row);
    }

    void RowRemoved(RowId row) override {
        if (editMode != ad::EditNone && editRow == row) ClearEdit();
        long at = PositionOf(row);
        if (at < 0) return;
        view.erase(view.begin() + at);
        posValid = false;
        if (at < pos)
            --pos;
        else if (at == pos)
            onDeleted = true;
    }

    void ClearEdit() {
        editMode = ad::EditNone;
        buf.clear();
        dirty.clear();
        beforeAdd.reset();
    }

    void Rebuild() {
        view.clear();
        posValid = false;
        const Criteria::Comparison* eq = filter.SingleEquality();
        const ValueIndex* index = eq ? data->IndexOf(eq->column) : nullptr;
        IndexKey key;
        if (index) {
            // An equality filter on an indexed field reads its rows straight from the index.
            if (FieldKey(eq->bound, eq->kind, key))
                index->ForEach(key, [this](RowId r) { view.push_back(r); });
            std::sort(view.begin(), view.end());
        } else {
            for (RowId r = 0; r < data->rows.size(); ++r)
                if (data->states[r] == RecordsetData::RowState::Live &&
                    (filter.Empty() || filter.Matches(data->rows[r])))
                    view.push_back(r);
        }
        if (sortKeys.empty()) return;
        std::stable_sort(view.begin(), view.end(), [this](RowId a, RowId b) {
            for (std::size_t k = 0; k < sortKeys.size(); ++k) {
                std::size_t c = sortCols[k];
                const Variant& x = data->rows[a][c];
                const Variant& y = data->rows[b][c];
                bool nx = x.IsNull() || x.IsEmpty(), ny = y.IsNull() || y.IsEmpty();
                int r; // Null sorts before every value
                if (nx || ny)
                    r = nx == ny ? 0 : (nx ? -1 : 1);
                else
                    r = CompareFieldValues(x, y, data->fields[c].kind);
                if (r != 0) return sortKeys[k].descending ? r > 0 : r < 0;
            }
            return false;
        });
    }
};

namespace {
[[noreturn]] void NoCurrentRecord() {
    Raise(err::NoCurrentRecord, "");
}
} // namespace

Recordset::Recordset()
    : data_(std::make_shared<RecordsetData>()), cur_(std::make_unique<Cursor>()) {
    cur_->data = data_.get();
    data_->observers.push_back(cur_.get());
}

Recordset::~Recordset() {
    Detach();
}

void Recordset::Detach() {
    std::erase(data_->observers, static_cast<RowObserver*>(cur_.get()));
}

void Recordset::Attach(std::shared_ptr<RecordsetData> data) {
    Detach();
    data_ = std::move(data);
    data_->observers.push_back(cur_.get());
    Cursor& c = *cur_;
    c.data = data_.get();
    c.view.clear();
    c.posValid = false;
    c.pos = 0;
    c.onDeleted = false;
    c.filterText.clear();
    c.sortText.clear();
    c.filter = Criteria();
    c.sortKeys.clear();
    c.sortCols.clear();
    c.ClearEdit();
}

void Recordset::RequireOpen() const {
    if (!cur_->open) Raise(err::OperationNotAllowedClosed, "");
}

void Recordset::CommitEdit() {
    if (cur_->editMode != ad::EditNone) Update();
}

RowId Recordset::CurrentRow() const {
    RequireOpen();
    if (!cur_->HasCurrent()) NoCurrentRecord();
    return cur_->view[static_cast<std::size_t>(cur_->pos)];
}

void Recordset::Open() {
    if (cur_->open) Raise(err::OperationNotAllowedOpen, "");
    // A closed recordset holds its own, empty records already.
    data_->BuildKeyIndexes();
    for (std::size_t col = 0; col < data_->fields.size(); ++col)
        if (data_->fields[col].optimize) data_->SetIndexed(col, true);
    cur_->open = true;
    cur_->pos = 0;
}

void Recordset::Close() {
    RequireOpen();
    Attach(data_->EmptyCopy());
    cur_->open = false;
}

int Recordset::State() const {
    return cur_->open ? ad::StateOpen : ad::StateClosed;
}

bool Recordset::BOF() const {
    RequireOpen();
    return cur_->view.empty() || (!cur_->onDeleted && cur_->pos < 0);
}

bool Recordset::EOF() const {
    RequireOpen();
    return cur_->view.empty() || (!cur_->onDeleted && cur_->pos >= cur_->Size());
}

void Recordset::MoveTo(long pos) {
    Cursor& c = *cur_;
    c.onDeleted = false;
    c.pos = std::clamp(pos, -1L, c.Size());
}

void Recordset::MoveFirst() {
    RequireOpen();
    CommitEdit();
    MoveTo(0);
}

void Recordset::MoveLast() {
    RequireOpen();
    CommitEdit();
    MoveTo(cur_->view.empty() ? 0 : cur_->Size() - 1);
}

void Recordset::MoveNext() {
    Move(1);
}
void Recordset::MovePrevious() {
    Move(-1);
}

void Recordset::Move(long n) {
    RequireOpen();
    CommitEdit();
    Cursor& c = *cur_;
    if (c.onDeleted) {
        // The deleted record sat just before pos.
        if (n == 0) NoCurrentRecord();
        MoveTo(n > 0 ? c.pos + n - 1 : c.pos + n);
        return;
    }
    if ((n >= 0 && EOF()) || (n <= 0 && BOF())) NoCurrentRecord();
    MoveTo(c.pos + n);
}

long Recordset::AbsolutePosition() const {
    RequireOpen();
    const Cursor& c = *cur_;
    if (c.view.empty() || c.onDeleted) return ad::PosUnknown;
    if (c.pos < 0) return ad::PosBOF;
    if (c.pos >= c.Size()) return ad::PosEOF;
    return c.pos + 1;
}

void Recordset::SetAbsolutePosition(long pos) {
    RequireOpen();
    CommitEdit();
    if (pos < 1 || pos > cur_->Size())
        Raise(err::InvalidArgument, "AbsolutePosition " + std::to_string(pos) +
                                        " is outside the records (1 to " +
                                        std::to_string(cur_->Size()) + ").");
    MoveTo(pos - 1);
}

long Recordset::RecordCount() const {
    RequireOpen();
    return cur_->Size();
}

Variant Recordset::Bookmark() const {
    return Variant(static_cast<double>(CurrentRow()) + 1);
}

long Recordset::PositionOfBookmark(const Variant& bm) {
    double d = bm.IsNumber() ? bm.NumberValue() : 0;
    long at = -1;
    if (d >= 1 && d <= static_cast<double>(data_->rows.size()) && d == std::floor(d)) {
        RowId row = static_cast<RowId>(d - 1);
        if (data_->IsLive(row)) at = cur_->PositionOf(row);
    }
    if (at < 0)
        Raise(err::InvalidArgument, "The bookmark is invalid: it names no record of this view.");
    return at;
}

void Recordset::SetBookmark(const Variant& bm) {
    RequireOpen();
    CommitEdit();
    MoveTo(PositionOfBookmark(bm));
}

Criteria Recordset::BoundCriteria(std::string_view text, bool single) const {
    Criteria c = Criteria::Parse(text, single);
    c.Bind([this](std::string_view name) -> std::optional<Criteria::FieldInfo> {
        auto col = data_->Column(name);
        if (!col) return std::nullopt;
        return Criteria::FieldInfo{*col, data_->fields[*col].type};
    });
    return c;
}

void Recordset::Find(std::string_view criteria, long skipRecords, int direction,
                     const Variant& start) {
    RequireOpen();
    CommitEdit();
    if (direction != ad::SearchForward && direction != ad::SearchBackward)
        Raise(err::InvalidArgument, "Find: the direction must be 1 (forward) or -1 (backward).");
    Criteria crit = BoundCriteria(criteria, true);
    Cursor& c = *cur_;
    bool forward = direction == ad::SearchForward;
    long size = c.Size();
    long from;
    if (!start.IsEmpty())
        from = PositionOfBookmark(start) + (forward ? skipRecords : -skipRecords);
    else if (c.onDeleted) // the deleted record sat just before pos
        from = forward ? c.pos + std::max(skipRecords - 1, 0L)
                       : c.pos - 1 - std::max(skipRecords - 1, 0L);
    else
        from = forward ? c.pos + skipRecords : c.pos - skipRecords;
    if (forward)
        from = std::max(from, 0L);
    else
        from = std::min(from, size - 1);

    long found = -1;
    const Criteria::Comparison* eq = crit.SingleEquality();
    const ValueIndex* index = eq ? data_->IndexOf(eq->column) : nullptr;
    if (index) {
        IndexKey key;
        if (FieldKey(eq->bound, eq->kind, key))
            index->ForEach(key, [&](RowId row) {
                long at = c.PositionOf(row);
                if (at < 0 || (forward ? at < from : at > from)) return;
                if (found < 0 || (forward ? at < found : at > found)) found = at;
            });
    } else if (forward) {
        for (long i = from; i < size && found < 0; ++i)
            if (crit.Matches(data_->rows[c.view[static_cast<std::size_t>(i)]])) found = i;
    } else {
        for (long i = from; i >= 0 && found < 0; --i)
            if (crit.Matches(data_->rows[c.view[static_cast<std::size_t>(i)]])) found = i;
    }
    MoveTo(found >= 0 ? found : (forward ? size : -1));
}

void Recordset::SetFilter(std::string_view criteria) {
    RequireOpen();
    CommitEdit();
    Criteria crit;
    if (!Trim(criteria).empty()) crit = BoundCriteria(criteria, false);
    Cursor& c = *cur_;
    c.filter = std::move(crit);
    c.filterText = c.filter.Empty() ? std::string() : std::string(criteria);
    c.Rebuild();
    MoveTo(0);
}

const std::string& Recordset::Filter() const {
    return cur_->filterText;
}

void Recordset::SetSort(std::string_view sort) {
    RequireOpen();
    CommitEdit();
    std::vector<SortKey> keys = ParseSort(sort);
    std::vector<std::size_t> cols;
    for (const SortKey& k : keys) {
        auto col = data_->Column(k.field);
        if (!col)
            Raise(err::InvalidArgument,
                  "Invalid sort \"" + std::string(sort) + "\": unknown field '" + k.field + "'.");
        cols.push_back(*col);
    }
    Cursor& c = *cur_;
    std::optional<RowId> current;
    if (c.HasCurrent()) current = c.view[static_cast<std::size_t>(c.pos)];
    c.sortKeys = std::move(keys);
    c.sortCols = std::move(cols);
    c.sortText = c.sortKeys.empty() ? std::string() : std::string(sort);
    c.Rebuild();
    // The current record stays current in its new place.
    MoveTo(current ? std::max(c.PositionOf(*current), 0L) : 0);
}

const std::string& Recordset::Sort() const {
    return cur_->sortText;
}

void Recordset::AddNew() {
    RequireOpen();
    CommitEdit();
    Cursor& c = *cur_;
    std::optional<RowId> before;
    if (c.HasCurrent()) before = c.view[static_cast<std::size_t>(c.pos)];
    RowId row = data_->NewRow();
    c.Append(row);
    MoveTo(c.Size() - 1);
    c.editMode = ad::EditAdd;
    c.editRow = row;
    c.buf.assign(data_->fields.size(), Variant::Null());
    c.dirty.assign(data_->fields.size(), 0);
    c.beforeAdd = before;
}

void Recordset::AppendRecords(std::vector<std::vector<Variant>> rows) {
    RequireOpen();
    CommitEdit();
    data_->AppendLive(std::move(rows));
}

void Recordset::AppendRecords(RecordBatch&& batch) {
    RequireOpen();
    CommitEdit();
    data_->AppendLive(std::move(batch));
}

void Recordset::Update() {
    RequireOpen();
    Cursor& c = *cur_;
    if (c.editMode == ad::EditNone) return;
    RowId row = c.editRow;
    int mode = c.editMode;
    std::vector<Variant> buf = std::move(c.buf);
    std::vector<char> dirty = std::move(c.dirty);
    c.ClearEdit();
    for (std::size_t col = 0; col < dirty.size(); ++col)
        if (dirty[col]) data_->SetCell(row, col, std::move(buf[col]));
    if (mode == ad::EditAdd) data_->Commit(row, cur_.get());
}

void Recordset::CancelUpdate() {
    RequireOpen();
    Cursor& c = *cur_;
    if (c.editMode == ad::EditAdd) {
        std::optional<RowId> before = c.beforeAdd;
        RowId row = c.editRow;
        c.ClearEdit();
        data_->RemoveRow(row);
        long at = before ? c.PositionOf(*before) : -1;
        MoveTo(at >= 0 ? at : c.Size());
        return;
    }
    c.ClearEdit();
}

void Recordset::UpdateBatch() {
    RequireOpen();
    CommitEdit();
}

void Recordset::Delete() {
    RowId row = CurrentRow();
    cur_->ClearEdit();
    data_->RemoveRow(row);
}

int Recordset::EditMode() const {
    RequireOpen();
    return cur_->editMode;
}

std::shared_ptr<Recordset> Recordset::Clone() {
    RequireOpen();
    CommitEdit();
    auto copy = std::make_shared<Recordset>();
    copy->Attach(data_);
    copy->cur_->open = true;
    copy->cur_->Rebuild();
    return copy;
}

void Recordset::Rebase() {
    RequireOpen();
    CommitEdit();
    bool sole = data_.use_count() == 1;
    const std::vector<RowId>& view = cur_->view;
    bool everyRowInOrder = view.size() == data_->rows.size();
    for (std::size_t i = 0; everyRowInOrder && i < view.size(); ++i)
        everyRowInOrder = view[i] == i;
    if (sole && everyRowInOrder) {
        // The records are already exactly the visible ones: keep them and their key index,
        // and drop only what a reopened recordset would not have.
        for (std::size_t col = 0; col < data_->fields.size(); ++col) {
            data_->fields[col].optimize = false;
            if (!IEquals(data_->fields[col].name, "ID")) data_->SetIndexed(col, false);
        }
        Cursor& c = *cur_;
        c.filterText.clear();
        c.sortText.clear();
        c.filter = Criteria();
        c.sortKeys.clear();
        c.sortCols.clear();
        MoveTo(0);
        return;
    }
    auto fresh = data_->EmptyCopy();
    for (RowId row : cur_->view) {
        fresh->PushRow(data_->rows[row], sole);
    }
    fresh->BuildKeyIndexes();
    Attach(std::move(fresh));
    cur_->Rebuild();
}

void Recordset::TakeRecords(Recordset& source) {
    RequireOpen();
    source.RequireOpen();
    if (&source == this) return;
    const std::size_t cols = data_->fields.size();
    if (!data_->rows.empty() || source.data_->fields.size() != cols)
        Raise(err::InvalidArgument,
              "Records can only be taken over by an empty recordset with as many fields.",
              "Recordset");
    CommitEdit();
    source.CommitEdit();
    RecordsetData& from = *source.data_;
    const std::vector<RowId>& view = source.cur_->view;
    bool whole = source.data_.use_count() == 1 && view.size() == from.rows.size();
    for (std::size_t i = 0; whole && i < view.size(); ++i)
        whole = view[i] == i;
    // Converting in place is only safe where it cannot fail half way: to text, or to the
    // type a value already has.
    for (std::size_t col = 0; whole && col < cols; ++col)
        whole = from.fields[col].type == data_->fields[col].type ||
                data_->fields[col].kind == FieldKind::Text;

    if (!whole) {
        RecordBatch batch;
        for (RowId row : view) {
            RecordBatch::Row& r = batch.NewRow(cols);
            for (std::size_t col = 0; col < cols; ++col)
                r.push_back(ToFieldType(Variant(from.rows[row][col]), data_->fields[col].type));
        }
        source.Attach(from.EmptyCopy());
        data_->AppendLive(std::move(batch));
        MoveTo(0);
        return;
    }

    std::shared_ptr<RecordsetData> taken = source.data_;
    source.Attach(taken->EmptyCopy());
    for (std::size_t col = 0; col < cols; ++col) {
        const FieldDef& to = data_->fields[col];
        if (taken->fields[col].type != to.type)
            for (RecordsetData::Row& row : taken->rows)
                row[col] = ToFieldType(std::move(row[col]), to.type);
        taken->fields[col] = to;
        taken->indexes[col].reset();
        taken->indexed[col] = data_->indexed[col];
    }
    taken->byName = data_->byName;
    Attach(std::move(taken));
    cur_->Rebuild();
    MoveTo(0);
}

const Variant& Recordset::CellValue(std::size_t col) const {
    RowId row = CurrentRow();
    const Cursor& c = *cur_;
    if (c.editMode != ad::EditNone && c.editRow == row && c.dirty[col]) return c.buf[col];
    return data_->rows[row][col];
}

void Recordset::SetCellValue(std::size_t col, const Variant& v) {
    RowId row = CurrentRow();
    // Convert first: a value the field cannot hold must not start an edit.
    Variant value = ToFieldType(v, data_->fields[col].type);
    Cursor& c = *cur_;
    if (c.editMode == ad::EditNone) {
        c.editMode = ad::EditInProgress;
        c.editRow = row;
        c.buf.assign(data_->fields.size(), Variant());
        c.dirty.assign(data_->fields.size(), 0);
    }
    c.buf[col] = std::move(value);
    c.dirty[col] = 1;
}

RecordsetPtr NewRecordset() {
    return std::make_shared<Recordset>();
}

} // namespace zelk
