#include "map/MapWindow.h"

#include "map/MapView.h"
#include "view/HelpWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelk::view {

namespace {
QString Entered(const std::string& text) {
    bool ok = false;
    const double v = QString::fromStdString(text).toDouble(&ok);
    return ok ? FormatArea(v) : QObject::tr("none");
}

QToolButton* Button(const QString& name, const QString& text, const QString& tip) {
    auto* b = new QToolButton;
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}
} // namespace

QString FormatArea(double value) {
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(value, 'f', 2);
}

MapWindow::MapWindow(host::gis::MapScene scene, QWidget* parent) : QWidget(parent) {
    setObjectName("frmMap");
    SetHelpPage(this, "map.html");
    const QString name = QString::fromStdString(scene.name);
    setWindowTitle(tr("Map - %1").arg(name.isEmpty() ? tr("Shape %1").arg(scene.shapeId) : name));

    auto* title = new QLabel(
        QString("<b>%1</b> %2")
            .arg(name.toHtmlEscaped(), QString::fromStdString(scene.type).toHtmlEscaped()));
    title->setObjectName("lblMapName");
    auto* place = new QLabel(QString::fromStdString(scene.place));
    place->setObjectName("lblMapPlace");
    areas_ = new QLabel(tr("Mapped: %1 acres (%2 ha)    Entered: %3 acres (%4 ha)")
                            .arg(FormatArea(scene.mappedAcres), FormatArea(scene.mappedHectares),
                                 Entered(scene.enteredAcres), Entered(scene.enteredHectares)));
    areas_->setObjectName("lblMapAreas");

    view_ = new MapView(std::move(scene));
    auto* zoomIn = Button("cmdZoomIn", "+", tr("Zoom in (+)"));
    auto* zoomOut = Button("cmdZoomOut", "-", tr("Zoom out (-)"));
    zoomArea_ = Button("cmdZoomToArea", tr("Zoom to Area"), tr("Show the whole area (Home)"));
    connect(zoomIn, &QToolButton::clicked, view_, &MapView::ZoomIn);
    connect(zoomOut, &QToolButton::clicked, view_, &MapView::ZoomOut);
    connect(zoomArea_, &QToolButton::clicked, view_, &MapView::ZoomToArea);
    cursor_ = new QLabel;
    cursor_->setObjectName("lblMapCursor");
    cursor_->setMinimumWidth(cursor_->fontMetrics().horizontalAdvance("000000N 0000000W  "));
    connect(view_, &MapView::CursorMoved, cursor_, &QLabel::setText);

    auto* head = new QVBoxLayout;
    head->setSpacing(2);
    head->addWidget(title);
    head->addWidget(place);
    head->addWidget(areas_);
    auto* tools = new QHBoxLayout;
    tools->addWidget(zoomIn);
    tools->addWidget(zoomOut);
    tools->addWidget(zoomArea_);
    tools->addStretch(1);
    tools->addWidget(cursor_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(tools);
    layout->addWidget(view_, 1);
    resize(900, 700);
}

} // namespace zelk::view
