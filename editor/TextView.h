#pragma once
// The text control: a scroll area over a text buffer that paints visible display lines with
// QTextLayout, moves the caret and selection, edits, scrolls, and takes input-method composition.
// Positions are UTF-16 offsets; "lines" in the message-like operations are display lines.

#include "editor/AdvanceTable.h"
#include "editor/PairMatch.h"
#include "editor/Search.h"
#include "editor/SyntaxColours.h"
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
    qsizetype PreeditPos = -1;   // where a composition sits in this line, else -1
    qsizetype PreeditLength = 0; // the part of the composition shown in this line
};

class TLineNumberGutter;
class TMatchHighlighter;

class TTextView : public QAbstractScrollArea {
    Q_OBJECT
    friend class TLineNumberGutter;

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
    // Paragraph numbers in a gutter left of the text.
    bool LineNumbers() const { return FGutter != nullptr; }
    void SetLineNumbers(bool on);
    // Enter starts the new line with the blanks the caret's line starts with.
    bool AutoIndent() const { return FAutoIndent; }
    void SetAutoIndent(bool on) { FAutoIndent = on; }
    TLineEnd LineEnd() const { return FLineEnd; }
    void SetLineEnd(TLineEnd lineEnd) { FLineEnd = lineEnd; }
    void SetTextFont(const QFont& font);
    // Colours for the language's tokens; slNone shows the text in one colour.
    TSyntaxLanguage SyntaxLanguage() const { return FColours.Language(); }
    void SetSyntaxLanguage(TSyntaxLanguage language);
    const TSyntaxPalette& SyntaxPalette() const { return FPalette; }
    // The bracket or tag the caret stands beside and its partner, highlighted while painted.
    std::optional<TPairMatch> Pair();
    // Moves the caret to the partner of the bracket or tag beside it; false when there is none.
    bool JumpToPair();
    // Whether the background pass has coloured the whole text.
    bool ColoursDone() const { return FColours.Done(); }
    void SetSyntaxPalette(const TSyntaxPalette& palette);
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
    // Every match of a search, painted with a light background while it is shown.
    TMatchHighlighter& MatchHighlighter() { return *FMatchHighlighter; }
    bool Composing() const { return !FPreedit.isEmpty(); }
    QString PreeditText() const { return FPreedit; }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // The caret's display line. At a wrap, the end of one display line and the start of the next
    // are the same position: the caret stands at the end of the first after End, a click right
    // of its text or Up/Down to a shorter line, else at the start of the next.
    TDisplayLine CaretLine();
    bool CaretAtLineEnd() const { return FCaretUpstream; }
    // The caret's paragraph (0-based) and its column there in cells (a character that takes two
    // bytes in Shift_JIS counts 2), as the status bar shows them. Cheap per keystroke also in a
    // long paragraph: the count goes on from the last one while the caret moves forward.
    qsizetype CaretParagraph() const { return FBuffer.LineOfPos(SelStart()); }
    qsizetype CaretParagraphColumn();

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
    // Display line indexes as counted so far: no waiting for the background count.
    qsizetype IndexOfPos(qsizetype pos) { return FWrap.ToIndex(FWrap.LineOfPos(pos)); }
    qsizetype IndexOf(TDisplayLine line) const { return FWrap.ToIndex(line); }
    qsizetype TopIndex() const { return FWrap.ToIndex(FTopLine); }
    int VisibleLines() const;

private:
    struct TLineLayout {
        QTextLayout Layout;
        qsizetype Start = 0, End = 0; // positions in the buffer
        // A composition's part shown in this line sits at PreeditPos (the caret), else -1.
        qsizetype PreeditPos = -1;
        qsizetype PreeditLength = 0;
        uint32_t Colours = 0; // the lexer state its paragraph was coloured from
        // Layout positions after the composition's part move by its length.
        int LayoutIndex(qsizetype pos) const {
            return int(pos - Start + (PreeditPos >= 0 && pos >= PreeditPos ? PreeditLength : 0));
        }
    };
    // While composing, the paragraph holding the caret is broken again from the caret's display
    // line with the composition in it, until its breaks meet the text's own again: these rows
    // are painted in place of OriginalLines display lines from First.
    struct TComposition {
        TDisplayLine First;
        qsizetype OriginalLines = 1;
        std::vector<std::unique_ptr<TLineLayout>> Rows;
        int CursorRow = 0; // the row and layout index of the composition's cursor
        int CursorIndex = 0;
    };
    // A hit-tested caret place: the position and whether it stands at the end of its line.
    struct TCaretPlace {
        qsizetype Pos = 0;
        bool Upstream = false;
    };
    struct TImeRun {
        int From = 0, To = 0; // in the composition
        TImeSegment Segment = isUntransfered;
    };
    std::vector<TImeRun> PreeditRuns() const;
    TDisplayLine RowAt(QPoint point);
    bool InSelectionBar(QPoint point) const;
    TLineLayout& LayoutFor(TDisplayLine line);
    // The colours of buffer range [from, to) of a paragraph, for a row whose layout index of a
    // position is given by the entry.
    QList<QTextLayout::FormatRange> ColourFormats(qsizetype paragraph, const TLineLayout& entry);
    void LayOut(TLineLayout& entry, const QString& text,
                const QList<QTextLayout::FormatRange>& formats);
    TComposition& Composition();
    void PaintRow(QPainter& painter, const TLineLayout& entry, QPointF origin,
                  qsizetype breakLength, int cursorIndex);
    void CommitComposition();
    void UpdateGeometry();
    void UpdateGutter();
    void UpdateScrollBars();
    void SetTop(qsizetype index);
    void OnBufferChanged(const TTextChange& change);
    void MoveCaret(qsizetype pos, bool extend, bool upstream = false);
    qsizetype NextPos(qsizetype pos, int direction) const;
    qsizetype WordEdge(qsizetype pos, int direction) const;
    std::pair<qsizetype, qsizetype> WordAt(qsizetype pos) const;
    qsizetype RunStart(qsizetype pos) const;
    TCaretPlace PlaceAtLineX(TDisplayLine line, double x);
    TCaretPlace PlaceAt(QPoint point);
    TDisplayLine Next(TDisplayLine line, qsizetype count);
    double CaretX();
    void InsertTyped(const QString& text);
    QString Indentation() const;
    void DeleteChar(int direction, bool word);
    QString Normalized(QString text) const;
    void SelectLinesTo(TDisplayLine line);
    QRectF CaretRect();
    void RestartBlink();

