// The gradient caption: the title composed from the pieces and read back, the gradient's bands,
// which pieces a narrow bar keeps, justification, the gradient switch and the pieces' fonts.

#include "chrome/GradCaption.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <memory>

Q_DECLARE_METATYPE(TJustification)
Q_DECLARE_METATYPE(TGradEnabled)

namespace {

// The bands as the rule states them, in floating point rounded half away from zero.
int Rounded(double value) {
    return int(std::lround(value));
}

QColor ExpectedColumn(int x, int width, int n, QColor left, QColor right) {
    for (int i = 0; i < n; ++i) {
        const int x0 = Rounded(double(width) * i / n);
        const int x1 = Rounded(double(width) * (i + 1) / n);
        if (x < x0 || x >= x1)
            continue;
        if (n == 1)
            return left;
        auto part = [&](int l, int r) {
            return l + Rounded(double(r - l) * i / (n - 1));
        };
        return QColor(part(left.red(), right.red()), part(left.green(), right.green()),
                      part(left.blue(), right.blue()));
    }
    return {};
}

// Pure colours for the pieces' texts, drawn without smoothing so that they can be found.
constexpr TColor CompanyColor = 0x0000FF; // red
constexpr TColor AppNameColor = 0x00FF00; // green
constexpr TColor CaptionColor = 0xFFFF00; // cyan

bool Contains(const QImage& image, TColor color) {
    const QRgb wanted = qRgb(int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == wanted)
                return true;
    return false;
}

void PlainText(TCompanyText& piece, TColor color) {
    QFont font = piece.Font();
    font.setStyleStrategy(QFont::NoAntialias);
    piece.SetFont(font);
    piece.SetColorActive(color);
}

} // namespace

class TGradCaptionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> FForm;
    TGradientCaption* FCaption = nullptr;

