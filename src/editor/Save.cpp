// Saving the record: the change test, moving pending edits into the objects, the save itself
// and the housekeeping after it.
#include "common/ErrorReport.h"
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "platform/ui/UiDriver.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

namespace {
bool Asks(Control* c, std::string_view member) {
    return c && CBool(c->Call(member));
}

bool AnyItemChanged(bo::IChildCollection& list) {
    for (long i = 1; i <= list.Count(); ++i) {
        bo::ChildPtr item = list.Item(i);
        if (item && (item->HasChanges() || item->IsNew())) return true;
    }
    return false;
}
} // namespace

bool ManagedAreaDetails::IsDataModified() {
    if (!ma_) return modified_;
    if (ma_->HasChanges() || ma_->IsNew()) return true;
    if (filled_[PageIdentifiers] &&
        (Asks(flexMAAlias, "HasChanges") || Asks(flexOwners, "HasChanges")))
        return true;
    if (filled_[PageLocators] &&
        (Asks(ctlCounty, "HasChanges") || Asks(ctlLocalJurisdiction, "HasChanges") ||
         Asks(ctlMapsheet, "HasChanges") || Asks(flexTownRangeSection, "HasChanges")))
        return true;
    if (filled_[PageLegalProtection] && Asks(flexLegal, "HasChanges")) return true;
    if (filled_[PageManagement] && Asks(flexYearPlanBudget, "HasChanges")) return true;
    if (filled_[PageElements] && ctlElement->HasMember("IsModified") &&
        Asks(ctlElement, "IsModified"))
        return true;
    if (filled_[PageAdditionalTopics] && Asks(lstKeywords, "HasChanges")) return true;
    if (modified_) return true;
    return AnyItemChanged(ma_->Children(bo::ChildList::Sites)) ||
           AnyItemChanged(ma_->Children(bo::ChildList::References));
}

bool ManagedAreaDetails::StoreToObjects() {
    // A grid that cannot hand over its rows stops the save, rather than the record being
    // written without them.
    for (controls::ctrlBindGrid* g :
         {flexMAAlias, flexOwners, flexTownRangeSection, flexLegal, flexYearPlanBudget})
        if (!CBool(g->Call("StoreToCollection"))) return false;
    if (filled_[PageElements] && ctlElement->HasMember("StoreToCollection") &&
        !CBool(ctlElement->Call("StoreToCollection")))
        return false;
    if (!CBool(lstKeywords->Call("StoreToCollection"))) return false;
    std::string user = UserName();
    shape_->SetLastModUser(user);
    ma_->SetProperty("RecLastModUser", Variant(user));
    return true;
}

bool ManagedAreaDetails::EndOfSave(bool saved) {
    auto each = [](std::initializer_list<controls::ctrlBindGrid*> grids) {
        for (controls::ctrlBindGrid* g : grids)
            g->Call("PostSave");
    };
    if (filled_[PageIdentifiers]) {
        each({flexMAAlias, flexOwners});
        // The bind grid's refresh empties the extra Primary column; show the flags again.
        ShowPrimaryOwners();
    }
    if (filled_[PageLocators]) each({flexTownRangeSection});
    if (filled_[PageLegalProtection]) each({flexLegal});
    if (filled_[PageManagement]) each({flexYearPlanBudget});
    // The element grid writes its display order; after a failed save there is nothing to
    // order yet, and writing it would leave the record half saved. An order it could not
    // write stays pending in the grid and the save is not done: closing asks again.
    if (saved && filled_[PageElements] && ctlElement->HasMember("PostSave")) {
        try {
            ctlElement->Call("PostSave");
        } catch (const ComError& e) {
            common::ReportError("The managed area was saved, but the display order of its "
                                "elements could not be written.",
                                e);
            return false;
        }
    }
    return true;
}

bool ManagedAreaDetails::WorkingListHolds(const RecordsetPtr& list, long id) {
    if (!list || list->RecordCount() < 1 || !ListHasIds(list)) return false;
    list->MoveFirst();
    list->Find("ID=" + std::to_string(id));
    return !list->EOF();
}

void ManagedAreaDetails::UpdateListsAfterSave() {
    if (!workingList_) return;
    Args id{Variant(static_cast<int>(currentId_))};
    if (workingList_ == hostList_ || deleted_) {
        RaiseEvent("UpdateList", id);
        return;
    }
    if (!WorkingListHolds(workingList_, currentId_)) {
        workingList_->AddNew();
        Fields f = workingList_->GetFields();
        f.Item("ID").SetValue(Variant(static_cast<int>(currentId_)));
        f.Item("managed_area_name").SetValue(ma_->GetProperty("ManagedAreaName"));
        f.Item("managed_area_desc").SetValue(ma_->GetProperty("ManagedAreaDesc"));
        workingList_->Update();
    }
    if (WorkingListHolds(hostList_, currentId_)) RaiseEvent("UpdateList", id);
}

