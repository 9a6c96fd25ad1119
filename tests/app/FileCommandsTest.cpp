// The File menu's commands driven through the frame's actions with real files, the close
// question answered as a user would, and where we do better than a literal reading: Yes then Cancel
// keeps the window, saving an untitled window asks for a name, replacing a file asks, save-all
// writes only modified windows and never nests, and a file changed by another program is not
// overwritten without a question.

#include "FrameFixture.h"

#include "app/Childwin.h"
#include "app/Main.h"
#include "app/StatusPanels.h"
#include "components/CabDialog.h"
#include "components/UserStore.h"
#include "editor/ExtMemo.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QTest>
#include <QTimer>

namespace {

const QString Yes = QStringLiteral("はい(&Y)");
const QString No = QStringLiteral("いいえ(&N)");
const QString Cancel = QStringLiteral("キャンセル");
// The close question names the file in its title, so that one of several can be told apart.
const QString CloseQuestion =
    QStringLiteral("新規ﾌｧｲﾙ - 警告|内容が変更されています.保存しますか?");

// "<p>日本語テキスト</p>" then "①≒ｱ" in CP932; ≒ in its NEC row-13 form, which a plain
// encoder writes in the other form, so only a byte-exact save gives these bytes back.
const QByteArray Cp932Bytes = QByteArray::fromHex("3c703e93fa967b8cea8365834c835883673c2f703e0d0a"
                                                  "87408790b10d0a");

// The recent files as stored; each file added is stored at once.
QStringList StoredHistory() {
    return ReadUserValue(QStringLiteral("\\Software\\OpnFilHs\\OFH"),
                         QStringLiteral("QuorveljsHis"))
        .value_or(QString())
        .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

} // namespace

class TFileCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QDir::setCurrent(QDir::tempPath()); }

    void newWindow();
    void openAndSaveKeepBytes_data();
    void openAndSaveKeepBytes();
    void openTwiceActivatesTheWindow();
    void activateOpenWindowIsCaseSensitive();
    void saveAsRenamesTheWindow();
    void saveAsAsksBeforeReplacing();
    void saveOnUntitledRunsSaveAs();
    void newIgnoresFileNamedLikeUntitled();
    void closeQuestion_data();
    void closeQuestion();
    void closeAllStopsOnCancel_data();
    void closeAllStopsOnCancel();
    void closeAllClosesEverything();
    void exitAsksEveryWindow();
    void saveAllWritesOnlyModified();
    void saveAllProposesNumberedNames();
    void timerTickDuringSaveAllDoesNothing();
    void timerNeverAsks_data();
    void timerNeverAsks();
    void saveAsPutsTheFileAtTheTopOfTheHistory();
    void timerSavesAllEveryThreeMinutes();
    void overwriteOfChangedFileAsks();
    void openFailureLeavesNoWindow();
    void saveFailureKeepsTheWindow();
    void commandLineFilesOpenOnce();
};

void TFileCommandsTest::newWindow() {
    TFrameFixture f;
    f.Frame().FileNew1->trigger();
    TMDIChild* child = f.Active();
    QVERIFY(child);
    QCOMPARE(child->Caption(), QStringLiteral("新規ﾌｧｲﾙ"));
    QCOMPARE(child->RichEdit1->font().family(), QStringLiteral("ＭＳ ゴシック"));
    QCOMPARE(child->RichEdit1->font().pixelSize(), 16);
    QCOMPARE(child->Format().Encoding, teUtf8);
    QCOMPARE(child->Format().LineEnd, leCrLf);
    QCOMPARE(f.Frame().StatusText(1), QString());
    QCOMPARE(f.Frame().StatusText(2), QStringLiteral("編集終了"));
    QCOMPARE(f.Frame().StatusText(3), QStringLiteral("1行 : 0桁/ 1行"));
    QVERIFY(f.Frame().ComboBox1->isEnabled());
    QCOMPARE(f.Frame().ComboBox1->currentText(), QStringLiteral("ＭＳ ゴシック"));
    QCOMPARE(f.Frame().CabSaveDialog1->FileName(), QStringLiteral("新規ﾌｧｲﾙ"));
}

