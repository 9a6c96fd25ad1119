// Keyboard, mouse and input-method events of the text control.

#include "editor/TextView.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QStyleHints>

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
        TDisplayLine line = FWrap.LineOfPos(FSel.Caret);
        auto vertical = [&](qsizetype rows) {
            if (FDesiredX < 0)
                FDesiredX = CaretX();
            double x = FDesiredX;
            TDisplayLine target = Next(line, rows);
            qsizetype pos =
                target == line ? (rows < 0 ? 0 : FBuffer.Length()) : PosAtLineX(target, x);
            if (rows != 0 && std::abs(rows) > 1) {
                qsizetype top = FWrap.ToIndex(FTopLine) + rows;
                FTopLine = FWrap.LineAt(std::max<qsizetype>(0, top));
            }
            MoveCaret(pos, shift);
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
            MoveCaret(ctrl ? FBuffer.Length() : FWrap.Range(line).second, shift);
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
            InsertTyped(LineEndText(FLineEnd));
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

void TTextView::SelectLinesTo(TDisplayLine line) {
    TDisplayLine origin = FWrap.LineOfPos(FDragOrigin);
    bool down = FWrap.ToIndex(line) >= FWrap.ToIndex(origin);
    TDisplayLine first = down ? origin : line, last = down ? line : origin;
    qsizetype from = FWrap.Range(first).first;
    TDisplayLine after = Next(last, 1);
    qsizetype to = after == last ? FBuffer.Length() : FWrap.Range(after).first;
    SetSelection(down ? from : to, down ? to : from);
}

void TTextView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(e);
    QPoint p = e->position().toPoint();
    qsizetype pos = CharFromPos(p);
    FLastMouse = p;
    if (FSelectionBar && p.x() < LeftEdge()) {
        FDrag = dgLines;
        FDragOrigin = pos;
        SelectLinesTo(FWrap.LineOfPos(pos));
    } else {
        FDrag = dgChars;
        MoveCaret(pos, e->modifiers() & Qt::ShiftModifier);
    }
}

void TTextView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    qsizetype pos = CharFromPos(e->position().toPoint());
    auto [from, to] = WordAt(pos);
    FDrag = dgWords;
    FDragOrigin = from;
    SetSelection(from, to);
}

void TTextView::mouseMoveEvent(QMouseEvent* e) {
    if (FDrag == dgNone || !(e->buttons() & Qt::LeftButton))
        return;
    FLastMouse = e->position().toPoint();
    bool outside = !viewport()->rect().contains(FLastMouse);
    if (outside && !FAutoScroll.isActive())
        FAutoScroll.start(50, this);
    else if (!outside)
        FAutoScroll.stop();
    qsizetype pos = CharFromPos(FLastMouse);
    if (FDrag == dgLines) {
        SelectLinesTo(FWrap.LineOfPos(pos));
    } else if (FDrag == dgWords) {
        auto [from, to] = WordAt(pos);
        if (pos >= FDragOrigin)
            SetSelection(FDragOrigin, to);
        else
            SetSelection(WordAt(FDragOrigin).second, from);
    } else {
        SetSelection(FSel.Anchor, pos);
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
    FLayouts.clear();
    viewport()->update();
    e->accept();
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
