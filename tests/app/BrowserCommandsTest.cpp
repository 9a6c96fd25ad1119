// Previews in the two browsers, the FTP program and the home pages: the command each builds,
// started for real on small scripts of the test's own that record the arguments they were
// given, the messages when nothing can be started, and the settings dialog.

#include "FrameFixture.h"

#include "app/BrowserCommands.h"
#include "app/Childwin.h"
#include "app/Main.h"
#include "app/SetProwserFolder.h"
#include "components/IniGT.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

// A program that writes each argument it receives on a line of <its path>.args. It names mv by
// its full path so that it runs whatever PATH a test sets.
QString FakeProgram(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    WriteBytes(path, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.tmp\"\n"
                     "/bin/mv \"$0.tmp\" \"$0.args\"\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// The arguments the fake program at path was started with, once it has run.
QStringList ArgumentsOf(const QString& path) {
    QFile file(path + QStringLiteral(".args"));
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<not started>")};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    lines.removeLast();
    return lines;
}

bool Started(const QString& path) {
    return QFile::exists(path + QStringLiteral(".args"));
}

// The desktop's default browser as Qt finds it: the first xdg-open on PATH, alone on PATH here so
// that no real browser ever opens. Qt keeps the launcher it found for the rest of the process, so
// every test uses the same folder; a desktop without a browser is that folder without the program.
class TDesktopBrowser {
public:
    explicit TDesktopBrowser(bool present) : FPath(qgetenv("PATH")) {
        static QTemporaryDir folder;
        FProgram = folder.filePath(QStringLiteral("xdg-open"));
        QFile::remove(FProgram + QStringLiteral(".args"));
        if (present)
            FakeProgram(FProgram);
        else
            QFile::remove(FProgram);
        qputenv("PATH", folder.path().toLocal8Bit());
    }
    ~TDesktopBrowser() { qputenv("PATH", FPath); }
    // The addresses it was asked to open, as xdg-open gets them.
    QStringList Arguments() const { return ArgumentsOf(FProgram); }
    bool Started() const { return ::Started(FProgram); }

private:
    QByteArray FPath;
    QString FProgram;
};

// The settings file is the program's, shared by every test of this run: each starts empty.
void ForgetPrograms(TMainForm& frame) {
    for (const QString& key : {NetscapeKey, MSIeKey, FTPKey})
        frame.IniGT1->WriteString(FolderSection, key, QString());
}

} // namespace

class TBrowserCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandsAreBuiltWithoutAShell();
    void previewHandsTheFileAsOneArgument();
    void previewNeedsABrowserAndASavedFile();
    void homePagesPreferTheFirstBrowser();
    void emptyKeysOpenTheDesktopBrowser();
    void ftpCommandLineIsSplitByQuoting();
    void programThatCannotStartIsReported();
    void settingsDialogWritesOnlyOnYes();
};

void TBrowserCommandsTest::commandsAreBuiltWithoutAShell() {
    const QString page = QStringLiteral("/home/u/私の ページ.html");
    QCOMPARE(BrowserCommand(QStringLiteral("/opt/nn"), NetscapeProgramFile, page),
             (TCommand{QStringLiteral("/opt/nn/netscape.exe"), {page}}));
    // A trailing separator is passed on as it stands.
    QCOMPARE(BrowserCommand(QStringLiteral("/opt/ie/"), MSIeProgramFile, page),
             (TCommand{QStringLiteral("/opt/ie//iexplore.exe"), {page}}));
    // An executable file is the browser itself.
    QTemporaryDir folder;
    const QString browser = FakeProgram(folder.filePath(QStringLiteral("firefox")));
    QCOMPARE(BrowserCommand(browser, NetscapeProgramFile, page), (TCommand{browser, {page}}));
    // A file that is not executable is no browser: it is taken as a folder, which then fails.
    const QString text = folder.filePath(QStringLiteral("notes.txt"));
    WriteBytes(text, "x");
    QCOMPARE(BrowserCommand(text, NetscapeProgramFile, page).Program,
             text + QStringLiteral("/netscape.exe"));

    QCOMPARE(
        CommandLine(QStringLiteral("\"/opt/my ftp/ftp\" -u \"user name\" host")),
        (TCommand{QStringLiteral("/opt/my ftp/ftp"),
                  {QStringLiteral("-u"), QStringLiteral("user name"), QStringLiteral("host")}}));
    QCOMPARE(CommandLine(QStringLiteral("   ")), TCommand{});
}

