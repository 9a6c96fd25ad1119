// Finding and replacing over the buffer's chunks, against QString's own search.

#include "editor/Search.h"
#include "editor/CharClass.h"
#include "editor/RegexSearch.h"

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

using TSpans = std::vector<std::pair<qsizetype, qsizetype>>;

// Every match from `from` on, as the expression sees the plain string: each paragraph alone
// unless the pattern names a line end, then the text from from's paragraph on. A match starting
// inside CR LF, or not a whole word when asked, is passed over by one character.
TSpans ModelRegex(const QString& s, const QString& pattern, qsizetype from, TFindOptions o,
                  bool overLines) {
    QRegularExpression re(QStringLiteral("(*ANYCRLF)") + pattern,
                          QRegularExpression::MultilineOption |
                              QRegularExpression::UseUnicodePropertiesOption |
                              (o.MatchCase ? QRegularExpression::NoPatternOption
                                           : QRegularExpression::CaseInsensitiveOption));
    TSpans out;
    auto step = [](QStringView t, qsizetype i) {
        return i + 1 < t.size() && t[i] == u'\r' && t[i + 1] == u'\n' ? i + 2 : i + 1;
    };
    auto scan = [&](QStringView subject, qsizetype base, qsizetype offset) {
        while (offset <= subject.size()) {
            auto m = re.match(subject, offset);
            if (!m.hasMatch())
                return;
            const qsizetype st = m.capturedStart(), e = m.capturedEnd();
            const bool inCrLf =
                st > 0 && st < subject.size() && subject[st - 1] == u'\r' && subject[st] == u'\n';
            const bool whole = e > st && ModelBoundary(s, base + st - 1, base + st) &&
                               ModelBoundary(s, base + e, base + e - 1);
            if (inCrLf || (o.WholeWord && !whole)) {
                offset = step(subject, st);
                continue;
            }
            out.emplace_back(base + st, e - st);
            offset = e > st ? e : step(subject, e);
        }
    };
    auto lineEnd = [&](qsizetype i) {
        while (i < s.size() && s[i] != u'\r' && s[i] != u'\n')
            ++i;
        return i;
    };
    qsizetype start = from;
    while (start > 0 && s[start - 1] != u'\r' && s[start - 1] != u'\n')
        --start;
    if (overLines) {
        scan(QStringView(s).mid(start), start, from - start);
        return out;
    }
    for (qsizetype offset = from - start; start <= s.size(); offset = 0) {
        const qsizetype end = lineEnd(start);
        scan(QStringView(s).mid(start, end - start), start, offset);
        start = step(s, end);
    }
    return out;
}

