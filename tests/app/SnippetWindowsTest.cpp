// The snippet windows in the frame: the selector's list, the double-click (reset, direct text,
// preparation, message), the partner checks, OK and Clear, the View switches with their check
// marks, the dock site, and the placements kept only while the selector floats.

#include "FrameFixture.h"

#include "app/Childwin.h"
#include "app/Main.h"
#include "components/IniGT.h"
#include "editor/ExtMemo.h"
#include "snippets/SelCodeForm.h"
#include "snippets/SettingForm.h"
#include "snippets/SnippetEngine.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace snippets;

namespace {

int CategoryOf(const QString& name) {
    return int(CategoryNames().indexOf(name));
}

// Chooses a category and double-clicks one of its items as the user does.
void DoubleClick(TSelCodeForm& selector, int category, int item) {
    selector.ComboBox1->setCurrentIndex(category);
    QListWidget* list = selector.ListBox1;
    QListWidgetItem* entry = list->item(item);
    QVERIFY(entry);
    list->scrollToItem(entry);
    const QPoint at = list->visualItemRect(entry).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

QStringList Captions(const TSettingForm& form) {
    QStringList captions;
    for (const QLabel* label : form.Labels)
        captions << label->text();
    return captions;
}

QStringList OpenRows(const TSettingForm& form) {
    QStringList open;
    for (int row = 0; row < RowCount; ++row)
        if (form.IsRowOpen(TParamRow(row)))
            open << RowName(TParamRow(row));
    return open;
}

// A docked window behind another's tab stays visible to the toolkit, moved out of the frame's
// area; the one whose tab is chosen is the one that has a place on the screen.
bool InFront(const QDockWidget& window) {
    return window.isVisible() && !window.visibleRegion().isEmpty();
}

QString EditorText(TFrameFixture& f) {
    return f.Active()->RichEdit1->Buffer().Text();
}

} // namespace

class TSnippetWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void selectorAtStart();
    void doubleClickWithoutEditingWindowOnlyResets();
    void directTextIsOneUndoStep();
    void preparationOkAndClear();
    void duplicateNamesActOnTheirOwnEntry();
    void partnerChecks();
    void messageEntry();
    void okWithoutItemOrWindowInsertsNothing();
    void labelHintsFollowActivation();
    void viewSwitchesFollowTheWindows();
    void dockSite();
    void dockedTabsFollowADoubleClick();
    void placementsOnlyWhileSelectorFloats();
};

void TSnippetWindowsTest::selectorAtStart() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    QVERIFY(m.SelCodeForm->isVisible() && m.SelCodeForm->isFloating());
    QVERIFY(m.SettingForm->isVisible() && m.SettingForm->isFloating());
    QCOMPARE(m.SelCodeForm->windowTitle(), QStringLiteral("したい事の選択"));
    QCOMPARE(m.SettingForm->windowTitle(), QStringLiteral("セッティング"));
    QCOMPARE(m.SelCodeForm->ComboBox1->count(), 21);
    QCOMPARE(m.SelCodeForm->CategoryIndex(), 0);
    QStringList items;
    for (int i = 0; i < m.SelCodeForm->ListBox1->count(); ++i)
        items << m.SelCodeForm->ListBox1->item(i)->text();
    QCOMPARE(items, (QStringList{QStringLiteral("JavaScript ヘッダ"), QStringLiteral("function 文"),
                                 QStringLiteral("for 文")}));
    QCOMPARE(m.SelCodeForm->ItemIndex(), -1);
    // Rows are 13 pixels apart, whatever the font's own line height.
    QListWidget* list = m.SelCodeForm->ListBox1;
    QCOMPARE(list->visualItemRect(list->item(1)).top() - list->visualItemRect(list->item(0)).top(),
             13);
    // Every row starts closed, and the buttons carry their texts.
    QVERIFY(OpenRows(*m.SettingForm).isEmpty());
    QCOMPARE(m.SettingForm->Button1->text(), QStringLiteral("ＯＫ(&O)"));
    QCOMPARE(m.SettingForm->Button2->text(), QStringLiteral("クリア(&C)"));
    // Focus alone does not select an item.
    m.SelCodeForm->activateWindow();
    m.SelCodeForm->ListBox1->setFocus();
    QCOMPARE(m.SelCodeForm->ItemIndex(), -1);
}

