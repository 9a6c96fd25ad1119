#pragma once
// The modeless find and replace dialogs: they only collect the text and the options; the frame's
// commands do the searching when one of the buttons is pressed.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TFindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    enum TKind : uint8_t { fkFind, fkReplace };
    explicit TFindReplaceDialog(TKind kind, QWidget* parent = nullptr);

    TKind Kind() const { return FKind; }
    QString FindText() const;
    void SetFindText(const QString& text);
    QString ReplaceText() const;
    bool MatchCase() const;
    bool WholeWord() const;
    // The text is a regular expression.
    bool Regex() const;
    void SetRegex(bool on);
    // The find dialog's direction: true for "上へ".
    bool SearchUp() const;
    // Shows the dialog (modeless) with the find text selected, ready for typing.
    void Execute();

Q_SIGNALS:
    void Find();
    void Replace();
    void ReplaceAll();
    // The text or an option changed, as the user edits them.
    void Changed();

private:
    void UpdateButtons();

    TKind FKind;
    QLineEdit* FFindEdit;
    QLineEdit* FReplaceEdit = nullptr;
    QCheckBox* FMatchCase;
    QCheckBox* FWholeWord;
    QCheckBox* FRegex;
    QRadioButton* FUp = nullptr;
    QPushButton* FFindButton;
    QPushButton* FReplaceButton = nullptr;
    QPushButton* FReplaceAllButton = nullptr;
};
