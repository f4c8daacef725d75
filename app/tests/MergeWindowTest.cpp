#include "MergeWindowTest.h"

#include "ViewTestSupport.h"
#include "dialogs/frmMerge.h"
#include "host/help/HelpTopics.h"
#include "view/FormWindows.h"
#include "view/QtUiDriver.h"

#include <QAbstractItemModel>
#include <QPushButton>
#include <QTableView>

#include <functional>
#include <vector>

namespace zelk::view::testing {

namespace {

void WhenShown(std::function<void()> act) {
    QMetaObject::invokeMethod(qApp, std::move(act), Qt::QueuedConnection);
}

QPushButton* Button(QWidget* in, const QString& caption) {
    for (auto* b : in->findChildren<QPushButton*>())
        if (b->text() == caption && b->isVisible()) return b;
    return nullptr;
}

QString At(QTableView* t, int row, int col) {
    return t->model()->data(t->model()->index(row, col)).toString();
}

} // namespace

void MergeWindowTest::cleanup() {
    SetUiDriver(nullptr);
}

void MergeWindowTest::conflictsAreListedAndChosenThroughTheWidgets() {
    SetUiDriver(std::make_shared<QtUiDriver>());
    std::vector<bo::MergeConflict> conflicts(2);
    conflicts[0].field = "ManagedAreaName";
    conflicts[0].loaded = "Oak Hollow";
    conflicts[0].mine = "Birch Hollow";
    conflicts[0].theirs = "Alder Hollow";
    conflicts[0].changedBy = "ann";
    conflicts[0].changedOn = "2026-12-08 10:15:00";
    conflicts[1].kind = bo::MergeConflict::Kind::Row;
    conflicts[1].list = bo::ChildList::Owners;
    conflicts[1].row = "Private, Jane Doe";
    conflicts[1].loaded = "Private, Jane Doe";
    conflicts[1].mine = "Private, Jane Doe, note";
    conflicts[1].theirs = "(removed)";
    conflicts[1].changedBy = "ann";
    auto form = std::make_shared<dialogs::frmMerge>();
    form->LoadConflicts({{"Identifiers", "Name", &conflicts[0]},
                         {"Identifiers", "Owners: Private, Jane Doe", &conflicts[1]}});

    bool seen = false;
    long helpTopic = 0;
    WhenShown([&] {
        auto* dialog = qobject_cast<FormDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        seen = true;
        QCOMPARE(dialog->windowTitle(), QString("Merge Changes"));
        auto* table = dialog->findChild<QTableView*>();
        QVERIFY(table && table->isVisible());
        QCOMPARE(table->model()->rowCount(), 2);
        QCOMPARE(At(table, 0, dialogs::frmMerge::ColMine), QString("Birch Hollow"));
        QCOMPARE(At(table, 0, dialogs::frmMerge::ColTheirs), QString("Alder Hollow"));
        QCOMPARE(At(table, 1, dialogs::frmMerge::ColTheirs), QString("(removed)"));
        QCOMPARE(At(table, 1, dialogs::frmMerge::ColKeep), QString("Mine"));
        for (const char* caption :
             {"Keep &Mine", "Keep &Theirs", "&All Mine", "All T&heirs", "OK", "Cancel"})
            QVERIFY2(Button(dialog, caption), caption);

        // The owner's row is the other user's; F1 opens the page about merging.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(table->model()->index(1, 1)).center());
        QTest::mouseClick(Button(dialog, "Keep &Theirs"), Qt::LeftButton);
        QApplication::processEvents();
        QCOMPARE(At(table, 1, dialogs::frmMerge::ColKeep), QString("Theirs"));
        QCOMPARE(At(table, 0, dialogs::frmMerge::ColKeep), QString("Mine"));
        helpTopic = host::help::TopicFor(form.get());
        QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton);
    });
    form->Show(true);
    QVERIFY(seen);
    QVERIFY(form->Accepted());
    QVERIFY(!conflicts[0].takeTheirs);
    QVERIFY(conflicts[1].takeTheirs);
    QCOMPARE(host::help::PageOfTopic(helpTopic), std::string("merge.html"));
}

} // namespace zelk::view::testing
