// The frame's favourite folders (added, kept beside the settings, removed, a damaged file at
// start) and files dropped on an editing window (one, several, a folder, a window with
// unsaved changes, a file that cannot be read).

#include "FrameFixture.h"

#include "app/Childwin.h"
#include "app/Main.h"
#include "components/CabDialog.h"
#include "components/CabStream.h"
#include "components/IniGT.h"
#include "components/SetGoFolder.h"
#include "components/UserStore.h"
#include "editor/ExtMemo.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QLocalServer>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

QString GoFolderFile(TMainForm& frame) {
    return QFileInfo(frame.IniGT1->Path()).absolutePath() + QStringLiteral("/GoFolder.fol");
}

// Drops files from a file manager on the window's editor.
void Drop(TMDIChild* child, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QWidget* target = child->RichEdit1->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
}

QString Text(TMDIChild* child) {
    return child->RichEdit1->Buffer().Text();
}

QStringList History() {
    return ReadUserValue(QStringLiteral("\\Software\\OpnFilHs\\OFH"),
                         QStringLiteral("QuorveljsHis"))
        .value_or(QString())
        .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

} // namespace

class TFavouritesAndDropsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void favouritesAddedKeptAndRemoved();
    void damagedFavouritesFileAtStart();
    void droppedFiles();
    void folderDroppedDoesNothing();
    void dropOnUnsavedChanges_data();
    void dropOnUnsavedChanges();
    void unreadableFileDropped();
};

void TFavouritesAndDropsTest::favouritesAddedKeptAndRemoved() {
    QString file;
    QString folder;
    {
        TFrameFixture run;
        folder = run.Folder();
        file = GoFolderFile(run.Frame());
        // Beside the settings file, never in the folder the program runs in.
        QCOMPARE(QFileInfo(file).absolutePath(),
                 QFileInfo(run.Frame().IniGT1->Path()).absolutePath());
        QVERIFY(QFileInfo(file).absolutePath() != QDir::currentPath());
        TDialogAnswers answers;
        answers.Add([&](QWidget* widget) {
            auto* form = qobject_cast<TSetGoFolderForm*>(widget);
            QVERIFY(form);
            QCOMPARE(form->windowTitle(), QStringLiteral("よく行くフォルダの設定"));
            form->Edit1->setText(QStringLiteral("作業"));
            form->Edit2->setText(folder);
            form->Button1->click();
            // The form stays open, emptied, for the next one; empty texts are taken too.
            QVERIFY(form->isVisible());
            QCOMPARE(form->Edit1->text(), QString());
            QCOMPARE(form->Edit2->text(), QString());
            form->Button1->click();
            QTest::keyClick(form, Qt::Key_Escape);
            QVERIFY(!form->isVisible());
        });
        run.Frame().SetGoFolderAction->trigger();
        QCOMPARE(answers.Pending(), 0);
        QVERIFY(answers.Unexpected.isEmpty());
        const TCabinetItems expected = {{QStringLiteral("作業"), folder, 0, rfCurrent},
                                        {QString(), QString(), 0, rfCurrent}};
        QCOMPARE(run.Frame().CabOpenDialog1->Items(), expected);
        QCOMPARE(run.Frame().CabSaveDialog1->Items(), expected);
        QVERIFY(QFileInfo::exists(file));
    }
    {
        TFrameFixture next;
        QCOMPARE(next.Frame().CabOpenDialog1->Items().size(), 2);
        QCOMPARE(next.Frame().CabSaveDialog1->Items(), next.Frame().CabOpenDialog1->Items());
        QCOMPARE(next.Frame().CabOpenDialog1->Items()[0].FolderPath, folder);
        next.Frame().ResetGoFoldeAction->trigger();
        QVERIFY(next.Frame().CabOpenDialog1->Items().isEmpty());
        QVERIFY(next.Frame().CabSaveDialog1->Items().isEmpty());
    }
    // Removed means removed: they do not come back at the next start.
    TFrameFixture last;
    QVERIFY(last.Frame().CabOpenDialog1->Items().isEmpty());
    QVERIFY(last.Frame().CabSaveDialog1->Items().isEmpty());
    QFile::remove(file);
}

void TFavouritesAndDropsTest::damagedFavouritesFileAtStart() {
    QString file;
    {
        TFrameFixture probe;
        file = GoFolderFile(probe.Frame());
    }
    WriteBytes(file, QByteArray("\xFF\x0A\x00TCABOPENDIALOG\x00\x30\x10\x05\x00\x00\x00TPF0", 28));
    TDialogAnswers answers;
    answers.Press(QStringLiteral("OK"));
    TFrameFixture run;
    QCOMPARE(answers.Seen, QStringList({QStringLiteral("エラー|不正なストリーム フォーマット")}));
    // The rest of the frame's creation was skipped, and the program goes on.
    QCOMPARE(run.Frame().ComboBox1->count(), 0);
    QVERIFY(run.Frame().CabOpenDialog1->Items().isEmpty());
    run.Frame().FileNew1->trigger();
    QVERIFY(run.Active());
    QFile::remove(file);
}

