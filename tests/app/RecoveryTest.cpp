// Crash recovery through the frame: a copy is written after a change and only after one, it
// holds what the window held at that moment, it goes when the window is saved, closed or
// discarded, and a dead run's copies are offered at start, restored with their caption,
// encoding and unsaved state, discarded, or kept for later; a live run's copies are never taken.
// (A real run killed with SIGKILL: recovery-under-x.sh.)

#include "FrameFixture.h"

#include "app/Childwin.h"
#include "app/Main.h"
#include "app/Recovery.h"
#include "components/CabDialog.h"
#include "editor/ExtMemo.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

namespace {

const QString Restore = QStringLiteral("復元する");
const QString Discard = QStringLiteral("破棄する");
const QString Later = QStringLiteral("あとで");

QString Folder() {
    return TRecovery::DefaultFolder();
}

QStringList RecoveryFiles() {
    return QDir(Folder()).entryList({QStringLiteral("*.qjsrec")}, QDir::Files, QDir::Name);
}

void RemoveAllRecoveryFiles() {
    for (const QString& name : QDir(Folder()).entryList(QDir::Files))
        QFile::remove(QDir(Folder()).filePath(name));
}

std::vector<TTextPiece> Pieces(const QString& text) {
    TTextBuffer buffer;
    buffer.SetText(text);
    return buffer.Pieces();
}

// What a recovery file holds: its header and its text.
std::pair<std::optional<TRecoveryHeader>, QString> Read(const QString& path) {
    TTextBuffer buffer;
    std::optional<TRecoveryHeader> header = ReadRecoveryFile(path, &buffer);
    return {header, buffer.Text()};
}

// A copy as a run that was killed left it.
void LeaveDeadCopy(const QString& name, const QString& caption, const TFileFormat& format,
                   const QString& text) {
    QDir().mkpath(Folder());
    QVERIFY(WriteRecoveryFile(QDir(Folder()).filePath(name), {12345, caption, format, {}},
                              Pieces(text)));
}

} // namespace

class TRecoveryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        QDir::setCurrent(QDir::tempPath());
        RemoveAllRecoveryFiles();
    }

    void writtenAfterAChangeOnly();
    void copyIsTheTextWhenTaken();
    void removedWhenSavedClosedOrDiscarded_data();
    void removedWhenSavedClosedOrDiscarded();
    void keptWhileChangesStay();
    void deadRunIsOfferedAndRestored();
    void deadRunDiscarded();
    void laterKeepsThemForTheNextStart();
    void liveRunIsNeverTaken();
    void damagedFileIsNotOffered();
};

void TRecoveryTest::writtenAfterAChangeOnly() {
    TFrameFixture f;
    TRecovery& recovery = *f.Frame().Recovery1;
    QCOMPARE(recovery.Folder(),
             qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/quorveljs"));
    QCOMPARE(recovery.Timer()->interval(), 30000);
    QVERIFY(recovery.Timer()->isActive());
    const QString page = f.Path(QStringLiteral("page.html"));
    WriteBytes(page, QByteArray::fromHex("93fa967b8cea0a")); // 日本語 in CP932, LF
    f.Frame().OpenFiles({page});
    TMDIChild* child = f.Active();
    const QString copy = recovery.FileOf(child);
    QVERIFY(copy.startsWith(recovery.Folder() + u'/' + recovery.Run()));

    // An unchanged window has nothing to keep.
    recovery.Tick();
    recovery.WaitForWriter();
    QVERIFY(!QFileInfo::exists(copy));

    child->RichEdit1->SetSelection(0, 0);
    f.Type(QStringLiteral("abc"));
    QVERIFY(QMetaObject::invokeMethod(recovery.Timer(), "timeout", Qt::DirectConnection));
    recovery.WaitForWriter();
    auto [header, text] = Read(copy);
    QVERIFY(header);
    QCOMPARE(header->Caption, page);
    QCOMPARE(header->Pid, QCoreApplication::applicationPid());
    QCOMPARE(header->Format.Encoding, teCp932);
    QCOMPARE(header->Format.LineEnd, leLf);
    QCOMPARE(text, QStringLiteral("abc日本語\n"));
    // Nobody else reads what the user typed.
    const QFileDevice::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                            QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFileInfo(copy).permissions() & others, QFileDevice::Permissions());
    QCOMPARE(QFileInfo(recovery.Folder()).permissions() & others, QFileDevice::Permissions());

    // No change since: the next tick writes nothing.
    QFile::remove(copy);
    recovery.Tick();
    recovery.WaitForWriter();
    QVERIFY(!QFileInfo::exists(copy));
    f.Type(QStringLiteral("d"));
    recovery.Tick();
    recovery.WaitForWriter();
    QCOMPARE(Read(copy).second, QStringLiteral("abcd日本語\n"));
}

