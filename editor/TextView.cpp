#include "editor/TextView.h"

#include "editor/CharClass.h"
#include "editor/LineNumberGutter.h"
#include "editor/MatchHighlighter.h"
#include "editor/Search.h"
#include "editor/TextViewAccessible.h"
#include "platform/TextCodec.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextCharFormat>
#include <limits>
#include <utility>

namespace {
constexpr int SelectionBarWidth = 8;
constexpr int DefaultMargin = 2;
// Behind a bracket and its partner: light enough for every colour of text, and blue where the
// search matches are yellow.
const QColor PairBackground(0xbf, 0xdf, 0xff);

} // namespace

TTextView::TTextView(QWidget* parent)
    : QAbstractScrollArea(parent), FWrap(FBuffer), FColours(FBuffer) {
    TTextViewAccessible::Install();
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true); // the pointer changes over the selection bar
    viewport()->setBackgroundRole(QPalette::Base);
    connect(&FBuffer, &TTextBuffer::Changed, this, &TTextView::OnBufferChanged);
    connect(&FBuffer, &TTextBuffer::Reset, this, [this] {
        ++FEdits;
        FLayouts.clear();
        FComposition.reset();
        FColumnCache.Paragraph = -1;
        FSel = {};
        FCaretUpstream = false;
        FTopLine = {};
        FMaxWidth = 0;
        UpdateScrollBars();
        UpdateGutter();
        viewport()->update();
        Q_EMIT SelectionChanged();
    });
    connect(&FWrap, &TWrapMap::CountsChanged, this, [this] {
        UpdateScrollBars();
        viewport()->update();
    });
    // The background pass repaints only when it changed colours on screen.
    connect(&FColours, &TSyntaxColours::Recoloured, this, [this](qsizetype first, qsizetype last) {
        const qsizetype bottom = Next(FTopLine, VisibleLines()).Paragraph;
        if (first <= bottom && last >= FTopLine.Paragraph)
            viewport()->update();
    });
    FMatchHighlighter = new TMatchHighlighter(FBuffer, this);
    connect(FMatchHighlighter, &TMatchHighlighter::MatchesChanged, viewport(),
            qOverload<>(&QWidget::update));
    SetTextFont(font());
}

TTextView::~TTextView() = default;

// ---------------------------------------------------------------------------------------------
// Options and geometry

void TTextView::SetTextFont(const QFont& font) {
    setFont(font);
    FAdvances = std::make_unique<TAdvanceTable>(font);
    UpdateGeometry();
}

void TTextView::SetLineNumbers(bool on) {
    if (on == LineNumbers())
        return;
    if (on) {
        FGutter = new TLineNumberGutter(this);
        FGutter->show();
    } else {
        delete std::exchange(FGutter, nullptr);
        setViewportMargins(0, 0, 0, 0);
    }
    UpdateGutter();
}

// The gutter's width follows the number of paragraphs; its place is left of the viewport.
void TTextView::UpdateGutter() {
    if (!FGutter)
        return;
    const int width = FGutter->WidthFor(FBuffer.LineCount());
    if (viewportMargins().left() != width)
        setViewportMargins(width, 0, 0, 0);
    const QRect area = viewport()->geometry();
    FGutter->setGeometry(area.left() - width, area.top(), width, area.height());
    FGutter->update();
}

void TTextView::SetSyntaxLanguage(TSyntaxLanguage language) {
    if (language == FColours.Language())
        return;
    FColours.SetLanguage(language);
    ++FEdits;
    FLayouts.clear();
    FComposition.reset();
    viewport()->update();
}

void TTextView::SetSyntaxPalette(const TSyntaxPalette& palette) {
    if (palette == FPalette)
        return;
    FPalette = palette;
    FLayouts.clear();
    FComposition.reset();
    viewport()->update();
}

void TTextView::SetWordWrap(bool on) {
    if (FWordWrap == on)
        return;
    FWordWrap = on;
    UpdateGeometry();
}

QRect TTextView::FormatRect() const {
    if (!FFormatRect.isNull())
        return FFormatRect;
    int left = (FSelectionBar ? SelectionBarWidth : 0) + DefaultMargin;
    return QRect(QPoint(left, DefaultMargin),
                 QPoint(viewport()->width() - DefaultMargin, viewport()->height() - 1));
}

