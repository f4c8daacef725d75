#pragma once

#include "platform/Recordset.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"

#include <cstdint>
#include <memory>

namespace zelk::dialogs {

// "Goto Record": lists a working list and answers the position of the record the user picks.
// Typical use: LoadRecordset, Show(true), GotoRecordPosition, Unload.
class frmGotoRecord : public Form {
public:
    frmGotoRecord();

    // Shows every field and record, with readable column headers.
    void LoadRecordset(const RecordsetPtr& rs);
    // The grid row of the accepted record (1 for the first); 0 while none was accepted.
    std::int32_t GotoRecordPosition() const { return position_; }

    VSFlexGrid& vsgRecords() { return *vsgRecords_; }
    CommandButton& cmdOK() { return *cmdOK_; }
    CommandButton& cmdCancel() { return *cmdCancel_; }

private:
    void Accept();

    std::shared_ptr<VSFlexGrid> vsgRecords_;
    std::shared_ptr<CommandButton> cmdOK_, cmdCancel_;
    std::int32_t position_ = 0;
};

} // namespace zelk::dialogs
