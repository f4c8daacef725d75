#pragma once

#include "host/gis/Geometry.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zelk {
class ProgIdRegistry;
}

namespace zelk::host {
class DataService;
}

namespace zelk::host::gis {

struct MapFeature {
    long id = 0;
    MultiPolygon shape;
};

// What a map of one managed area shows: the area, the counties around it (those it is
// linked to marked), its state and the other mapped areas nearby.
struct MapScene {
    long shapeId = -1, managedAreaId = -1;
    std::string name, type, place; // place: "Lancaster County, Pennsylvania"
    MultiPolygon area;
    double mappedAcres = 0, mappedHectares = 0;
    std::string enteredAcres, enteredHectares; // as recorded, "" when not
    std::vector<MapFeature> counties;
    std::vector<long> linkedCounties;
    MultiPolygon state;
    std::vector<MapFeature> neighbours;
};

// The scene for a shape; nothing when the shape has no geometry.
std::optional<MapScene> LoadMapScene(DataService& db, long shapeId);
bool HasGeometry(DataService& db, long shapeId);

// Where ViewShape sends the scene: the workbench opens a map window. Without a presenter
// (headless) the request is only recorded.
using MapPresenter = std::function<void(MapScene)>;
void SetMapPresenter(MapPresenter presenter);
// The shape IDs ViewShape answered True for with no presenter set, oldest first.
const std::vector<long>& RecordedShapeRequests();
void ClearRecordedShapeRequests();

// Registers the GIS component "ArcViewCommuncation.GISInterface": ViewShape(shape ID) answers
// True when the shape has a geometry and it was shown (or recorded), False otherwise.
void RegisterGisInterface(ProgIdRegistry& registry, const std::shared_ptr<DataService>& db);

} // namespace zelk::host::gis