void TTextView::SetFormatRect(const QRect& rect) {
    FFormatRect = rect;
    UpdateGeometry();
}

void TTextView::SetOverflowWidth(int pixels) {
    FOverflow = std::max(0, pixels);
    UpdateGeometry();
}

void TTextView::SetBreakRules(const TBreakRules& rules) {
    FWrap.SetRules(rules);
    FLayouts.clear();
    FComposition.reset();
    viewport()->update();
}

void TTextView::SetSelectionBar(bool on) {
    FSelectionBar = on;
    UpdateGeometry();
}

void TTextView::SetReadOnly(bool on) {
    FBuffer.SetReadOnly(on);
    setAttribute(Qt::WA_InputMethodEnabled, !on);
}

double TTextView::LeftEdge() const {
    return FormatRect().left();
}
double TTextView::TopEdge() const {
    return FormatRect().top();
}

void TTextView::UpdateGeometry() {
    QRect r = FormatRect();
    double wrap = FWordWrap ? std::max(1, r.width() - FOverflow) : 0;
    FWrap.SetGeometry(FAdvances.get(), wrap, FOverflow);
    FLayouts.clear();
    FComposition.reset();
    SetTop(TopIndex());
    UpdateScrollBars();
    viewport()->update();
    updateMicroFocus();
}

int TTextView::VisibleLines() const {
    return std::max(1, int((viewport()->height() - TopEdge()) / FAdvances->LineHeight()));
}

// The bars' signals stay connected: the scroll area shows or hides a bar when its range changes
// (a window made smaller by tiling must get one). The view itself ignores the moves it makes.
void TTextView::UpdateScrollBars() {
    QScrollBar* v = verticalScrollBar();
    const QScopedValueRollback<bool> updating(FUpdatingBars, true);
    qsizetype total = FWrap.DisplayLineCount();
    v->setRange(0, int(std::max<qsizetype>(0, total - VisibleLines())));
    v->setPageStep(VisibleLines());
    v->setSingleStep(1);
    v->setValue(int(FWrap.ToIndex(FTopLine)));
    QScrollBar* h = horizontalScrollBar();
    if (FWordWrap) {
        h->setRange(0, 0);
        h->setValue(0);
    } else {
        h->setRange(0, std::max(0, int(FMaxWidth + LeftEdge()) - viewport()->width() + 20));
        h->setPageStep(viewport()->width());
        h->setSingleStep(int(FAdvances->Advance(u'x')) * 2);
    }
}

void TTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateGutter();
    if (FFormatRect.isNull())
        UpdateGeometry();
    else
        UpdateScrollBars();
}

void TTextView::scrollContentsBy(int, int) {
    if (FUpdatingBars)
        return;
    FTopLine = FWrap.LineAt(verticalScrollBar()->value());
    viewport()->update();
    updateMicroFocus();
}

// The first visible display line, kept where the scroll bar can show it: never past the point
// where the last line sits at the bottom.
void TTextView::SetTop(qsizetype index) {
    const qsizetype last = std::max<qsizetype>(0, FWrap.DisplayLineCount() - VisibleLines());
    FTopLine = FWrap.LineAt(std::clamp<qsizetype>(index, 0, last));
}

// ---------------------------------------------------------------------------------------------
// Layout of display lines

TDisplayLine TTextView::Next(TDisplayLine line, qsizetype count) {
    while (count > 0) {
        if (line.Sub + 1 < FWrap.SubLineCount(line.Paragraph)) {
            ++line.Sub;
        } else if (line.Paragraph + 1 < FBuffer.LineCount()) {
            line = {line.Paragraph + 1, 0};
        } else {
            break;
        }
        --count;
    }
    while (count < 0) {
        if (line.Sub > 0) {
            --line.Sub;
        } else if (line.Paragraph > 0) {
            line = {line.Paragraph - 1, FWrap.SubLineCount(line.Paragraph - 1) - 1};
        } else {
            break;
        }
        ++count;
    }
    return line;
}

