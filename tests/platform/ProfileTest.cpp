// Initialisation files: the reading rules of files written on Windows, and writes that change
// one line and keep every other byte.

#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// As a Windows program leaves it: CR LF, mixed letter case, quotes, comments, blank lines, a
// CP932 value (日本語), a section that appears twice.
const QByteArray WindowsFile = "; Quorvel settings\r\n"
                               "\r\n"
                               "[Form]\r\n"
                               "EditForm.X=10\r\n"
                               "editform.y = 20 \r\n"
                               "  EditForm.Show\t=\t1\r\n"
                               "\r\n"
                               "; browsers\r\n"
                               "[FOLDER]\r\n"
                               "Netscape=\"C:\\Program Files\\Netscape\"\r\n"
                               "MSIe='C:\\Program Files\\Plus'\r\n"
                               "FTP=  ffftp.exe -s  \r\n"
                               "Memo=\x93\xfa\x96\x7b\x8c\xea\r\n"
                               "\x96\xbc\x91\x4f = \x92\x6c\r\n"
                               "Half=\"abc\r\n"
                               "Quote=\"\r\n"
                               "Inner=a \"b\" c\r\n"
                               "Mixed=\"abc'\r\n"
                               "Wide=\xe3\x80\x80x\xe3\x80\x80\r\n"
                               "Empty=\r\n"
                               "NoValue\r\n"
                               ";Comment=hidden\r\n"
                               "\r\n"
                               "[Form]\r\n"
                               "Later=5\r\n";

const QString Default = QStringLiteral("<default>");

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TProfileTest : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;
    QString FPath;

