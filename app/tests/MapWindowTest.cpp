// The map window View Shape opens: what it draws and how it moves.
#include "MapWindowTest.h"

#include "ViewTestSupport.h"
#include "host/ReferenceHost.h"
#include "host/gis/GisInterface.h"
#include "map/MapView.h"
#include "map/MapWindow.h"
#include "map/MapWindows.h"
#include "platform/Conv.h"
#include "shell/MainWindow.h"
#include "shell/RecordWindow.h"
#include "zelk/ManagedAreaDetails.h"

#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QToolButton>
#include <QWheelEvent>

namespace zelk::view::testing {

namespace {

std::unique_ptr<host::ReferenceHost> OpenHost() {
    return host::ReferenceHost::Open({":memory:", "ann", 60, 3, true, true});
}

long First(host::ReferenceHost& host, const std::string& sql) {
    auto rs = host.Db()->Query(sql);
    return rs->EOF() || rs->Value("id").IsNull() ? -1 : CLng(rs->Value("id"));
}

// Pixels of the area's outline colour (a strong red) in the image.
int RedPixels(const QImage& img, QRect within) {
    int n = 0;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 80 && c.blue() < 80) ++n;
        }
    return n;
}

MapWindow* OpenMap(MainWindow& main) {
    for (QMdiSubWindow* sub : main.Area()->subWindowList())
        if (auto* m = qobject_cast<MapWindow*>(sub->widget())) return m;
    return nullptr;
}

} // namespace

void MapWindowTest::cleanup() {
    SetUiDriver(nullptr);
}

void MapWindowTest::viewShapeOpensTheAreaOnAMap() {
    auto ui = InstallScriptedUi();
    auto host = OpenHost();
    MainWindow main(*host, ":memory:");
    MapWindows maps(main.Area());
    ShowActive(main);

    // A record without a drawn shape: the editor's own message, no map.
    const long undrawn = First(*host, "SELECT MIN(managed_area_id) AS id FROM ma JOIN shape USING "
                                      "(shape_id) WHERE has_shape_ind = 'N'");
    QVERIFY(undrawn > 0);
    main.OpenDetails(undrawn);
    auto* details = dynamic_cast<editor::ManagedAreaDetails*>(
        main.RecordWindows().back()->HostedControl().get());
    QVERIFY(details);
    ui->ClearLog();
    details->mnuToolsViewShape->UserClick();
    QCOMPARE(ui->Messages().size(), std::size_t{1});
    QVERIFY(!OpenMap(main));

    const long drawn = First(*host, "SELECT MIN(ma.managed_area_id) AS id FROM ma JOIN "
                                    "shape_geometry g ON g.shape_id = ma.shape_id");
    QVERIFY(drawn > 0);
    main.OpenDetails(drawn);
    details = dynamic_cast<editor::ManagedAreaDetails*>(
        main.RecordWindows().back()->HostedControl().get());
    QVERIFY(details);
    ui->ClearLog();
    details->mnuToolsViewShape->UserClick();
    QVERIFY(ui->Messages().empty());
    MapWindow* map = OpenMap(main);
    QVERIFY(map);
    QApplication::processEvents();

    auto rs = host->Db()->Query("SELECT managed_area_name, total_area_acres FROM ma WHERE "
                                "managed_area_id = ?",
                                {Variant(static_cast<int>(drawn))});
    const QString name = QString::fromStdString(CStr(rs->Value("managed_area_name")));
    QCOMPARE(map->windowTitle(), "Map - " + name);
    const QString areas = map->AreaLabel()->text();
    QVERIFY2(areas.contains("Mapped: ") && areas.contains(" acres") && areas.contains(" ha") &&
                 areas.contains("Entered: " + FormatArea(CDbl(rs->Value("total_area_acres")))),
             qPrintable(areas));

    // Offscreen, the boundary is drawn in the middle of the map.
    MapView* view = map->View();
    QImage img(1280, 800, QImage::Format_ARGB32_Premultiplied);
    {
        view->resize(1280, 800);
        view->ZoomToArea();
        QPainter p(&img);
        view->Render(p, img.size());
    }
    QVERIFY(RedPixels(img, QRect(200, 100, 880, 600)) > 200);
    QVERIFY(RedPixels(img, QRect(0, 0, 150, 60)) == 0);
    QVERIFY(!view->grab().isNull());
}

void MapWindowTest::theMapPansAndZooms() {
    auto host = OpenHost();
    const long shape = First(*host, "SELECT MIN(shape_id) AS id FROM shape_geometry");
    auto scene = host::gis::LoadMapScene(*host->Db(), shape);
    QVERIFY(scene);
    MapWindow window(std::move(*scene));
    window.resize(900, 700);
    ShowActive(window);
    MapView* view = window.View();
    view->setFocus();
    const double scale = view->Scale();
    const host::gis::LonLat centre = view->Centre();

    // Drag: the point under the cursor moves with it.
    const QPoint from = view->rect().center();
    const host::gis::LonLat grabbed = view->ToLonLat(from);
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, from + QPoint(60, 30));
    QTest::mouseRelease(view, Qt::LeftButton, {}, from + QPoint(100, 40));
    const QPointF now = view->ToPixel(grabbed);
    QVERIFY(std::abs(now.x() - (from.x() + 100)) < 1.5 &&
            std::abs(now.y() - (from.y() + 40)) < 1.5);
    // The cursor's position in the module's format.
    QVERIFY2(QRegularExpression("^\\d{6}[NS] \\d{7}[EW]$")
                 .match(window.CursorLabel()->text())
                 .hasMatch(),
             qPrintable(window.CursorLabel()->text()));

    // + and - zoom by steps; the wheel zooms about the cursor.
    QTest::keyClick(view, Qt::Key_Plus);
    QVERIFY(view->Scale() < scale);
    QTest::keyClick(view, Qt::Key_Minus);
    QTest::keyClick(view, Qt::Key_Minus);
    QVERIFY(view->Scale() > scale);
    const QPointF at(100, 120);
    const host::gis::LonLat under = view->ToLonLat(at);
    QWheelEvent wheel(at, view->mapToGlobal(at), {}, QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    const double before = view->Scale();
    QApplication::sendEvent(view, &wheel);
    QVERIFY(view->Scale() < before);
    const QPointF still = view->ToPixel(under);
    QVERIFY(std::abs(still.x() - at.x()) < 1 && std::abs(still.y() - at.y()) < 1);

    // Zoom to Area brings back the first view; the scale bar stays a round length.
    QTest::mouseClick(window.ZoomToAreaButton(), Qt::LeftButton);
    QVERIFY(std::abs(view->Scale() - scale) < scale * 1e-9);
    QVERIFY(std::abs(view->Centre().lon - centre.lon) < 1e-9);
    const double bar = view->ScaleBarMetres();
    const double mantissa = bar / std::pow(10.0, std::floor(std::log10(bar)));
    QVERIFY(mantissa == 1 || mantissa == 2 || mantissa == 5);
}

} // namespace zelk::view::testing
