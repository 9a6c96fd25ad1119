// Marks, markers and composition colours as they reach the screen: the control is rendered
// offscreen and the cells where they belong are searched for their colours.

#include "ShownMemo.h"
#include "editor/ExtMemo.h"
#include "platform/FontSubstitution.h"

#include <QInputMethodEvent>
#include <QTest>
#include <QTextCharFormat>

namespace {

// Saturated mark colours, far from black text, the white background and the selection.
constexpr TColor Red = 0x0000FF;
constexpr TColor Green = 0x00FF00;
constexpr TColor Blue = 0xFF0000;
constexpr TColor Magenta = 0xFF00FF;
constexpr TColor Cyan = 0xFFFF00;
constexpr TColor Orange = 0x0080FF;
constexpr TColor Yellow = 0x00FFFF;

// One colour per mark kind, in the order of TEditMarkKind.
constexpr TColor KindColor[] = {Red, Green, Blue, Magenta, Cyan, Orange};

QColor Rgb(TColor color) {
    return QColorFromTColor(color);
}

// A pixel of the colour as drawn on the white background: antialiased glyph edges are blends
// of the two, so a pixel counts when it lies on the way from white to the colour, at least half
// way there.
bool Near(QRgb pixel, const QColor& color) {
    double share = -1;
    for (auto [p, c] :
         {std::pair{qRed(pixel), color.red()}, std::pair{qGreen(pixel), color.green()},
          std::pair{qBlue(pixel), color.blue()}}) {
        if (c >= 250) {
            if (p < 235)
                return false;
            continue;
        }
        const double s = (255.0 - p) / (255.0 - c);
        if (share >= 0 && std::abs(share - s) > 0.2)
            return false;
        share = share < 0 ? s : std::min(share, s);
    }
    return share < 0 ? qRed(pixel) >= 235 && qGreen(pixel) >= 235 && qBlue(pixel) >= 235
                     : share >= 0.5 && share <= 1.15;
}

int CountNear(const QImage& image, QRect area, const QColor& color) {
    area &= image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += Near(image.pixel(x, y), color);
    return count;
}

// Pixels of exactly the colour: filled blocks and lines, never glyph edges.
int CountExact(const QImage& image, QRect area, const QColor& color) {
    area &= image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += QColor(image.pixel(x, y)) == color;
    return count;
}

// The shown control with what the mark checks look at: a picture of the viewport and cells.
struct TMarksMemo : TShownMemo {
    using TShownMemo::TShownMemo;
    QImage Shot() { return Memo.viewport()->grab().toImage(); }
    int LineHeight() const { return int(Memo.Advances().LineHeight()); }
    // The cell of the character at pos; a line break or the end of the text gets one
    // full-width cell.
    QRect Cell(qsizetype pos) {
        const QPoint at = Memo.PosFromChar(pos);
        int width = 16;
        if (pos < Memo.TextLength()) {
            const char16_t c = Memo.Buffer().At(pos);
            const QPoint next = Memo.PosFromChar(pos + 1);
            if (c != u'\r' && c != u'\n' && next.y() == at.y() && next.x() > at.x())
                width = next.x() - at.x();
        }
        return QRect(at, QSize(width, LineHeight()));
    }
    void EnableAllMarks() {
        for (int kind = emCrLf; kind <= emEot; ++kind) {
            TEditMark& mark = Memo.EditMarks().Mark(TEditMarkKind(kind));
            mark.SetEnabled(true);
            mark.SetColor(KindColor[kind]);
        }
    }
    // An edit area with room for 300 pixels of text and one hanging character.
    void EnableEditArea(int width = 300, int overflow = 16) {
        TEditArea& area = Memo.EditArea();
        area.Margin().SetLeft(20);
        area.SetWidth(width);
        area.SetOverFlow(overflow);
        area.SetEnabled(true);
    }
    bool Focus() {
        Memo.activateWindow();
        Memo.setFocus();
        return QTest::qWaitForWindowActive(&Memo) && Memo.hasFocus();
    }
};

using TPlaces = QList<QPair<int, int>>; // position, mark kind

// Every kind once, a CR LF pair and both lone line ends:
// SSp 1, Tab 3, DSp 5, Ctrl 7, CR LF 9, lone LF 12, lone CR 14, end 16.
const QString AllKinds = QStringLiteral("a b\tc\u3000d\x01"
                                        "e\r\nf\ng\rh");
const TPlaces AllKindsAt = {{1, emSSp},  {3, emTab},   {5, emDSp},   {7, emCtrl},
                            {9, emCrLf}, {12, emCrLf}, {14, emCrLf}, {16, emEot}};

// The pixels of one colour in a cell, as offsets from its corner.
QList<QPoint> Shape(const QImage& image, QRect cell, const QColor& color) {
    QList<QPoint> shape;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (Near(image.pixel(x, y), color))
                shape << QPoint(x, y) - cell.topLeft();
    return shape;
}

} // namespace

class TExtMemoMarksTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { RegisterFontSubstitutions(); }

    void findMarks_data();
    void findMarks();
    void markInItsCell_data();
    void markInItsCell();
    void lineEndsOfOneCharacterLookDifferent();
    void noMarksInsideSelection_data();
    void noMarksInsideSelection();
    void reversedMarks_data();
    void reversedMarks();
    void endMarkRules_data();
    void endMarkRules();
    void controlCharacterShowsItsLetter();
    void outsideTheRectangleIsBackground();
    void nothingWhenVertical();
    void longLineScrolledSideways();
    void marksFollowTyping_data();
    void marksFollowTyping();

    void caretMarkerUnderCaretLine_data();
    void caretMarkerUnderCaretLine();
    void caretMarkerOnlyWhenAllowed_data();
    void caretMarkerOnlyWhenAllowed();
    void caretMarkerRemoval_data();
    void caretMarkerRemoval();
    void caretMarkerGoesWithSelectAll();
    void caretMarkerFollowsClick();
    void caretMarkerRemembersLineWithoutFocus();
    void wordWrapMarkerColumn_data();
    void wordWrapMarkerColumn();

    void compositionColouredByClass_data();
    void compositionColouredByClass();
    void compositionDefaults();
    void markAfterComposition();
};

// ---------------------------------------------------------------------------------------------
// Marks

void TExtMemoMarksTest::findMarks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("enabled"); // kinds
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<QString>("expected"); // position:glyph, space separated
    const QList<int> all{emCrLf, emCtrl, emDSp, emSSp, emTab};
    QTest::newRow("CR LF is one mark")
        << QStringLiteral("a\r\n") << all << 0 << 0 << QStringLiteral("1:2193");
    QTest::newRow("lone LF and lone CR")
        << QStringLiteral("\n\r") << all << 0 << 0 << QStringLiteral("0:ffec 1:ffec");
    QTest::newRow("LF CR is two line ends")
        << QStringLiteral("\n\r\n") << all << 0 << 0 << QStringLiteral("0:ffec 1:2193");
    QTest::newRow("control characters show their letter")
        << QStringLiteral("\x00\x01\x1b\x1f") << all << 0 << 0
        << QStringLiteral("0:40 1:41 2:5b 3:5f");
    QTest::newRow("DEL and other characters have no mark")
        << QStringLiteral("\x7f\u3001\u00a0x") << all << 0 << 0 << QString();
    QTest::newRow("blanks and tab")
        << QStringLiteral(" \u3000\t") << all << 0 << 0 << QStringLiteral("0:ff65 1:25a1 2:3e");
    QTest::newRow("only the enabled kinds")
        << QStringLiteral(" \u3000\t\x01\r\n") << QList<int>{emTab, emCtrl} << 0 << 0
        << QStringLiteral("2:3e 3:41");
    QTest::newRow("none in the selection")
        << QStringLiteral("  \t\t  ") << all << 1 << 4 << QStringLiteral("0:ff65 4:ff65 5:ff65");
    QTest::newRow("a selected line end")
        << QStringLiteral(" \r\n ") << all << 1 << 3 << QStringLiteral("0:ff65 3:ff65");
    QTest::newRow("empty selection hides nothing")
        << QStringLiteral("  ") << all << 1 << 1 << QStringLiteral("0:ff65 1:ff65");
}

void TExtMemoMarksTest::findMarks() {
    QFETCH(QString, text);
    QFETCH(QList<int>, enabled);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    QFETCH(QString, expected);
    TEditMarks marks;
    for (int kind : enabled)
        marks.Mark(TEditMarkKind(kind)).SetEnabled(true);
    // Positions start where the text does in the buffer.
    constexpr qsizetype start = 100;
    std::vector<TMarkAt> found;
    FindMarks(text, start, marks, start + selStart, start + selEnd, found);
    QStringList got;
    for (const TMarkAt& mark : found)
        got << QStringLiteral("%1:%2").arg(mark.Pos - start).arg(int(mark.Glyph), 0, 16);
    QCOMPARE(got.join(u' '), expected);
}

void TExtMemoMarksTest::markInItsCell_data() {
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("kind");
    const char* names[] = {"half-width space",  "tab",        "full-width space",
                           "control character", "CR LF",      "lone LF",
                           "lone CR",           "end of text"};
    for (int i = 0; i < AllKindsAt.size(); ++i)
        QTest::newRow(names[i]) << AllKindsAt[i].first << AllKindsAt[i].second;
}

void TExtMemoMarksTest::markInItsCell() {
    QFETCH(int, pos);
    QFETCH(int, kind);
    TMarksMemo shown;
    shown.Memo.Buffer().SetText(AllKinds);
    shown.EnableAllMarks();
    const QImage all = shown.Shot();
    const QRect cell = shown.Cell(pos);
    QVERIFY2(CountNear(all, cell, Rgb(KindColor[kind])) >= 1, "mark missing in its cell");
    // No other kind's colour in this cell, and this kind's colour in no other kind's cell.
    for (const auto& [otherPos, otherKind] : AllKindsAt) {
        if (otherKind == kind)
            continue;
        QCOMPARE(CountNear(all, cell, Rgb(KindColor[otherKind])), 0);
        QCOMPARE(CountNear(all, shown.Cell(otherPos), Rgb(KindColor[kind])), 0);
    }
    // The text's own letters are left alone.
    QVERIFY(CountNear(all, shown.Cell(0), Qt::black) > 5);
    // Switched off, the kind is drawn nowhere.
    shown.Memo.EditMarks().Mark(TEditMarkKind(kind)).SetEnabled(false);
    const QImage without = shown.Shot();
    QCOMPARE(CountNear(without, without.rect(), Rgb(KindColor[kind])), 0);
}