void TFavouritesAndDropsTest::droppedFiles() {
    TFrameFixture f;
    const QString a = f.Path(QStringLiteral("a.html"));
    const QString b = f.Path(QStringLiteral("b.js"));
    const QString c = f.Path(QStringLiteral("c.txt"));
    WriteBytes(a, "<p>a</p>");
    WriteBytes(b, "alert(1);");
    WriteBytes(c, "c");
    f.Frame().FileNew1->trigger();
    TMDIChild* child = f.Active();
    QVERIFY(child);

    Drop(child, {a});
    QCOMPARE(Text(child), QStringLiteral("<p>a</p>"));
    QCOMPARE(child->Caption(), a);
    QVERIFY(!child->Modified());
    QCOMPARE(f.Frame().CabSaveDialog1->FileName(), a);
    QCOMPARE(History().value(0), a);

    // Several at once: the window ends with the last, all are recent files.
    Drop(child, {b, c});
    QCOMPARE(Text(child), QStringLiteral("c"));
    QCOMPARE(child->Caption(), c);
    QCOMPARE(History().mid(0, 3), QStringList({c, b, a}));
    QCOMPARE(f.Frame().MDIChildCount(), 1);
}

void TFavouritesAndDropsTest::folderDroppedDoesNothing() {
    TFrameFixture f;
    f.Frame().FileNew1->trigger();
    TMDIChild* child = f.Active();
    QDir().mkpath(f.Path(QStringLiteral("web")));
    WriteBytes(f.Path(QStringLiteral("web/in.html")), "in");
    Drop(child, {f.Path(QStringLiteral("web"))});
    QCOMPARE(child->Caption(), NewFileCaption);
    QCOMPARE(Text(child), QString());
}

void TFavouritesAndDropsTest::dropOnUnsavedChanges_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("save") << QStringLiteral("はい(&Y)");
    QTest::newRow("discard") << QStringLiteral("いいえ(&N)");
    QTest::newRow("cancel") << QStringLiteral("キャンセル");
}

void TFavouritesAndDropsTest::dropOnUnsavedChanges() {
    QFETCH(QString, answer);
    TFrameFixture f;
    const QString a = f.Path(QStringLiteral("a.html"));
    const QString b = f.Path(QStringLiteral("b.html"));
    const QString saved = f.Path(QStringLiteral("saved.html"));
    WriteBytes(a, "A");
    WriteBytes(b, "B");
    f.Frame().FileNew1->trigger();
    TMDIChild* child = f.Active();
    f.Type(QStringLiteral("typed"));
    QVERIFY(child->Modified());

    TDialogAnswers answers;
    answers.Press(answer);
    if (answer == QStringLiteral("はい(&Y)"))
        answers.Choose(saved);
    Drop(child, {a, b});
    // One question for the whole drop.
    QCOMPARE(answers.Seen,
             QStringList({QStringLiteral("新規ﾌｧｲﾙ - 警告|内容が変更されています.保存しますか?")}));
    QCOMPARE(answers.Pending(), 0);
    QVERIFY(answers.Unexpected.isEmpty());
    if (answer == QStringLiteral("キャンセル")) {
        QCOMPARE(Text(child), QStringLiteral("typed"));
        QCOMPARE(child->Caption(), NewFileCaption);
        QVERIFY(child->Modified());
        return;
    }
    QCOMPARE(Text(child), QStringLiteral("B"));
    QCOMPARE(child->Caption(), b);
    if (answer == QStringLiteral("はい(&Y)"))
        QCOMPARE(ReadBytes(saved), QByteArray("typed"));
    else
        QVERIFY(!QFileInfo::exists(saved));
}

void TFavouritesAndDropsTest::unreadableFileDropped() {
    TFrameFixture f;
    const QString a = f.Path(QStringLiteral("a.html"));
    const QString b = f.Path(QStringLiteral("b.html"));
    WriteBytes(a, "A");
    WriteBytes(b, "B");
    // A socket is a file nobody can open, not even the superuser.
    QLocalServer socket;
    const QString unreadable = f.Path(QStringLiteral("socket"));
    QVERIFY(socket.listen(unreadable));
    f.Frame().FileNew1->trigger();
    TMDIChild* child = f.Active();
    Drop(child, {a});
    TDialogAnswers answers;
    answers.Press(QStringLiteral("OK"));
    Drop(child, {unreadable, b});
    QCOMPARE(answers.Seen,
             QStringList({QStringLiteral("エラー|ファイル %1 は開けません").arg(unreadable)}));
    // The window keeps its file, and the rest of that drop is not taken.
    QCOMPARE(Text(child), QStringLiteral("A"));
    QCOMPARE(child->Caption(), a);
}

int main(int argc, char** argv) {
    TFavouritesAndDropsTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "FavouritesAndDropsTest.moc"
