// The workbench around the controls: working list, record windows, modal forms.
#include "ShellTest.h"

#include "ViewTestSupport.h"
#include "host/ReferenceHost.h"
#include "host/app/WorkingListRows.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/StdControls.h"
#include "shell/Hosting.h"
#include "shell/MainWindow.h"
#include "shell/RecordWindow.h"
#include "shell/RecordsetModel.h"
#include "shell/WorkingListPanel.h"
#include "view/FormWindows.h"
#include "view/QtUiDriver.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QTableView>

namespace zelk::view::testing {

namespace {

void AddArea(Recordset& rs, int id, const char* name) {
    rs.AddNew();
    rs["ID"] = Variant(id);
    rs["managed_area_name"] = Variant(name);
    rs.Update();
}

// Stands in for the record editor: the members the workbench calls, and a name box.
class FakeDetails : public UserControl {
public:
    FakeDetails() : UserControl("", "ManagedAreaDetails") {
        SetFixedSize(6000, 3000);
        auto name = Add<TextBox>("txtManagedAreaName");
        name->Move(120, 120, 3000, 315);
        DefineMethod("InitDetails", [this](Args& a) {
            initArgs = a.size();
            return Variant();
        });
        DefineMethod("LoadData", [this](Args& a) {
            id = CLng(Arg(a, 0));
            if (Owner()) Owner()->SetCaption("MA - Oak Hollow (Managed Area)");
            return Variant();
        });
        DefineMethod("NewData", [this](Args&) {
            id = -5;
            return Variant(-5);
        });
        DefineMethod("GetID", [this](Args&) { return Variant(id); });
        DefineMethod("CanClose", [this](Args&) {
            ++asked;
            return Variant(canClose);
        });
        DefineMethod("Deactivate", [this](Args&) {
            ++deactivated;
            return Variant();
        });
    }
    std::size_t initArgs = 0;
    int id = -1, asked = 0, deactivated = 0;
    bool canClose = false;
};

std::weak_ptr<FakeDetails> lastDetails;

} // namespace

void ShellTest::cleanup() {
    ProgIdRegistry::Instance().Unregister(kDetailsProgId);
    SetUiDriver(nullptr);
}

void ShellTest::workingListShowsTheRecordsetRows() {
    auto ui = InstallScriptedUi();
    auto host = host::ReferenceHost::Open({":memory:", "ann", 0, 1, false});
    AddArea(*host->WorkingList(), 12, "Oak Hollow State Park");
    AddArea(*host->WorkingList(), 15, "Bear Creek Refuge");
    MainWindow main(*host, ":memory:");
    QTableView* list = main.WorkingListView();
    QAbstractItemModel* m = list->model();
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QString("ID"));
    QCOMPARE(m->data(m->index(1, 0)).toString(), QString("15"));
    QCOMPARE(m->data(m->index(0, 1)).toString(), QString("Oak Hollow State Park"));

    // The working list grows as the module appends to it; the host's cursor stays put.
    host->WorkingList()->MoveFirst();
    AddArea(*host->WorkingList(), 20, "Cedar Bog");
    host->WorkingList()->MoveFirst();
    main.RefreshWorkingList();
    QCOMPARE(m->rowCount(), 3);
    QCOMPARE(main.WorkingListModel()->IdAt(2), 20L);
    QCOMPARE(main.WorkingListModel()->RowOf(15), 1);
    QCOMPARE(CLng(host->WorkingList()->Value("ID")), 12);

    // A row taken off the list: the rows after it move up, and the cells shown are theirs.
    AddArea(*host->WorkingList(), 31, "Doña Ana Marsh");
    AddArea(*host->WorkingList(), 32, "bear Wallow");
    host::RemoveWorkingListRow(*host->WorkingList(), 15);
    host->WorkingList()->MoveFirst();
    main.RefreshWorkingList();
    QCOMPARE(m->rowCount(), 4);
    QCOMPARE(m->data(m->index(1, 1)).toString(), QString("Cedar Bog"));
    QCOMPARE(m->data(m->index(2, 0)).toString(), QString("31"));
    QCOMPARE(main.WorkingListModel()->RowOf(15), -1);
    QCOMPARE(main.WorkingListModel()->RowOf(32), 3);
    QCOMPARE(CLng(host->WorkingList()->Value("ID")), 12);

