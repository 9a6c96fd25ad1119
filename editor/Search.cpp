#include "editor/Search.h"

#include "editor/CharClass.h"

#include <QStringMatcher>
#include <algorithm>
#include <functional>

namespace {

bool Boundary(const TTextBuffer& buffer, qsizetype outside, qsizetype inside) {
    auto at = [&buffer](qsizetype i) {
        return buffer.At(i);
    };
    return IsWordBoundary(at, buffer.Length(), outside, inside);
}

bool WholeWordAt(const TTextBuffer& buffer, qsizetype pos, qsizetype length) {
    return Boundary(buffer, pos - 1, pos) && Boundary(buffer, pos + length, pos + length - 1);
}

// One character of a piece, whether the piece is Latin-1 or UTF-16.
char16_t Unit(char c) {
    return uint8_t(c);
}
char16_t Unit(QChar c) {
    return c.unicode();
}

Qt::CaseSensitivity Sensitivity(TFindOptions options) {
    return options.MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

} // namespace

bool IsWholeWord(const TTextBuffer& buffer, qsizetype pos, qsizetype length) {
    return WholeWordAt(buffer, pos, length);
}

bool MatchesAt(const TTextBuffer& buffer, qsizetype pos, const QString& what,
               TFindOptions options) {
    if (what.isEmpty() || pos < 0 || pos + what.size() > buffer.Length())
        return false;
    if (buffer.Text(pos, what.size()).compare(what, Sensitivity(options)) != 0)
        return false;
    return !options.WholeWord || WholeWordAt(buffer, pos, what.size());
}

namespace {
// Calls onMatch for each accepted match in [from, to), in order and without overlaps; onMatch
// returns false to stop.
void ScanMatches(const TTextBuffer& buffer, const QString& what, qsizetype from, qsizetype to,
                 TFindOptions options, const std::function<bool(qsizetype)>& onMatch) {
    const qsizetype n = what.size();
    from = std::clamp<qsizetype>(from, 0, buffer.Length());
    to = std::clamp<qsizetype>(to, 0, buffer.Length());
    if (n == 0 || to - from < n)
        return;
    const Qt::CaseSensitivity cs = Sensitivity(options);
    bool stopped = false;
    qsizetype nextAllowed = from;
    qsizetype pieceStart = from;
    QString seam; // the end of the previous piece, for matches across a chunk boundary
    auto offer = [&](qsizetype at) {
        if (at < nextAllowed || at + n > to)
            return;
        if (options.WholeWord && !WholeWordAt(buffer, at, n))
            return;
        nextAllowed = at + n;
        stopped = !onMatch(at);
    };
    // A search with many matches calls this once per match: the needle's tables are built once
    // here, not on every call as a plain indexOf would.
    const QStringMatcher matcher(what, cs);
    const QByteArray latin1 = what.toLatin1();
    const bool latin1Needle = QString::fromLatin1(latin1) == what;
    const std::boyer_moore_horspool_searcher latin1Searcher(latin1.begin(), latin1.end());
    // Ignoring case, an ASCII needle is found by its first letter in either case and the rest
    // compared with ASCII case folding: three times faster than the general case-folding search.
    const bool asciiNeedle =
        std::all_of(what.begin(), what.end(), [](QChar c) { return c.unicode() < 0x80; });
    auto FindFolded = [&](auto piece, qsizetype at) -> qsizetype {
        const auto* s = piece.data();
        const char16_t first = what[0].unicode();
        const char16_t lower = QChar::toLower(first), upper = QChar::toUpper(first);
        auto same = [](char16_t a, char16_t b) {
            return a == b ||
                   (a < 0x80 && b < 0x80 && QChar::isLetter(a) && (a | 0x20) == (b | 0x20));
        };
        for (qsizetype i = at, last = piece.size() - n; i <= last; ++i) {
            const char16_t c = Unit(s[i]);
            if (c != lower && c != upper)
                continue;
            qsizetype k = 1;
            while (k < n && same(Unit(s[i + k]), what[k].unicode()))
                ++k;
            if (k == n)
                return i;
        }
        return -1;
    };
    auto FindIn = [&](auto piece, qsizetype at) -> qsizetype {
        if (cs == Qt::CaseInsensitive && asciiNeedle)
            return FindFolded(piece, at);
        if constexpr (std::is_same_v<decltype(piece), QStringView>) {
            return matcher.indexIn(piece, at);
        } else {
            if (cs == Qt::CaseInsensitive)
                return piece.indexOf(what, at, cs);
            if (!latin1Needle || at >= piece.size())
                return -1;
            const char* end = piece.data() + piece.size();
            const char* hit = std::search(piece.data() + at, end, latin1Searcher);
            return hit == end ? -1 : hit - piece.data();
        }
    };
    auto search = [&](auto piece) {
        if (stopped)
            return;
        if (!seam.isEmpty()) {
            const QString joined = seam + piece.left(std::min(n - 1, piece.size())).toString();
            const qsizetype seamStart = pieceStart - seam.size();
            for (qsizetype i = joined.indexOf(what, 0, cs); i >= 0 && i < seam.size() && !stopped;
                 i = joined.indexOf(what, i + 1, cs))
                offer(seamStart + i);
        }
        for (qsizetype i = FindIn(piece, std::max<qsizetype>(0, nextAllowed - pieceStart));
             i >= 0 && !stopped; i = FindIn(piece, std::max(i + 1, nextAllowed - pieceStart)))
            offer(pieceStart + i);
        seam = piece.right(std::min(n - 1, piece.size())).toString();
        pieceStart += piece.size();
    };
    buffer.ForEachPiece(
        from, to - from, [&](QLatin1StringView piece) { search(piece); },
        [&](QStringView piece) { search(piece); });
}
} // namespace

void ForEachMatch(const TTextBuffer& buffer, const QString& what, qsizetype from, qsizetype to,
                  TFindOptions options, const std::function<bool(qsizetype)>& onMatch) {
    ScanMatches(buffer, what, from, to, options, onMatch);
}

std::optional<qsizetype> FindForward(const TTextBuffer& buffer, const QString& what, qsizetype from,
                                     qsizetype to, TFindOptions options) {
    std::optional<qsizetype> found;
    ScanMatches(buffer, what, from, to, options, [&](qsizetype at) {
        found = at;
        return false;
    });
    return found;
}

std::optional<qsizetype> FindBackward(const TTextBuffer& buffer, const QString& what,
                                      qsizetype from, qsizetype to, TFindOptions options) {
    const qsizetype n = what.size();
    const qsizetype lo = std::clamp<qsizetype>(to, 0, buffer.Length());
    const qsizetype hi = std::clamp<qsizetype>(from, 0, buffer.Length());
    if (n == 0 || hi - lo < n)
        return std::nullopt;
    const Qt::CaseSensitivity cs = Sensitivity(options);
    // Windows from the end backwards, overlapping by the pattern's length.
    constexpr qsizetype window = 1 << 20;
    for (qsizetype end = hi; end > lo; end -= window) {
        qsizetype start = std::max(lo, end - window);
        QString text = buffer.Text(start, std::min(hi, end + n - 1) - start);
        for (qsizetype i = text.lastIndexOf(what, -1, cs); i >= 0;
             i = i > 0 ? text.lastIndexOf(what, i - 1, cs) : -1) {
            if (start + i >= end)
                continue; // found in the overlap, already seen
            if (!options.WholeWord || WholeWordAt(buffer, start + i, n))
                return start + i;
        }
    }
    return std::nullopt;
}

TReplaceAllResult ReplaceAll(TTextBuffer& buffer, qsizetype from, const QString& what,
                             const QString& with, TFindOptions options, TSelection before) {
    if (buffer.ReadOnly())
        return {0, from};
    std::vector<TReplaceSpan> spans;
    ScanMatches(buffer, what, from, buffer.Length(), options, [&](qsizetype at) {
        spans.push_back({at, what.size(), 0, with.size()});
        return true;
    });
    TReplaceAllResult result = ReplaceSpans(buffer, spans, with, before);
    if (spans.empty())
        result.End = from;
    return result;
}

TReplaceAllResult ReplaceSpans(TTextBuffer& buffer, const std::vector<TReplaceSpan>& spans,
                               const QString& with, TSelection before) {
    TReplaceAllResult result;
    if (spans.empty() || buffer.ReadOnly())
        return result;
    const qsizetype first = spans.front().Pos, last = spans.back().Pos + spans.back().Length;
    // The new text is built straight from the chunks, gap by gap: the span is never copied whole.
    qsizetype grows = 0;
    for (const TReplaceSpan& span : spans)
        grows += span.WithLength - span.Length;
    QString replaced;
    replaced.reserve(last - first + grows);
    const QStringView withView(with);
    size_t next = 0;        // the first span not yet replaced
    qsizetype pos = first;  // where the current piece starts
    qsizetype done = first; // the source text before this is replaced or copied
    auto take = [&](auto piece) {
        const qsizetype end = pos + piece.size();
        auto copy = [&](qsizetype to) {
            if (to > done)
                replaced += piece.mid(done - pos, to - done);
            done = std::max(done, to);
        };
        // An empty span at the piece's end belongs to the next piece, unless it is the last.
        for (; next < spans.size() &&
               (spans[next].Pos < end || (spans[next].Pos == end && end == last));
             ++next) {
            copy(spans[next].Pos);
            replaced += withView.mid(spans[next].WithStart, spans[next].WithLength);
            done = spans[next].Pos + spans[next].Length; // may lie in a later piece
        }
        copy(end);
        pos = end;
    };
    if (last > first) {
        buffer.ForEachPiece(
            first, last - first, [&](QLatin1StringView piece) { take(piece); },
            [&](QStringView piece) { take(piece); });
    } else {
        take(QStringView()); // nothing but empty matches at one place
    }
    buffer.Replace(first, last - first, replaced, ekCommand, before);
    result.Count = qsizetype(spans.size());
    result.End = first + replaced.size();
    return result;
}
