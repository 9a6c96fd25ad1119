#pragma once
// The gradient caption: a component on a window that composes the window's title from up to
// three pieces (a company text, an application name and the caption text proper) and paints
// title bars as a left-to-right colour gradient with each piece in its own font and colour.
// The desktop's window manager draws the title bars of top-level windows, so the painting is
// used where the program draws a bar itself: the editing windows inside the frame and the dock
// windows (CaptionBars.h).

#include "chrome/ChromeColors.h"
#include "platform/Persistent.h"

#include <QFont>
#include <QObject>
#include <QRect>
#include <QString>
#include <functional>

class QIcon;
class QPainter;
class QWidget;
class TGradientCaption;

enum TFontKind : uint8_t { fkCustom, fkSystem, fkSystemI, fkSystemB, fkSystemBI, fkAutoHeight };
enum TGradEnabled : uint8_t { geAlways, geNever, geWhenActive, geSmart };
enum TJustification : uint8_t { jAuto, jLeft, jCenter, jRight };

// One piece of the title. Caption and Visible changes recompose the owner's title; the other
// properties are used at the next painting.
class TCompanyText : public TPersistent {
public:
    explicit TCompanyText(TGradientCaption* owner);
    QString ClassName() const override { return QStringLiteral("TCompanyText"); }
    // Whether a published property differs from what a new piece has.
    bool IsStored(QStringView name) const;

    virtual QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    TColor ColorActive() const { return FColorActive; }
    void SetColorActive(TColor value) { FColorActive = value; }
    TColor ColorInactive() const { return FColorInactive; }
    void SetColorInactive(TColor value) { FColorInactive = value; }
    const QFont& Font() const { return FFont; }
    // Copies value; the kind becomes fkCustom unless it is fkAutoHeight, whose height is then
    // fitted to the caption font.
    void SetFont(const QFont& value);
    TFontKind FontKind() const { return FFontKind; }
    void SetFontKind(TFontKind value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    // Derives Font from the owner's caption font by FontKind (again after a system change).
    void ApplyFontKind();

protected:
    void AssignTo(TPersistent& dest) const override;
    TGradientCaption* FOwner;
    QString FCaption;

private:
    TColor FColorActive = clCaptionText;
    TColor FColorInactive = clInactiveCaptionText;
    QFont FFont;
    TFontKind FFontKind = fkSystem;
    bool FVisible = true;
};

class TAppNameText final : public TCompanyText {
public:
    using TCompanyText::TCompanyText;
    QString ClassName() const override { return QStringLiteral("TAppNameText"); }
};

// Reads its caption back from the window's title: what follows the company and application
// pieces.
class TCaptionText final : public TCompanyText {
public:
    using TCompanyText::TCompanyText;
    QString ClassName() const override { return QStringLiteral("TCaptionText"); }
    QString Caption() const override;

private:
    friend class TGradientCaption; // stores the text read at painting without recomposing
    void Store(const QString& value);
};

// The character height of a font (cell height less internal leading), in pixels.
int CharHeight(const QFont& font);

// Rounded a * b / c, as the platform's MulDiv rounds.
int MulDiv(int a, int b, int c);

// Fills text with numColors bands from left to right (the caption's gradient).
void PaintGradient(QPainter& painter, const QRect& text, QColor left, QColor right, int numColors);

// Which pieces a title bar of a given width shows: the company piece goes first, then the
// application name; the caption piece always stays.
struct TFit {
    bool Company = false;
    bool AppName = false;
};
TFit FitPieces(int companyWidth, int appNameWidth, int captionWidth, int available);

// The left edge of what is drawn, of width drawn, in text.
int JustifiedLeft(TJustification justification, const QRect& text, int drawn);

// Whether the gradient is painted.
bool GradientOn(TGradEnabled enabled, bool active, int displayDepth);

class TGradientCaption : public QObject {
    Q_OBJECT
public:
    using TOnDrawCaption =
        std::function<void(TGradientCaption* sender, QPainter& canvas, QRect& r)>;

    // Becomes a child of form and composes form's title; the three captions start empty.
    explicit TGradientCaption(QWidget& form);
    ~TGradientCaption() override;

    QWidget& Form() const { return FForm; }
    TAppNameText& AppNameText() { return FAppNameText; }
    TCaptionText& CaptionText() { return FCaptionText; }
    TCompanyText& CompanyText() { return FCompanyText; }

    TColor ColorLeftActive() const { return FColorLeftActive; }
    void SetColorLeftActive(TColor value) { FColorLeftActive = value; }
    TColor ColorLeftInActive() const { return FColorLeftInActive; }
    void SetColorLeftInActive(TColor value) { FColorLeftInActive = value; }
    TColor ColorRightActive() const { return FColorRightActive; }
    void SetColorRightActive(TColor value) { FColorRightActive = value; }
    TColor ColorRightInActive() const { return FColorRightInActive; }
    void SetColorRightInActive(TColor value) { FColorRightInActive = value; }
    TGradEnabled Enabled() const { return FEnabled; }
    void SetEnabled(TGradEnabled value) { FEnabled = value; }
    TJustification Justification() const { return FJustification; }
    void SetJustification(TJustification value) { FJustification = value; }
    int NumColors() const { return FNumColors; }
    // 1 to 256; more is taken as 256, 0 or less is ignored.
    void SetNumColors(int value);
    TOnDrawCaption OnDrawCaption;

    // The font the desktop gives title bars; the pieces derive theirs from it.
    const QFont& CaptionFont() const { return FCaptionFont; }
    // Re-reads the caption font and re-derives the pieces' fonts.
    void SystemChanged();
    // Asks every bar painted from this caption to repaint.
    void RefreshFrame();
    // Sets the form's title from the visible pieces.
    void ComposeTitle();

    // Paints a title bar: bar is the whole bar, text the part left of its buttons; icon, when
    // given, is drawn at the text's start.
    void PaintCaption(QPainter& painter, const QRect& bar, QRect text, bool active,
                      const QIcon* icon = nullptr);

Q_SIGNALS:
    void Refresh();

protected:
    // System font and theme changes re-derive the pieces' fonts.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& FForm;
    QFont FCaptionFont;
    TCompanyText FCompanyText;
    TAppNameText FAppNameText;
    TCaptionText FCaptionText;
    TColor FColorLeftActive = clBlack;
    TColor FColorLeftInActive = clBlack;
    TColor FColorRightActive = clActiveCaption;
    TColor FColorRightInActive = clInactiveCaption;
    TGradEnabled FEnabled = geSmart;
    TJustification FJustification = jAuto;
    int FNumColors = 64;
};

// The look every window of the program gives its caption: the application name in the bold
// caption font, the caption text in the caption font, the company text bold italic, and blue
// at the right of the active gradient.
void SetProgramCaptionLook(TGradientCaption& caption);