    // Sorted by name without regard to case; filtered the same way, beyond ASCII too.
    WorkingListPanel* panel = main.WorkingList();
    list->sortByColumn(1, Qt::AscendingOrder);
    QStringList names;
    for (int r = 0; r < m->rowCount(); ++r)
        names << m->data(m->index(r, 1)).toString();
    QCOMPARE(names,
             QStringList({"bear Wallow", "Cedar Bog", "Doña Ana Marsh", "Oak Hollow State Park"}));
    panel->FilterBox()->setText("DOÑA");
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(panel->IdAtViewRow(0), 31L);
    panel->FilterBox()->setText("BEAR w");
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(panel->IdAtViewRow(0), 32L);
    panel->FilterBox()->setText("20"); // numbers are found as shown
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(panel->IdAtViewRow(0), 20L);
    panel->FilterBox()->clear();
    QCOMPARE(m->rowCount(), 4);

    // Without the editor, opening a record says so.
    ProgIdRegistry::Instance().Unregister(kDetailsProgId);
    main.OpenDetails(12);
    QCOMPARE(main.RecordWindows().size(), 0);
    QVERIFY(ui->LastMessage() &&
            ui->LastMessage()->text.find("not available") != std::string::npos);
}

void ShellTest::recordWindowsAskCanCloseBeforeClosing() {
    auto ui = InstallScriptedUi();
    auto host = host::ReferenceHost::Open({":memory:", "ann", 0, 1, false});
    // In place of the real editor the host registered: one that records what it was asked.
    ProgIdRegistry::Instance().Register(kDetailsProgId, [] {
        auto d = std::make_shared<FakeDetails>();
        lastDetails = d;
        return d;
    });
    AddArea(*host->WorkingList(), 12, "Oak Hollow State Park");
    auto main = std::make_unique<MainWindow>(*host, ":memory:");
    ShowActive(*main);

    // Asked by the window manager, as the search does.
    host->WinMan()->Call("OpenDetails", {Variant(1), Variant(1), Variant("12"), Variant("")});
    QCOMPARE(main->RecordWindows().size(), 1);
    auto details = lastDetails.lock();
    QVERIFY(details);
    QCOMPARE(details->initArgs, std::size_t(6));
    QCOMPARE(details->id, 12);
    RecordWindow* w = main->RecordWindows()[0];
    QCOMPARE(w->windowTitle(), QString("MA - Oak Hollow (Managed Area)"));
    QVERIFY(WidgetOf<QWidget>(*details->Find("txtManagedAreaName")));

    // The same record again: the window comes forward, no second one.
    main->OpenDetails(12);
    QCOMPARE(main->RecordWindows().size(), 1);

    // Unsaved changes: neither the window nor the program closes.
    w->close();
    QCOMPARE(details->asked, 1);
    QCOMPARE(main->RecordWindows().size(), 1);
    QVERIFY(!main->close());
    QCOMPARE(details->asked, 2);
    QCOMPARE(details->deactivated, 0);

    details->canClose = true;
    QVERIFY(main->close());
    QCOMPARE(details->deactivated, 1);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(main->RecordWindows().size(), 0);
    details.reset();
    main.reset();
    QVERIFY(lastDetails.expired()); // nothing keeps the control once its window is gone
}

void ShellTest::formsShowAsDialogsAndWindows() {
    auto driver = std::make_shared<QtUiDriver>();
    SetUiDriver(driver);
    auto form = std::make_shared<Form>("frmGotoRecord");
    form->SetCaption("Go to Record");
    form->Move(0, 0, 4000, 2000);
    auto ok = form->Add<CommandButton>("cmdOK");
    ok->SetCaption("OK");
    ok->Move(120, 120, 1200, 375);
    ok->On("Click", [&](Args&) { form->Hide(); });
    bool shown = false;
    form->On("Activate", [&](Args&) {
        // Only the modal show has a person to press OK; the later modeless one does not.
        if (shown) return;
        shown = true;
        // The person presses OK once the dialog is up.
        QMetaObject::invokeMethod(
            qApp, [ok] { QTest::mouseClick(WidgetOf<QWidget>(*ok), Qt::LeftButton); },
            Qt::QueuedConnection);
    });
    form->Show(true);
    QVERIFY(shown);
    QVERIFY(!form->Visible());
    QVERIFY(!ControlView::Of(*ok)); // the dialog and its view are gone

    // Modeless: a window of its own, gone when the form unloads.
    form->Show(false);
    QPointer<FormWindow> window = FormWindow::Of(*form);
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), QString("Go to Record"));
    QVERIFY(form->Unload());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.isNull());
}

} // namespace zelk::view::testing