void TRecoveryTest::copyIsTheTextWhenTaken() {
    TFrameFixture f;
    TRecovery& recovery = *f.Frame().Recovery1;
    f.Frame().FileNew1->trigger();
    TTextBuffer& buffer = f.Active()->RichEdit1->Buffer();
    // Many chunks, some of them wide.
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += i % 7 ? QStringLiteral("line %1\r\n").arg(i) : QStringLiteral("行 %1\r\n").arg(i);
    buffer.Insert(0, text);
    recovery.Tick();
    // Edits while the writer works copy only the chunks they change; the copy is the text of
    // the tick.
    for (qsizetype pos = 0; pos < buffer.Length(); pos += 50000)
        buffer.Insert(pos, QStringLiteral("later"));
    buffer.Remove(100, 70000);
    recovery.WaitForWriter();
    QCOMPARE(Read(recovery.FileOf(f.Active())).second, text);
}

void TRecoveryTest::removedWhenSavedClosedOrDiscarded_data() {
    QTest::addColumn<QString>("how");
    for (const char* how : {"save", "undo", "close: yes", "close: no", "close all: no", "exit: no",
                            "file dropped", "reopened"})
        QTest::newRow(how) << QString::fromLatin1(how);
}

void TRecoveryTest::removedWhenSavedClosedOrDiscarded() {
    QFETCH(QString, how);
    TFrameFixture f;
    TDialogAnswers answers;
    TRecovery& recovery = *f.Frame().Recovery1;
    const QString page = f.Path(QStringLiteral("page.txt"));
    WriteBytes(page, "text\r\n");
    f.Frame().OpenFiles({page});
    TMDIChild* child = f.Active();
    f.Type(QStringLiteral("x"));
    recovery.Tick();
    recovery.WaitForWriter();
    const QString copy = recovery.FileOf(child);
    QVERIFY(QFileInfo::exists(copy));

    if (how == u"save") {
        f.Frame().FileSave1->trigger();
    } else if (how == u"undo") {
        f.Frame().UndoAction->trigger();
        QVERIFY(!child->Modified());
    } else if (how == u"close: yes") {
        answers.Press(QStringLiteral("はい(&Y)"));
        answers.Choose(page);
        f.Frame().FileClose1->trigger();
    } else if (how == u"close: no") {
        answers.Press(QStringLiteral("いいえ(&N)"));
        f.Frame().FileClose1->trigger();
    } else if (how == u"close all: no") {
        answers.Press(QStringLiteral("いいえ(&N)"));
        f.Frame().AllCloseAction->trigger();
    } else if (how == u"exit: no") {
        answers.Press(QStringLiteral("いいえ(&N)"));
        f.Frame().FileExit1->trigger();
        QVERIFY(!f.Frame().isVisible());
    } else if (how == u"file dropped") {
        const QString other = f.Path(QStringLiteral("other.txt"));
        WriteBytes(other, "other");
        child->FileDropper1Drop(other);
    } else if (how == u"reopened") {
        answers.Add([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); });
        answers.Press(QStringLiteral("いいえ(&N)"));
        f.Frame().ReopenAction->trigger();
    }
    QCOMPARE(answers.Pending(), 0);
    recovery.WaitForWriter();
    QVERIFY(!QFileInfo::exists(copy));
    QVERIFY(RecoveryFiles().isEmpty());
    QVERIFY(answers.Unexpected.isEmpty());
}

