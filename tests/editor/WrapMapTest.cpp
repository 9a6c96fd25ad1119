// The display-line map against a map built from scratch, after edits that take its shortcuts.

#include "editor/WrapMap.h"
#include "editor/Search.h"

#include <QRandomGenerator>
#include <QTest>
#include <iterator>

class TWrapMapTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void EditsInLongParagraphMatchFreshBreaks();
    void CountsAndLookupsAgree();
    void UnwrappedLongLinesContinueInTheNextLine();
    void CountingInOnePassAgreesWithBreaking();
    void LargeEditsMatchFreshBreaking();
};

namespace {
QFont TestFont() {
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(16);
    return font;
}
} // namespace

// Typing in a long paragraph re-breaks only near the edit; the result must be what breaking the
// whole paragraph again gives.
void TWrapMapTest::EditsInLongParagraphMatchFreshBreaks() {
    TAdvanceTable advances(TestFont());
    QRandomGenerator random(99);
    const QString pieces[] = {
        QStringLiteral("日本語の文章、"),   QStringLiteral("「括弧」。"), QStringLiteral("word "),
        QStringLiteral("longerLatinWord "), QStringLiteral("ー"),         QStringLiteral("\t")};
    QString text;
    while (text.size() < 20000)
        text += pieces[random.bounded(int(std::size(pieces)))];
    TTextBuffer buffer;
    buffer.SetText(text);
    TWrapMap map(buffer);
    map.SetGeometry(&advances, 300, 16);
    QVERIFY(map.Breaks(0).size() > 64);
    for (int step = 0; step < 200; ++step) {
        qsizetype pos = random.bounded(buffer.Length() + 1);
        if (random.bounded(3) == 0)
            buffer.Remove(pos, random.bounded(1, 12));
        else
            buffer.Insert(pos, pieces[random.bounded(int(std::size(pieces)))]);
        TTextBuffer copy;
        copy.SetText(buffer.Text());
        TWrapMap fresh(copy);
        fresh.SetGeometry(&advances, 300, 16);
        if (map.Breaks(0) != fresh.Breaks(0))
            QFAIL(qPrintable(QStringLiteral("breaks differ after step %1").arg(step)));
        QCOMPARE(map.DisplayLineCount(), fresh.DisplayLineCount());
    }
}

void TWrapMapTest::CountsAndLookupsAgree() {
    TAdvanceTable advances(TestFont());
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += QString(i % 37, u'あ') + QStringLiteral("\r\n");
    TTextBuffer buffer;
    buffer.SetText(text);
    TWrapMap map(buffer);
    map.SetGeometry(&advances, 160, 0); // ten full-width characters a line
    map.CountAll();
    qsizetype expected = 0;
    for (int i = 0; i < 3000; ++i)
        expected += std::max(1, (i % 37 + 9) / 10);
    QCOMPARE(map.DisplayLineCount(), expected + 1); // and the empty last paragraph
    for (qsizetype index : {qsizetype(0), qsizetype(17), expected / 2, expected}) {
        TDisplayLine line = map.LineAt(index);
        QCOMPARE(map.ToIndex(line), index);
        auto [from, to] = map.Range(line);
        QCOMPARE(map.LineOfPos(from), line);
        QVERIFY(to >= from);
    }
    // Removing paragraphs keeps the sums right.
    buffer.Remove(0, buffer.LineStart(1000));
    map.CountAll();
    qsizetype after = 0;
    for (int i = 1000; i < 3000; ++i)
        after += std::max(1, (i % 37 + 9) / 10);
    QCOMPARE(map.DisplayLineCount(), after + 1);
}

void TWrapMapTest::UnwrappedLongLinesContinueInTheNextLine() {
    TAdvanceTable advances(TestFont());
    QString text = QString(999, u'a') + QStringLiteral("😀") + QString(1500, u'b');
    TTextBuffer buffer;
    buffer.SetText(QStringLiteral("short\n") + text);
    TWrapMap map(buffer);
    map.SetGeometry(&advances, 0, 0);
    map.CountAll();
    QCOMPARE(map.DisplayLineCount(), 4);
    // The cut never splits the surrogate pair that straddles it.
    QCOMPARE(map.Breaks(1), (std::vector<qsizetype>{999, 1999}));
    buffer.Insert(buffer.Length(), QString(600, u'c'));
    map.CountAll();
    QCOMPARE(map.DisplayLineCount(), 5);
}

