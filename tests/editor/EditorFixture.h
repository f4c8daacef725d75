#pragma once

#include "common/bo/Shape.h"
#include "host/ReferenceHost.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "support/ScriptedUi.h"
#include "zelk/ManagedAreaDetails.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelk::testing {

// Stands between the editor and the host's application manager: every call goes through and
// the SQL sent is kept.
class RecordingApp : public Object {
public:
    explicit RecordingApp(ObjectPtr real) : real_(std::move(real)) {}
    std::string TypeName() const override { return "AppManager"; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override {
        if (IEquals(name, "CallGetQueryRSXML")) queries.push_back(CStr(Arg(args, 0)));
        if (IEquals(name, "Message")) messages.push_back(CStr(Arg(args, 0)));
        return real_->Invoke(name, kind, args);
    }
    std::vector<std::string> queries, messages;

private:
    ObjectPtr real_;
};

// A host on an in-memory sample database, signed in as "ann".
class EditorTest : public ScriptedUiTest {
protected:
    void SetUp() override {
        ScriptedUiTest::SetUp();
        host = host::ReferenceHost::Open({":memory:", "ann", 60, 1, true});
    }
    void TearDown() override {
        CloseEditor();
        host.reset();
        ScriptedUiTest::TearDown();
    }

    // The first managed area (by ID) that the condition on "ma m" selects; fails when none.
    long FindRecord(const std::string& condition) {
        auto rs = host->Db()->Query("SELECT m.managed_area_id FROM ma m WHERE " + condition +
                                    " ORDER BY m.managed_area_id LIMIT 1");
        if (rs->RecordCount() == 0) {
            ADD_FAILURE() << "no sample record where " << condition;
            return -1;
        }
        rs->MoveFirst();
        return CLng(rs->Value("managed_area_id"));
    }
    static std::string Has(const std::string& table, int atLeast = 1) {
        return "(SELECT COUNT(*) FROM " + table +
               " c WHERE c.managed_area_id = m.managed_area_id) >= " + std::to_string(atLeast);
    }
    long Count(const std::string& sql) {
        auto rs = host->Db()->Query(sql);
        rs->MoveFirst();
        return CLng(rs->GetFields().Item(std::size_t{0}).Value());
    }

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

    // The editor on a host window, initialised as the host does and showing the record.
    editor::ManagedAreaDetails& OpenEditor(long managedAreaId) {
        app = std::make_shared<RecordingApp>(host->App());
        window = std::make_shared<Form>("frmHost");
        details = std::dynamic_pointer_cast<editor::ManagedAreaDetails>(
            window->AddControl("ZELK_ManagedArea.ManagedAreaDetails", "ctlDetails"));
        if (!details) throw std::runtime_error("the editor could not be created");
        window->Show();
        details->InitDetails(host->WorkingList(), app, 1, host->WinMan(), host->Views(), "");
        details->LoadData(managedAreaId);
        return *details;
    }
    // Shows a page as the user does, by clicking its tab.
    void ShowPage(int page) { ASSERT_TRUE(details->tabManagedAreas->UserSelectTab(page)); }
    void CloseEditor() {
        if (details) details->Deactivate();
        details.reset();
        window.reset();
    }

    std::unique_ptr<host::ReferenceHost> host;
    bo::ShapePtr shape;
    std::shared_ptr<RecordingApp> app;
    std::shared_ptr<Form> window;
    std::shared_ptr<editor::ManagedAreaDetails> details;
};

} // namespace zelk::testing
