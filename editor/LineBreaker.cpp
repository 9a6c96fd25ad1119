#include "editor/LineBreaker.h"

#include <QChar>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iconv.h>

namespace {

constexpr char16_t kTab = u'\t';
constexpr char16_t kZwj = 0x200D;

struct TRange {
    char32_t First;
    char32_t Last;
};

// East Asian Width W and F, with unassigned code points merged into the ranges around them so
// the table stays short (81 ranges instead of about 700).
constexpr TRange WideRanges[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
    {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
    {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
    {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
    {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
    {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
    {0x3041, 0x3247},   {0x3250, 0x4DBF},   {0x4E00, 0xA4C6},   {0xA960, 0xA97C},
    {0xAC00, 0xD7A3},   {0xF900, 0xFAD9},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6B},
    {0xFF01, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x1B2FB}, {0x1F004, 0x1F004},
    {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F320},
    {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA},
    {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E},
    {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E},
    {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4},
    {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2},
    {0x1F6D5, 0x1F6DF}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7F0},
    {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAF6},
    {0x20000, 0x3FFFD},
};

bool IsWide(char32_t c) {
    const TRange* end = std::end(WideRanges);
    const TRange* r = std::upper_bound(std::begin(WideRanges), end, c,
                                       [](char32_t v, const TRange& x) { return v < x.First; });
    return r != std::begin(WideRanges) && c <= (r - 1)->Last;
}

bool IsInseparable(char32_t c) {
    return c == 0x2014 || c == 0x2015 || c == 0x2025 || c == 0x2026 || c == 0x3033 || c == 0x3034 ||
           c == 0x3035;
}

// The shaper attaches these to the end of a line; the no-break spaces it keeps inside words.
bool IsSpace(char32_t c) {
    return c != kTab && QChar::isSpace(c) && QChar::decompositionTag(c) != QChar::NoBreak;
}

uint8_t FixedClasses(char32_t c) {
    uint8_t k = 0;
    if (IsWide(c))
        k |= bcWide;
    if (QChar::isMark(c))
        k |= bcMark;
    if (IsSpace(c))
        k |= bcSpace;
    if (IsInseparable(c))
        k |= bcInseparable;
    return k;
}

// Every character that CP932 writes in two bytes is full width as a Shift_JIS user counts and
// breaks it, whatever Unicode says of it: ○●※→ ― ─ Greek, Cyrillic, ① and × ÷ ° among them.
void MarkCp932DoubleBytes(uint8_t* table) {
    iconv_t cd = iconv_open("CP932", "UTF-16LE");
    if (cd == iconv_t(-1))
        return;
    for (char32_t c = 0x80; c < 0x10000; ++c) {
        if (QChar::isSurrogate(c) || (table[c] & bcWide))
            continue;
        char in[2] = {char(c & 0xFF), char(c >> 8)};
        char out[4];
        char* inPtr = in;
        char* outPtr = out;
        size_t inLeft = 2, outLeft = sizeof(out);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) &&
            outLeft == sizeof(out) - 2)
            table[c] |= bcWide;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
}

// The fixed classes of the BMP, built once (a few milliseconds) and copied into each prepared
// rule set.
const uint8_t* FixedBmp() {
    static const std::unique_ptr<uint8_t[]> table = [] {
        auto t = std::make_unique<uint8_t[]>(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c)
            t[c] = QChar::isSurrogate(c) ? 0 : FixedClasses(c);
        MarkCp932DoubleBytes(t.get());
        return t;
    }();
    return table.get();
}

char32_t CodePointAt(QStringView t, qsizetype i) {
    char16_t c = t[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < t.size() && QChar::isLowSurrogate(t[i + 1].unicode()))
        return QChar::surrogateToUcs4(c, t[i + 1].unicode());
    return c;
}

char32_t CodePointBefore(QStringView t, qsizetype i) {
    char16_t c = t[i - 1].unicode();
    if (QChar::isLowSurrogate(c) && i >= 2 && QChar::isHighSurrogate(t[i - 2].unicode()))
        return QChar::surrogateToUcs4(t[i - 2].unicode(), c);
    return c;
}

double TabAdvance(double x, double tabWidth) {
    if (!(tabWidth > 0))
        return 0;
    double next = (std::floor(x / tabWidth) + 1) * tabWidth;
    if (next <= x)
        next += tabWidth;
    return next - x;
}

bool SameString(const QString& a, const QString& b) {
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

bool SameRules(const TBreakRules& a, const TBreakRules& b) {
    return a.WordWrap == b.WordWrap && a.WordBreak == b.WordBreak && a.OverFlow == b.OverFlow &&
           SameString(a.Following, b.Following) && SameString(a.Leading, b.Leading) &&
           SameString(a.OverFlowChars, b.OverFlowChars) && SameString(a.Delimiters, b.Delimiters);
}

TBreakRules MakeRules(bool strict) {
    TBreakRules r;
    r.Following = QStringLiteral(
        "!%),.:;?]}¢°’”‰′″℃、。々〉》」』】〕゛゜ゝゞ・ヽヾ！％），．：；？］｝｡｣､･ﾞﾟ"
        "￠〙〗〟｠»⦆‐–‼⁇⁈⁉〻");
    if (strict)
        r.Following +=
            QStringLiteral("ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶㇰㇱㇲㇳㇴㇵㇶ"
                           "ㇷㇸㇹㇺㇻㇼㇽㇾㇿーｧｨｩｪｫｬｭｮｯｰ〜～゠");
    r.Leading = QStringLiteral("$([\\{£¥‘“〈《「『【〔＄（［｛｢￡￥〘〖〝｟«⦅");
    // ASCII , and . do not hang: in program text they are not sentence punctuation.
    r.OverFlowChars = QStringLiteral("、。，．､｡");
    r.Delimiters = QStringLiteral(" \t!-/?|");
    return r;
}

// Two entries, so that a view and a printout (or two views with different rules) breaking in
// turn on one thread do not rebuild the 64 KiB table on every paragraph.
const TPreparedBreakRules& PreparedFor(const TBreakRules& rules) {
    thread_local std::unique_ptr<TPreparedBreakRules> cached[2];
    if (cached[0] && SameRules(cached[0]->Rules(), rules))
        return *cached[0];
    std::swap(cached[0], cached[1]);
    if (!cached[0] || !SameRules(cached[0]->Rules(), rules))
        cached[0] = std::make_unique<TPreparedBreakRules>(rules);
    return *cached[0];
}

} // namespace

const TBreakRules& Level1Rules() {
    static const TBreakRules rules = MakeRules(false);
    return rules;
}

const TBreakRules& Level2Rules() {
    static const TBreakRules rules = MakeRules(true);
    return rules;
}

TPreparedBreakRules::TPreparedBreakRules(const TBreakRules& rules)
    : FRules(rules), FBmp(std::make_unique<uint8_t[]>(0x10000)) {
    std::memcpy(FBmp.get(), FixedBmp(), 0x10000);
    auto add = [this](const QString& set, uint8_t bit) {
        for (qsizetype i = 0; i < set.size(); ++i) {
            char32_t c = CodePointAt(set, i);
            if (c < 0x10000) {
                FBmp[c] |= bit;
                continue;
            }
            ++i;
            auto it = std::find_if(FSupplementary.begin(), FSupplementary.end(),
                                   [c](const auto& e) { return e.first == c; });
            if (it != FSupplementary.end())
                it->second |= bit;
            else
                FSupplementary.emplace_back(c, bit);
        }
    };
    add(FRules.Following, bcFollowing);
    add(FRules.Leading, bcLeading);
    add(FRules.OverFlowChars, bcOverFlow);
    add(FRules.Delimiters, bcDelimiter);
    std::sort(FSupplementary.begin(), FSupplementary.end());
}

TPreparedBreakRules::~TPreparedBreakRules() = default;

qsizetype Cells(QStringView text) {
    const uint8_t* table = FixedBmp();
    qsizetype cells = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t c = CodePointAt(text, i);
        if (c >= 0x10000)
            ++i;
        cells += ((c < 0x10000 ? table[c] : FixedClasses(c)) & bcWide) ? 2 : 1;
    }
    return cells;
}

qsizetype Cells(QLatin1StringView text) {
    const uint8_t* table = FixedBmp();
    qsizetype cells = text.size();
    for (const char c : text)
        cells += (table[uint8_t(c)] & bcWide) ? 1 : 0;
    return cells;
}

uint8_t TPreparedBreakRules::SupplementaryClasses(char32_t c) const {
    uint8_t k = FixedClasses(c);
    auto it = std::lower_bound(FSupplementary.begin(), FSupplementary.end(),
                               std::pair<char32_t, uint8_t>(c, 0));
    if (it != FSupplementary.end() && it->first == c)
        k |= it->second;
    return k;
}

bool TPreparedBreakRules::ClusterBoundary(QStringView text, qsizetype b) const {
    char16_t cur = text[b].unicode();
    char16_t prev = text[b - 1].unicode();
    if (QChar::isLowSurrogate(cur) || cur == kZwj || prev == kZwj)
        return false;
    return !(Classes(CodePointAt(text, b)) & (bcMark | bcSpace));
}

bool TPreparedBreakRules::BreakAllowed(QStringView text, qsizetype b) const {
    char16_t cur = text[b].unicode();
    char16_t prev = text[b - 1].unicode();
    if (QChar::isLowSurrogate(cur) || cur == kZwj || prev == kZwj)
        return false;
    uint8_t next = Classes(CodePointAt(text, b));
    if (next & (bcMark | bcSpace))
        return false;
    uint8_t last = Classes(CodePointBefore(text, b));
    if (FRules.WordWrap) {
        if ((next & bcFollowing) || (last & bcLeading) || ((next & bcInseparable) && cur == prev))
            return false;
    }
    if (FRules.WordBreak) {
        if (!((last | next) & (bcWide | bcSpace)) && cur != kTab && prev != kTab &&
            !(last & bcDelimiter))
            return false;
    }
    return true;
}

namespace {

// Advances by position, as the caller filled them in.
struct TByPosition {
    static constexpr bool MayLack = false;
    const float* Advances;
    float operator()(const char16_t*, qsizetype i) const { return Advances[i]; }
};

// Advances by UTF-16 unit from a table of 65536; a negative entry is one the table lacks.
struct TByUnit {
    static constexpr bool MayLack = true;
    const float* Table;
    float operator()(const char16_t* t, qsizetype i) const { return Table[t[i]]; }
};

constexpr qsizetype Missing = -1;

// Where the line that starts at s and whose first character not fitting is f ends (Missing when
// an advance it needs is missing). xAtF is the line's width before f.
template <typename TAdvances>
qsizetype LineEnd(QStringView text, TAdvances advance, double wrapWidth, double overflowWidth,
                  const TPreparedBreakRules& rules, qsizetype s, qsizetype f, double xAtF) {
    const qsizetype n = text.size();
    const char32_t c = CodePointAt(text, f);
    // One blank may hang past the edge; the rest of a run goes on in the next line, where its
    // marks and the caret after it can be seen.
    if (rules.Classes(c) & bcSpace)
        return f;
    const qsizetype after = f + (c >= 0x10000 ? 2 : 1);
    bool hang = c == kTab;
    if (!hang && rules.Rules().OverFlow && (rules.Classes(c) & bcOverFlow) && xAtF <= wrapWidth) {
        const float first = advance(text.utf16(), f);
        const float second = after - f == 2 ? advance(text.utf16(), f + 1) : 0.0f;
        if (TAdvances::MayLack && (first < 0 || second < 0))
            return Missing;
        hang = double(first) + double(second) <= overflowWidth;
    }
    // Blanks after a hanging character start the next line.
    if (hang && (after >= n || (rules.Classes(text[after].unicode()) & bcSpace) ||
                 rules.BreakAllowed(text, after)))
        return after;
    // Step back, never past the line's start: a paragraph of 1 Mi characters with no allowed
    // break still breaks at about 100 M characters a second.
    for (qsizetype b = f; b > s; --b) {
        if (rules.BreakAllowed(text, b))
            return b;
    }
    // No allowed break in the line: at the column, on a cluster boundary.
    for (qsizetype b = f; b > s; --b) {
        if (rules.ClusterBoundary(text, b))
            return b;
    }
    // The first cluster alone is wider than the line: it gets a line of its own.
    for (qsizetype b = f + 1; b < n; ++b) {
        if (rules.ClusterBoundary(text, b))
            return b;
    }
    return n;
}

// False when an advance was missing (the breaks found so far are then incomplete).
template <typename TAdvances>
bool Break(QStringView text, TAdvances advance, double wrapWidth, double overflowWidth,
           double tabWidth, const TPreparedBreakRules& rules, std::vector<qsizetype>& breaks) {
    breaks.clear();
    const qsizetype n = text.size();
    if (!(wrapWidth > 0) || n == 0)
        return true;
    const char16_t* t = text.utf16();
    qsizetype s = 0;
    while (s < n) {
        // Fitting pass: only additions until the width is exceeded; the first blank past the
        // edge hangs.
        double x = 0;
        qsizetype i = s;
        for (; i < n; ++i) {
            const char16_t c = t[i];
            double end;
            if (c == kTab) {
                end = x + TabAdvance(x, tabWidth);
            } else {
                const float a = advance(t, i);
                if (TAdvances::MayLack && a < 0)
                    return false;
                end = x + double(a);
            }
            const bool blank = rules.Classes(c) & bcSpace;
            if (end > wrapWidth && i > s &&
                (!blank || (x > wrapWidth && (rules.Classes(t[i - 1]) & bcSpace))))
                break;
            x = end;
        }
        if (i >= n)
            return true;
        const qsizetype b = LineEnd(text, advance, wrapWidth, overflowWidth, rules, s, i, x);
        if (b == Missing)
            return false;
        if (b >= n)
            return true;
        breaks.push_back(b);
        s = b;
    }
    return true;
}

} // namespace

void BreakLines(QStringView text, const float* advances, double wrapWidth, double overflowWidth,
                double tabWidth, const TPreparedBreakRules& rules, std::vector<qsizetype>& breaks) {
    Break(text, TByPosition{advances}, wrapWidth, overflowWidth, tabWidth, rules, breaks);
}

bool BreakLinesByUnit(QStringView text, const float* unitAdvances, double wrapWidth,
                      double overflowWidth, double tabWidth, const TPreparedBreakRules& rules,
                      std::vector<qsizetype>& breaks) {
    return Break(text, TByUnit{unitAdvances}, wrapWidth, overflowWidth, tabWidth, rules, breaks);
}

std::vector<qsizetype> BreakLines(QStringView text, const float* advances, double wrapWidth,
                                  double overflowWidth, double tabWidth, const TBreakRules& rules) {
    std::vector<qsizetype> breaks;
    BreakLines(text, advances, wrapWidth, overflowWidth, tabWidth, PreparedFor(rules), breaks);
    return breaks;
}