void TRecoveryTest::keptWhileChangesStay() {
    TFrameFixture f;
    TDialogAnswers answers;
    TRecovery& recovery = *f.Frame().Recovery1;
    f.Frame().FileNew1->trigger();
    f.Type(QStringLiteral("draft"));
    recovery.Tick();
    recovery.WaitForWriter();
    const QString copy = recovery.FileOf(f.Active());
    QVERIFY(QFileInfo::exists(copy));
    // Cancelling the close, the exit or a save dialog keeps the changes and so the copy.
    answers.Press(QStringLiteral("キャンセル"));
    f.Frame().FileClose1->trigger();
    answers.Press(QStringLiteral("キャンセル"));
    f.Frame().FileExit1->trigger();
    answers.Cancel();
    f.Frame().FileSave1->trigger();
    QCOMPARE(answers.Pending(), 0);
    recovery.WaitForWriter();
    QVERIFY(QFileInfo::exists(copy));
    QCOMPARE(Read(copy).first->Caption, NewFileCaption);
}

void TRecoveryTest::deadRunIsOfferedAndRestored() {
    const QString folder = QDir::temp().filePath(QStringLiteral("qjs-recovery-test"));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QString page = folder + QStringLiteral("/ページ.html");
    WriteBytes(page, "old");
    TFileFormat sjis;
    sjis.Encoding = teCp932;
    sjis.LineEnd = leLf;
    // A byte the file did not decode comes back as it was.
    const QString text = QStringLiteral("日本語\nabc") + QChar(ByteEscape(0xFF));
    LeaveDeadCopy(QStringLiteral("4242-dead-0.qjsrec"), page, sjis, text);
    LeaveDeadCopy(QStringLiteral("4242-dead-1.qjsrec"), NewFileCaption, TFileFormat(),
                  QStringLiteral("untitled draft"));

    TDialogAnswers answers;
    QStringList buttons;
    answers.Press(Restore, [&](QWidget* box) { buttons = ButtonTexts(box); });
    TFrameFixture f;
    QTRY_COMPARE(answers.Pending(), 0);
    QCOMPARE(buttons, (QStringList{Restore, Discard, Later}));
    QVERIFY(answers.Seen.value(0).startsWith(QStringLiteral("確認|")));
    QVERIFY(answers.Seen.value(0).contains(page));
    QVERIFY(answers.Seen.value(0).contains(NewFileCaption));

    QCOMPARE(f.Frame().MDIChildCount(), 2);
    QVERIFY(f.Frame().ActivateOpenWindow(page));
    TMDIChild* restored = f.Active();
    QCOMPARE(restored->RichEdit1->Buffer().Text(), text);
    QVERIFY(restored->Modified());
    QCOMPARE(restored->Format().Encoding, teCp932);
    QCOMPARE(f.Frame().StatusText(2), QStringLiteral("編集中"));
    QCOMPARE(f.Frame().StatusText(4), QStringLiteral("Shift_JIS (CP932)  LF"));
    QCOMPARE(f.Frame().CabSaveDialog1->FileName(), page);
    QVERIFY(f.Frame().ActivateOpenWindow(NewFileCaption));
    QCOMPARE(f.Active()->RichEdit1->Buffer().Text(), QStringLiteral("untitled draft"));
    QVERIFY(f.Active()->Modified());

    // The dead run's copies and lock are gone; the restored windows have copies of their own.
    TRecovery& recovery = *f.Frame().Recovery1;
    recovery.WaitForWriter();
    const QStringList left = QDir(Folder()).entryList(QDir::Files);
    QVERIFY(!left.contains(QStringLiteral("4242-dead-0.qjsrec")));
    QVERIFY(!left.contains(QStringLiteral("4242-dead.lock")));
    QVERIFY(QFileInfo::exists(recovery.FileOf(restored)));

    // Saving writes the file in its own encoding, the undecoded byte as it was.
    QVERIFY(f.Frame().ActivateOpenWindow(page));
    f.Frame().FileSave1->trigger();
    QCOMPARE(ReadBytes(page), QByteArray::fromHex("93fa967b8cea0a616263ff"));
    QVERIFY(answers.Unexpected.isEmpty());
    QDir(folder).removeRecursively();
}

