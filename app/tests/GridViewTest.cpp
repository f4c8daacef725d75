// The grid's view: cells as the model has them, edits and selection as the model's actions.
#include "GridViewTest.h"

#include "ViewTestSupport.h"
#include "platform/Conv.h"
#include "platform/ui/VSFlexGrid.h"
#include "view/Convert.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

#include <string>
#include <vector>

namespace zelk::view::testing {

namespace {
// A form with a 3-column grid: a header row, a name, a Boolean and a combo-list column.
VSFlexGrid* MakeGrid(Form& form) {
    auto* g = form.Add<VSFlexGrid>("grdOwners").get();
    g->Move(120, 120, 6000, 3000);
    g->SetCols(3);
    g->SetRows(4);
    g->SetFixedRows(1);
    g->SetFixedCols(0);
    g->SetTextMatrix(0, 0, "Name");
    g->SetTextMatrix(0, 1, "Active");
    g->SetTextMatrix(0, 2, "Type");
    g->SetColDataType(1, flex::TypeBoolean);
    g->SetColComboList(2, "#1;Owner|#2;Agency");
    const char* names[] = {"Alder", "Birch", "Cedar"};
    for (long r = 1; r < 4; ++r) {
        g->SetTextMatrix(r, 0, names[r - 1]);
        g->SetTextMatrix(r, 1, r == 2 ? "-1" : "0");
        g->SetTextMatrix(r, 2, "1");
    }
    g->SetEditable(flex::EDKbdMouse);
    return g;
}

QLineEdit* OpenEditor(QTableView* table, const QModelIndex& at) {
    table->setCurrentIndex(at);
    table->edit(at);
    QApplication::processEvents();
    return table->viewport()->findChild<QLineEdit*>();
}
} // namespace

void GridViewTest::init() {
    ui_ = InstallScriptedUi();
}

void GridViewTest::cleanup() {
    SetUiDriver(nullptr);
}

void GridViewTest::cellsShowTheModel() {
    auto form = std::make_shared<Form>("frmTest");
    VSFlexGrid* g = MakeGrid(*form);
    g->SetColWidth(0, 1500);
    g->SetColHidden(2, true);
    g->SetRowHidden(3, true);
    g->SetCell(flex::cpFontBold, 1, 0, -1, -1, Variant(true));
    g->SetCell(flex::cpBackColor, 2, 0, -1, -1, Variant(0x0000ff)); // red
    FormWidget view(form);
    ShowActive(view);
    auto* table = WidgetOf<QTableView>(*g);
    QVERIFY(table);
    QAbstractItemModel* m = table->model();

    // The single fixed row is the header; data rows follow.
    QCOMPARE(m->rowCount(), 3);
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QString("Name"));
    QVERIFY(table->horizontalHeader()->isVisible());
    QCOMPARE(m->index(0, 0).data().toString(), QString("Alder"));
    QCOMPARE(m->index(1, 1).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(m->index(0, 1).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(!m->index(0, 1).data().isValid());
    QCOMPARE(m->index(0, 2).data().toString(), QString("Owner")); // the id's text
    QVERIFY(m->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    QCOMPARE(m->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 0, 0));
    QCOMPARE(table->columnWidth(0), 100);
    QVERIFY(table->isColumnHidden(2));
    QVERIFY(table->isRowHidden(2));

    // Model changes show: text in place, a new row by a reset.
    g->SetTextMatrix(1, 0, "Beech");
    QCOMPARE(m->index(0, 0).data().toString(), QString("Beech"));
    g->AddItem("Dogwood\t0\t2");
    QCOMPARE(m->rowCount(), 4);
    QCOMPARE(m->index(3, 0).data().toString(), QString("Dogwood"));

    // The check box toggles the model's cell.
    QVERIFY(m->setData(m->index(0, 1), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(Q(g->TextMatrix(1, 1)), QString("-1"));

    // Header clicks sort in the model, the second one the other way round.
    table->horizontalHeader()->sectionClicked(0);
    table->horizontalHeader()->sectionClicked(0);
    QCOMPARE(Q(g->TextMatrix(1, 0)), QString("Dogwood"));
    QCOMPARE(m->index(0, 0).data().toString(), QString("Dogwood"));
}

void GridViewTest::anEditRunsTheModelsEvents() {
    auto form = std::make_shared<Form>("frmTest");
    VSFlexGrid* g = MakeGrid(*form);
    std::vector<std::string> log;
    for (const char* e : {"BeforeEdit", "StartEdit", "ValidateEdit", "AfterEdit"})
        g->On(e, [&log, e](Args&) { log.push_back(e); });
    FormWidget view(form);
    ShowActive(view);
    auto* table = WidgetOf<QTableView>(*g);
    QVERIFY(table);

    QLineEdit* editor = OpenEditor(table, table->model()->index(1, 0));
    QVERIFY(editor);
    editor->setText("Bamboo");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    QCOMPARE(Q(g->TextMatrix(2, 0)), QString("Bamboo"));
    QCOMPARE(g->Row(), 2L);
    const std::vector<std::string> want = {"BeforeEdit", "StartEdit", "ValidateEdit", "AfterEdit"};
    QVERIFY(log == want);
    QCOMPARE(table->model()->index(1, 0).data().toString(), QString("Bamboo"));

    // A combo-list cell offers the texts and stores the id of the one picked.
    const QModelIndex type = table->model()->index(0, 2);
    table->setCurrentIndex(type);
    table->edit(type);
    QApplication::processEvents();
    auto* combo = table->viewport()->findChild<QComboBox*>();
    QVERIFY(combo);
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(1), QString("Agency"));
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    QApplication::processEvents();
    QCOMPARE(Q(g->TextMatrix(1, 2)), QString("2"));
    QCOMPARE(type.data().toString(), QString("Agency"));
}

void GridViewTest::aRefusedEditKeepsTheOldValue() {
    auto form = std::make_shared<Form>("frmTest");
    VSFlexGrid* g = MakeGrid(*form);
    g->On("ValidateEdit", [g](Args& a) {
        if (g->EditText().empty()) a[2] = Variant(true); // a name is required
    });
    FormWidget view(form);
    ShowActive(view);
    auto* table = WidgetOf<QTableView>(*g);
    QVERIFY(table);

    const QModelIndex at = table->model()->index(0, 0);
    QLineEdit* editor = OpenEditor(table, at);
    QVERIFY(editor);
    editor->clear();
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    QCOMPARE(Q(g->TextMatrix(1, 0)), QString("Alder"));
    QCOMPARE(at.data().toString(), QString("Alder"));
    // The editor stays open for the user to correct the entry.
    QCOMPARE(table->viewport()->findChild<QLineEdit*>(), editor);
    QVERIFY(editor->isVisible());
    editor->setText("Aspen");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    QCOMPARE(Q(g->TextMatrix(1, 0)), QString("Aspen"));
}

void GridViewTest::listBoxMultiSelectReachesTheModel() {
    auto form = std::make_shared<Form>("frmTest");
    VSFlexGrid* g = MakeGrid(*form);
    g->SetSelectionMode(flex::SelListBox);
    FormWidget view(form);
    ShowActive(view);
    auto* table = WidgetOf<QTableView>(*g);
    QVERIFY(table);
    QAbstractItemModel* m = table->model();

    auto click = [&](int row, Qt::KeyboardModifiers mods) {
        QRect r = table->visualRect(m->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, mods, r.center());
    };
    click(0, Qt::NoModifier);
    click(2, Qt::ControlModifier);
    QCOMPARE(g->SelectedRows(), 2L);
    QCOMPARE(g->SelectedRow(0), 1L);
    QCOMPARE(g->SelectedRow(1), 3L);
    QCOMPARE(g->Row(), 3L);

    // The model's own selection shows in the view.
    g->SetIsSelected(2, true);
    QCOMPARE(table->selectionModel()->selectedRows().size(), qsizetype(3));
    QVERIFY(table->selectionModel()->isRowSelected(1));
}

void GridViewTest::aDoubleClickReachesTheModel() {
    auto form = std::make_shared<Form>("frmTest");
    VSFlexGrid* g = MakeGrid(*form);
    g->SetEditable(flex::EDNone);
    g->SetSelectionMode(flex::SelByRow);
    std::vector<std::string> log;
    g->On("DblClick", [&](Args&) {
        log.push_back(std::to_string(g->MouseRow()) + "," + std::to_string(g->MouseCol()) + " " +
                      std::to_string(g->Row()));
    });
    FormWidget view(form);
    ShowActive(view);
    auto* table = WidgetOf<QTableView>(*g);
    QVERIFY(table);
    // What the window system sends for a double-click.
    auto doubleClick = [](QWidget* w, QPoint at) {
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, at);
        QApplication::processEvents();
    };

    // A data cell: the first click selects its row, the event names the cell.
    doubleClick(table->viewport(), table->visualRect(table->model()->index(1, 2)).center());
    QCOMPARE(log.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(log[0]), QString("2,2 2"));

    // The header row is the grid's fixed row 0.
    QHeaderView* header = table->horizontalHeader();
    doubleClick(header->viewport(),
                QPoint(header->sectionViewportPosition(0) + 20, header->height() / 2));
    QCOMPARE(log.size(), std::size_t(2));
    QCOMPARE(QString::fromStdString(log[1]).left(3), QString("0,0"));
}

void GridViewTest::aLargeGridIsReadInPlace() {
    auto form = std::make_shared<Form>("frmTest");
    auto* g = form->Add<VSFlexGrid>("grdBig").get();
    g->Move(0, 0, 6000, 3000);
    g->SetRedraw(0);
    g->SetCols(4);
    g->SetRows(100001);
    g->SetFixedRows(1);
    for (long r = 1; r < g->Rows(); r += 997)
        g->SetTextMatrix(r, 0, std::to_string(r));
    g->SetRedraw(1);
    FormWidget view(form);
    ShowActive(view);
    auto* table = WidgetOf<QTableView>(*g);
    QVERIFY(table);
    QCOMPARE(table->model()->rowCount(), 100000);
    QCOMPARE(table->model()->index(99700, 0).data().toString(), QString("99701"));
    g->SetTextMatrix(100000, 3, "last");
    QCOMPARE(table->model()->index(99999, 3).data().toString(), QString("last"));
}

} // namespace zelk::view::testing
