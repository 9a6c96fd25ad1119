#pragma once
// The collapsible tool bar: a tool bar with a grip tab at its start. Clicking the tab collapses
// the bar to a thin strip that shows only the tab; clicking it again restores the bar. The tab
// carries an arrow and a dotted texture and lights up while the pointer is over it.
//
// The tab lives where the toolkit keeps a tool bar's grip (the bar is "movable" for that
// reason), but it never drags the bar. The bar belongs in a QMainWindow's tool bar area.

#include "chrome/ChromeColors.h"

#include <QFlags>
#include <QToolBar>
#include <functional>

enum TEdgeBorder : uint8_t { ebLeft = 1, ebTop = 2, ebRight = 4, ebBottom = 8 };
Q_DECLARE_FLAGS(TEdgeBorders, TEdgeBorder)
Q_DECLARE_OPERATORS_FOR_FLAGS(TEdgeBorders)

class TTabToolBar : public QToolBar {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* sender)>;
    // Buttons are this high; an auto-sized bar is this plus its edge borders.
    static constexpr int ButtonHeight = 22;

    explicit TTabToolBar(QWidget* parent = nullptr);

    static QString Version() { return QStringLiteral("TTabToolBar v1.01"); }
    bool ShowTab() const { return FShowTab; }
    void SetShowTab(bool value);
    // True: expanded; False: collapsed to the tab.
    bool Maximized() const { return FMaximized; }
    void SetMaximized(bool value);
    TColor TabColor() const { return FTabColor; }
    void SetTabColor(TColor value) { SetColor(FTabColor, value); }
    TColor ArrowColor() const { return FArrowColor; }
    void SetArrowColor(TColor value) { SetColor(FArrowColor, value); }
    TColor TabHighlightColor() const { return FTabHighlightColor; }
    void SetTabHighlightColor(TColor value) { SetColor(FTabHighlightColor, value); }
    TColor TextureColor1() const { return FTextureColor1; }
    void SetTextureColor1(TColor value) { SetColor(FTextureColor1, value); }
    TColor TextureColor2() const { return FTextureColor2; }
    void SetTextureColor2(TColor value) { SetColor(FTextureColor2, value); }
    // The tab strip's thickness, also the collapsed bar's.
    int TabSizeMaximized() const { return FTabSizeMaximized; }
    void SetTabSizeMaximized(int value);
    // The tab's length while collapsed.
    int TabSizeMinimized() const { return FTabSizeMinimized; }
    void SetTabSizeMinimized(int value) { SetMetric(FTabSizeMinimized, value); }
    // The gap between the tab and the buttons while expanded.
    int TabIndent() const { return FTabIndent; }
    void SetTabIndent(int value) { SetMetric(FTabIndent, value); }
    TNotifyEvent OnMaximize; // after the bar expanded
    TNotifyEvent OnRestore;  // after the bar collapsed

    // The tool bar's own properties the tab works with. Left and right tool bar areas make a
    // vertical bar, whose width plays the part of the height.
    TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
    void SetEdgeBorders(TEdgeBorders value);
    int Height() const { return height(); }
    // While collapsed, a horizontal bar only remembers the height for its expansion.
    void SetHeight(int value);
    int Width() const { return width(); }
    void SetWidth(int value);
    // An auto-sized bar is as thick as its buttons and edge borders.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    // What a stored form keeps: the expanded bar's values, also while collapsed.
    int StoredHeight() const;
    int StoredWidth() const;
    bool StoredAutoSize() const;

    // The tab, in the bar's coordinates; empty without a tab.
    QRect TabRect() const;
    bool Highlighted() const { return FHighlighted; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class TTabToolBarStyle;
    bool Vertical() const { return orientation() == Qt::Vertical; }
    // The room before the buttons while expanded: the tab, its indent and an edge border.
    int TabRoom() const;
    // Edge borders across the bar (top and bottom of a horizontal bar), in pixels.
    int BordersAcross() const;
    void SetThickness(int value);
    void SetColor(TColor& field, TColor value);
    void SetMetric(int& field, int value);
    void SetHighlighted(bool value);
    // Relays out the buttons and repaints the tab.
    void RefreshFrame();
    void PaintTab(QPainter& painter, bool highlighted) const;
    void PaintEdges(QPainter& painter) const;

    bool FShowTab = true;
    bool FMaximized = true;
    TColor FTabColor = clBtnFace;
    TColor FArrowColor = clNavy;
    TColor FTabHighlightColor = 0xFFCFCF;
    TColor FTextureColor1 = clWhite;
    TColor FTextureColor2 = clNavy;
    int FTabSizeMaximized = 10;
    int FTabSizeMinimized = 62;
    int FTabIndent = 4;
    TEdgeBorders FEdgeBorders = ebTop;
    bool FAutoSize = false;
    int FSavedSize = 0;
    bool FSavedAutoSize = false;
    bool FHighlighted = false;
    bool FTabPressed = false;
};
