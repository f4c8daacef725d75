#include "TabOrderTest.h"

#include "ViewTestSupport.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"
#include "shell/MainWindow.h"
#include "shell/RecordWindow.h"
#include "shell/Session.h"
#include "shell/WorkingListPanel.h"
#include "view/ControlView.h"
#include "view/FormWidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
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

// Each control's widget and its rectangle in its parent, with the control's kind.
struct Placed {
    QWidget* widget;
    QRect rect;
    bool keepsSize; // a caption or a button
    bool grid;
};

void Collect(FormWidget& view, const zelk::Form& form, std::vector<Placed>& out) {
    for (const ControlPtr& c : form.Controls()) {
        ControlView* v = view.ViewOf(c.get());
        if (QWidget* w = v ? v->Widget() : nullptr; w && w->isVisible())
            out.push_back(
                {w, w->geometry(),
                 (dynamic_cast<const Label*>(c.get()) && !dynamic_cast<const Frame*>(c.get())) ||
                     dynamic_cast<const CommandButton*>(c.get()),
                 dynamic_cast<const VSFlexGrid*>(c.get()) != nullptr});
        if (auto* inner = dynamic_cast<const zelk::Form*>(c.get())) Collect(view, *inner, out);
    }
}

std::vector<Placed> PlacedIn(RecordWindow& w) {
    std::vector<Placed> out;
    Collect(*w.View(), w.View()->Model(), out);
    return out;
}

// The main window in front with the first record's editor and the search window open.
void ShowEditorAndSearch(MainWindow& main) {
    ShowActive(main);
    main.OpenDetails(main.WorkingList()->IdAtViewRow(0));
    main.FindManagedAreas();
}

void Settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

} // namespace

void TabOrderTest::pagesAndGridsGrowWithTheirWindow() {
    auto ui = InstallScriptedUi();
    QTemporaryDir dir;
    Session session("ann");
    QVERIFY(session.Create(dir.filePath("grow.db"), 25));
    MainWindow& main = *session.Main();
    main.resize(1600, 1200);
    ShowEditorAndSearch(main);
    QCOMPARE(main.RecordWindows().size(), 2);
    for (RecordWindow* w : main.RecordWindows()) {
        main.Area()->setActiveSubWindow(w);
        w->showNormal();
        w->resize(w->minimumSizeHint());
        Settle();
        const std::vector<Placed> start = PlacedIn(*w);
        const QSize startSize = w->size();
        QVERIFY(!start.empty());
        // Every heading reads whole, rows or none.
        for (QHeaderView* h : w->findChildren<QHeaderView*>()) {
            if (!h->isVisible() || h->orientation() != Qt::Horizontal) continue;
            for (int s = 0; s + 1 < h->count(); ++s) {
                const QString text = h->model()->headerData(s, Qt::Horizontal).toString();
                if (h->isSectionHidden(s) || text.isEmpty() || h->sectionSize(s) == 0) continue;
                QVERIFY2(h->sectionSize(s) >= h->fontMetrics().horizontalAdvance(text),
                         qPrintable(w->windowTitle() + ": " + text));
            }
        }
        w->resize(w->size() + QSize(300, 200));
        Settle();
        const std::vector<Placed> grown = PlacedIn(*w);
        QCOMPARE(grown.size(), start.size());
        int gridsGrown = 0;
        for (std::size_t i = 0; i < start.size(); ++i) {
            const Placed& a = start[i];
            const Placed& b = grown[i];
            const QString what = a.widget->metaObject()->className() +
                                 QString(" at %1,%2").arg(a.rect.x()).arg(a.rect.y());
            QVERIFY2(b.rect.width() >= a.rect.width() && b.rect.height() >= a.rect.height(),
                     qPrintable(what));
            if (a.keepsSize) QVERIFY2(b.rect.size() == a.rect.size(), qPrintable(what));
            if (a.grid && b.rect.width() > a.rect.width() && b.rect.height() > a.rect.height())
                ++gridsGrown;
            // What did not overlap before does not overlap now.
            for (std::size_t j = i + 1; j < start.size(); ++j)
                if (start[j].widget->parentWidget() == a.widget->parentWidget() &&
                    !start[j].rect.intersects(a.rect))
                    QVERIFY2(
                        !grown[j].rect.intersects(b.rect),
                        qPrintable(what + " and " + start[j].widget->metaObject()->className()));
        }
        QVERIFY2(gridsGrown > 0, qPrintable(w->windowTitle()));
        // Back at the starting size, everything is where it was.
        w->resize(startSize);
        Settle();
        const std::vector<Placed> back = PlacedIn(*w);
        for (std::size_t i = 0; i < start.size(); ++i)
            QCOMPARE(back[i].rect, start[i].rect);
    }
    main.CloseAllWindows();
}

void TabOrderTest::tabFollowsTheLayoutOnEveryPage() {
    auto ui = InstallScriptedUi();
    QTemporaryDir dir;
    Session session("ann");
    QVERIFY(session.Create(dir.filePath("tabs.db"), 25));
    MainWindow& main = *session.Main();
    ShowEditorAndSearch(main);
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
