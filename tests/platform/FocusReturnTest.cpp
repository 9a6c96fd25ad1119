// The keyboard comes back to the program's windows when one of them closes and the system
// leaves none focused.

#include "platform/FocusReturn.h"

#include <QDialog>
#include <QMainWindow>
#include <QTest>
#include <QWindow>

namespace {

bool HasFocus(const QWidget& widget) {
    return QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == widget.windowHandle(); },
                           1000);
}

// Shows the window and gives it the focus, as a click on it would.
bool ShowFocused(QWidget& window) {
    window.show();
    window.activateWindow();
    return HasFocus(window);
}

} // namespace

class TFocusReturnTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TFocusReturn::Install(); }
    void backToTheWindowBeforeTheDialog();
    void backToTheOuterModalDialog();
    void minimisedWindowIsPassedOver();
};

void TFocusReturnTest::backToTheWindowBeforeTheDialog() {
    QMainWindow frame;
    QVERIFY(ShowFocused(frame));
    QDialog dialog(&frame);
    QVERIFY(ShowFocused(dialog));
    dialog.hide();
    QVERIFY(HasFocus(frame));
}

void TFocusReturnTest::backToTheOuterModalDialog() {
    QMainWindow frame;
    QVERIFY(ShowFocused(frame));
    QDialog outer(&frame);
    outer.setModal(true);
    QVERIFY(ShowFocused(outer));
    QDialog inner(&outer);
    inner.setModal(true);
    QVERIFY(ShowFocused(inner));
    inner.hide();
    QVERIFY(HasFocus(outer));
}

void TFocusReturnTest::minimisedWindowIsPassedOver() {
    QMainWindow minimised;
    QVERIFY(ShowFocused(minimised));
    QMainWindow other;
    QVERIFY(ShowFocused(other));
    minimised.showMinimized();
    other.hide();
    QTest::qWait(50);
    QVERIFY(QGuiApplication::focusWindow() != minimised.windowHandle());
}

QTEST_MAIN(TFocusReturnTest)
#include "FocusReturnTest.moc"
