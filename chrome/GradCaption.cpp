#include "chrome/GradCaption.h"

#include <QApplication>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <cstdlib>

namespace {

// The font the desktop gives title bars drawn inside windows, bold when heavier than medium.
QFont ReadCaptionFont() {
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setWeight(font.weight() > QFont::Medium ? QFont::Bold : QFont::Normal);
    return font;
}

// font with its height set so that its character height is that of model.
QFont FitHeight(QFont font, const QFont& model) {
    const int target = CharHeight(model);
    font.setPixelSize(std::max(1, target));
    const int excess = CharHeight(font) - target;
    if (excess > 0)
        font.setPixelSize(std::max(1, target - excess));
    return font;
}

int TextWidth(const QFont& font, const QString& text) {
    return QFontMetrics(font).horizontalAdvance(text);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Pieces

TCompanyText::TCompanyText(TGradientCaption* owner) : FOwner(owner), FFont(owner->CaptionFont()) {}

bool TCompanyText::IsStored(QStringView name) const {
    if (name == u"Caption")
        return !FCaption.isEmpty();
    if (name == u"ColorActive")
        return FColorActive != clCaptionText;
    if (name == u"ColorInactive")
        return FColorInactive != clInactiveCaptionText;
    if (name == u"Font")
        return FFontKind == fkCustom || FFontKind == fkAutoHeight;
    if (name == u"FontKind" || name == u"Visible")
        return true;
    NoSuchProperty(name);
}

void TCompanyText::SetCaption(const QString& value) {
    if (value == FCaption)
        return;
    FCaption = value;
    FOwner->ComposeTitle();
}

void TCompanyText::SetVisible(bool value) {
    if (value == FVisible)
        return;
    FVisible = value;
    FOwner->ComposeTitle();
}

void TCompanyText::SetFont(const QFont& value) {
    FFont = value;
    if (FFontKind == fkAutoHeight)
        FFont = FitHeight(FFont, FOwner->CaptionFont());
    else
        FFontKind = fkCustom;
}

void TCompanyText::SetFontKind(TFontKind value) {
    if (value == FFontKind)
        return;
    FFontKind = value;
    ApplyFontKind();
}

void TCompanyText::ApplyFontKind() {
    const QFont& caption = FOwner->CaptionFont();
    switch (FFontKind) {
    case fkCustom:
        return;
    case fkAutoHeight:
        FFont = FitHeight(FFont, caption);
        return;
    case fkSystem:
    case fkSystemI:
    case fkSystemB:
    case fkSystemBI:
        FFont = caption;
        FFont.setItalic(caption.italic() || FFontKind == fkSystemI || FFontKind == fkSystemBI);
        if (FFontKind == fkSystemB || FFontKind == fkSystemBI)
            FFont.setBold(true);
        return;
    }
}

void TCompanyText::AssignTo(TPersistent& dest) const {
    auto* piece = dynamic_cast<TCompanyText*>(&dest);
    if (!piece)
        return TPersistent::AssignTo(dest);
    piece->FCaption = FCaption;
    piece->FColorActive = FColorActive;
    piece->FColorInactive = FColorInactive;
    piece->FFont = FFont;
    piece->FFontKind = FFontKind;
    piece->FVisible = FVisible;
    piece->FOwner->ComposeTitle();
}

QString TCaptionText::Caption() const {
    QString title = FOwner->Form().windowTitle();
    // The title begins with the company and application pieces, each followed by a blank;
    // what the desktop appends after them (a maximised child's name) stays.
    const TCompanyText* pieces[] = {&FOwner->CompanyText(), &FOwner->AppNameText()};
    for (const TCompanyText* piece : pieces) {
        const QString caption = piece->Caption();
        if (!piece->Visible() || caption.isEmpty())
            continue;
        const qsizetype at = title.indexOf(caption);
        if (at < 0)
            continue;
        title.remove(0, at + caption.size());
        if (title.startsWith(u' '))
            title.remove(0, 1);
    }
    return title;
}

void TCaptionText::Store(const QString& value) {
    FCaption = value;
}

// ---------------------------------------------------------------------------------------------
// Painting rules

int CharHeight(const QFont& font) {
    // The em height: the cell height less the internal leading.
    return QFontInfo(font).pixelSize();
}

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long divisor = std::llabs(c);
    const long long magnitude = (std::llabs(product) + divisor / 2) / divisor;
    return static_cast<int>((product < 0) != (c < 0) ? -magnitude : magnitude);
}

void PaintGradient(QPainter& painter, const QRect& text, QColor left, QColor right, int numColors) {
    const int n = std::max(1, numColors);
    const int width = text.width();
    for (int i = 0; i < n; ++i) {
        const int x0 = text.left() + MulDiv(width, i, n);
        const int x1 = text.left() + MulDiv(width, i + 1, n);
        if (x1 <= x0)
            continue;
        QColor color = left;
        if (n > 1)
            color = QColor(left.red() + MulDiv(right.red() - left.red(), i, n - 1),
                           left.green() + MulDiv(right.green() - left.green(), i, n - 1),
                           left.blue() + MulDiv(right.blue() - left.blue(), i, n - 1));
        painter.fillRect(QRect(x0, text.top(), x1 - x0, text.height()), color);
    }
}

TFit FitPieces(int companyWidth, int appNameWidth, int captionWidth, int available) {
    if (companyWidth + appNameWidth + captionWidth < available)
        return {true, true};
    if (appNameWidth + captionWidth < available)
        return {false, true};
    return {false, false};
}

int JustifiedLeft(TJustification justification, const QRect& text, int drawn) {
    const int spare = text.width() - drawn;
    switch (justification) {
    case jCenter:
        return spare > 0 ? text.left() + spare / 2 : text.left();
    case jRight:
        return spare > 0 ? text.left() + spare : text.left();
    case jLeft:
    case jAuto: // the look of desktops that draw an icon at the bar's start
        break;
    }
    return text.left();
}

bool GradientOn(TGradEnabled enabled, bool active, int displayDepth) {
    switch (enabled) {
    case geAlways:
        return true;
    case geNever:
        return false;
    case geWhenActive:
        return active;
    case geSmart:
        return displayDepth > (active ? 7 : 8);
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// The component

TGradientCaption::TGradientCaption(QWidget& form)
    : QObject(&form), FForm(form), FCaptionFont(ReadCaptionFont()), FCompanyText(this),
      FAppNameText(this), FCaptionText(this) {
    form.installEventFilter(this);
}

TGradientCaption::~TGradientCaption() {
    // While the form deletes its children, this object is no longer among them; a form that
    // lives on keeps the caption piece as its title.
    if (FForm.children().contains(this)) {
        FForm.setWindowTitle(FCaptionText.Caption());
        RefreshFrame();
    }
}

void TGradientCaption::SetNumColors(int value) {
    if (value <= 0)
        return;
    FNumColors = std::min(value, 256);
}

void TGradientCaption::SystemChanged() {
    FCaptionFont = ReadCaptionFont();
    FCompanyText.ApplyFontKind();
    FAppNameText.ApplyFontKind();
    FCaptionText.ApplyFontKind();
    RefreshFrame();
}

void TGradientCaption::RefreshFrame() {
    FForm.update();
    Q_EMIT Refresh();
}

void TGradientCaption::ComposeTitle() {
    const QString company = FCompanyText.Caption();
    const QString appName = FAppNameText.Caption();
    const bool companyOn = FCompanyText.Visible();
    const bool appNameOn = FAppNameText.Visible();
    const bool captionOn = FCaptionText.Visible();
    QString title;
    if (companyOn)
        title += company;
    if (companyOn && !company.isEmpty() && (appNameOn || captionOn))
        title += u' ';
    if (appNameOn)
        title += appName;
    if (appNameOn && !appName.isEmpty() && captionOn)
        title += u' ';
    if (captionOn)
        title += FCaptionText.TCompanyText::Caption();
    FForm.setWindowTitle(title);
}

bool TGradientCaption::eventFilter(QObject* watched, QEvent* event) {
    // The desktop's fonts are all in place only once the change has been announced to every
    // window.
    if (event->type() == QEvent::ApplicationFontChange || event->type() == QEvent::ThemeChange)
        QMetaObject::invokeMethod(this, &TGradientCaption::SystemChanged, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void TGradientCaption::PaintCaption(QPainter& painter, const QRect& bar, QRect text, bool active,
                                    const QIcon* icon) {
    painter.save();
    const QPalette& palette = FForm.palette();
    const QColor solid = QColorFromTColor(active ? clActiveCaption : clInactiveCaption, palette);
    const QColor left = QColorFromTColor(active ? FColorLeftActive : FColorLeftInActive, palette);
    const QColor right =
        QColorFromTColor(active ? FColorRightActive : FColorRightInActive, palette);
    const QScreen* screen = FForm.screen();
    const bool gradient = GradientOn(FEnabled, active, screen ? screen->depth() : 24);
    painter.fillRect(bar, gradient ? right : solid);
    if (gradient)
        PaintGradient(painter, text, left, right, FNumColors);
    else
        painter.fillRect(text, solid);

    if (icon && !icon->isNull()) {
        constexpr int smallIcon = 16;
        icon->paint(&painter, QRect(text.left() + 2, bar.top() + (bar.height() - smallIcon) / 2,
                                    smallIcon, smallIcon));
        text.setLeft(text.left() + smallIcon + 2);
    }

    painter.setFont(FCaptionFont);
    if (OnDrawCaption)
        OnDrawCaption(this, painter, text);
    FCaptionText.Store(FCaptionText.Caption());

    struct TPiece {
        const TCompanyText& Piece;
        bool Shown;
        int Width;
    };
    auto piece = [](const TCompanyText& p, bool shown) {
        return TPiece{p, shown, shown ? TextWidth(p.Font(), p.Caption()) + 3 : 0};
    };
    TPiece pieces[] = {
        piece(FCompanyText, FCompanyText.Visible() && !FCompanyText.Caption().isEmpty()),
        piece(FAppNameText, FAppNameText.Visible() && !FAppNameText.Caption().isEmpty()),
        piece(FCaptionText, FCaptionText.Visible()),
    };
    const TFit fit = FitPieces(pieces[0].Width, pieces[1].Width, pieces[2].Width, text.width());
    pieces[0].Shown = pieces[0].Shown && fit.Company;
    pieces[1].Shown = pieces[1].Shown && fit.AppName;
    int drawn = 0;
    for (const TPiece& p : pieces)
        drawn += p.Shown ? p.Width : 0;

    QRect r = text;
    r.setLeft(JustifiedLeft(FJustification, text, drawn));
    for (const TPiece& p : pieces) {
        if (!p.Shown)
            continue;
        r.setLeft(r.left() + 3);
        if (r.width() <= 0)
            break;
        const QFontMetrics metrics(p.Piece.Font());
        const QString shown = metrics.elidedText(p.Piece.Caption(), Qt::ElideRight, r.width());
        painter.setFont(p.Piece.Font());
        painter.setPen(
            QColorFromTColor(active ? p.Piece.ColorActive() : p.Piece.ColorInactive(), palette));
        painter.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        r.setLeft(r.left() + metrics.horizontalAdvance(shown));
    }
    painter.restore();
}

void SetProgramCaptionLook(TGradientCaption& caption) {
    caption.AppNameText().SetFontKind(fkSystemB);
    caption.CaptionText().SetFontKind(fkSystem);
    caption.CompanyText().SetFontKind(fkSystemBI);
    caption.CompanyText().SetVisible(true);
    caption.AppNameText().SetVisible(true);
    caption.CaptionText().SetVisible(true);
    caption.SetColorRightActive(clBlue);
}