TTextView::TLineLayout& TTextView::LayoutFor(TDisplayLine line) {
    auto key = std::make_pair(line.Paragraph, line.Sub);
    const uint32_t colours = FColours.StartState(line.Paragraph).Bits();
    auto found = FLayouts.find(key);
    if (found != FLayouts.end() && found->second->Colours == colours)
        return *found->second;
    if (FLayouts.size() > 512)
        FLayouts.clear();
    auto entry = std::make_unique<TLineLayout>();
    std::tie(entry->Start, entry->End) = FWrap.Range(line);
    entry->Colours = colours;
    LayOut(*entry, FBuffer.Text(entry->Start, entry->End - entry->Start),
           ColourFormats(line.Paragraph, *entry));
    TLineLayout& result = *entry;
    FLayouts[key] = std::move(entry);
    return result;
}

QList<QTextLayout::FormatRange> TTextView::ColourFormats(qsizetype paragraph,
                                                         const TLineLayout& entry) {
    if (FColours.Language() == slNone)
        return {};
    const qsizetype start = FBuffer.LineStart(paragraph);
    FColours.Runs(paragraph, entry.Start - start, entry.End - start, FRuns);
    if (entry.PreeditPos < 0)
        return SyntaxFormats(FRuns, entry.Start - start, entry.End - start, FPalette);
    // A composition sits in the row: the runs after it move by its length.
    const qsizetype at = entry.PreeditPos - start;
    QList<QTextLayout::FormatRange> formats =
        SyntaxFormats(FRuns, entry.Start - start, at, FPalette);
    for (QTextLayout::FormatRange& range : SyntaxFormats(FRuns, at, entry.End - start, FPalette)) {
        range.start += entry.LayoutIndex(entry.PreeditPos);
        formats.append(range);
    }
    return formats;
}

void TTextView::LayOut(TLineLayout& entry, const QString& text,
                       const QList<QTextLayout::FormatRange>& formats) {
    QTextLayout& layout = entry.Layout;
    layout.setFont(FAdvances->Font());
    layout.setText(DisplayText(text));
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(FAdvances->TabWidth());
    layout.setTextOption(option);
    layout.setFormats(FAdvances->Formats(text) + formats);
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    textLine.setLineWidth(1e9);
    textLine.setPosition(QPointF(0, 0));
    layout.endLayout();
    FMaxWidth = std::max(FMaxWidth, textLine.naturalTextWidth());
}

QTextCharFormat TTextView::ImeFormat(TImeSegment segment) const {
    QTextCharFormat f;
    f.setFontUnderline(true);
    if (segment == isWatchingTransfered || segment == isWatchingUntransfered) {
        f.setBackground(palette().highlight());
        f.setForeground(palette().highlightedText());
    }
    return f;
}

// ---------------------------------------------------------------------------------------------
// Painting

void TTextView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    const double lineHeight = FAdvances->LineHeight();
    const double left = LeftEdge() - horizontalScrollBar()->value();
    const QRect clip = FormatRect().adjusted(0, 0, 0, 1);
    painter.setClipRect(QRect(clip.left(), 0, clip.width() + 1, viewport()->height()));
    const bool caretShown = hasFocus() && FCaretOn;
    Pair();
    const TDisplayLine caretLine = CaretLine();
    TComposition* composition = Composing() ? &Composition() : nullptr;
    auto breakAfter = [&](qsizetype paragraph) {
        return paragraph + 1 < FBuffer.LineCount()
                   ? FBuffer.LineStart(paragraph + 1) - FBuffer.LineEnd(paragraph)
                   : 0;
    };
    TDisplayLine line = FTopLine;
    for (double y = TopEdge(); y < viewport()->height();) {
        const qsizetype subLines = FWrap.SubLineCount(line.Paragraph);
        const TDisplayLine first = composition ? composition->First : TDisplayLine{-1, 0};
        if (line.Paragraph == first.Paragraph && line.Sub >= first.Sub &&
            line.Sub < first.Sub + composition->OriginalLines) {
            // The composition's rows stand in for the lines it pushes along.
            const qsizetype lastSub = first.Sub + composition->OriginalLines - 1;
            const auto& rows = composition->Rows;
            for (size_t r = size_t(line.Sub - first.Sub); r < rows.size(); ++r) {
                const bool last = r + 1 == rows.size() && lastSub + 1 == subLines;
                const bool cursor = caretShown && int(r) == composition->CursorRow;
                PaintRow(painter, *rows[r], QPointF(left, y), last ? breakAfter(line.Paragraph) : 0,
                         cursor ? composition->CursorIndex : -1);
                y += lineHeight;
            }
            line.Sub = lastSub;
        } else {
            const TLineLayout& entry = LayoutFor(line);
            const bool cursor = caretShown && line == caretLine;
            PaintRow(painter, entry, QPointF(left, y),
                     line.Sub + 1 == subLines ? breakAfter(line.Paragraph) : 0,
                     cursor ? entry.LayoutIndex(FSel.Caret) : -1);
            y += lineHeight;
        }
        const TDisplayLine next = Next(line, 1);
        if (next == line)
            break;
        line = next;
    }
    painter.setClipping(false);
    PaintExtras(painter);
    if (FGutter)
        FGutter->update();
}

