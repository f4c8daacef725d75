// The Qt UI driver: what the model asks of a person, answered through real widgets. The
// person is played by a queued call that runs once the dialog or menu is up.
#include "DriverTest.h"

#include "ViewTestSupport.h"
#include "platform/Conv.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdControls.h"
#include "view/Convert.h"
#include "view/QtUiDriver.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

#include <functional>

namespace zelk::view::testing {

namespace {
// Runs `act` on the next turn of whichever event loop is running then (the dialog's).
void WhenShown(std::function<void()> act) {
    QMetaObject::invokeMethod(qApp, std::move(act), Qt::QueuedConnection);
}
} // namespace

void DriverTest::cleanup() {
    SetUiDriver(nullptr);
}

void DriverTest::messageBoxesAnswerWithTheModelsCodes() {
    QtUiDriver ui;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool defaultIsNo = false;
    QString text;
    WhenShown([&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        buttons = box->standardButtons();
        icon = box->icon();
        defaultIsNo = box->defaultButton() == box->button(QMessageBox::No);
        text = box->text();
        box->button(QMessageBox::Yes)->click();
    });
    int answer = ui.MsgBox("Save changes to Oak Hollow?",
                           vb::YesNoCancel | vb::Question | vb::DefaultButton2, "Managed Area");
    QCOMPARE(answer, vb::Yes);
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(icon, QMessageBox::Question);
    QCOMPARE(text, QString("Save changes to Oak Hollow?"));
    QVERIFY(defaultIsNo);

    WhenShown([] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        box->button(QMessageBox::Cancel)->click();
    });
    QCOMPARE(ui.MsgBox("Retry?", vb::RetryCancel | vb::Exclamation, ""), vb::Cancel);
    QCOMPARE(MsgBoxDefault(vb::YesNoCancel | vb::DefaultButton2), QMessageBox::No);
    QCOMPARE(MsgBoxIcon(vb::Critical), QMessageBox::Critical);
    QCOMPARE(MsgBoxAnswer(QMessageBox::No), vb::No);
}

void DriverTest::popupChoiceClicksBeforeReturning() {
    auto ui = std::make_shared<QtUiDriver>();
    SetUiDriver(ui);
    auto form = std::make_shared<Form>("frmTest");
    auto related = form->Add<Menu>("mnuRelated");
    related->SetCaption("Related");
    related->SetVisible(false); // a pop-up menu only
    auto sites = form->Add<Menu>("mnuRelatedSites", related.get());
    sites->SetCaption("&Sites");
    int clicks = 0;
    sites->On("Click", [&](Args&) { ++clicks; });
    FormWidget view(form);
    ShowActive(view);
    QVERIFY(view.MenuBar()->isHidden());
    WhenShown([] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QCOMPARE(popup->actions().size(), 1);
        popup->actions()[0]->trigger();
        popup->close();
    });
    PopupMenu(*form, *related, 600, 600);
    QCOMPARE(clicks, 1);
}

void DriverTest::sendKeysReachTheFocusedField() {
    auto ui = std::make_shared<QtUiDriver>();
    SetUiDriver(ui);
    auto form = std::make_shared<Form>("frmTest");
    auto txt = form->Add<TextBox>("txtName");
    txt->Move(120, 120, 3000, 315);
    txt->SetText("Oak Hollow");
    int f1 = 0;
    txt->On("KeyDown", [&](Args& a) { f1 += CLng(a[0]) == key::F1; });
    FormWidget view(form);
    ShowActive(view);
    QVERIFY(txt->SetFocus());
    txt->SetSelStart(0);
    txt->SetSelLength(3);
    ui->SendKeys("^C");
    QCOMPARE(Q(ui->ClipboardText()), QString("Oak"));
    ui->SendKeys("{F1}");
    QCOMPARE(f1, 1);
    ui->SetClipboardText("Bear");
    ui->SendKeys("^V");
    QCOMPARE(Q(txt->Text()), QString("Bear Hollow"));
}

void DriverTest::hourglassIsTheWaitCursor() {
    FollowScreenMousePointer();
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Screen::Instance().SetMousePointer(mouse::Default);
    QVERIFY(!QApplication::overrideCursor());
}

} // namespace zelk::view::testing