private Q_SLOTS:
    void init() {
        FPath = FDir.filePath(QStringLiteral("Quorveljs.ini"));
        QFile::remove(FPath);
    }

    void readsAsWindowsDoes_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const char16_t* section, const char16_t* key,
                      const QString& expected) {
            QTest::newRow(name) << QString::fromUtf16(section) << QString::fromUtf16(key)
                                << expected;
        };
        row("plain", u"Form", u"EditForm.X", QStringLiteral("10"));
        row("names in other case, blanks", u"form", u"EDITFORM.Y", QStringLiteral("20"));
        row("indented key, tabs", u"FORM", u"editform.show", QStringLiteral("1"));
        row("double quotes removed", u"Folder", u"Netscape",
            QStringLiteral("C:\\Program Files\\Netscape"));
        row("single quotes removed", u"folder", u"msie", QStringLiteral("C:\\Program Files\\Plus"));
        row("inner blanks kept", u"Folder", u"FTP", QStringLiteral("ffftp.exe -s"));
        row("CP932 value", u"Folder", u"Memo", QStringLiteral("日本語"));
        row("CP932 name", u"Folder", u"名前", QStringLiteral("値"));
        row("unpaired quote kept", u"Folder", u"Half", QStringLiteral("\"abc"));
        row("single quote character", u"Folder", u"Quote", QStringLiteral("\""));
        row("inner quotes kept", u"Folder", u"Inner", QStringLiteral("a \"b\" c"));
        row("different quotes kept", u"Folder", u"Mixed", QStringLiteral("\"abc'"));
        row("full-width blanks are text", u"Folder", u"Wide", QStringLiteral("　x　"));
        row("empty value is a value", u"Folder", u"Empty", QString());
        row("line without equals sign", u"Folder", u"NoValue", Default);
        row("comment", u"Folder", u";Comment", Default);
        row("repeated section", u"Form", u"Later", QStringLiteral("5"));
        row("key of another section", u"Form", u"Netscape", Default);
        row("missing key", u"Form", u"EditForm.MaxX", Default);
        row("missing section", u"Browser", u"EditForm.X", Default);
    }
    void readsAsWindowsDoes() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        WriteAll(FPath, WindowsFile);
        QCOMPARE(ReadProfileString(FPath, section, key, Default), expected);
    }

    void readLimitsLength() {
        QString value(3000, u'あ');
        WriteAll(FPath, "[S]\r\nLong=\"" + value.toUtf8() + "\"\r\n");
        QCOMPARE(ReadProfileString(FPath, QStringLiteral("S"), QStringLiteral("Long"), Default),
                 value.left(2047));
        QCOMPARE(
            FindProfileString(FPath, QStringLiteral("S"), QStringLiteral("Long"), ProfileNoLimit),
            value);
    }

    void missingOrUnreadableFileReadsDefault() {
        QCOMPARE(ReadProfileString(FPath, QStringLiteral("Form"), QStringLiteral("X"), Default),
                 Default);
        QCOMPARE(
            ReadProfileString(FDir.path(), QStringLiteral("Form"), QStringLiteral("X"), Default),
            Default);
        QCOMPARE(ReadProfileString(QString(), QStringLiteral("Form"), QStringLiteral("X"), Default),
                 Default);
    }

    void byteOrderMarkIsNotPartOfTheFirstLine() {
        WriteAll(FPath, "\xEF\xBB\xBF[Form]\r\nX=1\r\n");
        QCOMPARE(ReadProfileString(FPath, QStringLiteral("Form"), QStringLiteral("X"), Default),
                 QStringLiteral("1"));
        QCOMPARE(WriteProfileString(FPath, QStringLiteral("Form"), QStringLiteral("X"),
                                    QStringLiteral("2")),
                 pwDone);
        QCOMPARE(ReadAll(FPath), QByteArray("\xEF\xBB\xBF[Form]\r\nX=2\r\n"));
    }

    void everyReadGoesToTheFile() {
        WriteAll(FPath, "[Form]\r\nX=1\r\n");
        QCOMPARE(ReadProfileString(FPath, QStringLiteral("Form"), QStringLiteral("X"), Default),
                 QStringLiteral("1"));
        WriteAll(FPath, "[Form]\r\nX=2\r\n");
        QCOMPARE(ReadProfileString(FPath, QStringLiteral("Form"), QStringLiteral("X"), Default),
                 QStringLiteral("2"));
    }

    // Each row changes one key; the expected file is the original with one piece replaced
    // (an empty piece: appended at the end).
    void writeKeepsTheRestOfTheFile_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("oldPiece");
        QTest::addColumn<QByteArray>("newPiece");
        QTest::newRow("replace in place")
            << QStringLiteral("Form") << QStringLiteral("EditForm.X") << QStringLiteral("-4")
            << QByteArray("EditForm.X=10\r\n") << QByteArray("EditForm.X=-4\r\n");
        QTest::newRow("other case keeps the file's name")
            << QStringLiteral("FORM") << QStringLiteral("EDITFORM.Y") << QStringLiteral("30")
            << QByteArray("editform.y = 20 \r\n") << QByteArray("editform.y =30\r\n");
        QTest::newRow("CP932 line rewritten as UTF-8")
            << QStringLiteral("Folder") << QStringLiteral("Memo") << QStringLiteral("新しい値")
            << QByteArray("Memo=\x93\xfa\x96\x7b\x8c\xea\r\n")
            << QByteArray("Memo=") + QStringLiteral("新しい値").toUtf8() + "\r\n";
        QTest::newRow("CP932 name, line rewritten as UTF-8")
            << QStringLiteral("Folder") << QStringLiteral("名前") << QStringLiteral("新")
            << QByteArray("\x96\xbc\x91\x4f = \x92\x6c\r\n")
            << QStringLiteral("名前 =新\r\n").toUtf8();
        QTest::newRow("new key after the section's last key")
            << QStringLiteral("folder") << QStringLiteral("Opera") << QStringLiteral("/usr/bin")
            << QByteArray("Empty=\r\n") << QByteArray("Empty=\r\nOpera=/usr/bin\r\n");
        QTest::newRow("new key in the first of a repeated section")
            << QStringLiteral("Form") << QStringLiteral("EditForm.MaxX") << QStringLiteral("-1")
            << QByteArray("  EditForm.Show\t=\t1\r\n")
            << QByteArray("  EditForm.Show\t=\t1\r\nEditForm.MaxX=-1\r\n");
        QTest::newRow("key of the repeated section")
            << QStringLiteral("Form") << QStringLiteral("Later") << QStringLiteral("6")
            << QByteArray("Later=5\r\n") << QByteArray("Later=6\r\n");
        QTest::newRow("new section appended")
            << QStringLiteral("Browser") << QStringLiteral("Path") << QStringLiteral("a b")
            << QByteArray() << QByteArray("[Browser]\r\nPath=a b\r\n");
        QTest::newRow("character beyond the first plane")
            << QStringLiteral("Folder") << QStringLiteral("Memo") << QStringLiteral("𐀀𠀋")
            << QByteArray("Memo=\x93\xfa\x96\x7b\x8c\xea\r\n")
            << QByteArray("Memo=\xf0\x90\x80\x80\xf0\xa0\x80\x8b\r\n");
        QTest::newRow("blanks written as they are")
            << QStringLiteral("Folder") << QStringLiteral("FTP") << QStringLiteral(" x ")
            << QByteArray("FTP=  ffftp.exe -s  \r\n") << QByteArray("FTP= x \r\n");
    }
    void writeKeepsTheRestOfTheFile() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, oldPiece);
        QFETCH(QByteArray, newPiece);
        WriteAll(FPath, WindowsFile);
        QCOMPARE(WriteProfileString(FPath, section, key, value), pwDone);
        QByteArray expected = WindowsFile;
        if (oldPiece.isEmpty())
            expected.append(newPiece);
        else
            expected.replace(expected.indexOf(oldPiece), oldPiece.size(), newPiece);
        QCOMPARE(ReadAll(FPath), expected);
        QCOMPARE(ReadProfileString(FPath, section, key, Default), value.trimmed());
        // The untouched CP932 line still reads as it did beside the UTF-8 one.
        if (key != QStringLiteral("Memo"))
            QCOMPARE(
                ReadProfileString(FPath, QStringLiteral("Folder"), QStringLiteral("Memo"), Default),
                QStringLiteral("日本語"));
    }

    void writeKeepsTheFilesLineEnds_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("LF file, new key")
            << QByteArray("[A]\nX=1\n\n[B]\nY=2\n") << QStringLiteral("A")
            << QByteArray("[A]\nX=1\nK=v\n\n[B]\nY=2\n");
        QTest::newRow("LF file, new section") << QByteArray("[A]\nX=1\n") << QStringLiteral("C")
                                              << QByteArray("[A]\nX=1\n[C]\nK=v\n");
        QTest::newRow("last line without end, new key")
            << QByteArray("[A]\r\nX=1") << QStringLiteral("A")
            << QByteArray("[A]\r\nX=1\r\nK=v\r\n");
        QTest::newRow("last line ends in a lone CR")
            << QByteArray("[A]\nX=1\r") << QStringLiteral("A") << QByteArray("[A]\nX=1\r\nK=v\n");
        QTest::newRow("last line without end, new section")
            << QByteArray("[A]\nX=1") << QStringLiteral("C") << QByteArray("[A]\nX=1\n[C]\nK=v\n");
        QTest::newRow("new file") << QByteArray() << QStringLiteral("A")
                                  << QByteArray("[A]\r\nK=v\r\n");
        QTest::newRow("section without keys")
            << QByteArray("[A]\n; note\n[B]\n") << QStringLiteral("a")
            << QByteArray("[A]\nK=v\n; note\n[B]\n");
    }
    void writeKeepsTheFilesLineEnds() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QByteArray, after);
        if (!before.isEmpty())
            WriteAll(FPath, before);
        QCOMPARE(WriteProfileString(FPath, section, QStringLiteral("K"), QStringLiteral("v")),
                 pwDone);
        QCOMPARE(ReadAll(FPath), after);
    }

    void textTheLineFormatCannotHoldIsRefused_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QString s = QStringLiteral("Form"), k = QStringLiteral("EditForm.X");
        QTest::newRow("CR LF in value") << s << k << QStringLiteral("1\r\n[Evil]\r\nX=2");
        QTest::newRow("LF in value") << s << k << QStringLiteral("1\nY=2");
        QTest::newRow("zero in value") << s << k << QString::fromUtf16(u"a\0b", 3);
        QTest::newRow("equals sign in key") << s << QStringLiteral("a=b") << QStringLiteral("1");
        QTest::newRow("key read as section") << s << QStringLiteral("[x") << QStringLiteral("1");
        QTest::newRow("key read as comment") << s << QStringLiteral(";x") << QStringLiteral("1");
        QTest::newRow("blank-edged key") << s << QStringLiteral(" x") << QStringLiteral("1");
        QTest::newRow("empty key") << s << QString() << QStringLiteral("1");
        QTest::newRow("line break in section")
            << QStringLiteral("A\nB") << k << QStringLiteral("1");
        QTest::newRow("empty section") << QString() << k << QStringLiteral("1");
        // An undecodable byte kept from a file would go out raw and read back as other text.
        QTest::newRow("byte escape in value") << s << k << QString::fromUtf16(u"a\xDC85", 2);
        QTest::newRow("byte escape in key") << s << QString::fromUtf16(u"\xDC85", 1) << k;
    }
    void textTheLineFormatCannotHoldIsRefused() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        WriteAll(FPath, WindowsFile);
        QCOMPARE(WriteProfileString(FPath, section, key, value), pwBadText);
        QCOMPARE(ReadAll(FPath), WindowsFile);
    }

    void failedWriteLeavesEverythingAsItWas() {
        QCOMPARE(WriteProfileString(FDir.filePath(QStringLiteral("no/such/folder.ini")),
                                    QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("v")),
                 pwFailed);
        QVERIFY(!QFile::exists(FDir.filePath(QStringLiteral("no"))));
        QDir(FDir.path()).mkdir(QStringLiteral("folder.ini"));
        QCOMPARE(WriteProfileString(FDir.filePath(QStringLiteral("folder.ini")),
                                    QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("v")),
                 pwFailed);
        WriteAll(FPath, WindowsFile);
        QCOMPARE(WriteProfileString(FPath + QStringLiteral("/below"), QStringLiteral("A"),
                                    QStringLiteral("K"), QStringLiteral("v")),
                 pwFailed);
        QCOMPARE(ReadAll(FPath), WindowsFile);
    }

    void writeThroughALinkKeepsTheLink() {
        const QString target = FDir.filePath(QStringLiteral("real.ini"));
        WriteAll(target, "[A]\r\nK=1\r\n");
        QFile::remove(FPath);
        QVERIFY(QFile::link(target, FPath));
        QCOMPARE(WriteProfileString(FPath, QStringLiteral("A"), QStringLiteral("K"),
                                    QStringLiteral("2")),
                 pwDone);
        QVERIFY(QFileInfo(FPath).isSymLink());
        QCOMPARE(ReadAll(target), QByteArray("[A]\r\nK=2\r\n"));
        QFile::remove(FPath);
    }
};

QTEST_GUILESS_MAIN(TProfileTest)
#include "ProfileTest.moc"