private Q_SLOTS:
    void init() {
        FForm = std::make_unique<QWidget>();
        FCaption = new TGradientCaption(*FForm);
    }
    void cleanup() { FForm.reset(); }

    void composesTheTitle_data() {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("appName");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("hidden"); // 1 company, 2 application name, 4 caption
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("application and caption") << ""
                                                 << "App"
                                                 << "Doc" << 0 << "App Doc"
                                                 << "Doc";
        QTest::newRow("all three") << "ACME"
                                   << "App"
                                   << "Doc" << 0 << "ACME App Doc"
                                   << "Doc";
        QTest::newRow("company hidden") << "ACME"
                                        << "App"
                                        << "Doc" << 1 << "App Doc"
                                        << "Doc";
        QTest::newRow("application hidden") << "ACME"
                                            << "App"
                                            << "Doc" << 2 << "ACME Doc"
                                            << "Doc";
        QTest::newRow("caption hidden") << "ACME"
                                        << "App"
                                        << "Doc" << 4 << "ACME App"
                                        << "";
        QTest::newRow("empty caption keeps the blank") << ""
                                                       << "App"
                                                       << "" << 0 << "App "
                                                       << "";
        QTest::newRow("caption alone") << ""
                                       << ""
                                       << "Doc" << 0 << "Doc"
                                       << "Doc";
        QTest::newRow("caption with a leading blank") << ""
                                                      << "App"
                                                      << " Doc" << 0 << "App  Doc"
                                                      << " Doc";
        QTest::newRow("pieces repeated in the caption") << "A"
                                                        << "B"
                                                        << "A B" << 0 << "A B A B"
                                                        << "A B";
        QTest::newRow("nothing visible") << "ACME"
                                         << "App"
                                         << "Doc" << 7 << ""
                                         << "";
    }
    void composesTheTitle() {
        QFETCH(QString, company);
        QFETCH(QString, appName);
        QFETCH(QString, caption);
        QFETCH(int, hidden);
        QFETCH(QString, title);
        QFETCH(QString, readBack);
        FCaption->CompanyText().SetCaption(company);
        FCaption->AppNameText().SetCaption(appName);
        FCaption->CaptionText().SetCaption(caption);
        FCaption->CompanyText().SetVisible(!(hidden & 1));
        FCaption->AppNameText().SetVisible(!(hidden & 2));
        FCaption->CaptionText().SetVisible(!(hidden & 4));
        QCOMPARE(FForm->windowTitle(), title);
        QCOMPARE(FCaption->CaptionText().Caption(), readBack);
    }

    void readsWhatFollowsTheApplicationName() {
        FCaption->AppNameText().SetCaption(QStringLiteral("Quorvel for JavaScript v.1.46"));
        QCOMPARE(FForm->windowTitle(), QStringLiteral("Quorvel for JavaScript v.1.46 "));
        // What the MDI frame makes of its title while a child is maximised.
        FForm->setWindowTitle(QStringLiteral("Quorvel for JavaScript v.1.46  - [/tmp/a.html]"));
        QCOMPARE(FCaption->CaptionText().Caption(), QStringLiteral(" - [/tmp/a.html]"));
        // A title without the application name is read whole.
        FForm->setWindowTitle(QStringLiteral("other"));
        QCOMPARE(FCaption->CaptionText().Caption(), QStringLiteral("other"));
    }

    void recomposesOnlyOnChanges() {
        FCaption->AppNameText().SetCaption(QStringLiteral("App"));
        FForm->setWindowTitle(QStringLiteral("set elsewhere"));
        FCaption->AppNameText().SetCaption(QStringLiteral("App"));
        FCaption->CaptionText().SetVisible(true);
        QCOMPARE(FForm->windowTitle(), QStringLiteral("set elsewhere"));
        FCaption->CaptionText().SetCaption(QStringLiteral("x"));
        QCOMPARE(FForm->windowTitle(), QStringLiteral("App x"));
    }

    void leavesTheCaptionPieceWhenRemoved() {
        FCaption->AppNameText().SetCaption(QStringLiteral("App"));
        FCaption->CaptionText().SetCaption(QStringLiteral("Doc"));
        delete FCaption;
        QCOMPARE(FForm->windowTitle(), QStringLiteral("Doc"));
    }

    void clampsNumColors() {
        QCOMPARE(FCaption->NumColors(), 64);
        FCaption->SetNumColors(300);
        QCOMPARE(FCaption->NumColors(), 256);
        FCaption->SetNumColors(0);
        FCaption->SetNumColors(-5);
        QCOMPARE(FCaption->NumColors(), 256);
        FCaption->SetNumColors(1);
        QCOMPARE(FCaption->NumColors(), 1);
    }

    void paintsTheBands_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("width");
        for (int n : {1, 2, 64, 256})
            for (int width : {203, 640})
                QTest::addRow("%d bands over %d", n, width) << n << width;
    }
    void paintsTheBands() {
        QFETCH(int, n);
        QFETCH(int, width);
        const QColor left(10, 200, 30);
        const QColor right(250, 20, 131);
        const QColor outside(1, 2, 3);
        QImage image(width + 10, 12, QImage::Format_RGB32);
        image.fill(outside);
        const QRect text(5, 2, width, 8);
        {
            QPainter painter(&image);
            PaintGradient(painter, text, left, right, n);
        }
        for (int x = 0; x < width; ++x) {
            const QColor expected = ExpectedColumn(x, width, n, left, right);
            for (int y : {text.top(), text.bottom()})
                QCOMPARE(image.pixelColor(text.left() + x, y), expected);
        }
        for (QPoint p : {QPoint(4, 5), QPoint(text.right() + 1, 5), QPoint(10, 1), QPoint(10, 10)})
            QCOMPARE(image.pixelColor(p), outside);
        // The ends carry the two colours.
        QCOMPARE(image.pixelColor(text.left(), 5), left);
        if (n > 1)
            QCOMPARE(image.pixelColor(text.right(), 5), right);
    }

    void fillsTheBarWhenPainting() {
        FCaption->SetColorLeftActive(clBlack);
        FCaption->SetColorRightActive(clBlue);
        FCaption->SetEnabled(geAlways);
        QImage image(300, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            FCaption->PaintCaption(painter, image.rect(), QRect(0, 0, 250, 20), true);
        }
        // Behind the buttons the bar takes the gradient's right colour.
        QCOMPARE(image.pixelColor(280, 10), QColor(0, 0, 255));
        QCOMPARE(image.pixelColor(0, 10), QColor(0, 0, 0));
        FCaption->SetEnabled(geNever);
        {
            QPainter painter(&image);
            FCaption->PaintCaption(painter, image.rect(), QRect(0, 0, 250, 20), true);
        }
        const QColor solid = QColorFromTColor(clActiveCaption, FForm->palette());
        QCOMPARE(image.pixelColor(0, 10), solid);
        QCOMPARE(image.pixelColor(280, 10), solid);
    }

    void switchesTheGradient_data() {
        QTest::addColumn<TGradEnabled>("enabled");
        QTest::addColumn<bool>("active");
        QTest::addColumn<int>("depth");
        QTest::addColumn<bool>("gradient");
        QTest::newRow("always, inactive") << geAlways << false << 4 << true;
        QTest::newRow("never, active") << geNever << true << 32 << false;
        QTest::newRow("when active, active") << geWhenActive << true << 8 << true;
        QTest::newRow("when active, inactive") << geWhenActive << false << 32 << false;
        QTest::newRow("smart, 8 bits, active") << geSmart << true << 8 << true;
        QTest::newRow("smart, 8 bits, inactive") << geSmart << false << 8 << false;
        QTest::newRow("smart, 7 bits, active") << geSmart << true << 7 << false;
        QTest::newRow("smart, 16 bits, inactive") << geSmart << false << 16 << true;
    }
    void switchesTheGradient() {
        QFETCH(TGradEnabled, enabled);
        QFETCH(bool, active);
        QFETCH(int, depth);
        QFETCH(bool, gradient);
        QCOMPARE(GradientOn(enabled, active, depth), gradient);
    }

    void dropsPiecesThatDoNotFit_data() {
        QTest::addColumn<int>("spare"); // the bar's width less all three pieces
        QTest::addColumn<bool>("company");
        QTest::addColumn<bool>("appName");
        QTest::newRow("room for all") << 1 << true << true;
        QTest::newRow("exactly all") << 0 << false << true;
        QTest::newRow("room for two") << -1 << false << true;
        QTest::newRow("caption alone") << -1000 << false << false;
    }
    void dropsPiecesThatDoNotFit() {
        QFETCH(int, spare);
        QFETCH(bool, company);
        QFETCH(bool, appName);
        FCaption->CompanyText().SetCaption(QStringLiteral("Talvoro"));
        FCaption->AppNameText().SetCaption(QStringLiteral("Quorvel"));
        FCaption->CaptionText().SetCaption(QStringLiteral("document.html"));
        PlainText(FCaption->CompanyText(), CompanyColor);
        PlainText(FCaption->AppNameText(), AppNameColor);
        PlainText(FCaption->CaptionText(), CaptionColor);
        auto width = [](TCompanyText& piece) {
            return QFontMetrics(piece.Font()).horizontalAdvance(piece.Caption()) + 3;
        };
        const int company3 = width(FCaption->CompanyText());
        const int all = company3 + width(FCaption->AppNameText()) + width(FCaption->CaptionText());
        // Without the company piece there is room to spare when spare is -1.
        const int bar = std::max(20, all + spare);
        QImage image(bar, 24, QImage::Format_RGB32);
        FCaption->SetEnabled(geNever);
        {
            QPainter painter(&image);
            FCaption->PaintCaption(painter, image.rect(), image.rect(), true);
        }
        QCOMPARE(Contains(image, CompanyColor), company);
        QCOMPARE(Contains(image, AppNameColor), appName);
        QVERIFY(Contains(image, CaptionColor)); // always drawn, cut with an ellipsis
    }

    void justifies_data() {
        QTest::addColumn<TJustification>("justification");
        QTest::addColumn<int>("drawn");
        QTest::addColumn<int>("left");
        QTest::newRow("left") << jLeft << 40 << 10;
        QTest::newRow("auto stays left") << jAuto << 40 << 10;
        QTest::newRow("centre") << jCenter << 40 << 10 + 30;
        QTest::newRow("centre, odd spare") << jCenter << 39 << 10 + 30;
        QTest::newRow("right") << jRight << 40 << 10 + 60;
        QTest::newRow("right, too wide") << jRight << 120 << 10;
        QTest::newRow("centre, too wide") << jCenter << 100 << 10;
    }
    void justifies() {
        QFETCH(TJustification, justification);
        QFETCH(int, drawn);
        QFETCH(int, left);
        QCOMPARE(JustifiedLeft(justification, QRect(10, 0, 100, 18), drawn), left);
    }

    void letsTheHandlerMoveTheText() {
        FCaption->CaptionText().SetCaption(QStringLiteral("document.html"));
        PlainText(FCaption->CaptionText(), CaptionColor);
        QRect seen;
        QFont font;
        FCaption->OnDrawCaption = [&](TGradientCaption* sender, QPainter& canvas, QRect& r) {
            QCOMPARE(sender, FCaption);
            seen = r;
            font = canvas.font();
            r.setLeft(r.right()); // leaves no room for the text
        };
        QImage image(200, 20, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            FCaption->PaintCaption(painter, image.rect(), QRect(0, 0, 180, 20), true);
        }
        QCOMPARE(seen, QRect(0, 0, 180, 20));
        QCOMPARE(font, FCaption->CaptionFont());
        QVERIFY(!Contains(image, CaptionColor));
    }

    void derivesThePiecesFonts() {
        const QFont caption = FCaption->CaptionFont();
        TCompanyText& piece = FCaption->CompanyText();
        QCOMPARE(piece.FontKind(), fkSystem);
        QCOMPARE(piece.Font(), caption);
        QVERIFY(!piece.IsStored(u"Font"));
        piece.SetFontKind(fkSystemBI);
        QVERIFY(piece.Font().bold() && piece.Font().italic());
        piece.SetFontKind(fkSystemI);
        QVERIFY(!piece.Font().bold() && piece.Font().italic());
        piece.SetFontKind(fkSystemB);
        QVERIFY(piece.Font().bold() && !piece.Font().italic());

        QFont big = caption;
        big.setPixelSize(40);
        piece.SetFont(big);
        QCOMPARE(piece.FontKind(), fkCustom);
        QCOMPARE(piece.Font().pixelSize(), 40);
        QVERIFY(piece.IsStored(u"Font"));

        piece.SetFontKind(fkAutoHeight);
        QCOMPARE(CharHeight(piece.Font()), CharHeight(caption));
        piece.SetFont(big);
        QCOMPARE(piece.FontKind(), fkAutoHeight);
        QCOMPARE(CharHeight(piece.Font()), CharHeight(caption));
        QVERIFY(piece.IsStored(u"Font"));
    }

    void followsTheSystemCaptionFont() {
        FCaption->AppNameText().SetFontKind(fkSystemB);
        QFont custom = FCaption->CaptionFont();
        custom.setPixelSize(7);
        FCaption->CompanyText().SetFont(custom);
        // The desktop's font changes (title bars follow the application font here).
        const QFont before = QApplication::font();
        QFont larger = before;
        larger.setPixelSize(31);
        QApplication::setFont(larger);
        QTRY_COMPARE(FCaption->CaptionFont().pixelSize(), 31);
        QCOMPARE(FCaption->CaptionText().Font().pixelSize(), 31);
        QCOMPARE(FCaption->AppNameText().Font().pixelSize(), 31);
        QVERIFY(FCaption->AppNameText().Font().bold());
        QCOMPARE(FCaption->CompanyText().Font().pixelSize(), 7);
        QApplication::setFont(before);
    }

    void copiesPieces() {
        FCaption->CompanyText().SetCaption(QStringLiteral("ACME"));
        FCaption->CompanyText().SetColorActive(clBlue);
        FCaption->CompanyText().SetFontKind(fkSystemBI);
        FCaption->AppNameText().Assign(FCaption->CompanyText());
        QCOMPARE(FCaption->AppNameText().Caption(), QStringLiteral("ACME"));
        QCOMPARE(FCaption->AppNameText().ColorActive(), clBlue);
        QCOMPARE(FCaption->AppNameText().FontKind(), fkSystemBI);
        QCOMPARE(FForm->windowTitle(), QStringLiteral("ACME ACME "));
    }
};

QTEST_MAIN(TGradCaptionTest)
#include "GradCaptionTest.moc"
