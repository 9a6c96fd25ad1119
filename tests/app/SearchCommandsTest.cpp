// The Search menu driven through the frame: the dialogs hand over text and options, F3 walks the
// matches, F4 and replace-all replace what the search finds, and the read-only switch follows
// the active window.

#include "FrameFixture.h"

#include "app/Childwin.h"
#include "app/Main.h"
#include "components/IniGT.h"
#include "editor/ExtMemo.h"
#include "editor/MatchHighlighter.h"
#include "platform/FindReplaceDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTest>

class TSearchCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { FFixture = std::make_unique<TFrameFixture>(); }
    void cleanup() { FFixture.reset(); }
    void FindNextWalksToTheVeryEndWithoutWrapping();
    void UpwardsAndShiftF3();
    void F4ReplacesWhatTheSearchFound();
    void F4GoesTheWayOfTheLastFind_data();
    void F4GoesTheWayOfTheLastFind();
    void NotFoundIsToldInTheStatusBar();
    void ReplaceAllFromTheCaretIsOneUndoStep();
    void ReplaceDialogButtonsWork();
    void ReadOnlyFollowsTheActiveWindow();
    void NothingWithoutAWindow();
    void RegexFindAndReplaceWithReferences();
    void RegexBadOrRunawayPatternIsToldAndChangesNothing_data();
    void RegexBadOrRunawayPatternIsToldAndChangesNothing();
    void EveryMatchShownAndCountedUntilEscape();

private:
    void CheckRegex(TFindReplaceDialog* dialog, bool on) {
        for (auto* box : dialog->findChildren<QCheckBox*>())
            if (box->text() == QStringLiteral("正規表現(&X)"))
                box->setChecked(on);
    }
    TExtMemo* NewWindow(const QString& text) {
        FFixture->Frame().FileNew1->trigger();
        TExtMemo* memo = FFixture->Active()->RichEdit1;
        memo->Buffer().SetText(text);
        return memo;
    }
    void FindWith(const QString& text, bool matchCase = false, bool up = false) {
        TMainForm& f = FFixture->Frame();
        f.SearchAction->trigger();
        f.FindDialog1->SetFindText(text);
        for (auto* box : f.FindDialog1->findChildren<QCheckBox*>())
            if (box->text().startsWith(QStringLiteral("大文字")))
                box->setChecked(matchCase);
        for (auto* radio : f.FindDialog1->findChildren<QRadioButton*>())
            if (radio->text() == (up ? QStringLiteral("上へ(&U)") : QStringLiteral("下へ(&D)")))
                radio->setChecked(true);
        Q_EMIT f.FindDialog1->Find();
    }
    std::unique_ptr<TFrameFixture> FFixture;
};

void TSearchCommandsTest::FindNextWalksToTheVeryEndWithoutWrapping() {
    TExtMemo* memo = NewWindow(QStringLiteral("abc ABC\r\nabc"));
    FindWith(QStringLiteral("abc"));
    TMainForm& f = FFixture->Frame();
    QVERIFY(!f.FindDialog1->isVisible()); // the dialog closes on its find button
    std::vector<qsizetype> walk{memo->SelStart()};
    for (int i = 0; i < 3; ++i) {
        f.NextSearchAction->trigger();
        walk.push_back(f.FSearchFound ? memo->SelStart() : -1);
    }
    // The match that ends at the very end of the text is found; then F3 stops there.
    QCOMPARE(walk, (std::vector<qsizetype>{0, 4, 9, -1}));
    QCOMPARE(memo->SelLength(), 0);
    QCOMPARE(memo->CaretPos(), memo->TextLength());
}

void TSearchCommandsTest::UpwardsAndShiftF3() {
    TExtMemo* memo = NewWindow(QStringLiteral("x1 x2 x3"));
    memo->SetSelection(8, 8);
    FindWith(QStringLiteral("x"), false, true);
    QCOMPARE(memo->SelStart(), 6);
    FFixture->Frame().NextSearchAction->trigger();
    QCOMPARE(memo->SelStart(), 3);
    FFixture->Frame().PreviousSearchAction->trigger(); // the other way: down again
    QCOMPARE(memo->SelStart(), 6);
}

