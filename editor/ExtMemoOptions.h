#pragma once
// The option objects of the editor control: colours, styles, the edit area and its margin, the
// marks and markers, the input-method colours and the line-break options. Each knows its owner,
// copies itself only into an object of its own class and reports every effective change to the
// owner, which pushes the new state into the text view.

#include "platform/Color.h"
#include "platform/Persistent.h"

#include <QFlags>
#include <QString>
#include <array>
#include <cstdint>

// ---------------------------------------------------------------------------------------------
// Font styles

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)

// The requests option objects make of their control. The editor control implements all three;
// an object without an owner keeps its values and sends nothing.
class TEditAreaOwner {
public:
    virtual void ApplyEditArea() = 0;

protected:
    ~TEditAreaOwner() = default;
};

class TImeColorsOwner {
public:
    virtual void ApplyImeColors() = 0;

protected:
    ~TImeColorsOwner() = default;
};

class TWordWrapOwner {
public:
    virtual void SetControlWordWrapMode(uint32_t word) = 0;
    // False when the control refuses the string.
    virtual bool SetControlPunctuation(int kind, const QString& text) = 0;
    // True while the owner is being written to a form stream.
    virtual bool Writing() const = 0;

protected:
    ~TWordWrapOwner() = default;
};

// ---------------------------------------------------------------------------------------------
// Edit area

class TEditArea;

class TEditMargin final : public TPersistent {
public:
    explicit TEditMargin(TEditArea* owner = nullptr) : FOwner(owner) {}
    QString ClassName() const override { return QStringLiteral("TEditMargin"); }
    bool IsStored(QStringView name) const;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Bottom() const { return FBottom; }
    void SetLeft(int value) { Set(FLeft, value); }
    void SetTop(int value) { Set(FTop, value); }
    void SetBottom(int value) { Set(FBottom, value); }

protected:
    void AssignTo(TPersistent& dest) const override;

private:
    friend class TEditArea; // copies margins with one request for the lot
    friend class TExtMemo;  // stores values read from the live control without applying them
    void Set(int& field, int value);

    TEditArea* FOwner;
    int FLeft = 0;
    int FTop = 0;
    int FBottom = 0;
};

class TEditArea final : public TPersistent {
public:
    explicit TEditArea(TEditAreaOwner* owner = nullptr) : FOwner(owner), FMargin(this) {}
    QString ClassName() const override { return QStringLiteral("TEditArea"); }
    bool IsStored(QStringView name) const;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    TEditMargin& Margin() { return FMargin; }
    const TEditMargin& Margin() const { return FMargin; }
    void SetMargin(const TEditMargin& value);
    int Width() const { return FWidth; }
    void SetWidth(int value) { Set(FWidth, value); }
    int OverFlow() const { return FOverFlow; }
    void SetOverFlow(int value) { Set(FOverFlow, value); }

    // Asks the owner to apply the area; the margin calls it on its changes.
    void Changed();

protected:
    void AssignTo(TPersistent& dest) const override;

private:
    friend class TExtMemo;
    void Set(int& field, int value);

    TEditAreaOwner* FOwner;
    bool FEnabled = false;
    TEditMargin FMargin;
    int FOverFlow = 0;
    int FWidth = 0;
};

// ---------------------------------------------------------------------------------------------
// Marks and markers: plain values read when marks are painted

class TEditMark final : public TPersistent {
public:
    QString ClassName() const override { return QStringLiteral("TEditMark"); }
    bool IsStored(QStringView name) const;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor value) { FColor = value; }
    bool Reversed() const { return FReversed; }
    void SetReversed(bool value) { FReversed = value; }

protected:
    void AssignTo(TPersistent& dest) const override;

private:
    bool FEnabled = false;
    TColor FColor = clSilver;
    bool FReversed = false;
};

enum TEditMarkKind : uint8_t { emCrLf, emCtrl, emDSp, emSSp, emTab, emEot };

class TEditMarks final : public TPersistent {
public:
    QString ClassName() const override { return QStringLiteral("TEditMarks"); }
    bool IsStored(QStringView name) const;

    TEditMark& Mark(TEditMarkKind kind) { return FMarks[kind]; }
    const TEditMark& Mark(TEditMarkKind kind) const { return FMarks[kind]; }
    void SetMark(TEditMarkKind kind, const TEditMark& value) { FMarks[kind].Assign(value); }
    TEditMark& CrLf() { return FMarks[emCrLf]; }
    TEditMark& Ctrl() { return FMarks[emCtrl]; }
    TEditMark& DSp() { return FMarks[emDSp]; }
    TEditMark& SSp() { return FMarks[emSSp]; }
    TEditMark& Tab() { return FMarks[emTab]; }
    TEditMark& Eot() { return FMarks[emEot]; }

protected:
    void AssignTo(TPersistent& dest) const override;

private:
    std::array<TEditMark, 6> FMarks;
};

class TMarker final : public TPersistent {
public:
    QString ClassName() const override { return QStringLiteral("TMarker"); }
    bool IsStored(QStringView name) const;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor value) { FColor = value; }

protected:
    void AssignTo(TPersistent& dest) const override;

private:
    bool FEnabled = false;
    TColor FColor = clSilver;
};

// ---------------------------------------------------------------------------------------------
// Input-method composition colours

// One composition colour as the control keeps it: plain RGB colours and an effects word
// (1 bold, 2 italic, 4 underline, 8 strike-out).
struct TCompColor {
    TColor Text = 0;
    TColor Background = 0;
    uint32_t Effects = 0;
    bool operator==(const TCompColor&) const = default;
};
using TCompColors = std::array<TCompColor, 4>;

class TImeColors;

