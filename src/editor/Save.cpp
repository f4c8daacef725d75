// Saving the record.
#include "common/ErrorReport.h"
#include "platform/Conv.h"
#include "platform/ui/UiDriver.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

bool ManagedAreaDetails::IsDataModified() {
    return modified_;
}

bool ManagedAreaDetails::SaveData() {
    if (!shape_) return false;
    ValidateControls();
    bool saved = shape_->Save();
    if (!saved) {
        Ui().MsgBox("The record was not saved.\n\n" + shape_->LastError(), vb::Exclamation,
                    common::kModuleTitle);
        return false;
    }
    if (recorder_ &&
        CBool(recorder_->Call("ChangesSaved", {Variant(ControlsObject()), Variant(TypeName()),
                                               Variant(shared_from_this()),
                                               Variant(static_cast<int>(currentId_))})))
        recorder_->Call("Reset");
    Args id{Variant(static_cast<int>(currentId_))};
    RaiseEvent("UpdateList", id);
    return true;
}

} // namespace zelk::editor
