// The display-line map against a map built from scratch, after edits that take its shortcuts.

#include "editor/WrapMap.h"

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
// every kind of line end and with paragraphs that fit, nearly fit and wrap.
void TWrapMapTest::CountingInOnePassAgreesWithBreaking() {
    TAdvanceTable advances(TestFont());
    QRandomGenerator random(3);
    const QString ends[] = {QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r")};
    const QString pieces[] = {QStringLiteral("日本語、"), QStringLiteral("word "),
                              QStringLiteral("\t"), QStringLiteral("「」。"), QStringLiteral("x")};
    QString text;
    for (int p = 0; p < 2000; ++p) {
        for (int k = random.bounded(0, 30); k > 0; --k)
            text += pieces[random.bounded(int(std::size(pieces)))];
        text += ends[random.bounded(3)];
    }
    TTextBuffer buffer;
    buffer.SetText(text);
    for (double width : {0.0, 120.0, 333.0}) {
        TWrapMap counted(buffer), broken(buffer);
        counted.SetGeometry(&advances, width, 16);
        broken.SetGeometry(&advances, width, 16);
        counted.CountAll();
        qsizetype expected = 0;
        for (qsizetype p = 0; p < buffer.LineCount(); ++p)
            expected += broken.SubLineCount(p);
        QCOMPARE(counted.DisplayLineCount(), expected);
    }
}

QTEST_MAIN(TWrapMapTest)
#include "WrapMapTest.moc"
