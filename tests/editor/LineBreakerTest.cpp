// The line breaker: each rule under its flag, hanging and stepping back, clusters, and a seeded
// random run against a slow reference written from the rules.

#include "editor/LineBreaker.h"

#include <QHash>
#include <QRandomGenerator>
#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Every character is 10 px wide in the table-driven cases (so "cols 3" is a 30 px line), except
// what a font gives no advance: combining marks on the line, low surrogates, the joiner.
constexpr double kCell = 10;

bool ZeroAdvance(QStringView text, qsizetype i) {
    char16_t c = text[i].unicode();
    return QChar::isLowSurrogate(c) || c == 0x0301 || c == 0x3099 || c == 0x200D;
}

std::vector<float> CellAdvances(QStringView text) {
    std::vector<float> a(size_t(text.size()) + 1, 0.0f);
    for (qsizetype i = 0; i < text.size(); ++i)
        a[size_t(i)] = ZeroAdvance(text, i) ? 0.0f : float(kCell);
    return a;
}

// "WBO" names the flags that are on.
TBreakRules RulesOf(int level, const QString& flags) {
    TBreakRules r = level == 2 ? Level2Rules() : Level1Rules();
    r.WordWrap = flags.contains(u'W');
    r.WordBreak = flags.contains(u'B');
    r.OverFlow = flags.contains(u'O');
    return r;
}

QStringList Lines(const QString& text, const std::vector<qsizetype>& breaks) {
    QStringList lines;
    qsizetype s = 0;
    for (qsizetype b : breaks) {
        lines << text.mid(s, b - s);
        s = b;
    }
    lines << text.mid(s);
    return lines;
}

QString Shown(const QStringList& lines) {
    QString s = lines.join(u'|');
    s.replace(u'\t', u'→');
    return s;
}

// ---- The reference: the rules written out plainly, one position and one line at a time, with
// its own character classes for the characters the random text uses.

struct TRefChar {
    const char16_t* Text;
    bool Wide;
};

const TRefChar RefAlphabet[] = {
    {u"a", false},      {u"b", false},      {u"x", false},      {u"Z", false},  {u"1", false},
    {u"-", false},      {u"/", false},      {u"!", false},      {u"?", false},  {u".", false},
    {u",", false},      {u"(", false},      {u")", false},      {u"$", false},  {u"%", false},
    {u" ", false},      {u" ", false},      {u" ", false},      {u"\t", false}, {u"\u00A0", false},
    {u"«", false},      {u"»", false},      {u"¥", false},      {u"°", true},   {u"—", true},
    {u"―", true},       {u"…", true},       {u"‥", true},       {u"“", true},   {u"”", true},
    {u"ｱ", false},      {u"ｧ", false},      {u"｡", false},      {u"､", false},  {u"ﾞ", false},
    {u"\u0301", false}, {u"\u0903", false}, {u"\u200D", false}, {u"あ", true},  {u"い", true},
    {u"漢", true},      {u"字", true},      {u"カ", true},      {u"ぁ", true},  {u"ゃ", true},
    {u"ッ", true},      {u"ー", true},      {u"〜", true},      {u"～", true},  {u"、", true},
    {u"。", true},      {u"，", true},      {u"．", true},      {u"「", true},  {u"」", true},
    {u"（", true},      {u"）", true},      {u"・", true},      {u"々", true},  {u"〳", true},
    {u"〵", true},      {u"\u3000", true},  {u"\u3099", true},  {u"！", true},  {u"𠮷", true},
    {u"😀", true},       {u"𝐀", false},
};