void TFileCommandsTest::openAndSaveKeepBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::newRow("cp932 crlf") << Cp932Bytes << int(teCp932);
    QTest::newRow("utf-8 bom lf") << QByteArray("\xEF\xBB\xBF"
                                                "\xE3\x81\x93\xE3\x82\x93\nline\n")
                                  << int(teUtf8Bom);
    QTest::newRow("utf-8 cr") << QByteArray("\xE6\xBC\xA2\xE5\xAD\x97\rabc\r") << int(teUtf8);
}

void TFileCommandsTest::openAndSaveKeepBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    TFrameFixture f;
    TDialogAnswers answers;
    const QString path = f.Path(QStringLiteral("ページ.html"));
    WriteBytes(path, bytes);

    answers.Choose(path);
    f.Frame().FileOpen1->trigger();
    QCOMPARE(answers.Pending(), 0);
    TMDIChild* child = f.Active();
    QVERIFY(child);
    QCOMPARE(child->Caption(), path);
    QCOMPARE(int(child->Format().Encoding), encoding);
    QVERIFY(!child->Modified());
    QCOMPARE(f.Frame().StatusText(2), QStringLiteral("編集終了"));
    QCOMPARE(f.Frame().CabSaveDialog1->FileName(), path);

    f.Frame().FileSave1->trigger();
    QCOMPARE(ReadBytes(path), bytes);

    child->RichEdit1->SetSelection(0, 0);
    f.Type(QStringLiteral("x"));
    QVERIFY(child->Modified());
    QCOMPARE(f.Frame().StatusText(2), QStringLiteral("編集中"));
    f.Frame().FileSave1->trigger();
    QVERIFY(!child->Modified());
    QCOMPARE(f.Frame().StatusText(2), QStringLiteral("編集終了"));
    const qsizetype bom = encoding == teUtf8Bom ? 3 : 0;
    QCOMPARE(ReadBytes(path), bytes.left(bom) + "x" + bytes.mid(bom));
    QVERIFY(answers.Unexpected.isEmpty());
}

void TFileCommandsTest::openTwiceActivatesTheWindow() {
    TFrameFixture f;
    TDialogAnswers answers;
    const QString a = f.Path(QStringLiteral("a.txt")), b = f.Path(QStringLiteral("b.txt"));
    WriteBytes(a, "a\r\n");
    WriteBytes(b, "b\r\n");
    answers.Choose(a);
    answers.Choose(b);
    answers.Choose(a);
    for (int i = 0; i < 3; ++i)
        f.Frame().FileOpen1->trigger();
    QCOMPARE(f.Frame().MDIChildCount(), 2);
    QCOMPARE(f.Active()->Caption(), a);
    QCOMPARE(f.Frame().CabSaveDialog1->FileName(), a);
}

void TFileCommandsTest::activateOpenWindowIsCaseSensitive() {
    TFrameFixture f;
    const QString lower = f.Path(QStringLiteral("page.html"));
    const QString upper = f.Path(QStringLiteral("PAGE.html"));
    WriteBytes(lower, "lower");
    WriteBytes(upper, "upper");
    f.Frame().OpenFiles({lower});
    f.Frame().FileNew1->trigger();
    QVERIFY(!f.Frame().ActivateOpenWindow(upper));
    QCOMPARE(f.Active()->Caption(), NewFileCaption);
    QVERIFY(f.Frame().ActivateOpenWindow(lower));
    QCOMPARE(f.Active()->Caption(), lower);
    f.Frame().OpenFiles({upper});
    QCOMPARE(f.Frame().MDIChildCount(), 3);
    QCOMPARE(f.Active()->RichEdit1->Buffer().Text(), QStringLiteral("upper"));
}

