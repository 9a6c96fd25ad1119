#pragma once

// Plain data of the snippet catalogue: what a double-click does with an entry, which rows of the
// parameter window it prepares, and the forms of the text that OK builds.

#include <QFlags>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace snippets {

enum TSnippetKind : quint8 {
    skDirect,  // the double-click inserts FText at once; OK inserts nothing
    skParam,   // the double-click prepares the parameter window; OK builds the text
    skMessage, // the double-click shows FText in a message box
    skNone,    // nothing beyond the reset of the parameter window
};

// The nine rows of the parameter window: Edit1..Edit7 beside Label1..Label7, ComboBox1 beside
// Label8 and ComboBox2 beside Label9.
enum TParamRow : quint8 {
    prEdit1,
    prEdit2,
    prEdit3,
    prEdit4,
    prEdit5,
    prEdit6,
    prEdit7,
    prComboBox1,
    prComboBox2,
};
inline constexpr int RowCount = 9;
inline constexpr int EditCount = 7;

enum TParamFlag : quint16 {
    pfEdit1 = 1u << prEdit1,
    pfEdit2 = 1u << prEdit2,
    pfEdit3 = 1u << prEdit3,
    pfEdit4 = 1u << prEdit4,
    pfEdit5 = 1u << prEdit5,
    pfEdit6 = 1u << prEdit6,
    pfEdit7 = 1u << prEdit7,
    pfComboBox1 = 1u << prComboBox1,
    pfComboBox2 = 1u << prComboBox2,
};
Q_DECLARE_FLAGS(TParamSet, TParamFlag)

constexpr TParamFlag RowFlag(TParamRow row) {
    return TParamFlag(1u << row);
}

// One form of an entry's output: used when every parameter of FFilled holds text and every one of
// FEmpty is empty. FPattern is literal text with the placeholders {Edit1}..{Edit7}, {ComboBox1}
// and {ComboBox2 entry}.
struct TOutputForm {
    TParamSet FFilled;
    TParamSet FEmpty;
    QString FPattern;
};

struct TSnippetEntry {
    QString FName;
    TSnippetKind FKind = skNone;
    QString FText; // the direct text or the message
    // Captions of Label1..Label9; a row is opened by the preparation exactly when its caption is
    // not empty.
    std::array<QString, RowCount> FCaptions;
    // The entries the preparation puts into a choice box (the first then selected); nullopt leaves
    // the box's entries and text as they are.
    std::optional<QStringList> FComboBox1Items;
    std::optional<QStringList> FComboBox2Items;
    TParamRow FFocus = prEdit1;
    // Tried in order; the last has no condition, so a parameter entry always gives a text.
    std::vector<TOutputForm> FForms;
};

struct TSnippetCategory {
    QString FName;
    std::vector<TSnippetEntry> FItems;
};

// While the selector shows one of FItems of FCategory, each of the two edits is closed while the
// other holds text and opened again when the other is emptied.
struct TPartnerCheck {
    int FCategory = -1;
    TParamRow FFirst = prEdit1;
    TParamRow FSecond = prEdit2;
    std::vector<int> FItems;
};

// The texts of the parameter window's controls as OK reads them.
struct TParamValues {
    std::array<QString, EditCount> FEdits;
    QString FComboBox1; // the text the box shows
    // The entry at ComboBox2's selected index; the window passes the box's typed text when no
    // entry is selected.
    QString FComboBox2Entry;

    const QString& Value(TParamRow row) const;
    QString& Value(TParamRow row);
};

} // namespace snippets

Q_DECLARE_OPERATORS_FOR_FLAGS(snippets::TParamSet)