// One display row: its text and selection, the hex boxes of undecodable bytes, the marks, and
// the caret at a layout index when it is in this row (else cursorIndex is -1).
void TTextView::PaintRow(QPainter& painter, const TLineLayout& entry, QPointF origin,
                         qsizetype breakLength, int cursorIndex) {
    const double lineHeight = FAdvances->LineHeight();
    const qsizetype selStart = SelStart(), selEnd = SelStart() + SelLength();
    QList<QTextLayout::FormatRange> selections;
    // Backgrounds of the row's part of [pos, pos + length): search matches, the selection over
    // them, the pair at the caret.
    auto shade = [&](qsizetype pos, qsizetype length, const QBrush& background,
                     const QBrush& foreground = QBrush()) {
        const qsizetype a = std::max(pos, entry.Start), b = std::min(pos + length, entry.End);
        if (a >= b)
            return;
        QTextLayout::FormatRange r;
        r.start = entry.LayoutIndex(a);
        r.length = entry.LayoutIndex(b) - r.start;
        r.format.setBackground(background);
        if (foreground.style() != Qt::NoBrush)
            r.format.setForeground(foreground);
        selections.append(r);
    };
    for (const auto& [pos, length] : FMatchHighlighter->MatchesIn(entry.Start, entry.End))
        shade(pos, length, TMatchHighlighter::Colour());
    shade(selStart, selEnd - selStart, palette().highlight(), palette().highlightedText());
    if (const std::optional<TPairMatch>& pair = FPair.Match; pair && FPair.Caret == FSel.Caret) {
        shade(pair->Pos, pair->Length, PairBackground);
        shade(pair->PartnerPos, pair->PartnerLength, PairBackground);
    }
    entry.Layout.draw(&painter, origin, selections);
    const QTextLine textLine = entry.Layout.lineAt(0);
    if (breakLength > 0 && selEnd > entry.End && selStart <= entry.End) {
        const double x = origin.x() + textLine.naturalTextWidth();
        painter.fillRect(QRectF(x, origin.y(), FAdvances->Advance(u' '), lineHeight),
                         palette().highlight());
    }
    // Undecodable bytes: their hex value in a frame, in the cell the layout kept for them.
    const QString text = FBuffer.Text(entry.Start, entry.End - entry.Start);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!IsByteEscape(text[i].unicode()))
            continue;
        const int at = entry.LayoutIndex(entry.Start + i);
        const double x0 = origin.x() + textLine.cursorToX(at);
        const double x1 = origin.x() + textLine.cursorToX(at + 1);
        const QRectF cell(x0 + 1, origin.y() + 2, x1 - x0 - 2, lineHeight - 4);
        painter.save();
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(cell);
        QFont small = FAdvances->Font();
        small.setPixelSize(std::max(7, int(lineHeight * 0.55)));
        painter.setFont(small);
        painter.drawText(cell, Qt::AlignCenter,
                         QStringLiteral("%1")
                             .arg(text[i].unicode() - EscapeBase, 2, 16, QLatin1Char('0'))
                             .toUpper());
        painter.restore();
    }
    TPaintedLine painted;
    painted.Start = entry.Start;
    painted.End = entry.End;
    painted.BreakLength = breakLength;
    painted.Origin = origin;
    painted.Height = lineHeight;
    painted.Layout = &entry.Layout;
    painted.PreeditPos = entry.PreeditPos;
    painted.PreeditLength = entry.PreeditLength;
    PaintLine(painter, painted);
    if (cursorIndex >= 0)
        entry.Layout.drawCursor(&painter, origin, cursorIndex, FOverwrite && !Composing() ? 2 : 1);
}

