#include "editor/TextViewAccessible.h"

#include "editor/TextView.h"

TTextViewAccessible::TTextViewAccessible(TTextView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {}

void TTextViewAccessible::Install() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
        if (auto* view = qobject_cast<TTextView*>(object))
            return new TTextViewAccessible(view);
        return nullptr;
    });
}

TTextView* TTextViewAccessible::View() const {
    return static_cast<TTextView*>(widget());
}

void* TTextViewAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TTextViewAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return View()->Buffer().Text();
    return QAccessibleWidget::text(t);
}

QAccessible::State TTextViewAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = !View()->ReadOnly();
    s.readOnly = View()->ReadOnly();
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

void TTextViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && View()->SelLength() > 0) {
        *startOffset = int(View()->SelStart());
        *endOffset = int(View()->SelStart() + View()->SelLength());
    }
}

int TTextViewAccessible::selectionCount() const {
    return View()->SelLength() > 0 ? 1 : 0;
}

void TTextViewAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void TTextViewAccessible::removeSelection(int) {
    View()->SetSelection(View()->CaretPos(), View()->CaretPos());
}

void TTextViewAccessible::setSelection(int, int startOffset, int endOffset) {
    View()->SetSelection(startOffset, endOffset);
}

int TTextViewAccessible::cursorPosition() const {
    return int(View()->CaretPos());
}

void TTextViewAccessible::setCursorPosition(int position) {
    View()->SetSelection(position, position);
}

QString TTextViewAccessible::text(int startOffset, int endOffset) const {
    return View()->Buffer().Text(startOffset, endOffset - startOffset);
}

int TTextViewAccessible::characterCount() const {
    return int(View()->TextLength());
}

QRect TTextViewAccessible::characterRect(int offset) const {
    TTextView* view = View();
    QPoint p = view->PosFromChar(offset);
    QPoint next = view->PosFromChar(offset + 1);
    int width = next.y() == p.y() ? std::max(1, next.x() - p.x()) : 1;
    QRect r(p, QSize(width, view->fontMetrics().height()));
    return QRect(view->viewport()->mapToGlobal(r.topLeft()), r.size());
}

int TTextViewAccessible::offsetAtPoint(const QPoint& point) const {
    TTextView* view = View();
    return int(view->CharFromPos(view->viewport()->mapFromGlobal(point)));
}

void TTextViewAccessible::scrollToSubstring(int startIndex, int) {
    View()->SetSelection(startIndex, startIndex);
    View()->EnsureCaretVisible();
}

QString TTextViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = offset;
    return QString();
}

void TTextViewAccessible::deleteText(int startOffset, int endOffset) {
    replaceText(startOffset, endOffset, QString());
}

void TTextViewAccessible::insertText(int offset, const QString& text) {
    replaceText(offset, offset, text);
}

void TTextViewAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
    View()->SetSelection(startOffset, endOffset);
    View()->ReplaceSelection(text);
}
