// Finding and replacing over the buffer's chunks, against QString's own search.

#include "editor/Search.h"
#include "editor/CharClass.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

bool ModelBoundary(const QString& s, qsizetype outside, qsizetype inside) {
    if (outside < 0 || outside >= s.size())
        return true;
    TCharClass a = ClassOf(s[outside].unicode()), b = ClassOf(s[inside].unicode());
    return a != b || a == ccSpace || a == ccBreak || a == ccOther;
}

// Every non-overlapping match from `from` on, as the plain string sees it.
std::vector<qsizetype> ModelMatches(const QString& s, const QString& what, qsizetype from,
                                    TFindOptions o) {
    std::vector<qsizetype> out;
    Qt::CaseSensitivity cs = o.MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype i = s.indexOf(what, from, cs); i >= 0;) {
        bool whole =
            ModelBoundary(s, i - 1, i) && ModelBoundary(s, i + what.size(), i + what.size() - 1);
        if (!o.WholeWord || whole) {
            out.push_back(i);
            i = s.indexOf(what, i + what.size(), cs);
        } else {
            i = s.indexOf(what, i + 1, cs);
        }
    }
    return out;
}

} // namespace

class TSearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void RandomTextsMatchQString();
    void WholeWords_data();
    void WholeWords();
    void WalkToTheVeryEnd();
    void BackwardFindsTheLastMatchBefore();
    void ReplaceAllIsOneStepAndNeverRescans();
    void ReplaceAllFromMidTextAndIgnoringCase();
};

// Long texts cross chunk boundaries (64 Ki characters at most, Latin-1 and UTF-16 mixed); each
// search must find what QString::indexOf finds, in the same order.
void TSearchTest::RandomTextsMatchQString() {
    QRandomGenerator random(11);
    const QString alphabet = QStringLiteral("abAB 漢字かな\r\n");
    for (int round = 0; round < 20; ++round) {
        QString text;
        qsizetype size = random.bounded(1, 200000);
        const bool japanese = random.bounded(2);
        for (qsizetype i = 0; i < size; ++i)
            text += alphabet[random.bounded(japanese ? int(alphabet.size()) : 5)];
        TTextBuffer buffer;
        buffer.SetText(text);
        QString what;
        for (int i = 0, n = random.bounded(1, 4); i < n; ++i)
            what += alphabet[random.bounded(japanese ? 9 : 4)];
        TFindOptions o{bool(random.bounded(2)), bool(random.bounded(2))};
        qsizetype from = random.bounded(size);
        std::vector<qsizetype> found;
        for (auto at = FindForward(buffer, what, from, buffer.Length(), o); at;
             at = FindForward(buffer, what, *at + what.size(), buffer.Length(), o))
            found.push_back(*at);
        QCOMPARE(found, ModelMatches(text, what, from, o));
        // Replace-all finds the same matches in its single pass and replaces exactly them,
        // across chunk boundaries too.
        qsizetype count = ReplaceAll(buffer, from, what, QStringLiteral("#"), o, {}).Count;
        QCOMPARE(count, qsizetype(found.size()));
        QString expected = text;
        for (auto it = found.rbegin(); it != found.rend(); ++it)
            expected.replace(*it, what.size(), QStringLiteral("#"));
        QCOMPARE(buffer.Text(), expected);
    }
}

void TSearchTest::WholeWords_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("expected");
    QTest::newRow("latin inside a word") << QStringLiteral("valid val") << "val" << 6;
    QTest::newRow("kanji before kana") << QStringLiteral("漢字かな") << "漢字" << 0;
    QTest::newRow("kanji inside kanji") << QStringLiteral("日本漢字") << "漢字" << -1;
    QTest::newRow("latin next to kanji") << QStringLiteral("漢字abc") << "abc" << 2;
    QTest::newRow("katakana run") << QStringLiteral("カタカナ カナ") << "カナ" << 5;
    QTest::newRow("punctuation is a boundary") << QStringLiteral("a.val(x)") << "val" << 2;
    QTest::newRow("at the very end") << QStringLiteral("x val") << "val" << 2;
}

void TSearchTest::WholeWords() {
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, expected);
    TTextBuffer buffer;
    buffer.SetText(text);
    auto at = FindForward(buffer, what, 0, buffer.Length(), {true, true});
    QCOMPARE(at ? int(*at) : -1, expected);
    if (at)
        QVERIFY(MatchesAt(buffer, *at, what, {true, true}));
}

// F3 from the start walks every match and stops after the last, a match ending exactly at the
// end of the text included.
void TSearchTest::WalkToTheVeryEnd() {
    TTextBuffer buffer;
    buffer.SetText(QStringLiteral("abc abc\r\nabc"));
    std::vector<qsizetype> walk;
    qsizetype caret = 0;
    while (auto at = FindForward(buffer, QStringLiteral("abc"), caret, buffer.Length(), {})) {
        walk.push_back(*at);
        caret = *at + 3;
    }
    QCOMPARE(walk, (std::vector<qsizetype>{0, 4, 9}));
    QCOMPARE(caret, buffer.Length());
}

void TSearchTest::BackwardFindsTheLastMatchBefore() {
    TTextBuffer buffer;
    QString text = QString(70000, u'x') + QStringLiteral("needle") + QString(70000, u'y') +
                   QStringLiteral("needle");
    buffer.SetText(text);
    QCOMPARE(FindBackward(buffer, QStringLiteral("needle"), buffer.Length(), 0, {}),
             qsizetype(140006));
    QCOMPARE(FindBackward(buffer, QStringLiteral("needle"), 140009, 0, {}), qsizetype(70000));
    QCOMPARE(FindBackward(buffer, QStringLiteral("needle"), 70005, 0, {}), std::nullopt);
}

void TSearchTest::ReplaceAllIsOneStepAndNeverRescans() {
    TTextBuffer buffer;
    buffer.SetText(QStringLiteral("abc-abc-abc"));
    auto r = ReplaceAll(buffer, 0, QStringLiteral("abc"), QStringLiteral("xabcx"), {}, {});
    QCOMPARE(r.Count, 3);
    QCOMPARE(buffer.Text(), QStringLiteral("xabcx-xabcx-xabcx"));
    QCOMPARE(r.End, buffer.Length());
    QVERIFY(buffer.Undo());
    QCOMPARE(buffer.Text(), QStringLiteral("abc-abc-abc"));
    QVERIFY(!buffer.CanUndo());
    buffer.SetReadOnly(true);
    QCOMPARE(ReplaceAll(buffer, 0, QStringLiteral("abc"), QStringLiteral("z"), {}, {}).Count, 0);
    QCOMPARE(buffer.Text(), QStringLiteral("abc-abc-abc"));
}

void TSearchTest::ReplaceAllFromMidTextAndIgnoringCase() {
    TTextBuffer buffer;
    buffer.SetText(QStringLiteral("abc ABC abc Abc"));
    auto r = ReplaceAll(buffer, 5, QStringLiteral("abc"), QStringLiteral("漢"), {}, {});
    QCOMPARE(r.Count, 2);
    QCOMPARE(buffer.Text(), QStringLiteral("abc ABC 漢 漢"));
    r = ReplaceAll(buffer, 0, QStringLiteral("abc"), QStringLiteral("-"), {true, false}, {});
    QCOMPARE(r.Count, 1);
    QCOMPARE(buffer.Text(), QStringLiteral("- ABC 漢 漢"));
}

QTEST_GUILESS_MAIN(TSearchTest)
#include "SearchTest.moc"