void TExtMemoMarksTest::lineEndsOfOneCharacterLookDifferent() {
    TMarksMemo shown;
    shown.Memo.Buffer().SetText(AllKinds);
    shown.EnableAllMarks();
    const QImage image = shown.Shot();
    const QList<QPoint> pair = Shape(image, shown.Cell(9), Rgb(Red));
    const QList<QPoint> lf = Shape(image, shown.Cell(12), Rgb(Red));
    const QList<QPoint> cr = Shape(image, shown.Cell(14), Rgb(Red));
    QVERIFY(!pair.isEmpty());
    QVERIFY(!lf.isEmpty());
    QVERIFY(pair != lf);
    QCOMPARE(cr, lf);
}

void TExtMemoMarksTest::noMarksInsideSelection_data() {
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QList<int>>("absent"); // positions of AllKinds without their mark
    QTest::newRow("middle") << 3 << 7 << QList<int>{3, 5};
    QTest::newRow("backwards") << 7 << 3 << QList<int>{3, 5};
    QTest::newRow("from the start over a line end") << 0 << 11 << QList<int>{1, 3, 5, 7, 9};
    QTest::newRow("ending just before a mark") << 2 << 5 << QList<int>{3};
    QTest::newRow("a lone line end") << 12 << 13 << QList<int>{12};
    QTest::newRow("everything") << 0 << 16 << QList<int>{1, 3, 5, 7, 9, 12, 14, 16};
}

void TExtMemoMarksTest::noMarksInsideSelection() {
    QFETCH(int, anchor);
    QFETCH(int, caret);
    QFETCH(QList<int>, absent);
    TMarksMemo shown;
    shown.Memo.Buffer().SetText(AllKinds);
    shown.EnableAllMarks();
    shown.Memo.SetSelection(anchor, caret);
    const QImage image = shown.Shot();
    for (const auto& [pos, kind] : AllKindsAt) {
        const int found = CountNear(image, shown.Cell(pos), Rgb(KindColor[kind]));
        if (absent.contains(pos))
            QVERIFY2(found == 0, qPrintable(QStringLiteral("mark at %1 inside").arg(pos)));
        else
            QVERIFY2(found >= 1, qPrintable(QStringLiteral("mark at %1 missing").arg(pos)));
    }
}

void TExtMemoMarksTest::reversedMarks_data() {
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("kind");
    for (const auto& [pos, kind] : AllKindsAt)
        QTest::addRow("%d", pos) << pos << kind;
}

void TExtMemoMarksTest::reversedMarks() {
    QFETCH(int, pos);
    QFETCH(int, kind);
    TMarksMemo shown;
    shown.Memo.Buffer().SetText(AllKinds);
    shown.EnableAllMarks();
    const QColor color = Rgb(KindColor[kind]);
    const QRect cell = shown.Cell(pos);
    const int plain = CountExact(shown.Shot(), cell, color);
    shown.Memo.EditMarks().Mark(TEditMarkKind(kind)).SetReversed(true);
    const QImage image = shown.Shot();
    // A block of the mark's colour, where the glyph alone had few solid pixels.
    const int block = CountExact(image, cell, color);
    QVERIFY2(block > plain + 20, qPrintable(QStringLiteral("%1 vs %2").arg(block).arg(plain)));
    // The glyph is cut out of the block in the background colour: inside the block's bounds
    // some pixels are lighter than the block.
    QRect bounds;
    for (const QPoint& p : Shape(image, cell, color))
        bounds |= QRect(p, QSize(1, 1));
    bounds.translate(cell.topLeft());
    const int solid = CountExact(image, bounds, color);
    QVERIFY(solid > bounds.width() * bounds.height() / 2);
    QVERIFY(solid < bounds.width() * bounds.height());
}

void TExtMemoMarksTest::endMarkRules_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("editArea");
    QTest::addColumn<bool>("shown");
    const QString ten(10, u'あ');
    QTest::newRow("empty text") << QString() << 0 << 0 << false << true;
    QTest::newRow("after the last character") << QStringLiteral("abc") << 3 << 3 << false << true;
    QTest::newRow("after a final line end") << QStringLiteral("abc\r\n") << 0 << 0 << false << true;
    QTest::newRow("selection before the end") << QStringLiteral("abc") << 0 << 2 << false << true;
    QTest::newRow("selection reaching the end")
        << QStringLiteral("abc") << 1 << 3 << false << false;
    QTest::newRow("backward selection reaching the end")
        << QStringLiteral("abc") << 3 << 1 << false << false;
    QTest::newRow("all selected") << QStringLiteral("abc\r\n") << 0 << 5 << false << false;
    QTest::newRow("end at the wrap column") << ten << 0 << 0 << true << true;
    QTest::newRow("end at the rectangle's right edge")
        << ten + QStringLiteral("、") << 0 << 0 << true << false;
}

