// One program per user: the real program started a second time hands its files to the first and
// ends at once with status 0; a socket left by a crash does not stop the next start; two starts
// at the same moment leave one program.

#include "FrameFixture.h"

#include "app/Childwin.h"
#include "app/Main.h"
#include "editor/ExtMemo.h"
#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class TSingleInstanceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void laterStartHandsOverItsFiles();
    void realProgramTwice();
    void staleSocketIsReplaced();
    void simultaneousStartsLeaveOne();

private:
    QProcessEnvironment Environment() const;
    QString SocketPath() const;
    void StartProgram(QProcess& process, const QStringList& arguments);
    std::unique_ptr<QTemporaryDir> FFolder;
};

void TSingleInstanceTest::init() {
    FFolder = std::make_unique<QTemporaryDir>();
    const QString runtime = FFolder->filePath(QStringLiteral("runtime"));
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
}

QProcessEnvironment TSingleInstanceTest::Environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                       FFolder->filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       FFolder->filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    return environment;
}

QString TSingleInstanceTest::SocketPath() const {
    return FFolder->filePath(QStringLiteral("runtime/quorveljs.TMainForm"));
}

void TSingleInstanceTest::StartProgram(QProcess& process, const QStringList& arguments) {
    process.setProcessEnvironment(Environment());
    process.setWorkingDirectory(FFolder->path());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(QJS_PROGRAM), arguments);
    QVERIFY(process.waitForStarted());
}

void TSingleInstanceTest::laterStartHandsOverItsFiles() {
    TSingleInstance instance(QStringLiteral("TMainForm"));
    QVERIFY(instance.Start({}));
    QVERIFY(instance.Listening());
    QCOMPARE(instance.ServerPath(), SocketPath());
    TFrameFixture f;
    connect(&instance, &TSingleInstance::Requested, &f.Frame(), &TMainForm::LaterStartRequested);
    const QString page = FFolder->filePath(QStringLiteral("ページ.html"));
    WriteBytes(page, "<p>\xE3\x81\x82</p>");

    // The second start names the file relative to its own folder.
    QProcess second;
    QSignalSpy finished(&second, &QProcess::finished);
    QElapsedTimer clock;
    clock.start();
    StartProgram(second, {QStringLiteral("ページ.html")});
    QVERIFY(finished.wait(30000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
    QTRY_COMPARE(f.Frame().MDIChildCount(), 1);
    QCOMPARE(f.Active()->Caption(), page);
    QCOMPARE(f.Active()->RichEdit1->Buffer().Text(), QStringLiteral("<p>あ</p>"));
}

void TSingleInstanceTest::realProgramTwice() {
    const QString page = FFolder->filePath(QStringLiteral("a.html"));
    WriteBytes(page, "a");
    QProcess first;
    StartProgram(first, {});
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(SocketPath()), 30000);
    QProcess second;
    QElapsedTimer clock;
    clock.start();
    StartProgram(second, {page});
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitCode(), 0);
    QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(first.state(), QProcess::Running);
    // The first still answers.
    QProcess third;
    StartProgram(third, {});
    QVERIFY(third.waitForFinished(30000));
    QCOMPARE(third.exitCode(), 0);
    first.terminate();
    QVERIFY(first.waitForFinished(30000));
}

void TSingleInstanceTest::staleSocketIsReplaced() {
    // What a crashed program leaves: a socket file nobody listens on.
    const QByteArray path = QFile::encodeName(SocketPath());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    QVERIFY(QFileInfo::exists(SocketPath()));

    TSingleInstance instance(QStringLiteral("TMainForm"));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(instance.Start({}));
    QVERIFY(instance.Listening());
    QVERIFY(clock.elapsed() < 5000);

    QProcess second;
    QSignalSpy finished(&second, &QProcess::finished);
    QSignalSpy requested(&instance, &TSingleInstance::Requested);
    StartProgram(second, {QStringLiteral("x.html")});
    QVERIFY(finished.wait(30000));
    QCOMPARE(second.exitCode(), 0);
    QTRY_COMPARE(requested.size(), 1);
    QCOMPARE(requested[0][0].toStringList(),
             QStringList{FFolder->filePath(QStringLiteral("x.html"))});
}

void TSingleInstanceTest::simultaneousStartsLeaveOne() {
    QProcess one, two;
    StartProgram(one, {});
    StartProgram(two, {});
    // One of them ends with status 0; the other keeps running.
    QTRY_VERIFY_WITH_TIMEOUT(
        one.state() == QProcess::NotRunning || two.state() == QProcess::NotRunning, 30000);
    QTest::qWait(500);
    QProcess& ended = one.state() == QProcess::NotRunning ? one : two;
    QProcess& running = &ended == &one ? two : one;
    QCOMPARE(ended.exitCode(), 0);
    QCOMPARE(running.state(), QProcess::Running);
    running.terminate();
    QVERIFY(running.waitForFinished(30000));
}

int main(int argc, char** argv) {
    TSingleInstanceTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "SingleInstanceTest.moc"
