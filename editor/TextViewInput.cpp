// Keyboard, mouse and input-method events of the text control.

#include "editor/TextView.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>

namespace {

// The selection bar's pointer: the arrow turned to point right, at the text it selects.
const QCursor& RightArrowCursor() {
    static const QCursor cursor = [] {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPointF arrow[] = {{14.5, 1.5}, {14.5, 14.5}, {11, 11}, {8.5, 15},
                                 {6.5, 14},   {9, 10},      {4.5, 10}};
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(Qt::black);
        painter.drawPolygon(arrow, int(std::size(arrow)));
        painter.end();
        return QCursor(pixmap, 14, 1);
    }();
    return cursor;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Keyboard

void TTextView::keyReleaseEvent(QKeyEvent* e) {
    Q_EMIT KeyUp(e);
    QAbstractScrollArea::keyReleaseEvent(e);
}

void TTextView::keyPressEvent(QKeyEvent* e) {
    e->ignore();
    Q_EMIT KeyDown(e);
    if (e->isAccepted())
        return;
    if (!e->text().isEmpty() && e->text().at(0).isPrint())
        Q_EMIT KeyPress(e->text());
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (e == QKeySequence::Undo) {
        Undo();
    } else if (e == QKeySequence::Redo || (ctrl && e->key() == Qt::Key_Y)) {
        Redo();
    } else if (e == QKeySequence::Copy) {
        Copy();
    } else if (e == QKeySequence::Cut) {
        Cut();
    } else if (e == QKeySequence::Paste) {
        Paste();
    } else if (e == QKeySequence::SelectAll) {
        SelectAll();
    } else {
        const TDisplayLine line = CaretLine();
        // Up and Down keep the x the caret was last put at by hand, across shorter lines.
        auto vertical = [&](qsizetype rows) {
            if (FDesiredX < 0)
                FDesiredX = CaretX();
            const double x = FDesiredX;
            const TDisplayLine target = Next(line, rows);
            TCaretPlace place{rows < 0 ? 0 : FBuffer.Length(), false};
            if (!(target == line))
                place = PlaceAtLineX(target, x);
            if (std::abs(rows) > 1)
                SetTop(TopIndex() + rows);
            MoveCaret(place.Pos, shift, place.Upstream);
            FDesiredX = x;
        };
        switch (e->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right: {
            int dir = e->key() == Qt::Key_Right ? 1 : -1;
            if (!shift && SelLength() > 0 && !ctrl)
                MoveCaret(dir > 0 ? SelStart() + SelLength() : SelStart(), false);
            else
                MoveCaret(ctrl ? WordEdge(FSel.Caret, dir) : NextPos(FSel.Caret, dir), shift);
            break;
        }
        case Qt::Key_Up:
            vertical(-1);
            return;
        case Qt::Key_Down:
            vertical(1);
            return;
        case Qt::Key_PageUp:
            vertical(-VisibleLines());
            return;
        case Qt::Key_PageDown:
            vertical(VisibleLines());
            return;
        case Qt::Key_Home:
            MoveCaret(ctrl ? 0 : FWrap.Range(line).first, shift);
            break;
        case Qt::Key_End:
            // The end of a wrapped display line, where the caret stays: End again does nothing.
            MoveCaret(ctrl ? FBuffer.Length() : FWrap.Range(line).second, shift, !ctrl);
            break;
        case Qt::Key_Backspace:
            DeleteChar(-1, ctrl);
            break;
        case Qt::Key_Delete:
            DeleteChar(1, ctrl);
            break;
        case Qt::Key_Insert:
            if (e->modifiers() == Qt::NoModifier) {
                FOverwrite = !FOverwrite;
                viewport()->update();
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // One edit with the line end, so that one undo takes both back.
            InsertTyped(LineEndText(FLineEnd) + (FAutoIndent ? Indentation() : QString()));
            break;
        case Qt::Key_Tab:
            InsertTyped(QStringLiteral("\t"));
            break;
        default: {
            QString text = e->text();
            // Alt with a letter is a menu's accelerator, never text, even when no menu took it.
            const bool alt = e->modifiers() & Qt::AltModifier;
            bool printable = !text.isEmpty() && !ctrl && !alt &&
                             std::all_of(text.begin(), text.end(), [](QChar c) {
                                 return c.isPrint() || c.isSurrogate() || c == u'\t';
                             });
            if (!printable) {
                e->ignore();
                return;
            }
            InsertTyped(text);
        }
        }
    }
    FDesiredX = -1;
    e->accept();
}

// ---------------------------------------------------------------------------------------------
// Mouse

// Selects whole display lines (or paragraphs, after a double-click in the selection bar) from
// the line of FDragOrigin to the given one, the line break after the last included.
void TTextView::SelectLinesTo(TDisplayLine line) {
    TDisplayLine origin = FWrap.LineOfPos(FDragOrigin);
    const bool down = FWrap.ToIndex(line) >= FWrap.ToIndex(origin);
    TDisplayLine first = down ? origin : line, last = down ? line : origin;
    if (FDrag == dgParagraphs) {
        first.Sub = 0;
        last.Sub = FWrap.SubLineCount(last.Paragraph) - 1;
    }
    const qsizetype from = FWrap.Range(first).first;
    const TDisplayLine after = Next(last, 1);
    const qsizetype to = after == last ? FBuffer.Length() : FWrap.Range(after).first;
    SetSelection(down ? from : to, down ? to : from);
}

TDisplayLine TTextView::RowAt(QPoint point) {
    const double row = std::floor((point.y() - TopEdge()) / FAdvances->LineHeight());
    return Next(FTopLine, std::max<qsizetype>(0, qsizetype(row)));
}

// Left of the viewport is the line-number gutter, which selects as the bar does.
bool TTextView::InSelectionBar(QPoint point) const {
    return point.x() < 0 || (FSelectionBar && point.x() < LeftEdge());
}

void TTextView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(e);
    CommitComposition();
    const QPoint p = e->position().toPoint();
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    FLastMouse = p;
    if (InSelectionBar(p)) {
        FDrag = dgLines;
        // Shift extends by lines from the line where the selection started.
        FDragOrigin = shift ? FSel.Anchor : FWrap.Range(RowAt(p)).first;
        SelectLinesTo(RowAt(p));
    } else {
        FDrag = dgChars;
        const TCaretPlace place = PlaceAt(p);
        MoveCaret(place.Pos, shift, place.Upstream);
    }
}

void TTextView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint p = e->position().toPoint();
    if (InSelectionBar(p)) {
        FDrag = dgParagraphs;
        FDragOrigin = FWrap.Range(RowAt(p)).first;
        SelectLinesTo(RowAt(p));
        return;
    }
    qsizetype pos = CharFromPos(p);
    auto [from, to] = WordAt(pos);
    FDrag = dgWords;
    FDragOrigin = from;
    SetSelection(from, to);
}

void TTextView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    // Over the selection bar the pointer is an arrow pointing right, at the line it selects.
    const bool bar = InSelectionBar(p);
    if (bar != (viewport()->cursor().shape() == Qt::BitmapCursor))
        viewport()->setCursor(bar ? RightArrowCursor() : QCursor(Qt::IBeamCursor));
    if (FDrag == dgNone || !(e->buttons() & Qt::LeftButton))
        return;
    FLastMouse = p;
    bool outside = !viewport()->rect().contains(FLastMouse);
    if (outside && !FAutoScroll.isActive())
        FAutoScroll.start(50, this);
    else if (!outside)
        FAutoScroll.stop();
    if (FDrag == dgLines || FDrag == dgParagraphs) {
        SelectLinesTo(RowAt(FLastMouse));
    } else if (FDrag == dgWords) {
        qsizetype pos = CharFromPos(FLastMouse);
        auto [from, to] = WordAt(pos);
        if (pos >= FDragOrigin)
            SetSelection(FDragOrigin, to);
        else
            SetSelection(WordAt(FDragOrigin).second, from);
    } else {
        const TCaretPlace place = PlaceAt(FLastMouse);
        SetSelection(FSel.Anchor, place.Pos);
        FCaretUpstream = place.Upstream;
    }
    EnsureCaretVisible();
}

