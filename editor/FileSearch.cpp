#include "editor/FileSearch.h"

#include "editor/CharClass.h"
#include "platform/CharacterDecoding.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <mutex>
#include <thread>

namespace {

// A file with a NUL byte this near its start is not text (UTF-16 aside, which has a BOM).
constexpr qsizetype BinaryProbe = 8192;
// Longer lines (minified scripts) are shown as a stretch around the match.
constexpr qsizetype LongLine = 512;
constexpr qsizetype ShownBefore = 100, ShownAfter = 300;
// Smaller files are read into the thread's own buffer, larger ones mapped.
constexpr qint64 MapAbove = 4 << 20;
// Lets ^ and $ stand at every line end the editor knows (CR LF, LF, CR), and . stop at them.
const QString LineEndConvention = QStringLiteral("(*ANYCRLF)");

// PCRE2 names its errors in English; the ones a user meets most are said in Japanese.
QString RegexErrorText(const QString& english) {
    static const std::pair<const char*, const char16_t*> known[] = {
        {"missing closing parenthesis", u"閉じ括弧 ) がありません"},
        {"missing terminating ] for character class", u"文字クラスの ] がありません"},
        {"quantifier does not follow a repeatable item",
         u"繰り返しの記号の前に繰り返せるものがありません"},
        {"unmatched closing parenthesis", u"対応する開き括弧 ( がありません"},
        {"\\ at end of pattern", u"パターンが \\ で終わっています"},
        {"range out of order in character class", u"文字クラスの範囲の順序が逆です"},
        {"numbers out of order in {} quantifier", u"{} の数の順序が逆です"},
        {"reference to non-existent subpattern", u"存在しないグループを参照しています"},
    };
    for (const auto& [en, ja] : known)
        if (english.startsWith(QLatin1StringView(en), Qt::CaseInsensitive))
            return QString::fromUtf16(ja);
    return english;
}

// Collects decoded text into a string that keeps its capacity from file to file.
class TReusedSink : public TTextSink {
public:
    explicit TReusedSink(QString& text) : FText(text) { FText.resize(0); }
    void AppendLatin1(const char* data, qsizetype n) override {
        FText.append(QLatin1StringView(data, n));
    }
    void AppendUtf16(const char16_t* data, qsizetype n) override {
        FText.append(reinterpret_cast<const QChar*>(data), n);
    }

private:
    QString& FText;
};

// Detects and decodes as loading a file into the editor does.
void DecodeDetected(QByteArrayView bytes, QString& text) {
    std::optional<TTextEncoding> encoding = DetectWithoutUtf8(bytes);
    if (!encoding) {
        TReusedSink sink(text);
        if (DecodeIfUtf8(bytes, sink))
            return;
        encoding = DetectEncoding(bytes);
    }
    TReusedSink sink(text);
    DecodeCharacters(bytes, *encoding, sink);
}

bool IsBinary(QByteArrayView bytes) {
    const QByteArrayView head = bytes.first(std::min(bytes.size(), BinaryProbe));
    const auto* p = reinterpret_cast<const uint8_t*>(head.data());
    if (head.size() >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF)))
        return false;
    return head.contains('\0');
}

bool IsLineEnd(QChar c) {
    return c == u'\n' || c == u'\r';
}

// Characters in text[from, to), a surrogate pair counting once.
qsizetype CharCount(QStringView text, qsizetype from, qsizetype to) {
    qsizetype n = to - from;
    for (qsizetype i = from + 1; i < to; ++i)
        n -= text[i].isLowSurrogate() && text[i - 1].isHighSurrogate();
    return n;
}

// Whether ignoring case can change nothing for this text: kana, kanji, CJK punctuation and
// ASCII other than letters have no case, and no other character folds to them. A Japanese word
// is then found by the plain search, several times faster than the case-folding one.
bool Caseless(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x80 && !c.isLetter()) || (u >= 0x3000 && u <= 0x9FFF);
    });
}

} // namespace

QStringList SplitPatterns(const QString& field) {
    static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    return field.split(separators, Qt::SkipEmptyParts);
}