void TSearchCommandsTest::F4ReplacesWhatTheSearchFound() {
    TExtMemo* memo = NewWindow(QStringLiteral("ABC abc"));
    TMainForm& f = FFixture->Frame();
    f.ReplaceDialog1->findChildren<QLineEdit*>().at(1)->setText(QStringLiteral("x"));
    FindWith(QStringLiteral("abc"));
    QCOMPARE(memo->SelStart(), 0); // "ABC" matches with match case off
    f.ReplaceAtMarkedWordAction->trigger();
    QCOMPARE(memo->Buffer().Text(), QStringLiteral("x abc"));
    QCOMPARE(memo->SelStart(), 2);
    // A selection that is not a match is left alone; F4 goes on to the next match.
    memo->SetSelection(0, 1);
    f.FSearchText = QStringLiteral("zz");
    f.ReplaceAtMarkedWordAction->trigger();
    QCOMPARE(memo->Buffer().Text(), QStringLiteral("x abc"));
}

void TSearchCommandsTest::F4GoesTheWayOfTheLastFind_data() {
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QStringList>("texts"); // after each F4
    // Upwards a replacement holding the searched text is not replaced again.
    QTest::newRow("down") << false << QStringLiteral("aa")
                          << QStringList{QStringLiteral("aa-a-a"), QStringLiteral("aa-aa-a")};
    QTest::newRow("up") << true << QStringLiteral("aa")
                        << QStringList{QStringLiteral("a-a-aa"), QStringLiteral("a-aa-aa")};
}

void TSearchCommandsTest::F4GoesTheWayOfTheLastFind() {
    QFETCH(bool, up);
    QFETCH(QString, replacement);
    QFETCH(QStringList, texts);
    TExtMemo* memo = NewWindow(QStringLiteral("a-a-a"));
    TMainForm& f = FFixture->Frame();
    f.ReplaceDialog1->findChildren<QLineEdit*>().at(1)->setText(replacement);
    memo->SetSelection(up ? 5 : 0, up ? 5 : 0);
    FindWith(QStringLiteral("a"), false, up);
    for (const QString& text : texts) {
        f.ReplaceAtMarkedWordAction->trigger();
        QCOMPARE(memo->Buffer().Text(), text);
        QVERIFY(f.FSearchFound);
    }
}

void TSearchCommandsTest::NotFoundIsToldInTheStatusBar() {
    TExtMemo* memo = NewWindow(QStringLiteral("abc"));
    TMainForm& f = FFixture->Frame();
    f.ReadOnlyAction->trigger();
    FindWith(QStringLiteral("xyz"));
    QVERIFY(!f.FSearchFound);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(f.StatusText(1), QStringLiteral("\"xyz\" が見つかりません"));
    // A search that finds again gives the panel back to the read-only switch.
    memo->SetSelection(0, 0);
    FindWith(QStringLiteral("b"));
    QVERIFY(f.FSearchFound);
    QCOMPARE(f.StatusText(1), QStringLiteral("読み専用"));
    // F3 past the last match, Shift+F3 before the first, F4 with nothing more.
    const std::function<void()> misses[] = {[&] { f.NextSearchAction->trigger(); },
                                            [&] {
                                                memo->SetSelection(0, 0);
                                                f.PreviousSearchAction->trigger();
                                            },
                                            [&] {
                                                memo->SetSelection(3, 3);
                                                f.ReplaceAtMarkedWordAction->trigger();
                                            }};
    for (const auto& miss : misses) {
        f.SetStatusText(1, QString());
        miss();
        QCOMPARE(f.StatusText(1), QStringLiteral("\"b\" が見つかりません"));
    }
}

void TSearchCommandsTest::ReplaceAllFromTheCaretIsOneUndoStep() {
    TExtMemo* memo = NewWindow(QStringLiteral("abc|abc|ABC|abc"));
    TMainForm& f = FFixture->Frame();
    f.ReplaceDialog1->findChildren<QLineEdit*>().at(1)->setText(QStringLiteral("xabcx"));
    memo->SetSelection(2, 2);
    f.FSearchText = QStringLiteral("abc");
    f.FSearchOptions = {};
    f.ReplaceAllAction->trigger();
    // Text before the caret stays; "ABC" is replaced too; a replacement is not searched again.
    QCOMPARE(memo->Buffer().Text(), QStringLiteral("abc|xabcx|xabcx|xabcx"));
    QCOMPARE(memo->CaretPos(), memo->TextLength());
    QVERIFY(!f.FSearchFound);
    f.UndoAction->trigger();
    QCOMPARE(memo->Buffer().Text(), QStringLiteral("abc|abc|ABC|abc"));
}

