// Loading and saving files as the editor does: byte-identical round trips, the file's own
// encoding and line ends, and saves that replace a file whole or not at all.

#include "editor/TextFile.h"
#include "platform/Error.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TTextFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(FDir.isValid()); }
    void RoundTripIsByteIdentical_data();
    void RoundTripIsByteIdentical();
    void RandomFilesRoundTrip();
    void EditedFileKeepsEncodingAndLineEnds();
    void NewTextIsUtf8WithCrLf();
    void UnencodableCharacterWritesNothing();
    void ReadOnlyFolderKeepsOldFile();
    void SymlinkTargetIsWritten();
    void PermissionsAreKept();
    void MissingFileReportsOpenError();

private:
    QString Path(const QString& name) const { return FDir.filePath(name); }
    QTemporaryDir FDir;
};

void TTextFileTest::RoundTripIsByteIdentical_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("eol");
    QTest::newRow("empty") << QByteArray() << "UTF-8"
                           << "NONE";
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << "UTF-8"
                                       << "CRLF";
    QTest::newRow("mixed") << QByteArray("a\rb\nc\r\n\n\r") << "UTF-8"
                           << "MIXED";
    QTest::newRow("cp932 with damage")
        << QByteArray("\x82\xA0\x80\xA0\xFD\r\n\x87\x40\x87\x8A\x81") << "CP932"
        << "CRLF";
    QTest::newRow("cp932 both forms of dual characters")
        << QByteArray("\x81\xE0\x87\x90\r\n\xFA\x40\xEE\xEF\r\n\x87\x90") << "CP932"
        << "CRLF";
    QTest::newRow("euc-jp") << QByteArray("\xA4\xA2\xA4\xA4\n\xB4\xC1\xBB\xFA\n") << "EUC-JP"
                            << "LF";
    QTest::newRow("iso-2022-jp old escape")
        << QByteArray("\x1B$@$\"\x1B(J\\\r\n\x1B$B$\"\x1B(B\r\n") << "ISO-2022-JP"
        << "CRLF";
    QTest::newRow("utf-8 bom with damage")
        << QByteArray("\xEF\xBB\xBF\xE6\x97\xA5\xFF\xE6\x97\n") << "UTF-8-BOM"
        << "LF";
    QTest::newRow("utf-16be") << QByteArrayLiteral("\xFE\xFF\x65\xE5\x00\r\x00\n\xD8\x3D\xDE\x00")
                              << "UTF-16BE"
                              << "CRLF";
    QTest::newRow("utf-16le lone surrogate")
        << QByteArrayLiteral("\xFF\xFE\x00\xDC\x41\x00") << "UTF-16LE"
        << "NONE";
}

void TTextFileTest::RoundTripIsByteIdentical() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(QString, eol);
    WriteAll(Path(u"in"_qs), bytes);
    TTextBuffer buffer;
    TFileFormat format = LoadTextFile(Path(u"in"_qs), buffer);
    QCOMPARE(EncodingName(format.Encoding), encoding);
    QCOMPARE(LineEndKindName(format.LineEnds), eol);
    QVERIFY(!buffer.Modified());
    SaveTextFile(Path(u"out"_qs), buffer, format);
    QCOMPARE(ReadAll(Path(u"out"_qs)), bytes);
}

void TTextFileTest::RandomFilesRoundTrip() {
    QRandomGenerator random(7);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes(random.bounded(0, 3000), Qt::Uninitialized);
        for (char& c : bytes)
            c = char(random.bounded(3) == 0 ? random.bounded(256) : random.bounded(0x80, 0xFD));
        WriteAll(Path(u"r"_qs), bytes);
        TTextBuffer buffer;
        TFileFormat format = LoadTextFile(Path(u"r"_qs), buffer);
        SaveTextFile(Path(u"r.out"_qs), buffer, format);
        if (ReadAll(Path(u"r.out"_qs)) != bytes)
            QFAIL(qPrintable(
                u"round %1 (%2) changed"_qs.arg(round).arg(EncodingName(format.Encoding))));
    }
}

// An edit rewrites only what it touched: the other lines keep their bytes, the dual character
// typed takes the file's form, and Enter's line end is the file's.
void TTextFileTest::EditedFileKeepsEncodingAndLineEnds() {
    const QByteArray bytes("\x87\x90 \x80\n\x82\xA0\n");
    WriteAll(Path(u"e"_qs), bytes);
    TTextBuffer buffer;
    TFileFormat format = LoadTextFile(Path(u"e"_qs), buffer);
    QCOMPARE(format.LineEnd, leLf);
    buffer.Insert(buffer.Length(), QStringLiteral("≒") + LineEndText(format.LineEnd));
    QVERIFY(buffer.Modified());
    SaveTextFile(Path(u"e"_qs), buffer, format);
    QCOMPARE(ReadAll(Path(u"e"_qs)), bytes + "\x87\x90\n");
}

