#include "app/SvgIcon.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QXmlStreamReader>
#include <cmath>

namespace {

class TPathScanner {
public:
    explicit TPathScanner(QStringView text) : FText(text) {}

    void SkipSeparators() {
        while (FPos < FText.size() && (FText[FPos].isSpace() || FText[FPos] == u','))
            ++FPos;
    }
    bool AtEnd() {
        SkipSeparators();
        return FPos >= FText.size();
    }
    bool AtNumber() {
        SkipSeparators();
        if (FPos >= FText.size())
            return false;
        const QChar c = FText[FPos];
        return c.isDigit() || c == u'-' || c == u'+' || c == u'.';
    }
    QChar Command() { return FText[FPos++]; }
    // A number as SVG writes them: "-1.5e2", ".5", and "1.5.5" as two numbers.
    bool Number(double& value) {
        if (!AtNumber())
            return false;
        const qsizetype start = FPos;
        if (FText[FPos] == u'-' || FText[FPos] == u'+')
            ++FPos;
        bool dot = false;
        while (FPos < FText.size() &&
               (FText[FPos].isDigit() || (FText[FPos] == u'.' && !std::exchange(dot, true))))
            ++FPos;
        if (FPos < FText.size() && (FText[FPos] == u'e' || FText[FPos] == u'E')) {
            qsizetype e = FPos + 1;
            if (e < FText.size() && (FText[e] == u'-' || FText[e] == u'+'))
                ++e;
            if (e < FText.size() && FText[e].isDigit()) {
                FPos = e;
                while (FPos < FText.size() && FText[FPos].isDigit())
                    ++FPos;
            }
        }
        bool ok = false;
        value = FText.mid(start, FPos - start).toDouble(&ok);
        return ok;
    }

private:
    QStringView FText;
    qsizetype FPos = 0;
};

std::vector<double> Numbers(QStringView text) {
    TPathScanner scanner(text);
    std::vector<double> values;
    double value = 0;
    while (scanner.Number(value))
        values.push_back(value);
    return values;
}

struct TStyle {
    QColor Fill = Qt::black;
    QColor Stroke;
    double StrokeWidth = 1;
    Qt::PenCapStyle Cap = Qt::FlatCap;
    Qt::PenJoinStyle Join = Qt::MiterJoin;
    Qt::FillRule Rule = Qt::WindingFill;
    double Opacity = 1, FillOpacity = 1, StrokeOpacity = 1;
};

QColor Paint(QStringView value) {
    if (value == u"none")
        return {};
    return QColor::fromString(value);
}

TStyle Inherit(TStyle style, const QXmlStreamAttributes& attributes) {
    auto has = [&](QStringView name) {
        return attributes.hasAttribute(name.toString());
    };
    auto value = [&](QStringView name) {
        return attributes.value(name.toString());
    };
    if (has(u"fill"))
        style.Fill = Paint(value(u"fill"));
    if (has(u"stroke"))
        style.Stroke = Paint(value(u"stroke"));
    if (has(u"stroke-width"))
        style.StrokeWidth = value(u"stroke-width").toDouble();
    if (has(u"stroke-linecap")) {
        const QStringView cap = value(u"stroke-linecap");
        style.Cap = cap == u"round" ? Qt::RoundCap : cap == u"square" ? Qt::SquareCap : Qt::FlatCap;
    }
    if (has(u"stroke-linejoin")) {
        const QStringView join = value(u"stroke-linejoin");
        style.Join = join == u"round"   ? Qt::RoundJoin
                     : join == u"bevel" ? Qt::BevelJoin
                                        : Qt::MiterJoin;
    }
    if (has(u"fill-rule"))
        style.Rule = value(u"fill-rule") == u"evenodd" ? Qt::OddEvenFill : Qt::WindingFill;
    // Group opacity multiplies down; for drawings without overlapping group members that is
    // what a compositing renderer shows.
    if (has(u"opacity"))
        style.Opacity *= value(u"opacity").toDouble();
    if (has(u"fill-opacity"))
        style.FillOpacity = value(u"fill-opacity").toDouble();
    if (has(u"stroke-opacity"))
        style.StrokeOpacity = value(u"stroke-opacity").toDouble();
    return style;
}

QPainterPath ShapePath(QStringView element, const QXmlStreamAttributes& attributes) {
    auto number = [&](const char16_t* name) {
        return attributes.value(QString::fromUtf16(name)).toDouble();
    };
    QPainterPath path;
    if (element == u"path") {
        path = ParseSvgPathData(attributes.value(QStringLiteral("d")));
    } else if (element == u"rect") {
        const QRectF rect(number(u"x"), number(u"y"), number(u"width"), number(u"height"));
        double rx = number(u"rx"), ry = number(u"ry");
        if (ry == 0)
            ry = rx;
        if (rx == 0)
            rx = ry;
        if (rx > 0)
            path.addRoundedRect(rect, rx, ry);
        else
            path.addRect(rect);
    } else if (element == u"circle") {
        const double r = number(u"r");
        path.addEllipse(QPointF(number(u"cx"), number(u"cy")), r, r);
    } else if (element == u"ellipse") {
        path.addEllipse(QPointF(number(u"cx"), number(u"cy")), number(u"rx"), number(u"ry"));
    } else if (element == u"line") {
        path.moveTo(number(u"x1"), number(u"y1"));
        path.lineTo(number(u"x2"), number(u"y2"));
    } else if (element == u"polyline" || element == u"polygon") {
        const std::vector<double> points = Numbers(attributes.value(QStringLiteral("points")));
        for (size_t i = 0; i + 1 < points.size(); i += 2) {
            if (i == 0)
                path.moveTo(points[i], points[i + 1]);
            else
                path.lineTo(points[i], points[i + 1]);
        }
        if (element == u"polygon" && points.size() >= 4)
            path.closeSubpath();
    }
    return path;
}

class TSvgIconEngine : public QIconEngine {
public:
    explicit TSvgIconEngine(TSvgDrawing drawing) : FDrawing(std::move(drawing)) {}
    QIconEngine* clone() const override { return new TSvgIconEngine(FDrawing); }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        if (!FDrawing.IsValid() || rect.isEmpty())
            return;
        if (mode != QIcon::Disabled) {
            FDrawing.Render(*painter, rect);
            return;
        }
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QImage image = FDrawing.ToImage(rect.size() * ratio);
        image.setDevicePixelRatio(ratio);
        QStyleOption option;
        option.palette = QApplication::palette();
        const QPixmap greyed = QApplication::style()->generatedIconPixmap(
            QIcon::Disabled, QPixmap::fromImage(image), &option);
        painter->drawPixmap(rect, greyed);
    }
    // QIconEngine's own pixmap() paints onto a pixmap it never clears, opaque and uninitialised:
    // whatever the memory held would show through every pixel the image leaves empty.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QString key() const override { return QStringLiteral("TSvgIconEngine"); }

private:
    TSvgDrawing FDrawing;
};

} // namespace

