#include "editor/ExtMemo.h"

#include "editor/LineBreaker.h"
#include "platform/Error.h"

#include <algorithm>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

namespace {

// The longest punctuation string the exchange buffer carries (2048 units with the terminator).
constexpr qsizetype MaxPunctuation = 2047;

// The composition colours the control uses until it is told otherwise: black on white,
// underlined, with the clause under conversion in grey, or reversed while not yet converted.
constexpr TCompColors DefaultImeColors = {{
    {clBlack, clWhite, fsUnderline},
    {clBlack, clGray, 0},
    {clBlack, clWhite, fsUnderline},
    {clWhite, clBlack, 0},
}};

} // namespace

TExtMemo::TExtMemo(QWidget* parent)
    : TTextView(parent), FEditArea(this), FImeColors(this), FWordWrapOption(this) {
    FControl.ImeColors = DefaultImeColors;
    SetBreakRules(ControlRules());
    CreateWnd();
    // Every selection change, however it came, moves the caret marker.
    connect(this, &TTextView::SelectionChanged, this, &TExtMemo::DrawCaretMarker);
}

TExtMemo::~TExtMemo() = default;

// ---------------------------------------------------------------------------------------------
// Window creation

void TExtMemo::CreateWnd() {
    // A new window starts with the control's own rectangle and options.
    const bool modified = Buffer().Modified();
    SetFormatRect(QRect());
    SetOverflowWidth(0);
    SetSelectionBar(FLineSelect);
    Buffer().SetModified(modified);

    // The predefined sets are whatever the control answers in the two level modes. The mode
    // word is switched without re-wrapping: nothing is laid out in between.
    const uint32_t mode = FControl.ModeWord;
    for (auto [row, word] : {std::pair{wbfLevel1, WBF_LEVEL1}, std::pair{wbfLevel2, WBF_LEVEL2}}) {
        FControl.ModeWord = word | WBF_WORDWRAP | WBF_WORDBREAK | WBF_OVERFLOW;
        for (int kind = PC_FOLLOWING; kind <= PC_DELIMITER; ++kind)
            FWordWrapOption.FPunctuation[row][size_t(kind - 1)] =
                ControlPunctuation(kind).left(MaxPunctuation);
    }
    FControl.ModeWord = mode;

    // The edit area takes the live control's geometry; OverFlow is one full-width character.
    const QRect rect = FormatRect();
    const int overflow = QFontMetrics(font()).horizontalAdvance(QString(QChar(0x25A1)));
    const int clientBottom = viewport()->height() - 1;
    FEditArea.FMargin.FLeft = std::max(0, rect.left());
    FEditArea.FMargin.FTop = std::max(0, rect.top());
    FEditArea.FMargin.FBottom = std::max(0, clientBottom - rect.bottom());
    FEditArea.FOverFlow = overflow;
    // A window narrower than one character would give a negative width, which no setter takes.
    FEditArea.FWidth = std::max(0, rect.width() - overflow);
}

void TExtMemo::RecreateWnd() {
    EraseCaretMarker();
    CreateWnd();
}

void TExtMemo::SetLineSelect(bool value) {
    if (value == FLineSelect)
        return;
    FLineSelect = value;
    RecreateWnd();
}

void TExtMemo::SetVertical(bool value) {
    if (value == FVertical)
        return;
    FVertical = value;
    RecreateWnd();
}

// ---------------------------------------------------------------------------------------------
// Properties

void TExtMemo::SetEditArea(const TEditArea& value) {
    FEditArea.Assign(value);
}

TImeColors& TExtMemo::ImeColors() {
    if (!FLoading)
        for (size_t i = 0; i < FControl.ImeColors.size(); ++i)
            FImeColors.FColors[i].Take(FControl.ImeColors[i]);
    return FImeColors;
}

void TExtMemo::SetImeColors(const TImeColors& value) {
    if (!FImeColors.SameValues(value))
        FImeColors.Assign(value);
}

TWordWrapOption& TExtMemo::WordWrapOption() {
    if (!FLoading)
        FWordWrapOption.FModeWord = FControl.ModeWord;
    return FWordWrapOption;
}

bool TExtMemo::IsStored(QStringView name) const {
    if (name == u"LineSelect")
        return !FLineSelect;
    if (name == u"Vertical")
        return FVertical;
    for (const char16_t* known : {u"EditArea", u"EditMarks", u"ImeColors", u"CaretMarker",
                                  u"WordWrapMarker", u"WordWrapOption"})
        if (name == known)
            return true;
    throw EQuorvelError(QStringLiteral("TExtMemo にプロパティ %1 はありません").arg(name));
}

// ---------------------------------------------------------------------------------------------
// Queries and commands

qsizetype TExtMemo::CurrentLine() {
    return LineFromChar(SelStart());
}

qsizetype TExtMemo::CurrentColumn() {
    const qsizetype pos = SelStart();
    const qsizetype start = LineIndex(CurrentLine());
    if (start < 0 || start >= pos)
        return 0;
    return Cells(Buffer().Text(start, pos - start));
}

