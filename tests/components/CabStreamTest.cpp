// The favourites file: a file laid out byte by byte as earlier versions wrote it is read; what we
// write has that layout and reads back equal; damaged files of every kind are refused with the
// program's message and never read past their end.

#include "components/CabStream.h"
#include "platform/Error.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Builds a file by hand, one value at a time.
struct TBytes {
    QByteArray B;
    TBytes& Byte(int b) {
        B.append(char(b));
        return *this;
    }
    TBytes& Word(int w) { return Byte(w & 0xFF).Byte(w >> 8 & 0xFF); }
    TBytes& Long(uint32_t l) { return Word(int(l & 0xFFFF)).Word(int(l >> 16)); }
    TBytes& Short(QByteArrayView s) {
        Byte(int(s.size()));
        B.append(s);
        return *this;
    }
    TBytes& Name(QByteArrayView name) { return Short(name); }
    TBytes& Str(QByteArrayView s) { return Byte(6).Short(s); }
    TBytes& Ident(QByteArrayView s) { return Byte(7).Short(s); }
    TBytes& Int8(int v) { return Byte(2).Byte(v & 0xFF); }
    TBytes& Int16(int v) { return Byte(3).Word(v & 0xFFFF); }
    TBytes& Int32(uint32_t v) { return Byte(4).Long(v); }
};

// The resource record around a component stream.
QByteArray InResource(const QByteArray& stream) {
    TBytes r;
    r.Byte(0xFF).Word(10);
    r.B.append("TCABOPENDIALOG");
    r.Byte(0).Word(0x1030).Long(uint32_t(stream.size()));
    return r.B + stream;
}

TBytes StreamStart() {
    TBytes s;
    s.B.append("TPF0");
    s.Short("TCabOpenDialog").Short("CabOpenDialog1");
    return s;
}

// "日本語" and "お気に入り" in Shift-JIS.
const QByteArray Nihongo("\x93\xfa\x96\x7b\x8c\xea");
const QByteArray Okiniiri("\x82\xa8\x8b\x43\x82\xc9\x93\xfc\x82\xe8");

// A file with every setting present, items of both forms and settings this program skips.
QByteArray FullFile() {
    TBytes s = StreamStart();
    s.Name("Ctl3D").Byte(8);
    s.Name("HelpContext").Int16(300);
    s.Name("DefaultExt").Str("txt");
    s.Name("FileName").Str("C:\\web\\" + Nihongo + ".html");
    s.Name("Filter").Str("html|*.htm*|all|*.*");
    s.Name("FilterIndex").Int8(2);
    s.Name("InitialDir").Str("/web");
    s.Name("Options").Byte(11).Short("ofFileMustExist").Short("ofEnableSizing").Short("");
    s.Name("Title").Str(Okiniiri);
    s.Name("AutoFocusChange").Byte(9);
    s.Name("Color").Ident("clWhite");
    s.Name("ImageList").Ident("ImageList1");
    s.Name("Items").Byte(14);
    s.Byte(1).Name("ImageIndex").Int8(34).Name("RootFolder").Ident("rfDesktop").Byte(0);
    // An item that carries its place first, and its values in another order.
    s.Int8(1).Byte(1).Name("Caption").Str(Okiniiri).Name("RootFolder").Ident("rfMyDocument");
    s.Name("FolderPath").Str("web/" + Nihongo).Name("ImageIndex").Int16(1000).Byte(0);
    s.Byte(0);
    s.Name("Left").Int16(400);
    s.Name("Top").Int8(8);
    s.Name("OnClose").Ident("CabOpenDialog1Close");
    s.Byte(0).Byte(0);
    return InResource(s.B);
}

TCabSettings FullSettings() {
    TCabSettings s;
    s.Ctl3D = false;
    s.HelpContext = 300;
    s.DefaultExt = QStringLiteral("txt");
    s.FileName = QStringLiteral("C:\\web\\日本語.html");
    s.Filter = QStringLiteral("html|*.htm*|all|*.*");
    s.FilterIndex = 2;
    s.InitialDir = QStringLiteral("/web");
    s.Options = ofFileMustExist | ofEnableSizing;
    s.Title = QStringLiteral("お気に入り");
    s.AutoFocusChange = true;
    s.Color = clWhite;
    s.Items = {{QString(), QString(), 34, rfDesktop},
               {QStringLiteral("お気に入り"), QStringLiteral("web/日本語"), 1000, rfMyDocument}};
    s.Left = 400;
    s.Top = 8;
    return s;
}