QPainterPath ParseSvgPathData(QStringView data) {
    TPathScanner scan(data);
    QPainterPath path;
    QPointF current, start, lastControl;
    QChar previous;
    QChar command;
    auto read = [&](std::initializer_list<double*> targets) {
        for (double* target : targets)
            if (!scan.Number(*target))
                return false;
        return true;
    };
    while (!scan.AtEnd()) {
        if (!scan.AtNumber()) {
            command = scan.Command();
        } else if (command.isNull()) {
            break; // numbers before any command
        }
        const bool relative = command.isLower();
        const QPointF origin = relative ? current : QPointF();
        double x = 0, y = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        switch (command.toUpper().unicode()) {
        case u'M':
            if (!read({&x, &y}))
                return path;
            current = start = origin + QPointF(x, y);
            path.moveTo(current);
            // Further pairs after a move are lines.
            command = relative ? u'l' : u'L';
            break;
        case u'L':
            if (!read({&x, &y}))
                return path;
            current = origin + QPointF(x, y);
            path.lineTo(current);
            break;
        case u'H':
            if (!read({&x}))
                return path;
            current.setX(relative ? current.x() + x : x);
            path.lineTo(current);
            break;
        case u'V':
            if (!read({&y}))
                return path;
            current.setY(relative ? current.y() + y : y);
            path.lineTo(current);
            break;
        case u'C':
            if (!read({&x1, &y1, &x2, &y2, &x, &y}))
                return path;
            lastControl = origin + QPointF(x2, y2);
            current = origin + QPointF(x, y);
            path.cubicTo(origin + QPointF(x1, y1), lastControl, current);
            break;
        case u'S': {
            if (!read({&x2, &y2, &x, &y}))
                return path;
            const QChar p = previous.toUpper();
            const QPointF first = (p == u'C' || p == u'S') ? 2 * current - lastControl : current;
            lastControl = origin + QPointF(x2, y2);
            current = origin + QPointF(x, y);
            path.cubicTo(first, lastControl, current);
            break;
        }
        case u'Q':
            if (!read({&x1, &y1, &x, &y}))
                return path;
            lastControl = origin + QPointF(x1, y1);
            current = origin + QPointF(x, y);
            path.quadTo(lastControl, current);
            break;
        case u'T': {
            if (!read({&x, &y}))
                return path;
            const QChar p = previous.toUpper();
            lastControl = (p == u'Q' || p == u'T') ? 2 * current - lastControl : current;
            current = origin + QPointF(x, y);
            path.quadTo(lastControl, current);
            break;
        }
        case u'Z':
            path.closeSubpath();
            current = start;
            command = QChar(); // a number after Z starts nothing
            previous = u'Z';
            continue;
        default:
            return path;
        }
        previous = command;
    }
    return path;
}

