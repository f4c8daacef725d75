#pragma once

#include "common/bo/Shape.h"
#include "host/ReferenceHost.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "support/ScriptedUi.h"

#include <memory>
#include <string>

namespace zelk::testing {

// A host on an in-memory sample database, signed in as "ann".
class EditorTest : public ScriptedUiTest {
protected:
    void SetUp() override {
        ScriptedUiTest::SetUp();
        host = host::ReferenceHost::Open({":memory:", "ann", 60, 1, true});
    }
    void TearDown() override {
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

    std::unique_ptr<host::ReferenceHost> host;
    bo::ShapePtr shape;
};

} // namespace zelk::testing
