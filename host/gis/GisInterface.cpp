#include "host/gis/GisInterface.h"

#include "host/data/DataService.h"
#include "host/gis/Geodesic.h"
#include "host/gis/GeometryStore.h"
#include "platform/Conv.h"
#include "platform/Dispatch.h"
#include "platform/ProgIdRegistry.h"

#include <algorithm>

namespace zelk::host::gis {

namespace {

struct Presentation {
    MapPresenter presenter;
    std::vector<long> recorded;
};
Presentation& Shown() {
    static Presentation p;
    return p;
}

std::string Text(const Variant& v) {
    return v.IsNull() || v.IsEmpty() ? std::string() : CStr(v);
}

// The counties around the area: its own with half their size again on every side.
Extent Vicinity(Extent e) {
    const double dx = std::max(e.maxLon - e.minLon, 0.01) / 2,
                 dy = std::max(e.maxLat - e.minLat, 0.01) / 2;
    e.minLon -= dx;
    e.maxLon += dx;
    e.minLat -= dy;
    e.maxLat += dy;
    return e;
}

class GisInterface : public Dispatch {
public:
    explicit GisInterface(std::shared_ptr<DataService> db)
        : Dispatch("GISInterface"), db_(std::move(db)) {
        DefineMethod("ViewShape", [this](Args& a) {
            Variant id = Arg(a, 0);
            if (!IsNumeric(id)) return Variant(false);
            const long shapeId = CLng(id);
            Presentation& p = Shown();
            if (!p.presenter) {
                if (!HasGeometry(*db_, shapeId)) return Variant(false);
                p.recorded.push_back(shapeId);
                return Variant(true);
            }
            auto scene = LoadMapScene(*db_, shapeId);
            if (!scene) return Variant(false);
            p.presenter(std::move(*scene));
            return Variant(true);
        });
    }

private:
    std::shared_ptr<DataService> db_;
};

} // namespace

bool HasGeometry(DataService& db, long shapeId) {
    return db.Query("SELECT shape_id FROM shape_geometry WHERE shape_id = ? AND geom IS NOT NULL",
                    {Variant(static_cast<int>(shapeId))})
               ->RecordCount() > 0;
}

std::optional<MapScene> LoadMapScene(DataService& db, long shapeId) {
    auto area = ReadGeometry(db, ShapeTable(), shapeId);
    if (!area || area->empty()) return std::nullopt;
    MapScene s;
    s.shapeId = shapeId;
    s.area = std::move(*area);
    const double m2 = GeodesicArea(s.area);
    s.mappedAcres = m2 / kSquareMetresPerAcre;
    s.mappedHectares = m2 / kSquareMetresPerHectare;

    long stateId = -1;
    auto ma = db.Query("SELECT ma.managed_area_id, ma.managed_area_name, ma.managed_area_type, "
                       "ma.d_state_id, ma.total_area_acres, ma.total_area_hectares, "
                       "st.state_name FROM ma LEFT JOIN d_state st ON st.d_state_id = "
                       "ma.d_state_id WHERE ma.shape_id = ?",
                       {Variant(static_cast<int>(shapeId))});
    std::string stateName;
    if (!ma->EOF()) {
        s.managedAreaId = CLng(ma->Value("managed_area_id"));
        s.name = Text(ma->Value("managed_area_name"));
        s.type = Text(ma->Value("managed_area_type"));
        if (!ma->Value("d_state_id").IsNull()) stateId = CLng(ma->Value("d_state_id"));
        s.enteredAcres = Text(ma->Value("total_area_acres"));
        s.enteredHectares = Text(ma->Value("total_area_hectares"));
        stateName = Text(ma->Value("state_name"));
    }
    Extent around = ExtentOf(s.area);
    std::vector<std::string> countyNames;
    auto linked = db.Query("SELECT mc.d_county_id, c.county_name FROM managed_area_county mc "
                           "JOIN d_county c ON c.d_county_id = mc.d_county_id WHERE "
                           "mc.managed_area_id = ? ORDER BY mc.display_order",
                           {Variant(static_cast<int>(s.managedAreaId))});
    for (; !linked->EOF(); linked->MoveNext()) {
        const long county = CLng(linked->Value("d_county_id"));
        s.linkedCounties.push_back(county);
        countyNames.push_back(Text(linked->Value("county_name")));
        if (auto g = ReadGeometry(db, CountyTable(), county)) around.Add(ExtentOf(*g));
    }
    for (std::size_t i = 0; i < countyNames.size(); ++i)
        s.place += (i ? (i + 1 == countyNames.size() ? " and " : ", ") : "") + countyNames[i];
    if (!stateName.empty()) s.place += (s.place.empty() ? "" : ", ") + stateName;

    const Extent vicinity = Vicinity(around);
    for (KeyedGeometry& k : GeometriesIn(db, CountyTable(), vicinity, 500))
        s.counties.push_back({k.id, std::move(k.shape)});
    if (stateId >= 0)
        if (auto g = ReadGeometry(db, StateTable(), stateId)) s.state = std::move(*g);
    for (KeyedGeometry& k : GeometriesIn(db, ShapeTable(), vicinity, 2000))
        if (k.id != shapeId) s.neighbours.push_back({k.id, std::move(k.shape)});
    return s;
}

void SetMapPresenter(MapPresenter presenter) {
    Shown().presenter = std::move(presenter);
}

const std::vector<long>& RecordedShapeRequests() {
    return Shown().recorded;
}

void ClearRecordedShapeRequests() {
    Shown().recorded.clear();
}

void RegisterGisInterface(ProgIdRegistry& registry, const std::shared_ptr<DataService>& db) {
    registry.Register("ArcViewCommuncation.GISInterface",
                      [db] { return std::make_shared<GisInterface>(db); });
}

} // namespace zelk::host::gis