char32_t CodePointAt(const QString& t, qsizetype i) {
    if (t[i].isHighSurrogate() && i + 1 < t.size() && t[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(t[i], t[i + 1]);
    return t[i].unicode();
}

char32_t CodePointBefore(const QString& t, qsizetype b) {
    if (t[b - 1].isLowSurrogate() && b >= 2 && t[b - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(t[b - 2], t[b - 1]);
    return t[b - 1].unicode();
}

bool RefWide(char32_t c) {
    static const QHash<char32_t, bool> wide = [] {
        QHash<char32_t, bool> h;
        for (const TRefChar& e : RefAlphabet)
            h.insert(CodePointAt(QString::fromUtf16(e.Text), 0), e.Wide);
        return h;
    }();
    auto it = wide.find(c);
    if (it == wide.end())
        qFatal("U+%04X is outside the reference alphabet", uint(c));
    return *it;
}

bool RefSpace(char32_t c) {
    return c == 0x20 || c == 0x3000;
}
bool RefMark(char32_t c) {
    return c == 0x0301 || c == 0x0903 || c == 0x3099;
}

bool RefInSet(const QString& set, char32_t c) {
    return set.contains(QString::fromUcs4(&c, 1));
}

bool RefAlwaysAllowed(const QString& t, qsizetype b) {
    char32_t cur = CodePointAt(t, b);
    return !t[b].isLowSurrogate() && !RefMark(cur) && !RefSpace(cur) && cur != 0x200D &&
           t[b - 1].unicode() != 0x200D;
}

bool RefAllowed(const QString& t, qsizetype b, const TBreakRules& r) {
    if (!RefAlwaysAllowed(t, b))
        return false;
    char32_t cur = CodePointAt(t, b);
    char32_t prev = CodePointBefore(t, b);
    const QString inseparable = QStringLiteral("—―‥…〳〴〵");
    if (r.WordWrap) {
        if (RefInSet(r.Following, cur) || RefInSet(r.Leading, prev))
            return false;
        if (cur == prev && RefInSet(inseparable, cur))
            return false;
    }
    if (r.WordBreak) {
        bool narrow = !RefWide(cur) && !RefWide(prev);
        bool blank = RefSpace(cur) || RefSpace(prev) || cur == u'\t' || prev == u'\t';
        if (narrow && !blank && !RefInSet(r.Delimiters, prev))
            return false;
    }
    return true;
}

double RefTab(double x, double tabWidth) {
    if (tabWidth <= 0)
        return 0;
    double stop = tabWidth;
    while (stop <= x)
        stop += tabWidth;
    return stop - x;
}

std::vector<qsizetype> RefBreakLines(const QString& t, const std::vector<float>& adv, double wrap,
                                     double overflow, double tabWidth, const TBreakRules& r) {
    std::vector<qsizetype> breaks;
    const qsizetype n = t.size();
    if (wrap <= 0)
        return breaks;
    qsizetype s = 0;
    while (s < n) {
        // Left edge of each character of the rest of the paragraph, measured from s.
        std::vector<double> left{0};
        for (qsizetype i = s; i < n; ++i) {
            double w = t[i] == u'\t' ? RefTab(left.back(), tabWidth) : adv[size_t(i)];
            left.push_back(left.back() + w);
        }
        auto leftOf = [&](qsizetype i) {
            return left[size_t(i - s)];
        };
        std::optional<qsizetype> f;
        for (qsizetype i = s + 1; i < n && !f; ++i) {
            const bool blank = RefSpace(CodePointAt(t, i));
            if (leftOf(i + 1) > wrap &&
                (!blank || (leftOf(i) > wrap && RefSpace(CodePointBefore(t, i)))))
                f = i;
        }
        if (!f)
            break;
        char32_t c = CodePointAt(t, *f);
        qsizetype len = c > 0xFFFF ? 2 : 1;
        bool hangs =
            c == u'\t' || (r.OverFlow && RefInSet(r.OverFlowChars, c) && leftOf(*f) <= wrap &&
                           leftOf(*f + len) - leftOf(*f) <= overflow);
        qsizetype b = RefSpace(c) ? *f : -1;
        if (b < 0 && hangs) {
            qsizetype after = *f + len;
            if (after == n || RefSpace(t[after].unicode()) || RefAllowed(t, after, r))
                b = after;
        }
        for (qsizetype p = *f; b < 0 && p > s; --p) {
            if (RefAllowed(t, p, r))
                b = p;
        }
        for (qsizetype p = *f; b < 0 && p > s; --p) {
            if (RefAlwaysAllowed(t, p))
                b = p;
        }
        for (qsizetype p = *f + 1; b < 0 && p <= n; ++p) {
            if (p == n || RefAlwaysAllowed(t, p))
                b = p;
        }
        if (b >= n)
            break;
        breaks.push_back(b);
        s = b;
    }
    return breaks;
}

// Random text in runs: Latin words, Japanese phrases, punctuation, blanks, clusters.
QString RandomText(QRandomGenerator& rng, qsizetype maxLength) {
    QString t;
    const qsizetype target = rng.bounded(maxLength + 1);
    const qsizetype alphabet = qsizetype(std::size(RefAlphabet));
    while (t.size() < target) {
        int kind = rng.bounded(4);
        qsizetype run = 1 + rng.bounded(kind == 0 ? 12 : 4);
        for (qsizetype k = 0; k < run; ++k) {
            // Latin runs draw from the first entries, the rest from anywhere.
            qsizetype i = kind == 0 ? rng.bounded(qsizetype(5)) : rng.bounded(alphabet);
            t += QString::fromUtf16(RefAlphabet[i].Text);
        }
    }
    return t;
}

std::vector<float> RandomAdvances(QRandomGenerator& rng, const QString& t) {
    std::vector<float> a(size_t(t.size()) + 1, 0.0f);
    const bool proportional = rng.bounded(2) == 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        char32_t c = CodePointAt(t, i);
        if (t[i].isLowSurrogate() || c == 0x200D || c == 0x0301 || c == 0x3099)
            a[size_t(i)] = 0;
        else if (proportional)
            a[size_t(i)] = float(1 + rng.bounded(20));
        else
            a[size_t(i)] = RefWide(c) ? 16.0f : 8.0f;
    }
    return a;
}

QString RandomSet(QRandomGenerator& rng) {
    QString s;
    int n = rng.bounded(8);
    for (int k = 0; k < n; ++k)
        s += QString::fromUtf16(RefAlphabet[rng.bounded(qsizetype(std::size(RefAlphabet)))].Text);
    return s;
}

TBreakRules RandomRules(QRandomGenerator& rng) {
    TBreakRules r = rng.bounded(2) ? Level1Rules() : Level2Rules();
    r.WordWrap = rng.bounded(4) != 0;
    r.WordBreak = rng.bounded(4) != 0;
    r.OverFlow = rng.bounded(4) != 0;
    if (rng.bounded(4) == 0) {
        r.Following = RandomSet(rng);
        r.Leading = RandomSet(rng);
        r.OverFlowChars = RandomSet(rng);
        r.Delimiters = RandomSet(rng);
    }
    return r;
}

} // namespace

class TLineBreakerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void Cases_data();
    void Cases();
    void LevelsDiffer_data();
    void LevelsDiffer();
    void LevelSets();
    void CustomSets_data();
    void CustomSets();
    void ProportionalAdvances();
    void TabStopsFromLineStart();
    void OverflowAreaWidth();
    void NoWrapWidth();
    void ClassesOfCharacters();
    void CopiedAndChangedRulesApply();
    void RandomAgainstReference();
    void PathologicalInputStaysLinear();
};

// Each row: text, level, flags on, wrap width in cells, the lines expected ("|" between lines,
// "→" for a tab). Overflow area one cell, tab stops every four cells.
void TLineBreakerTest::Cases_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<int>("cols");
    QTest::addColumn<QString>("expected");

    auto row = [](const char* name, const QString& text, int level, const QString& flags, int cols,
                  const QString& expected) {
        QTest::newRow(name) << text << level << flags << cols << expected;
    };
    const QString all = QStringLiteral("WBO");
    // Plain wrapping.
    row("fits", u"あいう"_s, 1, all, 3, u"あいう"_s);
    row("wraps at the column", u"あいうえおか"_s, 1, all, 3, u"あいう|えおか"_s);
    row("three lines", u"あいうえおかき"_s, 1, all, 3, u"あいう|えおか|き"_s);
    row("empty", QString(), 1, all, 3, QString());
    row("first char wider than line", u"あい"_s, 1, all, 0, u"あ|い"_s);
    // Line-start prohibition (Following).
    row("closing bracket steps back", u"あいう」え"_s, 1, all, 3, u"あい|う」え"_s);
    row("closing bracket without kinsoku", u"あいう」え"_s, 1, u"BO"_s, 3, u"あいう|」え"_s);
    row("question mark steps back", u"あいう？え"_s, 1, all, 3, u"あい|う？え"_s);
    row("steps back over a run", u"あいうえ」」」お"_s, 1, all, 5, u"あいう|え」」」お"_s);
    row("run of prohibited fills line", u"あ」」」」」」"_s, 1, all, 3, u"あ」」|」」」|」"_s);
    // Line-end prohibition (Leading).
    row("opening bracket steps back", u"あい「う"_s, 1, all, 3, u"あい|「う"_s);
    row("opening bracket without kinsoku", u"あい「う"_s, 1, u"BO"_s, 3, u"あい「|う"_s);
    row("two opening brackets", u"あ「「う"_s, 1, all, 3, u"あ|「「う"_s);
    row("leading and following meet", u"あ「う」"_s, 1, all, 3, u"あ|「う」"_s);
    // Inseparables.
    // … and the dashes take two bytes in Shift_JIS: full width, so word break alone parts them.
    row("ellipsis pair kept", u"あい……"_s, 1, u"WO"_s, 3, u"あい|……"_s);
    row("ellipsis pair without kinsoku", u"あい……"_s, 1, u"O"_s, 3, u"あい…|…"_s);
    row("ellipsis pair is not a word", u"あい……"_s, 1, u"BO"_s, 3, u"あい…|…"_s);
    row("dash pair kept", u"あい――"_s, 1, u"WO"_s, 3, u"あい|――"_s);
    row("different dashes separate", u"あい―—"_s, 1, u"WO"_s, 3, u"あい―|—"_s);
    row("repeat marks pair kept", u"あい〳〳"_s, 1, all, 3, u"あい|〳〳"_s);
    // Hanging into the overflow area.
    row("full stop hangs", u"あいう。え"_s, 1, all, 3, u"あいう。|え"_s);
    row("comma hangs", u"あいう、え"_s, 1, all, 3, u"あいう、|え"_s);
    row("fullwidth comma hangs", u"あいう，え"_s, 1, all, 3, u"あいう，|え"_s);
    row("halfwidth full stop hangs", u"あいう｡え"_s, 1, all, 3, u"あいう｡|え"_s);
    row("hanging at the end of paragraph", u"あいう。"_s, 1, all, 3, u"あいう。"_s);
    row("no hanging without overflow", u"あいう。え"_s, 1, u"WB"_s, 3, u"あい|う。え"_s);
    row("no hanging no kinsoku", u"あいう。え"_s, 1, u"B"_s, 3, u"あいう|。え"_s);
    row("ascii full stop does not hang", u"あいう.え"_s, 1, all, 3, u"あい|う.え"_s);
    row("two overflow chars step back", u"あいう、。え"_s, 1, all, 3, u"あい|う、。|え"_s);
    row("two overflow chars without kinsoku", u"あいう、。え"_s, 1, u"BO"_s, 3, u"あいう、|。え"_s);
    row("break after hanging illegal", u"あいう。」え"_s, 1, all, 3, u"あい|う。」|え"_s);
    row("spaces after hanging start a line", u"あいう。　え"_s, 1, all, 3, u"あいう。|　え"_s);
    row("no hanging after hanging spaces", u"あいう　。"_s, 1, all, 3, u"あい|う　。"_s);
    row("overflow char inside line plain", u"あ。いうえ"_s, 1, all, 3, u"あ。い|うえ"_s);
    // No legal break: break at the column.
    row("all prohibited", u"。。。。。"_s, 1, all, 3, u"。。。|。。"_s);
    row("all closing brackets", u"」」」」」"_s, 1, all, 3, u"」」」|」」"_s);
    row("all opening brackets", u"「「「「「"_s, 1, all, 3, u"「「「|「「"_s);
    // Latin words.
    row("word kept whole", u"ab cdef"_s, 1, all, 5, u"ab |cdef"_s);
    row("word too long breaks at column", u"abcdefgh"_s, 1, all, 3, u"abc|def|gh"_s);
    row("word after a delimiter", u"ab-cdef"_s, 1, all, 4, u"ab-|cdef"_s);
    row("slash delimits", u"ab/cdef"_s, 1, all, 4, u"ab/|cdef"_s);
    row("ascii full stop does not delimit", u"ab.cdef"_s, 1, all, 4, u"ab.c|def"_s);
    row("word without word break", u"ab cdef"_s, 1, u"WO"_s, 5, u"ab cd|ef"_s);
    row("japanese before word", u"あabc"_s, 1, all, 3, u"あ|abc"_s);
    row("japanese after word", u"abcあ"_s, 1, all, 3, u"abc|あ"_s);
    row("word then japanese", u"abあい"_s, 1, all, 3, u"abあ|い"_s);
    row("fullwidth letters break", u"ａｂｃｄ"_s, 1, all, 3, u"ａｂｃ|ｄ"_s);
    row("halfwidth katakana is narrow", u"ｱ ｲｳｴ"_s, 1, all, 3, u"ｱ |ｲｳｴ"_s);
    row("no-break space inside a word", u"ab\u00A0cd"_s, 1, all, 4, u"ab\u00A0c|d"_s);
    row("word kept with brackets", u"(ab) cd"_s, 1, all, 5, u"(ab) |cd"_s);
    row("opening paren before word", u"ab (cd"_s, 1, all, 4, u"ab |(cd"_s);
    // Spaces hang.
    row("one space hangs past the edge", u"ab   cd"_s, 1, all, 2, u"ab |  |cd"_s);
    row("one space hangs all flags off", u"ab   cd"_s, 1, QString(), 2, u"ab |  |cd"_s);
    row("one ideographic space hangs", u"あいう　　え"_s, 1, all, 3, u"あいう　|　え"_s);
    row("other white space hangs", u"ab\u2002cd"_s, 1, QString(), 2, u"ab\u2002|cd"_s);
    row("space then following char", u"ab 。c"_s, 1, all, 2, u"ab |。c"_s);
    row("spaces at paragraph start", u"    ab"_s, 1, all, 2, u"   | |ab"_s);
    // Tabs (stops every 4 cells).
    row("tab hangs", u"abcd\tef"_s, 1, all, 4, u"abcd→|ef"_s);
    row("spaces after a hanging tab", u"abcd\t  ef"_s, 1, all, 4, u"abcd→|  ef"_s);
    row("only one tab hangs", u"abcd\t\tef"_s, 1, all, 4, u"abcd→|→|ef"_s);
    row("tab cannot hang before following", u"あいうえ\t」"_s, 1, all, 5, u"あいうえ|→」"_s);
    row("tab line with no legal break", u"あいうえ\t」"_s, 1, all, 4, u"あいうえ|→|」"_s);
    row("tab inside line", u"a\tbcdefg"_s, 1, u"WO"_s, 6, u"a→bc|defg"_s);
    row("tab after a too wide char hangs", u"b\t1"_s, 1, all, 0, u"b→|1"_s);
    row("tab hangs all flags off", u"abcd\tef"_s, 1, QString(), 4, u"abcd→|ef"_s);
    // Clusters are never split.
    row("surrogate pair whole", u"あ𠮷い"_s, 1, all, 1, u"あ|𠮷|い"_s);
    row("surrogate pair at column", u"あい𠮷う"_s, 1, QString(), 2, u"あい|𠮷う"_s);
    row("combining mark stays", u"ab\u0301cd"_s, 1, QString(), 2, u"ab\u0301|cd"_s);
    row("voiced mark stays", u"あか\u3099さ"_s, 1, all, 2, u"あか\u3099|さ"_s);
    row("spacing mark stays", u"ab\u0903c"_s, 1, QString(), 2, u"a|b\u0903|c"_s);
    row("joiner never starts a line", u"a\u200Db"_s, 1, QString(), 0, u"a\u200Db"_s);
    row("too wide pair stays whole", u"𠮷a"_s, 1, QString(), 0, u"𠮷|a"_s);
    row("too wide char keeps its mark", u"a\u0301b"_s, 1, QString(), 0, u"a\u0301|b"_s);
    row("too wide char keeps one space", u"a  b"_s, 1, QString(), 0, u"a | |b"_s);
    row("joiner stays", u"xa\u200Db"_s, 1, QString(), 2, u"x|a\u200Db"_s);
    // Character wrap.
    row("character wrap latin", u"abcdefg"_s, 1, QString(), 3, u"abc|def|g"_s);
    row("character wrap kinsoku off", u"あいう」え"_s, 1, QString(), 3, u"あいう|」え"_s);
    row("character wrap brackets", u"あい「う"_s, 1, QString(), 3, u"あい「|う"_s);
    row("character wrap full stop", u"あいう。"_s, 1, QString(), 3, u"あいう|。"_s);
}

