#pragma once

#include "host/gis/GisInterface.h"

#include <QWidget>

class QLabel;
class QToolButton;

namespace zelk::view {

class MapView;

// The map of one managed area: its name and place, the mapped area beside the entered
// totals, the map with zoom buttons, and the cursor's coordinates.
class MapWindow : public QWidget {
    Q_OBJECT
public:
    explicit MapWindow(host::gis::MapScene scene, QWidget* parent = nullptr);

    MapView* View() const { return view_; }
    QLabel* AreaLabel() const { return areas_; }
    QLabel* CursorLabel() const { return cursor_; }
    QToolButton* ZoomToAreaButton() const { return zoomArea_; }

private:
    MapView* view_ = nullptr;
    QLabel* areas_ = nullptr;
    QLabel* cursor_ = nullptr;
    QToolButton* zoomArea_ = nullptr;
};

// "1,234.56": an area figure as the window shows it.
QString FormatArea(double value);

} // namespace zelk::view
