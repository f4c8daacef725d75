#pragma once

#include "host/gis/Geometry.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zelk::host {
class DataService;
class Statement;
} // namespace zelk::host

namespace zelk::host::gis {

struct SpatialTable;

// Writes geometries into one of the spatial tables (SpatialTables), optionally with a name
// column. In a bulk load (BeginBulkGeometry) it also fills the table's R-tree on SQLite.
class GeometryWriter {
public:
    GeometryWriter(DataService& db, const SpatialTable& table, const char* nameColumn = nullptr,
                   bool bulk = false);
    ~GeometryWriter();
    GeometryWriter(const GeometryWriter&) = delete;
    GeometryWriter& operator=(const GeometryWriter&) = delete;

    void Write(long id, const MultiPolygon& g, const std::string& name = "");

private:
    struct Lite;
    DataService& db_;
    bool named_ = false;
    std::unique_ptr<Lite> lite_;
    std::unique_ptr<Statement> pg_;
};

// The geometry of one row; nothing when the row or its geometry is missing.
std::optional<MultiPolygon> ReadGeometry(DataService& db, const SpatialTable& table, long id);

struct KeyedGeometry {
    long id = 0;
    MultiPolygon shape;
};
// Rows whose geometry's envelope meets `e`, through the spatial index; at most `limit`.
std::vector<KeyedGeometry> GeometriesIn(DataService& db, const SpatialTable& table, const Extent& e,
                                        int limit);

const SpatialTable& ShapeTable();
const SpatialTable& CountyTable();
const SpatialTable& StateTable();

} // namespace zelk::host::gis
