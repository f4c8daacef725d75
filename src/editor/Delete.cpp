// Deleting the record on screen through the host's delete procedure, then showing a neighbour.
#include "common/ErrorReport.h"
#include "editor/EventSupport.h"
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "platform/ui/UiDriver.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

bool ManagedAreaDetails::ShowNeighbour(long position, long skipId) {
    long count = workingList_ ? workingList_->RecordCount() : 0;
    if (count < 1) return false;
    if (position > count) position = count;
    if (position < 1) position = 1;
    // Nearest first, looking forward before backward: a row the host still lists for the
    // deleted record, or one without a shape, cannot be shown.
    for (long step = 0; step < count; ++step) {
        for (long candidate : {position + step, position - step}) {
            if (candidate < 1 || candidate > count || (step == 0 && candidate != position))
                continue;
            workingList_->MoveFirst();
            workingList_->Move(candidate - 1);
            long id = static_cast<long>(CLng(workingList_->Value("ID")));
            if (id == skipId) continue;
            long shape = LookupShapeId(id);
            if (shape == -1) continue;
            currentId_ = id;
            shapeId_ = shape;
            LoadCurrentRecord();
            closing_ = false;
            RefreshRecordHeader();
            RefreshNavigator();
            return true;
        }
    }
    return false;
}

bool ManagedAreaDetails::DeleteRecord() {
    struct Done {
        ManagedAreaDetails& d;
        ~Done() {
            Screen::Instance().SetMousePointer(mouse::Default);
            d.ShowWaitMessage(false);
        }
    };
    try {
        if (!shape_) return false;
        bool hasShape = false;
        try {
            RecordsetPtr rs = HostQuery(
                appManager_, "Select Count(*) as SHAPE_COUNT from Shape where shape_id = " +
                                 std::to_string(shapeId_) + " and has_shape_ind = 'Y'");
            hasShape = !rs->EOF() && CLng(rs->Value("SHAPE_COUNT")) > 0;
            rs->Close();
        } catch (const ComError& e) {
            // Without knowing whether a shape is drawn nothing is deleted.
            common::ReportError(
                "An unexpected error occured while checking if this record has an associated "
                "Shape.",
                e);
            return false;
        }
        if (hasShape) {
            DisplayMessage("APP039", {Variant(std::string("Managed Area"))});
            return false;
        }
        if (CLng(DisplayMessage("MGA004")) != vb::Yes || shape_->IsNew()) return false;
        // A record another user changed since it was read is not deleted unseen.
        if (!shape_->ClaimForDelete()) {
            DisplayMessage(shape_->LastErrorCode());
            return false;
        }

        Screen::Instance().SetMousePointer(mouse::Hourglass);
        ShowWaitMessage(true, WaitDeleting);
        Done done{*this};
        long id = currentId_;
        deleted_ = true;
        bool gone = false;
        try {
            gone = CBool(CallHost(appManager_, "Delete",
                                  {Variant(std::string("delete_ma_data")),
                                   Variant(static_cast<int>(id)), Variant(UserName())}));
            gone = shape_->FinishDelete(gone);
        } catch (...) {
            deleted_ = false;
            try {
                shape_->FinishDelete(false);
            } catch (...) {
                // The failure being reported is the one that matters.
            }
            throw;
        }
        if (!gone) {
            deleted_ = false;
            return false;
        }
        Args removed{Variant(static_cast<int>(id))};
        RaiseEvent("RemoveItem", removed);
        if (workingList_ && workingList_ != hostList_ && WorkingListHolds(workingList_, id))
            workingList_->Delete();
        long position = IsNumeric(Variant(txtCurrentRecord->Text()))
                            ? static_cast<long>(CLng(Variant(txtCurrentRecord->Text())))
                            : 1;
        deleted_ = false;
        if (ShowNeighbour(position, id)) return true;
        // Nothing left to show: the window closes without asking.
        deleted_ = true;
        RaiseEvent("Quit");
        return true;
    } catch (const ComError& e) {
        try {
            DisplayMessage("MGA005", {Variant(e.Description())});
        } catch (const ComError& shown) {
            common::ReportError("The managed area could not be deleted.", shown);
        }
        Screen::Instance().SetMousePointer(mouse::Default);
        ShowWaitMessage(false);
        return false;
    }
}

void ManagedAreaDetails::WireSaveEvents() {
    mnuEditDelete->On("Click", WhenEnabled(mnuEditDelete, [this](Args&) { DeleteRecord(); }));
}

} // namespace zelk::editor
