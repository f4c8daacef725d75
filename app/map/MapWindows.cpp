#include "map/MapWindows.h"

#include "host/ReferenceHost.h"
#include "host/data/DataService.h"
#include "map/MapWindow.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace zelk::view {

MapWindows::MapWindows(QMdiArea* area) : area_(area) {
    host::gis::SetMapPresenter([this](host::gis::MapScene scene) {
        if (!area_) return;
        auto* w = new MapWindow(std::move(scene));
        QMdiSubWindow* sub = area_->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->resize(900, 700);
        sub->show();
        area_->setActiveSubWindow(sub);
    });
}

MapWindows::~MapWindows() {
    host::gis::SetMapPresenter({});
}

QList<MapWindow*> MapWindows::Open() const {
    QList<MapWindow*> out;
    if (!area_) return out;
    for (QMdiSubWindow* sub : area_->subWindowList())
        if (auto* m = qobject_cast<MapWindow*>(sub->widget())) out << m;
    return out;
}

bool ShowFirstMappedArea(host::ReferenceHost& host) {
    auto rs = host.Db()->Query("SELECT MIN(shape_id) AS id FROM shape_geometry");
    if (rs->EOF() || rs->Value("id").IsNull()) return false;
    ObjectPtr gis = CreateObject("ArcViewCommuncation.GISInterface");
    return CBool(gis->Call("ViewShape", {Variant(static_cast<int>(CLng(rs->Value("id"))))}));
}

} // namespace zelk::view
