// Drawing a managed area's map: the area, its counties, its state and the neighbouring areas,
// offscreen at 1280 x 800.
#include "host/data/SqliteDataService.h"
#include "host/gis/GisInterface.h"
#include "host/sample/SampleData.h"
#include "map/MapView.h"
#include "platform/Conv.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using zelk::host::DataService;

// A sample large enough for areas to have neighbours; the area with the most of them.
struct Fixture {
    std::shared_ptr<zelk::host::SqliteDataService> db =
        std::make_shared<zelk::host::SqliteDataService>(":memory:");
    long shape = -1;
    Fixture() {
        zelk::host::WriteSampleData(*db, 20000, 1);
        std::size_t most = 0;
        auto rs = db->Query("SELECT shape_id FROM shape_geometry ORDER BY shape_id LIMIT 200");
        for (; !rs->EOF(); rs->MoveNext()) {
            const long id = zelk::CLng(rs->Value("shape_id"));
            auto scene = zelk::host::gis::LoadMapScene(*db, id);
            if (scene && scene->neighbours.size() >= most) {
                most = scene->neighbours.size();
                shape = id;
            }
        }
    }
};
Fixture& Sample() {
    static Fixture f;
    return f;
}

void BM_DrawAreaMap(benchmark::State& state) {
    auto scene = zelk::host::gis::LoadMapScene(*Sample().db, Sample().shape);
    if (!scene) {
        state.SkipWithError("no mapped area");
        return;
    }
    state.counters["neighbours"] = static_cast<double>(scene->neighbours.size());
    state.counters["counties"] = static_cast<double>(scene->counties.size());
    zelk::view::MapView view(std::move(*scene));
    view.resize(1280, 800);
    view.ZoomToArea();
    view.ZoomBy(1 / 3.0, QPointF(640, 400)); // the county and more around it
    QImage img(1280, 800, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&img);
        view.Render(p, img.size());
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_DrawAreaMap)->Unit(benchmark::kMillisecond);

// Reading what the map shows from the database.
void BM_LoadMapScene(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(zelk::host::gis::LoadMapScene(*Sample().db, Sample().shape));
}
BENCHMARK(BM_LoadMapScene)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
