#pragma once
// The editor control of every editing window: the text view with the extras of a Japanese
// rich-edit control on top — a fixed-width edit area, marks and markers, input-method colours
// and the line-break options — and the few queries the status bar and the menus use.
//
// The text view underneath plays the platform control. Its Far-East settings (word-wrap mode
// word, custom punctuation strings, composition colours) live in FControl and are reached only
// through the Control… requests, so the option objects mirror the control exactly as they
// would a separate one.

#include "editor/ExtMemoOptions.h"
#include "editor/MarksPainter.h"
#include "editor/TextView.h"

#include <optional>

class TExtMemo : public TTextView,
                 public TEditAreaOwner,
                 public TImeColorsOwner,
                 public TWordWrapOwner {
    Q_OBJECT
public:
    explicit TExtMemo(QWidget* parent = nullptr);
    ~TExtMemo() override;

    // Published properties
    TEditArea& EditArea() { return FEditArea; }
    void SetEditArea(const TEditArea& value);
    TEditMarks& EditMarks() { return FEditMarks; }
    void SetEditMarks(const TEditMarks& value) { FEditMarks.Assign(value); }
    // Refreshed from the control first, unless the component is being loaded.
    TImeColors& ImeColors();
    void SetImeColors(const TImeColors& value);
    bool LineSelect() const { return FLineSelect; }
    void SetLineSelect(bool value);
    bool Vertical() const { return FVertical; }
    void SetVertical(bool value);
    TMarker& CaretMarker() { return FCaretMarker; }
    void SetCaretMarker(const TMarker& value) { FCaretMarker.Assign(value); }
    TMarker& WordWrapMarker() { return FWordWrapMarker; }
    void SetWordWrapMarker(const TMarker& value) { FWordWrapMarker.Assign(value); }
    // Its mode word replaced by the control's first, unless the component is being loaded.
    TWordWrapOption& WordWrapOption();
    void SetWordWrapOption(const TWordWrapOption& value) { FWordWrapOption.Assign(value); }
    // False for a property that equals its default and so is left out of the form.
    bool IsStored(QStringView name) const;

    // Streaming state: while loading, reading ImeColors and WordWrapOption does not query the
    // control; while writing, the punctuation strings read from the custom row.
    bool Loading() const { return FLoading; }
    void SetLoading(bool on) { FLoading = on; }
    bool Writing() const override { return FWriting; }
    void SetWriting(bool on) { FWriting = on; }

    // Queries and commands of the status bar and the menus. Lines are display lines.
    qsizetype CurrentLine();
    // Display cells from the start of the line to SelStart: a full-width character counts 2.
    qsizetype CurrentColumn();
    void SelectAll() override;

    void ApplyEditArea() override;
    void ApplyImeColors() override;
    // Destroys and creates the window again: the creation step runs anew, the text and the
    // Modified flag survive.
    void RecreateWnd();
    // Line of the caret marker; a negative value v is the remembered, undrawn line ~v.
    int CaretMarkerLine() const { return FCaretMarkerLine; }

    // Requests to the control's Far-East settings.
    uint32_t ControlWordWrapMode() const { return FControl.ModeWord; }
    void SetControlWordWrapMode(uint32_t word) override;
    // The string of kind 1..4 of the set the control's mode word selects.
    QString ControlPunctuation(int kind) const;
    // Takes a custom string; refuses (false) a kind outside 1..4, a string longer than the
    // 2047 units the exchange buffer holds, or one with control characters (line ends and tabs
    // are broken by their own rules). A refused kind is emptied, so the option object that
    // clears its copy and the control agree.
    bool SetControlPunctuation(int kind, const QString& text) override;
    const TCompColors& ControlImeColors() const { return FControl.ImeColors; }
    void SetControlImeColors(const TCompColors& colors);

protected:
    QTextCharFormat ImeFormat(TImeSegment segment) const override;
    // Marks are painted with each line's text; markers and the area outside the formatting
    // rectangle after all lines.
    void PaintLine(QPainter& painter, const TPaintedLine& line) override;
    void PaintExtras(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Moves the caret marker to the caret's line (or, without focus, keeps the remembered one);
    // the marker is drawn only while the selection is empty.
    void DrawCaretMarker();
    void EraseCaretMarker();

private:
    void CreateWnd();
    // The line the caret marker belongs on now, if it is shown at all.
    std::optional<int32_t> CaretMarkerTarget();
    bool AnyCharacterMark() const;
    // The width of a full-width square in the control's font: the mark font's height and the
    // caret marker's distance below its line's top.
    int SquareWidth() const;
    TBreakRules ControlRules() const;

    struct TControlState {
        // Level 1 with all three flags, the set the view starts with.
        uint32_t ModeWord = WBF_LEVEL1 | WBF_WORDWRAP | WBF_WORDBREAK | WBF_OVERFLOW;
        std::array<QString, 4> Custom;
        TCompColors ImeColors;
    };

    int32_t FCaretMarkerLine = -1;
    bool FLineSelect = true;
    bool FVertical = false;
    TEditArea FEditArea;
    TEditMarks FEditMarks;
    TImeColors FImeColors;
    TMarker FCaretMarker;
    TMarker FWordWrapMarker;
    TWordWrapOption FWordWrapOption;
    TControlState FControl;
    TMarksPainter FMarksPainter;
    bool FLoading = false;
    bool FWriting = false;
};