// A random pattern from pieces that match within a line, over lines, at their ends, or
// looking ahead.
QString RandomPattern(QRandomGenerator& random, bool overLines) {
    static const QStringList atoms = {
        QStringLiteral("a"),     QStringLiteral("b"),    QStringLiteral("漢"),
        QStringLiteral("[ab]"),  QStringLiteral("[^a]"), QStringLiteral("."),
        QStringLiteral("\\s"),   QStringLiteral("\\w"),  QStringLiteral("^"),
        QStringLiteral("$"),     QStringLiteral("\\b"),  QStringLiteral("(a|字)"),
        QStringLiteral("(?=b)"), QStringLiteral("a*+"),  QStringLiteral("(b)")};
    static const QStringList quantifiers = {QString(),           QString(),
                                            QStringLiteral("*"), QStringLiteral("+"),
                                            QStringLiteral("?"), QStringLiteral("{1,3}"),
                                            QStringLiteral("*?")};
    QString p;
    const int n = random.bounded(1, 4), lineEndAt = overLines ? random.bounded(n + 1) : -1;
    for (int i = 0; i <= n; ++i) {
        if (i == lineEndAt)
            p += QStringLiteral("\\r?\\n");
        if (i == n)
            break;
        const QString& atom = atoms[random.bounded(int(atoms.size()))];
        p += atom;
        if ((atom.size() == 1 && atom != u"^" && atom != u"$") || atom.startsWith(u'['))
            p += quantifiers[random.bounded(int(quantifiers.size()))];
    }
    return p;
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
    void RegexMatchesTheExpressionOnTheWholeText();
    void RegexReplacementReferences_data();
    void RegexReplacementReferences();
    void RegexBadPatternIsNamed();
    void RegexRunawayStopsWithAReason();
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

// Long texts with every kind of line end cross the buffer's chunks and the search's windows;
// the scan, the backward search and replace-all must agree with the expression run over the
// plain string.
void TSearchTest::RegexMatchesTheExpressionOnTheWholeText() {
    QRandomGenerator random(23);
    const QString alphabet = QStringLiteral("abAB 漢字\r\n\r\n");
    for (int round = 0; round < 40; ++round) {
        QString text;
        const qsizetype size = random.bounded(round % 8 == 0 ? 300000 : 3000);
        for (qsizetype i = 0; i < size; ++i)
            text += alphabet[random.bounded(int(alphabet.size()))];
        TTextBuffer buffer;
        buffer.SetText(text);
        const bool overLines = random.bounded(3) == 0;
        const QString pattern = RandomPattern(random, overLines);
        const TFindOptions o{bool(random.bounded(2)), bool(random.bounded(2)), true};
        const TRegexSearch search(pattern, o);
        QVERIFY2(search.IsValid(), qPrintable(pattern));
        QCOMPARE(search.MultiLine(), overLines);
        const qsizetype from = buffer.Snap(random.bounded(size + 1), true);
        TSpans found;
        const QDeadlineTimer forever(QDeadlineTimer::Forever);
        QCOMPARE(search.Scan(buffer, from, buffer.Length(), forever,
                             [&](const TRegexHit& hit) {
                                 found.emplace_back(hit.Pos, hit.Length);
                                 return true;
                             }),
                 rsDone);
        const TSpans expected = ModelRegex(text, pattern, from, o, overLines);
        QVERIFY2(found == expected, qPrintable(QStringLiteral("%1: %2 found, %3 expected")
                                                   .arg(pattern)
                                                   .arg(found.size())
                                                   .arg(expected.size())));
        // Backwards: the last match of the walk from the start that ends by `from`.
        std::optional<std::pair<qsizetype, qsizetype>> last, back;
        for (const auto& span : ModelRegex(text, pattern, 0, o, overLines)) {
            if (span.first + span.second > from)
                break;
            if (span.first < from)
                last = span;
        }
        QCOMPARE(search.Backward(buffer, from, forever, back), rsDone);
        QCOMPARE(back, last);
        TReplaceAllResult result;
        QCOMPARE(search.ReplaceAll(buffer, from, QStringLiteral("#"), QStringLiteral("\r\n"), {},
                                   forever, result),
                 rsDone);
        QCOMPARE(result.Count, qsizetype(expected.size()));
        for (auto it = expected.rbegin(); it != expected.rend(); ++it)
            text.replace(it->first, it->second, QStringLiteral("#"));
        QCOMPARE(buffer.Text(), text);
    }
}

void TSearchTest::RegexReplacementReferences_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("with");
    QTest::addColumn<QString>("expected");
    QTest::newRow("groups swapped") << QStringLiteral("id=42;\r\nx=7;") << "(\\w+)=(\\d+)"
                                    << "$2=$1" << QStringLiteral("42=id;\r\n7=x;");
    QTest::newRow("whole match and dollar") << QStringLiteral("5 円") << "\\d+"
                                            << "$$$&.00" << QStringLiteral("$5.00 円");
    QTest::newRow("line end and tab") << QStringLiteral("a,b") << ","
                                      << "\\n\\t" << QStringLiteral("a\r\n\tb");
    QTest::newRow("absent group, backslash") << QStringLiteral("ab") << "a(x)?"
                                             << "[$1\\\\]" << QStringLiteral("[\\]b");
    QTest::newRow("empty matches at line starts") << QStringLiteral("a\r\nb\n") << "^"
                                                  << "// " << QStringLiteral("// a\r\n// b\n// ");
    QTest::newRow("kanji are word characters") << QStringLiteral("漢字 かな") << "\\w+"
                                               << "<$&>" << QStringLiteral("<漢字> <かな>");
    QTest::newRow("over a line end") << QStringLiteral("a\r\nb\r\nc") << "\\r\\n(b)"
                                     << "-$1" << QStringLiteral("a-b\r\nc");
}

void TSearchTest::RegexReplacementReferences() {
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, with);
    QFETCH(QString, expected);
    TTextBuffer buffer;
    buffer.SetText(text);
    TReplaceAllResult result;
    const TRegexSearch search(pattern, {false, false, true});
    QCOMPARE(search.ReplaceAll(buffer, 0, with, QStringLiteral("\r\n"), {},
                               QDeadlineTimer(QDeadlineTimer::Forever), result),
             rsDone);
    QCOMPARE(buffer.Text(), expected);
    QVERIFY(buffer.Undo());
    QCOMPARE(buffer.Text(), text);
}

void TSearchTest::RegexBadPatternIsNamed() {
    const TRegexSearch search(QStringLiteral("ab(c"), {false, false, true});
    QVERIFY(!search.IsValid());
    QCOMPARE(search.ErrorText(), QStringLiteral("正規表現が正しくありません: missing closing "
                                                "parenthesis（5 文字目）"));
    TTextBuffer buffer;
    buffer.SetText(QStringLiteral("ab(c"));
    std::optional<std::pair<qsizetype, qsizetype>> found;
    QCOMPARE(search.Forward(buffer, 0, QDeadlineTimer(QDeadlineTimer::Forever), found), rsDone);
    QVERIFY(!found);
}

// A pattern that backtracks without end is given up by the engine, and a search past its
// deadline stops; neither changes the text.
void TSearchTest::RegexRunawayStopsWithAReason() {
    TTextBuffer buffer;
    const QString text = QString(30, u'a') + QStringLiteral("c\r\nb abc");
    buffer.SetText(text);
    const TRegexSearch runaway(QStringLiteral("(a+)+b"), {false, false, true});
    TReplaceAllResult result;
    QCOMPARE(runaway.ReplaceAll(buffer, 0, QStringLiteral("x"), QStringLiteral("\n"), {},
                                QDeadlineTimer(QDeadlineTimer::Forever), result),
             rsTooComplex);
    const TRegexSearch plain(QStringLiteral("b"), {false, false, true});
    QCOMPARE(plain.ReplaceAll(buffer, 0, QStringLiteral("x"), QStringLiteral("\n"), {},
                              QDeadlineTimer(0), result),
             rsTooSlow);
    QCOMPARE(buffer.Text(), text);
    QVERIFY(!buffer.CanUndo());
    QVERIFY(!TRegexSearch::StatusText(rsTooComplex).isEmpty());
}

QTEST_GUILESS_MAIN(TSearchTest)
#include "SearchTest.moc"
