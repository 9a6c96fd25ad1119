// The collapsible tool bar as the frame uses it: collapsing and restoring with the mouse, the
// sizes it keeps, the tab's painting and highlight, and the bar without a tab.

#include "chrome/TabToolBar.h"

#include <QAction>
#include <QMainWindow>
#include <QPaintEvent>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {

// Counts the paintings of the bar that include the tab.
class TTabPaints : public QObject {
public:
    explicit TTabPaints(TTabToolBar* bar) : FBar(bar) { bar->installEventFilter(this); }
    int Count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint &&
            static_cast<QPaintEvent*>(event)->region().intersects(FBar->TabRect()))
            ++Count;
        return false;
    }

private:
    TTabToolBar* FBar;
};

QColor Pixel(QWidget* widget, int x, int y) {
    return widget->grab().toImage().pixelColor(x, y);
}

} // namespace

class TTabToolBarTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QMainWindow> FWindow;
    TTabToolBar* FBar = nullptr;
    QAction* FFirst = nullptr;
    int FMaximizes = 0;
    int FRestores = 0;

    QPoint TabCentre() const { return FBar->TabRect().center(); }
    void Click(QPoint at) { QTest::mouseClick(FBar, Qt::LeftButton, {}, at); }

private Q_SLOTS:
    // The frame's bar: flat buttons 25 wide, auto-sized, a 45-pixel tab while collapsed.
    void init() {
        FWindow = std::make_unique<QMainWindow>();
        FWindow->setCentralWidget(new QWidget);
        FBar = new TTabToolBar(FWindow.get());
        FBar->setIconSize(QSize(16, 16));
        for (int i = 0; i < 6; ++i) {
            QAction* action = FBar->addAction(QStringLiteral("B%1").arg(i));
            FBar->widgetForAction(action)->setFixedWidth(25);
            if (!FFirst)
                FFirst = action;
        }
        FBar->SetAutoSize(true);
        FBar->SetTabSizeMinimized(45);
        FMaximizes = FRestores = 0;
        FBar->OnMaximize = [this](QObject* sender) {
            QCOMPARE(sender, FBar);
            ++FMaximizes;
        };
        FBar->OnRestore = [this](QObject* sender) {
            QCOMPARE(sender, FBar);
            ++FRestores;
        };
        FWindow->addToolBar(Qt::TopToolBarArea, FBar);
        FWindow->resize(500, 300);
        FWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
    }
    void cleanup() {
        FWindow.reset();
        FFirst = nullptr;
    }

    void collapsesAndRestores() {
        QCOMPARE(FBar->Height(), 24);
        QCOMPARE(FBar->TabRect(), QRect(0, 2, 10, 22));
        // The buttons start after the tab and its indent.
        QWidget* first = FBar->widgetForAction(FFirst);
        QVERIFY(first->isVisible());
        QCOMPARE(first->x(), 10 + 4);

        Click(TabCentre());
        QVERIFY(!FBar->Maximized());
        QCOMPARE(FBar->Height(), 12);
        QCOMPARE(FBar->TabRect(), QRect(0, 2, 45, 10));
        QVERIFY(!FBar->AutoSize());
        QVERIFY(FBar->StoredAutoSize());
        QCOMPARE(FBar->StoredHeight(), 24);
        QVERIFY(!first->isVisible());
        QCOMPARE(FRestores, 1);
        QCOMPARE(FMaximizes, 0);
        QTRY_COMPARE(FWindow->centralWidget()->y(), FBar->geometry().bottom() + 1);

        Click(TabCentre());
        QVERIFY(FBar->Maximized());
        QCOMPARE(FBar->Height(), 24);
        QVERIFY(FBar->AutoSize());
        QCOMPARE(FMaximizes, 1);
        QTRY_VERIFY(first->isVisible());
        QCOMPARE(first->x(), 14);
    }

    void keepsTheExpandedHeight() {
        FBar->SetAutoSize(false);
        FBar->SetHeight(30);
        QCOMPARE(FBar->Height(), 30);
        FBar->SetMaximized(false);
        QCOMPARE(FBar->Height(), 12);
        QCOMPARE(FBar->StoredHeight(), 30);
        FBar->SetHeight(40); // only remembered while collapsed
        QCOMPARE(FBar->Height(), 12);
        QCOMPARE(FBar->StoredHeight(), 40);
        FBar->SetAutoSize(true); // likewise
        QVERIFY(!FBar->AutoSize());
        FBar->SetMaximized(true);
        QVERIFY(FBar->AutoSize());
        QCOMPARE(FBar->Height(), 24);
        FBar->SetAutoSize(false);
        FBar->SetMaximized(false);
        FBar->SetMaximized(true);
        QCOMPARE(FBar->Height(), 24);
        QVERIFY(!FBar->AutoSize());
    }

    void followsTheTabAndBorderSizes() {
        FBar->SetMaximized(false);
        FBar->SetTabSizeMaximized(14);
        QCOMPARE(FBar->Height(), 16);
        FBar->SetEdgeBorders(ebTop | ebBottom);
        QCOMPARE(FBar->Height(), 18);
        QCOMPARE(FBar->TabRect(), QRect(0, 2, 45, 14));
        FBar->SetMaximized(true);
        QCOMPARE(FBar->Height(), 26); // auto-sized: buttons and both borders
    }

    void ignoresAPressReleasedElsewhere() {
        QTest::mousePress(FBar, Qt::LeftButton, {}, TabCentre());
        QTest::mouseRelease(FBar, Qt::LeftButton, {}, QPoint(300, 40));
        QVERIFY(FBar->Maximized());
        // A press beside the tab released on it does not toggle either.
        QTest::mousePress(FBar, Qt::LeftButton, {}, QPoint(12, 12));
        QTest::mouseRelease(FBar, Qt::LeftButton, {}, TabCentre());
        QVERIFY(FBar->Maximized());
        QCOMPARE(FRestores + FMaximizes, 0);
        // A press on the tab does not move the bar out of its place.
        const QRect before = FBar->geometry();
        QTest::mousePress(FBar, Qt::LeftButton, {}, TabCentre());
        QTest::mouseMove(FBar, QPoint(200, 150));
        QTest::mouseRelease(FBar, Qt::LeftButton, {}, QPoint(200, 150));
        QCOMPARE(FBar->geometry(), before);
        QCOMPARE(FWindow->toolBarArea(FBar), Qt::TopToolBarArea);
    }

    // A double-click as the platform delivers it (its second press also comes as a double-click
    // event) on a point of the tab both expanded and collapsed: one toggle each time.
    void doubleClickTogglesOnce() {
        const QPoint onTab = FBar->mapTo(FWindow.get(), QPoint(5, 6));
        QVERIFY(FBar->TabRect().contains(QPoint(5, 6)));
        QTest::mouseDClick(FWindow->windowHandle(), Qt::LeftButton, {}, onTab);
        QVERIFY(!FBar->Maximized());
        QVERIFY(FBar->TabRect().contains(QPoint(5, 6)));
        QCOMPARE(FRestores, 1);
        QTest::mouseDClick(FWindow->windowHandle(), Qt::LeftButton, {}, onTab);
        QVERIFY(FBar->Maximized());
        QCOMPARE(FRestores, 1);
        QCOMPARE(FMaximizes, 1);
    }

    void worksWithoutATab() {
        FBar->SetShowTab(false);
        QVERIFY(FBar->TabRect().isEmpty());
        QTRY_VERIFY(FBar->widgetForAction(FFirst)->x() < 10);
        Click(QPoint(3, 12));
        QVERIFY(FBar->Maximized());
        FBar->SetShowTab(true);
        QTRY_COMPARE(FBar->widgetForAction(FFirst)->x(), 14);
    }

    void highlightsOnceOnEnterAndLeave() {
        TTabPaints paints(FBar);
        // Through the window, as the pointer moves, so that the bar sees it come and go.
        auto moveTo = [this](QWidget* widget, QPoint at) {
            QTest::mouseMove(FWindow->windowHandle(), widget->mapTo(FWindow.get(), at));
            QApplication::processEvents();
        };
        moveTo(FWindow->centralWidget(), QPoint(100, 100));
        QVERIFY(!FBar->Highlighted());
        paints.Count = 0;
        moveTo(FBar, TabCentre());
        QVERIFY(FBar->Highlighted());
        QTRY_COMPARE(paints.Count, 1);
        moveTo(FBar, TabCentre() + QPoint(1, 3));
        moveTo(FBar, TabCentre() + QPoint(-1, -3));
        QCOMPARE(paints.Count, 1);
        // Over the indent beside the tab the highlight goes; back on the tab it returns.
        moveTo(FBar, QPoint(12, 12));
        QVERIFY(!FBar->Highlighted());
        QTRY_COMPARE(paints.Count, 2);
        moveTo(FBar, TabCentre());
        QTRY_COMPARE(paints.Count, 3);
        moveTo(FWindow->centralWidget(), QPoint(100, 100));
        QVERIFY(!FBar->Highlighted());
        QTRY_COMPARE(paints.Count, 4);
        moveTo(FWindow->centralWidget(), QPoint(120, 100));
        QCOMPARE(paints.Count, 4);
    }

    void drawsTheExpandedTab() {
        QTest::mouseMove(FWindow->windowHandle(), QPoint(200, 200));
        QTRY_VERIFY(!FBar->Highlighted());
        const QImage image = FBar->grab().toImage();
        const QColor navy(0, 0, 0x80);
        // The arrow: three rows from 2 pixels below the tab's top, pointing down.
        for (QPoint p : {QPoint(2, 4), QPoint(6, 4), QPoint(3, 5), QPoint(4, 6)})
            QCOMPARE(image.pixelColor(p), navy);
        for (QPoint p : {QPoint(1, 4), QPoint(7, 4), QPoint(3, 6), QPoint(4, 7)})
            QVERIFY(image.pixelColor(p) != navy);
        // The texture: light and dark dots every 3 pixels past the arrow.
        QCOMPARE(image.pixelColor(3, 10), QColor(Qt::white));
        QCOMPARE(image.pixelColor(4, 11), navy);
        QCOMPARE(image.pixelColor(6, 13), QColor(Qt::white));
        QCOMPARE(image.pixelColor(7, 14), navy);
        // The tab's right edge in the button shadow colour.
        QCOMPARE(image.pixelColor(9, 15), QColorFromTColor(clBtnShadow, FBar->palette()));
        QCOMPARE(image.pixelColor(8, 20), QColorFromTColor(clBtnFace, FBar->palette()));
        QTest::mouseMove(FWindow->windowHandle(), FBar->mapTo(FWindow.get(), TabCentre()));
        QTRY_VERIFY(FBar->Highlighted());
        QCOMPARE(Pixel(FBar, 8, 20), QColor(0xCF, 0xCF, 0xFF));
    }

    void drawsTheCollapsedTab() {
        FBar->SetMaximized(false);
        const QImage image = FBar->grab().toImage();
        const QColor navy(0, 0, 0x80);
        // The arrow points right, from 3 pixels past the tab's start.
        for (QPoint p : {QPoint(3, 4), QPoint(3, 8), QPoint(4, 5), QPoint(5, 6)})
            QCOMPARE(image.pixelColor(p), navy);
        for (QPoint p : {QPoint(3, 3), QPoint(6, 6), QPoint(4, 4)})
            QVERIFY(image.pixelColor(p) != navy);
        QCOMPARE(image.pixelColor(11, 5), QColor(Qt::white));
        QCOMPARE(image.pixelColor(12, 6), navy);
        // No texture in the cut end; the outline closes the tab.
        QVERIFY(image.pixelColor(40, 9) != navy);
        QCOMPARE(image.pixelColor(0, 6), QColorFromTColor(cl3DDkShadow, FBar->palette()));
    }

    void collapsesAVerticalBarToItsWidth() {
        FWindow->addToolBar(Qt::LeftToolBarArea, FBar);
        QCOMPARE(FBar->orientation(), Qt::Vertical);
        QCOMPARE(FBar->Width(), 22); // auto-sized; the top border runs along it
        FBar->SetMaximized(false);
        QCOMPARE(FBar->Width(), 10);
        QCOMPARE(FBar->TabRect(), QRect(0, 2, 10, 45));
        QCOMPARE(FBar->StoredWidth(), 22);
        FBar->SetMaximized(true);
        QCOMPARE(FBar->Width(), 22);
    }
};

QTEST_MAIN(TTabToolBarTest)
#include "TabToolBarTest.moc"
