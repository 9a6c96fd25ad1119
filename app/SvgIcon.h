#pragma once
// The tool images and the program icon are SVG drawings of our own. Qt draws SVG only through a
// module we do not link, and the drawings use a small part of SVG, so they are read and painted
// here: <svg> with a viewBox, <g>, <path> (M L H V C S Q T Z, absolute and relative), <rect>
// (with rx), <circle>, <ellipse>, <line>, <polyline> and <polygon>, painted with the attributes
// fill, stroke, stroke-width, stroke-linecap, stroke-linejoin, fill-rule, opacity, fill-opacity
// and stroke-opacity (inherited from <g>). Anything else is skipped.

#include <QColor>
#include <QIcon>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <vector>

class QPainter;

class TSvgDrawing {
public:
    TSvgDrawing() = default;
    explicit TSvgDrawing(const QByteArray& data);
    static TSvgDrawing FromFile(const QString& path);

    bool IsValid() const { return FValid; }
    QRectF ViewBox() const { return FViewBox; }
    qsizetype ShapeCount() const { return qsizetype(FShapes.size()); }
    // Paints the view box scaled into target.
    void Render(QPainter& painter, const QRectF& target) const;
    QImage ToImage(QSize size) const;

private:
    struct TShape {
        QPainterPath Path;
        QColor Fill;   // invalid: not filled
        QColor Stroke; // invalid: not stroked
        double StrokeWidth = 1;
        Qt::PenCapStyle Cap = Qt::FlatCap;
        Qt::PenJoinStyle Join = Qt::MiterJoin;
    };
    std::vector<TShape> FShapes;
    QRectF FViewBox;
    bool FValid = false;
};

// The path data of a <path> element; parsing stops at the first command it does not know.
QPainterPath ParseSvgPathData(QStringView data);

// An icon that paints the drawing at whatever size it is asked for, greyed when disabled.
QIcon SvgIcon(const QString& path);
