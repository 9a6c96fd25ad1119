#include "editor/PairMatch.h"

#include <string_view>

namespace {

// Opening and closing in turn; the first three pairs are code's and count only outside strings
// and comments.
constexpr std::u16string_view Brackets = u"()[]{}「」『』（）【】";
constexpr size_t CodeBrackets = 6;

// HTML elements that have no closing tag.
constexpr std::u16string_view VoidElements[] = {u"area",   u"base",  u"br",    u"col",  u"embed",
                                                u"hr",     u"img",   u"input", u"link", u"meta",
                                                u"source", u"track", u"wbr"};

bool IsCode(TSyntaxKind kind) {
    return kind != skString && kind != skComment && kind != skRegExp && kind != skValue &&
           kind != skDoctype;
}
bool IsNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':';
}

// A stretch of one paragraph; the colour kinds of its characters are lexed when first asked for,
// so that the many paragraphs without the bracket or tag sought cost only their reading.
struct TStretch {
    qsizetype Pos = 0;
    QString Text;
    TSyntaxColours* Colours = nullptr;
    qsizetype Paragraph = 0, Offset = 0; // the stretch's start in its paragraph
    mutable std::vector<TSyntaxKind> Kinds;

    TSyntaxKind Kind(qsizetype k) const {
        if (Kinds.empty()) {
            Kinds.assign(size_t(Text.size()), skPlain);
            std::vector<TSyntaxRun> runs;
            Colours->Runs(Paragraph, Offset, Offset + Text.size(), runs);
            for (const TSyntaxRun& run : runs)
                std::fill_n(Kinds.begin() + (run.Start - Offset), run.Length, run.Kind);
        }
        return Kinds[size_t(k)];
    }
};

TStretch Fetch(const TTextBuffer& buffer, TSyntaxColours& colours, qsizetype paragraph,
               qsizetype from, qsizetype to) {
    return {from,      buffer.Text(from, to - from),       &colours,
            paragraph, from - buffer.LineStart(paragraph), {}};
}

// Hands visit the stretches from pos on (forwards) or before pos (backwards), nearest first,
// within MaxPairDistance of pos, until it returns true.
template <typename F>
void Walk(const TTextBuffer& buffer, TSyntaxColours& colours, qsizetype pos, int direction,
          F&& visit) {
    const qsizetype lo = std::max<qsizetype>(0, pos - MaxPairDistance);
    const qsizetype hi = std::min(buffer.Length(), pos + MaxPairDistance);
    for (qsizetype p = buffer.LineOfPos(pos); p >= 0 && p < buffer.LineCount(); p += direction) {
        qsizetype a = std::max(buffer.LineStart(p), lo), b = std::min(buffer.LineEnd(p), hi);
        if (direction > 0)
            a = std::max(a, pos);
        else
            b = std::min(b, pos);
        if (a < b && visit(Fetch(buffer, colours, p, a, b)))
            return;
        if ((direction > 0 && buffer.LineEnd(p) >= hi) ||
            (direction < 0 && buffer.LineStart(p) <= lo))
            return;
    }
}

// Visits a stretch's characters in the walk's direction.
template <typename F> bool Each(const TStretch& s, int direction, F&& f) {
    const qsizetype n = s.Text.size();
    for (qsizetype k = 0; k < n; ++k)
        if (f(direction > 0 ? k : n - 1 - k))
            return true;
    return false;
}

std::optional<TPairMatch> BracketAt(const TTextBuffer& buffer, TSyntaxColours& colours,
                                    qsizetype at) {
    if (at < 0 || at >= buffer.Length())
        return std::nullopt;
    const char16_t c = buffer.At(at);
    const size_t index = Brackets.find(c);
    if (index == std::u16string_view::npos)
        return std::nullopt;
    const bool code = index < CodeBrackets;
    const qsizetype paragraph = buffer.LineOfPos(at);
    if (code && !IsCode(Fetch(buffer, colours, paragraph, at, at + 1).Kind(0)))
        return std::nullopt;
    const char16_t partner = Brackets[index ^ 1];
    const int direction = index % 2 == 0 ? 1 : -1;
    int depth = 0;
    std::optional<TPairMatch> found;
    Walk(buffer, colours, direction > 0 ? at + 1 : at, direction, [&](const TStretch& s) {
        return Each(s, direction, [&](qsizetype k) {
            const char16_t ch = s.Text[k].unicode();
            if ((ch != c && ch != partner) || (code && !IsCode(s.Kind(k))))
                return false;
            if (ch == c) {
                ++depth;
                return false;
            }
            if (depth-- > 0)
                return false;
            found = TPairMatch{at, 1, s.Pos + k, 1};
            return true;
        });
    });
    return found;
}

std::optional<TPairMatch> TagAt(const TTextBuffer& buffer, TSyntaxColours& colours,
                                qsizetype caret) {
    if (colours.Language() != slHtml)
        return std::nullopt;
    const qsizetype paragraph = buffer.LineOfPos(caret);
    const qsizetype a = std::max(buffer.LineStart(paragraph), caret - 64);
    const qsizetype b = std::min(buffer.LineEnd(paragraph), caret + 64);
    const TStretch s = Fetch(buffer, colours, paragraph, a, b);
    const QString& t = s.Text;
    qsizetype nameStart = caret - a, nameEnd = nameStart;
    while (nameStart > 0 && IsNameChar(t[nameStart - 1]))
        --nameStart;
    while (nameEnd < t.size() && IsNameChar(t[nameEnd]))
        ++nameEnd;
    const bool closing = nameStart >= 2 && t[nameStart - 1] == u'/';
    const qsizetype lt = nameStart - (closing ? 2 : 1);
    if (lt < 0 || t[lt] != u'<' || nameEnd == nameStart || s.Kind(lt) != skTag)
        return std::nullopt;
    const QStringView name = QStringView(t).sliced(nameStart, nameEnd - nameStart);
    if (!closing)
        for (std::u16string_view v : VoidElements)
            if (name.compare(QStringView(v.data(), qsizetype(v.size())), Qt::CaseInsensitive) == 0)
                return std::nullopt;
    const int direction = closing ? -1 : 1;
    int depth = 0;
    std::optional<TPairMatch> found;
    Walk(buffer, colours, a + (closing ? lt : nameEnd), direction, [&](const TStretch& w) {
        return Each(w, direction, [&](qsizetype k) {
            if (w.Text[k] != u'<')
                return false;
            const bool isClosing = k + 1 < w.Text.size() && w.Text[k + 1] == u'/';
            const qsizetype from = k + (isClosing ? 2 : 1);
            qsizetype to = from;
            while (to < w.Text.size() && IsNameChar(w.Text[to]))
                ++to;
            if (QStringView(w.Text).sliced(from, to - from).compare(name, Qt::CaseInsensitive) !=
                    0 ||
                w.Kind(k) != skTag)
                return false;
            if (isClosing == closing) {
                ++depth;
                return false;
            }
            if (depth-- > 0)
                return false;
            found = TPairMatch{a + nameStart, name.size(), w.Pos + from, to - from};
            return true;
        });
    });
    return found;
}

} // namespace

std::optional<TPairMatch> FindPair(const TTextBuffer& buffer, TSyntaxColours& colours,
                                   qsizetype caret) {
    if (auto match = BracketAt(buffer, colours, caret))
        return match;
    if (auto match = BracketAt(buffer, colours, caret - 1))
        return match;
    return TagAt(buffer, colours, caret);
}
