#include "ExchangeWindowsTest.h"

#include "ViewTestSupport.h"
#include "host/ReferenceHost.h"
#include "host/data/PgDataService.h"
#include "host/exchange/FileRows.h"
#include "host/help/HelpTopics.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"
#include "platform/ui/VSFlexGrid.h"
#include "shell/ExportDialog.h"
#include "shell/ImportWindow.h"
#include "shell/MainWindow.h"
#include "shell/RecordWindow.h"
#include "shell/RecordsetModel.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace zelk::view::testing {

namespace {

std::vector<std::string>& PgDatabases() {
    static std::vector<std::string> names;
    return names;
}

std::unique_ptr<host::ReferenceHost> OpenHost(int areas, bool fullList) {
    std::string db = ":memory:";
    if (WorkbenchOnPostgres()) {
        static int made = 0;
        const std::string name =
            "zelk_wbx" + std::to_string(getpid()) + "_" + std::to_string(++made);
        host::PgDataService::Administer(std::getenv("ZELK_TEST_PG"), "CREATE DATABASE " + name);
        PgDatabases().push_back(name);
        db = host::PgDataService::WithDatabase(std::getenv("ZELK_TEST_PG"), name);
    }
    return host::ReferenceHost::Open(
        {db, WorkbenchOnPostgres() ? "" : "ann", areas, 3, true, fullList});
}

long Count(host::ReferenceHost& h, const std::string& sql) {
    return CLng(h.Db()->Query(sql)->GetFields().Item(std::size_t{0}).Value());
}

std::string LastHelpPage(const ScriptedUiDriver& ui) {
    for (auto it = ui.Log().rbegin(); it != ui.Log().rend(); ++it)
        if (it->kind == "Help") return host::help::PageOfTopic(std::stol(it->title));
    return "<no help asked>";
}

QAction* ActionNamed(QObject* in, const char* name) {
    auto* a = in->findChild<QAction*>(name);
    if (!a) qFatal("no action %s", name);
    return a;
}

// The names a file holds, read back by the import's own reader.
std::multiset<std::string> NamesIn(const std::string& path, bool shortNames) {
    auto file = host::exchange::ReadFile(path);
    std::multiset<std::string> names;
    const auto at = std::find(file.header.begin(), file.header.end(),
                              shortNames ? "MAName" : "ManagedAreaName");
    if (!file.error.empty() || at == file.header.end()) return names;
    const auto col = static_cast<std::size_t>(at - file.header.begin());
    for (const auto& row : file.rows)
        names.insert(row.values.at(col));
    return names;
}

QString Cell(QTableWidget* t, int row, int col) {
    auto* item = t->item(row, col);
    return item ? item->text() : QString();
}

} // namespace

void ExchangeWindowsTest::cleanup() {
    for (const std::string& name : PgDatabases()) {
        try {
            host::PgDataService::Administer(std::getenv("ZELK_TEST_PG"),
                                            "DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
        } catch (const ComError&) {
            // Left behind, it goes with the throw-away cluster.
        }
    }
    PgDatabases().clear();
    SetUiDriver(nullptr);
}

void ExchangeWindowsTest::exportWritesTheWorkingListAndTheSearchResults() {
    auto ui = InstallScriptedUi();
    auto host = OpenHost(12, true);
    MainWindow main(*host, ":memory:");
    ShowActive(main);
    std::multiset<std::string> listed;
    for (int r = 0; r < main.WorkingListModel()->rowCount(); ++r)
        listed.insert(main.WorkingListModel()
                          ->data(main.WorkingListModel()->index(r, 1))
                          .toString()
                          .toStdString());
    QCOMPARE(listed.size(), std::size_t{12});

    ActionNamed(&main, "actExport")->trigger();
    auto* dialog = main.findChild<ExportDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->Ids().size(), std::size_t{12});
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const struct {
        const char* format;
        const char* file;
    } formats[] = {{"CSV", "list.csv"},
                   {"GeoJSON", "list.geojson"},
                   {"GeoPackage", "list.gpkg"},
                   {"Shapefile", "list.shp"}};
    for (const auto& f : formats) {
        dialog->FormatBox()->setCurrentText(f.format);
        // The file name follows the format's extension.
        QVERIFY(dialog->PathEdit()->text().endsWith(QFileInfo(f.file).suffix()));
        const QString path = dir.filePath(f.file);
        dialog->PathEdit()->setText(path);
        long ticks = 0;
        auto tick = connect(dialog, &ExportDialog::progressed, [&](long, long) { ++ticks; });
        QTest::mouseClick(dialog->ExportButton(), Qt::LeftButton);
        disconnect(tick);
        QVERIFY2(dialog->Status()->text().startsWith("12 managed area(s) written"),
                 qPrintable(dialog->Status()->text()));
        QVERIFY(ticks >= 12);
        QCOMPARE(dialog->Progress()->value(), 12);
        QCOMPARE(NamesIn(path.toStdString(), QString(f.format) == "Shapefile"), listed);
    }
    dialog->PathEdit()->setFocus();
    QTest::keyClick(dialog->PathEdit(), Qt::Key_F1);
    QCOMPARE(LastHelpPage(*ui), std::string("exchange.html"));
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());

    // From the search window: the selected results, or every result when none is.
    const std::string first = *listed.begin();
    main.FindManagedAreas();
    RecordWindow* find = main.RecordWindows().value(0);
    QVERIFY(find);
    auto& form = dynamic_cast<Form&>(*find->HostedControl());
    auto* criterion = WidgetOf<QLineEdit>(*form.Find("txtManagedAreaName"));
    QVERIFY(criterion);
    QTest::mouseClick(criterion, Qt::LeftButton);
    QTest::keyClicks(criterion, QString::fromStdString(first.substr(0, first.find(' '))));
    QTest::mouseClick(WidgetOf<QPushButton>(*form.Find("cmdFindNow")), Qt::LeftButton);
    auto& grid = dynamic_cast<VSFlexGrid&>(*form.Find("flexResults"));
    auto* table = WidgetOf<QTableView>(grid);
    QVERIFY(table && grid.Rows() >= 2);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(0, 1)).center());
    QCOMPARE(grid.SelectedRows(), 1L);
    ActionNamed(find, "actExportResults")->trigger();
    dialog = main.findChild<ExportDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->Ids(), std::vector<long>{std::stol(grid.TextMatrix(1, 0))});
    dialog->FormatBox()->setCurrentText("GeoJSON");
    const QString one = dir.filePath("one.geojson");
    dialog->PathEdit()->setText(one);
    QTest::mouseClick(dialog->ExportButton(), Qt::LeftButton);
    QVERIFY2(dialog->Status()->text().startsWith("1 managed area(s) written"),
             qPrintable(dialog->Status()->text()));
    QCOMPARE(NamesIn(one.toStdString(), false).size(), std::size_t{1});
    dialog->close();

    QTest::mouseClick(WidgetOf<QPushButton>(*form.Find("cmdDeselectAll")), Qt::LeftButton);
    QCOMPARE(grid.SelectedRows(), 0L);
    ActionNamed(find, "actExportResults")->trigger();
    dialog = main.findChild<ExportDialog*>();
    QVERIFY(dialog);
    QCOMPARE(static_cast<long>(dialog->Ids().size()), grid.Rows() - grid.FixedRows());
    dialog->close();
    QVERIFY(ui->Failures().empty());
    main.CloseAllWindows();
}

