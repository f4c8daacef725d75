#pragma once

#include "host/gis/GisInterface.h"

#include <QPainterPath>
#include <QPointF>
#include <QWidget>

namespace zelk::view {

// Draws a managed area over its counties, state and neighbours. The map is a plate carrée
// stretched by the cosine of the area's latitude, so shapes keep their proportions near the
// area. Drag pans, the wheel and +/- zoom, Home zooms to the area.
class MapView : public QWidget {
    Q_OBJECT
public:
    explicit MapView(host::gis::MapScene scene, QWidget* parent = nullptr);

    const host::gis::MapScene& Scene() const { return scene_; }
    // Degrees of latitude per pixel, and the centre of the view.
    double Scale() const { return degreesPerPixel_; }
    host::gis::LonLat Centre() const { return centre_; }
    host::gis::LonLat ToLonLat(QPointF pixel) const;
    QPointF ToPixel(host::gis::LonLat p) const;

    void ZoomToArea();
    void ZoomBy(double factor, QPointF around);
    void ZoomIn() { ZoomBy(1.5, rect().center()); }
    void ZoomOut() { ZoomBy(1 / 1.5, rect().center()); }
    void PanBy(QPointF pixels);
    // The scale bar's length in metres and pixels, as drawn.
    double ScaleBarMetres() const;
    // Renders the map as it stands into `painter` over `size` pixels.
    void Render(QPainter& painter, QSize size) const;

signals:
    void CursorMoved(const QString& coordinates);
    void ViewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QTransform Transform(QSize size) const;
    void DrawScaleBar(QPainter& p, QSize size) const;

    host::gis::MapScene scene_;
    double stretch_ = 1; // cosine of the area's latitude
    QPainterPath area_, state_, counties_, linked_, neighbours_;
    host::gis::LonLat centre_;
    double degreesPerPixel_ = 0.001;
    bool fitted_ = false;
    bool dragging_ = false;
    QPointF last_;
};

// "401230N 0961100W": a point in the module's coordinate format.
QString FormatLonLat(host::gis::LonLat p);

} // namespace zelk::view
