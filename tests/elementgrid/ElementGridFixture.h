#pragma once

#include "common/bo/Shape.h"
#include "elementgrid/MA_ElementGrid.h"
#include "host/ReferenceHost.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/Form.h"
#include "support/ScriptedUi.h"
#include "support/TestBackend.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zelk::elementgrid::test {

// Stands between the grid and the host's application manager: every call goes through, the
// SQL the grid sends is kept, and executesql can be made to fail.
class RecordingApp : public Object {
public:
    explicit RecordingApp(ObjectPtr real) : real_(std::move(real)) {}
    std::string TypeName() const override { return "AppManager"; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override {
        if (IEquals(name, "CallGetQueryRSXML")) queries.push_back(CStr(Arg(args, 0)));
        if (IEquals(name, "executesql")) {
            statements.push_back(CStr(Arg(args, 0)));
            if (failExecute) Raise(err::ProviderError, "database is locked");
        }
        if (IEquals(name, "GetUserName") && !userName.empty()) return Variant(userName);
        return real_->Invoke(name, kind, args);
    }
    std::vector<std::string> queries, statements;
    bool failExecute = false;
    std::string userName;

private:
    ObjectPtr real_;
};

// A sample database with one managed area of three elements at the three levels that the
// tests know by heart, loaded into its business objects, and the element grid on a form.
class ElementGridTest : public zelk::testing::ScriptedUiTest {
protected:
    static constexpr long kArea = 9001;
    static constexpr long kEmptyArea = 9002;

    void SetUp() override {
        ScriptedUiTest::SetUp();
        host::HostOptions o;
        o.userName = "ann";
        o.sampleAreas = 20;
        host = host::ReferenceHost::Open(zelk::testing::OnTestBackend(o));
        host->Db()->ExecScript(R"(
INSERT INTO shape (shape_id, has_shape_ind) VALUES (9001, 'N'), (9002, 'N');
INSERT INTO ma (managed_area_id, shape_id, managed_area_name) VALUES
  (9001, 9001, 'Elk Meadow Preserve'), (9002, 9002, 'Bare Hill');
INSERT INTO reference (reference_id, reference_code, full_citation)
  VALUES (7001, 'O''HARA01', 'O''Hara, P. 2001. Meadows of the "north".');
INSERT INTO element_managed_area (element_managed_area_id, managed_area_id, element_global_id,
  element_national_id, element_subnational_id, reference_id, d_origin_id, d_regularity_id,
  d_dist_confidence_id, d_curr_presence_absence_id, d_population_id, status_in_ma,
  ma_distribution_com, display_order) VALUES
  (80001, 9001, 3, NULL, NULL, 7001, 1, 2, 3, 1, 2, 'Resident', 'North slope', 1),
  (80002, 9001, NULL, 4, NULL, NULL, 2, NULL, NULL, NULL, NULL, NULL, NULL, 2),
  (80003, 9001, NULL, NULL, 105, NULL, NULL, 1, NULL, NULL, 5, 'It''s rare', NULL, 3);
)");
        app = std::make_shared<RecordingApp>(host->App());
        form = std::make_shared<Form>("frmEditor");
        grid = std::dynamic_pointer_cast<MA_ElementGrid>(
            form->AddControl("ZELK_ManagedArea.MA_ElementGrid", "ctlElement"));
        form->Show();
        picker = [](const std::string&, const std::string&, const std::string&, const ObjectPtr&,
                    RecordsetPtr&) { ADD_FAILURE() << "no pick expected"; };
        grid->SetRecordPicker([this](const std::string& progId, const std::string& caption,
                                     const std::string& icon, const ObjectPtr& a,
                                     RecordsetPtr& rs) {
            picks.push_back(progId + "|" + caption + "|" + icon);
            picker(progId, caption, icon, a, rs);
        });
        Load(kArea);
    }
    void TearDown() override {
        form->Unload();
        grid.reset();
        form.reset();
        ScriptedUiTest::TearDown();
    }

    // Loads the record anew, as the editor does for each record, and initialises the grid.
    void Load(long areaId) {
        shape =
            std::dynamic_pointer_cast<bo::IShape>(CreateObject("ZELK_ManagedAreaClient.CShape"));
        shape->Connect("local", 1);
        shape->Load(std::to_string(areaId));
        ma = shape->ManagedArea(1);
        grid->Initialize(Elements(), areaId, host->WinMan(), app);
    }
    ObjectPtr Elements() {
        return dynamic_cast<Object&>(ma->Children(bo::ChildList::Elements)).shared_from_this();
    }
    long ElementCount() { return ma->Children(bo::ChildList::Elements).Count(); }

    // The next pick chooses this element (empty `level`: a recordset without GEOLEVEL).
    void PickElement(long id, const std::string& level, const std::string& name,
                     const std::string& common = "", const std::string& rank = "G3") {
        picker = [=](const std::string&, const std::string&, const std::string&, const ObjectPtr&,
                     RecordsetPtr& rs) {
            rs = std::make_shared<Recordset>();
            auto f = rs->GetFields();
            f.Append("ID", ad::Integer);
            if (!level.empty()) f.Append("GEOLEVEL", ad::VarChar, 20);
            f.Append("SCIENTIFIC_NAME", ad::VarChar, 100);
            f.Append("COMMON_NAME", ad::VarChar, 100, ad::FldIsNullable);
            f.Append("RANK", ad::VarChar, 10);
            rs->Open();
            rs->AddNew();
            (*rs)["ID"] = Variant(static_cast<int>(id));
            if (!level.empty()) (*rs)["GEOLEVEL"] = Variant(level);
            (*rs)["SCIENTIFIC_NAME"] = Variant(name);
            (*rs)["COMMON_NAME"] = common.empty() ? Variant::Null() : Variant(common);
            (*rs)["RANK"] = Variant(rank);
            rs->Update();
        };
    }

    VSFlexGrid& G() { return grid->Grid(); }
    std::string CellOf(long row, const char* key) { return G().TextMatrix(row, G().ColIndex(key)); }
    int State(long row) { return CLng(G().RowData(row)); }
    template <class T> T& Ctl(const char* name) { return grid->Get<T>(name); }
    void Click(const char* button) { Ctl<CommandButton>(button).UserClick(); }
    std::string Scalar(const std::string& sql) {
        auto rs = host->Db()->Query(sql);
        if (rs->EOF()) return "<none>";
        Variant v = rs->GetFields().Item(std::size_t{0}).Value();
        return v.IsNull() ? "<null>" : CStr(v);
    }

    std::unique_ptr<host::ReferenceHost> host;
    std::shared_ptr<RecordingApp> app;
    std::shared_ptr<Form> form;
    std::shared_ptr<MA_ElementGrid> grid;
    bo::ShapePtr shape;
    bo::ManagedAreaPtr ma;
    RecordPicker picker;
    std::vector<std::string> picks;
};

} // namespace zelk::elementgrid::test
