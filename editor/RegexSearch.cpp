#include "editor/RegexSearch.h"

#include <algorithm>

// How a search is kept from freezing the window. The engine (PCRE2, as Qt builds it) counts its
// backtracking steps and gives up a match call after about ten million of them: about 50 ms here
// with its JIT, 200 ms without (QT_ENABLE_REGEXP_JIT=0), measured with (a+)+b before "aa…acb".
// Qt then hands back an invalid match object, which is told apart from "no match" and ends the
// search with rsTooComplex. ((a+)+b over a's alone is no trouble: the engine sees there is no b
// and answers at once.) Each call sees one paragraph or one window of
// text, and the deadline is checked between calls, so a search whose calls each stay under the
// limit but add up (a slow pattern over a large file) ends with rsTooSlow. All of it runs in the
// window's thread: no worker to cancel, no text to copy for it, no events processed midway.

namespace {

constexpr auto Unchecked = QRegularExpression::DontCheckSubjectStringMatchOption;
// Paragraphs are matched in windows of about this many characters: one engine call finds the
// next match over many short lines, where a call per paragraph costs about 0.2 µs each.
constexpr qsizetype WindowChars = 1 << 18;
// Line ends as the buffer knows them (CR LF, LF, CR) also for ^, $ and the dot.
const QString LineEndConvention = QStringLiteral("(*ANYCRLF)");

bool IsLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}

// The engine is told not to check each subject (a check per call would read the whole window
// every time), so a lone surrogate, which it must never see unchecked, becomes U+FFFD here: the
// same length, so positions stay.
QString Subject(const TTextBuffer& buffer, qsizetype pos, qsizetype length) {
    QString text = buffer.Text(pos, length);
    const qsizetype n = text.size();
    QChar* s = nullptr;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0xD800 || c > 0xDFFF)
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (!s)
            s = text.data();
        s[i] = QChar::ReplacementCharacter;
    }
    return text;
}

// One character on from pos, never into CR LF or a surrogate pair.
qsizetype StepFrom(QStringView text, qsizetype pos) {
    qsizetype next = pos + 1;
    if (next < text.size() && ((text[pos] == u'\r' && text[next] == u'\n') ||
                               (text[pos].isHighSurrogate() && text[next].isLowSurrogate())))
        ++next;
    return next;
}

struct TEscape {
    bool LineEnd = false; // names CR or LF
    bool Context = false; // looks at the subject's ends or resets the match start
};

// What a backslash sequence at text[i] (the character after the backslash) names.
TEscape EscapeAt(QStringView text, qsizetype i) {
    const QChar c = text[i];
    if (c == u'n' || c == u'r' || c == u'R')
        return {true, false};
    if (c == u'A' || c == u'z' || c == u'Z' || c == u'G' || c == u'K')
        return {false, true};
    if (c == u'x') {
        QStringView hex = text.mid(i + 1);
        if (hex.startsWith(u'{'))
            hex = hex.mid(1, std::max<qsizetype>(0, hex.indexOf(u'}') - 1));
        else
            hex = hex.left(2);
        bool ok = false;
        const uint value = hex.toUInt(&ok, 16);
        return {ok && (value == 0x0A || value == 0x0D), false};
    }
    return {};
}

} // namespace

TRegexSearch::TRegexSearch(const QString& pattern, TFindOptions options) : FOptions(options) {
    // Unicode properties: \w, \b and [[:alpha:]] take kanji and kana as letters.
    QRegularExpression::PatternOptions flags =
        QRegularExpression::MultilineOption | QRegularExpression::UseUnicodePropertiesOption;
    if (!options.MatchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    FRegex.setPatternOptions(flags);
    FRegex.setPattern(LineEndConvention + pattern);
    FRegex.optimize();
    // A pattern that names a line end may match over lines. One that looks at the subject's
    // ends, behind or ahead of the match, or commits to what it took (possessive and atomic
    // parts, verbs) could find another match in a window of many paragraphs than in one
    // paragraph alone; such patterns are matched paragraph by paragraph. The test is by the
    // pattern's text and errs towards the slow way (an escaped parenthesis counts too).
    FWindowSafe = true;
    const QStringView p(pattern);
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == u'\\' && i + 1 < p.size()) {
            const TEscape e = EscapeAt(p, ++i);
            FMultiLine |= e.LineEnd;
            FWindowSafe &= !e.Context;
        } else if (IsLineEnd(c)) {
            FMultiLine = true;
        } else if ((c == u'(' && i + 1 < p.size() && (p[i + 1] == u'*' || p[i + 1] == u'?') &&
                    !p.mid(i + 1).startsWith(u"?:")) ||
                   (c == u'+' && i > 0 && QStringView(u"*+?}").contains(p[i - 1]))) {
            FWindowSafe = false;
        }
    }
}

