#pragma once

#include "host/gis/Geometry.h"

#include <optional>
#include <string>
#include <vector>

class OGRGeometry;
class OGRCoordinateTransformation;

namespace zelk::host::exchange {

// One row of a file as read: the text of each column (in header order) and its geometry in
// WGS 84, or why the geometry could not be taken.
struct FileRow {
    long number = 0; // 1 for the first row after the header
    std::vector<std::string> values;
    std::optional<gis::MultiPolygon> shape;
    std::string shapeProblem;
};

struct FileContents {
    std::vector<std::string> header;
    std::vector<FileRow> rows;
    std::string error; // "" when the whole file was read
};

// Reads the first layer of a CSV, GeoJSON, GeoPackage or Shapefile. Every value comes as
// text, as the user wrote it, so that it passes through the same conversions as a value typed
// into the editor. Geometries in another reference system are reprojected to WGS 84. A file
// that cannot be read to its end answers an error and no rows, so nothing of it is imported.
// `maxRows` > 0 stops after that many rows (a preview).
FileContents ReadFile(const std::string& path, long maxRows = 0);

// A polygon or multipolygon in WGS 84 (reprojected by `toWgs84` when given); nothing for an
// empty geometry, or with `problem` set for one that cannot be taken.
std::optional<gis::MultiPolygon> TakeShape(OGRGeometry* g, OGRCoordinateTransformation* toWgs84,
                                           std::string& problem);

// The most columns a header may have; a longer one is refused before GDAL parses it.
inline constexpr std::size_t kMaxColumns = 2000;

} // namespace zelk::host::exchange
