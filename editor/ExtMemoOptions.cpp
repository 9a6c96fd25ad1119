#include "editor/ExtMemoOptions.h"

#include "platform/Error.h"

// ---------------------------------------------------------------------------------------------
// Edit area

bool TEditMargin::IsStored(QStringView name) const {
    if (name == u"Left")
        return FLeft != 0;
    if (name == u"Top")
        return FTop != 0;
    if (name == u"Bottom")
        return FBottom != 0;
    NoSuchProperty(name);
}

void TEditMargin::Set(int& field, int value) {
    if (value < 0 || value == field)
        return;
    field = value;
    if (FOwner)
        FOwner->Changed();
}

void TEditMargin::AssignTo(TPersistent& dest) const {
    auto* margin = dynamic_cast<TEditMargin*>(&dest);
    if (!margin)
        return TPersistent::AssignTo(dest);
    margin->FLeft = FLeft;
    margin->FTop = FTop;
    margin->FBottom = FBottom;
    if (margin->FOwner)
        margin->FOwner->Changed();
}

bool TEditArea::IsStored(QStringView name) const {
    if (name == u"Enabled")
        return FEnabled;
    if (name == u"Margin")
        return true;
    if (name == u"Width")
        return FWidth != 0;
    if (name == u"OverFlow")
        return FOverFlow != 0;
    NoSuchProperty(name);
}

void TEditArea::SetEnabled(bool value) {
    if (value == FEnabled)
        return;
    FEnabled = value;
    // Switching off sends nothing: the rectangle in force stays until the window is recreated.
    if (value)
        Changed();
}

void TEditArea::SetMargin(const TEditMargin& value) {
    FMargin.Assign(value);
}

void TEditArea::Set(int& field, int value) {
    if (value < 0 || value == field)
        return;
    field = value;
    Changed();
}

void TEditArea::Changed() {
    if (FOwner)
        FOwner->ApplyEditArea();
}

void TEditArea::AssignTo(TPersistent& dest) const {
    auto* area = dynamic_cast<TEditArea*>(&dest);
    if (!area)
        return TPersistent::AssignTo(dest);
    // Enabled stays the target's own: copying an area never switches one on or off.
    area->FMargin.FLeft = FMargin.FLeft;
    area->FMargin.FTop = FMargin.FTop;
    area->FMargin.FBottom = FMargin.FBottom;
    area->FWidth = FWidth;
    area->FOverFlow = FOverFlow;
    area->Changed();
}

// ---------------------------------------------------------------------------------------------
// Marks and markers

bool TEditMark::IsStored(QStringView name) const {
    if (name == u"Enabled")
        return FEnabled;
    if (name == u"Color")
        return FColor != clSilver;
    if (name == u"Reversed")
        return FReversed;
    NoSuchProperty(name);
}

void TEditMark::AssignTo(TPersistent& dest) const {
    auto* mark = dynamic_cast<TEditMark*>(&dest);
    if (!mark)
        return TPersistent::AssignTo(dest);
    mark->FEnabled = FEnabled;
    mark->FColor = FColor;
    mark->FReversed = FReversed;
}

bool TEditMarks::IsStored(QStringView name) const {
    for (const char16_t* known : {u"CrLf", u"Ctrl", u"DSp", u"SSp", u"Tab", u"Eot"})
        if (name == known)
            return true;
    NoSuchProperty(name);
}

void TEditMarks::AssignTo(TPersistent& dest) const {
    auto* marks = dynamic_cast<TEditMarks*>(&dest);
    if (!marks)
        return TPersistent::AssignTo(dest);
    for (size_t i = 0; i < FMarks.size(); ++i)
        marks->FMarks[i].Assign(FMarks[i]);
}

bool TMarker::IsStored(QStringView name) const {
    if (name == u"Enabled")
        return FEnabled;
    if (name == u"Color")
        return FColor != clSilver;
    NoSuchProperty(name);
}

void TMarker::AssignTo(TPersistent& dest) const {
    auto* marker = dynamic_cast<TMarker*>(&dest);
    if (!marker)
        return TPersistent::AssignTo(dest);
    marker->FEnabled = FEnabled;
    marker->FColor = FColor;
}

