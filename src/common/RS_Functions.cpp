#include "common/RS_Functions.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/FieldValue.h"
#include "platform/Strings.h"

#include <exception>
#include <iostream>
#include <new>
#include <utility>
#include <vector>

namespace zelk {

namespace {

constexpr int MsgInformation = 64;
constexpr int OutOfMemory = 7;
constexpr int InternalError = 51;

// The number and description of the failure being handled, whatever was thrown.
std::pair<int, std::string> CurrentFailure() {
    try {
        throw;
    } catch (const ComError& e) {
        return {e.Number(), e.Description()};
    } catch (const std::bad_alloc&) {
        return {OutOfMemory, "Out of memory"};
    } catch (const std::exception& e) {
        return {InternalError, e.what()};
    } catch (...) {
        return {InternalError, "Internal error"};
    }
}

int DefaultMessageBox(const std::string& prompt, int, const std::string& title) {
    std::cerr << title << ": " << prompt << '\n';
    return 1;
}

MessageBoxHook& Hook() {
    static MessageBoxHook hook = DefaultMessageBox;
    return hook;
}

// Copies every field of target's current record from source's field of the same name.
void CopyFields(Recordset& source, Recordset& target) {
    Fields fields = target.GetFields();
    Fields from = source.GetFields();
    for (long i = 0; i < fields.Count(); ++i) {
        Field f = fields.Item(static_cast<std::size_t>(i));
        f.SetValue(from.Item(f.Name()).Value());
    }
}

// The "Optimize" index on both "ID" fields for the duration of one append.
class OptimizeIds {
public:
    OptimizeIds(Recordset& target, Recordset& source)
        : target_(target.GetFields().Item("ID")), source_(source.GetFields().Item("ID")) {
        target_.SetOptimize(true);
        source_.SetOptimize(true);
    }
    ~OptimizeIds() {
        target_.SetOptimize(false);
        source_.SetOptimize(false);
    }
    OptimizeIds(const OptimizeIds&) = delete;
    OptimizeIds& operator=(const OptimizeIds&) = delete;

private:
    Field target_, source_;
};

} // namespace

void SetMessageBoxHook(MessageBoxHook hook) {
    Hook() = hook ? std::move(hook) : MessageBoxHook(DefaultMessageBox);
}

void AppendSelectedRows(const SelectedRowSource& grid, Recordset& source, Recordset& target) {
    long selected = grid.SelectedRows();
    if (selected <= 0 || source.RecordCount() == 0) return;
    {
        OptimizeIds optimize(target, source);
        for (long i = 0; i < selected; ++i) {
            // A row whose first column names no number holds no ID: it finds nothing.
            auto id = ParseNumber(grid.TextMatrix(grid.SelectedRow(i), 0));
            if (!id) continue;
            std::string criteria = "ID = " + CStr(Variant(*id));
            source.MoveFirst();
            source.Find(criteria);
            if (source.EOF()) continue;
            if (target.RecordCount() > 0) {
                target.MoveFirst();
                target.Find(criteria);
                if (!target.EOF()) continue; // already listed: left as it is
            }
            target.AddNew();
            try {
                CopyFields(source, target);
            } catch (...) {
                // A value the list cannot hold (an ID past its field's range) must not leave
                // a half-filled row behind in the list.
                target.CancelUpdate();
                throw;
            }
        }
    }
    target.Rebase();
}

void EmptyRecordset(Recordset& rs) {
    rs.SetFilter("ID = -12345678");
    rs.Rebase();
    rs.SetFilter("");
}

void ReplaceWithSelectedRows(const SelectedRowSource& grid, Recordset& source, Recordset& target) {
    if (grid.SelectedRows() <= 0) return;
    source.MoveFirst();
    EmptyRecordset(target);
    AppendSelectedRows(grid, source, target);
}

int MergeRecord(Recordset& source, Recordset& target) {
    try {
        if (source.State() != ad::StateOpen || source.RecordCount() == 0) return 0;
        std::string criteria = "ID = " + CStr(source.Value("ID"));
        bool found = false;
        if (target.RecordCount() > 0) {
            target.MoveFirst();
            target.Find(criteria);
            found = !target.EOF();
        }
        if (!found) target.AddNew();
        try {
            CopyFields(source, target);
            target.Update();
        } catch (...) {
            // Half-copied values must not reach the list with the next move.
            if (target.EditMode() != ad::EditNone) target.CancelUpdate();
            throw;
        }
        target.UpdateBatch();
        return 1;
    } catch (...) {
        // Whatever failed, the caller gets 0 and the user the reason; nothing reaches the host.
        const auto [number, description] = CurrentFailure();
        Hook()("An error occurred while merging records.\n\n#" + std::to_string(number) + ": " +
                   description,
               MsgInformation, "Application Error");
    }
    return 0;
}

void CreateDetachedRecordset(Recordset& source, RecordsetPtr& newRs) {
    newRs = NewRecordset();
    Fields from = source.GetFields();
    Fields to = newRs->GetFields();
    for (long i = 0; i < from.Count(); ++i) {
        Field f = from.Item(static_cast<std::size_t>(i));
        std::string upper = UCase(f.Name());
        // Key fields keep their type so finds by number still work; the rest become text.
        bool keep = upper == "ID" || upper == "EO_NUMBER" || upper == "UNCERTAINTY_DISTANCE" ||
                    upper == "ELEMENT_SUBNATIONAL_ID";
        to.Append(f.Name(), keep ? f.Type() : ad::VarChar, f.DefinedSize(), f.Attributes());
    }
    newRs->Open();
}

void CopyToDetachedRecordset(Recordset& source, RecordsetPtr& newRs) {
    CreateDetachedRecordset(source, newRs);
    if (source.RecordCount() == 0) return;
    // In one batch rather than record by record: a search's answer can be 100,000 records.
    Fields to = newRs->GetFields();
    Fields from = source.GetFields();
    const long cols = to.Count();
    std::vector<Field> sources;
    std::vector<int> types;
    for (long i = 0; i < cols; ++i) {
        Field f = to.Item(static_cast<std::size_t>(i));
        sources.push_back(from.Item(f.Name()));
        types.push_back(f.Type());
    }
    RecordBatch batch;
    for (source.MoveFirst(); !source.EOF(); source.MoveNext()) {
        RecordBatch::Row& row = batch.NewRow(static_cast<std::size_t>(cols));
        for (long i = 0; i < cols; ++i)
            row.push_back(ToFieldType(sources[static_cast<std::size_t>(i)].Value(),
                                      types[static_cast<std::size_t>(i)]));
    }
    newRs->AppendRecords(std::move(batch));
    newRs->MoveLast(); // where adding the records one by one would have left it
}

void MoveToDetachedRecordset(Recordset& source, RecordsetPtr& newRs) {
    CreateDetachedRecordset(source, newRs);
    newRs->TakeRecords(source);
    if (newRs->RecordCount() > 0) newRs->MoveLast(); // where the copy leaves it
}

} // namespace zelk