void TLineBreakerTest::Cases() {
    QFETCH(QString, text);
    QFETCH(int, level);
    QFETCH(QString, flags);
    QFETCH(int, cols);
    QFETCH(QString, expected);
    std::vector<float> adv = CellAdvances(text);
    // Zero columns: a line narrower than any character.
    double wrap = cols > 0 ? cols * kCell : kCell / 2;
    std::vector<qsizetype> breaks =
        BreakLines(text, adv.data(), wrap, kCell, 4 * kCell, RulesOf(level, flags));
    QCOMPARE(Shown(Lines(text, breaks)), expected);
}

void TLineBreakerTest::LevelsDiffer_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("level1");
    QTest::addColumn<QString>("level2");
    QTest::newRow("small ya") << u"あいきゃく"_s << u"あいき|ゃく"_s << u"あい|きゃく"_s;
    QTest::newRow("small tsu") << u"あいまっ"_s << u"あいま|っ"_s << u"あい|まっ"_s;
    QTest::newRow("small katakana") << u"あいシャ"_s << u"あいシ|ャ"_s << u"あい|シャ"_s;
    QTest::newRow("long vowel") << u"あいカー"_s << u"あいカ|ー"_s << u"あい|カー"_s;
    QTest::newRow("wave dash") << u"あい1〜"_s << u"あい1|〜"_s << u"あい|1〜"_s;
    QTest::newRow("fullwidth tilde") << u"あい1～"_s << u"あい1|～"_s << u"あい|1～"_s;
    QTest::newRow("halfwidth small") << u"あいｱｧ"_s << u"あい|ｱｧ"_s << u"あい|ｱｧ"_s;
    QTest::newRow("same for brackets") << u"あいう」"_s << u"あい|う」"_s << u"あい|う」"_s;
}

