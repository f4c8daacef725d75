// The workbench at a million managed areas: opening the database until its working list shows,
// scrolling a search's results grid of every area a page at a time, and sorting a working
// list of 100,000 areas by a click on its Name header. Offscreen; prints each figure with its
// goal and the machine's load average.
#include "host/ReferenceHost.h"
#include "platform/Strings.h"
#include "platform/ui/Form.h"
#include "platform/ui/ScriptedUiDriver.h"
#include "platform/ui/VSFlexGrid.h"
#include "shell/MainWindow.h"
#include "shell/RecordWindow.h"
#include "shell/RecordsetModel.h"
#include "shell/WorkingListPanel.h"
#include "view/ControlView.h"

#include "LoadAverage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using zelk::view::MainWindow;
using zelk::view::RecordWindow;

double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

std::string Database(int areas) {
    return std::string(ZELK_BENCH_DATA) + "/areas-" + std::to_string(areas) + ".db";
}

// The host as the workbench opens a file: with every area in the working list.
std::unique_ptr<zelk::host::ReferenceHost> OpenHost(const std::string& file) {
    zelk::host::HostOptions options;
    options.dbPath = file;
    options.userName = "bench";
    options.sampleData = false;
    options.fillWorkingList = true;
    return zelk::host::ReferenceHost::Open(options);
}

template <class W> W* WidgetOf(const zelk::Control& c) {
    zelk::view::ControlView* v = zelk::view::ControlView::Of(c);
    return v ? qobject_cast<W*>(v->Widget()) : nullptr;
}

RecordWindow* WindowOf(MainWindow& main, const char* typeName) {
    for (RecordWindow* w : main.RecordWindows())
        if (zelk::IEquals(w->HostedControl()->TypeName(), typeName)) return w;
    return nullptr;
}

zelk::Control* In(RecordWindow& w, const char* name) {
    auto* form = dynamic_cast<zelk::Form*>(w.HostedControl().get());
    return form ? form->Find(name) : nullptr;
}

// 1. From the host's construction to the main window shown with its working list filled.
bool Open(int areas) {
    const std::string file = Database(areas);
    const Clock::time_point t0 = Clock::now();
    auto host = OpenHost(file);
    const double hostMs = MsSince(t0);
    MainWindow main(*host, QString::fromStdString(file));
    main.show();
    QApplication::processEvents();
    const double ms = MsSince(t0);
    const int rows = main.WorkingListModel()->rowCount();
    if (rows == 0) {
        std::printf("open %d areas: the working list has no rows\n", areas);
        return false;
    }
    std::printf("open %d areas: %.0f ms (host %.0f ms), working list %d rows  goal <= 1000 ms "
                "%s\n",
                areas, ms, hostMs, rows, ms <= 1000 ? "met" : "MISSED");
    return true;
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(at, v.size() - 1)];
}

// 2. Every area in the search window's results, scrolled a page at a time with each repaint
// timed. A whole scroll is some 40,000 pages; `pages` of them are taken evenly over the range.
bool Scroll(zelk::ScriptedUiDriver& ui, int areas, int pages) {
    auto host = OpenHost(Database(areas));
    MainWindow main(*host, QString::fromStdString(Database(areas)));
    main.resize(1280, 800);
    main.show();
    QApplication::processEvents();
    main.FindManagedAreas();
    QApplication::processEvents();
    RecordWindow* find = WindowOf(main, "ManagedAreaSearch");
    zelk::Control* now = find ? In(*find, "cmdFindNow") : nullptr;
    zelk::Control* results = find ? In(*find, "flexResults") : nullptr;
    auto* button = now ? WidgetOf<QAbstractButton>(*now) : nullptr;
    if (!button || !results) {
        std::printf("scroll: no search window\n");
        return false;
    }
    find->showMaximized();
    ui.QueueAnswer(zelk::vb::Yes); // no criteria: yes, every record
    const Clock::time_point t0 = Clock::now();
    button->click();
    QApplication::processEvents();
    const double searchMs = MsSince(t0);
    auto& grid = dynamic_cast<zelk::VSFlexGrid&>(*results);
    auto* table = WidgetOf<QTableView>(grid);
    if (!table) {
        std::printf("scroll: no results table\n");
        return false;
    }
    const long resultRows = grid.Rows() - grid.FixedRows();
    if (resultRows <= 0 || table->model()->rowCount() == 0) {
        std::printf("scroll: the results grid has no rows\n");
        return false;
    }
    QScrollBar* bar = table->verticalScrollBar();
    const int page = std::max(1, bar->pageStep());
    const long whole = (static_cast<long>(bar->maximum()) - bar->minimum()) / page + 1;
    const long step = std::max(1L, whole / pages);
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(whole / step + 1));
    table->viewport()->repaint();
    for (long v = bar->minimum(); v <= bar->maximum(); v += step * page) {
        bar->setValue(static_cast<int>(v));
        const Clock::time_point r0 = Clock::now();
        table->viewport()->repaint();
        times.push_back(MsSince(r0));
    }
    const double p50 = Percentile(times, 0.5), p99 = Percentile(times, 0.99);
    const double most = *std::max_element(times.begin(), times.end());
    std::printf("scroll %ld result rows (search %.0f ms, viewport %dx%d): %zu of %ld pages "
                "(every %ld), repaint median %.2f ms, p99 %.2f ms, max %.2f ms  goal <= 16 ms "
                "%s\n",
                resultRows, searchMs, table->viewport()->width(), table->viewport()->height(),
                times.size(), whole, step, p50, p99, most,
                most <= 16 ? "met" : (p99 <= 16 ? "met at p99, max MISSED" : "MISSED"));
    return true;
}

