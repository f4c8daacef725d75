// Model to widget and widget to model for the simple kinds, tabs, toolbar and menus.
#include "ControlViewsTest.h"

#include "ViewTestSupport.h"
#include "platform/Conv.h"
#include "platform/Strings.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"
#include "view/Convert.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTabBar>
#include <QToolBar>

namespace zelk::view::testing {

void ControlViewsTest::init() {
    ui_ = InstallScriptedUi();
}

void ControlViewsTest::cleanup() {
    SetUiDriver(nullptr);
}

void ControlViewsTest::typingReachesTheModelAndKeepsTheCaret() {
    auto form = std::make_shared<Form>("frmTest");
    auto txt = form->Add<TextBox>("txtName");
    txt->Move(120, 120, 3000, 315);
    int changes = 0;
    txt->On("Change", [&](Args&) {
        ++changes;
        txt->SetText(UCase(txt->Text())); // a handler that keeps the name upper case
    });
    FormWidget view(form);
    ShowActive(view);
    auto* edit = WidgetOf<QLineEdit>(*txt);
    QVERIFY(edit);

    QTest::keyClicks(edit, "oak");
    QCOMPARE(Q(txt->Text()), QString("OAK"));
    QCOMPARE(edit->text(), QString("OAK"));
    QVERIFY(changes >= 3);
    QVERIFY(txt->HasFocus());

    // Typing in the middle: the handler rewrites the text, the caret stays after the letter.
    edit->setCursorPosition(1);
    QTest::keyClicks(edit, "x");
    QCOMPARE(edit->text(), QString("OXAK"));
    QCOMPARE(edit->cursorPosition(), 2);

    // A locked box does not take the input.
    txt->SetLocked(true);
    QVERIFY(edit->isReadOnly());
    QVERIFY(!txt->UserType("zzz") && txt->Text() == "OXAK");

    // The user's selection is what the model's SelText answers.
    txt->SetLocked(false);
    edit->setSelection(1, 2);
    QCOMPARE(Q(txt->SelText()), QString("XA"));
}

void ControlViewsTest::modelChangesShowInTheWidgets() {
    auto form = std::make_shared<Form>("frmTest");
    auto lbl = form->Add<Label>("lblName");
    lbl->SetCaption("&Name:");
    lbl->SetTabIndex(0);
    auto txt = form->Add<TextBox>("txtName");
    txt->SetTabIndex(1);
    auto chk = form->Add<CheckBox>("chkMultiJuris");
    chk->SetTabIndex(2);
    auto lst = form->Add<ListBox>("lstCounties");
    lst->SetTabIndex(3);
    auto cbo = form->Add<ComboBox>("cboType");
    cbo->SetTabIndex(4);
    cbo->SetStyle(2);
    FormWidget view(form);
    ShowActive(view);
    QApplication::processEvents(); // the queued tab order and label access keys

    txt->Move(1500, 300, 3000, 450);
    QCOMPARE(WidgetOf<QLineEdit>(*txt)->geometry(), QRect(100, 20, 200, 30));
    txt->SetText("Oak Hollow");
    txt->SetToolTipText("The area's name");
    QCOMPARE(WidgetOf<QLineEdit>(*txt)->text(), QString("Oak Hollow"));
    QCOMPARE(WidgetOf<QLineEdit>(*txt)->toolTip(), QString("The area's name"));
    txt->SetEnabled(false);
    QVERIFY(!WidgetOf<QLineEdit>(*txt)->isEnabled());
    txt->SetVisible(false);
    QVERIFY(WidgetOf<QLineEdit>(*txt)->isHidden());

    auto* label = WidgetOf<QLabel>(*lbl);
    QCOMPARE(label->buddy(), WidgetOf<QLineEdit>(*txt));
    QCOMPARE(label->text(), QString("&Name:"));

    chk->SetValue(2);
    QCOMPARE(WidgetOf<QCheckBox>(*chk)->checkState(), Qt::PartiallyChecked);
    chk->SetCaption("&Multiple");
    QCOMPARE(WidgetOf<QCheckBox>(*chk)->text(), QString("&Multiple"));

    for (const char* c : {"Adams", "Brown", "Clark"})
        lst->AddItem(c);
    lst->SetListIndex(1);
    auto* list = WidgetOf<QListWidget>(*lst);
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->currentRow(), 1);

    for (const char* c : {"Park", "Refuge"})
        cbo->AddItem(c);
    cbo->SetText("Refuge");
    auto* combo = WidgetOf<QComboBox>(*cbo);
    QVERIFY(!combo->isEditable());
    QCOMPARE(combo->currentText(), QString("Refuge"));