class TImeColor final : public TPersistent {
public:
    explicit TImeColor(TImeColors* owner = nullptr) : FOwner(owner) {}
    QString ClassName() const override { return QStringLiteral("TImeColor"); }
    bool IsStored(QStringView name) const;

    TColor icText() const { return FText; }
    void SeticText(TColor value) { Set(FText, value); }
    TColor icBackground() const { return FBackground; }
    void SeticBackground(TColor value) { Set(FBackground, value); }
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);
    bool SameValues(const TImeColor& other) const;
    // The control's form of this colour: colours resolved to RGB, styles as effect bits.
    TCompColor ToCompColor(const QPalette& palette) const;

protected:
    void AssignTo(TPersistent& dest) const override;

private:
    friend class TImeColors;
    friend class TExtMemo; // takes the control's colours without sending them back
    void Set(TColor& field, TColor value);
    void Take(const TCompColor& color);

    TImeColors* FOwner;
    TColor FText = 0;
    TColor FBackground = 0;
    TFontStyles FStyle;
};

class TImeColors final : public TPersistent {
public:
    explicit TImeColors(TImeColorsOwner* owner = nullptr);
    QString ClassName() const override { return QStringLiteral("TImeColors"); }
    bool IsStored(QStringView name) const;

    // In the order of the control's four-element colour array.
    TImeColor& Untransfered() { return FColors[0]; }
    TImeColor& WatchingTransfered() { return FColors[1]; }
    TImeColor& Transfered() { return FColors[2]; }
    TImeColor& WatchingUntransfered() { return FColors[3]; }
    TImeColor& Color(int index) { return FColors[size_t(index)]; }
    const TImeColor& Color(int index) const { return FColors[size_t(index)]; }
    void SetUntransfered(const TImeColor& value) { SetColor(0, value); }
    void SetWatchingTransfered(const TImeColor& value) { SetColor(1, value); }
    void SetTransfered(const TImeColor& value) { SetColor(2, value); }
    void SetWatchingUntransfered(const TImeColor& value) { SetColor(3, value); }
    void SetColor(int index, const TImeColor& value);

    bool SameValues(const TImeColors& other) const;
    TCompColors ToCompColors(const QPalette& palette) const;
    void Changed();

protected:
    void AssignTo(TPersistent& dest) const override;

private:
    friend class TExtMemo;
    TImeColorsOwner* FOwner;
    std::array<TImeColor, 4> FColors;
};

// ---------------------------------------------------------------------------------------------
// Line-break options

enum TPunctuationMode : uint8_t { wbfCustom, wbfLevel1, wbfLevel2 };
enum TWordWrapMode : uint8_t { wbfWordWrap = 1, wbfWordBreak = 2, wbfOverFlow = 4 };
Q_DECLARE_FLAGS(TWordWrapModes, TWordWrapMode)
Q_DECLARE_OPERATORS_FOR_FLAGS(TWordWrapModes)

// The control's word-wrap flags.
constexpr uint32_t WBF_WORDWRAP = 0x10;
constexpr uint32_t WBF_WORDBREAK = 0x20;
constexpr uint32_t WBF_OVERFLOW = 0x40;
constexpr uint32_t WBF_LEVEL1 = 0x80;
constexpr uint32_t WBF_LEVEL2 = 0x100;
constexpr uint32_t WBF_CUSTOM = 0x200;
// Punctuation kinds of the control's punctuation requests.
constexpr int PC_FOLLOWING = 1;
constexpr int PC_LEADING = 2;
constexpr int PC_OVERFLOW = 3;
constexpr int PC_DELIMITER = 4;

// The punctuation mode a mode word stands for.
TPunctuationMode PunctuationModeOf(uint32_t word);

using TPuncTbl = std::array<std::array<QString, 4>, 3>; // [mode][kind - 1]

class TWordWrapOption final : public TPersistent {
public:
    explicit TWordWrapOption(TWordWrapOwner* owner = nullptr) : FOwner(owner) {}
    QString ClassName() const override { return QStringLiteral("TWordWrapOption"); }
    bool IsStored(QStringView name) const;

    // The string of kind 1..4 in the row of the mode in force (the custom row while writing).
    QString Punctuation(int kind) const;
    void SetPunctuation(int kind, const QString& value);
    QString pcFollowing() const { return Punctuation(PC_FOLLOWING); }
    void SetpcFollowing(const QString& value) { SetPunctuation(PC_FOLLOWING, value); }
    QString pcLeading() const { return Punctuation(PC_LEADING); }
    void SetpcLeading(const QString& value) { SetPunctuation(PC_LEADING, value); }
    QString pcOverFlow() const { return Punctuation(PC_OVERFLOW); }
    void SetpcOverFlow(const QString& value) { SetPunctuation(PC_OVERFLOW, value); }
    QString pcDelimiter() const { return Punctuation(PC_DELIMITER); }
    void SetpcDelimiter(const QString& value) { SetPunctuation(PC_DELIMITER, value); }

    TPunctuationMode PunctuationMode() const { return PunctuationModeOf(FModeWord); }
    void SetPunctuationMode(TPunctuationMode value);
    TWordWrapModes WordWrapMode() const;
    void SetWordWrapMode(TWordWrapModes value);

    uint32_t ModeWord() const { return FModeWord; }
    const TPuncTbl& PunctuationTable() const { return FPunctuation; }
    // Sends the custom strings and the mode word to the owner's control.
    void ApplyPunctuation();

protected:
    void AssignTo(TPersistent& dest) const override;

private:
    friend class TExtMemo; // fills the level rows and mirrors the control's mode word
    TWordWrapOwner* FOwner;
    TPuncTbl FPunctuation;
    uint32_t FModeWord = 0;
};
