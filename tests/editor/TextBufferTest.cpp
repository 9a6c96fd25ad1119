// The text buffer against a plain QString model, and its undo history.

#include "editor/TextBuffer.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace {

// Line starts of a plain string by the buffer's rules: CR LF, LF and CR each end a line.
std::vector<qsizetype> ModelLineStarts(const QString& s) {
    std::vector<qsizetype> starts{0};
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'\n' || (s[i] == u'\r' && (i + 1 == s.size() || s[i + 1] != u'\n')))
            starts.push_back(i + 1);
    }
    return starts;
}

qsizetype ModelSnap(const QString& s, qsizetype pos, bool forward) {
    if (pos <= 0 || pos >= s.size())
        return pos;
    bool inside = (s[pos - 1] == u'\r' && s[pos] == u'\n') ||
                  (s[pos - 1].isHighSurrogate() && s[pos].isLowSurrogate());
    return inside ? (forward ? pos + 1 : pos - 1) : pos;
}

QString RandomText(QRandomGenerator& r, qsizetype n) {
    static const QString alphabet = QStringLiteral("abc xyz\r\n\r\n\t漢字かなカナ、。") +
                                    QStringLiteral("😀") + QStringLiteral("é");
    QString s;
    s.reserve(n);
    while (s.size() < n) {
        qsizetype i = r.bounded(alphabet.size());
        if (alphabet[i].isLowSurrogate())
            --i;
        s.append(alphabet[i]);
        if (alphabet[i].isHighSurrogate())
            s.append(alphabet[i + 1]);
    }
    return s;
}

void CheckAgainstModel(const TTextBuffer& b, const QString& model, QRandomGenerator& r) {
    QCOMPARE(b.Length(), model.size());
    std::vector<qsizetype> starts = ModelLineStarts(model);
    QCOMPARE(b.LineCount(), qsizetype(starts.size()));
    for (int k = 0; k < 20; ++k) {
        qsizetype line = r.bounded(qsizetype(starts.size()));
        QCOMPARE(b.LineStart(line), starts[size_t(line)]);
        qsizetype pos = r.bounded(model.size() + 1);
        qsizetype expected =
            std::upper_bound(starts.begin(), starts.end(), pos) - starts.begin() - 1;
        QCOMPARE(b.LineOfPos(pos), expected);
        qsizetype len = r.bounded(200);
        QCOMPARE(b.Text(pos, len), model.mid(pos, len));
    }
}

} // namespace

class TTextBufferTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void RandomEditsMatchModel();
    void LinesAndLineEnds_data();
    void LinesAndLineEnds();
    void NeverInsideCrLfOrSurrogatePair();
    void TypingCoalescesIntoWords();
    void GroupIsOneStep();
    void ModifiedFollowsSavePoint();
    void ReadOnlyRefusesEdits();
    void ChangeSignalReportsLines();
    void ByteExceptionsFollowEdits();
    void LatinChunksWidenForJapanese();
};

// A seeded run of random edits, compared with a QString after each one, then undone to the
// start and redone to the end.
void TTextBufferTest::RandomEditsMatchModel() {
    QRandomGenerator r(42);
    TTextBuffer b;
    QString model = RandomText(r, 150000);
    b.SetText(model);
    const QString original = model;
    CheckAgainstModel(b, model, r);
    std::vector<QString> history{model};
    for (int step = 0; step < 1500; ++step) {
        qsizetype pos = r.bounded(model.size() + 1);
        qsizetype len = r.bounded(4) == 0 ? r.bounded(70000) : r.bounded(8);
        qsizetype insertLen = r.bounded(10) == 0 ? r.bounded(80000) : r.bounded(6);
        if (r.bounded(100) == 0) {
            // A replacement over many chunks by about as much text, as replace-all makes.
            len = r.bounded(model.size() + 1);
            insertLen = std::max<qsizetype>(0, len + r.bounded(-3000, 3000));
        }
        QString text = RandomText(r, insertLen);
        TEditKind kind = r.bounded(2) ? ekTyping : ekCommand;
        QVERIFY(b.Replace(pos, len, text, kind));
        qsizetype start = ModelSnap(model, std::min(pos, model.size()), false);
        qsizetype end =
            len == 0 ? start : ModelSnap(model, std::min(pos + len, model.size()), true);
        model.replace(start, end - start, text);
        CheckAgainstModel(b, model, r);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("after step %1").arg(step)));
        if (kind == ekCommand)
            history.push_back(model);
    }
    QCOMPARE(b.Text(), model);
    const QString final = model;
    while (b.Undo()) {
    }
    QCOMPARE(b.Text(), original);
    CheckAgainstModel(b, original, r);
    while (b.Redo()) {
    }
    QCOMPARE(b.Text(), final);
    CheckAgainstModel(b, final, r);
}

