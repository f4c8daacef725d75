#pragma once

#include <string>
#include <vector>

namespace zelk::host {
class DataService;
}

namespace zelk::host::gis {

// The spatial tables: shape_geometry (a shape's boundary, keyed by shape_id), county_boundary
// and state_boundary, and the view managed_areas that shows each mapped managed area with
// its boundary. On SQLite the database is also a GeoPackage (its catalogue tables, the
// layers registered, an R-tree on every geometry column kept by the standard triggers); on
// PostgreSQL the columns are PostGIS geometries with GiST indexes.
struct SpatialTable {
    const char* table;
    const char* key;
    const char* identifier; // the layer's title in GIS programs
};
const std::vector<SpatialTable>& SpatialTables();
constexpr const char* kManagedAreaLayer = "managed_areas";

// On a database that holds the rest of the schema; the caller holds the transaction.
void CreateGisSchema(DataService& db);
// Adds the spatial tables to a database written before they existed (either dialect), and on
// SQLite gives the connection the functions the R-tree triggers call.
void EnsureGisSchema(DataService& db);

// For a bulk load on SQLite: the R-tree triggers go, the loader fills the R-trees itself, and
// EndBulkGeometry puts the triggers back and records each layer's extent.
void BeginBulkGeometry(DataService& db);
void EndBulkGeometry(DataService& db);

} // namespace zelk::host::gis