void TSearchCommandsTest::ReplaceDialogButtonsWork() {
    TExtMemo* memo = NewWindow(QStringLiteral("one two one"));
    TMainForm& f = FFixture->Frame();
    f.ReplaceAction->trigger();
    QVERIFY(f.ReplaceDialog1->isVisible());
    f.ReplaceDialog1->SetFindText(QStringLiteral("one"));
    f.ReplaceDialog1->findChildren<QLineEdit*>().at(1)->setText(QStringLiteral("1"));
    Q_EMIT f.ReplaceDialog1->ReplaceAll();
    QCOMPARE(memo->Buffer().Text(), QStringLiteral("1 two 1"));
    QVERIFY(f.ReplaceDialog1->isVisible()); // replacing keeps the dialog open
}

void TSearchCommandsTest::ReadOnlyFollowsTheActiveWindow() {
    TExtMemo* first = NewWindow(QStringLiteral("first"));
    TMDIChild* firstWindow = FFixture->Active();
    TMainForm& f = FFixture->Frame();
    f.ReadOnlyAction->trigger();
    QVERIFY(first->ReadOnly());
    QVERIFY(f.ReadOnlyAction->isChecked());
    QCOMPARE(f.StatusText(1), QStringLiteral("読み専用"));
    TExtMemo* second = NewWindow(QStringLiteral("second"));
    QVERIFY(!second->ReadOnly());
    QTRY_VERIFY(!f.ReadOnlyAction->isChecked());
    QCOMPARE(f.StatusText(1), QString());
    f.MdiArea->setActiveSubWindow(firstWindow);
    QTRY_VERIFY(f.ReadOnlyAction->isChecked());
    QCOMPARE(f.StatusText(1), QStringLiteral("読み専用"));
    f.ReadOnlyAction->trigger();
    QVERIFY(!first->ReadOnly());
    QCOMPARE(f.StatusText(1), QString());
}

void TSearchCommandsTest::NothingWithoutAWindow() {
    TMainForm& f = FFixture->Frame();
    f.FSearchText = QStringLiteral("x");
    f.NextSearchAction->trigger();
    f.ReplaceAtMarkedWordAction->trigger();
    f.ReplaceAllAction->trigger();
    f.ReadOnlyAction->trigger();
    QVERIFY(!f.FSearchFound);
    QVERIFY(!f.ReadOnlyAction->isChecked());
}

// F3 walks the matches of a pattern (an empty one at each line start too), Shift+F3 goes back,
// F4 and replace-all expand the references, and replace-all is one undo step. The box is one
// setting for both dialogs, kept in the settings file.
void TSearchCommandsTest::RegexFindAndReplaceWithReferences() {
    TExtMemo* memo = NewWindow(QStringLiteral("id=42;\r\nx=7;\r\ny=z;"));
    TMainForm& f = FFixture->Frame();
    CheckRegex(f.FindDialog1, true);
    QVERIFY(f.ReplaceDialog1->Regex());
    QCOMPARE(f.IniGT1->ReadInteger(QStringLiteral("Search"), QStringLiteral("Regex"), 0), 1);
    FindWith(QStringLiteral("^"));
    std::vector<qsizetype> walk{memo->SelStart()};
    for (int i = 0; i < 3; ++i) {
        f.NextSearchAction->trigger();
        walk.push_back(f.FSearchFound ? memo->SelStart() : -1);
    }
    QCOMPARE(walk, (std::vector<qsizetype>{0, 8, 14, -1}));
    memo->SetSelection(0, 0);
    FindWith(QStringLiteral("(\\w+)=(\\d+)"));
    QCOMPARE(memo->SelText(), QStringLiteral("id=42"));
    f.NextSearchAction->trigger();
    QCOMPARE(memo->SelText(), QStringLiteral("x=7"));
    f.PreviousSearchAction->trigger();
    QCOMPARE(memo->SelText(), QStringLiteral("id=42"));
    f.ReplaceDialog1->findChildren<QLineEdit*>().at(1)->setText(QStringLiteral("$2\\t$1"));
    f.ReplaceAtMarkedWordAction->trigger();
    QCOMPARE(memo->Buffer().Text(), QStringLiteral("42\tid;\r\nx=7;\r\ny=z;"));
    QCOMPARE(memo->SelText(), QStringLiteral("x=7"));
    f.ReplaceDialog1->findChildren<QLineEdit*>().at(1)->setText(QStringLiteral("[$&]\\n"));
    memo->SetSelection(0, 0);
    f.ReplaceAllAction->trigger();
    QCOMPARE(memo->Buffer().Text(), QStringLiteral("42\tid;\r\n[x=7]\r\n;\r\ny=z;"));
    f.UndoAction->trigger();
    QCOMPARE(memo->Buffer().Text(), QStringLiteral("42\tid;\r\nx=7;\r\ny=z;"));
    CheckRegex(f.ReplaceDialog1, false);
    QVERIFY(!f.FindDialog1->Regex());
    QCOMPARE(f.IniGT1->ReadInteger(QStringLiteral("Search"), QStringLiteral("Regex"), 1), 0);
}

