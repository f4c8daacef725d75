#pragma once

struct sqlite3;

namespace zelk::host::gis {

// ST_IsEmpty, ST_MinX, ST_MaxX, ST_MinY and ST_MaxY on GeoPackage geometries, which the
// R-tree triggers call, on one connection.
void RegisterGpkgFunctions(sqlite3* db);

} // namespace zelk::host::gis