void TFileCommandsTest::saveAsRenamesTheWindow() {
    TFrameFixture f;
    TDialogAnswers answers;
    const QString a = f.Path(QStringLiteral("a.txt")), b = f.Path(QStringLiteral("b.txt"));
    WriteBytes(a, "text\r\n");
    f.Frame().OpenFiles({a});
    answers.Choose(b);
    f.Frame().FileSaveAs1->trigger();
    QCOMPARE(answers.Proposed, QStringList{QStringLiteral("a.txt")});
    QCOMPARE(f.Active()->Caption(), b);
    QCOMPARE(f.Frame().CabSaveDialog1->FileName(), b);
    QCOMPARE(ReadBytes(b), QByteArray("text\r\n"));
    QCOMPARE(f.Frame().StatusText(2), QStringLiteral("編集終了"));
    // Saving as its own file replaces nothing else: no question.
    answers.Choose(b);
    f.Frame().FileSaveAs1->trigger();
    QVERIFY(answers.Seen.isEmpty());
    QVERIFY(answers.Unexpected.isEmpty());
}

void TFileCommandsTest::saveAsAsksBeforeReplacing() {
    TFrameFixture f;
    TDialogAnswers answers;
    const QString a = f.Path(QStringLiteral("a.txt"));
    const QString other = f.Path(QStringLiteral("other.txt"));
    WriteBytes(a, "mine\r\n");
    WriteBytes(other, "keep");
    f.Frame().OpenFiles({a});

    // No goes back to the dialog; cancelling it writes nothing.
    answers.Choose(other);
    answers.Press(No);
    answers.Cancel();
    f.Frame().FileSaveAs1->trigger();
    QCOMPARE(answers.Pending(), 0);
    QCOMPARE(answers.Seen, QStringList{QStringLiteral("確認|") + other +
                                       QStringLiteral(" は既に存在します.置き換えますか?")});
    QCOMPARE(ReadBytes(other), QByteArray("keep"));
    QCOMPARE(f.Active()->Caption(), a);

    answers.Choose(other);
    answers.Press(Yes);
    f.Frame().FileSaveAs1->trigger();
    QCOMPARE(answers.Pending(), 0);
    QCOMPARE(ReadBytes(other), QByteArray("mine\r\n"));
    QCOMPARE(f.Active()->Caption(), other);
    QVERIFY(answers.Unexpected.isEmpty());
}

void TFileCommandsTest::saveOnUntitledRunsSaveAs() {
    TFrameFixture f;
    TDialogAnswers answers;
    QDir::setCurrent(f.Folder());
    f.Frame().FileNew1->trigger();
    f.Type(QStringLiteral("abc"));
    const QString target = f.Path(QStringLiteral("named.html"));
    answers.Choose(target);
    f.Frame().FileSave1->trigger();
    QCOMPARE(answers.Proposed, QStringList{QStringLiteral("新規ﾌｧｲﾙ")});
    QVERIFY(!QFileInfo::exists(f.Path(QStringLiteral("新規ﾌｧｲﾙ"))));
    QCOMPARE(ReadBytes(target), QByteArray("abc"));
    QCOMPARE(f.Active()->Caption(), target);
    QVERIFY(!f.Active()->Modified());

    // Cancelling the dialog writes nothing and keeps the window as it was.
    f.Frame().FileNew1->trigger();
    f.Type(QStringLiteral("def"));
    answers.Cancel();
    f.Frame().FileSave1->trigger();
    QCOMPARE(f.Active()->Caption(), NewFileCaption);
    QVERIFY(f.Active()->Modified());
    QCOMPARE(QDir(f.Folder()).entryList(QDir::Files), QStringList{QStringLiteral("named.html")});
}

void TFileCommandsTest::newIgnoresFileNamedLikeUntitled() {
    TFrameFixture f;
    QDir::setCurrent(f.Folder());
    WriteBytes(f.Path(QStringLiteral("新規ﾌｧｲﾙ")), "left over");
    f.Frame().FileNew1->trigger();
    QCOMPARE(f.Active()->RichEdit1->Buffer().Text(), QString());
}