void TSnippetWindowsTest::doubleClickWithoutEditingWindowOnlyResets() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    TSettingForm& s = *m.SettingForm;
    for (int n = 0; n < EditCount; ++n) {
        s.SetRowOpen(TParamRow(n), true);
        s.Edits[size_t(n)]->setText(QStringLiteral("x"));
    }
    for (QLabel* label : s.Labels)
        label->setText(QStringLiteral("caption"));
    s.ComboBox2->addItems({QStringLiteral("a"), QStringLiteral("b")});
    s.SetRowOpen(prComboBox1, true);
    s.SetRowOpen(prComboBox2, true);

    DoubleClick(*m.SelCodeForm, CategoryOf(QStringLiteral("演算")), 0);
    for (const QLineEdit* edit : s.Edits)
        QVERIFY(edit->text().isEmpty());
    QVERIFY(OpenRows(s).isEmpty());
    QCOMPARE(Captions(s), QStringList(RowCount, QString()));
    // The choice boxes keep their entries; only their state changes.
    QCOMPARE(s.ComboBox2->count(), 2);
    // A closed row shows the menu colour, an open one the window colour.
    QVERIFY(s.Edits[0]->palette().color(QPalette::Base) !=
            QApplication::palette(s.Edits[0]).color(QPalette::Base));
}

void TSnippetWindowsTest::directTextIsOneUndoStep() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    m.FileNew1->trigger();
    f.Type(QStringLiteral("abc"));
    TExtMemo* editor = f.Active()->RichEdit1;
    editor->SetSelection(1, 2);
    const int category = CategoryOf(QStringLiteral("演算"));
    const int item = int(ItemNames(category).indexOf(QStringLiteral("円周率の値")));
    DoubleClick(*m.SelCodeForm, category, item);
    QCOMPARE(EditorText(f), QStringLiteral("aMath.PIc"));
    QCOMPARE(editor->SelStart(), 8);
    QCOMPARE(editor->SelLength(), 0);
    // The parameter window stays reset and OK then does nothing.
    QVERIFY(OpenRows(*m.SettingForm).isEmpty());
    m.SettingForm->Button1->click();
    QCOMPARE(EditorText(f), QStringLiteral("aMath.PIc"));
    // One undo brings back what the selection held, typing included no more than that.
    m.UndoAction->trigger();
    QCOMPARE(EditorText(f), QStringLiteral("abc"));
}

void TSnippetWindowsTest::preparationOkAndClear() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    m.FileNew1->trigger();
    TSettingForm& s = *m.SettingForm;
    const int category = CategoryOf(QStringLiteral("演算"));
    DoubleClick(*m.SelCodeForm, category, 0);
    const TSnippetEntry* entry = Entry(category, 0);
    QCOMPARE(Captions(s).mid(0, 2), (QStringList{entry->FCaptions[0], entry->FCaptions[1]}));
    QCOMPARE(OpenRows(s), (QStringList{QStringLiteral("Edit1"), QStringLiteral("Edit2")}));
    // The focus went to the first parameter, so the user types it at once.
    QTRY_COMPARE(QApplication::focusWidget(), s.Edits[0]);
    QTest::keyClicks(s.Edits[0], QStringLiteral("x"));
    TParamValues values;
    values.FEdits[0] = QStringLiteral("x");
    const QString expected = *BuildOutput(category, 0, values);
    s.Button1->click();
    QCOMPARE(EditorText(f), expected);
    // OK again inserts again, after the first copy; the focus stays in the parameter window.
    s.Button1->click();
    QCOMPARE(EditorText(f), expected + expected);
    QVERIFY(s.isAncestorOf(QApplication::focusWidget()));
    // Over a selection, OK replaces it; one undo gives the selected text back.
    TExtMemo* editor = f.Active()->RichEdit1;
    editor->SetSelection(0, expected.size());
    s.Button1->click();
    QCOMPARE(EditorText(f), expected + expected);
    QCOMPARE(editor->SelStart(), expected.size());
    m.UndoAction->trigger();
    QCOMPARE(EditorText(f), expected + expected);
    QCOMPARE(editor->SelLength(), expected.size());
    // A single blank is a parameter like any other.
    s.Edits[0]->setText(QStringLiteral(" "));
    values.FEdits[0] = QStringLiteral(" ");
    editor->SelectAll();
    editor->ReplaceSelection(QString());
    s.Button1->click();
    QCOMPARE(EditorText(f), *BuildOutput(category, 0, values));
    // Clear empties the seven edits and leaves captions and states alone.
    s.Edits[6]->setText(QStringLiteral("7"));
    s.Button2->click();
    for (const QLineEdit* edit : s.Edits)
        QVERIFY(edit->text().isEmpty());
    QCOMPARE(OpenRows(s), (QStringList{QStringLiteral("Edit1"), QStringLiteral("Edit2")}));
    QCOMPARE(Captions(s)[0], entry->FCaptions[0]);
}