void TExtMemo::SelectAll() {
    if (!FVertical && WordWrap() && FCaretMarker.Enabled())
        EraseCaretMarker();
    TTextView::SelectAll();
}

void TExtMemo::EraseCaretMarker() {
    if (FVertical)
        return;
    // Marks and markers are painted with the text, so erasing is forgetting the line and
    // repainting; the line stays remembered as its complement.
    if (FCaretMarkerLine >= 0) {
        FCaretMarkerLine = ~FCaretMarkerLine;
        viewport()->update();
    }
}

void TExtMemo::DrawCaretMarker() {
    const std::optional<int32_t> line = CaretMarkerTarget();
    if (!line || *line == FCaretMarkerLine)
        return;
    EraseCaretMarker();
    FCaretMarkerLine = *line;
    viewport()->update();
}

std::optional<int32_t> TExtMemo::CaretMarkerTarget() {
    if (!WordWrap() || FVertical || !FCaretMarker.Enabled() || !FEditArea.Enabled() ||
        SelLength() > 0)
        return std::nullopt;
    // Without focus the marker stays where the user left it, whatever the program selects.
    // Display line indexes as counted so far: the marker never waits for the whole text to be
    // counted, and what is visible has been.
    const int32_t line = hasFocus()              ? int32_t(IndexOf(CaretLine()))
                         : FCaretMarkerLine >= 0 ? FCaretMarkerLine
                                                 : ~FCaretMarkerLine;
    if (line < TopIndex() || line > IndexOfPos(CharFromPos(FormatRect().bottomLeft())))
        return std::nullopt;
    return line;
}

// ---------------------------------------------------------------------------------------------
// Marks and markers

bool TExtMemo::AnyCharacterMark() const {
    constexpr TEditMarkKind kinds[] = {emCrLf, emCtrl, emDSp, emSSp, emTab};
    return std::any_of(std::begin(kinds), std::end(kinds),
                       [this](TEditMarkKind kind) { return FEditMarks.Mark(kind).Enabled(); });
}

int TExtMemo::SquareWidth() const {
    return QFontMetrics(Advances().Font()).horizontalAdvance(QChar(DSpGlyph));
}

void TExtMemo::PaintLine(QPainter& painter, const TPaintedLine& line) {
    if (FVertical)
        return;
    const QRect rect = FormatRect();
    TMarkScene scene;
    scene.Marks = &FEditMarks;
    scene.Advances = &Advances();
    scene.TextFont = Advances().Font();
    scene.Background = palette().color(QPalette::Base);
    scene.Palette = palette();
    scene.SelStart = SelStart();
    scene.SelEnd = SelStart() + SelLength();
    scene.TextLength = TextLength();
    scene.RightEdge = rect.x() + rect.width();
    scene.VisibleLeft = rect.left();
    scene.VisibleRight = rect.x() + rect.width() + 1;
    FMarksPainter.PaintLine(painter, line, Buffer(), scene);
}

void TExtMemo::PaintExtras(QPainter& painter) {
    if (FVertical)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect r = FormatRect();
    const QRect client = viewport()->rect();
    if (TextLength() > 0 && AnyCharacterMark()) {
        // Marks of lines that reach below the rectangle must not show there. The text's clip
        // keeps one column right of the rectangle for a caret at the edge; that column stays.
        const int right = r.x() + r.width() + 1;
        const QRect strips[] = {
            QRect(client.topLeft(), QPoint(r.left() - 1, client.bottom())),
            QRect(client.topLeft(), QPoint(client.right(), r.top() - 1)),
            QRect(QPoint(client.left(), r.bottom() + 1), client.bottomRight()),
            QRect(QPoint(right, client.top()), client.bottomRight()),
        };
        for (const QRect& strip : strips)
            if (strip.isValid())
                painter.fillRect(strip, palette().color(QPalette::Base));
    }

    const int wrapColumn = FEditArea.Margin().Left() + FEditArea.Width();
    if (WordWrap() && FWordWrapMarker.Enabled() && FEditArea.Enabled()) {
        // With an overflow area the marker leaves the wrap column's last pixel to the text.
        const int x = wrapColumn + (FEditArea.OverFlow() > 0 ? 1 : 0);
        painter.setPen(QPen(QColorFromTColor(FWordWrapMarker.Color(), palette()), 1));
        painter.drawLine(x, client.top(), x, client.bottom());
    }

    // The marker is painted anew each time; until then it counts as not drawn.
    if (FCaretMarkerLine >= 0)
        FCaretMarkerLine = ~FCaretMarkerLine;
    if (const std::optional<int32_t> line = CaretMarkerTarget()) {
        FCaretMarkerLine = *line;
        const int y =
            int(TopEdge() + double(*line - TopIndex()) * Advances().LineHeight()) + SquareWidth();
        if (wrapColumn - 1 >= r.left()) {
            painter.setPen(QPen(QColorFromTColor(FCaretMarker.Color(), palette()), 1));
            painter.drawLine(r.left(), y, wrapColumn - 1, y);
        }
    }
    painter.restore();
}

// ---------------------------------------------------------------------------------------------
// Input that moves the caret marker

