// Draws an SVG drawing into a square PNG of the given size, for the desktop's icon theme, which
// wants fixed-size pictures beside the scalable one.
//   qjs-icon-png <drawing.svg> <size> <out.png>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    QTextStream err(stderr);
    bool sizeOk = false;
    const int size = args.size() == 4 ? args[2].toInt(&sizeOk) : 0;
    if (!sizeOk || size < 1 || size > 4096) {
        err << "使い方: qjs-icon-png <SVG ファイル> <大きさ 1〜4096> <PNG ファイル>\n";
        return 2;
    }
    QSvgRenderer drawing(args[1]);
    if (!drawing.isValid()) {
        err << QStringLiteral("ファイル %1 は SVG として読めません\n").arg(args[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawing.render(&painter);
    painter.end();
    if (!image.save(args[3], "PNG")) {
        err << QStringLiteral("ファイル %1 を作成できません\n").arg(args[3]);
        return 1;
    }
    return 0;
}
