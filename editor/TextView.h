#pragma once
// The text control: a scroll area over a text buffer that paints visible display lines with
// QTextLayout, moves the caret and selection, edits, scrolls, and takes input-method composition.
// Positions are UTF-16 offsets; "lines" in the message-like operations are display lines.

#include "editor/AdvanceTable.h"
#include "editor/Search.h"
#include "editor/TextBuffer.h"
#include "editor/WrapMap.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPrinter>
#include <QTextLayout>
#include <map>
#include <memory>
#include <optional>

// Where a composition segment stands in the input method's conversion.
enum TImeSegment : uint8_t {
    isUntransfered,
    isWatchingTransfered,
    isTransfered,
    isWatchingUntransfered
};

// A display line as painted, for the marks that are drawn with it.
struct TPaintedLine {
    qsizetype Start = 0, End = 0; // buffer positions, End before any line break
    qsizetype BreakLength = 0;    // 2 for CR LF, 1 for LF or CR, 0 when no break follows
    QPointF Origin;               // of the line's layout in viewport pixels
    double Height = 0;
    const QTextLayout* Layout = nullptr;
    qsizetype PreeditPos = -1; // where a composition sits in this line, else -1
    qsizetype PreeditLength = 0;
    // The x of a buffer position in this line, composition included.
    double X(qsizetype pos) const;
};

class TTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TTextView(QWidget* parent = nullptr);
    ~TTextView() override;

    TTextBuffer& Buffer() { return FBuffer; }
    const TTextBuffer& Buffer() const { return FBuffer; }

    // Selection and caret
    qsizetype CaretPos() const { return FSel.Caret; }
    qsizetype SelStart() const { return std::min(FSel.Anchor, FSel.Caret); }
    qsizetype SelLength() const { return std::abs(FSel.Caret - FSel.Anchor); }
    TSelection Selection() const { return FSel; }
    void SetSelection(qsizetype anchor, qsizetype caret);
    QString SelText() const { return FBuffer.Text(SelStart(), SelLength()); }
    // Replaces the selection and puts the caret after the new text; false when read-only.
    bool ReplaceSelection(const QString& text, bool canUndo = true);

    // Options
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool on);
    // The formatting rectangle in viewport pixels; a null rectangle means the whole viewport.
    QRect FormatRect() const;
    void SetFormatRect(const QRect& rect);
    // Pixels right of the wrap column where hanging characters may go.
    int OverflowWidth() const { return FOverflow; }
    void SetOverflowWidth(int pixels);
    void SetBreakRules(const TBreakRules& rules);
    bool SelectionBar() const { return FSelectionBar; }
    void SetSelectionBar(bool on);
    bool ReadOnly() const { return FBuffer.ReadOnly(); }
    void SetReadOnly(bool on);
    bool OverwriteMode() const { return FOverwrite; }
    TLineEnd LineEnd() const { return FLineEnd; }
    void SetLineEnd(TLineEnd lineEnd) { FLineEnd = lineEnd; }
    void SetTextFont(const QFont& font);
    const TAdvanceTable& Advances() const { return *FAdvances; }

    // The operations other parts of the program ask of the control
    qsizetype CharFromPos(QPoint point);
    QPoint PosFromChar(qsizetype pos);
    qsizetype LineFromChar(qsizetype pos);
    qsizetype LineIndex(qsizetype line);
    qsizetype FirstVisibleLine();
    qsizetype TextLength() const { return FBuffer.Length(); }
    qsizetype LineCount();
    // Searches [from, to) forwards, or backwards when to < from; the match's position.
    std::optional<qsizetype> Find(const QString& what, qsizetype from, qsizetype to,
                                  TFindOptions options) const;
    virtual void Undo();
    void Redo();
    virtual void SelectAll();
    void Cut();
    void Copy();
    void Paste();
    void EnsureCaretVisible();
    // Prints the whole text page by page in the control's font, wrapped at the page width by the
    // control's line-break rules; the title names the print job.
    void Print(QPrinter* printer, const QString& title);
    bool Composing() const { return !FPreedit.isEmpty(); }
    QString PreeditText() const { return FPreedit; }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

Q_SIGNALS:
    void Changed();
    void SelectionChanged();
    // A key before the control acts on it (a handler may accept it to stop the control), the
    // text a key types, and a key released.
    void KeyDown(QKeyEvent* event);
    void KeyPress(const QString& text);
    void KeyUp(QKeyEvent* event);

protected:
    // Called for each visible display line after its text is drawn, and once after all lines:
    // marks and markers paint here.
    virtual void PaintLine(QPainter& painter, const TPaintedLine& line);
    virtual void PaintExtras(QPainter& painter);
    // The character format of a composition segment.
    virtual QTextCharFormat ImeFormat(TImeSegment segment) const;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool) override { return false; }

    double LeftEdge() const;
    double TopEdge() const;

private:
    struct TLineLayout {
        QTextLayout Layout;
        qsizetype Start = 0, End = 0; // positions in the buffer
        bool WithPreedit = false;
    };
    TLineLayout& LayoutFor(TDisplayLine line);
    void UpdateGeometry();
    void UpdateScrollBars();
    void OnBufferChanged(const TTextChange& change);
    void MoveCaret(qsizetype pos, bool extend);
    qsizetype NextPos(qsizetype pos, int direction) const;
    qsizetype WordEdge(qsizetype pos, int direction) const;
    std::pair<qsizetype, qsizetype> WordAt(qsizetype pos) const;
    qsizetype PosAtLineX(TDisplayLine line, double x);
    TDisplayLine Next(TDisplayLine line, qsizetype count);
    int VisibleLines() const;
    double CaretX();
    void InsertTyped(const QString& text);
    void DeleteChar(int direction, bool word);
    QString Normalized(QString text) const;
    void SelectLinesTo(TDisplayLine line);
    QRectF CaretRect();
    void RestartBlink();

    TTextBuffer FBuffer;
    TWrapMap FWrap;
    std::unique_ptr<TAdvanceTable> FAdvances;
    TSelection FSel;
    double FDesiredX = -1;
    TDisplayLine FTopLine; // first visible display line
    bool FWordWrap = true;
    QRect FFormatRect;
    int FOverflow = 0;
    bool FSelectionBar = true;
    bool FOverwrite = false;
    TLineEnd FLineEnd = leCrLf;
    QString FPreedit;
    QList<QInputMethodEvent::Attribute> FPreeditAttributes;
    qsizetype FPreeditCursor = 0;
    bool FCaretOn = true;
    QBasicTimer FBlink;
    QBasicTimer FAutoScroll;
    enum TDrag : uint8_t { dgNone, dgChars, dgWords, dgLines } FDrag = dgNone;
    qsizetype FDragOrigin = 0;
    QPoint FLastMouse;
    double FMaxWidth = 0;
    std::map<std::pair<qsizetype, qsizetype>, std::unique_ptr<TLineLayout>> FLayouts;
};