void TExtMemo::keyPressEvent(QKeyEvent* event) {
    // A Shift+arrow selection hides the marker before the selection shows.
    const int key = event->key();
    if ((event->modifiers() & Qt::ShiftModifier) &&
        (key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down))
        EraseCaretMarker();
    TTextView::keyPressEvent(event);
}

void TExtMemo::mousePressEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    if (left)
        EraseCaretMarker();
    TTextView::mousePressEvent(event);
    // A click that leaves the selection as it was changes nothing the selection signal sees.
    if (left)
        DrawCaretMarker();
}

void TExtMemo::mouseDoubleClickEvent(QMouseEvent* event) {
    // The double-click selects a word: no marker while it is selected.
    if (event->button() == Qt::LeftButton)
        EraseCaretMarker();
    TTextView::mouseDoubleClickEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Edit area

void TExtMemo::ApplyEditArea() {
    if (!WordWrap() || FVertical || !FEditArea.Enabled())
        return;
    TEditMargin& margin = FEditArea.FMargin;
    // The selection bar needs room left of the text.
    if (FLineSelect && margin.FLeft < 10)
        margin.FLeft = 10;
    const int clientBottom = viewport()->height() - 1;
    const int bottom = std::max(margin.FTop, clientBottom - margin.FBottom);
    SetOverflowWidth(FEditArea.FOverFlow);
    SetFormatRect(QRect(QPoint(margin.FLeft, margin.FTop),
                        QSize(FEditArea.FWidth + FEditArea.FOverFlow, bottom - margin.FTop + 1)));
}

void TExtMemo::resizeEvent(QResizeEvent* event) {
    TTextView::resizeEvent(event);
    // The rectangle's bottom follows the window.
    ApplyEditArea();
}

// ---------------------------------------------------------------------------------------------
// Input-method colours

void TExtMemo::ApplyImeColors() {
    SetControlImeColors(FImeColors.ToCompColors(palette()));
}

void TExtMemo::SetControlImeColors(const TCompColors& colors) {
    if (colors == FControl.ImeColors)
        return;
    FControl.ImeColors = colors;
    if (Composing())
        viewport()->update();
}

QTextCharFormat TExtMemo::ImeFormat(TImeSegment segment) const {
    const TCompColor& color = FControl.ImeColors[size_t(segment)];
    QTextCharFormat format;
    format.setForeground(QColorFromTColor(color.Text, palette()));
    format.setBackground(QColorFromTColor(color.Background, palette()));
    if (color.Effects & fsBold)
        format.setFontWeight(QFont::Bold);
    format.setFontItalic(color.Effects & fsItalic);
    format.setFontUnderline(color.Effects & fsUnderline);
    format.setFontStrikeOut(color.Effects & fsStrikeOut);
    return format;
}

// ---------------------------------------------------------------------------------------------
// Line-break settings

void TExtMemo::SetControlWordWrapMode(uint32_t word) {
    if (word == FControl.ModeWord)
        return;
    FControl.ModeWord = word;
    SetBreakRules(ControlRules());
}

QString TExtMemo::ControlPunctuation(int kind) const {
    if (kind < PC_FOLLOWING || kind > PC_DELIMITER)
        return {};
    const size_t k = size_t(kind - 1);
    switch (PunctuationModeOf(FControl.ModeWord)) {
    case wbfCustom:
        return FControl.Custom[k];
    case wbfLevel1:
    case wbfLevel2: {
        const TBreakRules& rules =
            PunctuationModeOf(FControl.ModeWord) == wbfLevel1 ? Level1Rules() : Level2Rules();
        const QString* sets[] = {&rules.Following, &rules.Leading, &rules.OverFlowChars,
                                 &rules.Delimiters};
        return *sets[k];
    }
    }
    return {};
}

bool TExtMemo::SetControlPunctuation(int kind, const QString& text) {
    if (kind < PC_FOLLOWING || kind > PC_DELIMITER)
        return false;
    QString& stored = FControl.Custom[size_t(kind - 1)];
    const bool usable = text.size() <= MaxPunctuation &&
                        std::none_of(text.begin(), text.end(),
                                     [](QChar c) { return c.unicode() < 0x20 || c == u'\x7F'; });
    const QString now = usable ? text : QString();
    if (now != stored) {
        stored = now;
        if (PunctuationModeOf(FControl.ModeWord) == wbfCustom)
            SetBreakRules(ControlRules());
    }
    return usable;
}

TBreakRules TExtMemo::ControlRules() const {
    const uint32_t word = FControl.ModeWord;
    TBreakRules rules;
    switch (PunctuationModeOf(word)) {
    case wbfLevel1:
        rules = Level1Rules();
        break;
    case wbfLevel2:
        rules = Level2Rules();
        break;
    case wbfCustom:
        rules.Following = FControl.Custom[0];
        rules.Leading = FControl.Custom[1];
        rules.OverFlowChars = FControl.Custom[2];
        rules.Delimiters = FControl.Custom[3];
        break;
    }
    rules.WordWrap = word & WBF_WORDWRAP;
    rules.WordBreak = word & WBF_WORDBREAK;
    rules.OverFlow = word & WBF_OVERFLOW;
    return rules;
}
