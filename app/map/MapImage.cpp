#include "map/MapImage.h"

#include "map/MapView.h"
#include "platform/ReportDocument.h"
#include "view/ReportPrinter.h"

#include <QPainter>

namespace zelk::view {

QImage MapImage(const host::gis::MapScene& scene, QSize size) {
    MapView view(scene);
    view.resize(size);
    view.ZoomToArea();
    QImage image(size * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    view.Render(painter, size);
    return image;
}

void ShowMapsInReports(std::shared_ptr<host::DataService> db) {
    if (!db) {
        SetReportPictureSource({});
        return;
    }
    SetReportPictureSource([db](const std::string& source) {
        const long shape = MapPictureShape(source);
        if (shape < 0) return QImage();
        auto scene = host::gis::LoadMapScene(*db, shape);
        return scene ? MapImage(*scene, QSize(640, 420)) : QImage();
    });
}

} // namespace zelk::view
