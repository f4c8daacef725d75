#include "map/MapView.h"

#include "host/gis/Geodesic.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zelk::view {

using host::gis::LonLat;
using host::gis::MultiPolygon;

namespace {

// Map units: x is longitude times the stretch, y is latitude (up).
QPainterPath PathOf(const MultiPolygon& g, double stretch) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const auto& poly : g)
        for (const auto& ring : poly.rings) {
            if (ring.empty()) continue;
            QPolygonF pts;
            pts.reserve(static_cast<qsizetype>(ring.size()));
            for (const LonLat& p : ring)
                pts << QPointF(p.lon * stretch, p.lat);
            path.addPolygon(pts);
            path.closeSubpath();
        }
    return path;
}

QString Dms(double degrees, int width, QChar hemisphere) {
    long total = std::lround(std::fabs(degrees) * 3600.0);
    return QString("%1%2%3%4")
        .arg(total / 3600, width - 5, 10, QChar('0'))
        .arg(total / 60 % 60, 2, 10, QChar('0'))
        .arg(total % 60, 2, 10, QChar('0'))
        .arg(hemisphere);
}

QPen Cosmetic(const QColor& c, double width, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(c, width, style);
    pen.setCosmetic(true);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

} // namespace

QString FormatLonLat(LonLat p) {
    return Dms(p.lat, 7, p.lat < 0 ? 'S' : 'N') + " " + Dms(p.lon, 8, p.lon < 0 ? 'W' : 'E');
}

MapView::MapView(host::gis::MapScene scene, QWidget* parent)
    : QWidget(parent), scene_(std::move(scene)) {
    setObjectName("mapView");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 240);
    const host::gis::Extent e = host::gis::ExtentOf(scene_.area);
    const double midLat = e.empty ? 0 : (e.minLat + e.maxLat) / 2;
    stretch_ = std::cos(midLat * std::numbers::pi / 180.0);
    area_ = PathOf(scene_.area, stretch_);
    state_ = PathOf(scene_.state, stretch_);
    for (const auto& c : scene_.counties) {
        const bool linked = std::find(scene_.linkedCounties.begin(), scene_.linkedCounties.end(),
                                      c.id) != scene_.linkedCounties.end();
        (linked ? linked_ : counties_).addPath(PathOf(c.shape, stretch_));
    }
    for (const auto& n : scene_.neighbours)
        neighbours_.addPath(PathOf(n.shape, stretch_));
    centre_ = {e.empty ? 0 : (e.minLon + e.maxLon) / 2, midLat};
}

QTransform MapView::Transform(QSize size) const {
    QTransform t;
    t.translate(size.width() / 2.0, size.height() / 2.0);
    t.scale(1 / degreesPerPixel_, -1 / degreesPerPixel_);
    t.translate(-centre_.lon * stretch_, -centre_.lat);
    return t;
}

LonLat MapView::ToLonLat(QPointF pixel) const {
    QPointF m = Transform(size()).inverted().map(pixel);
    return {m.x() / stretch_, m.y()};
}

QPointF MapView::ToPixel(LonLat p) const {
    return Transform(size()).map(QPointF(p.lon * stretch_, p.lat));
}

void MapView::ZoomToArea() {
    const QRectF box = area_.boundingRect();
    if (box.isEmpty() || width() <= 0 || height() <= 0) return;
    centre_ = {box.center().x() / stretch_, box.center().y()};
    // The area fills about two thirds of the view, so its county shows around it.
    degreesPerPixel_ = std::max(box.width() / (width() * 0.66), box.height() / (height() * 0.66));
    degreesPerPixel_ = std::max(degreesPerPixel_, 1e-7);
    fitted_ = true;
    update();
    emit ViewChanged();
}

void MapView::ZoomBy(double factor, QPointF around) {
    const LonLat fixed = ToLonLat(around);
    degreesPerPixel_ = std::clamp(degreesPerPixel_ / factor, 1e-7, 1.0);
    // Keep the point under the cursor where it was.
    const LonLat moved = ToLonLat(around);
    centre_.lon += fixed.lon - moved.lon;
    centre_.lat += fixed.lat - moved.lat;
    update();
    emit ViewChanged();
}

