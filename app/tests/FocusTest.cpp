// Focus moves and keys made by the user reach the model, which may refuse them.
#include "FocusTest.h"

#include "ViewTestSupport.h"
#include "platform/Conv.h"
#include "platform/ui/StdControls.h"
#include "view/Convert.h"

#include <QLineEdit>
#include <QPushButton>

namespace zelk::view::testing {

void FocusTest::cleanup() {
    SetUiDriver(nullptr);
}

void FocusTest::validateCancelKeepsTheFocusInTheField() {
    auto ui = InstallScriptedUi();
    auto form = std::make_shared<Form>("frmTest");
    auto north = form->Add<TextBox>("txtNorth");
    north->Move(120, 120, 2000, 315);
    north->SetTabIndex(0);
    auto south = form->Add<TextBox>("txtSouth");
    south->Move(120, 600, 2000, 315);
    south->SetTabIndex(1);
    auto save = form->Add<CommandButton>("cmdSave");
    save->SetCaption("&Save");
    save->Move(120, 1080, 1200, 375);
    save->SetTabIndex(2);
    int validates = 0, southFocus = 0, saves = 0;
    north->On("Validate", [&](Args& a) {
        ++validates;
        if (north->Text().empty()) a[0] = Variant(true); // the field may not be left empty
    });
    south->On("GotFocus", [&](Args&) { ++southFocus; });
    save->On("Click", [&](Args&) { ++saves; });

    FormWidget view(form);
    ShowActive(view);
    QApplication::processEvents(); // tab order
    auto* northEdit = WidgetOf<QLineEdit>(*north);
    auto* southEdit = WidgetOf<QLineEdit>(*south);
    QVERIFY(north->SetFocus());
    QCOMPARE(QApplication::focusWidget(), northEdit);

    // Tab: refused, the focus stays in the field in both worlds.
    QTest::keyClick(northEdit, Qt::Key_Tab);
    QCOMPARE(validates, 1);
    QVERIFY(north->HasFocus());
    QCOMPARE(QApplication::focusWidget(), northEdit);
    QCOMPARE(southFocus, 0);

    // A mouse click on the other field: refused the same way.
    QTest::mouseClick(southEdit, Qt::LeftButton);
    QCOMPARE(validates, 2);
    QCOMPARE(QApplication::focusWidget(), northEdit);

    // A click on the button: validated once, and no Click.
    QTest::mouseClick(WidgetOf<QPushButton>(*save), Qt::LeftButton);
    QCOMPARE(validates, 3);
    QCOMPARE(saves, 0);
    QVERIFY(north->HasFocus());

    // Filled in, the field lets the focus go.
    QTest::keyClicks(northEdit, "4012301N");
    QTest::keyClick(northEdit, Qt::Key_Tab);
    QVERIFY(south->HasFocus());
    QCOMPARE(QApplication::focusWidget(), southEdit);
    QCOMPARE(southFocus, 1);
    QTest::mouseClick(WidgetOf<QPushButton>(*save), Qt::LeftButton);
    QCOMPARE(saves, 1);
    QVERIFY(save->HasFocus());

    // The model moving the focus moves Qt's.
    QVERIFY(north->SetFocus());
    QCOMPARE(QApplication::focusWidget(), northEdit);
}

void FocusTest::keysGoThroughTheModel() {
    auto ui = InstallScriptedUi();
    auto form = std::make_shared<Form>("frmTest");
    auto code = form->Add<TextBox>("txtCode");
    code->Move(120, 120, 2000, 315);
    auto ok = form->Add<CommandButton>("cmdOK");
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->Move(120, 600, 1200, 375);
    auto cancel = form->Add<CommandButton>("cmdCancel");
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->Move(1500, 600, 1200, 375);
    int oks = 0, cancels = 0, f1 = 0;
    ok->On("Click", [&](Args&) { ++oks; });
    cancel->On("Click", [&](Args&) { ++cancels; });
    code->On("KeyPress", [&](Args& a) {
        int k = CLng(a[0]);
        if (k >= 'a' && k <= 'z') a[0] = Variant(k - 32); // codes are upper case
        if (k == '-') a[0] = Variant(0);                  // and have no dashes
    });
    code->On("KeyDown", [&](Args& a) {
        if (CLng(a[0]) == key::F1) {
            ++f1;
            a[0] = Variant(0);
        }
    });
    FormWidget view(form);
    ShowActive(view);
    QVERIFY(code->SetFocus());
    auto* edit = WidgetOf<QLineEdit>(*code);

    QTest::keyClicks(edit, "ma-01x");
    QCOMPARE(Q(code->Text()), QString("MA01X"));
    QTest::keyClick(edit, Qt::Key_F1);
    QCOMPARE(f1, 1);

    // Return presses the default button, Escape the cancel button.
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(oks, 1);
    QVERIFY(code->SetFocus());
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(cancels, 1);
}

} // namespace zelk::view::testing