// Small kana, ー and the wave dashes may start a line at level 1 but not at level 2.
void TLineBreakerTest::LevelsDiffer() {
    QFETCH(QString, text);
    QFETCH(QString, level1);
    QFETCH(QString, level2);
    std::vector<float> adv = CellAdvances(text);
    QCOMPARE(Shown(Lines(text, BreakLines(text, adv.data(), 30, 10, 40, Level1Rules()))), level1);
    QCOMPARE(Shown(Lines(text, BreakLines(text, adv.data(), 30, 10, 40, Level2Rules()))), level2);
}

void TLineBreakerTest::LevelSets() {
    const TBreakRules& l1 = Level1Rules();
    const TBreakRules& l2 = Level2Rules();
    QVERIFY(l1.WordWrap && l1.WordBreak && l1.OverFlow);
    QVERIFY(l2.WordWrap && l2.WordBreak && l2.OverFlow);
    QCOMPARE(l1.Following.size(), 64);
    QCOMPARE(l2.Following.size(), 118);
    QVERIFY(l2.Following.startsWith(l1.Following));
    QCOMPARE(l1.Leading.size(), 28);
    QCOMPARE(l2.Leading, l1.Leading);
    QCOMPARE(l1.OverFlowChars, u"、。，．､｡"_s);
    QCOMPARE(l1.Delimiters, u" \t!-/?|"_s);
    // Both the Unicode and the CP932-decoded forms of the same marks.
    for (QChar c : u"〜～￠¢"_s)
        QVERIFY2(l2.Following.contains(c), qPrintable(QString(c)));
    for (QChar c : u"￡£￥¥"_s)
        QVERIFY2(l1.Leading.contains(c), qPrintable(QString(c)));
}

