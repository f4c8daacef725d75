#pragma once

#include <optional>
#include <string>

namespace zelk::host::exchange {

enum class Format { Csv, GeoJson, GeoPackage, Shapefile };

// "csv", "geojson", "gpkg" or "shp" (also the long names), ignoring case.
std::optional<Format> FormatByName(const std::string& name);
// From a file's extension (".csv", ".geojson" or ".json", ".gpkg", ".shp").
std::optional<Format> FormatOfFile(const std::string& path);
const char* FormatName(Format f);
// The GDAL driver that writes and reads it.
const char* DriverName(Format f);

// Registers GDAL's drivers once and makes GDAL raise nothing on its own: its errors are
// collected by the caller through LastGdalError.
void EnsureGdal();
std::string LastGdalError();

// The layer every export writes.
inline constexpr const char* kLayerName = "managed_areas";

} // namespace zelk::host::exchange
