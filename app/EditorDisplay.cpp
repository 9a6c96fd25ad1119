#include "app/EditorDisplay.h"

#include "app/Main.h"

#include "components/IniGT.h"
#include "editor/ExtMemo.h"

#include <QFontMetricsF>
#include <cmath>

namespace {
const QString Section = QStringLiteral("EditorDisplay");
const char* const MarkKeys[] = {"CrLf", "Tab", "DSp", "SSp", "Eot", "Ctrl"};

const QString ColourSection = QStringLiteral("SyntaxColours");
// The scheme's keys, one a colour kind, plain text having none.
const char* const ColourKeys[] = {nullptr,   "Tag",      "Attribute", "Value",    "Entity",
                                  "Comment", "Doctype",  "Keyword",   "String",   "RegExp",
                                  "Number",  "Selector", "Property",  "CssValue", "AtRule"};
static_assert(std::size(ColourKeys) == skKindCount);

QString Key(const char* name) {
    return QString::fromLatin1(name);
}
} // namespace

void TEditorDisplay::Load(const TIniGT& ini) {
    for (size_t i = 0; i < Marks.size(); ++i)
        Marks[i] = ini.ReadInteger(Section, Key(MarkKeys[i]), 0) != 0;
    CaretMarker = ini.ReadInteger(Section, QStringLiteral("CaretMarker"), 0) != 0;
    WordWrapMarker = ini.ReadInteger(Section, QStringLiteral("WordWrapMarker"), 0) != 0;
    // A hand-edited file may hold anything: widths outside 0..1000 and unknown levels fall back.
    WrapColumns = ini.ReadInteger(Section, QStringLiteral("WrapColumns"), 0);
    if (WrapColumns < 0 || WrapColumns > 1000)
        WrapColumns = 0;
    Level = ini.ReadInteger(Section, QStringLiteral("Level"), 1) == 2 ? 2 : 1;
    AutoIndent = ini.ReadInteger(Section, QStringLiteral("AutoIndent"), 1) != 0;
    LineNumbers = ini.ReadInteger(Section, QStringLiteral("LineNumbers"), 0) != 0;
    SyntaxColours = ini.ReadInteger(Section, QStringLiteral("SyntaxColours"), 1) != 0;
    // A colour the file does not name as #rrggbb keeps the scheme's own.
    const TSyntaxPalette defaults = DefaultSyntaxPalette();
    for (size_t kind = 1; kind < std::size(ColourKeys); ++kind) {
        const QColor colour(ini.ReadString(ColourSection, Key(ColourKeys[kind]), QString()));
        Palette[kind] = colour.isValid() ? colour : defaults[kind];
    }
}

void TEditorDisplay::Save(TIniGT& ini) const {
    for (size_t i = 0; i < Marks.size(); ++i)
        ini.WriteInteger(Section, Key(MarkKeys[i]), Marks[i]);
    ini.WriteInteger(Section, QStringLiteral("CaretMarker"), CaretMarker);
    ini.WriteInteger(Section, QStringLiteral("WordWrapMarker"), WordWrapMarker);
    ini.WriteInteger(Section, QStringLiteral("WrapColumns"), WrapColumns);
    ini.WriteInteger(Section, QStringLiteral("Level"), Level);
    ini.WriteInteger(Section, QStringLiteral("AutoIndent"), AutoIndent);
    ini.WriteInteger(Section, QStringLiteral("LineNumbers"), LineNumbers);
    ini.WriteInteger(Section, QStringLiteral("SyntaxColours"), SyntaxColours);
    for (size_t kind = 1; kind < std::size(ColourKeys); ++kind)
        ini.WriteString(ColourSection, Key(ColourKeys[kind]), Palette[kind].name());
}

void TEditorDisplay::ApplyColours(TExtMemo& memo, const QString& caption) const {
    memo.SetSyntaxPalette(Palette);
    memo.SetSyntaxLanguage(
        SyntaxColours ? LanguageForFileName(caption == NewFileCaption ? QString() : caption)
                      : slNone);
}

void TEditorDisplay::ApplyTo(TExtMemo& memo) const {
    TEditMarks& marks = memo.EditMarks();
    TEditMark* order[] = {&marks.CrLf(), &marks.Tab(), &marks.DSp(),
                          &marks.SSp(),  &marks.Eot(), &marks.Ctrl()};
    for (size_t i = 0; i < Marks.size(); ++i)
        order[i]->SetEnabled(Marks[i]);
    memo.CaretMarker().SetEnabled(CaretMarker);
    memo.WordWrapMarker().SetEnabled(WordWrapMarker);
    memo.WordWrapOption().SetPunctuationMode(Level == 2 ? wbfLevel2 : wbfLevel1);
    memo.SetAutoIndent(AutoIndent);
    memo.SetLineNumbers(LineNumbers);
    TEditArea& area = memo.EditArea();
    if (WrapColumns > 0) {
        // A full-width character's advance, as the overflow area measures it.
        const double cell = QFontMetricsF(memo.font()).horizontalAdvance(QChar(0x25A1));
        area.SetWidth(int(std::ceil(cell * WrapColumns)));
        area.SetEnabled(true);
        memo.ApplyEditArea();
    } else if (area.Enabled()) {
        // Switching the edit area off leaves the rectangle in force until the window is created
        // again; wrapping at the window's width needs just that.
        area.SetEnabled(false);
        memo.RecreateWnd();
    }
    memo.viewport()->update();
}
