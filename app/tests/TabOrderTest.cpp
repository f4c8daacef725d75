#include "TabOrderTest.h"

#include "ViewTestSupport.h"
#include "shell/MainWindow.h"
#include "shell/RecordWindow.h"
#include "shell/Session.h"
#include "shell/WorkingListPanel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMdiArea>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

namespace zelk::view::testing {

namespace {

bool TabStop(QWidget* w, QWidget* window) {
    return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
           window->isAncestorOf(w);
}

// The widget's ancestor (or itself) that is a direct child of `common`.
QWidget* Under(QWidget* w, QWidget* common) {
    while (w && w->parentWidget() != common)
        w = w->parentWidget();
    return w;
}

QWidget* CommonAncestor(QWidget* a, QWidget* b) {
    for (QWidget* p = a->parentWidget(); p; p = p->parentWidget())
        if (p->isAncestorOf(b)) return p;
    return nullptr;
}

// Whether `b` comes after `a` to a reader: lower down, or on the same row (their tops
// within half the smaller height) and to the right. Widgets in different boxes compare as
// their boxes do.
bool Follows(QWidget* a, QWidget* b) {
    QWidget* common = CommonAncestor(a, b);
    QWidget* boxA = common ? Under(a, common) : nullptr;
    QWidget* boxB = common ? Under(b, common) : nullptr;
    // One inside the other (an editor inside its grid): no order between them.
    if (!boxA || !boxB || boxA == boxB || a->isAncestorOf(b) || b->isAncestorOf(a)) return true;
    const QRect ra = boxA->geometry(), rb = boxB->geometry();
    const int tolerance = std::min(ra.height(), rb.height()) / 2;
    if (std::abs(ra.top() - rb.top()) <= tolerance) return rb.left() > ra.left();
    return rb.top() > ra.top();
}

QString Describe(QWidget* w) {
    const QPoint at = w->mapTo(w->window(), QPoint(0, 0));
    QString text;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) text = " \"" + b->text() + "\"";
    return QString("%1%2 at %3,%4").arg(w->metaObject()->className(), text).arg(at.x()).arg(at.y());
}

// The steps that go back up or to the left along the focus chain of the window's tab stops;
// one step is the wrap from the last back to the first.
QStringList Backward(QWidget* window) {
    QList<QWidget*> stops;
    QWidget* start = nullptr;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (TabStop(w, window)) {
            start = w;
            break;
        }
    if (!start) return {};
    QWidget* w = start;
    do {
        if (TabStop(w, window)) stops << w;
        w = w->nextInFocusChain();
    } while (w != start && stops.size() < 1000);
    QStringList out;
    for (qsizetype i = 0; i < stops.size(); ++i) {
        QWidget* a = stops[i];
        QWidget* b = stops[(i + 1) % stops.size()];
        if (!Follows(a, b)) out << Describe(a) + " -> " + Describe(b);
    }
    return out;
}

} // namespace

void TabOrderTest::tabFollowsTheLayoutOnEveryPage() {
    auto ui = InstallScriptedUi();
    QTemporaryDir dir;
    Session session("ann");
    QVERIFY(session.Create(dir.filePath("tabs.db"), 25));
    MainWindow& main = *session.Main();
    ShowActive(main);
    main.OpenDetails(main.WorkingList()->IdAtViewRow(0));
    main.FindManagedAreas();
    QCOMPARE(main.RecordWindows().size(), 2);
    for (RecordWindow* w : main.RecordWindows()) {
        main.Area()->setActiveSubWindow(w);
        w->showMaximized();
        QTabBar* pages = nullptr;
        for (QTabBar* b : w->findChildren<QTabBar*>())
            if (b->isVisible() && b->count() > 1) pages = b;
        QVERIFY(pages);
        for (int page = 0; page < pages->count(); ++page) {
            if (!pages->isTabVisible(page) || !pages->isTabEnabled(page)) continue;
            pages->setCurrentIndex(page);
            for (int i = 0; i < 3; ++i)
                QApplication::processEvents();
            const QStringList back = Backward(w);
            QVERIFY2(back.size() <= 1, qPrintable(w->windowTitle() + ", " + pages->tabText(page) +
                                                  ": " + back.join("; ")));
        }
    }
    main.CloseAllWindows();
}

} // namespace zelk::view::testing