QString TRegexSearch::ErrorText() const {
    const qsizetype at =
        std::max<qsizetype>(0, FRegex.patternErrorOffset() - LineEndConvention.size());
    return QStringLiteral("正規表現が正しくありません: %1（%2 文字目）")
        .arg(FRegex.errorString())
        .arg(at + 1);
}

QString TRegexSearch::StatusText(TRegexStatus status) {
    switch (status) {
    case rsTooSlow:
        return QStringLiteral("時間がかかりすぎるため、正規表現の検索を中止しました");
    case rsTooComplex:
        return QStringLiteral("正規表現の照合が複雑すぎるため（後戻りの限度を超えました）、"
                              "検索を中止しました");
    case rsDone:
        break;
    }
    return {};
}

namespace {

// One scan's state: the engine calls with their limits, and the hits offered to the caller.
struct TScanner {
    const QRegularExpression& Regex;
    TFindOptions Options;
    const TTextBuffer& Buffer;
    qsizetype To;
    const QDeadlineTimer& Deadline;
    const std::function<bool(const TRegexHit&)>& OnMatch;
    TRegexStatus Status = rsDone;

    // One engine call; false when the search must end (Status tells why).
    bool Match(QStringView subject, qsizetype offset, QRegularExpressionMatch& m,
               QRegularExpression::MatchType type = QRegularExpression::NormalMatch) {
        if (Deadline.hasExpired()) {
            Status = rsTooSlow;
            return false;
        }
        m = Regex.match(subject, offset, type, Unchecked);
        if (!m.isValid()) {
            Status = rsTooComplex;
            return false;
        }
        return true;
    }

    // Offers a match found in subject, which starts at buffer position base: where the search
    // goes on in subject, or -1 when it ends. A match starting inside CR LF is no match, nor is
    // one that is not a whole word when whole words are asked for.
    qsizetype Offer(QStringView subject, qsizetype base, const QRegularExpressionMatch& m) {
        const qsizetype s = m.capturedStart(), e = m.capturedEnd();
        if (base + s > To || base + e > To)
            return -1;
        const bool inCrLf =
            s > 0 && s < subject.size() && subject[s - 1] == u'\r' && subject[s] == u'\n';
        if (inCrLf || (Options.WholeWord && (e == s || !IsWholeWord(Buffer, base + s, e - s))))
            return StepFrom(subject, s);
        if (!OnMatch({base + s, e - s, &m, base}))
            return -1;
        return e > s ? e : StepFrom(subject, e);
    }

    // The matches of one paragraph alone, from offset on; false when the search ends.
    bool ScanParagraph(QStringView paragraph, qsizetype base, qsizetype offset) {
        QRegularExpressionMatch m;
        while (offset <= paragraph.size()) {
            if (!Match(paragraph, offset, m))
                return false;
            if (!m.hasMatch())
                return true;
            offset = Offer(paragraph, base, m);
            if (offset < 0)
                return false;
        }
        return true;
    }

    // The matches of a window of whole paragraphs from offset on, paragraphStart being the start
    // of offset's paragraph; false when the search ends.
    bool ScanWindow(QStringView text, qsizetype base, qsizetype paragraphStart, qsizetype offset,
                    bool windowSafe) {
        auto endOf = [&](qsizetype from) {
            while (from < text.size() && !IsLineEnd(text[from]))
                ++from;
            return from;
        };
        auto nextStart = [&](qsizetype end) {
            return end < text.size() && text[end] == u'\r' && end + 1 < text.size() &&
                           text[end + 1] == u'\n'
                       ? end + 2
                       : end + 1;
        };
        QRegularExpressionMatch m;
        while (offset <= text.size()) {
            if (!windowSafe) {
                const qsizetype end = endOf(offset);
                if (!ScanParagraph(text.mid(paragraphStart, end - paragraphStart),
                                   base + paragraphStart, offset - paragraphStart))
                    return false;
                paragraphStart = offset = nextStart(end);
                continue;
            }
            if (!Match(text, offset, m))
                return false;
            if (!m.hasMatch()) {
                // The engine's ^ never matches after a line end that ends the subject: an
                // empty last paragraph is asked alone.
                if (!text.isEmpty() && IsLineEnd(text.back()))
                    return ScanParagraph(QStringView(), base + text.size(), 0);
                return true;
            }
            const qsizetype s = m.capturedStart(), e = m.capturedEnd();
            const QStringView found = text.mid(s, e - s);
            if (std::none_of(found.begin(), found.end(), IsLineEnd)) {
                offset = Offer(text, base, m);
                if (offset < 0)
                    return false;
                continue;
            }
            // Over a line end: what that paragraph alone gives from there, then the next one.
            qsizetype start = s;
            while (start > 0 && !IsLineEnd(text[start - 1]))
                --start;
            const qsizetype end = endOf(s);
            if (!ScanParagraph(text.mid(start, end - start), base + start, s - start))
                return false;
            offset = nextStart(end);
        }
        return true;
    }
};

} // namespace