void TExtMemoMarksTest::endMarkRules() {
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    QFETCH(bool, editArea);
    QFETCH(bool, shown);
    TMarksMemo memo;
    if (editArea)
        memo.EnableEditArea(160, 16);
    memo.Memo.Buffer().SetText(text);
    memo.Memo.SetSelection(anchor, caret);
    memo.Memo.EditMarks().Eot().SetEnabled(true);
    memo.Memo.EditMarks().Eot().SetColor(Orange);
    const QImage image = memo.Shot();
    const int inCell = CountNear(image, memo.Cell(text.size()), Rgb(Orange));
    const int anywhere = CountNear(image, image.rect(), Rgb(Orange));
    if (shown) {
        QVERIFY(inCell >= 1);
        QCOMPARE(anywhere, inCell);
    } else {
        QCOMPARE(anywhere, 0);
    }
}

void TExtMemoMarksTest::controlCharacterShowsItsLetter() {
    // The letter of the control character replaces the font's box: compare with a real "A".
    TMarksMemo shown;
    shown.Memo.Buffer().SetText(QStringLiteral("\x01 A"));
    shown.Memo.EditMarks().Ctrl().SetEnabled(true);
    shown.Memo.EditMarks().Ctrl().SetColor(Green);
    shown.Memo.SetSelection(3, 3); // the caret elsewhere
    QImage image = shown.Shot();
    const QList<QPoint> mark = Shape(image, shown.Cell(0), Rgb(Green));
    QVERIFY(!mark.isEmpty());
    // Nothing of the box is left: the only coloured pixels in the cell are the mark's.
    const QRect cell = shown.Cell(0);
    QCOMPARE(CountNear(image, cell, Qt::black), 0);
    // The same mark for ESC shows "[" instead: a different shape.
    shown.Memo.Buffer().SetText(QStringLiteral("\x1b A"));
    image = shown.Shot();
    QVERIFY(Shape(image, shown.Cell(0), Rgb(Green)) != mark);
}

void TExtMemoMarksTest::outsideTheRectangleIsBackground() {
    TMarksMemo shown;
    TEditArea& area = shown.Memo.EditArea();
    area.Margin().SetBottom(60);
    shown.EnableEditArea();
    QStringList lines;
    for (int i = 0; i < 40; ++i)
        lines << QStringLiteral("漢字の行 %1\t終わり").arg(i);
    shown.Memo.Buffer().SetText(lines.join(QStringLiteral("\r\n")));
    const QRect r = shown.Memo.FormatRect();
    const QRect below(QPoint(0, r.bottom() + 1), shown.Memo.viewport()->rect().bottomRight());
    QVERIFY(below.height() >= 59);
    shown.Memo.EditMarks().CrLf().SetEnabled(true);
    shown.Memo.EditMarks().CrLf().SetColor(Red);
    const QImage image = shown.Shot();
    QCOMPARE(CountExact(image, below, Qt::white), below.width() * below.height());
    // Inside the rectangle the text and its marks are there.
    QVERIFY(CountNear(image, r, Qt::black) > 100);
    QVERIFY(CountNear(image, r, Rgb(Red)) > 10);
}

void TExtMemoMarksTest::nothingWhenVertical() {
    TMarksMemo shown;
    shown.Memo.Buffer().SetText(AllKinds);
    shown.EnableAllMarks();
    shown.EnableEditArea();
    shown.Memo.CaretMarker().SetEnabled(true);
    shown.Memo.CaretMarker().SetColor(Yellow);
    shown.Memo.WordWrapMarker().SetEnabled(true);
    shown.Memo.WordWrapMarker().SetColor(Yellow);
    QImage image = shown.Shot();
    QVERIFY(CountNear(image, image.rect(), Rgb(Yellow)) > 300);
    shown.Memo.SetVertical(true);
    image = shown.Shot();
    for (TColor color : KindColor)
        QCOMPARE(CountNear(image, image.rect(), Rgb(color)), 0);
    QCOMPARE(CountNear(image, image.rect(), Rgb(Yellow)), 0);
}

void TExtMemoMarksTest::longLineScrolledSideways() {
    // Without wrapping a long line is scanned only where it is seen: marks far along it show
    // when it is scrolled there, and those left of the view do not spill into the margin.
    TMarksMemo shown;
    TExtMemo& memo = shown.Memo;
    memo.SetWordWrap(false);
    memo.Buffer().SetText(QStringLiteral("ab\t").repeated(2000) + QStringLiteral("\r\nx"));
    memo.EditMarks().Tab().SetEnabled(true);
    memo.EditMarks().Tab().SetColor(Cyan);
    memo.EditMarks().CrLf().SetEnabled(true);
    memo.EditMarks().CrLf().SetColor(Red);
    memo.SetSelection(3 * 1500, 3 * 1500);
    memo.EnsureCaretVisible();
    QImage image = shown.Shot();
    const QRect r = memo.FormatRect();
    int tabs = 0;
    for (qsizetype pos = 3 * 1500 - 1; pos >= 0; pos -= 3) {
        const QRect cell = shown.Cell(pos);
        if (cell.left() < r.left() + 2)
            break;
        if (cell.right() > r.right())
            continue;
        QVERIFY2(CountNear(image, cell, Rgb(Cyan)) >= 1,
                 qPrintable(QStringLiteral("tab at %1").arg(pos)));
        ++tabs;
    }
    QVERIFY(tabs >= 5); // one every 64 pixels
    QCOMPARE(CountNear(image, QRect(0, 0, r.left(), image.height()), Rgb(Cyan)), 0);
    // The line end at the far end.
    memo.SetSelection(3 * 2000, 3 * 2000);
    memo.EnsureCaretVisible();
    image = shown.Shot();
    QVERIFY(CountNear(image, shown.Cell(3 * 2000), Rgb(Red)) >= 1);
}

