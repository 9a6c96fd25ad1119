// The tool images and the program icon as the frame shows them: drawn by Qt's SVG icon engine at
// tool size (a missing engine leaves them empty), the disabled ones greyed by the style.

#include "FrameFixture.h"

#include "app/Main.h"

#include <QAction>
#include <QIcon>
#include <QTest>
#include <QToolButton>

namespace {

int OpaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128;
    return count;
}

int ColouredPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count +=
                image.pixelColor(x, y).hsvSaturation() > 60 && image.pixelColor(x, y).alpha() > 128;
    return count;
}

} // namespace

class TToolImagesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyImageDrawsAtToolSize_data();
    void everyImageDrawsAtToolSize();
    void toolButtonsShowTheirImages();
    void disabledImageIsGrey();
};

void TToolImagesTest::everyImageDrawsAtToolSize_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("program icon") << QStringLiteral(":/quorveljs.svg");
    for (int image = 0; image < 19; ++image)
        QTest::addRow("image %d", image) << ToolImagePath(image);
}

void TToolImagesTest::everyImageDrawsAtToolSize() {
    QFETCH(QString, path);
    const QIcon icon(path);
    const QImage image = icon.pixmap(16, 16).toImage();
    QCOMPARE(image.size(), QSize(16, 16));
    // A drawing fills at least a sixteenth of its square and never all of it.
    const int opaque = OpaquePixels(image);
    QVERIFY2(opaque >= 16 && opaque < 256, qPrintable(QString::number(opaque)));
    // Large sizes are drawn afresh, not scaled up from a small picture.
    QCOMPARE(icon.pixmap(256, 256).size(), QSize(256, 256));
}

void TToolImagesTest::toolButtonsShowTheirImages() {
    TFrameFixture f;
    int buttons = 0;
    for (QToolButton* button : f.Frame().findChildren<QToolButton*>()) {
        QAction* action = button->defaultAction();
        if (!action || action->icon().isNull())
            continue;
        ++buttons;
        const QImage image = action->icon().pixmap(button->iconSize()).toImage();
        QVERIFY2(OpaquePixels(image) >= 16, qPrintable(action->objectName()));
    }
    QVERIFY(buttons >= 10);
}

void TToolImagesTest::disabledImageIsGrey() {
    const QIcon icon(ToolImagePath(8));
    const QImage normal = icon.pixmap(16, 16).toImage();
    const QImage disabled = icon.pixmap(16, 16, QIcon::Disabled).toImage();
    QCOMPARE(disabled.size(), normal.size());
    QVERIFY(ColouredPixels(normal) > 0);
    QCOMPARE(ColouredPixels(disabled), 0);
}

int main(int argc, char** argv) {
    TToolImagesTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "ToolImagesTest.moc"
