#include "host/gis/GisSchema.h"

#include "host/data/DataService.h"
#include "host/data/SqliteDataService.h"
#include "host/gis/GpkgFunctions.h"
#include "platform/Conv.h"

namespace zelk::host::gis {

namespace {

constexpr const char* kWgs84Wkt =
    "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563,"
    "AUTHORITY[\"EPSG\",\"7030\"]],AUTHORITY[\"EPSG\",\"6326\"]],PRIMEM[\"Greenwich\",0,"
    "AUTHORITY[\"EPSG\",\"8901\"]],UNIT[\"degree\",0.0174532925199433,AUTHORITY[\"EPSG\","
    "\"9122\"]],AXIS[\"Latitude\",NORTH],AXIS[\"Longitude\",EAST],AUTHORITY[\"EPSG\",\"4326\"]]";

// The catalogue every GeoPackage carries.
constexpr const char* kGpkgCatalogue = R"sql(
CREATE TABLE gpkg_spatial_ref_sys (
    srs_name                 TEXT NOT NULL,
    srs_id                   INTEGER NOT NULL PRIMARY KEY,
    organization             TEXT NOT NULL,
    organization_coordsys_id INTEGER NOT NULL,
    definition               TEXT NOT NULL,
    description              TEXT
);
CREATE TABLE gpkg_contents (
    table_name  TEXT NOT NULL PRIMARY KEY,
    data_type   TEXT NOT NULL,
    identifier  TEXT UNIQUE,
    description TEXT DEFAULT '',
    last_change DATETIME NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ', 'now')),
    min_x DOUBLE, min_y DOUBLE, max_x DOUBLE, max_y DOUBLE,
    srs_id      INTEGER,
    CONSTRAINT fk_gc_r_srs_id FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys (srs_id)
);
CREATE TABLE gpkg_geometry_columns (
    table_name         TEXT NOT NULL,
    column_name        TEXT NOT NULL,
    geometry_type_name TEXT NOT NULL,
    srs_id             INTEGER NOT NULL,
    z                  TINYINT NOT NULL,
    m                  TINYINT NOT NULL,
    CONSTRAINT pk_geom_cols PRIMARY KEY (table_name, column_name),
    CONSTRAINT uk_gc_table_name UNIQUE (table_name),
    CONSTRAINT fk_gc_tn FOREIGN KEY (table_name) REFERENCES gpkg_contents (table_name),
    CONSTRAINT fk_gc_srs FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys (srs_id)
);
CREATE TABLE gpkg_extensions (
    table_name     TEXT,
    column_name    TEXT,
    extension_name TEXT NOT NULL,
    definition     TEXT NOT NULL,
    scope          TEXT NOT NULL,
    CONSTRAINT ge_tce UNIQUE (table_name, column_name, extension_name)
);
CREATE TABLE gpkg_tile_matrix_set (
    table_name TEXT NOT NULL PRIMARY KEY,
    srs_id     INTEGER NOT NULL,
    min_x DOUBLE NOT NULL, min_y DOUBLE NOT NULL, max_x DOUBLE NOT NULL, max_y DOUBLE NOT NULL,
    CONSTRAINT fk_gtms_table_name FOREIGN KEY (table_name) REFERENCES gpkg_contents (table_name),
    CONSTRAINT fk_gtms_srs FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys (srs_id)
);
CREATE TABLE gpkg_tile_matrix (
    table_name    TEXT NOT NULL,
    zoom_level    INTEGER NOT NULL,
    matrix_width  INTEGER NOT NULL,
    matrix_height INTEGER NOT NULL,
    tile_width    INTEGER NOT NULL,
    tile_height   INTEGER NOT NULL,
    pixel_x_size  DOUBLE NOT NULL,
    pixel_y_size  DOUBLE NOT NULL,
    CONSTRAINT pk_ttm PRIMARY KEY (table_name, zoom_level),
    CONSTRAINT fk_tmm_table_name FOREIGN KEY (table_name) REFERENCES gpkg_contents (table_name)
);
INSERT INTO gpkg_spatial_ref_sys VALUES
  ('Undefined cartesian SRS', -1, 'NONE', -1, 'undefined', 'undefined cartesian coordinate reference system'),
  ('Undefined geographic SRS', 0, 'NONE', 0, 'undefined', 'undefined geographic coordinate reference system');
)sql";

// The tables themselves, in the common part of both dialects; the geometry column is added
// per dialect.
constexpr const char* kSqliteTables = R"sql(
CREATE TABLE shape_geometry (
    shape_id INTEGER PRIMARY KEY REFERENCES shape (shape_id) ON DELETE CASCADE,
    geom     MULTIPOLYGON
);
CREATE TABLE county_boundary (
    d_county_id INTEGER PRIMARY KEY REFERENCES d_county (d_county_id) ON DELETE CASCADE,
    county_name TEXT,
    geom        MULTIPOLYGON
);
CREATE TABLE state_boundary (
    d_state_id INTEGER PRIMARY KEY REFERENCES d_state (d_state_id) ON DELETE CASCADE,
    state_name TEXT,
    geom       MULTIPOLYGON
);
)sql";