// The one-pass count (idle and exact) must give each paragraph the count its breaks give, with
// every kind of line end, with paragraphs that fit, nearly fit and wrap, over Latin-1 and UTF-16
// chunks, across chunk boundaries, and with characters the advance table has not measured yet.
void TWrapMapTest::CountingInOnePassAgreesWithBreaking() {
    QRandomGenerator random(3);
    const QString ends[] = {QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r")};
    const QString latin[] = {QStringLiteral("word "), QStringLiteral("\t"), QStringLiteral("x"),
                             QStringLiteral("caf\u00e9 "), QStringLiteral("longerLatinWord")};
    const QString wide[] = {QStringLiteral("日本語、"),   QStringLiteral("「」。"),
                            QStringLiteral("\U0001F600"), QStringLiteral("\U00020BB7野家"),
                            QStringLiteral("e\u0301"),    QStringLiteral("\u3000")};
    QString text;
    // Stretches of mixed text (a chunk long) and of Latin-1 text (two, so that whole chunks stay
    // Latin-1): both kinds of chunk hold paragraphs, and paragraphs go on from one into the other.
    while (text.size() < 5 * TTextBuffer::TargetChunk) {
        const bool mixed = random.bounded(2) == 1;
        const qsizetype stretch = text.size() + (mixed ? 1 : 2) * TTextBuffer::TargetChunk;
        while (text.size() < stretch) {
            for (int k = random.bounded(0, random.bounded(8) == 0 ? 300 : 40); k > 0; --k)
                text += mixed && random.bounded(2) == 0
                            ? wide[random.bounded(int(std::size(wide)))]
                            : latin[random.bounded(int(std::size(latin)))];
            text += ends[random.bounded(3)];
        }
    }
    // A paragraph too long to be held as one string, going over several chunks.
    text += QString(1100000, u'a') + QStringLiteral("\r\nend");
    TTextBuffer buffer;
    buffer.SetText(text);
    bool narrowPieces = false, widePieces = false;
    buffer.ForEachPiece(
        0, buffer.Length(), [&](QLatin1StringView) { narrowPieces = true; },
        [&](QStringView) { widePieces = true; });
    QVERIFY(narrowPieces && widePieces);
    for (double width : {0.0, 120.0, 333.0}) {
        TAdvanceTable fresh(TestFont()), measured(TestFont());
        TWrapMap exact(buffer), idle(buffer), broken(buffer);
        exact.SetGeometry(&fresh, width, 16);
        exact.CountAll();
        idle.SetGeometry(&measured, width, 16);
        QTRY_VERIFY(idle.CountingDone()); // counted in slices while the event loop runs
        broken.SetGeometry(&measured, width, 16);
        for (qsizetype p = 0; p < buffer.LineCount(); ++p) {
            const qsizetype expected = broken.SubLineCount(p);
            for (TWrapMap* map : {&exact, &idle}) {
                const qsizetype got = map->FirstDisplayLine(p + 1) - map->FirstDisplayLine(p);
                if (got != expected)
                    QFAIL(qPrintable(QStringLiteral("width %1, paragraph %2: %3 lines, not %4")
                                         .arg(width)
                                         .arg(p)
                                         .arg(got)
                                         .arg(expected)));
            }
        }
        QCOMPARE(exact.DisplayLineCount(), idle.DisplayLineCount());
    }
}

// After large edits (replace-all over thousands of lines, big pastes and cuts), every display
// line must be the one a fresh breaking of the same text gives: the view paints these ranges.
void TWrapMapTest::LargeEditsMatchFreshBreaking() {
    TAdvanceTable advances(TestFont());
    QRandomGenerator random(2000);
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += (i % 7 == 0 ? QStringLiteral("<p>長い段落の文章、") + QString(i % 50, u'x')
                            : QStringLiteral("var a = %1;").arg(i)) +
                QStringLiteral("\r\n");
    TTextBuffer buffer;
    buffer.SetText(text);
    TWrapMap map(buffer);
    map.SetGeometry(&advances, 200, 16);
    const QString swaps[][2] = {{QStringLiteral("var"), QStringLiteral("let")},
                                {QStringLiteral("let"), QStringLiteral("const")},
                                {QStringLiteral(";"), QStringLiteral(";\r\n")},
                                {QStringLiteral("、"), QString()}};
    for (int step = 0; step < 12; ++step) {
        const auto& swap = swaps[random.bounded(int(std::size(swaps)))];
        if (step % 3 == 0) {
            ReplaceAll(buffer, 0, swap[0], swap[1], {}, {});
        } else {
            const qsizetype pos = random.bounded(buffer.Length() + 1);
            const qsizetype length = random.bounded(200000);
            buffer.Replace(pos, length, buffer.Text(random.bounded(buffer.Length() + 1), length));
        }
        map.CountAll();
        TTextBuffer copy;
        copy.SetText(buffer.Text());
        TWrapMap fresh(copy);
        fresh.SetGeometry(&advances, 200, 16);
        fresh.CountAll();
        QCOMPARE(map.DisplayLineCount(), fresh.DisplayLineCount());
        for (qsizetype line = 0; line < fresh.DisplayLineCount(); line += 1 + line % 97)
            if (map.Range(map.LineAt(line)) != fresh.Range(fresh.LineAt(line)))
                QFAIL(qPrintable(QStringLiteral("step %1, display line %2").arg(step).arg(line)));
    }
}

QTEST_MAIN(TWrapMapTest)
#include "WrapMapTest.moc"