void TFileCommandsTest::closeQuestion_data() {
    QTest::addColumn<QStringList>("answers"); // button texts, "choose" or "cancel" for the dialog
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("written");
    QTest::newRow("yes, name chosen") << QStringList{Yes, QStringLiteral("choose")} << true << true;
    QTest::newRow("yes, dialog cancelled")
        << QStringList{Yes, QStringLiteral("cancel")} << false << false;
    QTest::newRow("no") << QStringList{No} << true << false;
    QTest::newRow("cancel") << QStringList{Cancel} << false << false;
}

void TFileCommandsTest::closeQuestion() {
    QFETCH(QStringList, answers);
    QFETCH(bool, closed);
    QFETCH(bool, written);
    TFrameFixture f;
    TDialogAnswers dialogs;
    const QString target = f.Path(QStringLiteral("saved.html"));
    f.Frame().FileNew1->trigger();
    f.Type(QStringLiteral("typed"));
    QPointer<TMDIChild> child = f.Active();

    QStringList buttons;
    dialogs.Press(answers[0], [&](QWidget* box) { buttons = ButtonTexts(box); });
    for (const QString& answer : answers.mid(1)) {
        if (answer == u"choose")
            dialogs.Choose(target);
        else
            dialogs.Cancel();
    }
    f.Frame().FileClose1->trigger();
    ProcessDeletions();
    QCOMPARE(child.isNull(), closed);
    QCOMPARE(dialogs.Seen.value(0), CloseQuestion);
    QCOMPARE(buttons, (QStringList{Yes, No, Cancel}));
    QCOMPARE(QFileInfo::exists(target), written);
    if (written)
        QCOMPARE(ReadBytes(target), QByteArray("typed"));
    if (!closed) {
        QVERIFY(child->Modified());
        QCOMPARE(child->RichEdit1->Buffer().Text(), QStringLiteral("typed"));
    }
}

void TFileCommandsTest::closeAllStopsOnCancel_data() {
    QTest::addColumn<QStringList>("answers");
    QTest::newRow("first: yes, then cancel the dialog")
        << QStringList{Yes, QStringLiteral("cancel")};
    QTest::newRow("first: no, second: cancel") << QStringList{No, Cancel};
}

void TFileCommandsTest::closeAllStopsOnCancel() {
    QFETCH(QStringList, answers);
    TFrameFixture f;
    TDialogAnswers dialogs;
    for (int i = 0; i < 2; ++i) {
        f.Frame().FileNew1->trigger();
        f.Type(QStringLiteral("text"));
    }
    for (const QString& answer : answers) {
        if (answer == u"cancel")
            dialogs.Cancel();
        else
            dialogs.Press(answer);
    }
    f.Frame().AllCloseAction->trigger();
    QCOMPARE(dialogs.Pending(), 0);
    ProcessDeletions();
    QCOMPARE(f.Frame().MDIChildCount(), 2);
    for (TMDIChild* child : f.Frame().MDIChildren())
        QVERIFY(child->Modified());
    QVERIFY(dialogs.Unexpected.isEmpty());
}

void TFileCommandsTest::closeAllClosesEverything() {
    TFrameFixture f;
    TDialogAnswers dialogs;
    const QString a = f.Path(QStringLiteral("a.txt"));
    WriteBytes(a, "a");
    f.Frame().OpenFiles({a});
    f.Frame().FileNew1->trigger();
    f.Type(QStringLiteral("discard me"));
    dialogs.Press(No);
    f.Frame().AllCloseAction->trigger();
    ProcessDeletions();
    QCOMPARE(f.Frame().MDIChildCount(), 0);
    QCOMPARE(dialogs.Seen, QStringList{CloseQuestion});
    QVERIFY(!f.Frame().AllCloseAction->isEnabled());
    QVERIFY(!f.Frame().AllSaveAction->isEnabled());
    QVERIFY(!f.Frame().FileClose1->isEnabled());
}