void TTextView::PaintLine(QPainter&, const TPaintedLine&) {}

void TTextView::PaintExtras(QPainter&) {}

// ---------------------------------------------------------------------------------------------
// Positions and points

QPoint TTextView::PosFromChar(qsizetype pos) {
    pos = std::clamp<qsizetype>(pos, 0, FBuffer.Length());
    TDisplayLine line = FWrap.LineOfPos(pos);
    qsizetype row = FWrap.ToIndex(line) - FWrap.ToIndex(FTopLine);
    TLineLayout& entry = LayoutFor(line);
    double x = entry.Layout.lineAt(0).cursorToX(int(pos - entry.Start));
    return QPoint(int(LeftEdge() - horizontalScrollBar()->value() + x),
                  int(TopEdge() + row * FAdvances->LineHeight()));
}

TTextView::TCaretPlace TTextView::PlaceAtLineX(TDisplayLine line, double x) {
    const TLineLayout& entry = LayoutFor(line);
    const qsizetype pos = entry.Start + entry.Layout.lineAt(0).xToCursor(x);
    const qsizetype snapped = FBuffer.Snap(std::min(pos, entry.End), false);
    // Right of a wrapped line's text is that line's end, not the next line's start.
    return {snapped, snapped == entry.End && line.Sub + 1 < FWrap.SubLineCount(line.Paragraph)};
}

// Above the first row (the top margin) is the first visible line, not the one scrolled away.
TTextView::TCaretPlace TTextView::PlaceAt(QPoint point) {
    const double row = std::floor((point.y() - TopEdge()) / FAdvances->LineHeight());
    const TDisplayLine line = Next(FTopLine, std::max<qsizetype>(0, qsizetype(row)));
    return PlaceAtLineX(line, point.x() - LeftEdge() + horizontalScrollBar()->value());
}

qsizetype TTextView::CharFromPos(QPoint point) {
    return PlaceAt(point).Pos;
}

// Display line numbers asked for by the program are exact: the paragraphs not yet counted in
// the background are counted first.
qsizetype TTextView::LineFromChar(qsizetype pos) {
    FWrap.CountAll();
    return FWrap.ToIndex(FWrap.LineOfPos(pos));
}

qsizetype TTextView::FirstVisibleLine() {
    FWrap.CountAll();
    return FWrap.ToIndex(FTopLine);
}

qsizetype TTextView::LineCount() {
    FWrap.CountAll();
    return FWrap.DisplayLineCount();
}

qsizetype TTextView::LineIndex(qsizetype line) {
    FWrap.CountAll();
    if (line < 0 || line >= FWrap.DisplayLineCount())
        return -1;
    return FWrap.Range(FWrap.LineAt(line)).first;
}

// The caret's rectangle in viewport pixels; while composing, the composition's cursor, where the
// input method opens its candidate window.
QRectF TTextView::CaretRect() {
    const double lineHeight = FAdvances->LineHeight();
    const double left = LeftEdge() - horizontalScrollBar()->value();
    if (Composing()) {
        const TComposition& c = Composition();
        const qsizetype row = FWrap.ToIndex(c.First) - TopIndex() + c.CursorRow;
        const double x = c.Rows[size_t(c.CursorRow)]->Layout.lineAt(0).cursorToX(c.CursorIndex);
        return QRectF(left + x, TopEdge() + double(row) * lineHeight, 1, lineHeight);
    }
    const TDisplayLine line = CaretLine();
    const qsizetype row = FWrap.ToIndex(line) - TopIndex();
    return QRectF(left + CaretX(), TopEdge() + double(row) * lineHeight, 1, lineHeight);
}

