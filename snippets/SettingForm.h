#pragma once
// The parameter window: nine rows (Label1..Label7 beside Edit1..Edit7, Label8 beside ComboBox1,
// Label9 beside ComboBox2), OK and Clear. The selector captions and opens the rows of an item;
// OK builds the item's text from what the rows hold and inserts it into the active editor. The
// window keeps no record of the item it was prepared for: every handler asks the selector.

#include "snippets/SnippetTypes.h"

#include <QDockWidget>
#include <array>
#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class TTextView;
class TSelCodeForm;
class TGradientCaption;

// The editor the snippet windows write into: the active editing window's control, or null.
using TActiveEditor = std::function<TTextView*()>;

// Replaces editor's selection by text (inserted at the caret when nothing is selected) as one
// step the user can undo, with the caret after the inserted text.
void InsertSnippet(TTextView* editor, const QString& text);

class TSettingForm : public QDockWidget {
    Q_OBJECT
public:
    explicit TSettingForm(QWidget* parent = nullptr);

    void SetSelector(const TSelCodeForm* selector) { FSelector = selector; }
    void SetActiveEditor(TActiveEditor activeEditor) { FActiveEditor = std::move(activeEditor); }

    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QFrame* Panel3 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    std::array<QLabel*, snippets::RowCount> Labels{};
    std::array<QLineEdit*, snippets::EditCount> Edits{};
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    TGradientCaption* GradientCaption1 = nullptr; // paints the title bar

    // The input control of a row.
    QWidget* RowControl(snippets::TParamRow row) const;
    // Open: enabled and in the window colour; closed: disabled and in the menu colour.
    void SetRowOpen(snippets::TParamRow row, bool open);
    bool IsRowOpen(snippets::TParamRow row) const;

    // What a double-click in the selector does first, whatever was clicked: every edit emptied
    // and closed, every caption emptied, both choice boxes closed (their entries kept).
    void ResetParams();
    // Captions and opens the rows entry uses; fills a choice box when the entry gives entries.
    void Prepare(const snippets::TSnippetEntry& entry);
    // Moves the focus to row's control when the window is shown; a hidden window stays hidden.
    void FocusRow(snippets::TParamRow row);

    void RefreshLabelHints();
    void Button1Click();
    void Button2Click();
    // The texts OK reads, exactly as they stand.
    snippets::TParamValues Values() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormActivate();
    void PartnerCheck(snippets::TParamRow source);
    void PlaceButtons();
    std::pair<int, int> Selection() const;

    const TSelCodeForm* FSelector = nullptr;
    TActiveEditor FActiveEditor;
};