void TRecoveryTest::deadRunDiscarded() {
    LeaveDeadCopy(QStringLiteral("4243-dead-0.qjsrec"), NewFileCaption, TFileFormat(),
                  QStringLiteral("throw away"));
    TDialogAnswers answers;
    answers.Press(Discard);
    TFrameFixture f;
    QTRY_COMPARE(answers.Pending(), 0);
    f.Frame().Recovery1->WaitForWriter();
    QCOMPARE(f.Frame().MDIChildCount(), 0);
    QVERIFY(RecoveryFiles().isEmpty());
    QVERIFY(!QFileInfo::exists(QDir(Folder()).filePath(QStringLiteral("4243-dead.lock"))));
}

void TRecoveryTest::laterKeepsThemForTheNextStart() {
    LeaveDeadCopy(QStringLiteral("4244-dead-0.qjsrec"), NewFileCaption, TFileFormat(),
                  QStringLiteral("keep"));
    TDialogAnswers answers;
    {
        answers.Press(Later);
        TFrameFixture f;
        QTRY_COMPARE(answers.Pending(), 0);
        QCOMPARE(f.Frame().MDIChildCount(), 0);
        QCOMPARE(RecoveryFiles(), QStringList{QStringLiteral("4244-dead-0.qjsrec")});
        // While this run holds them, another start is not offered them.
        TRecovery other(f.Frame(), Folder());
        other.OfferLeftFiles();
        QVERIFY(answers.Unexpected.isEmpty());
    }
    // The next start asks again.
    answers.Press(Discard);
    TFrameFixture f;
    QTRY_COMPARE(answers.Pending(), 0);
    f.Frame().Recovery1->WaitForWriter();
    QVERIFY(RecoveryFiles().isEmpty());
    QVERIFY(answers.Unexpected.isEmpty());
}

void TRecoveryTest::liveRunIsNeverTaken() {
    TFrameFixture f;
    TDialogAnswers answers;
    f.Frame().FileNew1->trigger();
    f.Type(QStringLiteral("mine"));
    f.Frame().Recovery1->Tick();
    f.Frame().Recovery1->WaitForWriter();
    const QString copy = f.Frame().Recovery1->FileOf(f.Active());
    QVERIFY(QFileInfo::exists(copy));
    // Another run starting now sees a live run's copy and leaves it alone.
    {
        TRecovery other(f.Frame(), Folder());
        other.OfferLeftFiles();
        other.WaitForWriter();
    }
    QVERIFY(answers.Unexpected.isEmpty());
    QVERIFY(QFileInfo::exists(copy));
    QCOMPARE(Read(copy).second, QStringLiteral("mine"));
}

void TRecoveryTest::damagedFileIsNotOffered() {
    QDir().mkpath(Folder());
    const QString junk = QDir(Folder()).filePath(QStringLiteral("4245-dead-0.qjsrec"));
    WriteBytes(junk, "not a recovery file");
    // A copy cut short is not one either.
    const QString cut = QDir(Folder()).filePath(QStringLiteral("4245-dead-1.qjsrec"));
    QVERIFY(WriteRecoveryFile(cut, {1, NewFileCaption, {}, {}}, Pieces(QStringLiteral("text"))));
    QFile file(cut);
    QVERIFY(file.resize(file.size() - 1));
    TDialogAnswers answers;
    TFrameFixture f;
    f.Frame().Recovery1->OfferLeftFiles();
    QVERIFY(answers.Unexpected.isEmpty());
    QCOMPARE(f.Frame().MDIChildCount(), 0);
    QVERIFY(QFileInfo::exists(junk));
    QVERIFY(QFileInfo::exists(cut));
}

int main(int argc, char** argv) {
    TRecoveryTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "RecoveryTest.moc"
