#pragma once

#include "host/gis/GisInterface.h"

#include <QImage>
#include <QSize>

#include <memory>

namespace zelk::host {
class DataService;
}

namespace zelk::view {

// The map of one area as the map window first shows it (fitted to the area, with its
// counties and state), drawn at twice `size` for print.
QImage MapImage(const host::gis::MapScene& scene, QSize size);

// Lets printed reports show the map of each shape they name, read from `db`.
void ShowMapsInReports(std::shared_ptr<host::DataService> db);

} // namespace zelk::view