void TFileCommandsTest::exitAsksEveryWindow() {
    TFrameFixture f;
    TDialogAnswers dialogs;
    f.Frame().FileNew1->trigger();
    f.Type(QStringLiteral("one"));
    f.Frame().FileNew1->trigger();
    f.Type(QStringLiteral("two"));
    // Cancel at the second window stops the exit; nothing is closed.
    dialogs.Press(No);
    dialogs.Press(Cancel);
    f.Frame().FileExit1->trigger();
    QCOMPARE(dialogs.Pending(), 0);
    QVERIFY(f.Frame().isVisible());
    QCOMPARE(f.Frame().MDIChildCount(), 2);

    dialogs.Press(No);
    dialogs.Press(No);
    f.Frame().FileExit1->trigger();
    QCOMPARE(dialogs.Pending(), 0);
    QVERIFY(!f.Frame().isVisible());
}

void TFileCommandsTest::saveAllWritesOnlyModified() {
    TFrameFixture f;
    TDialogAnswers dialogs;
    const QString a = f.Path(QStringLiteral("a.txt")), b = f.Path(QStringLiteral("b.txt"));
    WriteBytes(a, "a\r\n");
    WriteBytes(b, "b\r\n");
    AgeFile(a);
    AgeFile(b);
    f.Frame().OpenFiles({a, b});
    const qint64 aTime = ModifiedNs(a);
    f.Active()->RichEdit1->SetSelection(0, 0);
    f.Type(QStringLiteral("B"));
    f.Frame().AllSaveAction->trigger();
    QCOMPARE(ModifiedNs(a), aTime);
    QCOMPARE(ReadBytes(b), QByteArray("Bb\r\n"));
    QVERIFY(!f.Active()->Modified());
    QCOMPARE(f.Frame().StatusText(2), QStringLiteral("編集終了"));
    QVERIFY(dialogs.Unexpected.isEmpty());
}

void TFileCommandsTest::saveAllProposesNumberedNames() {
    TFrameFixture f;
    TDialogAnswers dialogs;
    for (int i = 0; i < 2; ++i) {
        f.Frame().FileNew1->trigger();
        f.Type(QStringLiteral("text%1").arg(i));
    }
    // Topmost first: the second window is child 0.
    const QString first = f.Path(QStringLiteral("first.txt"));
    dialogs.Choose(first);
    dialogs.Cancel();
    f.Frame().AllSaveAction->trigger();
    QCOMPARE(dialogs.Proposed,
             (QStringList{QStringLiteral("新規ﾌｧｲﾙ0"), QStringLiteral("新規ﾌｧｲﾙ1")}));
    QCOMPARE(ReadBytes(first), QByteArray("text1"));
    const std::vector<TMDIChild*> children = f.Frame().MDIChildren();
    QCOMPARE(children[0]->Caption(), first);
    QCOMPARE(children[1]->Caption(), NewFileCaption);
    QVERIFY(children[1]->Modified());
    QCOMPARE(f.Frame().CabSaveDialog1->FileName(), f.Active()->Caption());
}

void TFileCommandsTest::timerTickDuringSaveAllDoesNothing() {
    TFrameFixture f;
    TDialogAnswers dialogs;
    f.Frame().FileNew1->trigger();
    f.Type(QStringLiteral("text"));
    int dialogsWhileWaiting = -1;
    dialogs.Add([&](QWidget* dialog) {
        // Ticks and the command while the first run waits in its dialog. A dialog either opened
        // would run modally inside its call and be closed there as unexpected.
        f.Frame().Timer1Timer();
        f.Frame().AllSaveActionExecute();
        dialogsWhileWaiting = int(dialogs.Unexpected.size());
        qobject_cast<QDialog*>(dialog)->reject();
    });
    f.Frame().AllSaveAction->trigger();
    QCOMPARE(dialogsWhileWaiting, 0);
    QVERIFY(dialogs.Unexpected.isEmpty());
    // The tick itself never asks: the untitled window is left as it is.
    f.Frame().Timer1Timer();
    QVERIFY(dialogs.Unexpected.isEmpty());
    QVERIFY(f.Active()->Modified());
}

