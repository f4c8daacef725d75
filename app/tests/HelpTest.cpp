#include "HelpTest.h"

#include "ViewTestSupport.h"
#include "host/ReferenceHost.h"
#include "host/app/MessageCatalog.h"
#include "host/help/HelpTopics.h"
#include "map/MapWindow.h"
#include "map/MapWindows.h"
#include "platform/Conv.h"
#include "platform/Strings.h"
#include "platform/ui/TabControl.h"
#include "shell/MainWindow.h"
#include "shell/RecordWindow.h"
#include "shell/RecordsetModel.h"
#include "shell/UsersWindow.h"
#include "view/HelpWindow.h"
#include "zelk/ManagedAreaDetails.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>

namespace zelk::view::testing {

namespace {

// The page the last help request asked for.
std::string LastHelpPage(const ScriptedUiDriver& ui) {
    for (auto it = ui.Log().rbegin(); it != ui.Log().rend(); ++it)
        if (it->kind == "Help") return host::help::PageOfTopic(std::stol(it->title));
    return "<no help asked>";
}

void PressF1(QWidget* w) {
    QVERIFY(w);
    QTest::keyClick(w, Qt::Key_F1);
    QApplication::processEvents();
}

} // namespace

void HelpTest::cleanup() {
    if (HelpWindow* w = HelpWindow::Current()) delete w;
    SetUiDriver(nullptr);
}

void HelpTest::f1OpensThePageOfTheWindowAndOfTheRecordPage() {
    auto ui = InstallScriptedUi();
    auto host = host::ReferenceHost::Open({":memory:", "ann", 20, 3, true, true});
    MainWindow main(*host, ":memory:");
    ShowActive(main);

    main.WorkingListView()->setFocus();
    PressF1(main.WorkingListView());
    QCOMPARE(LastHelpPage(*ui), std::string("working-list.html"));

    // Each page of a record names its own help page.
    main.WorkingListView()->setCurrentIndex(main.WorkingListModel()->index(0, 0));
    QTest::keyClick(main.WorkingListView(), Qt::Key_Return);
    QApplication::processEvents();
    RecordWindow* record = nullptr;
    for (RecordWindow* w : main.RecordWindows())
        if (w->HostedControl()->TypeName() == "ManagedAreaDetails") record = w;
    QVERIFY(record);
    auto& editor = dynamic_cast<Form&>(*record->HostedControl());
    auto& tabs = editor.Get<vaTabPro>("tabManagedAreas");
    QTabBar* bar = WidgetOf<QWidget>(tabs)->findChild<QTabBar*>();
    QVERIFY(bar);
    for (int page = 0; page < bar->count(); ++page) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
        QApplication::processEvents();
        PressF1(bar);
        const std::string shown = LastHelpPage(*ui);
        const std::string caption = Replace(tabs.TabCaption(page), "&", "");
        QVERIFY2(host::help::PageTitle(shown).find(caption) != std::string::npos,
                 (shown + " for the page " + caption).c_str());
    }
    // A coordinate field has a page of its own.
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QApplication::processEvents();
    QWidget* north = WidgetOf<QWidget>(*editor.Find("txtNorth"));
    QTest::mouseClick(north, Qt::LeftButton);
    PressF1(north);
    QCOMPARE(LastHelpPage(*ui), std::string("coordinates.html"));

    // The search window.
    main.FindManagedAreas();
    QApplication::processEvents();
    RecordWindow* search =
        qobject_cast<RecordWindow*>(main.findChild<QMdiArea*>()->activeSubWindow());
    QVERIFY(search && search->HostedControl()->TypeName() == "ManagedAreaSearch");
    PressF1(search);
    QCOMPARE(LastHelpPage(*ui), std::string("search.html"));

    // The map of a record with a boundary, and the users window.
    MapWindows maps(main.Area());
    auto drawn = host->Db()->Query("SELECT MIN(ma.managed_area_id) AS id FROM ma JOIN "
                                   "shape_geometry g ON g.shape_id = ma.shape_id");
    main.OpenDetails(CLng(drawn->Value("id")));
    auto* details = dynamic_cast<editor::ManagedAreaDetails*>(
        main.RecordWindows().back()->HostedControl().get());
    QVERIFY(details);
    details->mnuToolsViewShape->UserClick();
    QApplication::processEvents();
    QMdiSubWindow* front = main.Area()->activeSubWindow();
    QVERIFY(front && qobject_cast<MapWindow*>(front->widget()));
    PressF1(front->widget());
    QCOMPARE(LastHelpPage(*ui), std::string("map.html"));

    UsersWindow* users = main.ShowUsers();
    QApplication::processEvents();
    users->List()->setFocus();
    PressF1(users->List());
    QCOMPARE(LastHelpPage(*ui), std::string("users.html"));
    users->close();
}

void HelpTest::everyLinkOfEveryPageOpensAPage() {
    const QRegularExpression href("href=\"([^\"]+)\"");
    for (const std::string& name : host::help::PageNames()) {
        const long topic = host::help::TopicOfPage(name);
        QVERIFY2(topic > 0, ("no help context opens " + name).c_str());
        HelpWindow::ShowTopic("", 1, topic);
        HelpWindow* w = HelpWindow::Current();
        QVERIFY(w);
        QCOMPARE(w->Page().toStdString(), name);
        QVERIFY(w->Text().contains(QString::fromStdString(host::help::PageTitle(name))));
        const QString text = QString::fromStdString(host::help::PageText(name));
        for (auto m = href.globalMatch(text); m.hasNext();) {
            const QString target = m.next().captured(1);
            QVERIFY2(!host::help::PageText(target.toStdString()).empty(),
                     qPrintable(QString::fromStdString(name) + " links to " + target));
            w->OpenLink(target);
            QCOMPARE(w->Page(), target);
            HelpWindow::ShowTopic("", 1, topic);
        }
    }
    // The messages page lists every code with what to do.
    const std::string messages = host::help::PageText("messages.html");
    for (const auto& code : host::MessageCatalog::Default().Codes()) {
        const auto row = messages.find("<a name=\"" + code + "\">");
        QVERIFY2(row != std::string::npos, code.c_str());
        const auto end = messages.find("</tr>", row);
        QVERIFY2(messages.compare(end - 9, 9, "<td></td>") != 0, (code + " has no advice").c_str());
    }
}

} // namespace zelk::view::testing
