#include "editor/TextView.h"

#include "editor/CharClass.h"
#include "editor/Search.h"
#include "editor/TextViewAccessible.h"
#include "platform/TextCodec.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextCharFormat>
#include <limits>

namespace {
constexpr int SelectionBarWidth = 8;
constexpr int DefaultMargin = 2;

} // namespace

TTextView::TTextView(QWidget* parent) : QAbstractScrollArea(parent), FWrap(FBuffer) {
    TTextViewAccessible::Install();
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    connect(&FBuffer, &TTextBuffer::Changed, this, &TTextView::OnBufferChanged);
    connect(&FBuffer, &TTextBuffer::Reset, this, [this] {
        FLayouts.clear();
        FSel = {};
        FTopLine = {};
        FMaxWidth = 0;
        UpdateScrollBars();
        viewport()->update();
        Q_EMIT SelectionChanged();
    });
    connect(&FWrap, &TWrapMap::CountsChanged, this, [this] {
        UpdateScrollBars();
        viewport()->update();
    });
    SetTextFont(font());
}

TTextView::~TTextView() = default;

// ---------------------------------------------------------------------------------------------
// Options and geometry

void TTextView::SetTextFont(const QFont& font) {
    setFont(font);
    FAdvances = std::make_unique<TAdvanceTable>(font);
    FLayouts.clear();
    UpdateGeometry();
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
    UpdateScrollBars();
    viewport()->update();
}

int TTextView::VisibleLines() const {
    return std::max(1, int((viewport()->height() - TopEdge()) / FAdvances->LineHeight()));
}

void TTextView::UpdateScrollBars() {
    QScrollBar* v = verticalScrollBar();
    QSignalBlocker block(v);
    qsizetype total = FWrap.DisplayLineCount();
    v->setRange(0, int(std::max<qsizetype>(0, total - VisibleLines())));
    v->setPageStep(VisibleLines());
    v->setSingleStep(1);
    v->setValue(int(FWrap.ToIndex(FTopLine)));
    QScrollBar* h = horizontalScrollBar();
    QSignalBlocker blockH(h);
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
    if (FFormatRect.isNull())
        UpdateGeometry();
    else
        UpdateScrollBars();
}