void TFileCommandsTest::timerNeverAsks_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("report"); // what panel 1 then says, in part
    QTest::newRow("titled") << QStringLiteral("titled") << true << QString();
    QTest::newRow("untitled") << QStringLiteral("untitled") << false << QString();
    QTest::newRow("changed by another program")
        << QStringLiteral("changed") << false
        << QStringLiteral("a.txt は他のプログラムによって変更されているため自動保存しません");
    QTest::newRow("character the encoding lacks")
        << QStringLiteral("unencodable") << false << QStringLiteral("自動保存できません: ");
}

void TFileCommandsTest::timerNeverAsks() {
    QFETCH(QString, kind);
    QFETCH(bool, saved);
    QFETCH(QString, report);
    TFrameFixture f;
    TDialogAnswers dialogs;
    const QString a = f.Path(QStringLiteral("a.txt"));
    // CP932 bytes, so that the file keeps that encoding.
    const QByteArray original = QByteArray::fromHex("82a0"); // あ
    WriteBytes(a, original);
    if (kind == u"untitled")
        f.Frame().FileNew1->trigger();
    else
        f.Frame().OpenFiles({a});
    f.Active()->RichEdit1->SetSelection(0, 0);
    f.Type(QStringLiteral("z"));
    if (kind == u"changed")
        WriteBytes(a, "written by another program");
    if (kind == u"unencodable")
        f.Active()->RichEdit1->ReplaceSelection(QStringLiteral("\U0001F600"));
    const QByteArray before = ReadBytes(a);

    for (int tick = 0; tick < 2; ++tick)
        QVERIFY(QMetaObject::invokeMethod(f.Frame().Timer1, "timeout", Qt::DirectConnection));
    QVERIFY(dialogs.Unexpected.isEmpty());
    QCOMPARE(f.Active()->Modified(), !saved);
    QCOMPARE(ReadBytes(a), saved ? QByteArray("z") + original : before);
    QVERIFY2(f.Frame().StatusText(1).contains(report), qPrintable(f.Frame().StatusText(1)));
    QCOMPARE(f.Frame().StatusText(1).isEmpty(), report.isEmpty());
    QCOMPARE(f.Frame().StatusText(2),
             saved ? QStringLiteral("編集終了") : QStringLiteral("編集中"));
}

void TFileCommandsTest::saveAsPutsTheFileAtTheTopOfTheHistory() {
    TFrameFixture f;
    TDialogAnswers dialogs;
    const QString opened = f.Path(QStringLiteral("opened.txt"));
    WriteBytes(opened, "o");
    f.Frame().OpenFiles({opened});
    // The first save of an untitled window, then Save As of a titled one.
    const QString first = f.Path(QStringLiteral("first.txt"));
    const QString second = f.Path(QStringLiteral("second.txt"));
    f.Frame().FileNew1->trigger();
    f.Type(QStringLiteral("new"));
    dialogs.Choose(first);
    f.Frame().FileSave1->trigger();
    QCOMPARE(StoredHistory().value(0), first);
    dialogs.Choose(second);
    f.Frame().FileSaveAs1->trigger();
    QCOMPARE(StoredHistory().mid(0, 3), (QStringList{second, first, opened}));
    QVERIFY(dialogs.Unexpected.isEmpty());
}

void TFileCommandsTest::timerSavesAllEveryThreeMinutes() {
    TFrameFixture f;
    QCOMPARE(f.Frame().Timer1->interval(), 180000);
    QVERIFY(f.Frame().Timer1->isActive());
    const QString a = f.Path(QStringLiteral("a.txt"));
    WriteBytes(a, "a");
    f.Frame().OpenFiles({a});
    f.Type(QStringLiteral("z"));
    // The timer's own signal, as a tick delivers it.
    QVERIFY(QMetaObject::invokeMethod(f.Frame().Timer1, "timeout", Qt::DirectConnection));
    QCOMPARE(ReadBytes(a), QByteArray("za"));
}

