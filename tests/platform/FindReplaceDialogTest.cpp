// The find and replace dialogs: their fields in Japanese, the buttons they enable, their signals.

#include "platform/FindReplaceDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {
QPushButton* Button(QWidget* dialog, const QString& text) {
    for (auto* b : dialog->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}
} // namespace

class TFindReplaceDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void FindDialogFieldsAndDirection();
    void ReplaceDialogButtonsNeedText();
};

void TFindReplaceDialogTest::FindDialogFieldsAndDirection() {
    TFindReplaceDialog dialog(TFindReplaceDialog::fkFind);
    dialog.Execute();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.isModal());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("検索"));
    QVERIFY(!Button(&dialog, QStringLiteral("置換して次に(&R)")));
    QPushButton* find = Button(&dialog, QStringLiteral("次を検索(&F)"));
    QVERIFY(find && !find->isEnabled());
    QTest::keyClicks(dialog.findChild<QLineEdit*>(), QStringLiteral("abc"));
    QVERIFY(find->isEnabled());
    QSignalSpy spy(&dialog, &TFindReplaceDialog::Find);
    QVERIFY(!dialog.SearchUp());
    for (auto* r : dialog.findChildren<QRadioButton*>())
        if (r->text() == QStringLiteral("上へ(&U)"))
            r->click();
    QVERIFY(dialog.SearchUp());
    for (auto* c : dialog.findChildren<QCheckBox*>())
        c->click();
    QVERIFY(dialog.MatchCase() && dialog.WholeWord());
    find->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(dialog.FindText(), QStringLiteral("abc"));
}

void TFindReplaceDialogTest::ReplaceDialogButtonsNeedText() {
    TFindReplaceDialog dialog(TFindReplaceDialog::fkReplace);
    dialog.Execute();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("置換"));
    QStringList labels;
    for (auto* l : dialog.findChildren<QLabel*>())
        labels << l->text();
    QVERIFY(labels.contains(QStringLiteral("置換後の文字列(&P):")));
    QPushButton* all = Button(&dialog, QStringLiteral("すべて置換(&A)"));
    QPushButton* one = Button(&dialog, QStringLiteral("置換して次に(&R)"));
    QVERIFY(all && one && Button(&dialog, QStringLiteral("キャンセル")));
    QVERIFY(!all->isEnabled());
    dialog.SetFindText(QStringLiteral("漢字"));
    QVERIFY(all->isEnabled() && one->isEnabled());
    QSignalSpy replace(&dialog, &TFindReplaceDialog::Replace);
    QSignalSpy replaceAll(&dialog, &TFindReplaceDialog::ReplaceAll);
    one->click();
    all->click();
    QCOMPARE(replace.count(), 1);
    QCOMPARE(replaceAll.count(), 1);
    QVERIFY(!dialog.SearchUp());
}

QTEST_MAIN(TFindReplaceDialogTest)
#include "FindReplaceDialogTest.moc"