void TTextView::mouseReleaseEvent(QMouseEvent*) {
    FDrag = dgNone;
    FAutoScroll.stop();
}

void TTextView::timerEvent(QTimerEvent* e) {
    if (e->timerId() == FBlink.timerId()) {
        FCaretOn = !FCaretOn;
        viewport()->update();
    } else if (e->timerId() == FAutoScroll.timerId()) {
        QPoint p = FLastMouse;
        QScrollBar* v = verticalScrollBar();
        if (p.y() < 0)
            v->setValue(v->value() - 1);
        else if (p.y() > viewport()->height())
            v->setValue(v->value() + 1);
        SetSelection(FSel.Anchor, CharFromPos(p));
    } else {
        QAbstractScrollArea::timerEvent(e);
    }
}

void TTextView::RestartBlink() {
    FCaretOn = true;
    int period = QGuiApplication::styleHints()->cursorFlashTime();
    if (period > 0 && hasFocus())
        FBlink.start(period / 2, this);
    else
        FBlink.stop();
}

void TTextView::focusInEvent(QFocusEvent* e) {
    RestartBlink();
    viewport()->update();
    QAbstractScrollArea::focusInEvent(e);
}

void TTextView::focusOutEvent(QFocusEvent* e) {
    // Leaving the control (another window, another widget) ends the composition where it stands;
    // a menu opening over it does not.
    if (e->reason() != Qt::PopupFocusReason)
        CommitComposition();
    FBlink.stop();
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(e);
}

