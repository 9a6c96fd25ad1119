#pragma once

// Helpers that keep the catalogue's data files short and readable. Only the data files and the
// engine include this.

#include "snippets/SnippetTypes.h"

#include <QStringView>

#include <initializer_list>

namespace snippets::build {

inline constexpr TParamFlag E1 = pfEdit1;
inline constexpr TParamFlag E2 = pfEdit2;
inline constexpr TParamFlag E3 = pfEdit3;
inline constexpr TParamFlag E4 = pfEdit4;
inline constexpr TParamFlag E5 = pfEdit5;
inline constexpr TParamFlag E6 = pfEdit6;
inline constexpr TParamFlag E7 = pfEdit7;
inline constexpr TParamFlag C1 = pfComboBox1;

TOutputForm When(TParamSet filled, TParamSet empty, QStringView pattern);
TOutputForm Else(QStringView pattern);

TSnippetEntry Direct(QStringView name, QStringView text);
TSnippetEntry Message(QStringView name, QStringView text);
TSnippetEntry Nothing(QStringView name);
// A parameter entry whose first edits are captioned in order.
TSnippetEntry Param(QStringView name, std::initializer_list<QStringView> editCaptions,
                    std::vector<TOutputForm> forms);
// Opens a choice box as well; with `items` the preparation fills it and selects the first.
TSnippetEntry WithChoice(TSnippetEntry entry, TParamRow row, QStringView caption,
                         std::initializer_list<QStringView> items);
TSnippetEntry WithFocus(TSnippetEntry entry, TParamRow row);

// Item indices from inclusive ranges, for the partner table.
struct TRange {
    int FFirst;
    int FLast;
    TRange(int single) : FFirst(single), FLast(single) {}
    TRange(int first, int last) : FFirst(first), FLast(last) {}
};
TPartnerCheck Pair(int category, TParamRow first, TParamRow second,
                   std::initializer_list<TRange> items);

// The data files, in category order.
std::vector<TSnippetCategory> CatalogueBasic();            // 基本 .. ナビゲーター
std::vector<TSnippetCategory> CatalogueDialogWindow();     // ダイアログ .. ウィンドウ
std::vector<TSnippetCategory> CatalogueForm();             // フォーム
std::vector<TSnippetCategory> CatalogueScreenToOriginal(); // スクリーン .. オリジナル
std::vector<TPartnerCheck> CataloguePartners();

} // namespace snippets::build