void MapView::PanBy(QPointF pixels) {
    centre_.lon -= pixels.x() * degreesPerPixel_ / stretch_;
    centre_.lat += pixels.y() * degreesPerPixel_;
    update();
    emit ViewChanged();
}

double MapView::ScaleBarMetres() const {
    // A round length near a fifth of the width.
    const double metresPerPixel = degreesPerPixel_ * 111132.95;
    const double target = metresPerPixel * std::max(width(), 200) / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(target)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * magnitude <= target) return step * magnitude;
    return magnitude;
}

void MapView::DrawScaleBar(QPainter& p, QSize size) const {
    const double metres = ScaleBarMetres();
    const double pixels = metres / (degreesPerPixel_ * 111132.95);
    const QPointF at(16, size.height() - 20);
    p.setPen(Cosmetic(Qt::black, 2));
    p.drawLine(at, at + QPointF(pixels, 0));
    p.drawLine(at, at + QPointF(0, -6));
    p.drawLine(at + QPointF(pixels, 0), at + QPointF(pixels, -6));
    const QString text =
        metres >= 1000 ? QString("%1 km").arg(metres / 1000) : QString("%1 m").arg(metres);
    p.drawText(at + QPointF(4, -6), text);
}

void MapView::Render(QPainter& p, QSize size) const {
    p.fillRect(QRect(QPoint(0, 0), size), QColor(0xdc, 0xe8, 0xf0)); // outside the state: water
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setTransform(Transform(size), true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xf1, 0xe8));
    p.drawPath(state_);
    p.setBrush(Qt::NoBrush);
    p.setPen(Cosmetic(QColor(0xa0, 0xa0, 0xa0), 0.8));
    p.drawPath(counties_);
    p.setPen(Cosmetic(QColor(0x5a, 0x7d, 0x5a), 1.5));
    p.setBrush(QColor(0xe3, 0xef, 0xdc));
    p.drawPath(linked_);
    p.setPen(Cosmetic(QColor(0x50, 0x50, 0x50), 1.6, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawPath(state_);
    p.setPen(Cosmetic(QColor(0x9a, 0x6a, 0x2a), 1));
    p.setBrush(QColor(0xf0, 0xc8, 0x8a, 160));
    p.drawPath(neighbours_);
    p.setPen(Cosmetic(QColor(0xb0, 0x10, 0x10), 2.5));
    p.setBrush(QColor(0xe0, 0x30, 0x30, 110));
    p.drawPath(area_);
    p.restore();
    DrawScaleBar(p, size);
}

void MapView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Render(p, size());
}

void MapView::resizeEvent(QResizeEvent*) {
    if (!fitted_) ZoomToArea();
}

void MapView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    dragging_ = true;
    last_ = e->position();
    setCursor(Qt::ClosedHandCursor);
}

void MapView::mouseMoveEvent(QMouseEvent* e) {
    emit CursorMoved(FormatLonLat(ToLonLat(e->position())));
    if (!dragging_) return;
    PanBy(e->position() - last_);
    last_ = e->position();
}

void MapView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !dragging_) return;
    PanBy(e->position() - last_);
    dragging_ = false;
    unsetCursor();
}

void MapView::wheelEvent(QWheelEvent* e) {
    const double notches = e->angleDelta().y() / 120.0;
    if (notches != 0) ZoomBy(std::pow(1.25, notches), e->position());
    e->accept();
}

void MapView::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        ZoomIn();
        return;
    case Qt::Key_Minus:
        ZoomOut();
        return;
    case Qt::Key_Home:
        ZoomToArea();
        return;
    case Qt::Key_Left:
        PanBy({40, 0});
        return;
    case Qt::Key_Right:
        PanBy({-40, 0});
        return;
    case Qt::Key_Up:
        PanBy({0, 40});
        return;
    case Qt::Key_Down:
        PanBy({0, -40});
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

} // namespace zelk::view
