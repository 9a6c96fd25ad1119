// The Search menu and the read-only switch. The dialogs only take the text and the options; F3,
// F4 and replace-all do the work on the active window's editor.

#include "app/Application.h"
#include "app/Childwin.h"
#include "app/Main.h"
#include "components/IniGT.h"
#include "editor/ExtMemo.h"
#include "editor/MatchHighlighter.h"
#include "editor/RegexSearch.h"
#include "editor/Search.h"
#include "platform/FindReplaceDialog.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>

namespace {
const QString SearchSection = QStringLiteral("Search");
const QString RegexKey = QStringLiteral("Regex");
// How long a search the user started may keep the window busy before it is stopped.
constexpr int SearchTimeLimitMs = 3000;

TFindOptions ToFindOptions(TSearchOptions options) {
    return {options.testFlag(soMatchCase), options.testFlag(soWholeWord),
            options.testFlag(soRegex)};
}

TFindOptions DialogOptions(const TFindReplaceDialog* dialog) {
    return {dialog->MatchCase(), dialog->WholeWord(), dialog->Regex()};
}

// A regular expression compiled for a command, or nothing after telling why it cannot be used.
std::optional<TRegexSearch> Compiled(QWidget* parent, const QString& pattern,
                                     TFindOptions options) {
    TRegexSearch search(pattern, options);
    if (search.IsValid())
        return search;
    MessageDlg(parent, search.ErrorText(), mtError, mbOK, mbOK);
    return std::nullopt;
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
    // The regular-expression box is one setting for both dialogs.
    for (TFindReplaceDialog* dialog : {FindDialog1, ReplaceDialog1}) {
        TFindReplaceDialog* other = dialog == FindDialog1 ? ReplaceDialog1 : FindDialog1;
        connect(dialog, &TFindReplaceDialog::Changed, this, [this, dialog, other] {
            if (other->Regex() != dialog->Regex()) {
                other->SetRegex(dialog->Regex());
                Guarded([&] { IniGT1->WriteInteger(SearchSection, RegexKey, dialog->Regex()); });
            }
        });
    }
    connect(FindDialog1, &TFindReplaceDialog::Changed, this, [this] { ShowMatches(); });
    connect(MdiArea, &QMdiArea::subWindowActivated, this, [this] { ShowMatches(); });
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

void TMainForm::LoadSearchOptions() {
    const bool regex = IniGT1->ReadInteger(SearchSection, RegexKey, 0) != 0;
    FindDialog1->SetRegex(regex);
    ReplaceDialog1->SetRegex(regex);
}

void TMainForm::SearchActionExecute() {
    FShowMatches = true;
    FindDialog1->Execute();
    ShowMatches();
}

// The active window shows every match of the find dialog's text, and no other window does.
void TMainForm::ShowMatches() {
    TMDIChild* child = FShowMatches ? ActiveMDIChild() : nullptr;
    if (FShowingMatches && FShowingMatches != child)
        FShowingMatches->RichEdit1->MatchHighlighter().Clear();
    if (FShowingMatches != child && child) {
        TMatchHighlighter& matches = child->RichEdit1->MatchHighlighter();
        connect(&matches, &TMatchHighlighter::CountChanged, this, &TMainForm::ShowMatchCount,
                Qt::UniqueConnection);
        connect(&matches, &TMatchHighlighter::Cleared, this, &TMainForm::StopShowingMatches,
                Qt::UniqueConnection);
    }
    FShowingMatches = child;
    if (child) {
        const TFindReplaceDialog* dialog = FindDialog1;
        child->RichEdit1->MatchHighlighter().SetPattern(dialog->FindText(), DialogOptions(dialog));
    }
    ShowMatchCount();
}

// Escape in the editor.
void TMainForm::StopShowingMatches() {
    FShowMatches = false;
    ShowMatchCount();
}

void TMainForm::ShowMatchCount() {
    TMatchHighlighter* matches =
        FShowingMatches ? &FShowingMatches->RichEdit1->MatchHighlighter() : nullptr;
    if (!matches || !matches->Active()) {
        SetStatusText(0, QString());
        return;
    }
    if (!matches->Failure().isEmpty())
        SetStatusText(0, matches->Failure());
    else if (matches->Counted())
        SetStatusText(0, QStringLiteral("%1 件一致").arg(matches->Count()));
    else
        SetStatusText(0, QStringLiteral("%1 件以上一致（数えています）").arg(matches->Count()));
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
    if (dialog->Regex())
        FSearchOptions |= soRegex;
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
// A bad regular expression changes nothing; a search stopped early says why in a box.
void TMainForm::Search(bool up) {
    TMDIChild* child = ActiveMDIChild();
    if (!child)
        return;
    TExtMemo* memo = child->RichEdit1;
    const TTextBuffer& buffer = memo->Buffer();
    const TFindOptions options = ToFindOptions(FSearchOptions);
    std::optional<TRegexSearch> regex;
    if (options.Regex && !(regex = Compiled(this, FSearchText, options)))
        return;
    const qsizetype from = up ? memo->SelStart() : memo->SelStart() + memo->SelLength();
    memo->SetSelection(from, from);
    FSearchFound = false;
    std::optional<std::pair<qsizetype, qsizetype>> found;
    TRegexStatus status = rsDone;
    if (regex) {
        // An empty match is found once: the next search goes on past it.
        const bool pastEmpty = !up && from == FEmptyMatchAt && from < buffer.Length();
        const QDeadlineTimer deadline(SearchTimeLimitMs);
        status = up ? regex->Backward(buffer, from, deadline, found)
                    : regex->Forward(buffer, pastEmpty ? buffer.Snap(from + 1, true) : from,
                                     deadline, found);
    } else if (auto at = up ? FindBackward(buffer, FSearchText, from, 0, options)
                            : FindForward(buffer, FSearchText, from, buffer.Length(), options)) {
        found = {*at, FSearchText.size()};
    }
    FEmptyMatchAt = found && found->second == 0 ? found->first : -1;
    if (status != rsDone) {
        SetStatusText(1, TRegexSearch::StatusText(status));
        MessageDlg(this, TRegexSearch::StatusText(status), mtWarning, mbOK, mbOK);
        return;
    }
    if (!found) {
        // Told without a box: the keyboard stays in the text, and the next F3 is one key away.
        QApplication::beep();
        SetStatusText(1, QStringLiteral("\"%1\" が見つかりません").arg(FSearchText));
        return;
    }
    // What panel 1 said of an earlier search no longer holds.
    SetStatusText(1, memo->ReadOnly() ? QStringLiteral("読み専用") : QString());
    FSearchFound = true;
    memo->SetSelection(found->first, found->first + found->second);
    memo->EnsureCaretVisible();
}

// The replacement for the selection when it is a match under the current options (case, whole
// word, regular expression), so that what F3 found is what F4 replaces.
static std::optional<QString> SelectionReplacement(TExtMemo* memo, const QString& text,
                                                   TSearchOptions options, const QString& with) {
    const TFindOptions o = ToFindOptions(options);
    if (text.isEmpty())
        return std::nullopt;
    if (!o.Regex) {
        if (memo->SelLength() == text.size() &&
            MatchesAt(memo->Buffer(), memo->SelStart(), text, o))
            return with;
        return std::nullopt;
    }
    const TRegexSearch regex(text, o);
    std::optional<QString> replacement;
    regex.MatchesExactly(memo->Buffer(), memo->SelStart(), memo->SelLength(),
                         QDeadlineTimer(SearchTimeLimitMs), [&](const TRegexHit& hit) {
                             replacement =
                                 ExpandReplacement(with, *hit.Match, LineEndText(memo->LineEnd()));
                         });
    return replacement;
}

void TMainForm::ReplaceAtMarkedWordActionExecute() {
    TMDIChild* child = ActiveMDIChild();
    if (!child)
        return;
    TExtMemo* memo = child->RichEdit1;
    if (FSearchOptions.testFlag(soRegex) &&
        !Compiled(this, FSearchText, ToFindOptions(FSearchOptions)))
        return;
    if (auto with = SelectionReplacement(memo, FSearchText, FSearchOptions,
                                         ReplaceDialog1->ReplaceText())) {
        const qsizetype start = memo->SelStart();
        memo->ReplaceSelection(*with);
        // Upwards the search goes on before the replacement, never into it: a replacement that
        // holds the searched text would otherwise be replaced again and again.
        if (FSearchUp)
            memo->SetSelection(start, start);
        FEmptyMatchAt = -1;
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
    const TFindOptions options = ToFindOptions(FSearchOptions);
    std::optional<TRegexSearch> regex;
    if (options.Regex && !(regex = Compiled(this, FSearchText, options)))
        return;
    const qsizetype selEnd = memo->SelStart() + memo->SelLength();
    const QString with = ReplaceDialog1->ReplaceText();
    const qsizetype from =
        SelectionReplacement(memo, FSearchText, FSearchOptions, with) ? memo->SelStart() : selEnd;
    TReplaceAllResult result;
    TRegexStatus status = rsDone;
    if (regex)
        status = regex->ReplaceAll(memo->Buffer(), from, with, LineEndText(memo->LineEnd()),
                                   memo->Selection(), QDeadlineTimer(SearchTimeLimitMs), result);
    else
        result = ReplaceAll(memo->Buffer(), from, FSearchText, with, options, memo->Selection());
    FSearchFound = false;
    if (status != rsDone) {
        SetStatusText(1, TRegexSearch::StatusText(status));
        MessageDlg(this, TRegexSearch::StatusText(status), mtWarning, mbOK, mbOK);
        return;
    }
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