// 3. A click on the Name header of a working list of `areas` rows, until the sorted view is in
// place.
bool Sort(int areas) {
    auto host = OpenHost(Database(areas));
    MainWindow main(*host, QString::fromStdString(Database(areas)));
    main.show();
    QApplication::processEvents();
    QTableView* view = main.WorkingList()->View();
    QAbstractItemModel* model = view->model();
    int name = -1;
    for (int c = 0; c < model->columnCount() && name < 0; ++c)
        if (model->headerData(c, Qt::Horizontal).toString() == "Name") name = c;
    if (name < 0) {
        std::printf("sort: no Name column\n");
        return false;
    }
    if (model->rowCount() == 0) {
        std::printf("sort: the working list has no rows\n");
        return false;
    }
    for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        const Clock::time_point t0 = Clock::now();
        view->sortByColumn(name, order);
        QApplication::processEvents();
        const double ms = MsSince(t0);
        std::printf("sort %d-row working list by Name %s: %.0f ms  goal <= 200 ms %s\n",
                    model->rowCount(), order == Qt::AscendingOrder ? "ascending" : "descending", ms,
                    ms <= 200 ? "met" : "MISSED");
    }
    return true;
}

} // namespace

// workbench_bench [open|scroll|sort ...] [--pages N] [--areas N]
// --areas sizes the database that open and scroll use (1,000,000 unless given); sort always
// uses 100,000. Exits 1 when a database is missing or a list or grid came out empty.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    auto ui = std::make_shared<zelk::ScriptedUiDriver>();
    ui->SetFailureHandler([](const std::string& what) { std::printf("ui: %s\n", what.c_str()); });
    zelk::SetUiDriver(ui);
    std::vector<std::string> what;
    int pages = 4000, areas = 1000000;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--pages" && i + 1 < argc)
            pages = std::max(1, std::atoi(argv[++i]));
        else if (a == "--areas" && i + 1 < argc)
            areas = std::max(1, std::atoi(argv[++i]));
        else
            what.push_back(a);
    }
    if (what.empty()) what = {"open", "scroll", "sort"};
    for (const std::string& w : what) {
        const int needed = w == "sort" ? 100000 : areas;
        if (!QFileInfo::exists(QString::fromStdString(Database(needed)))) {
            std::printf("no %s: make it with zelk-sampledb --areas %d\n", Database(needed).c_str(),
                        needed);
            return 1;
        }
    }
    std::printf("load average: %s\n", LoadAverage().c_str());
    bool ok = true;
    for (const std::string& w : what) {
        if (w == "open") ok = Open(areas) && ok;
        if (w == "scroll") ok = Scroll(*ui, areas, pages) && ok;
        if (w == "sort") ok = Sort(100000) && ok;
        std::fflush(stdout);
    }
    std::printf("load average: %s\n", LoadAverage().c_str());
    if (!ok) std::printf("FAILED: see above\n");
    return ok ? 0 : 1;
}