// ---------------------------------------------------------------------------------------------
// Input methods: composition is shown inline and never touches the buffer; only the commit does.

void TTextView::inputMethodEvent(QInputMethodEvent* e) {
    if (ReadOnly()) {
        e->ignore();
        return;
    }
    if (!FCommittedHere.isEmpty()) {
        // The input method's own commit of a composition already put in by CommitComposition.
        const bool same = e->commitString() == FCommittedHere && e->preeditString().isEmpty();
        if (same || !e->commitString().isEmpty() || !e->preeditString().isEmpty())
            FCommittedHere.clear();
        if (same) {
            e->accept();
            return;
        }
    }
    if (!e->commitString().isEmpty() || e->replacementLength() > 0) {
        if (e->replacementLength() > 0) {
            qsizetype from = FBuffer.Snap(FSel.Caret + e->replacementStart(), false);
            SetSelection(from, from + e->replacementLength());
        }
        ReplaceSelection(e->commitString());
    }
    FPreedit = e->preeditString();
    FPreeditAttributes = e->attributes();
    FPreeditCursor = FPreedit.size();
    for (const auto& a : FPreeditAttributes)
        if (a.type == QInputMethodEvent::Cursor)
            FPreeditCursor = a.start;
    FComposition.reset();
    if (Composing())
        EnsureCaretVisible();
    viewport()->update();
    updateMicroFocus();
    e->accept();
}

// Ends a composition with its text where it stands, before the caret moves. An input method
// that commits at once (ibus) has done it when commit() returns; one that sends its commit later
// (fcitx5) would put the text wherever the caret has gone by then, so the text goes in here and
// that later commit of the same text is not taken a second time.
void TTextView::CommitComposition() {
    if (!Composing())
        return;
    QGuiApplication::inputMethod()->commit();
    if (!Composing())
        return;
    const QString text = std::exchange(FPreedit, QString());
    FPreeditAttributes.clear();
    FComposition.reset();
    ReplaceSelection(text);
    FCommittedHere = text;
    QGuiApplication::inputMethod()->reset();
}

// The composition's segments as the control paints them: cut where the input method's formats
// start and end; with any segment highlighted (the clause under conversion), the others are
// converted text, else all of it is still being typed.
std::vector<TTextView::TImeRun> TTextView::PreeditRuns() const {
    const int n = int(FPreedit.size());
    std::vector<int> cuts{0, n};
    for (const auto& a : FPreeditAttributes)
        if (a.type == QInputMethodEvent::TextFormat) {
            cuts.push_back(std::clamp(a.start, 0, n));
            cuts.push_back(std::clamp(a.start + a.length, 0, n));
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
    std::vector<TImeRun> runs;
    bool any = false;
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        const bool lit = highlighted(cuts[i], cuts[i + 1]);
        any |= lit;
        runs.push_back({cuts[i], cuts[i + 1], lit ? isWatchingTransfered : isTransfered});
    }
    if (!any)
        for (TImeRun& run : runs)
            run.Segment = isUntransfered;
    return runs;
}

