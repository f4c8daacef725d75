#include "host/app/WorkingListRows.h"

#include "platform/Conv.h"

#include <string>

namespace zelk::host {

namespace {

// Leaves the list on the row with this ID; false (at EOF) when there is none.
bool SeekId(Recordset& list, long id) {
    if (list.RecordCount() < 1) return false;
    list.MoveFirst();
    list.Find("ID=" + std::to_string(id));
    return !list.EOF();
}

// Puts the cursor back on the row it was on before, when that row is still there.
struct KeepPosition {
    explicit KeepPosition(Recordset& rs) : list(rs) {
        if (!list.BOF() && !list.EOF()) mark = list.Bookmark();
    }
    ~KeepPosition() {
        try {
            if (!mark.IsEmpty())
                list.SetBookmark(mark);
            else if (list.RecordCount() > 0)
                list.MoveFirst();
        } catch (...) {
            // The row was the one removed: the first row is current.
            if (list.RecordCount() > 0) list.MoveFirst();
        }
    }
    Recordset& list;
    Variant mark;
};

} // namespace

void RefreshWorkingListRow(DataService& db, Recordset& list, long id) {
    auto row =
        db.Query("SELECT * FROM managed_area_wl_vw WHERE id = ?", {Variant(static_cast<int>(id))});
    if (row->EOF()) return;
    KeepPosition keep(list);
    if (!SeekId(list, id)) list.AddNew();
    Fields to = list.GetFields();
    Fields from = row->GetFields();
    for (long i = 0; i < to.Count(); ++i) {
        Field f = to.Item(static_cast<std::size_t>(i));
        if (from.Exists(f.Name())) f.SetValue(from.Item(f.Name()).Value());
    }
    list.Update();
}

void RemoveWorkingListRow(Recordset& list, long id) {
    KeepPosition keep(list);
    if (SeekId(list, id)) {
        if (!keep.mark.IsEmpty() && CLng(list.Bookmark()) == CLng(keep.mark)) keep.mark = {};
        list.Delete();
    }
}

} // namespace zelk::host