TRegexStatus TRegexSearch::Scan(const TTextBuffer& buffer, qsizetype from, qsizetype to,
                                const QDeadlineTimer& deadline,
                                const std::function<bool(const TRegexHit&)>& onMatch,
                                qsizetype* reached) const {
    qsizetype ignored = 0;
    if (!reached)
        reached = &ignored;
    from = buffer.Snap(std::clamp<qsizetype>(from, 0, buffer.Length()), true);
    to = std::clamp<qsizetype>(to, 0, buffer.Length());
    if (!IsValid() || from > to)
        return rsDone;
    return FMultiLine ? ScanOverLines(buffer, from, to, deadline, onMatch, reached)
                      : ScanParagraphs(buffer, from, to, deadline, onMatch, reached);
}

TRegexStatus TRegexSearch::ScanParagraphs(const TTextBuffer& buffer, qsizetype from, qsizetype to,
                                          const QDeadlineTimer& deadline,
                                          const std::function<bool(const TRegexHit&)>& onMatch,
                                          qsizetype* reached) const {
    TScanner scanner{FRegex, FOptions, buffer, to, deadline, onMatch};
    qsizetype paragraph = buffer.LineOfPos(from);
    const qsizetype lastParagraph = buffer.LineOfPos(to);
    qsizetype offset = from - buffer.LineStart(paragraph);
    while (paragraph <= lastParagraph) {
        const qsizetype start = buffer.LineStart(paragraph);
        const qsizetype last =
            std::clamp(buffer.LineOfPos(std::min(buffer.Length(), start + WindowChars)), paragraph,
                       lastParagraph);
        const qsizetype end = buffer.LineEnd(last);
        const QString text = Subject(buffer, start, end - start);
        if (!scanner.ScanWindow(text, start, 0, offset, FWindowSafe))
            return scanner.Status;
        paragraph = last + 1;
        offset = 0;
        *reached = paragraph < buffer.LineCount() ? buffer.LineStart(paragraph) : buffer.Length();
    }
    return rsDone;
}

// Over lines the window starts at a paragraph's start and grows while a match might go on past
// its end: the engine's hard partial matching reports a match that reached the window's end
// (and would want more text) before any complete match found further on.
TRegexStatus TRegexSearch::ScanOverLines(const TTextBuffer& buffer, qsizetype from, qsizetype to,
                                         const QDeadlineTimer& deadline,
                                         const std::function<bool(const TRegexHit&)>& onMatch,
                                         qsizetype* reached) const {
    TScanner scanner{FRegex, FOptions, buffer, to, deadline, onMatch};
    qsizetype start = buffer.LineStart(buffer.LineOfPos(from));
    qsizetype offset = from - start;
    qsizetype size = WindowChars;
    QRegularExpressionMatch m;
    while (true) {
        const qsizetype next = buffer.LineOfPos(std::min(buffer.Length(), start + size)) + 1;
        const qsizetype end = next < buffer.LineCount() ? buffer.LineStart(next) : buffer.Length();
        const bool whole = end == buffer.Length();
        const QString text = Subject(buffer, start, end - start);
        bool grow = false;
        while (offset <= text.size()) {
            if (!scanner.Match(text, offset, m,
                               whole ? QRegularExpression::NormalMatch
                                     : QRegularExpression::PartialPreferFirstMatch))
                return scanner.Status;
            if (m.hasPartialMatch()) {
                grow = true;
                break;
            }
            if (!m.hasMatch())
                break;
            offset = scanner.Offer(text, start, m);
            if (offset < 0)
                return scanner.Status;
        }
        if (!grow)
            *reached = end;
        if (whole && !grow)
            return rsDone;
        if (!grow) {
            start = end;
            offset = 0;
            size = WindowChars;
            continue;
        }
        // The window starts again at the paragraph where the unfinished match starts, or, when
        // that is where it stands already, takes twice the text.
        const qsizetype partialAt = start + m.capturedStart();
        const qsizetype restart = buffer.LineStart(buffer.LineOfPos(partialAt));
        if (restart > start) {
            offset = start + offset - restart;
            start = restart;
        } else {
            size *= 2;
        }
    }
}

