#pragma once

#include <QList>
#include <QPointer>

class QMdiArea;

namespace zelk::host {
class ReferenceHost;
}

namespace zelk::view {

class MapWindow;

// While alive, the GIS component's ViewShape opens its map in a window of `area`.
class MapWindows {
public:
    explicit MapWindows(QMdiArea* area);
    ~MapWindows();
    MapWindows(const MapWindows&) = delete;
    MapWindows& operator=(const MapWindows&) = delete;

    QList<MapWindow*> Open() const;

private:
    QPointer<QMdiArea> area_;
};

// Shows the map of the first managed area with a mapped shape, as View Shape would; false when
// there is none or the GIS declined.
bool ShowFirstMappedArea(host::ReferenceHost& host);

} // namespace zelk::view
