#pragma once
// Title bars the program draws itself, painted by a gradient caption: the bar of a dock window
// (docked or floating) and the bars of the editing windows inside the frame. Dragging,
// docking, the buttons and the window menu stay the toolkit's.

#include <QAbstractButton>
#include <QProxyStyle>
#include <QWidget>

class QDockWidget;
class QMdiSubWindow;
class TGradientCaption;

enum TCaptionButtonKind : uint8_t { cbClose, cbMaximize, cbRestore, cbMinimize };

// A caption button as the classic desktop drew it: a raised face with its glyph, sunken while
// pressed, the glyph greyed when the button does nothing.
void DrawCaptionButton(QPainter& painter, const QRect& r, TCaptionButtonKind kind, bool pressed,
                       bool enabled, const QPalette& palette);

// The close button of a dock window's bar.
class TCaptionButton : public QAbstractButton {
    Q_OBJECT
public:
    TCaptionButton(TCaptionButtonKind kind, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TCaptionButtonKind FKind;
};

// The title bar of a dock window: new TDockCaptionBar(dock, caption) installs it. The text is
// caption's (normally the dock's own gradient caption); the colours follow whether the dock's
// window is the active one. Dragging the bar moves or docks the window, a double-click docks or
// floats it, the close button hides it.
class TDockCaptionBar : public QWidget {
    Q_OBJECT
public:
    TDockCaptionBar(QDockWidget* dock, TGradientCaption* caption);

    bool Active() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    TCaptionButton* CloseButton() const { return FClose; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QRect TextRect() const;

    QDockWidget* FDock;
    TGradientCaption* FCaption;
    TCaptionButton* FClose;
};

// Paints the title bar of one MDI window from caption and lays its buttons out as the classic
// desktop did (close, a gap, maximise or restore, minimise or restore, from the right).
// TMdiCaptionStyle::Install(window, caption) gives window this style; the window owns it.
class TMdiCaptionStyle : public QProxyStyle {
    Q_OBJECT
public:
    static TMdiCaptionStyle* Install(QMdiSubWindow& window, TGradientCaption& caption);

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                         SubControl subControl, const QWidget* widget = nullptr) const override;

private:
    explicit TMdiCaptionStyle(TGradientCaption& caption);
    TGradientCaption& FCaption;
};
