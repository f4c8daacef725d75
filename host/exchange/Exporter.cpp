// Managed areas out to a file through GDAL/OGR, in the column form of ExchangeColumns.
#include "host/exchange/Exporter.h"

#include "host/data/DataService.h"
#include "host/exchange/AreaReader.h"
#include "host/exchange/ExchangeColumns.h"
#include "host/gis/Geometry.h"
#include "platform/Conv.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace zelk::host::exchange {

namespace {

struct DatasetCloser {
    void operator()(GDALDataset* d) const { GDALClose(d); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, DatasetCloser>;

OGRFieldType FieldType(const ExchangeColumn& c) {
    switch (c.kind) {
    case ColumnKind::Real:
        return OFTReal;
    case ColumnKind::SourceId:
    case ColumnKind::DomainId:
        return OFTInteger;
    default:
        return OFTString;
    }
}

void RemoveOld(const std::string& path, Format f) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (f != Format::Shapefile) return;
    const std::filesystem::path p(path);
    for (const char* ext : {".shx", ".dbf", ".prj", ".cpg"})
        std::filesystem::remove(std::filesystem::path(p).replace_extension(ext), ec);
}

long CountOf(DataService& db, const std::vector<long>& ids) {
    if (!ids.empty()) return static_cast<long>(ids.size());
    auto rs = db.Query("SELECT COUNT(*) AS n FROM ma");
    return CLng(rs->Value("n"));
}

} // namespace

ExportResult ExportAreas(DataService& db, const ExportRequest& rq) {
    EnsureGdal();
    ExportResult result;
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(DriverName(rq.format));
    if (!driver) {
        result.error = std::string("GDAL has no ") + DriverName(rq.format) + " driver.";
        return result;
    }
    RemoveOld(rq.path, rq.format);
    DatasetPtr ds(driver->Create(rq.path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!ds) {
        result.error = "The file " + rq.path + " could not be created: " + LastGdalError();
        return result;
    }
    OGRSpatialReference wgs84;
    wgs84.importFromEPSG(4326);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    CPLStringList options;
    switch (rq.format) {
    case Format::Csv:
        options.SetNameValue("GEOMETRY", "AS_WKT");
        options.SetNameValue("LINEFORMAT", "CRLF");
        break;
    case Format::GeoJson:
        options.SetNameValue("RFC7946", "NO");
        break;
    case Format::Shapefile:
        options.SetNameValue("ENCODING", "UTF-8");
        break;
    case Format::GeoPackage:
        break;
    }
    OGRLayer* layer = ds->CreateLayer(kLayerName, &wgs84, wkbMultiPolygon, options.List());
    if (!layer) {
        result.error = "The layer could not be created: " + LastGdalError();
        return result;
    }
    const bool shp = rq.format == Format::Shapefile;
    for (const auto& c : ExchangeColumns()) {
        OGRFieldDefn f(shp ? c.shortName : c.name, FieldType(c));
        if (shp && f.GetType() == OFTString) f.SetWidth(254);
        if (shp && f.GetType() == OFTReal) {
            f.SetWidth(24);
            f.SetPrecision(15);
        }
        if (layer->CreateField(&f) != OGRERR_NONE) {
            result.error =
                std::string("The column ") + c.name + " could not be created: " + LastGdalError();
            return result;
        }
    }
    const long total = CountOf(db, rq.ids);
    const bool transactions = ds->TestCapability(ODsCTransactions);
    if (transactions) ds->StartTransaction();
    const auto& cols = ExchangeColumns();
    try {
        ReadAreas(db, rq.ids, [&](ExchangeArea& a) {
            if (result.cancelled || !result.error.empty()) return;
            OGRFeature feature(layer->GetLayerDefn());
            for (std::size_t i = 0; i < cols.size(); ++i) {
                const std::string& v = a.values[i];
                const int at = static_cast<int>(i);
                // Null rather than unset: GeoJSON leaves an unset property out, and a column
                // empty in every record would be missing from the file.
                if (v.empty()) {
                    feature.SetFieldNull(at);
                    continue;
                }
                switch (FieldType(cols[i])) {
                case OFTReal:
                    feature.SetField(at, std::stod(v));
                    break;
                case OFTInteger:
                    feature.SetField(at, std::stoi(v));
                    break;
                default:
                    feature.SetField(at, v.c_str());
                    break;
                }
            }
            if (a.shape) {
                const std::string wkb = gis::ToWkb(*a.shape);
                OGRGeometry* g = nullptr;
                if (OGRGeometryFactory::createFromWkb(wkb.data(), &wgs84, &g, wkb.size()) ==
                    OGRERR_NONE)
                    feature.SetGeometryDirectly(g);
            }
            if (layer->CreateFeature(&feature) != OGRERR_NONE) {
                result.error = "Managed area " + std::to_string(a.id) +
                               " could not be written: " + LastGdalError();
                return;
            }
            ++result.written;
            if (rq.progress && !rq.progress(result.written, total)) result.cancelled = true;
        });
    } catch (const std::exception& e) {
        result.error = e.what();
    }
    if (transactions) ds->CommitTransaction();
    ds.reset();
    return result;
}

} // namespace zelk::host::exchange
