#pragma once
// How every editing window shows its text, chosen in the View menu's "編集記号" submenu and kept
// in the settings file's section "EditorDisplay": the visible marks, the two markers, a fixed
// wrap width in full-width characters, the line-break level, and whether Enter keeps the
// indentation; and the View menu's syntax colours, their scheme in the section "SyntaxColours".

#include "editor/SyntaxColours.h"

#include <QString>
#include <array>
#include <cstdint>

class TExtMemo;
class TIniGT;

struct TEditorDisplay {
    // In the order of the submenu: 改行, タブ, 全角スペース, 半角スペース, EOF, コントロール文字.
    std::array<bool, 6> Marks{};
    bool CaretMarker = false;
    bool WordWrapMarker = false;
    int WrapColumns = 0; // 0: wrap at the window's width
    int Level = 1;       // line-break rules: 1 or 2
    bool AutoIndent = true;
    bool LineNumbers = false;
    bool SyntaxColours = true;
    TSyntaxPalette Palette = DefaultSyntaxPalette();

    void Load(const TIniGT& ini);
    void Save(TIniGT& ini) const;
    void ApplyTo(TExtMemo& memo) const;
    // Colours as the window's file name asks (pages, scripts, style sheets and untitled windows
    // are coloured), when colours are on.
    void ApplyColours(TExtMemo& memo, const QString& caption) const;
};
