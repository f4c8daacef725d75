#pragma once

#include "support/ScriptedUi.h"

#include "host/ReferenceHost.h"
#include "host/app/Views.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "zelk/ManagedAreaDetails.h"

#include <memory>
#include <string>
#include <vector>

namespace zelk::testing {

// A reference host with sample data, a host window, and the editor created by its identifier
// and sited in that window, as the desktop does it.
class EditorTest : public ScriptedUiTest {
protected:
    void SetUp() override {
        ScriptedUiTest::SetUp();
        host = host::ReferenceHost::Open({":memory:", "ann", 60, 3, true, true});
        host->App()->SetSqlObserver([this](const std::string& sql) { sent.push_back(sql); });
        window = std::make_shared<host::HostWindow>("frmManagedArea");
        window->SetCaption("Managed Area");
        editor = std::dynamic_pointer_cast<editor::ManagedAreaDetails>(
            window->AddControl("ZELK_ManagedArea.ManagedAreaDetails", "ctlDetails"));
        ASSERT_TRUE(editor);
    }
    void TearDown() override {
        if (editor) editor->Deactivate();
        editor.reset();
        window.reset();
        host.reset();
        ScriptedUiTest::TearDown();
    }
    void Init() {
        editor->InitDetails(host->WorkingList(), host->App(), host->ManagedAreaViewId(),
                            host->WinMan(), host->Views(), "");
    }
    // First managed area ID the database answers for an SQLite query returning one column.
    long FirstId(const std::string& sqliteSql) {
        auto rs = host->Db()->Query(sqliteSql);
        return rs->EOF() ? -1 : static_cast<long>(CLng(rs->GetFields().Item(0).Value()));
    }
    Variant Field(const std::string& name) {
        return editor->ManagedAreaObject()->GetProperty(name);
    }
    std::string Db1(const std::string& sqliteSql) {
        auto rs = host->Db()->Query(sqliteSql);
        return rs->EOF() ? std::string("<none>") : CStr(rs->GetFields().Item(0).Value());
    }

    std::unique_ptr<host::ReferenceHost> host;
    std::shared_ptr<host::HostWindow> window;
    std::shared_ptr<editor::ManagedAreaDetails> editor;
    std::vector<std::string> sent;
};

} // namespace zelk::testing