constexpr const char* kPgTables = R"sql(
CREATE EXTENSION IF NOT EXISTS postgis;
CREATE TABLE shape_geometry (
    shape_id BIGINT PRIMARY KEY REFERENCES shape (shape_id) ON DELETE CASCADE DEFERRABLE,
    geom     geometry(MultiPolygon, 4326)
);
CREATE TABLE county_boundary (
    d_county_id BIGINT PRIMARY KEY REFERENCES d_county (d_county_id) ON DELETE CASCADE DEFERRABLE,
    county_name TEXT,
    geom        geometry(MultiPolygon, 4326)
);
CREATE TABLE state_boundary (
    d_state_id BIGINT PRIMARY KEY REFERENCES d_state (d_state_id) ON DELETE CASCADE DEFERRABLE,
    state_name TEXT,
    geom       geometry(MultiPolygon, 4326)
);
CREATE INDEX shape_geometry_geom_ix ON shape_geometry USING GIST (geom);
CREATE INDEX county_boundary_geom_ix ON county_boundary USING GIST (geom);
CREATE INDEX state_boundary_geom_ix ON state_boundary USING GIST (geom);
)sql";

// Every mapped managed area with what a map legend needs; fid is the shape's ID.
constexpr const char* kManagedAreasView = R"sql(
CREATE VIEW managed_areas AS
SELECT g.shape_id AS fid, ma.managed_area_id, ma.managed_area_name, ma.managed_area_type,
       s.state_code AS state, ma.total_area_acres, ma.total_area_hectares, g.geom
  FROM shape_geometry g
  JOIN ma ON ma.shape_id = g.shape_id
  LEFT JOIN d_state s ON s.d_state_id = ma.d_state_id;
)sql";

std::string RtreeName(const SpatialTable& t) {
    return std::string("rtree_") + t.table + "_geom";
}

std::string RtreeTriggers(const SpatialTable& t) {
    const std::string tn = t.table, rt = RtreeName(t), k = t.key;
    const std::string values = "VALUES (NEW." + k +
                               ", ST_MinX(NEW.geom), ST_MaxX(NEW.geom), ST_MinY(NEW.geom), "
                               "ST_MaxY(NEW.geom));";
    std::string s;
    s += "CREATE TRIGGER " + rt + "_insert AFTER INSERT ON " + tn +
         " WHEN (new.geom NOT NULL AND NOT ST_IsEmpty(NEW.geom)) BEGIN INSERT OR REPLACE INTO " +
         rt + " " + values + " END;\n";
    s += "CREATE TRIGGER " + rt + "_update1 AFTER UPDATE OF geom ON " + tn + " WHEN OLD." + k +
         " = NEW." + k +
         " AND (NEW.geom NOTNULL AND NOT ST_IsEmpty(NEW.geom)) BEGIN INSERT OR REPLACE INTO " + rt +
         " " + values + " END;\n";
    s += "CREATE TRIGGER " + rt + "_update2 AFTER UPDATE OF geom ON " + tn + " WHEN OLD." + k +
         " = NEW." + k + " AND (NEW.geom ISNULL OR ST_IsEmpty(NEW.geom)) BEGIN DELETE FROM " + rt +
         " WHERE id = OLD." + k + "; END;\n";
    s += "CREATE TRIGGER " + rt + "_update3 AFTER UPDATE ON " + tn + " WHEN OLD." + k + " != NEW." +
         k + " AND (NEW.geom NOTNULL AND NOT ST_IsEmpty(NEW.geom)) BEGIN DELETE FROM " + rt +
         " WHERE id = OLD." + k + "; INSERT OR REPLACE INTO " + rt + " " + values + " END;\n";
    s += "CREATE TRIGGER " + rt + "_update4 AFTER UPDATE ON " + tn + " WHEN OLD." + k + " != NEW." +
         k + " AND (NEW.geom ISNULL OR ST_IsEmpty(NEW.geom)) BEGIN DELETE FROM " + rt +
         " WHERE id IN (OLD." + k + ", NEW." + k + "); END;\n";
    s += "CREATE TRIGGER " + rt + "_delete AFTER DELETE ON " + tn +
         " WHEN old.geom NOT NULL BEGIN DELETE FROM " + rt + " WHERE id = OLD." + k + "; END;\n";
    return s;
}

