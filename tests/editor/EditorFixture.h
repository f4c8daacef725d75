#pragma once

#include "support/ScriptedUi.h"
#include "support/TestBackend.h"

#include "common/bo/Shape.h"
#include "host/ReferenceHost.h"
#include "host/app/Views.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/TabControl.h"
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
        host = host::ReferenceHost::Open(
            zelk::testing::OnTestBackend(host::HostOptions{":memory:", "ann", 60, 3, true, true}));
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
    // The first value the query answers as text: "<none>" without a row, "" for NULL.
    std::string Db1(const std::string& sqliteSql) {
        auto rs = host->Db()->Query(sqliteSql);
        if (rs->EOF()) return "<none>";
        if (rs->GetFields().Item(0).Value().IsNull()) return "";
        return CStr(rs->GetFields().Item(0).Value());
    }

    std::unique_ptr<host::ReferenceHost> host;
    std::shared_ptr<host::HostWindow> window;
    std::shared_ptr<editor::ManagedAreaDetails> editor;
    std::vector<std::string> sent;
};

// Stands between the editor and the host's application manager: every call goes through and
// the coded messages shown are kept.
class RecordingApp : public Object {
public:
    explicit RecordingApp(ObjectPtr real) : real_(std::move(real)) {}
    std::string TypeName() const override { return "AppManager"; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override {
        if (IEquals(name, "Message")) messages.push_back(CStr(Arg(args, 0)));
        return real_->Invoke(name, kind, args);
    }
    std::vector<std::string> messages;

private:
    ObjectPtr real_;
};

// The child grid and list tests: records picked by what they hold, the editor opened on one.
class GridsEditorTest : public EditorTest {
protected:
    // The first managed area (by ID) that the condition on "ma m" selects; fails when none.
    long FindRecord(const std::string& condition) {
        long id = FirstId("SELECT m.managed_area_id FROM ma m WHERE " + condition +
                          " ORDER BY m.managed_area_id LIMIT 1");
        if (id < 0) ADD_FAILURE() << "no sample record where " << condition;
        return id;
    }
    static std::string Has(const std::string& table, int atLeast = 1) {
        return "(SELECT COUNT(*) FROM " + table +
               " c WHERE c.managed_area_id = m.managed_area_id) >= " + std::to_string(atLeast);
    }
    long Count(const std::string& sql) { return FirstId(sql); }

    // The business objects of one record, loaded as the editor loads them.
    bo::ManagedAreaPtr LoadManagedArea(long managedAreaId) {
        long shapeId = Count("SELECT shape_id FROM ma WHERE managed_area_id = " +
                             std::to_string(managedAreaId));
        shape =
            std::dynamic_pointer_cast<bo::IShape>(CreateObject("ZELK_ManagedAreaClient.CShape"));
        shape->Connect("local", 1);
        shape->Load(std::to_string(shapeId));
        return shape->ManagedArea(1);
    }
    // The editor initialised as the host does and showing the record.
    editor::ManagedAreaDetails& OpenEditor(long managedAreaId) {
        app = std::make_shared<RecordingApp>(host->App());
        window->Show();
        editor->InitDetails(host->WorkingList(), app, host->ManagedAreaViewId(), host->WinMan(),
                            host->Views(), "");
        editor->LoadData(managedAreaId);
        return *editor;
    }
    // Shows a page as the user does, by clicking its tab.
    void ShowPage(int page) { ASSERT_TRUE(editor->tabManagedAreas->UserSelectTab(page)); }

    bo::ShapePtr shape;
    std::shared_ptr<RecordingApp> app;
};

} // namespace zelk::testing
