// Partners of brackets and tags: '|' in a row's text is the caret; the row gives where the
// highlighted bracket or tag name and its partner start (-1: no pair) and the names' length.

#include "editor/PairMatch.h"

#include <QTest>

class TPairMatchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void Pairs_data();
    void Pairs();
    void SearchStopsAtItsReach();
};

void TPairMatchTest::Pairs_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("partner");
    QTest::addColumn<int>("length");
    auto row = [](const char* name, TSyntaxLanguage language, const char16_t* text, int pos,
                  int partner, int length = 1) {
        QTest::newRow(name) << int(language) << QString::fromUtf16(text) << pos << partner
                            << length;
    };
    row("opening after the caret", slJavaScript, u"|(a(b)c)", 0, 6);
    row("closing before the caret", slJavaScript, u"(a(b)c)|", 6, 0);
    row("bracket in a string skipped", slJavaScript, u"f|('(', x)", 1, 8);
    row("bracket in a comment skipped", slJavaScript, u"{ /* } */ |}", 10, 0);
    row("across paragraphs", slJavaScript, u"function f() |{\n  return 1;\n}", 13, 27);
    row("no partner", slJavaScript, u"|(a", -1, -1);
    row("in a string, no pair", slJavaScript, u"'(' |)", -1, -1);
    row("colours off count every bracket", slNone, u"'(' |)", 4, 1);
    row("japanese brackets nest", slNone, u"「a『b』|c」", 4, 2);
    row("japanese brackets in a string", slJavaScript, u"'「|x」'", 1, 3);
    row("nested tags", slHtml, u"<div><d|iv></div></div>", 6, 12, 3);
    row("closing tag", slHtml, u"<p><b>x</b></|p>", 13, 1);
    row("tag in a comment skipped", slHtml, u"<|p><!-- </p> --></p>", 1, 18);
    row("tags across paragraphs", slHtml, u"<u|l>\n<li>a</li>\n</ul>", 1, 18, 2);
    row("void element", slHtml, u"<b|r>", -1, -1);
    row("tag names only in pages", slJavaScript, u"<d|iv></div>", -1, -1);
}

void TPairMatchTest::Pairs() {
    QFETCH(int, language);
    QFETCH(QString, text);
    QFETCH(int, pos);
    QFETCH(int, partner);
    QFETCH(int, length);
    const qsizetype caret = text.indexOf(u'|');
    text.remove(caret, 1);
    TTextBuffer buffer;
    buffer.SetText(text);
    TSyntaxColours colours(buffer);
    colours.SetLanguage(TSyntaxLanguage(language));
    const std::optional<TPairMatch> match = FindPair(buffer, colours, caret);
    if (pos < 0) {
        QVERIFY(!match);
        return;
    }
    QVERIFY(match);
    QCOMPARE(*match, (TPairMatch{pos, length, partner, length}));
}

void TPairMatchTest::SearchStopsAtItsReach() {
    TTextBuffer buffer;
    // The partner MaxPairDistance - 2 characters away, then one beyond the reach.
    const QString filler(MaxPairDistance / 2 - 2, u'x');
    buffer.SetText(u'(' + filler + u'\n' + filler + u')');
    TSyntaxColours colours(buffer);
    QCOMPARE(FindPair(buffer, colours, 0)->PartnerPos, MaxPairDistance - 2);
    buffer.Insert(1, QStringLiteral("xxx"));
    QVERIFY(!FindPair(buffer, colours, 0));
}

QTEST_GUILESS_MAIN(TPairMatchTest)
#include "PairMatchTest.moc"