TRegexStatus TRegexSearch::Forward(const TTextBuffer& buffer, qsizetype from,
                                   const QDeadlineTimer& deadline,
                                   std::optional<std::pair<qsizetype, qsizetype>>& found) const {
    found.reset();
    return Scan(buffer, from, buffer.Length(), deadline, [&](const TRegexHit& hit) {
        found = {hit.Pos, hit.Length};
        return false;
    });
}

// Paragraph by paragraph the windows go back from `from`; over lines the whole text before it
// is searched, as matches may start anywhere before.
TRegexStatus TRegexSearch::Backward(const TTextBuffer& buffer, qsizetype from,
                                    const QDeadlineTimer& deadline,
                                    std::optional<std::pair<qsizetype, qsizetype>>& found) const {
    found.reset();
    from = std::clamp<qsizetype>(from, 0, buffer.Length());
    auto keepLast = [&](const TRegexHit& hit) {
        if (hit.Pos < from)
            found = {hit.Pos, hit.Length};
        return true;
    };
    if (FMultiLine)
        return Scan(buffer, 0, from, deadline, keepLast);
    qsizetype end = from;
    for (qsizetype last = buffer.LineOfPos(from); last >= 0;) {
        const qsizetype first =
            buffer.LineOfPos(std::max<qsizetype>(0, buffer.LineStart(last) - WindowChars));
        const TRegexStatus status = Scan(buffer, buffer.LineStart(first), end, deadline, keepLast);
        if (status != rsDone || found || first == 0)
            return status;
        last = first - 1;
        end = buffer.LineEnd(last);
    }
    return rsDone;
}

bool TRegexSearch::MatchesExactly(const TTextBuffer& buffer, qsizetype pos, qsizetype length,
                                  const QDeadlineTimer& deadline,
                                  const std::function<void(const TRegexHit&)>& onMatch) const {
    bool exact = false;
    Scan(buffer, pos, pos + length, deadline, [&](const TRegexHit& hit) {
        exact = hit.Pos == pos && hit.Length == length;
        if (exact && onMatch)
            onMatch(hit);
        return false;
    });
    return exact;
}

TRegexStatus TRegexSearch::ReplaceAll(TTextBuffer& buffer, qsizetype from, const QString& with,
                                      const QString& lineEnd, TSelection before,
                                      const QDeadlineTimer& deadline,
                                      TReplaceAllResult& result) const {
    result = {0, from};
    if (buffer.ReadOnly())
        return rsDone;
    std::vector<TReplaceSpan> spans;
    // Every match's replacement, one after the other; a replacement without references is
    // the same text for all.
    const bool plain = !with.contains(u'$') && !with.contains(u'\\');
    QString replacements = plain ? with : QString();
    const TRegexStatus status =
        Scan(buffer, from, buffer.Length(), deadline, [&](const TRegexHit& hit) {
            if (plain) {
                spans.push_back({hit.Pos, hit.Length, 0, with.size()});
                return true;
            }
            const qsizetype at = replacements.size();
            replacements += ExpandReplacement(with, *hit.Match, lineEnd);
            spans.push_back({hit.Pos, hit.Length, at, replacements.size() - at});
            return true;
        });
    if (status != rsDone)
        return status;
    result = ReplaceSpans(buffer, spans, replacements, before);
    if (spans.empty())
        result.End = from;
    return rsDone;
}

QString ExpandReplacement(const QString& with, const QRegularExpressionMatch& match,
                          const QString& lineEnd) {
    QString out;
    out.reserve(with.size());
    for (qsizetype i = 0; i < with.size(); ++i) {
        const QChar c = with[i];
        const QChar next = i + 1 < with.size() ? with[i + 1] : QChar();
        if (c == u'$' && next.isDigit() && next != u'0') {
            out += match.captured(next.digitValue());
            ++i;
        } else if (c == u'$' && (next == u'&' || next == u'$')) {
            out += next == u'&' ? match.captured(0) : QStringLiteral("$");
            ++i;
        } else if (c == u'\\' && (next == u'n' || next == u't' || next == u'\\')) {
            out += next == u'n'   ? lineEnd
                   : next == u't' ? QStringLiteral("\t")
                                  : QStringLiteral("\\");
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}