void TBrowserCommandsTest::previewHandsTheFileAsOneArgument() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    ForgetPrograms(m);
    const QString folder = f.Path(QStringLiteral("ブラウザ の フォルダ"));
    const QString netscape = FakeProgram(folder + QStringLiteral("/netscape.exe"));
    const QString firefox = FakeProgram(f.Path(QStringLiteral("bin/firefox")));
    m.IniGT1->WriteString(FolderSection, NetscapeKey, folder);
    m.IniGT1->WriteString(FolderSection, MSIeKey, firefox);
    const QString page = f.Path(QStringLiteral("私の ページ.html"));
    WriteBytes(page, "<p>こんにちは</p>");
    m.OpenFiles({page});
    QVERIFY(f.Active());

    m.ViewOfNNAction->trigger();
    QTRY_COMPARE(ArgumentsOf(netscape), QStringList{page});
    m.ViewOfIEAction->trigger();
    QTRY_COMPARE(ArgumentsOf(firefox), QStringList{page});
}

void TBrowserCommandsTest::previewNeedsABrowserAndASavedFile() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    ForgetPrograms(m);
    const QString firefox = FakeProgram(f.Path(QStringLiteral("firefox")));
    const TDesktopBrowser desktop(true);
    TDialogAnswers answers;
    // Without a window nothing happens at all.
    m.ViewOfNNAction->trigger();
    QVERIFY(answers.Unexpected.isEmpty());

    // An untitled window is not handed over under a name that is no file, neither to a
    // configured browser nor to the desktop's.
    m.FileNew1->trigger();
    m.IniGT1->WriteString(FolderSection, NetscapeKey, firefox);
    answers.Press(QStringLiteral("OK"));
    m.ViewOfNNAction->trigger();
    answers.Press(QStringLiteral("OK"));
    m.ViewOfIEAction->trigger();
    QCOMPARE(
        answers.Seen,
        QStringList(2, QStringLiteral("情報|ファイルを保存してからプラウザで確認してください")));
    QTest::qWait(200);
    QVERIFY(!Started(firefox));
    QVERIFY(!desktop.Started());
    QVERIFY(answers.Unexpected.isEmpty());
}

void TBrowserCommandsTest::homePagesPreferTheFirstBrowser() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    ForgetPrograms(m);
    const TDesktopBrowser desktop(true);
    TDialogAnswers answers;
    const QString ieFolder = f.Path(QStringLiteral("ie"));
    const QString iexplore = FakeProgram(ieFolder + QStringLiteral("/iexplore.exe"));
    m.IniGT1->WriteString(FolderSection, MSIeKey, ieFolder);
    m.GoTalvoroWebAction->trigger();
    QTRY_COMPARE(ArgumentsOf(iexplore), QStringList{PublisherHomePage});

    const QString netscape = FakeProgram(f.Path(QStringLiteral("nn/netscape")));
    m.IniGT1->WriteString(FolderSection, NetscapeKey, netscape);
    m.GoMyWebAction->trigger();
    QTRY_VERIFY(Started(netscape));
    // The author's page is the program's own help page, written out where a browser reads it.
    const QUrl address(ArgumentsOf(netscape).value(0));
    QVERIFY(address.isLocalFile());
    QFile help(address.toLocalFile());
    QVERIFY(help.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(help.readAll()).contains(QStringLiteral("Quorvel for JavaScript")));
    QVERIFY(!desktop.Started());
    QVERIFY(answers.Seen.isEmpty());
    QVERIFY(answers.Unexpected.isEmpty());
}

void TBrowserCommandsTest::emptyKeysOpenTheDesktopBrowser() {
    if (QGuiApplication::platformName() == QStringLiteral("offscreen"))
        QSKIP("The offscreen platform opens no addresses; app_BrowserCommandsUnderX runs this.");
    TFrameFixture f;
    TMainForm& m = f.Frame();
    ForgetPrograms(m);
    const QString page = f.Path(QStringLiteral("私の ページ#1.html"));
    WriteBytes(page, "<p>こんにちは</p>");
    m.OpenFiles({page});
    QVERIFY(f.Active());
    TDialogAnswers answers;
    // The page goes to xdg-open as a file address, which names the file whatever it holds.
    const auto opened = [&](QAction* action) {
        const TDesktopBrowser desktop(true);
        action->trigger();
        // Not started in time: the arguments read "<not started>" and the comparison fails.
        return QTest::qWaitFor([&] { return desktop.Started(); }) ? desktop.Arguments()
                                                                  : QStringList();
    };
    for (QAction* preview : {m.ViewOfNNAction, m.ViewOfIEAction}) {
        const QStringList arguments = opened(preview);
        QCOMPARE(arguments.size(), 1);
        QCOMPARE(QUrl(arguments[0]).toLocalFile(), page);
    }
    QCOMPARE(opened(m.GoTalvoroWebAction), QStringList{PublisherHomePage});
    const QStringList author = opened(m.GoMyWebAction);
    QCOMPARE(author.size(), 1);
    QVERIFY(QUrl(author[0]).isLocalFile());
    QVERIFY(QFile::exists(QUrl(author[0]).toLocalFile()));
    QVERIFY(answers.Seen.isEmpty());

    // A desktop without a default browser: the message, for the previews and the home pages.
    const TDesktopBrowser none(false);
    for (QAction* action : {m.ViewOfNNAction, m.ViewOfIEAction, m.GoTalvoroWebAction}) {
        answers.Press(QStringLiteral("OK"));
        action->trigger();
    }
    QCOMPARE(answers.Seen, QStringList(3, QStringLiteral("情報|プラウザが登録されていません")));
    QVERIFY(answers.Unexpected.isEmpty());
}