double TTextView::CaretX() {
    const TLineLayout& entry = LayoutFor(CaretLine());
    return entry.Layout.lineAt(0).cursorToX(entry.LayoutIndex(FSel.Caret));
}

TDisplayLine TTextView::CaretLine() {
    TDisplayLine line = FWrap.LineOfPos(FSel.Caret);
    if (FCaretUpstream && line.Sub > 0 && FWrap.Range(line).first == FSel.Caret)
        --line.Sub;
    return line;
}

qsizetype TTextView::CaretParagraphColumn() {
    const qsizetype pos = SelStart();
    const qsizetype paragraph = FBuffer.LineOfPos(pos);
    const qsizetype start = FBuffer.LineStart(paragraph);
    auto cells = [this](qsizetype from, qsizetype to) {
        qsizetype n = 0;
        FBuffer.ForEachPiece(
            from, to - from, [&](QLatin1StringView piece) { n += Cells(piece); },
            [&](QStringView piece) { n += Cells(piece); });
        return n;
    };
    auto& cache = FColumnCache;
    if (cache.Paragraph != paragraph || pos - start < std::abs(pos - cache.Pos))
        cache = {paragraph, start, 0};
    cache.Cells += pos >= cache.Pos ? cells(cache.Pos, pos) : -cells(pos, cache.Pos);
    cache.Pos = pos;
    return cache.Cells;
}

// ---------------------------------------------------------------------------------------------
// Caret and selection

void TTextView::SetSelection(qsizetype anchor, qsizetype caret) {
    TSelection sel{FBuffer.Snap(anchor, false), FBuffer.Snap(caret, false)};
    const bool upstream = std::exchange(FCaretUpstream, false);
    if (sel == FSel) {
        if (upstream)
            viewport()->update();
        return;
    }
    FSel = sel;
    FComposition.reset();
    FBuffer.CloseTypingStep();
    RestartBlink();
    viewport()->update();
    updateMicroFocus();
    Q_EMIT SelectionChanged();
}

void TTextView::MoveCaret(qsizetype pos, bool extend, bool upstream) {
    SetSelection(extend ? FSel.Anchor : pos, pos);
    if (upstream) {
        const TDisplayLine line = FWrap.LineOfPos(FSel.Caret);
        FCaretUpstream = line.Sub > 0 && FWrap.Range(line).first == FSel.Caret;
    }
    EnsureCaretVisible();
}

void TTextView::EnsureCaretVisible() {
    qsizetype caretIndex = FWrap.ToIndex(CaretLine());
    if (Composing())
        caretIndex = FWrap.ToIndex(Composition().First) + Composition().CursorRow;
    qsizetype top = TopIndex();
    int rows = VisibleLines();
    if (caretIndex < top)
        SetTop(caretIndex);
    else if (caretIndex >= top + rows)
        SetTop(caretIndex - rows + 1);
    if (!FWordWrap) {
        double x = CaretX();
        QScrollBar* h = horizontalScrollBar();
        double width = viewport()->width() - LeftEdge() - 4;
        UpdateScrollBars();
        if (x < h->value())
            h->setValue(int(x) - int(width / 4));
        else if (x > h->value() + width)
            h->setValue(int(x - width + width / 4));
    }
    UpdateScrollBars();
    viewport()->update();
    updateMicroFocus();
}

qsizetype TTextView::NextPos(qsizetype pos, int direction) const {
    qsizetype n = FBuffer.Length();
    if (direction > 0) {
        if (pos >= n)
            return n;
        return FBuffer.Snap(pos + 1, true);
    }
    if (pos <= 0)
        return 0;
    return FBuffer.Snap(pos - 1, false);
}