void TExtMemoMarksTest::marksFollowTyping_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("key");
    QTest::addColumn<TPlaces>("present"); // position, kind
    QTest::addColumn<TPlaces>("absent");
    QTest::newRow("letter before trailing blanks")
        << QStringLiteral("ab  \r\nc") << 2 << int(Qt::Key_X)
        << TPlaces{{3, emSSp}, {4, emSSp}, {5, emCrLf}} << TPlaces{{2, emSSp}};
    QTest::newRow("letter before a blank and a letter")
        << QStringLiteral("ab c") << 2 << int(Qt::Key_X) << TPlaces{{3, emSSp}}
        << TPlaces{{2, emSSp}};
    QTest::newRow("letter before full-width blanks at the end")
        << QStringLiteral("ab\u3000\u3000") << 2 << int(Qt::Key_X)
        << TPlaces{{3, emDSp}, {4, emDSp}, {5, emEot}} << TPlaces{{2, emDSp}, {4, emEot}};
    QTest::newRow("letter at the end") << QStringLiteral("ab") << 2 << int(Qt::Key_X)
                                       << TPlaces{{3, emEot}} << TPlaces{{2, emEot}};
    QTest::newRow("letter before a line end") << QStringLiteral("ab\r\ncd") << 2 << int(Qt::Key_X)
                                              << TPlaces{{3, emCrLf}} << TPlaces{{2, emCrLf}};
    QTest::newRow("backspace at the end")
        << QStringLiteral("abc") << 3 << int(Qt::Key_Backspace) << TPlaces{{2, emEot}} << TPlaces{};
    QTest::newRow("backspace before trailing blanks")
        << QStringLiteral("abc \t\r\nd") << 3 << int(Qt::Key_Backspace)
        << TPlaces{{2, emSSp}, {3, emTab}, {4, emCrLf}} << TPlaces{{1, emSSp}};
    QTest::newRow("backspace joining lines")
        << QStringLiteral("ab\r\n  ") << 4 << int(Qt::Key_Backspace)
        << TPlaces{{2, emSSp}, {3, emSSp}, {4, emEot}} << TPlaces{{2, emCrLf}};
}

void TExtMemoMarksTest::marksFollowTyping() {
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, key);
    QFETCH(TPlaces, present);
    QFETCH(TPlaces, absent);
    TMarksMemo shown;
    shown.Memo.Buffer().SetText(text);
    shown.EnableAllMarks();
    shown.Memo.SetSelection(caret, caret);
    shown.Shot();
    QTest::keyClick(&shown.Memo, Qt::Key(key));
    const QImage image = shown.Shot();
    for (const auto& [pos, kind] : present)
        QVERIFY2(CountNear(image, shown.Cell(pos), Rgb(KindColor[kind])) >= 1,
                 qPrintable(QStringLiteral("mark %1 missing at %2").arg(kind).arg(pos)));
    for (const auto& [pos, kind] : absent)
        QVERIFY2(CountNear(image, shown.Cell(pos), Rgb(KindColor[kind])) == 0,
                 qPrintable(QStringLiteral("mark %1 left at %2").arg(kind).arg(pos)));
}

// ---------------------------------------------------------------------------------------------
// Markers

namespace {

// Four short lines and a paragraph wrapped into two display lines (line 4 and 5).
const QString MarkerText =
    QStringLiteral("一行目\r\n二行目\r\n三行目\r\n四行目\r\n") + QString(25, u'長');

// The rows of the image where a horizontal run of the colour spans [left, right].
QList<int> MarkerRows(const QImage& image, const QColor& color, int left, int right) {
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (CountNear(image, QRect(QPoint(left, y), QPoint(right, y)), color) == right - left + 1)
            rows << y;
    return rows;
}

} // namespace

void TExtMemoMarksTest::caretMarkerUnderCaretLine_data() {
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("line");
    QTest::newRow("first line") << 0 << 0;
    QTest::newRow("end of the third line") << 13 << 2;
    QTest::newRow("start of a wrapped paragraph") << 20 << 4;
    QTest::newRow("its second display line") << 20 + 19 << 5;
    QTest::newRow("end of the text") << int(MarkerText.size()) << 5;
}