void TBrowserCommandsTest::ftpCommandLineIsSplitByQuoting() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    ForgetPrograms(m);
    const QString ftp = FakeProgram(f.Path(QStringLiteral("my ftp/ftp client")));
    // Empty: nothing is started and nothing is said.
    TDialogAnswers answers;
    m.FTPAction->trigger();
    QVERIFY(answers.Unexpected.isEmpty());
    m.IniGT1->WriteString(FolderSection, FTPKey,
                          QStringLiteral("\"%1\" --site \"サイト 1\" -v").arg(ftp));
    m.FTPAction->trigger();
    QTRY_COMPARE(ArgumentsOf(ftp), (QStringList{QStringLiteral("--site"),
                                                QStringLiteral("サイト 1"), QStringLiteral("-v")}));
}

void TBrowserCommandsTest::programThatCannotStartIsReported() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    ForgetPrograms(m);
    const QString folder = f.Path(QStringLiteral("no browser here"));
    QDir().mkpath(folder);
    m.IniGT1->WriteString(FolderSection, NetscapeKey, folder);
    TDialogAnswers answers;
    answers.Press(QStringLiteral("OK"));
    m.GoTalvoroWebAction->trigger();
    QCOMPARE(answers.Seen,
             QStringList{QStringLiteral("エラー|%1/netscape.exe を起動できません").arg(folder)});
}

void TBrowserCommandsTest::settingsDialogWritesOnlyOnYes() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    ForgetPrograms(m);
    m.IniGT1->WriteString(FolderSection, NetscapeKey, QStringLiteral("/opt/nn"));
    const QByteArray before = ReadBytes(m.IniGT1->Path());
    TDialogAnswers answers;
    QStringList shown;
    // Typing and browsing, then キャンセル: the file stays as it was.
    answers.Add([&](QWidget* dialog) {
        auto* form = qobject_cast<TSetProwserFolderForm*>(dialog);
        QVERIFY(form);
        shown = {form->windowTitle(), form->Edit1->text(), form->Edit2->text()};
        form->Edit2->setText(QStringLiteral("/opt/ie"));
        QTimer::singleShot(0, form->Button3, &QPushButton::click);
    });
    answers.Cancel(); // the folder picker the browse button opened
    answers.Add([&](QWidget* dialog) {
        auto* form = qobject_cast<TSetProwserFolderForm*>(dialog);
        QVERIFY(form);
        QVERIFY(form->Edit3->text().isEmpty());
        form->BitBtn2->click();
    });
    m.SetProwserFolderAction->trigger();
    QCOMPARE(answers.Pending(), 0);
    QCOMPARE(shown, (QStringList{QStringLiteral("プラウザのフォルダと FTP アプリケーションの設定"),
                                 QStringLiteral("/opt/nn"), QString()}));
    QCOMPARE(ReadBytes(m.IniGT1->Path()), before);

    answers.Add([&](QWidget* dialog) {
        auto* form = qobject_cast<TSetProwserFolderForm*>(dialog);
        QVERIFY(form);
        form->Edit2->setText(QStringLiteral("/opt/ie"));
        form->Edit3->setText(QStringLiteral("ftp -v"));
        form->BitBtn1->click();
    });
    m.SetProwserFolderAction->trigger();
    QCOMPARE(m.IniGT1->ReadString(FolderSection, NetscapeKey, {}), QStringLiteral("/opt/nn"));
    QCOMPARE(m.IniGT1->ReadString(FolderSection, MSIeKey, {}), QStringLiteral("/opt/ie"));
    QCOMPARE(m.IniGT1->ReadString(FolderSection, FTPKey, {}), QStringLiteral("ftp -v"));
    QVERIFY(answers.Unexpected.isEmpty());
}

int main(int argc, char** argv) {
    TBrowserCommandsTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "BrowserCommandsTest.moc"
