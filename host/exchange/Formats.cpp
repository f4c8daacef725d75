#include "host/exchange/Formats.h"

#include "platform/Strings.h"

#include <cpl_error.h>
#include <gdal.h>

#include <mutex>

namespace zelk::host::exchange {

std::optional<Format> FormatByName(const std::string& name) {
    const std::string n = LCase(Trim(name));
    if (n == "csv") return Format::Csv;
    if (n == "geojson" || n == "json") return Format::GeoJson;
    if (n == "gpkg" || n == "geopackage") return Format::GeoPackage;
    if (n == "shp" || n == "shapefile" || n == "esri shapefile") return Format::Shapefile;
    return std::nullopt;
}

std::optional<Format> FormatOfFile(const std::string& path) {
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return std::nullopt;
    return FormatByName(path.substr(dot + 1));
}

const char* FormatName(Format f) {
    switch (f) {
    case Format::Csv:
        return "csv";
    case Format::GeoJson:
        return "geojson";
    case Format::GeoPackage:
        return "gpkg";
    case Format::Shapefile:
        return "shp";
    }
    return "";
}

const char* DriverName(Format f) {
    switch (f) {
    case Format::Csv:
        return "CSV";
    case Format::GeoJson:
        return "GeoJSON";
    case Format::GeoPackage:
        return "GPKG";
    case Format::Shapefile:
        return "ESRI Shapefile";
    }
    return "";
}

void EnsureGdal() {
    static std::once_flag once;
    std::call_once(once, [] {
        GDALAllRegister();
        // GDAL's messages would go to standard error; the exchange reports its own.
        CPLSetErrorHandler(CPLQuietErrorHandler);
    });
}

std::string LastGdalError() {
    const char* m = CPLGetLastErrorMsg();
    return m && *m ? std::string(m) : std::string("GDAL gave no reason");
}

} // namespace zelk::host::exchange