void TTextView::scrollContentsBy(int, int) {
    FTopLine = FWrap.LineAt(verticalScrollBar()->value());
    viewport()->update();
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
    auto found = FLayouts.find(key);
    auto [start, end] = FWrap.Range(line);
    bool preedit = Composing() && FSel.Caret >= start && FSel.Caret <= end &&
                   FWrap.LineOfPos(FSel.Caret) == line;
    if (found != FLayouts.end() && !preedit && !found->second->WithPreedit)
        return *found->second;
    if (FLayouts.size() > 512)
        FLayouts.clear();
    auto entry = std::make_unique<TLineLayout>();
    entry->Start = start;
    entry->End = end;
    entry->WithPreedit = preedit;
    QTextLayout& layout = entry->Layout;
    layout.setFont(FAdvances->Font());
    layout.setText(DisplayText(FBuffer.Text(start, end - start)));
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(FAdvances->TabWidth());
    layout.setTextOption(option);
    if (preedit) {
        layout.setPreeditArea(int(FSel.Caret - start), FPreedit);
        QList<QTextLayout::FormatRange> formats;
        // Cut the composition where the input method's formats start and end; a segment with a
        // background is the clause under conversion.
        std::vector<int> cuts{0, int(FPreedit.size())};
        for (const auto& a : FPreeditAttributes)
            if (a.type == QInputMethodEvent::TextFormat) {
                cuts.push_back(std::clamp(a.start, 0, int(FPreedit.size())));
                cuts.push_back(std::clamp(a.start + a.length, 0, int(FPreedit.size())));
            }
        std::sort(cuts.begin(), cuts.end());
        cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
        auto highlighted = [&](int from, int to) {
            for (const auto& a : FPreeditAttributes) {
                if (a.type != QInputMethodEvent::TextFormat || a.start > from ||
                    a.start + a.length < to)
                    continue;
                QTextCharFormat f = qvariant_cast<QTextFormat>(a.value).toCharFormat();
                if (f.background().style() != Qt::NoBrush)
                    return true;
            }
            return false;
        };
        bool any = false;
        for (size_t i = 0; i + 1 < cuts.size(); ++i)
            any |= highlighted(cuts[i], cuts[i + 1]);
        for (size_t i = 0; i + 1 < cuts.size(); ++i) {
            TImeSegment segment = !any                                ? isUntransfered
                                  : highlighted(cuts[i], cuts[i + 1]) ? isWatchingTransfered
                                                                      : isTransfered;
            QTextLayout::FormatRange range;
            range.start = int(FSel.Caret - start) + cuts[i];
            range.length = cuts[i + 1] - cuts[i];
            range.format = ImeFormat(segment);
            formats.append(range);
        }
        layout.setFormats(formats);
    }
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    textLine.setLineWidth(1e9);
    textLine.setPosition(QPointF(0, 0));
    layout.endLayout();
    FMaxWidth = std::max(FMaxWidth, textLine.naturalTextWidth());
    TLineLayout& result = *entry;
    FLayouts[key] = std::move(entry);
    return result;
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
    double y = TopEdge();
    const qsizetype selStart = SelStart(), selEnd = SelStart() + SelLength();
    const QRect clip = FormatRect().adjusted(0, 0, 0, 1);
    painter.setClipRect(QRect(clip.left(), 0, clip.width() + 1, viewport()->height()));
    TDisplayLine line = FTopLine;
    TDisplayLine caretLine = FWrap.LineOfPos(FSel.Caret);
    for (int row = 0; y < viewport()->height(); ++row) {
        TLineLayout& entry = LayoutFor(line);
        QList<QTextLayout::FormatRange> selections;
        qsizetype from = std::max(selStart, entry.Start), to = std::min(selEnd, entry.End);
        bool breakSelected = selEnd > entry.End && selStart <= entry.End &&
                             line.Sub + 1 == FWrap.SubLineCount(line.Paragraph) &&
                             line.Paragraph + 1 < FBuffer.LineCount();
        if (from < to) {
            QTextLayout::FormatRange r;
            int preeditShift = entry.WithPreedit && from >= FSel.Caret ? int(FPreedit.size()) : 0;
            r.start = int(from - entry.Start) + preeditShift;
            r.length = int(to - from);
            r.format.setBackground(palette().highlight());
            r.format.setForeground(palette().highlightedText());
            selections.append(r);
        }
        QPointF origin(left, y);
        entry.Layout.draw(&painter, origin, selections);
        QTextLine textLine = entry.Layout.lineAt(0);
        if (breakSelected) {
            double x = left + textLine.naturalTextWidth();
            painter.fillRect(QRectF(x, y, FAdvances->Advance(u' '), lineHeight),
                             palette().highlight());
        }
        // Undecodable bytes: their hex value in a frame, in the cell the layout kept for them.
        QString text = FBuffer.Text(entry.Start, entry.End - entry.Start);
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!IsByteEscape(text[i].unicode()))
                continue;
            int shift =
                entry.WithPreedit && entry.Start + i >= FSel.Caret ? int(FPreedit.size()) : 0;
            double x0 = left + textLine.cursorToX(int(i) + shift);
            double x1 = left + textLine.cursorToX(int(i) + shift + 1);
            QRectF cell(x0 + 1, y + 2, x1 - x0 - 2, lineHeight - 4);
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
        if (line.Sub + 1 == FWrap.SubLineCount(line.Paragraph) &&
            line.Paragraph + 1 < FBuffer.LineCount())
            painted.BreakLength = FBuffer.LineStart(line.Paragraph + 1) - entry.End;
        painted.Origin = origin;
        painted.Height = lineHeight;
        painted.Layout = &entry.Layout;
        if (entry.WithPreedit) {
            painted.PreeditPos = FSel.Caret;
            painted.PreeditLength = FPreedit.size();
        }
        PaintLine(painter, painted);
        if (line == caretLine && hasFocus() && FCaretOn) {
            int at = int(FSel.Caret - entry.Start) + (entry.WithPreedit ? int(FPreeditCursor) : 0);
            entry.Layout.drawCursor(&painter, origin, at, FOverwrite && !Composing() ? 2 : 1);
        }
        y += lineHeight;
        TDisplayLine next = Next(line, 1);
        if (next == line)
            break;
        line = next;
    }
    painter.setClipping(false);
    PaintExtras(painter);
}

void TTextView::PaintLine(QPainter&, const TPaintedLine&) {}

void TTextView::PaintExtras(QPainter&) {}

double TPaintedLine::X(qsizetype pos) const {
    qsizetype at = pos - Start;
    if (PreeditPos >= 0 && pos > PreeditPos)
        at += PreeditLength;
    return Origin.x() + Layout->lineAt(0).cursorToX(int(at));
}

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

qsizetype TTextView::PosAtLineX(TDisplayLine line, double x) {
    TLineLayout& entry = LayoutFor(line);
    qsizetype pos = entry.Start + entry.Layout.lineAt(0).xToCursor(x);
    return FBuffer.Snap(std::min(pos, entry.End), false);
}