void TExtMemoMarksTest::caretMarkerUnderCaretLine() {
    QFETCH(int, caret);
    QFETCH(int, line);
    TMarksMemo shown;
    QVERIFY(shown.Focus());
    shown.EnableEditArea();
    TExtMemo& memo = shown.Memo;
    memo.Buffer().SetText(MarkerText);
    memo.CaretMarker().SetEnabled(true);
    memo.CaretMarker().SetColor(Green);
    memo.SetSelection(caret, caret);
    const QImage image = shown.Shot();
    QCOMPARE(memo.CaretMarkerLine(), line);
    const int y = memo.PosFromChar(memo.LineIndex(line)).y() + 16;
    // From the rectangle's left edge to the wrap column, not into the overflow area.
    QCOMPARE(MarkerRows(image, Rgb(Green), 20, 319), QList<int>{y});
    QCOMPARE(CountNear(image, image.rect(), Rgb(Green)), 300);
}

void TExtMemoMarksTest::caretMarkerOnlyWhenAllowed_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("marker off") << QStringLiteral("marker");
    QTest::newRow("no word wrap") << QStringLiteral("wrap");
    QTest::newRow("edit area off") << QStringLiteral("area");
    QTest::newRow("vertical") << QStringLiteral("vertical");
    QTest::newRow("selection") << QStringLiteral("selection");
}

void TExtMemoMarksTest::caretMarkerOnlyWhenAllowed() {
    QFETCH(QString, change);
    TMarksMemo shown;
    QVERIFY(shown.Focus());
    TExtMemo& memo = shown.Memo;
    memo.Buffer().SetText(MarkerText);
    shown.EnableEditArea();
    memo.CaretMarker().SetEnabled(true);
    memo.CaretMarker().SetColor(Green);
    memo.SetSelection(6, 6);
    QCOMPARE(CountNear(shown.Shot(), QRect(0, 0, 500, 300), Rgb(Green)), 300);
    if (change == u"marker")
        memo.CaretMarker().SetEnabled(false);
    else if (change == u"wrap")
        memo.SetWordWrap(false);
    else if (change == u"area")
        memo.EditArea().SetEnabled(false);
    else if (change == u"vertical")
        memo.SetVertical(true);
    else
        memo.SetSelection(6, 8);
    const QImage image = shown.Shot();
    QCOMPARE(CountNear(image, image.rect(), Rgb(Green)), 0);
    if (change == u"selection")
        QCOMPARE(~memo.CaretMarkerLine(), 1);
}

void TExtMemoMarksTest::caretMarkerRemoval_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Shift+Left") << int(Qt::Key_Left);
    QTest::newRow("Shift+Right") << int(Qt::Key_Right);
    QTest::newRow("Shift+Up") << int(Qt::Key_Up);
    QTest::newRow("Shift+Down") << int(Qt::Key_Down);
}

void TExtMemoMarksTest::caretMarkerRemoval() {
    QFETCH(int, key);
    TMarksMemo shown;
    QVERIFY(shown.Focus());
    TExtMemo& memo = shown.Memo;
    memo.Buffer().SetText(MarkerText);
    shown.EnableEditArea();
    memo.CaretMarker().SetEnabled(true);
    memo.CaretMarker().SetColor(Green);
    memo.SetSelection(6, 6);
    shown.Shot();
    QCOMPARE(memo.CaretMarkerLine(), 1);
    QTest::keyClick(&memo, Qt::Key(key), Qt::ShiftModifier);
    // Taken away at once, before anything is painted, and not painted with the selection.
    QCOMPARE(memo.CaretMarkerLine(), ~1);
    const QImage image = shown.Shot();
    QCOMPARE(CountNear(image, image.rect(), Rgb(Green)), 0);
    // Moving without Shift ends the selection and brings the marker back.
    QTest::keyClick(&memo, Qt::Key_End);
    QVERIFY(memo.CaretMarkerLine() >= 0);
    QCOMPARE(CountNear(shown.Shot(), image.rect(), Rgb(Green)), 300);
}

void TExtMemoMarksTest::caretMarkerGoesWithSelectAll() {
    TMarksMemo shown;
    QVERIFY(shown.Focus());
    TExtMemo& memo = shown.Memo;
    memo.Buffer().SetText(MarkerText);
    shown.EnableEditArea();
    memo.CaretMarker().SetEnabled(true);
    memo.CaretMarker().SetColor(Green);
    memo.SetSelection(12, 12);
    shown.Shot();
    QCOMPARE(memo.CaretMarkerLine(), 2);
    memo.SelectAll();
    QCOMPARE(memo.CaretMarkerLine(), ~2);
    const QImage image = shown.Shot();
    QCOMPARE(CountNear(image, image.rect(), Rgb(Green)), 0);
}

