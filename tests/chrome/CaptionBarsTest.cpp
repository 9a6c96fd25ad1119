// The title bars painted from a gradient caption: a dock window's bar (text, colours by the
// window's activity, close, docking by double-click) and an editing window's bar inside an MDI
// area (the classic button layout, and the buttons doing their work).

#include "chrome/CaptionBars.h"
#include "chrome/GradCaption.h"

#include <QApplication>
#include <QDockWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyleOptionTitleBar>
#include <QTest>
#include <memory>

namespace {

const QColor Blue(0, 0, 255);

} // namespace

class TCaptionBarsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QMainWindow> FWindow;

    void ShowWindow() {
        FWindow->resize(600, 400);
        FWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
        FWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(FWindow.get()));
    }

private Q_SLOTS:
    void init() {
        FWindow = std::make_unique<QMainWindow>();
        FWindow->setCentralWidget(new QMdiArea);
    }
    void cleanup() { FWindow.reset(); }

    void paintsADockWindowsBar() {
        auto* dock = new QDockWidget(FWindow.get());
        dock->setWidget(new QWidget);
        auto* caption = new TGradientCaption(*dock);
        SetProgramCaptionLook(*caption);
        caption->CaptionText().SetCaption(QStringLiteral("したい事の選択"));
        auto* bar = new TDockCaptionBar(dock, caption);
        FWindow->addDockWidget(Qt::BottomDockWidgetArea, dock);
        ShowWindow();
        QCOMPARE(dock->titleBarWidget(), bar);
        QCOMPARE(dock->windowTitle(), QStringLiteral("したい事の選択"));
        QVERIFY(bar->height() >= QFontMetrics(caption->CaptionFont()).height());

        // The gradient ends in the active right colour just before the close button.
        QVERIFY(bar->Active());
        const QPoint end(bar->CloseButton()->x() - 4, 2);
        QCOMPARE(bar->grab().toImage().pixelColor(end), Blue);
        caption->SetColorRightInActive(clRed);
        auto* other = new QWidget;
        other->setAttribute(Qt::WA_DeleteOnClose);
        other->show();
        other->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(other));
        QTRY_VERIFY(!bar->Active());
        QCOMPARE(bar->grab().toImage().pixelColor(end), QColor(255, 0, 0));
        other->close();

        // A double-click floats the window and another docks it again.
        QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(20, bar->height() / 2));
        QTRY_VERIFY(dock->isFloating());
        QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(20, bar->height() / 2));
        QTRY_VERIFY(!dock->isFloating());

        QTest::mouseClick(bar->CloseButton(), Qt::LeftButton);
        QVERIFY(dock->isHidden());
        dock->setFeatures(QDockWidget::DockWidgetMovable);
        QVERIFY(bar->CloseButton()->isHidden());
    }

    void laysOutAnEditingWindowsBar() {
        auto* area = static_cast<QMdiArea*>(FWindow->centralWidget());
        auto* window = area->addSubWindow(new QWidget);
        auto* caption = new TGradientCaption(*window);
        SetProgramCaptionLook(*caption);
        window->setWindowTitle(QStringLiteral("/tmp/a.html"));
        TMdiCaptionStyle* style = TMdiCaptionStyle::Install(*window, *caption);
        window->resize(300, 200);
        ShowWindow();
        window->show();
        area->setActiveSubWindow(window);

        QStyleOptionTitleBar option;
        option.initFrom(window);
        option.rect = QRect(0, 0, 300, 22);
        option.titleBarFlags = window->windowFlags();
        option.titleBarState = 0;
        auto rect = [&](QStyle::SubControl control) {
            return style->subControlRect(QStyle::CC_TitleBar, &option, control, window);
        };
        const QRect close = rect(QStyle::SC_TitleBarCloseButton);
        const QRect max = rect(QStyle::SC_TitleBarMaxButton);
        const QRect min = rect(QStyle::SC_TitleBarMinButton);
        QCOMPARE(close, QRect(300 - 2 - 20, 2, 20, 18));
        QCOMPARE(max.right() + 1 + 2, close.left());
        QCOMPARE(min.right() + 1, max.left());
        QVERIFY(rect(QStyle::SC_TitleBarNormalButton).isEmpty());
        QCOMPARE(rect(QStyle::SC_TitleBarLabel).right() + 1, min.left());
        option.titleBarState = Qt::WindowMaximized;
        QCOMPARE(rect(QStyle::SC_TitleBarNormalButton), max);
        QVERIFY(rect(QStyle::SC_TitleBarMaxButton).isEmpty());

        // Without a maximise button it is drawn but does nothing.
        option.titleBarState = 0;
        option.titleBarFlags &= ~Qt::WindowMaximizeButtonHint;
        QVERIFY(rect(QStyle::SC_TitleBarMaxButton).isEmpty());
        QCOMPARE(rect(QStyle::SC_TitleBarMinButton), min);

        // The window's own buttons answer where they are drawn.
        const int titleHeight =
            window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
        option.titleBarFlags = window->windowFlags();
        option.rect = QRect(0, 0, window->width(), titleHeight);
        // The window acts on the button the pointer came over before the click.
        auto click = [&](QPoint at) {
            QTest::mouseMove(FWindow->windowHandle(), window->mapTo(FWindow.get(), at));
            QTest::mouseClick(window, Qt::LeftButton, {}, at);
        };
        click(rect(QStyle::SC_TitleBarMaxButton).center());
        QTRY_VERIFY(window->isMaximized());
        window->showNormal();
        QTRY_VERIFY(!window->isMaximized());
        option.rect = QRect(0, 0, window->width(), titleHeight);
        click(rect(QStyle::SC_TitleBarCloseButton).center());
        QTRY_VERIFY(window->isHidden());
    }

    void paintsTheActiveEditingWindowsBar() {
        auto* area = static_cast<QMdiArea*>(FWindow->centralWidget());
        auto* window = area->addSubWindow(new QWidget);
        auto* caption = new TGradientCaption(*window);
        SetProgramCaptionLook(*caption);
        TMdiCaptionStyle::Install(*window, *caption);
        window->resize(300, 200);
        ShowWindow();
        window->show();
        area->setActiveSubWindow(window);
        const QImage active = window->grab().toImage();
        QStyleOptionTitleBar option;
        option.initFrom(window);
        option.rect =
            QRect(0, 0, window->width(),
                  window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window));
        option.titleBarFlags = window->windowFlags();
        const QRect label = window->style()->subControlRect(QStyle::CC_TitleBar, &option,
                                                            QStyle::SC_TitleBarLabel, window);
        QCOMPARE(active.pixelColor(label.right(), label.top() + 1), Blue);
        // Another window becomes the current one: this bar turns inactive.
        auto* second = area->addSubWindow(new QWidget);
        second->show();
        area->setActiveSubWindow(second);
        QTRY_VERIFY(area->activeSubWindow() == second);
        const QColor inactiveRight = QColorFromTColor(clInactiveCaption, window->palette());
        QCOMPARE(window->grab().toImage().pixelColor(label.right(), label.top() + 1),
                 inactiveRight);
    }
};

QTEST_MAIN(TCaptionBarsTest)
#include "CaptionBarsTest.moc"