// The description is never left empty: the database keeps no empty texts (they read as NULL).
void RegisterLayer(DataService& db, const std::string& table, const std::string& identifier,
                   const char* dataType) {
    db.Execute(
        "INSERT INTO gpkg_contents (table_name, data_type, identifier, description, "
        "srs_id) VALUES (?, ?, ?, ?, 4326)",
        {Variant(table), Variant(dataType), Variant(identifier), Variant(identifier + ", WGS 84")});
    db.Execute("INSERT INTO gpkg_geometry_columns (table_name, column_name, geometry_type_name, "
               "srs_id, z, m) VALUES (?, 'geom', 'MULTIPOLYGON', 4326, 0, 0)",
               {Variant(table)});
}

void CreateSqlite(DataService& db) {
    // 'GPKG' and version 1.3.
    db.ExecScript("PRAGMA application_id = 1196444487; PRAGMA user_version = 10300;");
    db.ExecScript(kGpkgCatalogue);
    db.Execute("INSERT INTO gpkg_spatial_ref_sys VALUES ('WGS 84 geodetic', 4326, 'EPSG', 4326, "
               "?, 'longitude/latitude coordinates in decimal degrees on the WGS 84 spheroid')",
               {Variant(kWgs84Wkt)});
    db.ExecScript(kSqliteTables);
    db.ExecScript(kManagedAreasView);
    for (const SpatialTable& t : SpatialTables()) {
        RegisterLayer(db, t.table, t.identifier, "features");
        db.ExecScript("CREATE VIRTUAL TABLE " + RtreeName(t) +
                      " USING rtree(id, minx, maxx, miny, maxy);\n" + RtreeTriggers(t));
        db.Execute("INSERT INTO gpkg_extensions VALUES (?, 'geom', 'gpkg_rtree_index', "
                   "'http://www.geopackage.org/spec120/#extension_rtree', 'write-only')",
                   {Variant(t.table)});
    }
    RegisterLayer(db, kManagedAreaLayer, "Managed areas", "features");
}

bool HasTable(DataService& db, const char* name) {
    return db.Query("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?",
                    {Variant(name)})
               ->RecordCount() > 0;
}

} // namespace

const std::vector<SpatialTable>& SpatialTables() {
    static const std::vector<SpatialTable> t = {
        {"shape_geometry", "shape_id", "Managed area shapes"},
        {"county_boundary", "d_county_id", "County boundaries"},
        {"state_boundary", "d_state_id", "State boundaries"},
    };
    return t;
}

void CreateGisSchema(DataService& db) {
    if (db.Dialect() == sql::Dialect::PostgreSQL) {
        db.ExecScript(kPgTables);
        db.ExecScript(kManagedAreasView);
        return;
    }
    if (auto* lite = dynamic_cast<SqliteDataService*>(&db)) RegisterGpkgFunctions(lite->Handle());
    CreateSqlite(db);
}

void EnsureGisSchema(DataService& db) {
    if (auto* lite = dynamic_cast<SqliteDataService*>(&db)) RegisterGpkgFunctions(lite->Handle());
    if (db.Dialect() == sql::Dialect::PostgreSQL) {
        if (CLng(db.Query("SELECT (to_regclass('shape_geometry') IS NOT NULL)::integer AS p")
                     ->Value("p")) == 0)
            CreateGisSchema(db);
        return;
    }
    if (!HasTable(db, "shape_geometry")) CreateSqlite(db);
}

void BeginBulkGeometry(DataService& db) {
    if (db.Dialect() == sql::Dialect::PostgreSQL) return;
    for (const SpatialTable& t : SpatialTables())
        for (const char* which : {"insert", "update1", "update2", "update3", "update4", "delete"})
            db.ExecScript("DROP TRIGGER IF EXISTS " + RtreeName(t) + "_" + which + ";");
}

void EndBulkGeometry(DataService& db) {
    if (db.Dialect() == sql::Dialect::PostgreSQL) return;
    for (const SpatialTable& t : SpatialTables()) {
        db.ExecScript(RtreeTriggers(t));
        db.Execute("UPDATE gpkg_contents SET (min_x, max_x, min_y, max_y) = (SELECT MIN(minx), "
                   "MAX(maxx), MIN(miny), MAX(maxy) FROM " +
                       RtreeName(t) +
                       "), last_change = strftime('%Y-%m-%dT%H:%M:%fZ', 'now') WHERE "
                       "table_name = ?",
                   {Variant(t.table)});
    }
    db.Execute("UPDATE gpkg_contents SET (min_x, max_x, min_y, max_y) = (SELECT min_x, max_x, "
               "min_y, max_y FROM gpkg_contents WHERE table_name = 'shape_geometry'), "
               "last_change = strftime('%Y-%m-%dT%H:%M:%fZ', 'now') WHERE table_name = ?",
               {Variant(kManagedAreaLayer)});
}

} // namespace zelk::host::gis