void TExtMemoMarksTest::caretMarkerFollowsClick() {
    TMarksMemo shown;
    QVERIFY(shown.Focus());
    TExtMemo& memo = shown.Memo;
    memo.Buffer().SetText(MarkerText);
    shown.EnableEditArea();
    memo.CaretMarker().SetEnabled(true);
    memo.CaretMarker().SetColor(Green);
    shown.Shot();
    QCOMPARE(memo.CaretMarkerLine(), 0);
    const QPoint onThirdLine = memo.PosFromChar(11) + QPoint(8, 8);
    QTest::mouseClick(memo.viewport(), Qt::LeftButton, {}, onThirdLine);
    QCOMPARE(memo.CaretMarkerLine(), 2);
    // Clicking where the caret already is keeps the marker there.
    QTest::mouseClick(memo.viewport(), Qt::LeftButton, {}, onThirdLine);
    QCOMPARE(memo.CaretMarkerLine(), 2);
    const int y = memo.PosFromChar(memo.LineIndex(2)).y() + 16;
    QCOMPARE(MarkerRows(shown.Shot(), Rgb(Green), 20, 319), QList<int>{y});
    // A double-click selects a word: no marker.
    QTest::mouseDClick(memo.viewport(), Qt::LeftButton, {}, onThirdLine);
    QVERIFY(memo.SelLength() > 0);
    QVERIFY(memo.CaretMarkerLine() < 0);
    const QImage image = shown.Shot();
    QCOMPARE(CountNear(image, image.rect(), Rgb(Green)), 0);
}

void TExtMemoMarksTest::caretMarkerRemembersLineWithoutFocus() {
    TMarksMemo shown;
    QVERIFY(shown.Focus());
    TExtMemo& memo = shown.Memo;
    memo.Buffer().SetText(MarkerText);
    shown.EnableEditArea();
    memo.CaretMarker().SetEnabled(true);
    memo.CaretMarker().SetColor(Green);
    memo.SetSelection(6, 6);
    shown.Shot();
    QCOMPARE(memo.CaretMarkerLine(), 1);
    memo.clearFocus();
    QVERIFY(!memo.hasFocus());
    // The program moves the caret while the user is elsewhere: the marker stays where the user
    // left it.
    memo.SetSelection(12, 12);
    const int rememberedY = memo.PosFromChar(memo.LineIndex(1)).y() + 16;
    QCOMPARE(MarkerRows(shown.Shot(), Rgb(Green), 20, 319), QList<int>{rememberedY});
    QCOMPARE(memo.CaretMarkerLine(), 1);
    // A selection hides it; an empty one again shows it on the remembered line.
    memo.SetSelection(12, 14);
    QCOMPARE(CountNear(shown.Shot(), QRect(0, 0, 500, 300), Rgb(Green)), 0);
    memo.SetSelection(14, 14);
    QCOMPARE(MarkerRows(shown.Shot(), Rgb(Green), 20, 319), QList<int>{rememberedY});
    // Focus back: the caret's own line.
    QVERIFY(shown.Focus());
    const int caretY = memo.PosFromChar(memo.LineIndex(2)).y() + 16;
    QCOMPARE(MarkerRows(shown.Shot(), Rgb(Green), 20, 319), QList<int>{caretY});
    QCOMPARE(memo.CaretMarkerLine(), 2);
}

void TExtMemoMarksTest::wordWrapMarkerColumn_data() {
    QTest::addColumn<int>("overflow");
    QTest::addColumn<int>("column");
    QTest::newRow("at the wrap column") << 0 << 320;
    QTest::newRow("one pixel right with an overflow area") << 16 << 321;
}

void TExtMemoMarksTest::wordWrapMarkerColumn() {
    QFETCH(int, overflow);
    QFETCH(int, column);
    TMarksMemo shown;
    TExtMemo& memo = shown.Memo;
    memo.Buffer().SetText(MarkerText);
    memo.WordWrapMarker().SetEnabled(true);
    memo.WordWrapMarker().SetColor(Cyan);
    QImage image = shown.Shot();
    QCOMPARE(CountNear(image, image.rect(), Rgb(Cyan)), 0); // no edit area yet
    shown.EnableEditArea(300, overflow);
    image = shown.Shot();
    const int height = image.height();
    QCOMPARE(CountNear(image, QRect(column, 0, 1, height), Rgb(Cyan)), height);
    QCOMPARE(CountNear(image, image.rect(), Rgb(Cyan)), height);
    memo.SetWordWrap(false);
    image = shown.Shot();
    QCOMPARE(CountNear(image, image.rect(), Rgb(Cyan)), 0);
}

// ---------------------------------------------------------------------------------------------
// Composition colours

namespace {

QInputMethodEvent::Attribute Format(int start, int length, bool background) {
    QTextCharFormat format;
    format.setFontUnderline(true);
    if (background)
        format.setBackground(QColor(10, 20, 30));
    return {QInputMethodEvent::TextFormat, start, length, format};
}

} // namespace