qsizetype TTextView::WordEdge(qsizetype pos, int direction) const {
    const qsizetype n = FBuffer.Length();
    auto at = [this](qsizetype i) {
        return FBuffer.At(i);
    };
    if (direction > 0) {
        if (pos >= n)
            return n;
        const TCharClass c = RunClassAt(at, pos);
        if (c == ccBreak)
            return NextPos(pos, 1);
        while (pos < n && InRun(c, at(pos)))
            ++pos;
        while (pos < n && ClassOf(at(pos)) == ccSpace)
            ++pos;
        return FBuffer.Snap(pos, true);
    }
    if (pos <= 0)
        return 0;
    while (pos > 0 && ClassOf(at(pos - 1)) == ccSpace)
        --pos;
    if (pos > 0 && ClassOf(at(pos - 1)) == ccBreak)
        return NextPos(pos, -1);
    if (pos == 0)
        return 0;
    return FBuffer.Snap(RunStart(pos - 1), false);
}

// Where the run holding the character at pos starts: ー or an iteration mark at its start
// belongs to the run before.
qsizetype TTextView::RunStart(qsizetype pos) const {
    auto at = [this](qsizetype i) {
        return FBuffer.At(i);
    };
    const TCharClass c = RunClassAt(at, pos);
    qsizetype from = pos;
    while (from > 0 && InRun(c, at(from - 1)))
        --from;
    while (from < pos && from > 0 && ExtendsRun(at(from)) && IsKanaOrKanji(ClassOf(at(from - 1))))
        ++from;
    return from;
}

std::pair<qsizetype, qsizetype> TTextView::WordAt(qsizetype pos) const {
    const qsizetype n = FBuffer.Length();
    if (n == 0)
        return {0, 0};
    if (pos >= n || ClassOf(FBuffer.At(pos)) == ccBreak)
        pos = std::max<qsizetype>(0, pos - 1);
    auto at = [this](qsizetype i) {
        return FBuffer.At(i);
    };
    const TCharClass c = RunClassAt(at, pos);
    if (c == ccBreak)
        return {pos, pos};
    qsizetype to = pos;
    while (to < n && InRun(c, at(to)))
        ++to;
    return {RunStart(pos), to};
}

void TTextView::SelectAll() {
    SetSelection(0, FBuffer.Length());
}

// ---------------------------------------------------------------------------------------------
// Editing

QString TTextView::Normalized(QString text) const {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (FLineEnd != leLf)
        text.replace(QLatin1Char('\n'), LineEndText(FLineEnd));
    return text;
}

bool TTextView::ReplaceSelection(const QString& text, bool canUndo) {
    if (ReadOnly())
        return false;
    qsizetype start = SelStart();
    FBuffer.BeginGroup(FSel);
    bool ok = FBuffer.Replace(start, SelLength(), text, ekCommand, FSel);
    FBuffer.EndGroup();
    if (!canUndo)
        FBuffer.CloseTypingStep();
    if (ok)
        MoveCaret(start + text.size(), false);
    return ok;
}

void TTextView::InsertTyped(const QString& text) {
    if (ReadOnly())
        return;
    qsizetype start = SelStart(), length = SelLength();
    if (FOverwrite && length == 0 && start < FBuffer.Length()) {
        char16_t c = FBuffer.At(start);
        if (c != '\r' && c != '\n')
            length = FBuffer.Snap(start + 1, true) - start;
    }
    TSelection before = FSel;
    if (FBuffer.Replace(start, length, text, ekTyping, before)) {
        FSel = {start + text.size(), start + text.size()};
        FCaretUpstream = false;
        EnsureCaretVisible();
        Q_EMIT SelectionChanged();
    }
}

// The tabs and half- and full-width spaces the caret's paragraph starts with, up to the caret.
QString TTextView::Indentation() const {
    const qsizetype start = FBuffer.LineStart(FBuffer.LineOfPos(SelStart()));
    qsizetype end = start;
    while (end < SelStart()) {
        const char16_t c = FBuffer.At(end);
        if (c != u' ' && c != u'\t' && c != 0x3000)
            break;
        ++end;
    }
    return FBuffer.Text(start, end - start);
}

void TTextView::DeleteChar(int direction, bool word) {
    if (ReadOnly())
        return;
    if (SelLength() > 0) {
        ReplaceSelection(QString());
        return;
    }
    qsizetype pos = FSel.Caret;
    qsizetype other = word ? WordEdge(pos, direction) : NextPos(pos, direction);
    qsizetype from = std::min(pos, other), to = std::max(pos, other);
    if (from == to)
        return;
    if (FBuffer.Replace(from, to - from, QString(), ekTyping, FSel)) {
        FSel = {from, from};
        FCaretUpstream = false;
        EnsureCaretVisible();
        Q_EMIT SelectionChanged();
    }
}

