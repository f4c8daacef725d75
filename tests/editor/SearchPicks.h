#pragma once

#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"
#include "search/frmModalSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelk::testing {

inline Form& HostedSearch(Form& modalSearch) {
    auto& dlg = dynamic_cast<search::frmModalSearch&>(modalSearch);
    return dynamic_cast<Form&>(*dlg.HostedControl());
}

// As the user: searches for `text` in the modal search window, picks the rows of these IDs
// and presses OK.
inline void PickInSearch(Form& modalSearch, const std::string& text,
                         const std::vector<std::string>& ids) {
    Form& s = HostedSearch(modalSearch);
    // The managed-area search has its own criteria; the other modules' a name-or-code box.
    if (auto* area = s.FindAs<TextBox>("txtManagedAreaName"))
        area->UserType(text);
    else
        s.Get<TextBox>("txtName").UserType(text);
    s.Get<CommandButton>("cmdFindNow").UserClick();
    auto& grid = s.Get<VSFlexGrid>("flexResults");
    std::vector<long> rows;
    for (const auto& id : ids) {
        long row = grid.FindRow(Variant(id), 1, 0);
        ASSERT_GT(row, 0) << "no row for " << id;
        rows.push_back(row);
    }
    grid.UserSelectRows(rows);
    s.Get<CommandButton>("cmdOK").UserClick();
}
inline void PickInSearch(Form& modalSearch, const std::string& text, const std::string& id) {
    PickInSearch(modalSearch, text, std::vector<std::string>{id});
}

inline void CancelSearch(Form& modalSearch) {
    HostedSearch(modalSearch).Get<CommandButton>("cmdCancel").UserClick();
}

} // namespace zelk::testing
