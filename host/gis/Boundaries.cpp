#include "host/gis/Boundaries.h"

#include "host/embedded/UsAtlasCounties.h"
#include "host/gis/Geos.h"
#include "platform/Error.h"

#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <cpl_vsi.h>

#include <mutex>

namespace zelk::host::gis {

namespace {

std::vector<Boundary> ReadLayer(GDALDatasetH ds, const char* layer, bool county) {
    OGRLayerH l = GDALDatasetGetLayerByName(ds, layer);
    if (!l) Raise(err::ProviderError, std::string("The boundaries hold no ") + layer + ".", "GIS");
    std::vector<Boundary> out;
    OGR_L_ResetReading(l);
    OGRFeatureDefnH defn = OGR_L_GetLayerDefn(l);
    const int idField = OGR_FD_GetFieldIndex(defn, "id");
    const int nameField = OGR_FD_GetFieldIndex(defn, "name");
    while (OGRFeatureH f = OGR_L_GetNextFeature(l)) {
        OGRGeometryH g = OGR_F_GetGeometryRef(f);
        const std::string code = idField >= 0 ? OGR_F_GetFieldAsString(f, idField) : "";
        if (g && !OGR_G_IsEmpty(g) && code.size() == (county ? 5u : 2u)) {
            Boundary b;
            b.id = std::stoi(code);
            b.name = nameField >= 0 ? OGR_F_GetFieldAsString(f, nameField) : "";
            std::string wkb(static_cast<std::size_t>(OGR_G_WkbSize(g)), '\0');
            OGR_G_ExportToIsoWkb(g, wkbNDR, reinterpret_cast<unsigned char*>(wkb.data()));
            b.shape = FromWkb(wkb);
            // Quantizing the arcs leaves a few rings touching themselves: repaired once here,
            // so every cut and test on them, and every GIS program reading them, has valid input.
            GeomPtr geos = ToGeos(b.shape);
            if (!IsValid(geos.get())) b.shape = FromGeos(Valid(std::move(geos)).get());
            b.extent = ExtentOf(b.shape);
            out.push_back(std::move(b));
        }
        OGR_F_Destroy(f);
    }
    return out;
}

ReferenceGeography Read() {
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    const std::string text = embedded::UsAtlasCounties();
    // Read once per process (the caller is a function-local static).
    const std::string path = "/vsimem/zelk-us-atlas-counties.json";
    VSILFILE* f =
        VSIFileFromMemBuffer(path.c_str(), reinterpret_cast<GByte*>(const_cast<char*>(text.data())),
                             static_cast<vsi_l_offset>(text.size()), FALSE);
    if (!f) Raise(err::ProviderError, "The boundaries cannot be read.", "GIS");
    VSIFCloseL(f);
    const char* drivers[] = {"TopoJSON", nullptr};
    GDALDatasetH ds =
        GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, nullptr, nullptr);
    if (!ds) {
        VSIUnlink(path.c_str());
        Raise(err::ProviderError, "The boundaries cannot be read as TopoJSON.", "GIS");
    }
    ReferenceGeography geo;
    try {
        geo.counties = ReadLayer(ds, "counties", true);
        geo.states = ReadLayer(ds, "states", false);
    } catch (...) {
        GDALClose(ds);
        VSIUnlink(path.c_str());
        throw;
    }
    GDALClose(ds);
    VSIUnlink(path.c_str());
    for (std::size_t i = 0; i < geo.counties.size(); ++i)
        geo.countyAt[geo.counties[i].id] = i;
    for (std::size_t i = 0; i < geo.states.size(); ++i)
        geo.stateAt[geo.states[i].id] = i;
    return geo;
}

} // namespace

const Boundary* ReferenceGeography::County(int id) const {
    auto it = countyAt.find(id);
    return it == countyAt.end() ? nullptr : &counties[it->second];
}

const Boundary* ReferenceGeography::State(int id) const {
    auto it = stateAt.find(id);
    return it == stateAt.end() ? nullptr : &states[it->second];
}

const ReferenceGeography& UsBoundaries() {
    static const ReferenceGeography geo = Read();
    return geo;
}

} // namespace zelk::host::gis
