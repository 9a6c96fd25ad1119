// The Search menu and the read-only switch. The dialogs only take the text and the options; F3,
// F4 and replace-all do the work on the active window's editor.

#include "app/Childwin.h"
#include "app/Main.h"
#include "editor/ExtMemo.h"
#include "editor/Search.h"
#include "platform/FindReplaceDialog.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace {
TFindOptions ToFindOptions(TSearchOptions options) {
    return {options.testFlag(soMatchCase), options.testFlag(soWholeWord)};
}
} // namespace

void TMainForm::CreateSearchDialogs() {
    FindDialog1 = new TFindReplaceDialog(TFindReplaceDialog::fkFind, this);
    ReplaceDialog1 = new TFindReplaceDialog(TFindReplaceDialog::fkReplace, this);
    FindDialog1->setObjectName(QStringLiteral("FindDialog1"));
    ReplaceDialog1->setObjectName(QStringLiteral("ReplaceDialog1"));
    connect(FindDialog1, &TFindReplaceDialog::Find, this, &TMainForm::FindDialog1Find);
    connect(ReplaceDialog1, &TFindReplaceDialog::Find, this, &TMainForm::ReplaceDialog1Find);
    // The replace dialog's own buttons do what F4 and replace-all do, with its text.
    connect(ReplaceDialog1, &TFindReplaceDialog::Replace, this, [this] {
        TakeSearchFrom(ReplaceDialog1);
        ReplaceAtMarkedWordActionExecute();
    });
    connect(ReplaceDialog1, &TFindReplaceDialog::ReplaceAll, this, [this] {
        TakeSearchFrom(ReplaceDialog1);
        ReplaceAllActionExecute();
    });
    PreviousSearchAction = new QAction(QStringLiteral("前を検索"), this);
    PreviousSearchAction->setObjectName(QStringLiteral("PreviousSearchAction"));
    PreviousSearchAction->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    PreviousSearchAction->setStatusTip(QStringLiteral("前を検索"));
    connect(PreviousSearchAction, &QAction::triggered, this,
            &TMainForm::PreviousSearchActionExecute);
    addAction(PreviousSearchAction);
    if (QMenu* menu = qobject_cast<QMenu*>(NextSearchAction->associatedObjects().value(0))) {
        const QList<QAction*> items = menu->actions();
        qsizetype at = items.indexOf(NextSearchAction);
        menu->insertAction(at + 1 < items.size() ? items[at + 1] : nullptr, PreviousSearchAction);
    }
    JumpToPairAction = new QAction(QStringLiteral("対応する括弧へ移動(&M)"), this);
    JumpToPairAction->setObjectName(QStringLiteral("JumpToPairAction"));
    JumpToPairAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_BracketRight));
    JumpToPairAction->setStatusTip(QStringLiteral("カーソル位置の括弧やタグに対応する相手へ移動"));
    connect(JumpToPairAction, &QAction::triggered, this, &TMainForm::JumpToPairActionExecute);
    addAction(JumpToPairAction);
    if (auto* menu = menuBar()->findChild<QMenu*>(QStringLiteral("SearchMenu"))) {
        menu->addSeparator();
        menu->addAction(JumpToPairAction);
    }
}

void TMainForm::JumpToPairActionExecute() {
    TMDIChild* child = ActiveMDIChild();
    if (child && !child->RichEdit1->JumpToPair())
        QApplication::beep();
}

void TMainForm::SearchActionExecute() {
    FindDialog1->Execute();
}

void TMainForm::ReplaceActionExecute() {
    ReplaceDialog1->Execute();
}

void TMainForm::TakeSearchFrom(const TFindReplaceDialog* dialog) {
    FSearchOptions = {};
    if (dialog->MatchCase())
        FSearchOptions |= soMatchCase;
    if (dialog->WholeWord())
        FSearchOptions |= soWholeWord;
    FSearchText = dialog->FindText();
    FSearchUp = dialog->SearchUp();
}

void TMainForm::FindDialog1Find() {
    TakeSearchFrom(FindDialog1);
    FindDialog1->close();
    NextSearchActionExecute();
}

