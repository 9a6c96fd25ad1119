#pragma once
// Regular-expression search over a text buffer's chunks. A match stays within one paragraph
// unless the pattern names a line end (\n, \r or \R): then it may run over lines.

#include "editor/Search.h"
#include "editor/TextBuffer.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <functional>
#include <optional>

enum TRegexStatus : uint8_t {
    rsDone,
    rsTooSlow,    // the deadline passed between two steps of the search
    rsTooComplex, // the expression engine gave up on one match (its backtracking limit)
};

// One match as the search hands it over: where it lies in the buffer and the expression's
// match, whose offsets count from Base.
struct TRegexHit {
    qsizetype Pos = 0;
    qsizetype Length = 0;
    const QRegularExpressionMatch* Match = nullptr;
    qsizetype Base = 0;
};

class TRegexSearch {
public:
    // Compiles the pattern with the case option; the whole-word option filters the matches.
    TRegexSearch(const QString& pattern, TFindOptions options);

    bool IsValid() const { return FRegex.isValid(); }
    // The message for a pattern that does not compile: the engine's reason and the position.
    QString ErrorText() const;
    bool MultiLine() const { return FMultiLine; }

    // Calls onMatch for each match starting at or after `from` and ending by `to`, in order and
    // without overlaps, until it returns false. The search begins where `from` stands: in its
    // paragraph, or with a pattern over lines in the text from that paragraph's start. When
    // given, reached is moved on to where every match starting before it has been offered.
    TRegexStatus Scan(const TTextBuffer& buffer, qsizetype from, qsizetype to,
                      const QDeadlineTimer& deadline,
                      const std::function<bool(const TRegexHit&)>& onMatch,
                      qsizetype* reached = nullptr) const;
    // The first match from `from` on, the last one ending by `from`, or the match that covers
    // exactly [pos, pos + length).
    TRegexStatus Forward(const TTextBuffer& buffer, qsizetype from, const QDeadlineTimer& deadline,
                         std::optional<std::pair<qsizetype, qsizetype>>& found) const;
    TRegexStatus Backward(const TTextBuffer& buffer, qsizetype from, const QDeadlineTimer& deadline,
                          std::optional<std::pair<qsizetype, qsizetype>>& found) const;
    bool MatchesExactly(const TTextBuffer& buffer, qsizetype pos, qsizetype length,
                        const QDeadlineTimer& deadline,
                        const std::function<void(const TRegexHit&)>& onMatch = {}) const;

    // Replaces every match from `from` on as one edit and one undo step; the replacement's $1…$9,
    // $& and \n, \t are expanded per match (\n as lineEnd). Nothing changes unless the search
    // ran to its end.
    TRegexStatus ReplaceAll(TTextBuffer& buffer, qsizetype from, const QString& with,
                            const QString& lineEnd, TSelection before,
                            const QDeadlineTimer& deadline, TReplaceAllResult& result) const;

    // The message for a search that stopped early, for the user.
    static QString StatusText(TRegexStatus status);

private:
    TRegexStatus ScanParagraphs(const TTextBuffer& buffer, qsizetype from, qsizetype to,
                                const QDeadlineTimer& deadline,
                                const std::function<bool(const TRegexHit&)>& onMatch,
                                qsizetype* reached) const;
    TRegexStatus ScanOverLines(const TTextBuffer& buffer, qsizetype from, qsizetype to,
                               const QDeadlineTimer& deadline,
                               const std::function<bool(const TRegexHit&)>& onMatch,
                               qsizetype* reached) const;

    QRegularExpression FRegex;
    TFindOptions FOptions;
    bool FMultiLine = false;
    // Whether a match found over several paragraphs at once is the match each paragraph alone
    // would give, so that one call can search many paragraphs (see the .cpp).
    bool FWindowSafe = false;
};

// The replacement text for one match: $1…$9 and $& the captured text (an absent group is
// empty), $$ a dollar sign, \n the line end, \t a tab, \\ a backslash; anything else as it is.
QString ExpandReplacement(const QString& with, const QRegularExpressionMatch& match,
                          const QString& lineEnd);