TSvgDrawing::TSvgDrawing(const QByteArray& data) {
    QXmlStreamReader xml(data);
    std::vector<TStyle> styles{TStyle()};
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            const QStringView name = xml.name();
            const QXmlStreamAttributes attributes = xml.attributes();
            TStyle style = Inherit(styles.back(), attributes);
            if (name == u"svg" && !FValid) {
                const std::vector<double> box =
                    Numbers(attributes.value(QStringLiteral("viewBox")));
                if (box.size() == 4 && box[2] > 0 && box[3] > 0) {
                    FViewBox = QRectF(box[0], box[1], box[2], box[3]);
                    FValid = true;
                }
            } else if (name != u"g") {
                QPainterPath path = ShapePath(name, attributes);
                if (!path.isEmpty()) {
                    path.setFillRule(style.Rule);
                    TShape shape;
                    shape.Path = path;
                    shape.Fill = style.Fill;
                    if (shape.Fill.isValid())
                        shape.Fill.setAlphaF(
                            float(shape.Fill.alphaF() * style.FillOpacity * style.Opacity));
                    shape.Stroke = style.Stroke;
                    if (shape.Stroke.isValid())
                        shape.Stroke.setAlphaF(
                            float(shape.Stroke.alphaF() * style.StrokeOpacity * style.Opacity));
                    shape.StrokeWidth = style.StrokeWidth;
                    shape.Cap = style.Cap;
                    shape.Join = style.Join;
                    FShapes.push_back(std::move(shape));
                }
            }
            styles.push_back(style);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (styles.size() > 1)
                styles.pop_back();
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        FValid = false;
}

TSvgDrawing TSvgDrawing::FromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return TSvgDrawing(file.readAll());
}

void TSvgDrawing::Render(QPainter& painter, const QRectF& target) const {
    if (!FValid)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width() / FViewBox.width(), target.height() / FViewBox.height());
    painter.translate(-FViewBox.topLeft());
    for (const TShape& shape : FShapes) {
        if (shape.Fill.isValid())
            painter.fillPath(shape.Path, shape.Fill);
        if (shape.Stroke.isValid() && shape.StrokeWidth > 0)
            painter.strokePath(shape.Path, QPen(shape.Stroke, shape.StrokeWidth, Qt::SolidLine,
                                                shape.Cap, shape.Join));
    }
    painter.restore();
}

QImage TSvgDrawing::ToImage(QSize size) const {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Render(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

QIcon SvgIcon(const QString& path) {
    return QIcon(new TSvgIconEngine(TSvgDrawing::FromFile(path)));
}