// Cancel while the export runs stops it and keeps the dialog open; the file chosen keeps
// what it held, and no part-written file is left beside it.
void ExchangeWindowsTest::cancelledExportLeavesTheFileAsItWas() {
    auto ui = InstallScriptedUi();
    auto host = OpenHost(12, false);
    std::vector<long> ids;
    for (auto rs = host->Db()->Query("SELECT managed_area_id AS id FROM ma"); !rs->EOF();
         rs->MoveNext())
        ids.push_back(CLng(rs->Value("id")));
    QCOMPARE(ids.size(), std::size_t{12});
    ExportDialog dialog(*host->Db(), ids, "the working list");
    ShowActive(dialog);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char* format : {"GeoPackage", "Shapefile"}) {
        dialog.FormatBox()->setCurrentText(format);
        const QString path =
            dir.filePath(QString("areas.") + (QString(format) == "Shapefile" ? "shp" : "gpkg"));
        dialog.PathEdit()->setText(path);
        QTest::mouseClick(dialog.ExportButton(), Qt::LeftButton);
        QVERIFY2(dialog.Status()->text().startsWith("12 managed area(s) written"),
                 qPrintable(dialog.Status()->text()));
        const QStringList finished = QDir(dir.path()).entryList(QDir::Files);
        const auto names = NamesIn(path.toStdString(), QString(format) == "Shapefile");
        QCOMPARE(names.size(), std::size_t{12});

        auto cancel = connect(&dialog, &ExportDialog::progressed, [&](long done, long) {
            if (done == 3) QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
        });
        QTest::mouseClick(dialog.ExportButton(), Qt::LeftButton);
        disconnect(cancel);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.Status()->text(),
                 QString("Cancelled: nothing was written to %1.").arg(path));
        QCOMPARE(dialog.CancelButton()->text(), QString("Close"));
        QVERIFY(dialog.ExportButton()->isEnabled());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), finished);
        QCOMPARE(NamesIn(path.toStdString(), QString(format) == "Shapefile"), names);
    }
    QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