qsizetype TTextView::CharFromPos(QPoint point) {
    double rowF = (point.y() - TopEdge()) / FAdvances->LineHeight();
    qsizetype row = qsizetype(std::floor(rowF));
    TDisplayLine line = Next(FTopLine, row);
    return PosAtLineX(line, point.x() - LeftEdge() + horizontalScrollBar()->value());
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

QRectF TTextView::CaretRect() {
    QPoint p = PosFromChar(FSel.Caret);
    double x = p.x();
    if (Composing()) {
        TLineLayout& entry = LayoutFor(FWrap.LineOfPos(FSel.Caret));
        x = LeftEdge() - horizontalScrollBar()->value() +
            entry.Layout.lineAt(0).cursorToX(int(FSel.Caret - entry.Start + FPreeditCursor));
    }
    return QRectF(x, p.y(), 1, FAdvances->LineHeight());
}

double TTextView::CaretX() {
    TLineLayout& entry = LayoutFor(FWrap.LineOfPos(FSel.Caret));
    return entry.Layout.lineAt(0).cursorToX(int(FSel.Caret - entry.Start));
}

// ---------------------------------------------------------------------------------------------
// Caret and selection

void TTextView::SetSelection(qsizetype anchor, qsizetype caret) {
    TSelection sel{FBuffer.Snap(anchor, false), FBuffer.Snap(caret, false)};
    if (sel == FSel)
        return;
    FSel = sel;
    FBuffer.CloseTypingStep();
    RestartBlink();
    viewport()->update();
    Q_EMIT SelectionChanged();
}

void TTextView::MoveCaret(qsizetype pos, bool extend) {
    SetSelection(extend ? FSel.Anchor : pos, pos);
    EnsureCaretVisible();
}

void TTextView::EnsureCaretVisible() {
    qsizetype caretIndex = FWrap.ToIndex(FWrap.LineOfPos(FSel.Caret));
    qsizetype top = FWrap.ToIndex(FTopLine);
    int rows = VisibleLines();
    if (caretIndex < top)
        FTopLine = FWrap.LineAt(caretIndex);
    else if (caretIndex >= top + rows)
        FTopLine = FWrap.LineAt(caretIndex - rows + 1);
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
    qsizetype n = FBuffer.Length();
    if (direction > 0) {
        if (pos >= n)
            return n;
        TCharClass c = ClassOf(FBuffer.At(pos));
        if (c == ccBreak)
            return NextPos(pos, 1);
        while (pos < n && ClassOf(FBuffer.At(pos)) == c)
            ++pos;
        while (pos < n && ClassOf(FBuffer.At(pos)) == ccSpace)
            ++pos;
        return FBuffer.Snap(pos, true);
    }
    if (pos <= 0)
        return 0;
    while (pos > 0 && ClassOf(FBuffer.At(pos - 1)) == ccSpace)
        --pos;
    if (pos > 0 && ClassOf(FBuffer.At(pos - 1)) == ccBreak)
        return NextPos(pos, -1);
    TCharClass c = pos > 0 ? ClassOf(FBuffer.At(pos - 1)) : ccSpace;
    while (pos > 0 && ClassOf(FBuffer.At(pos - 1)) == c)
        --pos;
    return FBuffer.Snap(pos, false);
}

std::pair<qsizetype, qsizetype> TTextView::WordAt(qsizetype pos) const {
    qsizetype n = FBuffer.Length();
    if (n == 0)
        return {0, 0};
    if (pos >= n || ClassOf(FBuffer.At(pos)) == ccBreak)
        pos = std::max<qsizetype>(0, pos - 1);
    TCharClass c = ClassOf(FBuffer.At(pos));
    if (c == ccBreak)
        return {pos, pos};
    qsizetype from = pos, to = pos;
    while (from > 0 && ClassOf(FBuffer.At(from - 1)) == c)
        --from;
    while (to < n && ClassOf(FBuffer.At(to)) == c)
        ++to;
    return {from, to};
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
        EnsureCaretVisible();
        Q_EMIT SelectionChanged();
    }
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

void TTextView::OnBufferChanged(const TTextChange& change) {
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
    auto adjust = [&](qsizetype p) {
        if (p <= change.Pos)
            return p;
        if (p >= change.Pos + change.Removed)
            return p + change.Inserted - change.Removed;
        return change.Pos + change.Inserted;
    };
    FSel = {FBuffer.Snap(adjust(FSel.Anchor), false), FBuffer.Snap(adjust(FSel.Caret), false)};
    if (FTopLine.Paragraph >= FBuffer.LineCount())
        FTopLine = {FBuffer.LineCount() - 1, 0};
    FTopLine.Sub = std::min(FTopLine.Sub, FWrap.SubLineCount(FTopLine.Paragraph) - 1);
    UpdateScrollBars();
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
