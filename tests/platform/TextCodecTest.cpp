// Detection, decoding and encoding of the encodings the editor reads and writes.

#include "platform/TextCodec.h"
#include "platform/CharacterDecoding.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

struct TDecoded {
    QString Text;
    TDecodeResult Result;
};

TDecoded Decode(const QByteArray& bytes, TTextEncoding encoding) {
    TStringSink sink;
    TDecodeResult r = DecodeText(bytes, encoding, sink);
    return {sink.Text, r};
}

// Encodes as a save does: exceptions replace the stretches they cover.
QByteArray Reencode(const TDecoded& d, TTextEncoding encoding) {
    TTextEncoder encoder(encoding, d.Result.PreferredForms);
    QByteArray out = encoder.Bom();
    qsizetype pos = 0;
    for (const TByteException& e : d.Result.Exceptions) {
        if (encoder.Encode(QStringView(d.Text).mid(pos, e.Pos - pos), out))
            return "<unencodable>";
        encoder.Flush(out);
        out.append(e.Bytes);
        pos = e.Pos + e.Length;
    }
    if (encoder.Encode(QStringView(d.Text).mid(pos), out))
        return "<unencodable>";
    encoder.Flush(out);
    return out;
}

const TTextEncoding AllEncodings[] = {teUtf8,      teUtf8Bom, teUtf16LE, teUtf16BE,
                                      teIso2022Jp, teEucJp,   teCp932};

QByteArray WithBom(TTextEncoding e, const QByteArray& body) {
    TTextEncoder encoder(e, {});
    return encoder.Bom() + body;
}

} // namespace

class TTextCodecTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void Detect_data();
    void Detect();
    void JapaneseSamples_data();
    void JapaneseSamples();
    void EveryByteSurvives();
    void RandomBytesSurvive();
    void CharactersAloneDecodeAlike_data();
    void CharactersAloneDecodeAlike();
    void DualFormsKeepTheFilesChoice();
    void TypedDualCharacterTakesTheFilesForm();
    void UnencodableCharacterIsReported();
    void LineEnds_data();
    void LineEnds();
};

void TTextCodecTest::Detect_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const QString japanese = QStringLiteral("日本語のテキスト、かな ①㈱～");
    auto enc = [&](TTextEncoding e) {
        QByteArray out;
        EncodeString(japanese, e, {}, out);
        return out;
    };
    QTest::newRow("empty") << QByteArray() << "UTF-8";
    QTest::newRow("ascii") << QByteArray("var a = 1;\r\n") << "UTF-8";
    QTest::newRow("utf8") << japanese.toUtf8() << "UTF-8";
    QTest::newRow("utf8 bom") << QByteArray("\xEF\xBB\xBF") + japanese.toUtf8() << "UTF-8-BOM";
    QTest::newRow("utf16le") << WithBom(teUtf16LE, enc(teUtf16LE)) << "UTF-16LE";
    QTest::newRow("utf16be") << WithBom(teUtf16BE, enc(teUtf16BE)) << "UTF-16BE";
    QTest::newRow("cp932") << enc(teCp932) << "CP932";
    QTest::newRow("euc-jp") << enc(teEucJp) << "EUC-JP";
    QTest::newRow("iso-2022-jp") << enc(teIso2022Jp) << "ISO-2022-JP";
    QTest::newRow("cp932 halfwidth kana") << QByteArray("\xB1\xB2\xB3 \x82\xA0") << "CP932";
    QTest::newRow("utf8 cut in the middle of a character")
        << (japanese.repeated(20).toUtf8().chopped(1)) << "UTF-8";
    QTest::newRow("cp932 that happens to hold one utf8 sequence")
        << QByteArray("\x82\xA0\xE3\x81\x82\x82\xA2\x82\xA4") << "CP932";
    QTest::newRow("odd length after utf16 bom is not utf16")
        << QByteArray("\xFF\xFE\x41") << "CP932";
}

void TTextCodecTest::Detect() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(EncodingName(DetectEncoding(bytes)), expected);
}

void TTextCodecTest::JapaneseSamples_data() {
    QTest::addColumn<int>("encoding");
    for (TTextEncoding e : AllEncodings)
        QTest::newRow(qPrintable(EncodingName(e))) << int(e);
}