// Reading must either succeed or refuse with the program's message.
bool Refused(QByteArrayView bytes) {
    try {
        ReadCabStream(bytes, TCabSettings());
        return false;
    } catch (const EQuorvelError& e) {
        if (e.Message() != BadStreamMessage())
            qWarning() << "other message:" << e.Message();
        return e.Message() == BadStreamMessage();
    }
}

} // namespace

Q_DECLARE_METATYPE(TCabSettings)

class TCabStreamTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsTheFullLayout() {
        QCOMPARE(ReadCabStream(FullFile(), TCabSettings()), FullSettings());
    }

    void readsOverTheDialogsSettings() {
        // Only what the file holds changes; its list replaces the dialog's.
        TCabSettings start;
        start.Filter = QStringLiteral("keep|*");
        start.Items = {{QStringLiteral("old"), QStringLiteral("/old"), 3, rfCurrent}};
        TBytes s = StreamStart();
        s.Name("DefaultExt").Str("js").Name("Items").Byte(14).Byte(0).Byte(0).Byte(0);
        const TCabSettings read = ReadCabStream(InResource(s.B), start);
        QCOMPARE(read.Filter, start.Filter);
        QCOMPARE(read.DefaultExt, QStringLiteral("js"));
        QVERIFY(read.Items.isEmpty());
    }

    void writesTheLayoutOfEarlierVersions() {
        // The frame's dialog: only the items differ from the defaults, so only they and the
        // place on the form are written.
        TCabSettings settings;
        settings.Items = {{QStringLiteral("お気に入り"), QStringLiteral("/web"), 4, rfCurrent},
                          {QString(), QString(), 0, rfDesktop}};
        settings.Left = 300;
        settings.Top = 8;
        TBytes s = StreamStart();
        s.Name("Items").Byte(14);
        s.Byte(1).Name("ImageIndex").Int8(4).Name("FolderPath").Str("/web");
        s.Name("RootFolder").Ident("rfCurrent").Name("Caption").Str(Okiniiri).Byte(0);
        s.Byte(1).Name("ImageIndex").Int8(0).Name("RootFolder").Ident("rfDesktop").Byte(0);
        s.Byte(0);
        s.Name("Left").Int16(300).Name("Top").Int8(8).Byte(0).Byte(0);
        QCOMPARE(WriteCabStream(settings), InResource(s.B));
    }

    void writesEverySettingInOrder() {
        TBytes s = StreamStart();
        s.Name("Ctl3D").Byte(8);
        s.Name("HelpContext").Int16(300);
        s.Name("DefaultExt").Str("txt");
        s.Name("FileName").Str("C:\\web\\" + Nihongo + ".html");
        s.Name("Filter").Str("html|*.htm*|all|*.*");
        s.Name("FilterIndex").Int8(2);
        s.Name("InitialDir").Str("/web");
        s.Name("Options").Byte(11).Short("ofFileMustExist").Short("ofEnableSizing").Short("");
        s.Name("Title").Str(Okiniiri);
        s.Name("AutoFocusChange").Byte(9);
        s.Name("Color").Ident("clWhite");
        s.Name("Items").Byte(14);
        s.Byte(1).Name("ImageIndex").Int8(34).Name("RootFolder").Ident("rfDesktop").Byte(0);
        s.Byte(1).Name("ImageIndex").Int16(1000).Name("FolderPath").Str("web/" + Nihongo);
        s.Name("RootFolder").Ident("rfMyDocument").Name("Caption").Str(Okiniiri).Byte(0);
        s.Byte(0);
        s.Name("Left").Int16(400).Name("Top").Int8(8).Byte(0).Byte(0);
        QCOMPARE(WriteCabStream(FullSettings()), InResource(s.B));
    }

    void readsBackWhatItWrites_data() {
        QTest::addColumn<TCabSettings>("settings");
        QTest::newRow("defaults") << TCabSettings();
        QTest::newRow("full") << FullSettings();
        TCabSettings s;
        s.Color = 0x123456;
        s.HelpContext = -1;
        s.FilterIndex = 100000;
        s.Options = {};
        // Longer than 255 bytes, and names Shift-JIS cannot hold.
        s.FileName = QString(300, u'a');
        s.Items = {{QStringLiteral("한국어"), QStringLiteral("/home/ü/€"), -70000, rfNetwork},
                   {QString(), QString(), 0, rfApplication},
                   {QStringLiteral("x"), QStringLiteral("y"), 1, rfInitialDir},
                   {QStringLiteral("x"), QStringLiteral("y"), 2, rfMyComputer}};
        s.Left = -5;
        s.Top = 70000;
        QTest::newRow("unusual values") << s;
        s.Color = clBtnFace;
        QTest::newRow("system colour") << s;
        // Read from "\xEA\xFA\x54": a lead byte without its trail, then "￢" in its second form,
        // whose usual form 81 CA would pair with that lead byte.
        s.Title = QString::fromUtf16(u"\xDCEA\xFFE2", 2);
        QTest::newRow("undecodable lead byte before a character") << s;
    }

    void readsBackWhatItWrites() {
        QFETCH(TCabSettings, settings);
        QCOMPARE(ReadCabStream(WriteCabStream(settings), TCabSettings()), settings);
    }

    void refusesDamagedFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = FullFile();
        auto changed = [&](qsizetype at, char c) {
            QByteArray b = good;
            b[at] = c;
            return b;
        };
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no resource mark") << changed(0, 0x00);
        QTest::newRow("not data") << changed(1, 0x0B);
        QTest::newRow("name without end") << good.left(12);
        QTest::newRow("no TPF0") << changed(24, 'X');
        QTest::newRow("text file") << QByteArray("[Folder]\r\nA=1\r\n");
        TBytes s = StreamStart();
        s.Name("FilterIndex").Str("2").Byte(0).Byte(0);
        QTest::newRow("string for an integer") << InResource(s.B);
        s = StreamStart();
        s.Name("Items").Byte(14).Byte(1).Name("RootFolder").Ident("rfMoon").Byte(0).Byte(0);
        QTest::newRow("unknown root") << InResource(s.B);
        s = StreamStart();
        s.Name("Tag").Byte(99).Byte(0).Byte(0);
        QTest::newRow("unknown value type") << InResource(s.B);
        s = StreamStart();
        s.Name("Title").Byte(12).Long(0xFFFFFFF0).B.append("abc");
        QTest::newRow("length past the end") << InResource(s.B);
        s = StreamStart();
        s.Name("Title").Byte(18).Long(0x7FFFFFFF).B.append("ab");
        QTest::newRow("wide length past the end") << InResource(s.B);
        s = StreamStart();
        s.Name("Tag").B.append(QByteArray(100000, '\x01'));
        QTest::newRow("lists nested without end") << InResource(s.B);
        s = StreamStart();
        s.Byte(0).Short("Child");
        QTest::newRow("a child component") << InResource(s.B);
    }

    void refusesDamagedFiles() {
        QFETCH(QByteArray, bytes);
        QVERIFY(Refused(bytes));
    }

    void refusesEveryTruncation() {
        const QByteArray good = FullFile();
        for (qsizetype n = 0; n < good.size(); ++n) {
            // A copy of exactly n bytes, so that the sanitizer sees any read past it.
            const std::unique_ptr<char[]> copy(new char[size_t(std::max<qsizetype>(n, 1))]);
            memcpy(copy.get(), good.constData(), size_t(n));
            QVERIFY2(Refused(QByteArrayView(copy.get(), n)), qPrintable(QString::number(n)));
        }
    }

    void damagedBytesNeverCrash() {
        // Random damage either still reads or is refused with the message.
        QRandomGenerator random(20240611);
        const QByteArray good = FullFile();
        for (int round = 0; round < 3000; ++round) {
            QByteArray b = good;
            const int changes = 1 + int(random.bounded(4));
            for (int c = 0; c < changes; ++c)
                b[random.bounded(int(b.size()))] = char(random.bounded(256));
            if (random.bounded(4) == 0)
                b.truncate(random.bounded(int(b.size())));
            const std::unique_ptr<char[]> copy(new char[size_t(b.size()) + 1]);
            memcpy(copy.get(), b.constData(), size_t(b.size()));
            try {
                ReadCabStream(QByteArrayView(copy.get(), b.size()), TCabSettings());
            } catch (const EQuorvelError& e) {
                QCOMPARE(e.Message(), BadStreamMessage());
            }
        }
    }

    void filesOnDisk() {
        QTemporaryDir folder;
        QWidget owner;
        TCabOpenDialog written(&owner);
        written.SetSettings(FullSettings());
        // The folder of the settings may not exist yet.
        const QString path = folder.filePath(QStringLiteral("config/GoFolder.fol"));
        SaveCabDialog(written, path);
        TCabOpenDialog read(&owner);
        LoadCabDialog(read, path);
        QCOMPARE(read.Settings(), FullSettings());

        const QString blocked = folder.filePath(QStringLiteral("file/GoFolder.fol"));
        QFile file(folder.filePath(QStringLiteral("file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        try {
            SaveCabDialog(written, blocked);
            QFAIL("no error raised");
        } catch (const EQuorvelError& e) {
            QCOMPARE(e.Message(), QStringLiteral("ファイル %1 を作成できません").arg(blocked));
        }
    }
};

QTEST_MAIN(TCabStreamTest)
#include "CabStreamTest.moc"
