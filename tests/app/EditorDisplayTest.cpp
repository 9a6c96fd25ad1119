// View > 編集記号: marks, markers, a fixed wrap width and the line-break level reach every
// editing window, new ones included, come back in the next run and stay through a font change.

#include "FrameFixture.h"

#include "app/Childwin.h"
#include "app/Main.h"
#include "components/IniGT.h"
#include "editor/ExtMemo.h"

#include <QAction>
#include <QComboBox>
#include <QInputDialog>
#include <QMenu>
#include <QTest>

namespace {
QAction* Item(TMainForm& frame, const QString& caption) {
    for (QAction* a : frame.EditorDisplayMenu->actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}
} // namespace

class TEditorDisplayTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void MarksAndLevelReachEveryWindowAndTheNextRun();
    void FixedWrapWidthAndBack();
    void EverySettingSurvivesAFontChange();
    void ColoursFollowFileNamesTheMenuAndTheSettings();
};

void TEditorDisplayTest::MarksAndLevelReachEveryWindowAndTheNextRun() {
    {
        TFrameFixture run;
        TMainForm& f = run.Frame();
        f.FileNew1->trigger();
        TExtMemo* first = run.Active()->RichEdit1;
        QVERIFY(!first->EditMarks().CrLf().Enabled()); // everything off by default
        QVERIFY(first->AutoIndent());                  // but the indentation kept
        QAction* lineEnds = Item(f, QStringLiteral("改行(&R)"));
        QAction* level2 = Item(f, QStringLiteral("禁則処理 レベル2(&2)"));
        QVERIFY(lineEnds && level2);
        lineEnds->trigger();
        level2->trigger();
        Item(f, QStringLiteral("自動インデント(&I)"))->trigger();
        QVERIFY(!first->AutoIndent());
        QVERIFY(first->EditMarks().CrLf().Enabled());
        QVERIFY(!first->EditMarks().Tab().Enabled());
        QCOMPARE(first->WordWrapOption().PunctuationMode(), wbfLevel2);
        f.FileNew1->trigger();
        TExtMemo* second = run.Active()->RichEdit1;
        QVERIFY(second != first);
        QVERIFY(second->EditMarks().CrLf().Enabled());
        QCOMPARE(second->WordWrapOption().PunctuationMode(), wbfLevel2);
    }
    TFrameFixture next;
    QVERIFY(Item(next.Frame(), QStringLiteral("改行(&R)"))->isChecked());
    QVERIFY(Item(next.Frame(), QStringLiteral("禁則処理 レベル2(&2)"))->isChecked());
    next.Frame().FileNew1->trigger();
    QVERIFY(next.Active()->RichEdit1->EditMarks().CrLf().Enabled());
    QVERIFY(!next.Active()->RichEdit1->AutoIndent());
    Item(next.Frame(), QStringLiteral("自動インデント(&I)"))->trigger();
    // Switched off again for the other tests of this run.
    Item(next.Frame(), QStringLiteral("改行(&R)"))->trigger();
    Item(next.Frame(), QStringLiteral("禁則処理 レベル1(&1)"))->trigger();
    QVERIFY(!next.Active()->RichEdit1->EditMarks().CrLf().Enabled());
}

void TEditorDisplayTest::FixedWrapWidthAndBack() {
    TFrameFixture run;
    TMainForm& f = run.Frame();
    f.FileNew1->trigger();
    TExtMemo* memo = run.Active()->RichEdit1;
    memo->Buffer().SetText(QString(100, u'あ'));
    const int windowWidth = memo->FormatRect().width();
    f.FEditorDisplay.WrapColumns = 10;
    f.EditorDisplayChanged();
    QVERIFY(memo->EditArea().Enabled());
    QCOMPARE(memo->LineCount(), 10); // ten full-width characters a line
    f.FEditorDisplay.WrapColumns = 0;
    f.EditorDisplayChanged();
    QVERIFY(!memo->EditArea().Enabled());
    QCOMPARE(memo->FormatRect().width(), windowWidth);
}