void TExtMemoMarksTest::compositionColouredByClass_data() {
    QTest::addColumn<QList<QInputMethodEvent::Attribute>>("attributes");
    QTest::addColumn<QList<int>>("segments"); // TImeSegment of each of the four characters
    QTest::newRow("no formats: still being typed")
        << QList<QInputMethodEvent::Attribute>{}
        << QList<int>{isUntransfered, isUntransfered, isUntransfered, isUntransfered};
    QTest::newRow("underline only: still being typed")
        << QList<QInputMethodEvent::Attribute>{Format(0, 4, false)}
        << QList<int>{isUntransfered, isUntransfered, isUntransfered, isUntransfered};
    QTest::newRow("first clause under conversion")
        << QList<QInputMethodEvent::Attribute>{Format(0, 2, true), Format(2, 2, false)}
        << QList<int>{isWatchingTransfered, isWatchingTransfered, isTransfered, isTransfered};
    QTest::newRow("middle clause under conversion")
        << QList<QInputMethodEvent::Attribute>{Format(0, 1, false), Format(1, 2, true),
                                               Format(3, 1, false)}
        << QList<int>{isTransfered, isWatchingTransfered, isWatchingTransfered, isTransfered};
    QTest::newRow("clause with no format around it")
        << QList<QInputMethodEvent::Attribute>{Format(3, 1, true)}
        << QList<int>{isTransfered, isTransfered, isTransfered, isWatchingTransfered};
}

void TExtMemoMarksTest::compositionColouredByClass() {
    QFETCH(QList<QInputMethodEvent::Attribute>, attributes);
    QFETCH(QList<int>, segments);
    TMarksMemo shown;
    TExtMemo& memo = shown.Memo;
    memo.Buffer().SetText(QStringLiteral("ab\r\ncd"));
    memo.SetSelection(1, 1);
    const TColor backgrounds[] = {Yellow, Magenta, Cyan, Green};
    const TColor texts[] = {Blue, Red, Blue, Red};
    TImeColors colors;
    for (int i = 0; i < 4; ++i) {
        colors.Color(i).SeticText(texts[i]);
        colors.Color(i).SeticBackground(backgrounds[i]);
    }
    memo.SetImeColors(colors);
    QInputMethodEvent event(QStringLiteral("にほんご"), attributes);
    QApplication::sendEvent(&memo, &event);
    const QImage image = shown.Shot();
    const QPoint at = memo.PosFromChar(1);
    for (int i = 0; i < 4; ++i) {
        const QRect cell(at + QPoint(16 * i, 0), QSize(16, shown.LineHeight()));
        const QColor expected = Rgb(backgrounds[segments[i]]);
        QVERIFY2(CountExact(image, cell, expected) > 16 * 8,
                 qPrintable(QStringLiteral("character %1").arg(i)));
        QVERIFY(CountNear(image, cell, Rgb(texts[segments[i]])) > 5);
        for (TColor other : backgrounds)
            if (Rgb(other) != expected)
                QCOMPARE(CountExact(image, cell, Rgb(other)), 0);
    }
    // The text after the composition is pushed right and keeps its colours.
    const QRect after(at + QPoint(64, 0), QSize(8, shown.LineHeight()));
    QVERIFY(CountNear(image, after, Qt::black) > 5);
}

void TExtMemoMarksTest::compositionDefaults() {
    // Nothing set: the clause under conversion on grey, the rest black on white, underlined.
    TMarksMemo shown;
    TExtMemo& memo = shown.Memo;
    QInputMethodEvent event(QStringLiteral("にほんご"), {Format(0, 2, true), Format(2, 2, false)});
    QApplication::sendEvent(&memo, &event);
    const QImage image = shown.Shot();
    const QPoint at = memo.PosFromChar(0);
    const QRect clause(at, QSize(32, shown.LineHeight()));
    const QRect rest(at + QPoint(32, 0), QSize(32, shown.LineHeight()));
    QVERIFY(CountExact(image, clause, QColor(0x80, 0x80, 0x80)) > 32 * 8);
    QCOMPARE(CountExact(image, clause, Qt::white), 0);
    QVERIFY(CountExact(image, rest, Qt::white) > 32 * 8);
    // The underline: a full row of dark pixels across the rest, none across the clause.
    int underlined = 0;
    for (int y = rest.top(); y <= rest.bottom(); ++y)
        underlined +=
            CountNear(image, QRect(rest.left(), y, rest.width(), 1), Qt::black) == rest.width();
    QVERIFY(underlined >= 1);
    // And ImeColors reports what is in force.
    QCOMPARE(memo.ImeColors().WatchingTransfered().icBackground(), clGray);
    QCOMPARE(memo.ImeColors().Transfered().Style(), TFontStyles(fsUnderline));
}

void TExtMemoMarksTest::markAfterComposition() {
    // A line end's mark sits after a composition at the line's end, not under it.
    TMarksMemo shown;
    TExtMemo& memo = shown.Memo;
    memo.Buffer().SetText(QStringLiteral("ab\r\ncd"));
    shown.EnableAllMarks();
    memo.SetSelection(2, 2);
    const QPoint end = memo.PosFromChar(2);
    QInputMethodEvent event(QStringLiteral("にほ"), {});
    QApplication::sendEvent(&memo, &event);
    const QImage image = shown.Shot();
    const QRect composition(end, QSize(32, shown.LineHeight()));
    const QRect after(end + QPoint(32, 0), QSize(16, shown.LineHeight()));
    QCOMPARE(CountNear(image, composition, Rgb(Red)), 0);
    QVERIFY(CountNear(image, after, Rgb(Red)) >= 1);
}

QTEST_MAIN(TExtMemoMarksTest)
#include "ExtMemoMarksTest.moc"