void TTextBufferTest::LinesAndLineEnds_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList{QString()};
    QTest::newRow("no final break") << QStringLiteral("a\r\nb") << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("final break") << QStringLiteral("a\n")
                                 << QStringList{QStringLiteral("a"), QString()};
    QTest::newRow("mixed") << QStringLiteral("a\rb\nc\r\nd")
                           << QStringList{u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs};
    QTest::newRow("lf cr is two breaks")
        << QStringLiteral("a\n\rb") << QStringList{u"a"_qs, QString(), u"b"_qs};
}

void TTextBufferTest::LinesAndLineEnds() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    TTextBuffer b;
    b.SetText(text);
    QCOMPARE(b.LineCount(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        QCOMPARE(b.LineText(i), lines[i]);
}

void TTextBufferTest::NeverInsideCrLfOrSurrogatePair() {
    TTextBuffer b;
    b.SetText(QStringLiteral("a\r\nb😀c"));
    QCOMPARE(b.Snap(2, false), 1);
    QCOMPARE(b.Snap(2, true), 3);
    QCOMPARE(b.Snap(5, true), 6);
    // Deleting one unit of a pair deletes the pair.
    QVERIFY(b.Remove(2, 1));
    QCOMPARE(b.Text(), QStringLiteral("ab😀c"));
    QVERIFY(b.Remove(3, 1));
    QCOMPARE(b.Text(), QStringLiteral("abc"));
    // Inserting inside CR LF goes before the pair.
    b.SetText(QStringLiteral("x\r\ny"));
    QVERIFY(b.Insert(2, QStringLiteral("!")));
    QCOMPARE(b.Text(), QStringLiteral("x!\r\ny"));
}

void TTextBufferTest::TypingCoalescesIntoWords() {
    TTextBuffer b;
    const QString typed = QStringLiteral("var x = 1;");
    for (qsizetype i = 0; i < typed.size(); ++i)
        b.Insert(i, typed.mid(i, 1), ekTyping);
    QCOMPARE(b.Text(), typed);
    // Undo removes one word with the blank that follows it.
    QCOMPARE(b.Undo()->Caret, 8);
    QCOMPARE(b.Text(), QStringLiteral("var x = "));
    QVERIFY(b.Undo());
    QCOMPARE(b.Text(), QStringLiteral("var x "));
    // A caret move closes the step: the next character is a step of its own.
    b.CloseTypingStep();
    b.Insert(6, QStringLiteral("y"), ekTyping);
    b.Insert(7, QStringLiteral("z"), ekTyping);
    b.CloseTypingStep();
    b.Insert(8, QStringLiteral("w"), ekTyping);
    QVERIFY(b.Undo());
    QCOMPARE(b.Text(), QStringLiteral("var x yz"));
    QVERIFY(b.Undo());
    QCOMPARE(b.Text(), QStringLiteral("var x "));
    // Backspaces join into one step.
    b.SetText(QStringLiteral("abcdef"));
    for (qsizetype pos = 6; pos > 2; --pos)
        b.Remove(pos - 1, 1, ekTyping);
    QCOMPARE(b.Text(), QStringLiteral("ab"));
    QVERIFY(b.Undo());
    QCOMPARE(b.Text(), QStringLiteral("abcdef"));
    QVERIFY(!b.CanUndo());
}

void TTextBufferTest::GroupIsOneStep() {
    TTextBuffer b;
    b.SetText(QStringLiteral("a a a"));
    b.BeginGroup({1, 1});
    for (qsizetype pos : {4, 2, 0})
        b.Replace(pos, 1, QStringLiteral("bb"));
    b.EndGroup();
    QCOMPARE(b.Text(), QStringLiteral("bb bb bb"));
    auto restored = b.Undo();
    QVERIFY(restored);
    QCOMPARE(*restored, (TSelection{1, 1}));
    QCOMPARE(b.Text(), QStringLiteral("a a a"));
    QVERIFY(!b.CanUndo());
    QVERIFY(b.Redo());
    QCOMPARE(b.Text(), QStringLiteral("bb bb bb"));
}

void TTextBufferTest::ModifiedFollowsSavePoint() {
    TTextBuffer b;
    QSignalSpy spy(&b, &TTextBuffer::ModifiedChanged);
    b.SetText(QStringLiteral("abc"));
    QVERIFY(!b.Modified());
    b.Insert(3, QStringLiteral("d"), ekTyping);
    QVERIFY(b.Modified());
    b.SetModified(false);
    // Typing after a save is a new change even though the word goes on.
    b.Insert(4, QStringLiteral("e"), ekTyping);
    QVERIFY(b.Modified());
    b.Undo();
    QVERIFY(!b.Modified());
    b.Undo();
    QVERIFY(b.Modified());
    b.Redo();
    QVERIFY(!b.Modified());
    // A new edit after undoing past the save point makes it unreachable.
    b.Undo();
    b.Insert(0, QStringLiteral("x"));
    b.Undo();
    QVERIFY(b.Modified());
    QVERIFY(spy.count() >= 5);
    b.SetModified(true);
    QVERIFY(b.Modified());
}

void TTextBufferTest::ReadOnlyRefusesEdits() {
    TTextBuffer b;
    b.SetText(QStringLiteral("keep"));
    b.Insert(4, QStringLiteral("!"));
    b.SetReadOnly(true);
    QVERIFY(!b.Insert(0, QStringLiteral("x")));
    QVERIFY(!b.Remove(0, 2));
    QVERIFY(!b.Undo());
    QCOMPARE(b.Text(), QStringLiteral("keep!"));
    b.SetReadOnly(false);
    QVERIFY(b.Undo());
    QCOMPARE(b.Text(), QStringLiteral("keep"));
}

void TTextBufferTest::ChangeSignalReportsLines() {
    TTextBuffer b;
    b.SetText(QStringLiteral("l0\nl1\nl2\nl3"));
    QSignalSpy spy(&b, &TTextBuffer::Changed);
    b.Replace(4, 4, QStringLiteral("X\nY\nZ")); // "1\nl2" -> three lines
    QCOMPARE(spy.count(), 1);
    auto c = spy.at(0).at(0).value<TTextChange>();
    QCOMPARE(c.Pos, 4);
    QCOMPARE(c.Removed, 4);
    QCOMPARE(c.Inserted, 5);
    // Lines l1..l3 became lX, Y, Z, l3; nothing after them moved in content.
    QCOMPARE(c.FirstLine, 1);
    QCOMPARE(c.OldLastLine, 3);
    QCOMPARE(c.NewLastLine, 4);
    QCOMPARE(b.LineText(4), QStringLiteral("l3"));
}

void TTextBufferTest::ByteExceptionsFollowEdits() {
    TTextBuffer b;
    b.SetText(QStringLiteral("≒≒ab≒"));
    b.SetByteExceptions({{1, 1, "\x87\x90"}, {4, 1, "\x87\x90"}});
    b.Insert(0, QStringLiteral("xy")); // both move
    QCOMPARE(b.ByteExceptions().size(), size_t(2));
    QCOMPARE(b.ByteExceptions()[0].Pos, 3);
    QCOMPARE(b.ByteExceptions()[1].Pos, 6);
    b.Replace(3, 1, QStringLiteral("≒")); // retyped: the file's usual form applies
    QCOMPARE(b.ByteExceptions().size(), size_t(1));
    QCOMPARE(b.ByteExceptions()[0].Pos, 6);
    b.Undo();
    b.Undo();
    QCOMPARE(b.ByteExceptions()[0].Pos, 4);
}

void TTextBufferTest::LatinChunksWidenForJapanese() {
    TTextBuffer b;
    QString ascii(100000, u'a');
    b.SetText(ascii);
    b.Insert(50000, QStringLiteral("漢字\r\n"));
    QCOMPARE(b.Text(49999, 6), QStringLiteral("a漢字\r\na"));
    QCOMPARE(b.LineCount(), 2);
    QCOMPARE(b.LineStart(1), 50004);
    int latin = 0, wide = 0;
    b.ForEachPiece(
        0, b.Length(), [&](QLatin1StringView) { ++latin; }, [&](QStringView) { ++wide; });
    QVERIFY(latin >= 2);
    QCOMPARE(wide, 1);
}

QTEST_GUILESS_MAIN(TTextBufferTest)
#include "TextBufferTest.moc"