    TTextBuffer FBuffer;
    TWrapMap FWrap;
    TSyntaxColours FColours; // before the view hears of an edit, the colours know of it
    TSyntaxPalette FPalette = DefaultSyntaxPalette();
    std::vector<TSyntaxRun> FRuns;
    // The pair at the caret, found again when the caret or the text has moved since.
    struct {
        qsizetype Caret = -1;
        quint64 Edits = 0;
        std::optional<TPairMatch> Match;
    } FPair;
    quint64 FEdits = 1; // counts edits, loads and colour changes
    std::unique_ptr<TAdvanceTable> FAdvances;
    TSelection FSel;
    bool FCaretUpstream = false;
    bool FUpdatingBars = false;
    double FDesiredX = -1;
    TDisplayLine FTopLine; // first visible display line
    bool FWordWrap = true;
    QRect FFormatRect;
    int FOverflow = 0;
    bool FSelectionBar = true;
    bool FOverwrite = false;
    bool FAutoIndent = false;
    TLineNumberGutter* FGutter = nullptr;
    TLineEnd FLineEnd = leCrLf;
    QString FPreedit;
    QList<QInputMethodEvent::Attribute> FPreeditAttributes;
    qsizetype FPreeditCursor = 0;
    QString FCommittedHere;                     // a composition this control committed itself
    std::unique_ptr<TComposition> FComposition; // laid out when first needed
    struct {
        qsizetype Paragraph = -1, Pos = 0, Cells = 0;
    } FColumnCache;
    bool FCaretOn = true;
    QBasicTimer FBlink;
    QBasicTimer FAutoScroll;
    enum TDrag : uint8_t { dgNone, dgChars, dgWords, dgLines, dgParagraphs } FDrag = dgNone;
    qsizetype FDragOrigin = 0;
    QPoint FLastMouse;
    double FMaxWidth = 0;
    std::map<std::pair<qsizetype, qsizetype>, std::unique_ptr<TLineLayout>> FLayouts;
    TMatchHighlighter* FMatchHighlighter = nullptr; // a child object
};