void TLineBreakerTest::CustomSets_data() {
    QTest::addColumn<QString>("following");
    QTest::addColumn<QString>("leading");
    QTest::addColumn<QString>("overflow");
    QTest::addColumn<QString>("delimiters");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cols");
    QTest::addColumn<QString>("expected");
    QTest::newRow("custom following")
        << u"う"_s << QString() << QString() << QString() << u"あいうえ"_s << 2 << u"あ|いう|え"_s;
    QTest::newRow("custom following latin")
        << u"x"_s << QString() << QString() << QString() << u"あいxう"_s << 2 << u"あ|いx|う"_s;
    QTest::newRow("custom following lets bracket start")
        << u"x"_s << QString() << QString() << QString() << u"あいう」え"_s << 3
        << u"あいう|」え"_s;
    QTest::newRow("custom leading")
        << QString() << u"い"_s << QString() << QString() << u"あいう"_s << 2 << u"あ|いう"_s;
    QTest::newRow("custom overflow") << QString() << QString() << u"え"_s << QString()
                                     << u"あいうえお"_s << 3 << u"あいうえ|お"_s;
    QTest::newRow("ascii full stop may hang")
        << QString() << QString() << u"."_s << QString() << u"あいう.え"_s << 3 << u"あいう.|え"_s;
    QTest::newRow("full stop not in custom overflow")
        << QString() << QString() << u"."_s << QString() << u"あいう。え"_s << 3
        << u"あいう|。え"_s;
    QTest::newRow("custom delimiter")
        << QString() << QString() << QString() << u"."_s << u"ab.cdef"_s << 4 << u"ab.|cdef"_s;
    QTest::newRow("space not a delimiter still breaks")
        << QString() << QString() << QString() << u"."_s << u"ab cdef"_s << 5 << u"ab |cdef"_s;
    QTest::newRow("hyphen no longer delimits")
        << QString() << QString() << QString() << u"."_s << u"ab-cdef"_s << 4 << u"ab-c|def"_s;
    QTest::newRow("supplementary in following")
        << u"𠮷"_s << QString() << QString() << QString() << u"あい𠮷"_s << 2 << u"あ|い𠮷"_s;
    QTest::newRow("supplementary in leading")
        << QString() << u"𠮷"_s << QString() << QString() << u"あ𠮷い"_s << 2 << u"あ|𠮷い"_s;
}

