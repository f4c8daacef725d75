#pragma once

#include "common/bo/Shape.h"
#include "host/bo/DataServiceSqlPort.h"
#include "host/bo/RegisterBusinessObjects.h"
#include "host/bo/TableDef.h"
#include "host/data/DataService.h"
#include "platform/Conv.h"
#include "support/TestBackend.h"

#include <gtest/gtest.h>

#include <string>

namespace zelk::bo::test {

// A database of its own on the host schema with one record: shape 1, managed area 10, two
// owners, one alias, one county; nations and states to look up.
class BoFixture : public ::testing::Test {
protected:
    void SetUp() override {
        db = zelk::testing::NewTestDataService();
        db->ExecScript(R"(
INSERT INTO org_unit VALUES (7, 'VT', 'Vermont Office');
INSERT INTO d_nation (nation_id, display_value, display_order, default_ind)
  VALUES (1, 'United States', 1, 'Y'), (2, 'Canada', 2, 'N');
INSERT INTO d_state (d_state_id, display_value, display_order, default_ind, nation_id, state_code)
  VALUES (11, 'Vermont', 2, 'N', 1, 'VT'), (12, 'Maine', 1, 'Y', 1, 'ME'),
         (21, 'Quebec', 1, 'N', 2, 'QC');
INSERT INTO d_county (d_county_id, county_name) VALUES (50001, 'Addison'), (50003, 'Bennington');
INSERT INTO shape (shape_id, digital_mapping_by, has_shape_ind, rec_create_user)
  VALUES (1, 'gis', 'Y', 'loader');
INSERT INTO ma (managed_area_id, shape_id, managed_area_name, macode_bcd, nation_id,
                total_area_acres, rec_create_user)
  VALUES (10, 1, 'Green Mountain Refuge', 'VT001', 1, 1200.5, 'loader');
INSERT INTO managed_area_owner (managed_area_owner_id, managed_area_id, owner_name,
                                primary_owner_ind, display_order)
  VALUES (100, 10, 'State of Vermont', 'Y', 1), (101, 10, 'Nature Trust', 'N', 2);
INSERT INTO managed_area_alias (managed_area_alias_id, managed_area_id, managed_area_alias,
                                display_order)
  VALUES (200, 10, 'GMR', 1);
INSERT INTO managed_area_county (managed_area_county_id, managed_area_id, d_county_id,
                                 display_order)
  VALUES (300, 10, 50001, 1);
INSERT INTO shape_attribute (shape_id, attribute_name, attribute_value)
  VALUES (1, 'Perimeter', '12.5');
DELETE FROM audit_log;
)");
        zelk::testing::KeysWritten(*db);
        port = std::make_shared<DataServiceSqlPort>(db);
        RegisterBusinessObjects(registry, port);
    }

    ShapePtr NewShape() {
        return std::dynamic_pointer_cast<IShape>(registry.Create("ZELK_ManagedAreaClient.CShape"));
    }
    ShapePtr LoadShape(const std::string& id = "1") {
        auto s = NewShape();
        s->Connect("local", 1);
        s->Load(id);
        return s;
    }

    // Every row of every table, as text: equal dumps mean an unchanged database.
    std::string Dump() {
        std::string out;
        auto tables =
            port->Query("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
        for (const auto& t : tables.rows) {
            auto rows = port->Query("SELECT * FROM " + CStr(t[0]) + " ORDER BY 1");
            out += CStr(t[0]) + ":";
            for (const auto& r : rows.rows) {
                for (const auto& v : r)
                    out += (v.IsNull() ? "<null>" : CStr(v)) + "|";
                out += "\n";
            }
        }
        return out;
    }

    long Scalar(const std::string& sql) { return CLng(port->Query(sql).rows.at(0).at(0)); }
    std::string Text(const std::string& sql) { return CStr(port->Query(sql).rows.at(0).at(0)); }

    std::shared_ptr<host::DataService> db;
    std::shared_ptr<DataServiceSqlPort> port;
    ProgIdRegistry registry;
};

} // namespace zelk::bo::test
