#pragma once
// Marks painted with the text: which characters of a display line get a mark, the glyphs they
// are drawn with, and the painting of one line's marks.

#include "editor/ExtMemoOptions.h"
#include "editor/TextBuffer.h"
#include "editor/TextView.h"

#include <QFont>
#include <QPixmap>
#include <map>
#include <tuple>
#include <vector>

// Glyphs of the marks. A CR LF pair and a line end of one character look different, so that a
// file with mixed line ends shows them.
constexpr char16_t EotGlyph = 0x2190;       // ←
constexpr char16_t CrLfGlyph = 0x2193;      // ↓
constexpr char16_t LoneBreakGlyph = 0xFFEC; // ￬, the half-width form
constexpr char16_t TabGlyph = u'>';
constexpr char16_t SSpGlyph = 0xFF65; // ･
constexpr char16_t DSpGlyph = 0x25A1; // □

// One mark: at a buffer position, of a kind, with its glyph.
struct TMarkAt {
    qsizetype Pos = 0;
    TEditMarkKind Kind = emCrLf;
    char16_t Glyph = 0;
    bool operator==(const TMarkAt&) const = default;
};

// Appends the marks of enabled kinds for text, whose first character is at buffer position
// start; a line break is marked at its first character. Positions in [selStart, selEnd) get
// none. The end-of-text mark is not a character's and is not found here.
void FindMarks(QStringView text, qsizetype start, const TEditMarks& marks, qsizetype selStart,
               qsizetype selEnd, std::vector<TMarkAt>& out);

// Where a mark's glyph cell sits relative to the top-left corner of its character's cell.
QPoint MarkOffset(TEditMarkKind kind);

// What the painter needs to know of the control for one paint.
struct TMarkScene {
    const TEditMarks* Marks = nullptr;
    const TAdvanceTable* Advances = nullptr; // of the text font
    QFont TextFont;
    QColor Background;
    QPalette Palette;       // resolves system colours of the marks
    qsizetype SelStart = 0; // the selection [SelStart, SelEnd); empty when equal
    qsizetype SelEnd = 0;
    qsizetype TextLength = 0;
    int RightEdge = 0;      // the end mark is drawn only left of this x
    double VisibleLeft = 0; // horizontal range of the viewport worth painting
    double VisibleRight = 0;
};

class TMarksPainter {
public:
    // Paints the marks of one display line over its text.
    void PaintLine(QPainter& painter, const TPaintedLine& line, const TTextBuffer& buffer,
                   const TMarkScene& scene);

private:
    // The mark font: the text font at the height of one full-width character less two pixels.
    void UseFont(const QFont& textFont);
    // A glyph drawn in fore, on a block of back when back is valid, else on nothing.
    const QPixmap& Image(char16_t glyph, QColor fore, QColor back, qreal ratio);
    // Paints a mark whose character starts at x and ends at next.
    void Paint(QPainter& painter, const TPaintedLine& line, const TMarkAt& mark, double x,
               double next, QColor color, bool reversed, QColor background);

    QFont FTextFont;
    QFont FFont;
    QFont FNarrowFont; // for half-width forms the font lacks
    double FAscent = 0;
    double FHeight = 0;
    std::map<std::tuple<char16_t, QRgb, QRgb, qreal>, QPixmap> FImages;
    std::vector<TMarkAt> FFound;
    std::vector<double> FXs;
};