void TLineBreakerTest::CustomSets() {
    QFETCH(QString, following);
    QFETCH(QString, leading);
    QFETCH(QString, overflow);
    QFETCH(QString, delimiters);
    QFETCH(QString, text);
    QFETCH(int, cols);
    QFETCH(QString, expected);
    TBreakRules r;
    r.Following = following;
    r.Leading = leading;
    r.OverFlowChars = overflow;
    r.Delimiters = delimiters;
    std::vector<float> adv = CellAdvances(text);
    QCOMPARE(Shown(Lines(text, BreakLines(text, adv.data(), cols * kCell, kCell, 40, r))),
             expected);
}

void TLineBreakerTest::ProportionalAdvances() {
    const QString text = u"iiiiWWii"_s;
    const float adv[] = {2, 2, 2, 2, 12, 12, 2, 2};
    TBreakRules off = RulesOf(1, QString());
    // 8 + 12 = 20 fits exactly; the second W does not.
    QCOMPARE(Lines(text, BreakLines(text, adv, 20, 0, 40, off)),
             QStringList({u"iiiiW"_s, u"Wii"_s}));
    QCOMPARE(Lines(text, BreakLines(text, adv, 19.5, 0, 40, off)),
             QStringList({u"iiii"_s, u"W"_s, u"Wii"_s}));
    // A character wider than the whole line still gets a line of its own.
    QCOMPARE(Lines(text, BreakLines(text, adv, 3, 0, 40, off)),
             QStringList({u"i"_s, u"i"_s, u"i"_s, u"i"_s, u"W"_s, u"W"_s, u"i"_s, u"i"_s}));
}

// Tab stops count from the start of the display line, not of the paragraph.
void TLineBreakerTest::TabStopsFromLineStart() {
    const QString text = u"abcd ef\tgh"_s;
    std::vector<float> adv = CellAdvances(text);
    // Line 2 "ef<tab>gh": e 10, f 20, tab to 40, g 50, h 60 > 50. Had the stop been counted from
    // the paragraph (f ends at 70, tab to 80), "ef<tab>gh" would fit in 50.
    QCOMPARE(Shown(Lines(text, BreakLines(text, adv.data(), 50, 0, 40, Level1Rules()))),
             u"abcd |ef→|gh"_s);
    // A tab exactly on a stop advances to the next one.
    const QString t2 = u"abcd\tx"_s;
    std::vector<float> a2 = CellAdvances(t2);
    QCOMPARE(Shown(Lines(t2, BreakLines(t2, a2.data(), 75, 0, 20, Level1Rules()))), u"abcd→x"_s);
    QCOMPARE(Shown(Lines(t2, BreakLines(t2, a2.data(), 75, 0, 40, Level1Rules()))), u"abcd→|x"_s);
    // With no tab width the tab takes no room, whatever its advance entry says.
    std::vector<float> a3 = a2;
    a3[4] = 1000;
    QCOMPARE(Shown(Lines(t2, BreakLines(t2, a3.data(), 50, 0, 0, Level1Rules()))), u"abcd→x"_s);
}

void TLineBreakerTest::OverflowAreaWidth() {
    const QString text = u"あいう。え"_s;
    std::vector<float> adv = CellAdvances(text);
    auto shown = [&](double overflow) {
        return Shown(Lines(text, BreakLines(text, adv.data(), 30, overflow, 40, Level1Rules())));
    };
    QCOMPARE(shown(10), u"あいう。|え"_s);
    QCOMPARE(shown(25), u"あいう。|え"_s);
    // Wider than the overflow area: it steps back instead.
    QCOMPARE(shown(9.5), u"あい|う。え"_s);
    QCOMPARE(shown(0), u"あい|う。え"_s);
    // A line that is not full to the column: the mark hangs from where it starts.
    adv[2] = 5; // う is narrower, 。 starts at 25 and ends at 35
    QCOMPARE(shown(10), u"あいう。|え"_s);
}