// ---------------------------------------------------------------------------------------------
// Input-method colours

bool TImeColor::IsStored(QStringView name) const {
    if (name == u"icText")
        return FText != 0;
    if (name == u"icBackground")
        return FBackground != 0;
    if (name == u"Style")
        return FStyle != TFontStyles();
    NoSuchProperty(name);
}

void TImeColor::Set(TColor& field, TColor value) {
    if (value == field)
        return;
    field = value;
    if (FOwner)
        FOwner->Changed();
}

void TImeColor::SetStyle(TFontStyles value) {
    if (value == FStyle)
        return;
    FStyle = value;
    if (FOwner)
        FOwner->Changed();
}

bool TImeColor::SameValues(const TImeColor& other) const {
    return FText == other.FText && FBackground == other.FBackground && FStyle == other.FStyle;
}

TCompColor TImeColor::ToCompColor(const QPalette& palette) const {
    return {ColorToRgb(FText, palette), ColorToRgb(FBackground, palette), uint32_t(FStyle.toInt())};
}

void TImeColor::Take(const TCompColor& color) {
    FText = color.Text;
    FBackground = color.Background;
    FStyle = TFontStyles::fromInt(int(color.Effects & 0xF));
}

void TImeColor::AssignTo(TPersistent& dest) const {
    auto* color = dynamic_cast<TImeColor*>(&dest);
    if (!color)
        return TPersistent::AssignTo(dest);
    color->FText = FText;
    color->FBackground = FBackground;
    color->FStyle = FStyle;
    if (color->FOwner)
        color->FOwner->Changed();
}

TImeColors::TImeColors(TImeColorsOwner* owner)
    : FOwner(owner), FColors{TImeColor(this), TImeColor(this), TImeColor(this), TImeColor(this)} {}

bool TImeColors::IsStored(QStringView name) const {
    for (const char16_t* known :
         {u"Untransfered", u"WatchingTransfered", u"Transfered", u"WatchingUntransfered"})
        if (name == known)
            return true;
    NoSuchProperty(name);
}

void TImeColors::SetColor(int index, const TImeColor& value) {
    TImeColor& own = FColors[size_t(index)];
    if (!own.SameValues(value))
        own.Assign(value);
}

bool TImeColors::SameValues(const TImeColors& other) const {
    for (size_t i = 0; i < FColors.size(); ++i)
        if (!FColors[i].SameValues(other.FColors[i]))
            return false;
    return true;
}

TCompColors TImeColors::ToCompColors(const QPalette& palette) const {
    TCompColors result;
    for (size_t i = 0; i < FColors.size(); ++i)
        result[i] = FColors[i].ToCompColor(palette);
    return result;
}

void TImeColors::Changed() {
    if (FOwner)
        FOwner->ApplyImeColors();
}

void TImeColors::AssignTo(TPersistent& dest) const {
    auto* colors = dynamic_cast<TImeColors*>(&dest);
    if (!colors)
        return TPersistent::AssignTo(dest);
    // All four first, then one request for the lot.
    for (size_t i = 0; i < FColors.size(); ++i) {
        colors->FColors[i].FText = FColors[i].FText;
        colors->FColors[i].FBackground = FColors[i].FBackground;
        colors->FColors[i].FStyle = FColors[i].FStyle;
    }
    colors->Changed();
}

// ---------------------------------------------------------------------------------------------
// Line-break options

namespace {
constexpr uint32_t ModeMask = WBF_LEVEL1 | WBF_LEVEL2 | WBF_CUSTOM;
constexpr uint32_t FlagMask = WBF_WORDWRAP | WBF_WORDBREAK | WBF_OVERFLOW;
} // namespace

TPunctuationMode PunctuationModeOf(uint32_t word) {
    if ((word & ModeMask) == WBF_CUSTOM)
        return wbfCustom;
    if ((word & (WBF_LEVEL1 | WBF_LEVEL2)) == WBF_LEVEL1)
        return wbfLevel1;
    return wbfLevel2;
}

