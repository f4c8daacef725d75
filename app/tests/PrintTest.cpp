#include "PrintTest.h"

#include "ViewTestSupport.h"
#include "host/ReferenceHost.h"
#include "map/MapImage.h"
#include "platform/Conv.h"
#include "platform/ReportDocument.h"
#include "platform/ui/Menu.h"
#include "shell/MainWindow.h"
#include "shell/RecordWindow.h"
#include "shell/RecordsetModel.h"
#include "view/ReportPrinter.h"
#include "zelk/ManagedAreaDetails.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>

namespace zelk::view::testing {

namespace {

std::string Db1(host::ReferenceHost& host, const std::string& sql) {
    auto rs = host.Db()->Query(sql);
    return rs->EOF() ? std::string("<none>") : CStr(rs->GetFields().Item(std::size_t{0}).Value());
}

// What a PDF reader finds in the file, as poppler's pdftotext gives it.
QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    if (!p.waitForFinished(30000)) return "<pdftotext did not finish>";
    return QString::fromUtf8(p.readAllStandardOutput());
}

// How many pictures the PDF holds, as poppler's pdfimages lists them.
int PdfImageCount(const QString& pdf) {
    QProcess p;
    p.start("pdfimages", {"-list", pdf});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return -1;
    const QStringList lines =
        QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    return static_cast<int>(lines.size()) - 2; // two heading lines
}

} // namespace

void PrintTest::cleanup() {
    SetUiDriver(nullptr);
}