void TMainForm::ReplaceDialog1Find() {
    TakeSearchFrom(ReplaceDialog1);
    ReplaceDialog1->close();
    NextSearchActionExecute();
}

void TMainForm::NextSearchActionExecute() {
    Search(FSearchUp);
}

void TMainForm::PreviousSearchActionExecute() {
    Search(!FSearchUp);
}

// Downwards the caret goes to the end of the selection and the search runs to the very end of
// the text; upwards it goes to the selection's start and the search runs back to the start.
void TMainForm::Search(bool up) {
    TMDIChild* child = ActiveMDIChild();
    if (!child)
        return;
    TExtMemo* memo = child->RichEdit1;
    const qsizetype from = up ? memo->SelStart() : memo->SelStart() + memo->SelLength();
    memo->SetSelection(from, from);
    FSearchFound = false;
    const TTextBuffer& buffer = memo->Buffer();
    const TFindOptions options = ToFindOptions(FSearchOptions);
    auto at = up ? FindBackward(buffer, FSearchText, from, 0, options)
                 : FindForward(buffer, FSearchText, from, buffer.Length(), options);
    if (!at) {
        // Told without a box: the keyboard stays in the text, and the next F3 is one key away.
        QApplication::beep();
        SetStatusText(1, QStringLiteral("\"%1\" が見つかりません").arg(FSearchText));
        return;
    }
    // What panel 1 said of an earlier search no longer holds.
    SetStatusText(1, memo->ReadOnly() ? QStringLiteral("読み専用") : QString());
    FSearchFound = true;
    memo->SetSelection(*at, *at + FSearchText.size());
    memo->EnsureCaretVisible();
}

// Whether the selection is a match under the current options (case and whole word), so that
// what F3 found is what F4 replaces.
static bool SelectionMatches(TExtMemo* memo, const QString& text, TSearchOptions options) {
    return !text.isEmpty() && memo->SelLength() == text.size() &&
           MatchesAt(memo->Buffer(), memo->SelStart(), text, ToFindOptions(options));
}

void TMainForm::ReplaceAtMarkedWordActionExecute() {
    TMDIChild* child = ActiveMDIChild();
    if (!child)
        return;
    TExtMemo* memo = child->RichEdit1;
    if (SelectionMatches(memo, FSearchText, FSearchOptions)) {
        const qsizetype start = memo->SelStart();
        memo->ReplaceSelection(ReplaceDialog1->ReplaceText());
        // Upwards the search goes on before the replacement, never into it: a replacement that
        // holds the searched text would otherwise be replaced again and again.
        if (FSearchUp)
            memo->SetSelection(start, start);
    }
    // The way the last find went, as F3.
    Search(FSearchUp);
}

// F4 until nothing more is found, done on the buffer in one pass: one edit, one undo step, one
// repaint. Text before the selection is never touched, and a replacement is never searched again.
void TMainForm::ReplaceAllActionExecute() {
    TMDIChild* child = ActiveMDIChild();
    if (!child)
        return;
    TExtMemo* memo = child->RichEdit1;
    const qsizetype selEnd = memo->SelStart() + memo->SelLength();
    const qsizetype from =
        SelectionMatches(memo, FSearchText, FSearchOptions) ? memo->SelStart() : selEnd;
    TReplaceAllResult result =
        ReplaceAll(memo->Buffer(), from, FSearchText, ReplaceDialog1->ReplaceText(),
                   ToFindOptions(FSearchOptions), memo->Selection());
    FSearchFound = false;
    const qsizetype caret = result.Count > 0 ? result.End : selEnd;
    memo->SetSelection(caret, caret);
    memo->EnsureCaretVisible();
}

void TMainForm::ReadOnlyActionExecute() {
    TMDIChild* child = ActiveMDIChild();
    if (!child)
        return;
    TExtMemo* memo = child->RichEdit1;
    const bool readOnly = !memo->ReadOnly();
    memo->SetReadOnly(readOnly);
    ReadOnlyAction->setChecked(readOnly);
    SetStatusText(1, readOnly ? QStringLiteral("読み専用") : QString());
}