void TLineBreakerTest::NoWrapWidth() {
    const QString text = u"あいうえおかきくけこ"_s;
    std::vector<float> adv = CellAdvances(text);
    QVERIFY(BreakLines(text, adv.data(), 0, 10, 40, Level1Rules()).empty());
    QVERIFY(BreakLines(text, adv.data(), -5, 10, 40, Level1Rules()).empty());
    QCOMPARE(BreakLines(text, adv.data(), 30, 10, 40, Level1Rules()),
             std::vector<qsizetype>({3, 6, 9}));
    // The caller's vector is cleared before it is filled.
    TPreparedBreakRules prepared(Level1Rules());
    std::vector<qsizetype> out{42, 43};
    BreakLines(text, adv.data(), 50, 10, 40, prepared, out);
    QCOMPARE(out, std::vector<qsizetype>({5}));
    BreakLines(text, adv.data(), 100, 10, 40, prepared, out);
    QVERIFY(out.empty());
}

void TLineBreakerTest::ClassesOfCharacters() {
    TPreparedBreakRules p(Level2Rules());
    struct TCase {
        char32_t Char;
        uint8_t Classes;
    };
    const TCase cases[] = {
        {U'a', 0},
        {U' ', bcSpace | bcDelimiter},
        {U'\t', bcDelimiter},
        {0x00A0, 0},
        {0x3000, bcSpace | bcWide},
        {0x2002, bcSpace},
        {U'あ', bcWide},
        {U'ゃ', bcWide | bcFollowing},
        {U'」', bcWide | bcFollowing},
        {U'「', bcWide | bcLeading},
        {U'。', bcWide | bcFollowing | bcOverFlow},
        {U'｡', bcFollowing | bcOverFlow},
        {U'ｱ', 0},
        {U'Ａ', bcWide},
        {U'…', bcInseparable | bcWide},
        {U'〵', bcInseparable | bcWide},
        {0x0301, bcMark},
        {0x0903, bcMark},
        {0x3099, bcMark | bcWide},
        {U'¥', bcLeading},
        {U'￥', bcLeading | bcWide},
        {U'°', bcFollowing | bcWide},
        // Two bytes in CP932: full width whatever Unicode says.
        {U'○', bcWide},
        {U'α', bcWide},
        {U'Ж', bcWide},
        {U'①', bcWide},
        {U'─', bcWide},
        {U'×', bcWide},
        {0x2212, bcWide}, // minus sign, the CP932 form of －
        {U'«', bcLeading},
        {U'한', bcWide},
        {0x20BB7, bcWide},
        {0x1F600, bcWide},
        {0x1D400, 0},
    };
    for (const TCase& c : cases)
        QVERIFY2(p.Classes(c.Char) == c.Classes,
                 qPrintable(QStringLiteral("U+%1: %2")
                                .arg(uint(c.Char), 4, 16, QChar(u'0'))
                                .arg(p.Classes(c.Char))));
}

// The per-thread cache must not keep using a table built for other rules.
void TLineBreakerTest::CopiedAndChangedRulesApply() {
    const QString text = u"あいう」え"_s;
    std::vector<float> adv = CellAdvances(text);
    TBreakRules r = Level1Rules();
    QCOMPARE(Shown(Lines(text, BreakLines(text, adv.data(), 30, 10, 40, r))), u"あい|う」え"_s);
    r.Following.remove(u'」');
    QCOMPARE(Shown(Lines(text, BreakLines(text, adv.data(), 30, 10, 40, r))), u"あいう|」え"_s);
    r.Following += u'」';
    QCOMPARE(Shown(Lines(text, BreakLines(text, adv.data(), 30, 10, 40, r))), u"あい|う」え"_s);
    r.WordWrap = false;
    QCOMPARE(Shown(Lines(text, BreakLines(text, adv.data(), 30, 10, 40, r))), u"あいう|」え"_s);
    QCOMPARE(Shown(Lines(text, BreakLines(text, adv.data(), 30, 10, 40, Level1Rules()))),
             u"あい|う」え"_s);
    // Three rule sets in turn, more than are kept prepared.
    TBreakRules leading;
    leading.Leading = u"い"_s;
    for (int round = 0; round < 3; ++round) {
        QCOMPARE(Shown(Lines(text, BreakLines(text, adv.data(), 30, 10, 40, Level1Rules()))),
                 u"あい|う」え"_s);
        QCOMPARE(Shown(Lines(text, BreakLines(text, adv.data(), 30, 10, 40, r))), u"あいう|」え"_s);
        QCOMPARE(Shown(Lines(text, BreakLines(text, adv.data(), 20, 10, 40, leading))),
                 u"あ|いう|」え"_s);
    }
}