bool TWordWrapOption::IsStored(QStringView name) const {
    static const char16_t* const strings[] = {u"pcFollowing", u"pcLeading", u"pcOverFlow",
                                              u"pcDelimiter"};
    for (size_t i = 0; i < 4; ++i)
        if (name == strings[i])
            return !FPunctuation[wbfCustom][i].isEmpty();
    if (name == u"PunctuationMode")
        return PunctuationMode() != wbfCustom;
    if (name == u"WordWrapMode")
        return WordWrapMode() != TWordWrapModes();
    NoSuchProperty(name);
}

QString TWordWrapOption::Punctuation(int kind) const {
    if (kind < PC_FOLLOWING || kind > PC_DELIMITER)
        return {};
    TPunctuationMode row = FOwner && FOwner->Writing() ? wbfCustom : PunctuationMode();
    return FPunctuation[row][size_t(kind - 1)];
}

void TWordWrapOption::SetPunctuation(int kind, const QString& value) {
    if (kind < PC_FOLLOWING || kind > PC_DELIMITER)
        return;
    // A custom string means nothing unless the custom set is in force, so writing one switches
    // to it even when the string is unchanged.
    SetPunctuationMode(wbfCustom);
    QString& stored = FPunctuation[wbfCustom][size_t(kind - 1)];
    if (stored == value)
        return;
    stored = value;
    if (FOwner && !FOwner->SetControlPunctuation(kind, value))
        stored.clear();
}

void TWordWrapOption::SetPunctuationMode(TPunctuationMode value) {
    static constexpr uint32_t bits[] = {WBF_CUSTOM, WBF_LEVEL1, WBF_LEVEL2};
    uint32_t target = bits[value];
    if ((FModeWord & ModeMask) == target)
        return;
    FModeWord = (FModeWord & ~ModeMask) | target;
    if (FOwner)
        FOwner->SetControlWordWrapMode(FModeWord);
}

TWordWrapModes TWordWrapOption::WordWrapMode() const {
    TWordWrapModes modes;
    modes.setFlag(wbfWordWrap, FModeWord & WBF_WORDWRAP);
    modes.setFlag(wbfWordBreak, FModeWord & WBF_WORDBREAK);
    modes.setFlag(wbfOverFlow, FModeWord & WBF_OVERFLOW);
    return modes;
}

void TWordWrapOption::SetWordWrapMode(TWordWrapModes value) {
    uint32_t target = (value.testFlag(wbfWordWrap) ? WBF_WORDWRAP : 0) |
                      (value.testFlag(wbfWordBreak) ? WBF_WORDBREAK : 0) |
                      (value.testFlag(wbfOverFlow) ? WBF_OVERFLOW : 0);
    if ((FModeWord & FlagMask) == target)
        return;
    // A word that names no set would read as level 2; flags set on a fresh object belong to
    // the custom set.
    if (FModeWord == 0)
        FModeWord = WBF_CUSTOM;
    FModeWord = (FModeWord & ~FlagMask) | target;
    if (FOwner)
        FOwner->SetControlWordWrapMode(FModeWord);
}

void TWordWrapOption::ApplyPunctuation() {
    if (!FOwner)
        return;
    // The control takes custom strings only while the custom set is in force.
    FOwner->SetControlWordWrapMode(WBF_CUSTOM | FlagMask);
    for (int kind = PC_FOLLOWING; kind <= PC_DELIMITER; ++kind) {
        QString& stored = FPunctuation[wbfCustom][size_t(kind - 1)];
        if (!FOwner->SetControlPunctuation(kind, stored))
            stored.clear();
    }
    FOwner->SetControlWordWrapMode(FModeWord);
}

void TWordWrapOption::AssignTo(TPersistent& dest) const {
    auto* option = dynamic_cast<TWordWrapOption*>(&dest);
    if (!option)
        return TPersistent::AssignTo(dest);
    option->FPunctuation = FPunctuation;
    option->FModeWord = FModeWord;
    option->ApplyPunctuation();
}
