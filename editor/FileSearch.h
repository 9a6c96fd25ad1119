#pragma once
// Searching the files of a folder: the walk, the program's own encoding detection and decoding
// of each file, and the matching, giving plain results. No widget and no event loop: the
// results window runs this on a worker thread, the tests and the benchmark call it directly.

#include "editor/Search.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QStringMatcher>
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

struct TFileSearchQuery {
    QString Text;
    bool RegularExpression = false;
    TFindOptions Options;
    QString Folder;
    QStringList Patterns; // file name patterns ("*.html"), matched ignoring case
    bool SubFolders = true;
    // Larger files are skipped unread; the tests lower it rather than write 512 MB.
    qint64 SizeLimit = qint64(512) << 20;
    // Worker threads; 0 asks for one per processor.
    int Threads = 0;
    // A common word in a large site matches millions of times: the search stops after this
    // many, which a list can still show and a user still read (0: no limit).
    qsizetype MaxMatches = 100'000;
};

// The patterns the dialog's field holds: "*.html;*.htm" (also with spaces or commas between).
QStringList SplitPatterns(const QString& field);

// One match. Line and Column are 1-based; Column counts characters from the line's start (a
// character beyond the 16-bit range counts once, a tab once), which is what a reader counts on
// the shown line whatever font the editor uses. LineOffset is the same place in UTF-16 units,
// which is how the editor addresses its text.
struct TFileMatch {
    qsizetype Line = 0;
    qsizetype Column = 0;
    qsizetype LineOffset = 0;
    qsizetype Pos = 0; // in the decoded text
    qsizetype Length = 0;
    // The line as shown: the whole line without its line end, or a stretch around the match
    // when the line is very long (minified scripts), and the match's place in it.
    QString Shown;
    qsizetype ShownStart = 0;
    qsizetype ShownLength = 0;
};

struct TFileResult {
    QString Path;
    std::vector<TFileMatch> Matches;
};

struct TFileSearchSummary {
    int Files = 0; // files searched
    int FilesWithMatches = 0;
    qsizetype Matches = 0;
    int SkippedBinary = 0; // a NUL byte in the first 8 KB
    int SkippedLarge = 0;  // over the size limit
    int Unreadable = 0;
    bool Cancelled = false;
    bool Truncated = false; // more matches than MaxMatches: the rest were not sought
};

// The compiled search; thread-safe to share once built.
class TTextMatcher {
public:
    // Nothing valid when the regular expression does not compile; Error() tells why.
    explicit TTextMatcher(const TFileSearchQuery& query);
    bool Valid() const { return FValid; }
    // The Japanese message for a pattern that does not compile: the error and the character
    // (1-based) of the pattern where it was found.
    QString Error() const { return FError; }
    qsizetype ErrorOffset() const { return FErrorOffset; }
    // Calls found(pos, length) for every match in order; found returns false to stop.
    void ForEachMatch(QStringView text,
                      const std::function<bool(qsizetype, qsizetype)>& found) const;

private:
    bool WholeWordAt(QStringView text, qsizetype pos, qsizetype length) const;

    TFileSearchQuery FQuery;
    QStringMatcher FPlain;
    QRegularExpression FRegex;
    bool FValid = true;
    QString FError;
    qsizetype FErrorOffset = 0;
};

// Lists the files the query covers, in path order.
QStringList ListFiles(const TFileSearchQuery& query);

// The matches of decoded text, with lines and columns, the first `limit` at most; the matches
// so far once cancel is set.
std::vector<TFileMatch> MatchText(QStringView text, const TTextMatcher& matcher,
                                  qsizetype limit = -1, const std::atomic<bool>* cancel = nullptr);

// Runs the whole search on the calling thread and query.Threads - 1 more, each with a matcher of
// its own (check the query with a TTextMatcher first). onFile gets each file with matches in
// path order, onProgress (done, total) after each file; both are called from the worker
// threads, one call at a time. cancel is read between files and between matches.
TFileSearchSummary RunFileSearch(const TFileSearchQuery& query, const std::atomic<bool>& cancel,
                                 const std::function<void(TFileResult&&)>& onFile,
                                 const std::function<void(int, int)>& onProgress);
