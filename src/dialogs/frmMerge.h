#pragma once

#include "common/bo/Merge.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"

#include <memory>
#include <string>
#include <vector>

namespace zelk::dialogs {

// One conflict as the merge window lists it: where it is, and the merge's own entry.
struct MergeRow {
    std::string page;
    std::string item; // the field's caption, or the grid and its row
    bo::MergeConflict* conflict = nullptr;
};

// "Merge Changes": every place the user and another user changed differently, with the value
// loaded, the user's, the other user's and who made that change when; the user keeps either
// per row or for all. OK hands the choices to the conflicts; Cancel leaves them untouched.
class frmMerge : public Form {
public:
    frmMerge();

    void LoadConflicts(std::vector<MergeRow> rows);
    // True once the user pressed OK.
    bool Accepted() const { return accepted_; }

    VSFlexGrid& flexConflicts() { return *flexConflicts_; }
    CommandButton& cmdMine() { return *cmdMine_; }
    CommandButton& cmdTheirs() { return *cmdTheirs_; }
    CommandButton& cmdAllMine() { return *cmdAllMine_; }
    CommandButton& cmdAllTheirs() { return *cmdAllTheirs_; }
    CommandButton& cmdOK() { return *cmdOK_; }
    CommandButton& cmdCancel() { return *cmdCancel_; }

    // Grid columns.
    enum Column { ColPage, ColItem, ColLoaded, ColMine, ColTheirs, ColBy, ColOn, ColKeep, Cols };

private:
    void Choose(long row, bool theirs);
    void ChooseAll(bool theirs);
    void Accept();

    std::shared_ptr<VSFlexGrid> flexConflicts_;
    std::shared_ptr<CommandButton> cmdMine_, cmdTheirs_, cmdAllMine_, cmdAllTheirs_, cmdOK_,
        cmdCancel_;
    std::vector<MergeRow> rows_;
    std::vector<bool> theirs_;
    bool accepted_ = false;
};

} // namespace zelk::dialogs