void TTextCodecTest::JapaneseSamples() {
    QFETCH(int, encoding);
    auto e = TTextEncoding(encoding);
    QString sample = QStringLiteral("<script>\r\n// 漢字かなカナｶﾅ、。「」\nalert('①㈱～');\r"
                                    "document.write(\"髙﨑\");\r\n");
    if (e == teIso2022Jp) // no NEC or IBM extensions in ISO-2022-JP
        sample = QStringLiteral("漢字かなカナ、。「」\r\nalert('x');\n");
    QByteArray bytes;
    QVERIFY(!EncodeString(sample, e, {}, bytes));
    bytes = WithBom(e, bytes);
    TDecoded d = Decode(bytes, e);
    QCOMPARE(d.Text, sample);
    QCOMPARE(d.Result.EscapedBytes, 0);
    QCOMPARE(Reencode(d, e), bytes);
    if (e != teUtf8)
        QCOMPARE(DetectEncoding(bytes), e);
}

// Every single byte value, alone and between ASCII, survives decoding and encoding in every
// encoding; bytes that do not decode come back from escapes.
void TTextCodecTest::EveryByteSurvives() {
    for (TTextEncoding e : AllEncodings) {
        for (int b = 0; b < 256; ++b) {
            for (QByteArray body : {QByteArray(1, char(b)), "a" + QByteArray(1, char(b)) + "z\n"}) {
                QByteArray bytes = WithBom(e, body);
                TDecoded d = Decode(bytes, e);
                if (Reencode(d, e) != bytes)
                    QFAIL(qPrintable(QStringLiteral("%1: byte %2 in %3 changed")
                                         .arg(EncodingName(e))
                                         .arg(b, 2, 16, QLatin1Char('0'))
                                         .arg(QString::fromLatin1(body.toHex()))));
            }
        }
    }
}

void TTextCodecTest::RandomBytesSurvive() {
    QRandomGenerator random(20261208);
    for (int round = 0; round < 3000; ++round) {
        QByteArray body(random.bounded(1, 64), Qt::Uninitialized);
        for (char& c : body) {
            // Bias towards the bytes that matter: escapes, line ends, lead and trail bytes.
            int kind = random.bounded(4);
            c = char(kind == 0   ? random.bounded(256)
                     : kind == 1 ? "\r\n\x1b$(B@J"[random.bounded(8)]
                     : kind == 2 ? random.bounded(0x80, 0x100)
                                 : random.bounded(0x20, 0x7F));
        }
        TTextEncoding e = AllEncodings[round % std::size(AllEncodings)];
        QByteArray bytes = WithBom(e, body);
        TDecoded d = Decode(bytes, e);
        if (Reencode(d, e) != bytes)
            QFAIL(qPrintable(QStringLiteral("%1: %2 changed")
                                 .arg(EncodingName(e), QString::fromLatin1(bytes.toHex(' ')))));
        // Whatever detection picks also round-trips.
        TTextEncoding detected = DetectEncoding(bytes);
        QCOMPARE(Reencode(Decode(bytes, detected), detected), bytes);
    }
}

// The quick decoding of text that is only read gives the characters of the full decoding: every
// code of the tables, then seeded random bytes around them.
void TTextCodecTest::CharactersAloneDecodeAlike_data() {
    QTest::addColumn<TTextEncoding>("encoding");
    QTest::addColumn<QByteArray>("bytes");
    QByteArray euc, jis;
    for (int a = 0xA1; a <= 0xFE; ++a) {
        euc += "\x8E" + QByteArray(1, char(a)) + " ";
        jis += "\x1B$B";
        for (int b = 0xA1; b <= 0xFE; ++b) {
            euc += QByteArray(1, char(a)) + char(b) + "\x8F" + char(a) + char(b);
            jis += QByteArray(1, char(a - 0x80)) + char(b - 0x80);
        }
        euc += "\r\n";
        jis += "\x1B(B\r\n";
    }
    QTest::newRow("EUC-JP table") << teEucJp << euc;
    QTest::newRow("ISO-2022-JP table") << teIso2022Jp << jis;
    QRandomGenerator random(1208);
    for (int round = 0; round < 400; ++round) {
        const bool iso = round % 2;
        QByteArray bytes = iso ? jis.mid(random.bounded(jis.size() - 40), 40)
                               : euc.mid(random.bounded(euc.size() - 40), 40);
        for (int i = 0; i < 6; ++i)
            bytes.insert(random.bounded(bytes.size()),
                         iso ? "\x1B$B\x1B(B\x1B(J\x1B$@\r\n\x0E"[random.bounded(15)]
                             : char(random.bounded(256)));
        QTest::addRow("random %d", round) << (iso ? teIso2022Jp : teEucJp) << bytes;
    }
}