void ManagedAreaDetails::AfterSave() {
    if (filled_[PageIdentifiers]) {
        flexMAAlias->Call("Refresh");
        flexOwners->Call("Refresh");
    }
    if (filled_[PageLocators]) {
        ctlCounty->Call("Refresh");
        ctlLocalJurisdiction->Call("Refresh");
        ctlMapsheet->Call("Refresh");
        flexTownRangeSection->Call("Refresh");
    }
    if (filled_[PageLegalProtection]) flexLegal->Call("Refresh");
    if (filled_[PageManagement]) flexYearPlanBudget->Call("Refresh");
    if (!deleted_) {
        for (int l = 0; l < bo::ChildListCount; ++l) {
            auto& list = ma_->Children(static_cast<bo::ChildList>(l));
            for (long i = 1; i <= list.Count(); ++i)
                list.Item(i)->AfterSave();
        }
    }
    lblNewRecord->SetVisible(false);
}

bool ManagedAreaDetails::SaveData() {
    if (!shape_ || !ma_) return false;
    // A pending entry its own check refuses keeps the focus and stops the save; the user has
    // been told why.
    if (!ValidateControls()) return false;
    if (!RecordIsModified()) {
        ShowWaitMessage(false);
        return false;
    }
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    ShowWaitMessage(true, WaitSaving);
    struct Done {
        ManagedAreaDetails& d;
        ~Done() {
            d.ShowWaitMessage(false);
            Screen::Instance().SetMousePointer(mouse::Default);
        }
    } done{*this};

    bool saved = false, committed = false, offerMerge = false;
    try {
        if (!ValidateRecord()) return false;
        if (!StoreToObjects()) {
            EndOfSave(false);
            return false;
        }
        saved = committed = shape_->Save();
        if (!saved) {
            std::string why = shape_->LastError();
            std::string code = shape_->LastErrorCode();
            // A refusal with a code of its own (another user saved first) keeps the edits.
            if (code == "MGA900")
                offerMerge = true;
            else if (!code.empty())
                DisplayMessage(code);
            else
                DisplayMessage(why.empty() ? "MGA007" : "MGA008", {Variant(why)});
        } else {
            // A new record has its real IDs now.
            currentId_ = ma_->ManagedAreaId();
            shapeId_ = shape_->ShapeId();
            modified_ = false;
            AfterSave();
            UpdateListsAfterSave();
            RefreshNavigator();
            RefreshRecordHeader();
            if (recorder_ && CBool(recorder_->Call("HasChanges"))) {
                bool journal = CBool(
                    recorder_->Call("ChangesSaved", {Variant(ControlsObject()), Variant(TypeName()),
                                                     Variant(shared_from_this()),
                                                     Variant(static_cast<int>(currentId_))}));
                // The record stays saved; the journal keeps its edits for the next save.
                if (journal)
                    recorder_->Call("Reset");
                else
                    saved = false;
            }
        }
    } catch (const ComError& e) {
        std::string own = shape_ ? shape_->LastError() : std::string();
        try {
            if (committed)
                common::ReportError("The managed area was saved, but the editor could not "
                                    "finish showing it.",
                                    e);
            else if (own.empty())
                DisplayMessage("MGA007", {Variant(e.Description())});
            else
                DisplayMessage("MGA008", {Variant(own)});
        } catch (const ComError& shown) {
            common::ReportError("The managed area could not be saved.", shown);
        }
        // Once committed the record is saved, whatever failed in the housekeeping after it.
        saved = committed;
    }
    try {
        if (!EndOfSave(committed)) saved = false;
    } catch (const ComError& e) {
        common::ReportError("An error occurred finishing the save.", e);
    }
    // Once the refused save is wound up, so the merge starts from the editor as the user left
    // it and nothing of the save runs over the merged record.
    if (offerMerge) {
        ShowWaitMessage(false);
        Screen::Instance().SetMousePointer(mouse::Default);
        try {
            OfferMerge();
        } catch (const ComError& e) {
            common::ReportError("The other user's changes could not be merged.", e);
        }
    }
    return saved;
}

} // namespace zelk::editor
