// The settings file component: where the file lives, fences, integers, window placements.

#include "components/IniGT.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <climits>

Q_DECLARE_METATYPE(TIniGTDefaultDir)
Q_DECLARE_METATYPE(TIniGTFence)

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

const QString Form = QStringLiteral("Form");
const QString Key = QStringLiteral("Key");

} // namespace

class TIniGTTest : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;
    QString FProgramDir;
    QString FConfigDir;

    QString Ini() const { return FProgramDir + QStringLiteral("/Quorveljs.ini"); }

    // The component as the frame sets it up.
    void SetUp(TIniGT& ini, TIniGTFence fence = fnNone) {
        ini.SetDefaultDir(ddApplication);
        ini.SetFileName(QStringLiteral("Quorveljs.ini"));
        ini.SetFence(fence);
    }

private Q_SLOTS:
    void initTestCase() {
        FConfigDir = FDir.filePath(QStringLiteral("config"));
        FProgramDir = FDir.filePath(QStringLiteral("program"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(FConfigDir));
        const QString runtime = FDir.filePath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }

    void init() {
        QDir(FProgramDir).removeRecursively();
        QDir(FConfigDir).removeRecursively();
        QDir().mkpath(FProgramDir);
        SetProgramFilePath(FProgramDir + QStringLiteral("/quorveljs"));
    }

    void cleanupTestCase() { SetProgramFilePath(QString()); }

    // Each row writes through the component and looks where the file went.
    void fileGoesWhereTheNameAndFolderSay_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<TIniGTDefaultDir>("defaultDir");
        QTest::addColumn<bool>("programFolderExists");
        QTest::addColumn<QString>("expected"); // below the temporary folder, or absolute
        QTest::newRow("program folder") << QStringLiteral("Quorveljs.ini") << ddApplication << true
                                        << QStringLiteral("program/Quorveljs.ini");
        QTest::newRow("program folder not writable")
            << QStringLiteral("Quorveljs.ini") << ddApplication << false
            << QStringLiteral("config/quorveljs/Quorveljs.ini");
        QTest::newRow("per-user configuration folder")
            << QStringLiteral("Quorveljs.ini") << ddWindows << true
            << QStringLiteral("config/Quorveljs.ini");
        QTest::newRow("name with a folder is kept")
            << QStringLiteral("%1/elsewhere.ini") << ddApplication << true
            << QStringLiteral("elsewhere.ini");
    }
    void fileGoesWhereTheNameAndFolderSay() {
        QFETCH(QString, fileName);
        QFETCH(TIniGTDefaultDir, defaultDir);
        QFETCH(bool, programFolderExists);
        QFETCH(QString, expected);
        if (!programFolderExists)
            QDir(FProgramDir).removeRecursively();
        TIniGT ini;
        ini.SetFileName(fileName.replace(QStringLiteral("%1"), FDir.path()));
        ini.SetDefaultDir(defaultDir);
        ini.WriteString(Form, Key, QStringLiteral("v"));
        const QString path = FDir.filePath(expected);
        QCOMPARE(ini.Path(), path);
        QCOMPARE(ReadAll(path), QByteArray("[Form]\r\nKey=v\r\n"));
    }

    // Installed from a package, the settings stay with the user even when root runs it.
    void installedProgramKeepsSettingsWithTheUser() {
        SetProgramFilePath(QStringLiteral("/usr/bin/quorveljs"));
        TIniGT ini;
        ini.SetFileName(QStringLiteral("Quorveljs.ini"));
        ini.SetDefaultDir(ddApplication);
        ini.WriteString(Form, Key, QStringLiteral("v"));
        QCOMPARE(ini.Path(), FDir.filePath(QStringLiteral("config/quorveljs/Quorveljs.ini")));
    }

    void bareNameWithoutDefaultDirIsInTheCurrentFolder() {
        const QString old = QDir::currentPath();
        QDir::setCurrent(FProgramDir);
        TIniGT ini;
        ini.SetDefaultDir(ddNone);
        ini.SetFileName(QStringLiteral("here.ini"));
        ini.WriteInteger(Form, Key, 7);
        QDir::setCurrent(old);
        QCOMPARE(ReadAll(FProgramDir + QStringLiteral("/here.ini")),
                 QByteArray("[Form]\r\nKey=7\r\n"));
    }

    void defaultNameFollowsTheProgram_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("expected");
        QTest::newRow("upper case with extension")
            << QStringLiteral("EDITOR.EXE") << QStringLiteral("Editor.ini");
        QTest::newRow("no extension")
            << QStringLiteral("quorveljs") << QStringLiteral("Quorveljs.ini");
        QTest::newRow("only the last extension goes")
            << QStringLiteral("my.Tool.exe") << QStringLiteral("My.tool.ini");
        QTest::newRow("first character not a letter")
            << QStringLiteral("1st.exe") << QStringLiteral("1st.ini");
    }
    void defaultNameFollowsTheProgram() {
        QFETCH(QString, program);
        QFETCH(QString, expected);
        SetProgramFilePath(FProgramDir + u'/' + program);
        TIniGT ini;
        ini.Loaded();
        ini.WriteInteger(Form, Key, 1);
        QVERIFY(QFile::exists(FProgramDir + u'/' + expected));
        TIniGT named;
        named.SetFileName(QStringLiteral("Own.ini"));
        named.Loaded();
        named.WriteInteger(Form, Key, 1);
        QVERIFY(QFile::exists(FProgramDir + QStringLiteral("/Own.ini")));
    }

    // Rows: the value as the file holds it (null: no key), the default, what ReadString gives.
    void fencesOnReading_data() {
        QTest::addColumn<TIniGTFence>("fence");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("defaultValue");
        QTest::addColumn<QString>("expected");
        const QByteArray corners = QStringLiteral("｢abc｣").toUtf8();
        const QByteArray cp932Corners = "\xA2\x61\x62\x63\xA3";
        auto row = [](const char* name, TIniGTFence fence, const QByteArray& stored,
                      const QString& expected) {
            QTest::newRow(name) << fence << stored << QString() << expected;
        };
        row("double quote: quotes in quotes", fnDoubleQuote, "\"\"abc\"\"", QStringLiteral("abc"));
        row("double quote: blanks kept", fnDoubleQuote, "\"  abc\"", QStringLiteral("  abc"));
        row("double quote: corners kept", fnDoubleQuote, corners, QStringLiteral("｢abc｣"));
        row("double quote: one quote", fnDoubleQuote, "\"", QStringLiteral("\""));
        row("parenthesis: corners", fnParenthesis, corners, QStringLiteral("abc"));
        row("parenthesis: CP932 corners", fnParenthesis, cp932Corners, QStringLiteral("abc"));
        row("parenthesis: quotes in quotes kept", fnParenthesis, "\"\"abc\"\"",
            QStringLiteral("\"abc\""));
        row("ver11: quotes", fnVer11Mode, "\"abc\"", QStringLiteral("abc"));
        row("ver11: corners", fnVer11Mode, corners, QStringLiteral("abc"));
        row("ver11: quotes in quotes", fnVer11Mode, "\"\"abc\"\"", QStringLiteral("abc"));
        row("ver11: one corner", fnVer11Mode, QStringLiteral("｢").toUtf8(), QStringLiteral("｢"));
        row("ver11: crossed enclosures kept", fnVer11Mode, QStringLiteral("｢abc\"").toUtf8(),
            QStringLiteral("｢abc\""));
        row("none: corners kept", fnNone, corners, QStringLiteral("｢abc｣"));
        row("none: quotes in quotes", fnNone, "\"\"abc\"\"", QStringLiteral("\"abc\""));
        row("none: blanks dropped", fnNone, "  abc  ", QStringLiteral("abc"));
        row("ver11: two corners only", fnVer11Mode, QStringLiteral("｢｣").toUtf8(), QString());
        QTest::newRow("default through a fence")
            << fnVer11Mode << QByteArray() << QStringLiteral(" d ") << QStringLiteral(" d ");
        QTest::newRow("default through no fence")
            << fnNone << QByteArray() << QStringLiteral("｢d｣") << QStringLiteral("｢d｣");
        QTest::newRow("default through quotes")
            << fnDoubleQuote << QByteArray() << QStringLiteral("\"") << QStringLiteral("\"");
    }
    void fencesOnReading() {
        QFETCH(TIniGTFence, fence);
        QFETCH(QByteArray, stored);
        QFETCH(QString, defaultValue);
        QFETCH(QString, expected);
        if (!stored.isNull())
            WriteAll(Ini(), "[Form]\r\nKey=" + stored + "\r\n");
        TIniGT ini;
        SetUp(ini, fence);
        QCOMPARE(ini.ReadString(Form, Key, defaultValue), expected);
    }

    void fencesOnWriting_data() {
        QTest::addColumn<TIniGTFence>("fence");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("readBack");
        const QString padded = QStringLiteral("  a b  ");
        QTest::newRow("double quote")
            << fnDoubleQuote << padded << QByteArray("Key=\"  a b  \"") << padded;
        QTest::newRow("parenthesis")
            << fnParenthesis << padded << QStringLiteral("Key=｢  a b  ｣").toUtf8() << padded;
        QTest::newRow("ver11") << fnVer11Mode << padded << QStringLiteral("Key=｢  a b  ｣").toUtf8()
                               << padded;
        QTest::newRow("none") << fnNone << padded << QByteArray("Key=  a b  ")
                              << QStringLiteral("a b");
        QTest::newRow("ver11, value in quotes")
            << fnVer11Mode << QStringLiteral("\"q\"") << QStringLiteral("Key=｢\"q\"｣").toUtf8()
            << QStringLiteral("\"q\"");
    }
    void fencesOnWriting() {
        QFETCH(TIniGTFence, fence);
        QFETCH(QString, value);
        QFETCH(QByteArray, line);
        QFETCH(QString, readBack);
        TIniGT ini;
        SetUp(ini, fence);
        ini.WriteString(Form, Key, value);
        QCOMPARE(ReadAll(Ini()), "[Form]\r\n" + line + "\r\n");
        QCOMPARE(ini.ReadString(Form, Key, QStringLiteral("<default>")), readBack);
    }

    void readInteger_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("expected");
        const int d = 77;
        QTest::newRow("hexadecimal") << QByteArray("0x1F") << 31;
        QTest::newRow("hexadecimal, capital X") << QByteArray("0X1f") << 31;
        QTest::newRow("trailing letters") << QByteArray("12abc") << d;
        QTest::newRow("empty") << QByteArray("") << d;
        QTest::newRow("negative") << QByteArray("-5") << -5;
        QTest::newRow("plus sign") << QByteArray("+7") << 7;
        QTest::newRow("blanks around") << QByteArray("  42  ") << 42;
        QTest::newRow("in quotes") << QByteArray("\"12\"") << 12;
        QTest::newRow("0x alone") << QByteArray("0x") << d;
        QTest::newRow("bad hexadecimal digit") << QByteArray("0x1G") << d;
        QTest::newRow("all bits") << QByteArray("0xFFFFFFFF") << -1;
        QTest::newRow("too many hexadecimal digits") << QByteArray("0x100000000") << d;
        QTest::newRow("largest") << QByteArray("2147483647") << INT_MAX;
        QTest::newRow("smallest") << QByteArray("-2147483648") << INT_MIN;
        QTest::newRow("too large") << QByteArray("2147483648") << d;
        QTest::newRow("far too large") << QByteArray("99999999999999999999999") << d;
        QTest::newRow("sign alone") << QByteArray("-") << d;
        QTest::newRow("full-width digits") << QStringLiteral("１２").toUtf8() << d;
        QTest::newRow("decimal point") << QByteArray("1.5") << d;
        QTest::newRow("missing") << QByteArray() << d;
    }
    void readInteger() {
        QFETCH(QByteArray, stored);
        QFETCH(int, expected);
        if (!stored.isNull())
            WriteAll(Ini(), "[Form]\r\nKey=" + stored + "\r\n");
        TIniGT ini;
        SetUp(ini, fnDoubleQuote);
        QCOMPARE(ini.ReadInteger(Form, Key, 77), expected);
    }

    void integersIgnoreTheFence() {
        TIniGT ini;
        SetUp(ini, fnDoubleQuote);
        ini.WriteInteger(Form, Key, -12);
        QCOMPARE(ReadAll(Ini()), QByteArray("[Form]\r\nKey=-12\r\n"));
        QCOMPARE(ini.ReadInteger(Form, Key, 0), -12);
    }

    void failedWriteRaisesWithThePath() {
        WriteAll(FDir.filePath(QStringLiteral("plain")), "x");
        TIniGT ini;
        ini.SetFileName(FDir.filePath(QStringLiteral("plain/Quorveljs.ini")));
        try {
            ini.WriteString(Form, Key, QStringLiteral("v"));
            QFAIL("no error raised");
        } catch (const EQuorvelError& e) {
            QCOMPARE(e.Message(), ini.Path() + QStringLiteral(" に書き込めません"));
        }
    }

    void valueWithALineBreakIsRefusedAndNothingChanges() {
        WriteAll(Ini(), "[Folder]\r\nFTP=ftp\r\n");
        TIniGT ini;
        SetUp(ini);
        try {
            ini.WriteString(QStringLiteral("Folder"), QStringLiteral("FTP"),
                            QStringLiteral("ftp\r\n[Form]\r\nEditForm.X=0"));
            QFAIL("no error raised");
        } catch (const EQuorvelError& e) {
            QVERIFY(e.Message().startsWith(Ini() + QStringLiteral(" に書き込めません\n")));
        }
        QCOMPARE(ReadAll(Ini()), QByteArray("[Folder]\r\nFTP=ftp\r\n"));
    }

    // The record is the whole window with its frame (the platform puts a frame around windows
    // too); restored, the window's own area comes back where it was, and stored again, the
    // record is the same.
    void placementRoundTrip() {
        TIniGT ini;
        SetUp(ini);
        QRect frame;
        {
            QWidget window;
            window.setGeometry(110, 120, 300, 200);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            frame = window.frameGeometry();
            QVERIFY(frame.contains(window.geometry()) && frame != window.geometry());
            ini.SaveFormPlacement(Form, QStringLiteral("EditForm"), &window);
        }
        const QByteArray record = "[Form]\r\n"
                                  "EditForm.Flags=0\r\n"
                                  "EditForm.Show=1\r\n"
                                  "EditForm.MaxX=-1\r\n"
                                  "EditForm.MaxY=-1\r\n"
                                  "EditForm.X=" +
                                  QByteArray::number(frame.x()) +
                                  "\r\n"
                                  "EditForm.Y=" +
                                  QByteArray::number(frame.y()) +
                                  "\r\n"
                                  "EditForm.XSize=" +
                                  QByteArray::number(frame.x() + frame.width()) +
                                  "\r\n"
                                  "EditForm.YSize=" +
                                  QByteArray::number(frame.y() + frame.height()) + "\r\n";
        QCOMPARE(ReadAll(Ini()), record);
        QWidget restored;
        restored.setGeometry(5, 5, 50, 50);
        ini.LoadFormPlacement(Form, QStringLiteral("EditForm"), &restored);
        restored.show();
        QVERIFY(QTest::qWaitForWindowExposed(&restored));
        QTRY_COMPARE(restored.geometry(), QRect(110, 120, 300, 200));
        QCOMPARE(restored.frameGeometry(), frame);
        QCOMPARE(restored.windowState(), Qt::WindowNoState);
        ini.SaveFormPlacement(Form, QStringLiteral("EditForm"), &restored);
        QCOMPARE(ReadAll(Ini()), record);
    }

    void maximisedPlacementKeepsTheNormalRectangle() {
        TIniGT ini;
        SetUp(ini);
        QRect frame;
        {
            QWidget window;
            window.setGeometry(60, 70, 320, 240);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            frame = window.frameGeometry();
            window.showMaximized();
            QTRY_VERIFY(window.isMaximized());
            ini.SaveFormPlacement(Form, QStringLiteral("SelCodeForm"), &window);
        }
        QCOMPARE(ini.ReadInteger(Form, QStringLiteral("SelCodeForm.Show"), 0), 3);
        // The right edge of the normal window's frame.
        QCOMPARE(ini.ReadInteger(Form, QStringLiteral("SelCodeForm.XSize"), 0),
                 frame.x() + frame.width());
        QWidget restored;
        ini.LoadFormPlacement(Form, QStringLiteral("SelCodeForm"), &restored);
        restored.show();
        QVERIFY(QTest::qWaitForWindowExposed(&restored));
        QTRY_VERIFY(restored.isMaximized());
        restored.showNormal();
        QTRY_COMPARE(restored.geometry(), QRect(60, 70, 320, 240));
    }

    void placementWrittenOnWindows() {
        WriteAll(Ini(), "[Form]\r\n"
                        "SettingForm.Flags=0\r\n"
                        "SettingForm.Show=1\r\n"
                        "SettingForm.MaxX=-8\r\n"
                        "SettingForm.MaxY=-8\r\n"
                        "SettingForm.X=50\r\n"
                        "SettingForm.Y=60\r\n"
                        "SettingForm.XSize=450\r\n"
                        "SettingForm.YSize=360\r\n");
        TIniGT ini;
        SetUp(ini);
        QWidget window;
        window.setGeometry(5, 5, 100, 100);
        ini.LoadFormPlacement(QStringLiteral("form"), QStringLiteral("settingform"), &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The record written there is the whole window, its frame included.
        QTRY_COMPARE(window.frameGeometry(), QRect(50, 60, 400, 300));
        QVERIFY(window.geometry() != window.frameGeometry());
    }

    // Rows: the keys the file has and the window's whole rectangle with its frame after them; it
    // starts with its frame at (100, 100, 200, 150).
    void partialPlacementChangesOnlyItsFields_data() {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QRect>("expected");
        QTest::addColumn<bool>("maximised");
        QTest::newRow("left edge only")
            << QByteArray("P.X=40\r\n") << QRect(40, 100, 260, 150) << false;
        QTest::newRow("right and bottom edges")
            << QByteArray("P.XSize=500\r\nP.YSize=400\r\n") << QRect(100, 100, 400, 300) << false;
        QTest::newRow("show state only")
            << QByteArray("P.Show=3\r\n") << QRect(100, 100, 200, 150) << true;
        QTest::newRow("damaged: right of left edge")
            << QByteArray("P.XSize=50\r\n") << QRect(100, 100, 200, 150) << false;
        QTest::newRow("damaged: not a number")
            << QByteArray("P.X=abc\r\nP.Y=\r\n") << QRect(100, 100, 200, 150) << false;
        // Moved onto the nearest screen, as far as it takes: to its right edge.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::newRow("off every screen")
            << QByteArray("P.X=90000\r\nP.XSize=90200\r\n")
            << QRect(screen.right() + 1 - 200, 100, 200, 150) << false;
    }
    void partialPlacementChangesOnlyItsFields() {
        QFETCH(QByteArray, keys);
        QFETCH(QRect, expected);
        QFETCH(bool, maximised);
        WriteAll(Ini(), "[Form]\r\n" + keys);
        TIniGT ini;
        SetUp(ini);
        QWidget window;
        window.setGeometry(100, 100, 200, 150);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect frame = window.frameGeometry(), own = window.geometry();
        window.setGeometry(QRect(own.left() + 100 - frame.left(), own.top() + 100 - frame.top(),
                                 own.width() + 200 - frame.width(),
                                 own.height() + 150 - frame.height()));
        QTRY_COMPARE(window.frameGeometry(), QRect(100, 100, 200, 150));
        ini.LoadFormPlacement(Form, QStringLiteral("P"), &window);
        QTRY_COMPARE(window.isMaximized(), maximised);
        if (maximised)
            window.showNormal();
        QTRY_COMPARE(window.frameGeometry(), expected);
    }

    void dockedWindowKeepsItsPlaceInTheLayout() {
        WriteAll(Ini(), "[Form]\r\nP.X=300\r\nP.Y=300\r\nP.XSize=400\r\nP.YSize=400\r\n");
        TIniGT ini;
        SetUp(ini);
        QWidget frame;
        frame.setGeometry(20, 30, 400, 300);
        auto* docked = new QWidget(&frame);
        docked->setGeometry(0, 200, 400, 100);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        ini.LoadFormPlacement(Form, QStringLiteral("P"), docked);
        QCOMPARE(docked->geometry(), QRect(0, 200, 400, 100));
        ini.SaveFormPlacement(Form, QStringLiteral("Q"), docked);
        const QPoint onScreen = docked->mapToGlobal(QPoint(0, 0));
        QCOMPARE(ini.ReadInteger(Form, QStringLiteral("Q.X"), -1), onScreen.x());
        QCOMPARE(ini.ReadInteger(Form, QStringLiteral("Q.YSize"), -1), onScreen.y() + 100);
    }

    void minimisedFromMaximised() {
        WriteAll(Ini(), "[Form]\r\nP.Flags=2\r\nP.Show=2\r\n");
        TIniGT ini;
        SetUp(ini);
        QWidget window;
        ini.LoadFormPlacement(Form, QStringLiteral("P"), &window);
        QCOMPARE(window.windowState(), Qt::WindowMinimized | Qt::WindowMaximized);
        TIniGT again;
        SetUp(again);
        again.SaveFormPlacement(Form, QStringLiteral("Q"), &window);
        QCOMPARE(again.ReadInteger(Form, QStringLiteral("Q.Flags"), -1), 2);
        QCOMPARE(again.ReadInteger(Form, QStringLiteral("Q.Show"), -1), 2);
    }
};

QTEST_MAIN(TIniGTTest)
#include "IniGTTest.moc"
