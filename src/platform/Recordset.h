#pragma once

#include "platform/Dispatch.h"
#include "platform/RecordBatch.h"
#include "platform/Variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The C library's EOF macro would swallow the member of that name. Take it in first and
// retire it; the standard library itself never uses it (std::char_traits<char>::eof() does).
#include <cstdio>
#undef EOF

namespace zelk {

// Field data types, numbered as the recordset library numbers them.
namespace ad {
constexpr int SmallInt = 2;
constexpr int Integer = 3;
constexpr int Single = 4;
constexpr int Double = 5;
constexpr int Currency = 6;
constexpr int Date = 7;
constexpr int Boolean = 11;
constexpr int BigInt = 20;
constexpr int WChar = 130;
constexpr int Numeric = 131;
constexpr int DBTimeStamp = 135;
constexpr int VarChar = 200;
constexpr int LongVarChar = 201;
constexpr int VarWChar = 202;

// Field attributes.
constexpr long FldUpdatable = 0x4;
constexpr long FldIsNullable = 0x20;
constexpr long FldMayBeNull = 0x40;

// State.
constexpr int StateClosed = 0;
constexpr int StateOpen = 1;

// AbsolutePosition when there is no current record.
constexpr long PosUnknown = -1;
constexpr long PosBOF = -2;
constexpr long PosEOF = -3;

// Find direction.
constexpr int SearchForward = 1;
constexpr int SearchBackward = -1;

// EditMode.
constexpr int EditNone = 0;
constexpr int EditInProgress = 1;
constexpr int EditAdd = 2;
} // namespace ad

class Criteria;
class Recordset;
struct RecordsetData;

// One column of a recordset; its Value is that of the current record.
class Field {
public:
    const std::string& Name() const;
    int Type() const;
    long DefinedSize() const;
    long Attributes() const;

    // Error 3021 when there is no current record.
    Variant Value() const;
    // The same without a copy; valid until the recordset moves or changes.
    const Variant& ValueRef() const;
    // Converts to the field's type (text for character fields, numbers for numeric ones);
    // a value that cannot convert is error 13. Null is allowed.
    void SetValue(const Variant& v);
    Field& operator=(const Variant& v) {
        SetValue(v);
        return *this;
    }

    // The dynamic property "Optimize": a hash index on this field while True.
    bool Optimize() const;
    void SetOptimize(bool on);

private:
    friend class Recordset;
    friend class Fields;
    Field(Recordset* rs, std::size_t col) : rs_(rs), col_(col) {}
    Recordset* rs_;
    std::size_t col_;
};

class Fields {
public:
    long Count() const;
    // By 0-based position or by name (case-insensitive); error 3265 when absent.
    Field Item(std::size_t index) const;
    Field Item(std::string_view name) const;
    Field operator[](std::string_view name) const { return Item(name); }
    Field operator[](std::size_t index) const { return Item(index); }
    bool Exists(std::string_view name) const;
    // Only while the recordset is closed (error 3705 otherwise).
    void Append(std::string name, int type, long definedSize = 0, long attributes = 0);

private:
    friend class Recordset;
    explicit Fields(Recordset* rs) : rs_(rs) {}
    Recordset* rs_;
};

// An in-memory, client-side recordset. Clones share the records and see each other's
// changes; each keeps its own position, filter and sort.
class Recordset : public Object {
public:
    Recordset();
    ~Recordset() override;
    std::string TypeName() const override { return "Recordset"; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override;

    Fields GetFields() { return Fields(this); }
    Field operator[](std::string_view name) { return GetFields().Item(name); }
    Variant Value(std::string_view field) { return GetFields().Item(field).Value(); }

    // Opens an empty, disconnected recordset with the appended fields.
    void Open();
    void Close();
    int State() const;

    bool BOF() const;
    bool EOF() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void Move(long n);
    // 1-based among the visible (filtered, sorted) records; ad::Pos* without a current one.
    long AbsolutePosition() const;
    void SetAbsolutePosition(long pos);
    long RecordCount() const;

    Variant Bookmark() const;
    void SetBookmark(const Variant& bm);

    // criteria: "Field op value" with =, <>, <, >, <=, >=, LIKE ('*' or '%' wildcards).
    // Leaves the record found current, or EOF (forward) / BOF (backward) when none.
    void Find(std::string_view criteria, long skipRecords = 0, int direction = ad::SearchForward,
              const Variant& start = {});

    // "" shows every record; otherwise criteria joined with AND / OR, parentheses allowed.
    void SetFilter(std::string_view criteria);
    const std::string& Filter() const;
    // "Field [ASC|DESC], ..."; "" for natural order.
    void SetSort(std::string_view sort);
    const std::string& Sort() const;

    void AddNew();
    void Update();
    void CancelUpdate();
    void UpdateBatch();
    // Deletes the current record; the position stays on it until the next move.
    void Delete();
    int EditMode() const;

    // Shares the records; independent position, filter and sort.
    std::shared_ptr<Recordset> Clone();

    // Adds many records in one step, each row one value per field already of the field's type
    // (a data service filling the recordset it has just opened). The current record is left
    // where it was.
    void AppendRecords(std::vector<std::vector<Variant>> rows);
    // The same from a batch, whose records and their storage the recordset takes over.
    void AppendRecords(RecordBatch&& batch);

    // Takes over the visible records of `source`, each value converted to the type of this
    // recordset's field at the same position; the source stays open with no records. Records
    // that are not the source's alone (a clone shares them) or not all visible in their
    // natural order are copied instead. This recordset must be open and empty, with as many
    // fields. A value that cannot convert is error 13 and leaves both as they were.
    void TakeRecords(Recordset& source);

    // Closes and reopens the recordset on its own visible records, as saving it to a stream
    // and opening that would: they become its only records, in their current order, with no
    // filter, sort, index or pending change. Clones keep the records they had.
    void Rebase();

private:
    friend class Field;
    friend class Fields;
    void Attach(std::shared_ptr<RecordsetData> data);
    void Detach();
    void RequireOpen() const;
    void CommitEdit();
    std::uint32_t CurrentRow() const;
    void MoveTo(long pos);
    long PositionOfBookmark(const Variant& bm);
    Criteria BoundCriteria(std::string_view text, bool single) const;
    const Variant& CellValue(std::size_t col) const;
    void SetCellValue(std::size_t col, const Variant& v);

    std::shared_ptr<RecordsetData> data_;
    struct Cursor;
    std::unique_ptr<Cursor> cur_;
};

using RecordsetPtr = std::shared_ptr<Recordset>;

RecordsetPtr NewRecordset();

} // namespace zelk