TTextMatcher::TTextMatcher(const TFileSearchQuery& query)
    : FQuery(query),
      FPlain(query.Text, query.Options.MatchCase || Caseless(query.Text) ? Qt::CaseSensitive
                                                                         : Qt::CaseInsensitive) {
    if (!query.RegularExpression)
        return;
    QRegularExpression::PatternOptions options = QRegularExpression::MultilineOption;
    if (!query.Options.MatchCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    FRegex = QRegularExpression(LineEndConvention + query.Text, options);
    FValid = FRegex.isValid();
    if (!FValid) {
        FErrorOffset = std::clamp<qsizetype>(FRegex.patternErrorOffset() - LineEndConvention.size(),
                                             0, query.Text.size());
        FError = QStringLiteral("正規表現が正しくありません（%1 文字目）: %2")
                     .arg(FErrorOffset + 1)
                     .arg(RegexErrorText(FRegex.errorString()));
        return;
    }
    FRegex.optimize();
}

bool TTextMatcher::WholeWordAt(QStringView text, qsizetype pos, qsizetype length) const {
    const auto at = [text](qsizetype i) {
        return text[i].unicode();
    };
    return IsWordBoundary(at, text.size(), pos - 1, pos) &&
           IsWordBoundary(at, text.size(), pos + length, pos + length - 1);
}

void TTextMatcher::ForEachMatch(QStringView text,
                                const std::function<bool(qsizetype, qsizetype)>& found) const {
    if (!FValid || FQuery.Text.isEmpty())
        return;
    const bool wholeWord = FQuery.Options.WholeWord;
    if (!FQuery.RegularExpression) {
        const qsizetype n = FQuery.Text.size();
        for (qsizetype i = FPlain.indexIn(text, 0); i >= 0;) {
            if (wholeWord && !WholeWordAt(text, i, n)) {
                i = FPlain.indexIn(text, i + 1);
                continue;
            }
            if (!found(i, n))
                return;
            i = FPlain.indexIn(text, i + n);
        }
        return;
    }
    for (qsizetype from = 0; from <= text.size();) {
        const QRegularExpressionMatch m = FRegex.match(text, from);
        if (!m.hasMatch())
            return;
        const qsizetype start = m.capturedStart(), length = m.capturedLength();
        // A word that is not whole may still hold a whole word starting later inside it.
        const bool accepted = length == 0 || !wholeWord || WholeWordAt(text, start, length);
        if (accepted && !found(start, length))
            return;
        if (accepted && length > 0) {
            from = start + length;
        } else {
            // The next try starts after this character, never inside a surrogate pair.
            const bool pair = start + 1 < text.size() && text[start].isHighSurrogate() &&
                              text[start + 1].isLowSurrogate();
            from = start + (pair ? 2 : 1);
        }
    }
}

std::vector<TFileMatch> MatchText(QStringView text, const TTextMatcher& matcher, qsizetype limit,
                                  const std::atomic<bool>* cancel) {
    std::vector<TFileMatch> matches;
    qsizetype line = 1, lineStart = 0, scanned = 0;
    qsizetype lineEnd = -1;               // of the line at lineStart, once found
    qsizetype countedTo = 0, counted = 0; // characters of the line before countedTo
    matcher.ForEachMatch(text, [&](qsizetype pos, qsizetype length) {
        const char16_t* s = text.utf16();
        for (; scanned < pos; ++scanned) {
            const char16_t c = s[scanned];
            if (c > u'\r')
                continue;
            // CR LF is one line end: its CR is not a break of its own.
            if (c == u'\n' ||
                (c == u'\r' && (scanned + 1 == text.size() || s[scanned + 1] != u'\n'))) {
                ++line;
                lineStart = scanned + 1;
                lineEnd = -1;
                countedTo = lineStart;
                counted = 0;
            }
        }
        if (lineEnd < pos) {
            lineEnd = pos;
            while (lineEnd < text.size() && !IsLineEnd(text[lineEnd]))
                ++lineEnd;
        }
        counted += CharCount(text, countedTo, pos);
        countedTo = pos;
        TFileMatch m;
        m.Line = line;
        m.Column = counted + 1;
        m.LineOffset = pos - lineStart;
        m.Pos = pos;
        m.Length = length;
        qsizetype from = lineStart, to = lineEnd;
        if (to - from > LongLine) {
            from = std::max(lineStart, pos - ShownBefore);
            to = std::min(lineEnd, pos + length + ShownAfter);
            // Never half a pair of surrogates at either end.
            from -= from > lineStart && text[from].isLowSurrogate();
            to += to < lineEnd && text[to - 1].isHighSurrogate();
        }
        m.Shown = text.mid(from, to - from).toString();
        // A tab would be drawn as a box in a one-line list; a blank keeps the match's place.
        m.Shown.replace(u'\t', u' ');
        m.ShownStart = pos - from;
        m.ShownLength = std::min(length, lineEnd - pos);
        if (from > lineStart) {
            m.Shown.prepend(u'…');
            ++m.ShownStart;
        }
        if (to < lineEnd)
            m.Shown.append(u'…');
        matches.push_back(std::move(m));
        return qsizetype(matches.size()) != limit &&
               (!cancel || !cancel->load(std::memory_order_relaxed));
    });
    return matches;
}

QStringList ListFiles(const TFileSearchQuery& query) {
    QStringList patterns = query.Patterns;
    if (patterns.isEmpty())
        patterns << QStringLiteral("*");
    // Hidden folders (version control, editor backups) are not the site's pages.
    QDirIterator it(query.Folder, patterns, QDir::Files | QDir::NoDotAndDotDot,
                    query.SubFolders ? QDirIterator::Subdirectories
                                     : QDirIterator::NoIteratorFlags);
    QStringList files;
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

namespace {

// What one worker found in one file.
struct TFileOutcome {
    TFileResult Result;
    bool Searched = false, Binary = false, Large = false, Unreadable = false;
};

// The buffers a worker keeps from file to file, so that a search of thousands of small files
// does not allocate for each one.
struct TWorkerBuffers {
    QByteArray Bytes;
    QString Text;
};

TFileOutcome SearchFile(const QString& path, const TFileSearchQuery& query,
                        const TTextMatcher& matcher, const std::atomic<bool>& cancel,
                        TWorkerBuffers& buffers) {
    TFileOutcome outcome;
    outcome.Result.Path = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        outcome.Unreadable = true;
        return outcome;
    }
    const qint64 size = file.size();
    if (size > query.SizeLimit) {
        outcome.Large = true;
        return outcome;
    }
    QByteArrayView bytes;
    uchar* map = nullptr;
    if (size > MapAbove && (map = file.map(0, size))) {
        bytes = QByteArrayView(reinterpret_cast<const char*>(map), size);
    } else {
        buffers.Bytes.resize(size);
        const qint64 read = size > 0 ? file.read(buffers.Bytes.data(), size) : 0;
        if (read != size) {
            outcome.Unreadable = true;
            return outcome;
        }
        bytes = buffers.Bytes;
    }
    if (IsBinary(bytes)) {
        outcome.Binary = true;
    } else {
        DecodeDetected(bytes, buffers.Text);
        outcome.Searched = true;
        outcome.Result.Matches = MatchText(
            buffers.Text, matcher, query.MaxMatches > 0 ? query.MaxMatches + 1 : -1, &cancel);
    }
    if (map)
        file.unmap(map);
    return outcome;
}

} // namespace

TFileSearchSummary RunFileSearch(const TFileSearchQuery& query, const std::atomic<bool>& cancel,
                                 const std::function<void(TFileResult&&)>& onFile,
                                 const std::function<void(int, int)>& onProgress) {
    const QStringList files = ListFiles(query);
    const int total = int(files.size());
    TFileSearchSummary summary;
    std::mutex lock;
    std::atomic<int> next{0};
    // Files finish out of order on several threads; each waits here until those before it
    // are delivered.
    std::vector<std::optional<TFileResult>> finished(files.size());
    int delivered = 0, done = 0;
    std::atomic<bool> full{false};
    const auto work = [&] {
        const TTextMatcher matcher(query);
        TWorkerBuffers buffers;
        while (!cancel.load(std::memory_order_relaxed) && !full.load(std::memory_order_relaxed)) {
            const int i = next++;
            if (i >= total)
                break;
            TFileOutcome outcome = SearchFile(files[i], query, matcher, cancel, buffers);
            const std::lock_guard<std::mutex> guard(lock);
            summary.Files += outcome.Searched;
            summary.SkippedBinary += outcome.Binary;
            summary.SkippedLarge += outcome.Large;
            summary.Unreadable += outcome.Unreadable;
            finished[size_t(i)] = std::move(outcome.Result);
            for (; delivered < total && finished[size_t(delivered)]; ++delivered) {
                TFileResult& result = *finished[size_t(delivered)];
                const qsizetype room = query.MaxMatches - summary.Matches;
                if (query.MaxMatches > 0 && qsizetype(result.Matches.size()) > room) {
                    result.Matches.resize(size_t(room));
                    summary.Truncated = true;
                    full = true;
                }
                if (!result.Matches.empty() && !cancel.load(std::memory_order_relaxed)) {
                    ++summary.FilesWithMatches;
                    summary.Matches += qsizetype(result.Matches.size());
                    onFile(std::move(result));
                }
                finished[size_t(delivered)].reset();
            }
            onProgress(++done, total);
        }
    };
    const int threads =
        std::clamp(query.Threads > 0 ? query.Threads : int(std::thread::hardware_concurrency()), 1,
                   std::max(1, total));
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    summary.Cancelled = cancel.load();
    return summary;
}