    // The user's pick is the model's, Click included.
    int clicks = 0;
    lst->On("Click", [&](Args&) { ++clicks; });
    list->setCurrentRow(2);
    QCOMPARE(lst->ListIndex(), 2);
    QCOMPARE(clicks, 1);
    emit combo->activated(0);
    QCOMPARE(Q(cbo->Text()), QString("Park"));

    // A check box shows what the model decided, not what Qt toggled.
    chk->On("Click", [&](Args&) {
        if (chk->Value() == 1) chk->SetValue(0); // a handler that refuses the tick
    });
    chk->SetValue(0);
    QTest::mouseClick(WidgetOf<QCheckBox>(*chk), Qt::LeftButton);
    QCOMPARE(chk->Value(), 0);
    QCOMPARE(WidgetOf<QCheckBox>(*chk)->checkState(), Qt::Unchecked);

    // Removing a control removes its widget.
    QPointer<QWidget> gone = WidgetOf<QListWidget>(*lst);
    form->RemoveControl(*lst);
    QVERIFY(!ControlView::Of(*lst));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(gone.isNull());
}

void ControlViewsTest::tabsShowTheCurrentPage() {
    auto form = std::make_shared<Form>("frmTest");
    form->Move(0, 0, 6000, 4500);
    auto tab = form->Add<vaTabPro>("tabMain");
    tab->Move(0, 0, 6000, 4500);
    tab->SetTabCount(2);
    tab->SetTabCaption(0, "Identifiers");
    tab->SetTabCaption(1, "Locators");
    auto a = form->Add<TextBox>("txtCode", tab.get());
    a->SetTabPage(0);
    a->Move(120, 600, 2000, 315);
    auto b = form->Add<TextBox>("txtLatitude", tab.get());
    b->SetTabPage(1);
    b->Move(120, 600, 2000, 315);
    bool refuse = false;
    tab->On("BeforeSwitch", [&](Args& args) { args[2] = Variant(refuse); });
    FormWidget view(form);
    ShowActive(view);

    auto* bar = view.findChild<QTabBar*>();
    QVERIFY(bar);
    QCOMPARE(bar->count(), 2);
    QCOMPARE(bar->tabText(1), QString("Locators"));
    QVERIFY(WidgetOf<QLineEdit>(*a)->isVisible());
    QVERIFY(!WidgetOf<QLineEdit>(*b)->isVisible());

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QCOMPARE(tab->ActiveTab(), 1);
    QVERIFY(!WidgetOf<QLineEdit>(*a)->isVisible());
    QVERIFY(WidgetOf<QLineEdit>(*b)->isVisible());

    // A cancelled switch leaves both the model and the bar on the page.
    refuse = true;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    QCOMPARE(tab->ActiveTab(), 1);
    QCOMPARE(bar->currentIndex(), 1);

    // Code switches too; and a hidden tab is hidden in the bar.
    tab->SetActiveTab(0);
    QCOMPARE(bar->currentIndex(), 0);
    QVERIFY(WidgetOf<QLineEdit>(*a)->isVisible());
    tab->SetTabVisible(1, false);
    QVERIFY(!bar->isTabVisible(1));
}