void TSnippetWindowsTest::duplicateNamesActOnTheirOwnEntry() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    m.FileNew1->trigger();
    const int layer = CategoryOf(QStringLiteral("レイヤー"));
    m.SelCodeForm->ComboBox1->setCurrentIndex(layer);
    QCOMPARE(m.SelCodeForm->ListBox1->count(), 28);
    QCOMPARE(m.SelCodeForm->ListBox1->item(22)->text(), m.SelCodeForm->ListBox1->item(0)->text());
    DoubleClick(*m.SelCodeForm, layer, 22);
    QCOMPARE(m.SelCodeForm->ItemIndex(), 22);
    m.SettingForm->Edits[0]->setText(QStringLiteral("L"));
    TParamValues values;
    values.FEdits[0] = QStringLiteral("L");
    QVERIFY(*BuildOutput(layer, 22, values) != *BuildOutput(layer, 0, values));
    m.SettingForm->Button1->click();
    QCOMPARE(EditorText(f), *BuildOutput(layer, 22, values));
    // Changing the category leaves the prepared captions and typed values in place, and with no
    // item selected OK inserts nothing.
    const QStringList captions = Captions(*m.SettingForm);
    m.SelCodeForm->ComboBox1->setCurrentIndex(0);
    QCOMPARE(Captions(*m.SettingForm), captions);
    QCOMPARE(m.SettingForm->Edits[0]->text(), QStringLiteral("L"));
    QCOMPARE(m.SelCodeForm->ItemIndex(), -1);
    m.SettingForm->Button1->click();
    QCOMPARE(EditorText(f), *BuildOutput(layer, 22, values));
}

void TSnippetWindowsTest::partnerChecks() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    m.FileNew1->trigger();
    TSettingForm& s = *m.SettingForm;
    const int form = CategoryOf(QStringLiteral("フォーム"));
    DoubleClick(*m.SelCodeForm, form, 0);
    QVERIFY(s.IsRowOpen(prEdit1) && s.IsRowOpen(prEdit2));
    // Typed: one character closes the partner, deleting it opens the partner again.
    QTest::keyClicks(s.Edits[0], QStringLiteral("f"));
    QVERIFY(!s.IsRowOpen(prEdit2));
    QTest::keyClick(s.Edits[0], Qt::Key_Backspace);
    QVERIFY(s.IsRowOpen(prEdit2));
    // The other way round, and Clear leaves both partners open.
    s.Edits[1]->setText(QStringLiteral("0"));
    QVERIFY(!s.IsRowOpen(prEdit1));
    s.Button2->click();
    QVERIFY(s.IsRowOpen(prEdit1) && s.IsRowOpen(prEdit2));
    // The check belongs to the selected item: with an item outside the list nothing follows.
    s.Edits[0]->setText(QStringLiteral("f"));
    QVERIFY(!s.IsRowOpen(prEdit2));
    m.SelCodeForm->ComboBox1->setCurrentIndex(0);
    s.Edits[0]->clear();
    QVERIFY(!s.IsRowOpen(prEdit2));
    // A generator reads a closed row as it reads an open one.
    DoubleClick(*m.SelCodeForm, form, 0);
    s.Edits[0]->setText(QStringLiteral("f"));
    s.Edits[1]->setText(QStringLiteral("1"));
    TParamValues values;
    values.FEdits[0] = QStringLiteral("f");
    values.FEdits[1] = QStringLiteral("1");
    s.Button1->click();
    QCOMPARE(EditorText(f), *BuildOutput(form, 0, values));
}

void TSnippetWindowsTest::messageEntry() {
    const int original = CategoryOf(QStringLiteral("オリジナル"));
    {
        // Without an editing window, nothing is shown.
        TFrameFixture f;
        TDialogAnswers answers;
        DoubleClick(*f.Frame().SelCodeForm, original, 0);
        QVERIFY(answers.Unexpected.isEmpty());
    }
    TFrameFixture f;
    f.Frame().FileNew1->trigger();
    TDialogAnswers answers;
    QStringList buttons;
    answers.Press(QStringLiteral("OK"), [&](QWidget* box) { buttons = ButtonTexts(box); });
    DoubleClick(*f.Frame().SelCodeForm, original, 0);
    QCOMPARE(answers.Pending(), 0);
    QCOMPARE(answers.Seen, QStringList{QStringLiteral("Quorvel for JavaScript|作成中")});
    QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
    QVERIFY(EditorText(f).isEmpty());
    // Saving as a template is not built: a double-click only resets.
    DoubleClick(*f.Frame().SelCodeForm, original, 1);
    QVERIFY(answers.Unexpected.isEmpty());
    QVERIFY(EditorText(f).isEmpty());
}

