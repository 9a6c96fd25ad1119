// The SVG subset the tool images are drawn in: path data with relative, implicit and smooth
// commands and SVG's number syntax, inherited paint attributes, and every image of the program
// painting at tool size.

#include "FrameFixture.h"

#include "app/Main.h"
#include "app/SvgIcon.h"

#include <QPainter>
#include <QTest>

namespace {

int OpaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128;
    return count;
}

TSvgDrawing Drawing(const char* body) {
    return TSvgDrawing(QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 16 "
                                  "16\">") +
                       body + "</svg>");
}

} // namespace

class TSvgIconTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pathBounds_data();
    void pathBounds();
    void smoothCurveReflectsItsControlPoint();
    void unknownCommandEndsThePath();
    void paintAttributesInherit();
    void strokeOnly();
    void brokenDocumentsAreInvalid();
    void everyImageRenders();
    void disabledIconIsGrey();
};

void TSvgIconTest::pathBounds_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<QRectF>("bounds");
    QTest::newRow("absolute") << QStringLiteral("M1 1 L3 1 L3 3 Z") << QRectF(1, 1, 2, 2);
    QTest::newRow("relative") << QStringLiteral("m1 1 l2 0 v2 h-2 z") << QRectF(1, 1, 2, 2);
    QTest::newRow("commas, H and V") << QStringLiteral("M1,1H3V3") << QRectF(1, 1, 2, 2);
    QTest::newRow("pairs after M are lines")
        << QStringLiteral("M0 0 1 0 1 1") << QRectF(0, 0, 1, 1);
    QTest::newRow("relative pairs after m") << QStringLiteral("m1 1 1 0 0 1") << QRectF(1, 1, 1, 1);
    QTest::newRow("numbers run together")
        << QStringLiteral("M.5.5L1.5.5-1 2") << QRectF(-1, 0.5, 2.5, 1.5);
    QTest::newRow("exponent") << QStringLiteral("M-1e1 0L0 2E0") << QRectF(-10, 0, 10, 2);
    QTest::newRow("repeated line pairs") << QStringLiteral("M0 0L1 0 1 3") << QRectF(0, 0, 1, 3);
    QTest::newRow("after Z a move starts at the start")
        << QStringLiteral("M2 2 h2 v2 z l-2 0") << QRectF(0, 2, 4, 2);
}

void TSvgIconTest::pathBounds() {
    QFETCH(QString, data);
    QFETCH(QRectF, bounds);
    QCOMPARE(ParseSvgPathData(data).boundingRect(), bounds);
}

void TSvgIconTest::smoothCurveReflectsItsControlPoint() {
    const QPainterPath path = ParseSvgPathData(u"M0 0 C0 1 1 1 1 0 S2 -1 2 0");
    // move, then two cubics of three elements each
    QCOMPARE(path.elementCount(), 7);
    QCOMPARE(QPointF(path.elementAt(4)), QPointF(1, -1));
    QCOMPARE(QPointF(path.elementAt(6)), QPointF(2, 0));
    // Without a curve before it, S takes the current point as its first control point.
    const QPainterPath alone = ParseSvgPathData(u"M0 0 S1 1 2 0");
    QCOMPARE(QPointF(alone.elementAt(1)), QPointF(0, 0));
}

void TSvgIconTest::unknownCommandEndsThePath() {
    const QPainterPath path = ParseSvgPathData(u"M0 0 L1 1 A1 1 0 0 0 2 2 L3 3");
    QCOMPARE(path.elementCount(), 2);
    QCOMPARE(ParseSvgPathData(u"1 2 L3 4").elementCount(), 0);
}

void TSvgIconTest::paintAttributesInherit() {
    const TSvgDrawing drawing =
        Drawing("<g fill=\"#ff0000\" opacity=\"0.5\"><rect x=\"0\" y=\"0\" width=\"16\" "
                "height=\"16\"/></g><circle cx=\"8\" cy=\"8\" r=\"2\" fill=\"#0000ff\"/>");
    QVERIFY(drawing.IsValid());
    QCOMPARE(drawing.ShapeCount(), 2);
    const QImage image = drawing.ToImage(QSize(16, 16));
    const QColor corner = image.pixelColor(1, 1);
    QCOMPARE(corner.red(), 255);
    QVERIFY(qAbs(corner.alpha() - 128) <= 2);
    QCOMPARE(image.pixelColor(8, 8), QColor(0, 0, 255));
}

void TSvgIconTest::strokeOnly() {
    const TSvgDrawing drawing = Drawing("<rect x=\"2\" y=\"2\" width=\"12\" height=\"12\" "
                                        "fill=\"none\" stroke=\"#00ff00\" stroke-width=\"2\"/>");
    const QImage image = drawing.ToImage(QSize(32, 32));
    QCOMPARE(image.pixelColor(4, 16), QColor(0, 255, 0));
    QCOMPARE(qAlpha(image.pixel(16, 16)), 0);
}

void TSvgIconTest::brokenDocumentsAreInvalid() {
    QVERIFY(!TSvgDrawing(QByteArray("<svg viewBox=\"0 0 16 16\"><rect")).IsValid());
    QVERIFY(!TSvgDrawing(QByteArray("<svg><rect width=\"1\" height=\"1\"/></svg>")).IsValid());
    QVERIFY(!TSvgDrawing::FromFile(QStringLiteral(":/icons/missing.svg")).IsValid());
}

void TSvgIconTest::everyImageRenders() {
    QStringList paths{QStringLiteral(":/quorveljs.svg")};
    for (int image = 0; image < 19; ++image)
        paths << ToolImagePath(image);
    for (const QString& path : paths) {
        const TSvgDrawing drawing = TSvgDrawing::FromFile(path);
        QVERIFY2(drawing.IsValid(), qPrintable(path));
        QVERIFY2(drawing.ShapeCount() >= 1, qPrintable(path));
        const int opaque = OpaquePixels(drawing.ToImage(QSize(16, 16)));
        QVERIFY2(opaque >= 16, qPrintable(path + u' ' + QString::number(opaque)));
    }
}

// The icon's pixmaps, normal and greyed, are transparent wherever the drawing leaves the
// pixmap empty: nothing of the memory they were made in shows through.
void TSvgIconTest::disabledIconIsGrey() {
    const QIcon icon = SvgIcon(ToolImagePath(8));
    const QImage normal = icon.pixmap(16, 16).toImage();
    const QImage disabled = icon.pixmap(16, 16, QIcon::Disabled).toImage();
    const QImage drawn = TSvgDrawing::FromFile(ToolImagePath(8)).ToImage(QSize(16, 16));
    QCOMPARE(normal.convertToFormat(drawn.format()), drawn);
    QCOMPARE(disabled.size(), normal.size());
    QVERIFY(disabled != normal);
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (qAlpha(drawn.pixel(x, y)) == 0)
                QCOMPARE(qAlpha(disabled.pixel(x, y)), 0);
    int coloured = 0;
    for (int y = 0; y < disabled.height(); ++y)
        for (int x = 0; x < disabled.width(); ++x)
            coloured += disabled.pixelColor(x, y).hsvSaturation() > 60 &&
                        disabled.pixelColor(x, y).alpha() > 128;
    QCOMPARE(coloured, 0);
}

int main(int argc, char** argv) {
    TSvgIconTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "SvgIconTest.moc"
