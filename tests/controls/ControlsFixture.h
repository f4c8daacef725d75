#pragma once

#include "common/bo/Shape.h"
#include "host/ReferenceHost.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "support/ScriptedUi.h"
#include "support/TestBackend.h"

#include <memory>
#include <string>

namespace zelk::testing {

// A host on an empty in-memory database with one managed area (two owners, one county, one
// keyword), loaded into business objects, and a form to put the controls on.
class ControlsTest : public ScriptedUiTest {
protected:
    void SetUp() override {
        ScriptedUiTest::SetUp();
        host = host::ReferenceHost::Open(
            zelk::testing::OnTestBackend(host::HostOptions{":memory:", "ann", 0, 1, false}));
        host->Db()->ExecScript(R"(
INSERT INTO d_county (d_county_id, display_value, county_name)
  VALUES (50001, 'Addison', 'Addison'), (50003, 'Bennington', 'Bennington');
INSERT INTO d_managed_area_keyword (d_managed_area_keyword_id, keyword_desc)
  VALUES (1, 'Wetland'), (2, 'Forest'), (3, 'Alpine');
INSERT INTO d_mapsheet (d_mapsheet_id, mapsheet_cd, mapsheet_name) VALUES (9, 'MS9', 'Ninth');
INSERT INTO shape (shape_id, has_shape_ind) VALUES (1, 'Y');
INSERT INTO ma (managed_area_id, shape_id, managed_area_name) VALUES (10, 1, 'Green Refuge');
INSERT INTO managed_area_owner (managed_area_owner_id, managed_area_id, owner_name,
                                primary_owner_ind, display_order)
  VALUES (100, 10, 'State of Vermont', 'Y', 1), (101, 10, 'Nature Trust', 'N', 2);
INSERT INTO managed_area_county (managed_area_county_id, managed_area_id, d_county_id)
  VALUES (300, 10, 50001);
INSERT INTO managed_area_keyword (managed_area_keyword_id, managed_area_id,
                                  d_managed_area_keyword_id) VALUES (400, 10, 2);
)");
        shape =
            std::dynamic_pointer_cast<bo::IShape>(CreateObject("ZELK_ManagedAreaClient.CShape"));
        shape->Connect("local", 1);
        shape->Load("1");
        ma = shape->ManagedArea(1);
        form = std::make_shared<Form>("frmTest");
    }
    void TearDown() override {
        form.reset();
        ScriptedUiTest::TearDown();
    }

    bo::IChildCollection& List(bo::ChildList which) { return ma->Children(which); }
    ObjectPtr ListObject(bo::ChildList which) {
        return dynamic_cast<Object&>(ma->Children(which)).shared_from_this();
    }
    template <class T> std::shared_ptr<T> AddControl(const char* progId, const char* name) {
        return std::dynamic_pointer_cast<T>(form->AddControl(progId, name));
    }

    std::unique_ptr<host::ReferenceHost> host;
    bo::ShapePtr shape;
    bo::ManagedAreaPtr ma;
    std::shared_ptr<Form> form;
};

} // namespace zelk::testing