void ControlViewsTest::disabledCommandsDoNothing() {
    auto form = std::make_shared<Form>("frmTest");
    auto file = form->Add<Menu>("mnuFile");
    file->SetCaption("&File");
    auto save = form->Add<Menu>("mnuFileSave", file.get());
    save->SetCaption("&Save");
    save->SetShortcut("Ctrl+S");
    auto tb = form->Add<Toolbar>("tbMain");
    tb->Move(0, 0, 4000, 420);
    tb->AddButton("Save", "Save");
    tb->AddButton("Delete", "Delete");
    auto txt = form->Add<TextBox>("txtName");
    txt->Move(0, 600, 2000, 315);
    int menuClicks = 0, saveClicks = 0, deleteClicks = 0;
    save->On("Click", [&](Args&) { ++menuClicks; });
    tb->On("ButtonClick", [&](Args& a) {
        std::string key = CStr(RequireObject(a[0])->Get("Key"));
        (key == "Save" ? saveClicks : deleteClicks)++;
    });
    FormWidget view(form);
    ShowActive(view);

    QMenuBar* bar = view.MenuBar();
    QCOMPARE(bar->actions().size(), 1);
    QAction* fileAction = bar->actions()[0];
    QCOMPARE(fileAction->text(), QString("&File"));
    QAction* saveAction = fileAction->menu()->actions().value(0);
    QVERIFY(saveAction);
    QCOMPARE(saveAction->shortcut(), QKeySequence("Ctrl+S"));

    auto* toolbar = view.findChild<QToolBar*>();
    QVERIFY(toolbar);
    QCOMPARE(toolbar->actions().size(), 2);
    QAction* deleteAction = toolbar->actions()[1];
    QCOMPARE(deleteAction->toolTip(), QString("Delete"));

    save->SetEnabled(false);
    tb->Button("Delete").SetEnabled(false);
    QVERIFY(!saveAction->isEnabled());
    QVERIFY(!deleteAction->isEnabled());
    saveAction->trigger();
    deleteAction->trigger();
    WidgetOf<QLineEdit>(*txt)->setFocus();
    QTest::keyClick(WidgetOf<QLineEdit>(*txt), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(menuClicks, 0);
    QCOMPARE(deleteClicks, 0);

    save->SetEnabled(true);
    tb->Button("Delete").SetEnabled(true);
    QTest::keyClick(WidgetOf<QLineEdit>(*txt), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(menuClicks, 1);
    deleteAction->trigger();
    toolbar->actions()[0]->trigger();
    QCOMPARE(deleteClicks, 1);
    QCOMPARE(saveClicks, 1);

    // A hidden menu item is gone from the menu.
    save->SetVisible(false);
    QVERIFY(!saveAction->isVisible());
}

void ControlViewsTest::commandsShowTheirIcons() {
    auto form = std::make_shared<Form>("frmTest");
    auto file = form->Add<Menu>("mnuFile");
    file->SetCaption("&File");
    auto save = form->Add<Menu>("mnuFileSave", file.get());
    save->SetCaption("&Save");
    auto tb = form->Add<Toolbar>("tbMain");
    tb->Move(0, 0, 9000, 420);
    // The editor's buttons, by their image keys.
    const char* keys[] = {"Open", "Save", "Print",     "Copy",       "Paste",      "Delete",
                          "Find", "Goto", "ViewShape", "TextEditor", "SpellCheck", "Help"};
    for (const char* k : keys)
        tb->AddButton(k, k, k);
    FormWidget view(form);
    ShowActive(view);

    auto* toolbar = view.findChild<QToolBar*>();
    QVERIFY(toolbar);
    QCOMPARE(toolbar->iconSize(), QSize(24, 24));
    QSet<QByteArray> seen;
    for (QAction* a : toolbar->actions()) {
        const QIcon icon = a->icon();
        // Drawn images at one and two times the size, not a scaled or painted stand-in.
        QVERIFY2(icon.availableSizes().contains(QSize(48, 48)), qPrintable(a->toolTip()));
        QImage img = icon.pixmap(QSize(24, 24)).toImage();
        QByteArray bits(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes());
        QVERIFY2(!seen.contains(bits), qPrintable(a->toolTip() + " looks like another"));
        seen.insert(bits);
    }
    // A menu item shows the icon of its command.
    QAction* saveItem = view.MenuBar()->actions()[0]->menu()->actions().value(0);
    QVERIFY(saveItem);
    QCOMPARE(saveItem->icon().pixmap(24).toImage(),
             toolbar->actions()[1]->icon().pixmap(24).toImage());
    QVERIFY(view.MenuBar()->actions()[0]->icon().isNull());
}

void ControlViewsTest::labelsShowTheirWholeCaption() {
    auto form = std::make_shared<Form>("frmTest");
    form->Move(0, 0, 6000, 3000);
    // Laid out for a narrower font: one line high, a little too narrow for the caption.
    auto one = form->Add<Label>("lblRecordsReturned");
    one->Move(120, 120, 900, 255);
    one->SetCaption("Records Returned:");
    auto two = form->Add<Label>("lblNote");
    two->Move(120, 600, 900, 600);
    two->SetCaption("A note long enough to need a second line");
    FormWidget view(form);
    ShowActive(view);

    auto* oneLabel = WidgetOf<QLabel>(*one);
    QVERIFY(!oneLabel->wordWrap());
    QVERIFY(oneLabel->width() >= oneLabel->fontMetrics().horizontalAdvance("Records Returned:"));
    // A caption that changes later is measured again.
    one->SetCaption("Records Returned Altogether:");
    QVERIFY(oneLabel->width() >=
            oneLabel->fontMetrics().horizontalAdvance("Records Returned Altogether:"));
    // A label with room for more lines wraps inside its box, as designed.
    auto* twoLabel = WidgetOf<QLabel>(*two);
    QVERIFY(twoLabel->wordWrap());
    QCOMPARE(twoLabel->width(), Px(900));
}

} // namespace zelk::view::testing