void TSnippetWindowsTest::okWithoutItemOrWindowInsertsNothing() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    const int arithmetic = CategoryOf(QStringLiteral("演算"));
    m.SelCodeForm->ComboBox1->setCurrentIndex(arithmetic);
    m.SelCodeForm->ListBox1->setCurrentRow(0);
    m.SettingForm->Edits[0]->setText(QStringLiteral("1"));
    // No editing window: OK has no target and does nothing.
    m.SettingForm->Button1->click();
    m.FileNew1->trigger();
    QVERIFY(EditorText(f).isEmpty());
    // Basic entries have no generator.
    DoubleClick(*m.SelCodeForm, 0, 0);
    const QString header = EditorText(f);
    QVERIFY(!header.isEmpty());
    m.SettingForm->Button1->click();
    QCOMPARE(EditorText(f), header);
}

void TSnippetWindowsTest::labelHintsFollowActivation() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    m.FileNew1->trigger();
    DoubleClick(*m.SelCodeForm, CategoryOf(QStringLiteral("フォーム")), 0);
    QTRY_COMPARE(m.SettingForm->Labels[0]->toolTip(), Captions(*m.SettingForm)[0]);
    // A caption changed since the last activation shows in the hint only after the next one.
    m.SettingForm->Labels[0]->setText(QStringLiteral("new"));
    QVERIFY(m.SettingForm->Labels[0]->toolTip() != QStringLiteral("new"));
    f.Frame().activateWindow();
    f.Active()->RichEdit1->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), f.Active()->RichEdit1);
    QVERIFY(m.SettingForm->Labels[0]->toolTip() != QStringLiteral("new"));
    m.SettingForm->FocusRow(prEdit2);
    QTRY_COMPARE(m.SettingForm->Labels[0]->toolTip(), QStringLiteral("new"));
}

void TSnippetWindowsTest::viewSwitchesFollowTheWindows() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    QVERIFY(m.SelShowOrHideAction->isChecked() && m.SetShowOrHideAction->isChecked());
    QVERIFY(!m.ShowDockSiteAction->isChecked());
    m.SelShowOrHideAction->trigger();
    QVERIFY(m.SelCodeForm->isHidden());
    QVERIFY(!m.SelShowOrHideAction->isChecked());
    m.SelShowOrHideAction->trigger();
    QVERIFY(m.SelCodeForm->isVisible());
    QVERIFY(m.SelShowOrHideAction->isChecked());
    // Closed with its own close box, the window loses its mark; the next choice shows it.
    m.SettingForm->close();
    QVERIFY(!m.SetShowOrHideAction->isChecked());
    m.SetShowOrHideAction->trigger();
    QVERIFY(m.SettingForm->isVisible());
    QVERIFY(m.SetShowOrHideAction->isChecked());
    // A preparation does not show a hidden parameter window; the rows are ready when it shows.
    m.FileNew1->trigger();
    m.SetShowOrHideAction->trigger();
    DoubleClick(*m.SelCodeForm, CategoryOf(QStringLiteral("演算")), 0);
    QVERIFY(m.SettingForm->isHidden());
    QVERIFY(m.SettingForm->IsRowOpen(prEdit1));
}