void TFileCommandsTest::overwriteOfChangedFileAsks() {
    TFrameFixture f;
    TDialogAnswers dialogs;
    const QString a = f.Path(QStringLiteral("a.txt"));
    WriteBytes(a, "one\r\n");
    f.Frame().OpenFiles({a});
    WriteBytes(a, "written by another program\r\n");
    f.Active()->RichEdit1->SetSelection(0, 0);
    f.Type(QStringLiteral("x"));

    dialogs.Press(No);
    f.Frame().FileSave1->trigger();
    QCOMPARE(
        dialogs.Seen,
        QStringList{QStringLiteral("確認|ファイル ") + a +
                    QStringLiteral(" は他のプログラムによって変更されています.上書きしますか?")});
    QCOMPARE(ReadBytes(a), QByteArray("written by another program\r\n"));
    QVERIFY(f.Active()->Modified());
    QCOMPARE(f.Frame().StatusText(2), QStringLiteral("編集中"));

    // Save-all asks the same.
    dialogs.Press(No);
    f.Frame().AllSaveAction->trigger();
    QCOMPARE(dialogs.Pending(), 0);
    QCOMPARE(ReadBytes(a), QByteArray("written by another program\r\n"));

    dialogs.Press(Yes);
    f.Frame().FileSave1->trigger();
    QCOMPARE(ReadBytes(a), QByteArray("xone\r\n"));
    QVERIFY(!f.Active()->Modified());

    // Our own save is not another program's.
    f.Type(QStringLiteral("y"));
    f.Frame().FileSave1->trigger();
    QCOMPARE(ReadBytes(a), QByteArray("xyone\r\n"));
    QCOMPARE(dialogs.Seen.size(), 3);
    QVERIFY(dialogs.Unexpected.isEmpty());
}

void TFileCommandsTest::openFailureLeavesNoWindow() {
    TFrameFixture f;
    TDialogAnswers dialogs;
    const QString folder = f.Path(QStringLiteral("folder.html"));
    QVERIFY(QDir().mkpath(folder));
    dialogs.Press(QStringLiteral("OK"));
    f.Frame().OpenFiles({folder});
    QCOMPARE(dialogs.Seen, QStringList{QStringLiteral("エラー|ファイル ") + folder +
                                       QStringLiteral(" は開けません")});
    ProcessDeletions();
    QCOMPARE(f.Frame().MDIChildCount(), 0);
}

void TFileCommandsTest::saveFailureKeepsTheWindow() {
    TFrameFixture f;
    TDialogAnswers dialogs;
    const QString missing = f.Path(QStringLiteral("no such folder/a.txt"));
    // A recent file that is gone opens an empty window titled with its path.
    f.Frame().OpenFileHistories1OpenFile(missing);
    QCOMPARE(f.Active()->Caption(), missing);
    f.Type(QStringLiteral("text"));
    dialogs.Press(QStringLiteral("OK"));
    f.Frame().FileSave1->trigger();
    QCOMPARE(dialogs.Seen, QStringList{QStringLiteral("エラー|ファイル ") + missing +
                                       QStringLiteral(" を作成できません")});
    QCOMPARE(f.Active()->Caption(), missing);
    QVERIFY(f.Active()->Modified());
    QCOMPARE(f.Frame().StatusText(2), QStringLiteral("編集中"));
}

void TFileCommandsTest::commandLineFilesOpenOnce() {
    TFrameFixture f;
    const QString a = f.Path(QStringLiteral("日本語.html"));
    WriteBytes(a, Cp932Bytes);
    const QString missing = f.Path(QStringLiteral("new.html"));
    f.Frame().OpenFiles({a, missing, a});
    QCOMPARE(f.Frame().MDIChildCount(), 2);
    QCOMPARE(f.Active()->Caption(), a);
    QVERIFY(f.Active()->RichEdit1->Buffer().Text().startsWith(QStringLiteral("<p>日本語テキスト")));
    QVERIFY(f.Frame().ActivateOpenWindow(missing));
    QCOMPARE(f.Active()->RichEdit1->Buffer().Length(), 0);
    QVERIFY(!QFileInfo::exists(missing));
}

int main(int argc, char** argv) {
    TFileCommandsTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "FileCommandsTest.moc"