void TTextCodecTest::CharactersAloneDecodeAlike() {
    QFETCH(TTextEncoding, encoding);
    QFETCH(QByteArray, bytes);
    TStringSink quick;
    DecodeCharacters(bytes, encoding, quick);
    QCOMPARE(quick.Text, Decode(bytes, encoding).Text);
}

// ≒ has two codes in CP932 (81E0 and NEC 8790), ① one; a file that mixes both forms gets them
// back as they were.
void TTextCodecTest::DualFormsKeepTheFilesChoice() {
    const QByteArray bytes("\x87\x90\x81\xE0\x87\x90\xFA\x40\xEE\xEF\x81\xCA\x87\x40");
    TDecoded d = Decode(bytes, teCp932);
    QCOMPARE(d.Text, QStringLiteral("≒≒≒ⅰⅰ\uFFE2①"));
    QCOMPARE(Reencode(d, teCp932), bytes);
}

void TTextCodecTest::TypedDualCharacterTakesTheFilesForm() {
    TDecoded nec = Decode("\x87\x90", teCp932);
    QByteArray out;
    QVERIFY(!EncodeString(QStringLiteral("≒∵"), teCp932, nec.Result.PreferredForms, out));
    // ∵ is not in the file: it takes the usual form, not the NEC row the file's ≒ came from.
    QCOMPARE(out, QByteArray("\x87\x90\x81\xE6"));
    out.clear();
    QVERIFY(!EncodeString(QStringLiteral("≒∵"), teCp932, {}, out));
    QCOMPARE(out, QByteArray("\x81\xE0\x81\xE6"));
}

void TTextCodecTest::UnencodableCharacterIsReported() {
    QByteArray out;
    auto error = EncodeString(QStringLiteral("ab😀c"), teCp932, {}, out);
    QVERIFY(error);
    QCOMPARE(error->Pos, 2);
    QCOMPARE(error->Char, char32_t(0x1F600));
    out.clear();
    error = EncodeString(QStringLiteral("ok\n😀"), teIso2022Jp, {}, out);
    QVERIFY(error);
    QCOMPARE(error->Pos, 3);
    out.clear();
    QVERIFY(!EncodeString(QStringLiteral("〜 wave dash from input methods"), teCp932, {}, out));
    QCOMPARE(out.left(2), QByteArray("\x81\x60"));
}

void TTextCodecTest::LineEnds_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("dominant");
    QTest::newRow("none") << QByteArray("abc") << "NONE" << int(leCrLf);
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << "CRLF" << int(leCrLf);
    QTest::newRow("lf") << QByteArray("a\nb") << "LF" << int(leLf);
    QTest::newRow("cr") << QByteArray("a\rb\r") << "CR" << int(leCr);
    QTest::newRow("mixed, lf most") << QByteArray("a\nb\nc\r\n") << "MIXED" << int(leLf);
    QTest::newRow("lf then cr is two") << QByteArray("a\n\rb") << "MIXED" << int(leLf);
}

void TTextCodecTest::LineEnds() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    QFETCH(int, dominant);
    TLineEndCounts n = CountLineEnds(bytes, teUtf8);
    QCOMPARE(LineEndKindName(n.Kind()), kind);
    QCOMPARE(int(n.Dominant()), dominant);
    QByteArray utf16;
    EncodeString(QString::fromLatin1(bytes), teUtf16BE, {}, utf16);
    QCOMPARE(LineEndKindName(CountLineEnds(utf16, teUtf16BE).Kind()), kind);
}

QTEST_GUILESS_MAIN(TTextCodecTest)
#include "TextCodecTest.moc"