void TTextFileTest::NewTextIsUtf8WithCrLf() {
    TTextBuffer buffer;
    TFileFormat format;
    buffer.Insert(0, QStringLiteral("新規") + LineEndText(format.LineEnd));
    SaveTextFile(Path(u"new"_qs), buffer, format);
    QCOMPARE(ReadAll(Path(u"new"_qs)), QByteArray("\xE6\x96\xB0\xE8\xA6\x8F\r\n"));
}

void TTextFileTest::UnencodableCharacterWritesNothing() {
    const QByteArray bytes("\x82\xA0\r\n");
    WriteAll(Path(u"u"_qs), bytes);
    TTextBuffer buffer;
    TFileFormat format = LoadTextFile(Path(u"u"_qs), buffer);
    buffer.Insert(buffer.Length(), QStringLiteral("ok 😀"));
    try {
        SaveTextFile(Path(u"u"_qs), buffer, format);
        QFAIL("saved a character CP932 cannot hold");
    } catch (const EQuorvelError& e) {
        QVERIFY(e.Message().contains(QStringLiteral("😀")));
        QVERIFY(e.Message().contains(QStringLiteral("2 行 4 文字目")));
    }
    QCOMPARE(ReadAll(Path(u"u"_qs)), bytes);
    QVERIFY(buffer.Modified());
    // No temporary file is left behind either.
    QCOMPARE(QDir(FDir.path()).entryList({u"u*"_qs}, QDir::Files), QStringList{u"u"_qs});
}

// Saving into a folder the user may not write fails with the create message and leaves the old
// file. As root nothing is read-only, so the save runs in a child that drops to nobody.
void TTextFileTest::ReadOnlyFolderKeepsOldFile() {
    QDir(FDir.path()).mkdir(u"ro"_qs);
    const QString path = Path(u"ro/file.txt"_qs);
    WriteAll(path, "old");
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(FDir.path(), readOnly | QFile::WriteOwner);
    QFile::setPermissions(Path(u"ro"_qs), readOnly);
    auto save = [&] {
        TTextBuffer buffer;
        buffer.SetText(QStringLiteral("new"));
        try {
            SaveTextFile(path, buffer, TFileFormat());
        } catch (const EQuorvelError& e) {
            return e.Message() == CreateErrorMessage(path);
        }
        return false;
    };
    if (geteuid() == 0) {
        pid_t child = fork();
        if (child == 0) {
            bool ok = setgid(65534) == 0 && setuid(65534) == 0 && save();
            _exit(ok ? 0 : 1);
        }
        int status = -1;
        waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    } else {
        QVERIFY(save());
    }
    const auto writable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QFile::setPermissions(Path(u"ro"_qs), writable);
    QFile::setPermissions(FDir.path(), writable);
    QCOMPARE(ReadAll(path), QByteArray("old"));
    QCOMPARE(QDir(Path(u"ro"_qs)).entryList(QDir::Files), QStringList{u"file.txt"_qs});
}

void TTextFileTest::SymlinkTargetIsWritten() {
    WriteAll(Path(u"target"_qs), "old");
    QVERIFY(QFile::link(Path(u"target"_qs), Path(u"link"_qs)));
    TTextBuffer buffer;
    TFileFormat format = LoadTextFile(Path(u"link"_qs), buffer);
    buffer.Insert(3, QStringLiteral("er"));
    SaveTextFile(Path(u"link"_qs), buffer, format);
    QVERIFY(QFileInfo(Path(u"link"_qs)).isSymLink());
    QCOMPARE(ReadAll(Path(u"target"_qs)), QByteArray("older"));
}

void TTextFileTest::PermissionsAreKept() {
    const QString path = Path(u"script.sh"_qs);
    WriteAll(path, "#!/bin/sh\n");
    auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup;
    QFile::setPermissions(path, perms);
    TTextBuffer buffer;
    TFileFormat format = LoadTextFile(path, buffer);
    buffer.Insert(buffer.Length(), QStringLiteral("exit 0\n"));
    SaveTextFile(path, buffer, format);
    QCOMPARE(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             perms);
}

void TTextFileTest::MissingFileReportsOpenError() {
    TTextBuffer buffer;
    buffer.SetText(QStringLiteral("kept"));
    for (const QString& path : {Path(u"missing"_qs), FDir.path()}) {
        try {
            LoadTextFile(path, buffer);
            QFAIL("loaded what is not a readable file");
        } catch (const EQuorvelError& e) {
            QCOMPARE(e.Message(), QStringLiteral("ファイル %1 は開けません").arg(path));
        }
    }
    QCOMPARE(buffer.Text(), QStringLiteral("kept"));
}

QTEST_GUILESS_MAIN(TTextFileTest)
#include "TextFileTest.moc"
