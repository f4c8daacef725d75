#pragma once

// Two people on one database, each with a workbench of their own: the fixture of the tests
// that make two users meet on one record.
#include "pg/Backends.h"
#include "support/ScriptedUi.h"

#include "host/ReferenceHost.h"
#include "host/app/MessageCatalog.h"
#include "host/app/Views.h"
#include "platform/Conv.h"
#include "zelk/ManagedAreaDetails.h"

#include <algorithm>
#include <memory>
#include <string>

namespace zelk::testing {

struct Desk {
    std::unique_ptr<host::ReferenceHost> host;
    std::shared_ptr<host::HostWindow> window;
    std::shared_ptr<editor::ManagedAreaDetails> editor;

    Desk(const std::string& path, const std::string& user) {
        host = host::ReferenceHost::Open(testing::SignedInAs({path, user, 30, 5, true, true}));
        window = std::make_shared<host::HostWindow>("frmManagedArea");
        editor = std::dynamic_pointer_cast<editor::ManagedAreaDetails>(
            window->AddControl("ZELK_ManagedArea.ManagedAreaDetails", "ctlDetails"));
        editor->InitDetails(host->WorkingList(), host->App(), host->ManagedAreaViewId(),
                            host->WinMan(), host->Views(), "");
    }
    ~Desk() {
        if (editor) {
            host->MakeCurrent();
            editor->Deactivate();
        }
    }
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;

    std::string Name() const {
        return CStr(editor->ManagedAreaObject()->GetProperty("ManagedAreaName"));
    }
    // Each desk acts with its own host's classes, as if in a process of its own.
    void Load(long id) {
        host->MakeCurrent();
        editor->LoadData(id);
    }
    void Save() {
        host->MakeCurrent();
        editor->mnuFileSave->UserClick();
    }
    void Delete() {
        host->MakeCurrent();
        editor->mnuEditDelete->UserClick();
    }
    void ShowPage(int page) {
        host->MakeCurrent();
        ASSERT_TRUE(editor->tabManagedAreas->UserSelectTab(page));
    }
};

class TwoDesks : public ScriptedUiTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        if (GetParam()) ZELK_SKIP_WITHOUT_PG();
        ScriptedUiTest::SetUp();
        db = std::make_unique<ScratchDatabase>(GetParam());
    }
    void TearDown() override {
        if (!ui) return;
        carl.reset();
        bob.reset();
        ann.reset();
        db.reset();
        ScriptedUiTest::TearDown();
    }
    // Ann's desk first (it makes the schema and sample data), then the given others, who may
    // all change records.
    void OpenDesks(bool withBob = true, bool withCarl = false) {
        ann = std::make_unique<Desk>(db->path, "ann");
        for (const char* user : {"bob", "carl"})
            ann->host->Db()->Execute("INSERT INTO app_user (user_name, org_unit_id, access_level) "
                                     "VALUES ('" +
                                     std::string(user) + "', 1, 'F')");
        if (withBob) bob = std::make_unique<Desk>(db->path, "bob");
        if (withCarl) carl = std::make_unique<Desk>(db->path, "carl");
    }
    long FirstId(const std::string& sql = "SELECT MIN(managed_area_id) AS id FROM ma") {
        return CLng(ann->host->Db()->Query(sql)->Value("id"));
    }
    std::string Stored(long id, const std::string& column, const std::string& table = "ma") {
        auto rs = ann->host->Db()->Query("SELECT " + column + " FROM " + table +
                                             " WHERE managed_area_id = ?",
                                         {Variant(static_cast<int>(id))});
        if (rs->EOF()) return "<gone>";
        Variant v = rs->GetFields().Item(std::size_t{0}).Value();
        return v.IsNull() ? "" : CStr(v);
    }
    long Count(const std::string& sql) { return CLng(ann->host->Db()->Query(sql)->Value("n")); }
    static std::string Text(const std::string& code) {
        return host::MessageCatalog::Default().Format(code, {});
    }
    bool Shown(const std::string& code) {
        auto m = ui->Messages();
        return std::find(m.begin(), m.end(), Text(code)) != m.end();
    }

    std::unique_ptr<ScratchDatabase> db;
    std::unique_ptr<Desk> ann, bob, carl;
};

} // namespace zelk::testing