TTextView::TComposition& TTextView::Composition() {
    if (FComposition)
        return *FComposition;
    FComposition = std::make_unique<TComposition>();
    TComposition& c = *FComposition;
    c.First = CaretLine();
    const qsizetype paragraph = c.First.Paragraph;
    const qsizetype paragraphStart = FBuffer.LineStart(paragraph);
    const qsizetype paragraphEnd = FBuffer.LineEnd(paragraph);
    const auto range = FWrap.Range(c.First);
    const qsizetype lineStart = range.first, lineEnd = range.second;
    const qsizetype caret = FSel.Caret;
    const bool wrapping = FWrap.WrapWidth() > 0;
    // The text the composition pushes along: up to where the breaks meet the text's own again,
    // which is within a line or two; the window only bounds a paragraph without allowed breaks.
    const qsizetype windowEnd = wrapping ? std::min(paragraphEnd, caret + 16384) : lineEnd;
    const QString text = FBuffer.Text(lineStart, caret - lineStart) + FPreedit +
                         FBuffer.Text(caret, windowEnd - caret);
    const qsizetype head = caret - lineStart, tail = head + FPreedit.size();
    std::vector<qsizetype> cuts;
    if (wrapping) {
        std::vector<float> advances;
        FAdvances->Fill(text, advances);
        cuts = BreakLines(text, advances.data(), FWrap.WrapWidth(), FOverflow,
                          FAdvances->TabWidth(), FWrap.Rules());
    }
    qsizetype endSub = wrapping ? FWrap.SubLineCount(paragraph) : c.First.Sub + 1;
    const std::vector<qsizetype>& breaks = FWrap.Breaks(paragraph);
    for (size_t k = 0; k < cuts.size(); ++k) {
        if (cuts[k] <= tail)
            continue;
        const qsizetype offset = caret + cuts[k] - tail - paragraphStart;
        const auto it = std::lower_bound(breaks.begin(), breaks.end(), offset);
        if (it != breaks.end() && *it == offset) {
            endSub = (it - breaks.begin()) + 1;
            cuts.resize(k + 1);
            break;
        }
    }
    if (cuts.empty() || cuts.back() < text.size())
        cuts.push_back(text.size());
    c.OriginalLines = endSub - c.First.Sub;
    auto toBuffer = [&](qsizetype v) {
        return v <= head ? lineStart + v : v >= tail ? caret + v - tail : caret;
    };
    const std::vector<TImeRun> runs = PreeditRuns();
    const qsizetype cursor = head + FPreeditCursor;
    bool cursorFound = false;
    qsizetype from = 0;
    for (const qsizetype to : cuts) {
        auto row = std::make_unique<TLineLayout>();
        row->Start = toBuffer(from);
        row->End = toBuffer(to);
        const qsizetype shownFrom = std::clamp(from, head, tail);
        const qsizetype shownTo = std::clamp(to, head, tail);
        QList<QTextLayout::FormatRange> formats;
        if (shownTo > shownFrom) {
            row->PreeditPos = caret;
            row->PreeditLength = shownTo - shownFrom;
            for (const TImeRun& run : runs) {
                const qsizetype a = std::max(head + run.From, shownFrom);
                const qsizetype b = std::min(head + run.To, shownTo);
                if (a < b)
                    formats.append({int(a - from), int(b - a), ImeFormat(run.Segment)});
            }
        }
        formats += ColourFormats(paragraph, *row);
        LayOut(*row, text.mid(from, to - from), formats);
        if (!cursorFound && cursor >= from && (cursor < to || to == text.size())) {
            cursorFound = true;
            c.CursorRow = int(c.Rows.size());
            c.CursorIndex = int(cursor - from);
        }
        c.Rows.push_back(std::move(row));
        from = to;
    }
    return c;
}

QVariant TTextView::inputMethodQuery(Qt::InputMethodQuery query) const {
    auto* self = const_cast<TTextView*>(this);
    switch (query) {
    case Qt::ImEnabled:
        return !ReadOnly();
    case Qt::ImCursorRectangle:
        return self->CaretRect().toRect();
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition: {
        qsizetype start = FBuffer.LineStart(FBuffer.LineOfPos(FSel.Caret));
        return int(FSel.Caret - start);
    }
    case Qt::ImAnchorPosition: {
        qsizetype start = FBuffer.LineStart(FBuffer.LineOfPos(FSel.Caret));
        return int(std::clamp(FSel.Anchor - start, qsizetype(0),
                              FBuffer.LineEnd(FBuffer.LineOfPos(FSel.Caret)) - start));
    }
    case Qt::ImSurroundingText:
        return FBuffer.LineText(FBuffer.LineOfPos(FSel.Caret));
    case Qt::ImCurrentSelection:
        return SelText();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}