void ExchangeWindowsTest::importPreviewsMapsChecksAndImportsWholeRecords() {
    auto ui = InstallScriptedUi();
    auto host = OpenHost(5, false);
    MainWindow main(*host, ":memory:");
    ShowActive(main);
    QCOMPARE(main.WorkingListModel()->rowCount(), 0);
    const long before = Count(*host, "SELECT COUNT(*) FROM ma");

    // The names are in a column the import does not know; the first column has others.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string path = dir.filePath("areas.csv").toStdString();
    std::ofstream(path, std::ios::binary) << "ManagedAreaName,MACodeBcd,State,AreaName\r\n"
                                             "Wrong one,W1,MN,Alder Marsh\r\n"
                                             "Wrong two,W2,MN,Birch Fen\r\n"
                                             "Wrong three,W3,Atlantis,Cedar Bog\r\n"
                                             "Wrong four,W4,MN,Dune Flats\r\n";

    ActionNamed(&main, "actImport")->trigger();
    auto* w = main.findChild<ImportWindow*>();
    QVERIFY(w && w->isVisible());
    QVERIFY(!w->CheckButton()->isEnabled());
    w->PathEdit()->setText(QString::fromStdString(path));
    QTest::keyClick(w->PathEdit(), Qt::Key_Return);
    QTableWidget* preview = w->Preview();
    QCOMPARE(preview->columnCount(), 4);
    QCOMPARE(preview->rowCount(), 5);
    QCOMPARE(preview->horizontalHeaderItem(3)->text(), QString("AreaName"));
    QCOMPARE(Cell(preview, 1, 3), QString("Alder Marsh"));
    QCOMPARE(Cell(preview, 3, 2), QString("Atlantis"));
    QCOMPARE(w->MappingOf(0)->currentText(), QString("ManagedAreaName"));
    QCOMPARE(w->MappingOf(1)->currentText(), QString("MACodeBcd"));
    QCOMPARE(w->MappingOf(2)->currentText(), QString("State"));
    QCOMPARE(w->MappingOf(3)->currentText(), QString(ImportWindow::kIgnore));
    w->MappingOf(3)->setCurrentText("ManagedAreaName");
    w->MappingOf(0)->setCurrentText(ImportWindow::kIgnore);

    // The check writes nothing and names the bad row.
    QTest::mouseClick(w->CheckButton(), Qt::LeftButton);
    QCOMPARE(w->Summary()->text(),
             QString("Check: 4 read, 3 would be imported, 1 rejected. Ignored: ManagedAreaName."));
    QTableWidget* rejected = w->RejectedList();
    QCOMPARE(rejected->rowCount(), 1);
    QCOMPARE(Cell(rejected, 0, 0), QString("3"));
    QCOMPARE(Cell(rejected, 0, 1), QString("State"));
    QCOMPARE(Cell(rejected, 0, 2), QString("MGA911"));
    QVERIFY(!Cell(rejected, 0, 3).isEmpty());
    QCOMPARE(Cell(rejected, 0, 4), QString("Atlantis"));
    QCOMPARE(Count(*host, "SELECT COUNT(*) FROM ma"), before);
    QCOMPARE(main.WorkingListModel()->rowCount(), 0);

    // Cancelled after the first record: that one is there in whole, the others not at all.
    auto cancel = connect(w, &ImportWindow::progressed, [&](long done, long) {
        if (done >= 1) QTest::mouseClick(w->CancelButton(), Qt::LeftButton);
    });
    QTest::mouseClick(w->ImportButton(), Qt::LeftButton);
    disconnect(cancel);
    QCOMPARE(w->Summary()->text(),
             QString("4 read, 1 imported, 1 rejected (cancelled). Ignored: ManagedAreaName."));
    QVERIFY(w->isVisible());
    QCOMPARE(Count(*host, "SELECT COUNT(*) FROM ma"), before + 1);
    QCOMPARE(Count(*host, "SELECT COUNT(*) FROM ma WHERE managed_area_name = 'Alder Marsh' AND "
                          "macode_bcd = 'W1' AND d_state_id IS NOT NULL AND shape_id IN "
                          "(SELECT shape_id FROM shape)"),
             1L);
    QCOMPARE(main.WorkingListModel()->rowCount(), 1);

    // Again: the first is in the database now, the rest go in and join the working list.
    QTest::mouseClick(w->ImportButton(), Qt::LeftButton);
    QCOMPARE(w->Summary()->text(),
             QString("4 read, 2 imported, 2 rejected. Ignored: ManagedAreaName."));
    QCOMPARE(Count(*host, "SELECT COUNT(*) FROM ma"), before + 3);
    QCOMPARE(Count(*host, "SELECT COUNT(*) FROM ma WHERE managed_area_name LIKE 'Wrong%'"), 0L);
    RecordsetModel* list = main.WorkingListModel();
    QCOMPARE(list->rowCount(), 3);
    std::set<QString> names;
    for (int r = 0; r < list->rowCount(); ++r)
        names.insert(list->data(list->index(r, 1)).toString());
    QCOMPARE(names, (std::set<QString>{"Alder Marsh", "Birch Fen", "Dune Flats"}));

    QVERIFY(w->ReportButton()->isEnabled());
    const QString report = dir.filePath("rejected.csv");
    QVERIFY(w->SaveReport(report));
    QFile saved(report);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(saved.readAll()).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QString("row,column,code,message,value"));
    QVERIFY(lines[1].startsWith("1,MACodeBcd,MGA012,"));
    QVERIFY(lines[2].startsWith("3,State,MGA911,") && lines[2].endsWith(",Atlantis"));

    preview->setFocus();
    QTest::keyClick(preview, Qt::Key_F1);
    QCOMPARE(LastHelpPage(*ui), std::string("exchange.html"));
    QVERIFY(ui->Failures().empty());
    w->close();
}

} // namespace zelk::view::testing