void TSearchCommandsTest::RegexBadOrRunawayPatternIsToldAndChangesNothing_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("message");
    QTest::newRow("bad") << QStringLiteral("a(b")
                         << QStringLiteral("エラー|正規表現が正しくありません: missing closing "
                                           "parenthesis（4 文字目）");
    QTest::newRow("runaway") << QStringLiteral("(a+)+b")
                             << QStringLiteral("警告|正規表現の照合が複雑すぎるため（後戻りの限度を"
                                               "超えました）、検索を中止しました");
}

void TSearchCommandsTest::RegexBadOrRunawayPatternIsToldAndChangesNothing() {
    QFETCH(QString, pattern);
    QFETCH(QString, message);
    const QString text = QString(40, u'a') + QStringLiteral("c b");
    TExtMemo* memo = NewWindow(text);
    memo->SetSelection(2, 5);
    TMainForm& f = FFixture->Frame();
    CheckRegex(f.FindDialog1, true);
    f.FSearchText = pattern;
    f.FSearchOptions = soRegex;
    TDialogAnswers answers;
    for (QAction* command : {f.NextSearchAction, f.ReplaceAllAction}) {
        answers.Press(QStringLiteral("OK"));
        command->trigger();
        QCOMPARE(answers.Pending(), 0);
        QCOMPARE(answers.Seen.takeLast(), message);
        QCOMPARE(memo->Buffer().Text(), text);
        QVERIFY(!f.FSearchFound);
    }
    QVERIFY(answers.Unexpected.isEmpty());
}

// While the find dialog is open the active window paints every match and the first panel
// counts them; another window takes them over; Escape in the editor ends it.
void TSearchCommandsTest::EveryMatchShownAndCountedUntilEscape() {
    NewWindow(QStringLiteral("no match here"));
    TExtMemo* memo = NewWindow(QStringLiteral("var a;\r\nvar b = a + a;\r\n"));
    TMainForm& f = FFixture->Frame();
    f.SearchAction->trigger();
    QTest::keyClicks(f.FindDialog1->findChild<QLineEdit*>(), QStringLiteral("a"));
    TMatchHighlighter& matches = memo->MatchHighlighter();
    QTRY_COMPARE(f.StatusText(0), QStringLiteral("5 件一致"));
    const std::vector<std::pair<qsizetype, qsizetype>> line2{{9, 1}, {16, 1}, {20, 1}};
    QCOMPARE(matches.MatchesIn(8, 22), line2);
    for (auto* box : f.FindDialog1->findChildren<QCheckBox*>())
        if (box->text().startsWith(QStringLiteral("単語")))
            box->setChecked(true);
    QTRY_COMPARE(f.StatusText(0), QStringLiteral("3 件一致"));
    CheckRegex(f.FindDialog1, true);
    QTest::keyClicks(f.FindDialog1->findChild<QLineEdit*>(), QStringLiteral("(")); // "a("
    QTRY_VERIFY(f.StatusText(0).startsWith(QStringLiteral("正規表現が正しくありません")));
    QVERIFY(matches.MatchesIn(0, memo->TextLength()).empty());
    QTest::keyClick(f.FindDialog1->findChild<QLineEdit*>(), Qt::Key_Backspace);
    QTRY_COMPARE(f.StatusText(0), QStringLiteral("3 件一致"));
    Q_EMIT f.FindDialog1->Find(); // closes the dialog; the matches stay shown
    QCOMPARE(memo->SelStart(), 4);
    QVERIFY(matches.Active());
    TMDIChild* second = FFixture->Active();
    f.MdiArea->activatePreviousSubWindow();
    QTRY_VERIFY(FFixture->Active() != second);
    QTRY_COMPARE(f.StatusText(0), QStringLiteral("0 件一致"));
    QVERIFY(!matches.Active());
    f.MdiArea->setActiveSubWindow(second);
    QTRY_COMPARE(f.StatusText(0), QStringLiteral("3 件一致"));
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Escape);
    QVERIFY(!matches.Active());
    QCOMPARE(f.StatusText(0), QString());
    f.MdiArea->activatePreviousSubWindow();
    QTRY_VERIFY(FFixture->Active() != second);
    QCOMPARE(f.StatusText(0), QString());
}

int main(int argc, char** argv) {
    TSearchCommandsTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "SearchCommandsTest.moc"
