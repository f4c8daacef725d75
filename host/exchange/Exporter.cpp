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

// The files that make one export: a Shapefile is several.
std::vector<std::filesystem::path> FilesOf(const std::string& path, Format f) {
    std::vector<std::filesystem::path> files{path};
    if (f != Format::Shapefile) return files;
    for (const char* ext : {".shx", ".dbf", ".prj", ".cpg"})
        files.push_back(std::filesystem::path(path).replace_extension(ext));
    return files;
}

void RemoveOld(const std::string& path, Format f) {
    std::error_code ec;
    for (const auto& file : FilesOf(path, f))
        std::filesystem::remove_all(file, ec);
}

// Where the file is written until the last area is in: beside the target, so that a file
// under the target's name is always a finished export and the old one stays until then.
std::string PartialPath(const std::string& path) {
    const std::filesystem::path p(path);
    return (p.parent_path() / (p.stem().string() + "-partial" + p.extension().string())).string();
}

// The finished files take the target's names; "" or why they could not.
std::string MoveIntoPlace(const std::string& from, const std::string& to, Format f) {
    RemoveOld(to, f);
    const auto sources = FilesOf(from, f), targets = FilesOf(to, f);
    for (std::size_t i = 0; i < sources.size(); ++i) {
        std::error_code ec;
        if (!std::filesystem::exists(sources[i], ec)) continue;
        std::filesystem::rename(sources[i], targets[i], ec);
        if (ec) return "The file " + targets[i].string() + " could not be written: " + ec.message();
    }
    return "";
}

long CountOf(DataService& db, const std::vector<long>& ids) {
    if (!ids.empty()) return static_cast<long>(ids.size());
    auto rs = db.Query("SELECT COUNT(*) AS n FROM ma");
    return CLng(rs->Value("n"));
}

} // namespace

namespace {

ExportResult WriteAreas(DataService& db, const ExportRequest& rq, const std::string& path) {
    ExportResult result;
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(DriverName(rq.format));
    if (!driver) {
        result.error = std::string("GDAL has no ") + DriverName(rq.format) + " driver.";
        return result;
    }
    DatasetPtr ds(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
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
    std::vector<OGRFieldType> types;
    for (const auto& c : cols)
        types.push_back(FieldType(c));
    // One feature for all: its fields are reset, not rebuilt, for each area.
    OGRFeature feature(layer->GetLayerDefn());
    try {
        ReadAreasAhead(db, rq.ids, [&](ExchangeArea& a) {
            feature.Reset();
            for (std::size_t i = 0; i < cols.size(); ++i) {
                const std::string& v = a.values[i];
                const int at = static_cast<int>(i);
                // Null rather than unset: GeoJSON leaves an unset property out, and a column
                // empty in every record would be missing from the file.
                if (v.empty()) {
                    feature.SetFieldNull(at);
                    continue;
                }
                switch (types[i]) {
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
                return false;
            }
            ++result.written;
            if (rq.progress && !rq.progress(result.written, total)) result.cancelled = true;
            return !result.cancelled;
        });
    } catch (const std::exception& e) {
        result.error = e.what();
    }
    if (transactions && ds->CommitTransaction() != OGRERR_NONE && result.error.empty())
        result.error = "The file " + rq.path + " could not be written: " + LastGdalError();
    ds.reset();
    return result;
}

} // namespace

ExportResult ExportAreas(DataService& db, const ExportRequest& rq) {
    EnsureGdal();
    const std::string partial = PartialPath(rq.path);
    RemoveOld(partial, rq.format);
    ExportResult result = WriteAreas(db, rq, partial);
    if (result.error.empty() && !result.cancelled)
        result.error = MoveIntoPlace(partial, rq.path, rq.format);
    // A stopped or failed export leaves nothing that could pass for a finished one.
    if (!result.error.empty() || result.cancelled) RemoveOld(partial, rq.format);
    return result;
}

} // namespace zelk::host::exchange