void TEditorDisplayTest::EverySettingSurvivesAFontChange() {
    TFrameFixture run;
    TMainForm& f = run.Frame();
    f.FileNew1->trigger();
    TExtMemo* memo = run.Active()->RichEdit1;
    memo->Buffer().SetText(QString(100, u'あ'));
    // Everything switched on through the menu, the width through its dialog.
    for (QAction* action : f.EditorDisplayMenu->actions())
        if (action->isCheckable() && !action->isChecked())
            action->trigger();
    TDialogAnswers answers;
    answers.Add([](QWidget* widget) {
        auto* dialog = qobject_cast<QInputDialog*>(widget);
        QVERIFY(dialog);
        dialog->setIntValue(10);
        dialog->accept();
    });
    Item(f, QStringLiteral("折り返し桁数(&W)..."))->trigger();
    QCOMPARE(answers.Pending(), 0);
    QCOMPARE(memo->LineCount(), 10);

    QComboBox* fonts = f.ComboBox1;
    const int index = fonts->findText(QStringLiteral("IPAMincho"));
    QVERIFY(index >= 0);
    fonts->setCurrentIndex(index);
    Q_EMIT fonts->activated(index);
    QCOMPARE(memo->font().family(), QStringLiteral("IPAMincho"));

    TEditMarks& marks = memo->EditMarks();
    for (TEditMark* mark :
         {&marks.CrLf(), &marks.Tab(), &marks.DSp(), &marks.SSp(), &marks.Eot(), &marks.Ctrl()})
        QVERIFY(mark->Enabled());
    QVERIFY(memo->CaretMarker().Enabled());
    QVERIFY(memo->WordWrapMarker().Enabled());
    QCOMPARE(memo->WordWrapOption().PunctuationMode(), wbfLevel2);
    QVERIFY(memo->EditArea().Enabled());
    QCOMPARE(memo->LineCount(), 10); // still ten full-width characters a line

    // Back to the defaults for the other tests of this run.
    f.FEditorDisplay = TEditorDisplay();
    f.EditorDisplayChanged();
    QVERIFY(answers.Unexpected.isEmpty());
}

void TEditorDisplayTest::ColoursFollowFileNamesTheMenuAndTheSettings() {
    {
        TFrameFixture run;
        TMainForm& f = run.Frame();
        const std::pair<const char*, TSyntaxLanguage> files[] = {{"page.htm", slHtml},
                                                                 {"app.js", slJavaScript},
                                                                 {"site.css", slCss},
                                                                 {"memo.txt", slNone}};
        for (const auto& [name, language] : files) {
            const QString path = run.Path(QString::fromLatin1(name));
            WriteBytes(path, "x");
            QCOMPARE(int(f.OpenInNewWindow(path)->RichEdit1->SyntaxLanguage()), int(language));
        }
        f.FileNew1->trigger();
        TMDIChild* untitled = run.Active();
        QCOMPARE(int(untitled->RichEdit1->SyntaxLanguage()), int(slHtml));
        untitled->SetCaption(run.Path(QStringLiteral("notes.txt"))); // saved under a new name
        QCOMPARE(int(untitled->RichEdit1->SyntaxLanguage()), int(slNone));

        auto* item = f.findChild<QAction*>(QStringLiteral("SyntaxColoursItem"));
        QVERIFY(item && item->isChecked());
        QCOMPARE(item->text(), QStringLiteral("色分け表示(&Y)"));
        item->trigger();
        for (TMDIChild* child : f.MDIChildren())
            QCOMPARE(int(child->RichEdit1->SyntaxLanguage()), int(slNone));
        // A user's own colour in the settings file, and one that is not a colour.
        f.IniGT1->WriteString(QStringLiteral("SyntaxColours"), QStringLiteral("Comment"),
                              QStringLiteral("#123456"));
        f.IniGT1->WriteString(QStringLiteral("SyntaxColours"), QStringLiteral("Tag"),
                              QStringLiteral("blau"));
    }
    TFrameFixture next;
    auto* item = next.Frame().findChild<QAction*>(QStringLiteral("SyntaxColoursItem"));
    QVERIFY(!item->isChecked());
    item->trigger();
    next.Frame().FileNew1->trigger();
    TExtMemo* memo = next.Active()->RichEdit1;
    QCOMPARE(int(memo->SyntaxLanguage()), int(slHtml));
    QCOMPARE(memo->SyntaxPalette()[skComment], QColor(0x12, 0x34, 0x56));
    QCOMPARE(memo->SyntaxPalette()[skTag], DefaultSyntaxPalette()[skTag]);
}

int main(int argc, char** argv) {
    TEditorDisplayTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "EditorDisplayTest.moc"