void PrintTest::aRecordPrintsEveryPageAsShown() {
    auto ui = InstallScriptedUi();
    auto host = host::ReferenceHost::Open({":memory:", "ann", 60, 3, true, true});
    // A record with owners, counties and elements.
    const long id = std::stol(Db1(
        *host, "SELECT m.managed_area_id FROM ma m WHERE EXISTS (SELECT 1 FROM managed_area_owner "
               "o WHERE o.managed_area_id = m.managed_area_id) AND EXISTS (SELECT 1 FROM "
               "managed_area_county c WHERE c.managed_area_id = m.managed_area_id) AND EXISTS "
               "(SELECT 1 FROM element_managed_area e WHERE e.managed_area_id = "
               "m.managed_area_id) AND EXISTS (SELECT 1 FROM shape_geometry g WHERE g.shape_id = "
               "m.shape_id) ORDER BY m.managed_area_id LIMIT 1"));
    const std::string where = " WHERE managed_area_id = " + std::to_string(id);
    const std::string name = Db1(*host, "SELECT managed_area_name FROM ma" + where);
    const std::string owner =
        Db1(*host, "SELECT owner_name FROM managed_area_owner" + where + " ORDER BY 1");
    const std::string county = Db1(*host, "SELECT d.county_name FROM managed_area_county c JOIN "
                                          "d_county d ON d.d_county_id = c.d_county_id WHERE "
                                          "c.managed_area_id = " +
                                              std::to_string(id) + " ORDER BY 1");
    const std::string element = Db1(
        *host, "SELECT s.scientific_name FROM element_managed_area e JOIN element_subnational es "
               "ON es.element_subnational_id = e.element_subnational_id JOIN scientific_name s ON "
               "s.scientific_name_id = es.sname_id WHERE e.managed_area_id = " +
                   std::to_string(id) + " ORDER BY 1");

    MainWindow main(*host, ":memory:");
    ShowActive(main);
    // The user opens the record from the working list.
    RecordsetModel* list = main.WorkingListModel();
    int row = 0;
    while (row < list->rowCount() && list->IdAt(row) != id)
        ++row;
    QVERIFY(row < list->rowCount());
    main.WorkingListView()->setFocus();
    main.WorkingListView()->setCurrentIndex(main.WorkingListView()->model()->index(row, 0));
    QTest::keyClick(main.WorkingListView(), Qt::Key_Return);
    QApplication::processEvents();
    auto* editor = dynamic_cast<editor::ManagedAreaDetails*>(
        main.RecordWindows().isEmpty() ? nullptr
                                       : main.RecordWindows().front()->HostedControl().get());
    QVERIFY(editor);
    // An edit not saved yet is printed as shown, and said to be unsaved.
    editor->ctlMAName->UserType(name + " (edited)");
    editor->mnuFilePrint->UserClick();
    const ReportDocument* report = ui->LastReport();
    QVERIFY(report);
    QCOMPARE(report->sections.size(), std::size_t{editor::PageCount});
    // Every field and table is headed as the user reads it, never by a control's inner name.
    const QRegularExpression innerName("^[A-Za-z]*([a-z][A-Z]|[A-Z]{2}[a-z])[A-Za-z]*$");
    for (const ReportSection& s : report->sections) {
        for (const ReportField& f : s.fields)
            QVERIFY2(!innerName.match(QString::fromStdString(f.label)).hasMatch(), f.label.c_str());
        for (const ReportTable& t : s.tables)
            QVERIFY2(!innerName.match(QString::fromStdString(t.caption)).hasMatch(),
                     t.caption.c_str());
    }
    const auto identifiers =
        std::find_if(report->sections.begin(), report->sections.end(),
                     [](const ReportSection& s) { return s.heading == "Identifiers"; });
    QVERIFY(identifiers != report->sections.end());
    QVERIFY(std::any_of(identifiers->fields.begin(), identifiers->fields.end(),
                        [](const ReportField& f) { return f.label == "Major MA name:"; }));

    QTemporaryDir dir;
    const QString pdf = dir.filePath("record.pdf");
    QVERIFY(WriteReportPdf(*report, pdf));
    const QString text = PdfText(pdf).simplified();
    for (const std::string& expected :
         {name + " (edited)", std::string("Unsaved changes"), owner, county,
          std::string("Locators"), std::string("Other Spatial Attr")})
        QVERIFY2(text.contains(QString::fromStdString(expected).simplified()), expected.c_str());
    QVERIFY2(text.contains(QString::fromStdString(element)), element.c_str());
    // A list of one column, the ticked counties, prints its rows.
    QVERIFY2(text.contains(QString::fromStdString("Ticked " + county).simplified()),
             qPrintable(text));
    QVERIFY(text.contains("Scientific Name"));

    // The Locators page carries the shape's map, drawn by the host from the shape's geometry
    // and left out when there is none.
    const long shape = std::stol(Db1(*host, "SELECT shape_id FROM ma" + where));
    const std::string geometryOf =
        "SELECT COUNT(*) FROM shape_geometry WHERE shape_id = " + std::to_string(shape);
    QCOMPARE(Db1(*host, geometryOf), std::string("1"));
    auto locators = std::find_if(report->sections.begin(), report->sections.end(),
                                 [](const ReportSection& s) { return s.heading == "Locators"; });
    QVERIFY(locators != report->sections.end());
    QVERIFY(std::find(locators->images.begin(), locators->images.end(), MapPicture(shape)) !=
            locators->images.end());
    QCOMPARE(PdfImageCount(pdf), 0); // no map source: nothing drawn, nothing broken
    ShowMapsInReports(host->Db());
    const QString mapped = dir.filePath("mapped.pdf");
    QVERIFY(WriteReportPdf(*report, mapped));
    QCOMPARE(PdfImageCount(mapped), 1);
    host->Db()->Execute("DELETE FROM shape_geometry WHERE shape_id = " + std::to_string(shape));
    const QString unmapped = dir.filePath("unmapped.pdf");
    QVERIFY(WriteReportPdf(*report, unmapped));
    QCOMPARE(PdfImageCount(unmapped), 0);
    QVERIFY(PdfText(unmapped).contains("Locators"));
    ShowMapsInReports(nullptr);

    // The working list prints as a table of its rows.
    main.PrintWorkingList();
    QVERIFY(ui->LastReport() && ui->LastReport()->title == "Working list");
    QCOMPARE(ui->LastReport()->sections.at(0).tables.at(0).rows.size(),
             static_cast<std::size_t>(host->WorkingList()->RecordCount()));
    ui->QueueAnswer(vb::No); // closing the window lets the edit go
}

} // namespace zelk::view::testing