// Seeded random paragraphs, widths and rules: the breaker against the reference, its rule
// check against the reference's, and the invariants every result must keep.
void TLineBreakerTest::RandomAgainstReference() {
    QRandomGenerator rng(20240611);
    int multiLine = 0, forced = 0, hung = 0;
    for (int round = 0; round < 4000; ++round) {
        const QString t = RandomText(rng, round % 10 == 0 ? 600 : 80);
        const std::vector<float> adv = RandomAdvances(rng, t);
        const TBreakRules r = RandomRules(rng);
        const double wrap = rng.bounded(6) == 0 ? 0 : 1 + rng.bounded(160);
        const double overflow = rng.bounded(30);
        const double tabWidth = rng.bounded(5) == 0 ? 0 : 8 * (1 + rng.bounded(6));
        const QString where = QStringLiteral("round %1 wrap %2 overflow %3 tab %4 text \"%5\"")
                                  .arg(round)
                                  .arg(wrap)
                                  .arg(overflow)
                                  .arg(tabWidth)
                                  .arg(t);

        const std::vector<qsizetype> got = BreakLines(t, adv.data(), wrap, overflow, tabWidth, r);
        const std::vector<qsizetype> want = RefBreakLines(t, adv, wrap, overflow, tabWidth, r);
        QVERIFY2(got == want, qPrintable(where + u" got "_s + Shown(Lines(t, got)) + u" want "_s +
                                         Shown(Lines(t, want))));

        TPreparedBreakRules prepared(r);
        for (qsizetype b = 1; b < t.size(); ++b)
            QVERIFY2(prepared.BreakAllowed(t, b) == RefAllowed(t, b, r),
                     qPrintable(where + QStringLiteral(" at %1").arg(b)));

        // Invariants.
        qsizetype s = 0;
        for (size_t k = 0; k <= got.size(); ++k) {
            const qsizetype e = k < got.size() ? got[k] : t.size();
            QVERIFY2(e > s || (t.isEmpty() && e == 0), qPrintable(where));
            // A line may start with blanks that did not hang at the end of the one before.
            const bool blanks = k < got.size() && RefSpace(t[e].unicode());
            if (k < got.size() && !blanks) {
                QVERIFY2(RefAlwaysAllowed(t, e), qPrintable(where));
                if (!RefAllowed(t, e, r)) {
                    ++forced;
                    for (qsizetype p = s + 1; p < e; ++p)
                        QVERIFY2(!RefAllowed(t, p, r), qPrintable(where));
                }
            }
            // Width of the line without its hanging blanks and one hanging tab: it fits unless
            // the line is a single cluster or ends in an overflow character hanging into the
            // overflow area.
            qsizetype v = e;
            while (v > s && RefSpace(t[v - 1].unicode()))
                --v;
            if (v > s && t[v - 1] == u'\t') {
                --v;
                while (v > s && RefSpace(t[v - 1].unicode()))
                    --v;
            }
            double x = 0;
            qsizetype clusters = 0;
            for (qsizetype i = s; i < v; ++i) {
                x += t[i] == u'\t' ? RefTab(x, tabWidth) : adv[size_t(i)];
                if (i == s || RefAlwaysAllowed(t, i))
                    ++clusters;
            }
            if (wrap > 0 && x > wrap && clusters > 1) {
                QVERIFY2(r.OverFlow && RefInSet(r.OverFlowChars, CodePointBefore(t, v)) &&
                             x <= wrap + overflow,
                         qPrintable(where));
                ++hung;
            }
            s = e;
        }
        if (got.size() > 1)
            ++multiLine;
    }
    // The run must have exercised the interesting paths, not only one-line paragraphs.
    QVERIFY(multiLine > 1000);
    QVERIFY(forced > 50);
    QVERIFY(hung > 50);
}

// A megabyte-long paragraph with no legal break, or long runs of prohibited characters, must
// break in time proportional to its length: stepping back never goes past the line start.
void TLineBreakerTest::PathologicalInputStaysLinear() {
    const qsizetype n = 1 << 20;
    const std::vector<float> adv = std::vector<float>(size_t(n), float(kCell));
    std::vector<qsizetype> out;
    TPreparedBreakRules l1(Level1Rules());

    // One Latin word: column breaks every 40 characters.
    const QString word(n, u'a');
    BreakLines(word, adv.data(), 400, kCell, 40, l1, out);
    QCOMPARE(qsizetype(out.size()), (n - 1) / 40);
    QCOMPARE(out.front(), 40);
    QCOMPARE(out.back(), qsizetype(out.size()) * 40);

    // Only closing brackets: nothing is allowed, column breaks again.
    const QString closing(n, u'」');
    BreakLines(closing, adv.data(), 400, kCell, 40, l1, out);
    QCOMPARE(qsizetype(out.size()), (n - 1) / 40);

    // A legal break only every 1000 characters, lines of 40: each line steps back to its start
    // and breaks at the column, except where a legal break falls inside the line.
    QString sparse = word;
    for (qsizetype i = 1015; i < n; i += 1000)
        sparse[i] = u' ';
    BreakLines(sparse, adv.data(), 400, kCell, 40, l1, out);
    qsizetype afterSpace = 0;
    for (size_t k = 0; k < out.size(); ++k) {
        qsizetype from = k == 0 ? 0 : out[k - 1];
        if (sparse[out[k] - 1] == u' ')
            ++afterSpace;
        else
            QCOMPARE(out[k] - from, 40);
        QVERIFY(out[k] > from && out[k] - from <= 40);
    }
    QCOMPARE(afterSpace, (n - 1015 + 999) / 1000);

    // One huge run of spaces: one hangs at the end of each line of 40, the rest go on.
    QString blanks(n, u' ');
    blanks[0] = u'x';
    blanks[n - 1] = u'y';
    BreakLines(blanks, adv.data(), 400, kCell, 40, l1, out);
    QVERIFY(!out.empty());
    for (size_t k = 0; k + 1 < out.size(); ++k)
        QCOMPARE(out[k], qsizetype(k + 1) * 41);
    QVERIFY(out.back() > n - 42 && out.back() < n);
}

QTEST_GUILESS_MAIN(TLineBreakerTest)
#include "LineBreakerTest.moc"