void TSnippetWindowsTest::dockSite() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    QVERIFY(m.Panel1->isHidden());
    QCOMPARE(m.SelCodeForm->allowedAreas(), Qt::NoDockWidgetArea);
    m.ShowDockSiteAction->trigger();
    QVERIFY(m.ShowDockSiteAction->isChecked());
    QVERIFY(m.Panel1->isVisible());
    QCOMPARE(m.Panel1->widget()->height(), 41);
    QCOMPARE(m.SelCodeForm->allowedAreas(), Qt::BottomDockWidgetArea);
    QCOMPARE(m.SettingForm->allowedAreas(), Qt::BottomDockWidgetArea);

    // Docked, the selector takes the strip's place and still works.
    m.SelCodeForm->setFloating(false);
    QCOMPARE(m.dockWidgetArea(m.SelCodeForm), Qt::BottomDockWidgetArea);
    QVERIFY(m.Panel1->isHidden());
    m.FileNew1->trigger();
    DoubleClick(*m.SelCodeForm, 0, 2);
    QVERIFY(!EditorText(f).isEmpty());

    // Taken out of the site again, a window gets back the size it had while it floated.
    m.SettingForm->resize(210, 300);
    QTest::mouseClick(m.SettingForm->titleBarWidget(), Qt::LeftButton, {}, QPoint(20, 5));
    m.SettingForm->setFloating(false);
    QVERIFY(m.SettingForm->size() != QSize(210, 300));
    m.SettingForm->setFloating(true);
    QTRY_COMPARE(m.SettingForm->size(), QSize(210, 300));

    // Hiding the site hides the docked window with it; showing it brings the window back.
    m.ShowDockSiteAction->trigger();
    QVERIFY(!m.ShowDockSiteAction->isChecked());
    QVERIFY(m.SelCodeForm->isHidden());
    QVERIFY(!m.SelShowOrHideAction->isChecked());
    QVERIFY(m.SettingForm->isVisible());
    QCOMPARE(m.SettingForm->allowedAreas(), Qt::NoDockWidgetArea);
    m.ShowDockSiteAction->trigger();
    QVERIFY(m.SelCodeForm->isVisible() && !m.SelCodeForm->isFloating());
    QVERIFY(m.SelShowOrHideAction->isChecked());

    // Asked for while its site is hidden, a docked window comes back floating.
    m.ShowDockSiteAction->trigger();
    m.SelShowOrHideAction->trigger();
    QVERIFY(m.SelCodeForm->isVisible() && m.SelCodeForm->isFloating());
    QVERIFY(m.Panel1->isHidden());
}

void TSnippetWindowsTest::dockedTabsFollowADoubleClick() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    m.ShowDockSiteAction->trigger();
    m.SelCodeForm->setFloating(false);
    m.SettingForm->setFloating(false);
    m.tabifyDockWidget(m.SettingForm, m.SelCodeForm);
    m.SelCodeForm->raise();
    QTRY_VERIFY(InFront(*m.SelCodeForm) && !InFront(*m.SettingForm));
    m.FileNew1->trigger();
    DoubleClick(*m.SelCodeForm, CategoryOf(QStringLiteral("演算")), 0);
    // The parameters' tab comes forward with the keyboard in its first open row.
    QTRY_VERIFY(InFront(*m.SettingForm) && !InFront(*m.SelCodeForm));
    QTRY_COMPARE(QApplication::focusWidget(), m.SettingForm->Edits[0]);
    // A window the user closed stays closed.
    m.SettingForm->close();
    m.SelCodeForm->ListBox1->setFocus();
    DoubleClick(*m.SelCodeForm, CategoryOf(QStringLiteral("演算")), 0);
    QVERIFY(m.SettingForm->isHidden());
    QVERIFY(!m.SetShowOrHideAction->isChecked());
}

void TSnippetWindowsTest::placementsOnlyWhileSelectorFloats() {
    const QString section = QStringLiteral("Form");
    QRect selector, setting;
    QString settingX;
    {
        TFrameFixture run;
        run.Frame().SelCodeForm->move(140, 150);
        run.Frame().SettingForm->setGeometry(400, 160, 220, 360);
        selector = run.Frame().SelCodeForm->geometry();
        setting = run.Frame().SettingForm->geometry();
        run.Frame().close();
        settingX = run.Frame().IniGT1->ReadString(section, QStringLiteral("SettingForm.X"), {});
        QVERIFY(!settingX.isEmpty());
        ProcessDeletions();
    }
    {
        TFrameFixture run;
        // The next run puts both windows where the last one left them.
        QCOMPARE(run.Frame().SelCodeForm->geometry(), selector);
        QCOMPARE(run.Frame().SettingForm->geometry(), setting);
        // Closed with the selector docked, the run saves no placement.
        run.Frame().ShowDockSiteAction->trigger();
        run.Frame().SelCodeForm->setFloating(false);
        run.Frame().SettingForm->move(500, 300);
        run.Frame().close();
        QCOMPARE(run.Frame().IniGT1->ReadString(section, QStringLiteral("SettingForm.X"), {}),
                 settingX);
        ProcessDeletions();
    }
}

int main(int argc, char** argv) {
    TSnippetWindowsTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "SnippetWindowsTest.moc"
