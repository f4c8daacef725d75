#pragma once

#include "host/modules/StandInSearch.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"
#include "search/frmModalSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelk::testing {

// A small managed-area search under the module's own ProgID, for the editor's pickers, while
// the test lives; the next host start registers the module's classes again.
class ManagedAreaSearchStandIn {
public:
    static constexpr const char* kProgId = "ZELK_ManagedArea.ManagedAreaSearch";
    ManagedAreaSearchStandIn() {
        ProgIdRegistry::Instance().Register(kProgId, [] {
            return std::make_shared<host::StandInSearch>(
                host::SearchSource{"ManagedAreaSearch",
                                   "Find Managed Area",
                                   "managed_area_wl_vw",
                                   {"managed_area_name", "macode"},
                                   {"Name", "Code"},
                                   "managed_area_wl_vw.managed_area_name",
                                   false});
        });
    }
    ~ManagedAreaSearchStandIn() { ProgIdRegistry::Instance().Unregister(kProgId); }
    ManagedAreaSearchStandIn(const ManagedAreaSearchStandIn&) = delete;
    ManagedAreaSearchStandIn& operator=(const ManagedAreaSearchStandIn&) = delete;
};

inline Form& HostedSearch(Form& modalSearch) {
    auto& dlg = dynamic_cast<search::frmModalSearch&>(modalSearch);
    return dynamic_cast<Form&>(*dlg.HostedControl());
}

// As the user: searches for `text` in the modal search window, picks the rows of these IDs
// and presses OK.
inline void PickInSearch(Form& modalSearch, const std::string& text,
                         const std::vector<std::string>& ids) {
    Form& s = HostedSearch(modalSearch);
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
