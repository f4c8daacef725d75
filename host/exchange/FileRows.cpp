#include "host/exchange/FileRows.h"

#include "host/exchange/CsvRows.h"
#include "host/exchange/Formats.h"
#include "platform/Error.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace zelk::host::exchange {

namespace {

struct DatasetCloser {
    void operator()(GDALDataset* d) const { GDALClose(d); }
};

} // namespace

std::optional<gis::MultiPolygon> TakeShape(OGRGeometry* g, OGRCoordinateTransformation* toWgs84,
                                           std::string& problem) {
    if (!g || g->IsEmpty()) return std::nullopt;
    std::unique_ptr<OGRGeometry> copy(g->clone());
    if (toWgs84 && copy->transform(toWgs84) != OGRERR_NONE) {
        problem = "it could not be reprojected to WGS 84";
        return std::nullopt;
    }
    const auto type = wkbFlatten(copy->getGeometryType());
    if (type != wkbPolygon && type != wkbMultiPolygon) {
        problem = std::string("it is a ") + copy->getGeometryName() + ", not a polygon";
        return std::nullopt;
    }
    copy->flattenTo2D();
    std::string wkb(static_cast<std::size_t>(copy->WkbSize()), '\0');
    copy->exportToWkb(wkbNDR, reinterpret_cast<unsigned char*>(wkb.data()), wkbVariantIso);
    try {
        return gis::FromWkb(wkb);
    } catch (const ComError& e) {
        problem = e.Description();
        return std::nullopt;
    }
}

FileContents ReadFile(const std::string& path, long maxRows) {
    EnsureGdal();
    FileContents out;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        out.error = "there is no file " + path;
        return out;
    }
    if (std::filesystem::file_size(path, ec) == 0) {
        out.error = "the file is empty (0 bytes)";
        return out;
    }
    const auto format = FormatOfFile(path);
    if (format == Format::Csv) return ReadCsv(path, maxRows);
    const char* drivers[] = {format ? DriverName(*format) : nullptr, nullptr};
    CPLErrorReset();
    std::unique_ptr<GDALDataset, DatasetCloser> ds(
        GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                          format ? drivers : nullptr, nullptr, nullptr));
    if (!ds || ds->GetLayerCount() < 1) {
        out.error = "it is no " + std::string(format ? DriverName(*format) : "GIS") +
                    " file GDAL can read (" + LastGdalError() + ")";
        return out;
    }
    OGRLayer* layer = ds->GetLayerByName(kLayerName);
    if (!layer) layer = ds->GetLayer(0);
    OGRFeatureDefn* defn = layer->GetLayerDefn();
    for (int i = 0; i < defn->GetFieldCount(); ++i)
        out.header.emplace_back(defn->GetFieldDefn(i)->GetNameRef());

    std::unique_ptr<OGRCoordinateTransformation> toWgs84;
    if (const OGRSpatialReference* srs = layer->GetSpatialRef()) {
        OGRSpatialReference wgs84;
        wgs84.importFromEPSG(4326);
        wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        OGRSpatialReference source(*srs);
        source.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        if (!source.IsSame(&wgs84))
            toWgs84.reset(OGRCreateCoordinateTransformation(&source, &wgs84));
    }
    layer->ResetReading();
    CPLErrorReset();
    long number = 0;
    for (OGRFeature* raw; (raw = layer->GetNextFeature()) != nullptr;) {
        std::unique_ptr<OGRFeature> f(raw);
        FileRow row;
        row.number = ++number;
        row.values.reserve(static_cast<std::size_t>(defn->GetFieldCount()));
        for (int i = 0; i < defn->GetFieldCount(); ++i)
            row.values.emplace_back(f->IsFieldSetAndNotNull(i) ? f->GetFieldAsString(i) : "");
        row.shape = TakeShape(f->GetGeometryRef(), toWgs84.get(), row.shapeProblem);
        out.rows.push_back(std::move(row));
        if (maxRows > 0 && number >= maxRows) break;
    }
    if (CPLGetLastErrorType() >= CE_Failure) {
        // A file that breaks off (a truncated GeoPackage) is refused as a whole.
        out.error = "it could not be read to its end (" + LastGdalError() + ")";
        out.rows.clear();
    }
    return out;
}

} // namespace zelk::host::exchange