void TTextView::Undo() {
    if (auto sel = FBuffer.Undo()) {
        SetSelection(sel->Anchor, sel->Caret);
        EnsureCaretVisible();
    }
}

void TTextView::Redo() {
    if (auto sel = FBuffer.Redo()) {
        SetSelection(sel->Anchor, sel->Caret);
        EnsureCaretVisible();
    }
}

void TTextView::Copy() {
    if (SelLength() > 0)
        QGuiApplication::clipboard()->setText(SelText());
}

void TTextView::Cut() {
    if (SelLength() == 0 || ReadOnly())
        return;
    Copy();
    ReplaceSelection(QString());
}

void TTextView::Paste() {
    QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty())
        ReplaceSelection(Normalized(text));
}

std::optional<TPairMatch> TTextView::Pair() {
    if (SelLength() > 0 || Composing()) {
        FPair.Caret = -1;
        return std::nullopt;
    }
    if (FPair.Caret != FSel.Caret || FPair.Edits != FEdits)
        FPair = {FSel.Caret, FEdits, FindPair(FBuffer, FColours, FSel.Caret)};
    return FPair.Match;
}

bool TTextView::JumpToPair() {
    const std::optional<TPairMatch> match = Pair();
    if (!match)
        return false;
    // From before a bracket to before its partner, from after one to after it; into a tag's
    // name, to the other tag's.
    const bool after = match->Length == 1 && match->Pos + 1 == FSel.Caret;
    MoveCaret(match->PartnerPos + (after ? 1 : 0), false);
    EnsureCaretVisible();
    return true;
}

void TTextView::OnBufferChanged(const TTextChange& change) {
    ++FEdits;
    // Typing inside one paragraph keeps the shaped lines before the edit (the breaker may move
    // the two lines above it) and those of other paragraphs; anything else shapes anew.
    if (change.FirstLine == change.OldLastLine && change.FirstLine == change.NewLastLine) {
        const qsizetype p = change.FirstLine;
        const qsizetype from = FWrap.LineOfPos(change.Pos).Sub - 2;
        for (auto it = FLayouts.lower_bound({p, from});
             it != FLayouts.end() && it->first.first == p;)
            it = FLayouts.erase(it);
        // Lines of later paragraphs keep their text; only their positions move.
        const qsizetype delta = change.Inserted - change.Removed;
        for (auto it = FLayouts.upper_bound({p, std::numeric_limits<qsizetype>::max()});
             it != FLayouts.end(); ++it) {
            it->second->Start += delta;
            it->second->End += delta;
        }
    } else {
        FLayouts.clear();
    }
    FComposition.reset();
    if (change.Pos < FColumnCache.Pos)
        FColumnCache.Paragraph = -1;
    auto adjust = [&](qsizetype p) {
        if (p <= change.Pos)
            return p;
        if (p >= change.Pos + change.Removed)
            return p + change.Inserted - change.Removed;
        return change.Pos + change.Inserted;
    };
    FSel = {FBuffer.Snap(adjust(FSel.Anchor), false), FBuffer.Snap(adjust(FSel.Caret), false)};
    FCaretUpstream = false;
    if (FTopLine.Paragraph >= FBuffer.LineCount())
        FTopLine = {FBuffer.LineCount() - 1, 0};
    FTopLine.Sub = std::min(FTopLine.Sub, FWrap.SubLineCount(FTopLine.Paragraph) - 1);
    UpdateScrollBars();
    UpdateGutter();
    viewport()->update();
    Q_EMIT Changed();
}

// ---------------------------------------------------------------------------------------------
// Search

std::optional<qsizetype> TTextView::Find(const QString& what, qsizetype from, qsizetype to,
                                         TFindOptions options) const {
    return to < from ? FindBackward(FBuffer, what, from, to, options)
                     : FindForward(FBuffer, what, from, to, options);
}
