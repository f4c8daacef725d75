#pragma once

#include "editor/EditorFixture.h"

#include "host/modules/StandInSearch.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"

#include <algorithm>
#include <vector>

namespace zelk::testing {

// The editor's own search stands in as a small name search over the managed-area view, so the
// editor's search dialog can build a private working list.
class WorkingListTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        ProgIdRegistry::Instance().Register("ZELK_ManagedArea.ManagedAreaSearch", [] {
            return std::make_shared<host::StandInSearch>(
                host::SearchSource{"ManagedAreaSearch",
                                   "Find Managed Area",
                                   "managed_area_wl_vw",
                                   {"managed_area_name", "macode"},
                                   {"Managed area name", "Managed area code"},
                                   "managed_area_wl_vw.managed_area_name",
                                   false});
        });
    }
    // The user opens the search from the Tools menu, finds every area and picks these result
    // rows (none: Cancel).
    void QueuePick(std::vector<long> rows) {
        ui->QueueModal("frmModalSearch", [rows](Form& f) {
            auto* s = dynamic_cast<Form*>(f.Find("ModalSearch"));
            ASSERT_TRUE(s);
            s->Get<TextBox>("txtName").UserType("");
            s->Get<CommandButton>("cmdFindNow").UserClick();
            if (rows.empty()) return s->Get<CommandButton>("cmdCancel").UserClick();
            s->Get<VSFlexGrid>("flexResults").UserSelectRows(rows);
            s->Get<CommandButton>("cmdOK").UserClick();
        });
    }
    void OpenPrivateList(std::vector<long> rows) {
        QueuePick(std::move(rows));
        editor->mnuToolsFind->UserClick();
    }
    bool Sent(const std::string& sql) {
        return std::find(sent.begin(), sent.end(), sql) != sent.end();
    }
    long IdAt(long position) {
        auto rs = editor->WorkingList();
        rs->MoveFirst();
        rs->Move(position - 1);
        return static_cast<long>(CLng(rs->Value("ID")));
    }
};

} // namespace zelk::testing
