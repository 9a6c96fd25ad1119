#pragma once
// Finding and replacing in a text buffer, straight over its chunks: a 100 MB text is searched at
// the speed of QString's own search, without copying it, and replace-all is one edit.

#include "editor/TextBuffer.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

struct TFindOptions {
    bool MatchCase = false;
    // A match is a whole word when the characters beside it are of another class than its own
    // first and last characters (another script, a blank, punctuation or nothing): "漢字" is a
    // whole word in "漢字かな", "val" is not one in "valid".
    bool WholeWord = false;
    // The text is a regular expression (see editor/RegexSearch.h).
    bool Regex = false;
};

// Whether [pos, pos + length) is a whole word under the rule above.
bool IsWholeWord(const TTextBuffer& buffer, qsizetype pos, qsizetype length);

// Whether `what` matches the text at [pos, pos + what.size()) under the options.
bool MatchesAt(const TTextBuffer& buffer, qsizetype pos, const QString& what, TFindOptions options);
// Calls onMatch for each match lying in [from, to), in order and without overlaps, until it
// returns false.
void ForEachMatch(const TTextBuffer& buffer, const QString& what, qsizetype from, qsizetype to,
                  TFindOptions options, const std::function<bool(qsizetype)>& onMatch);
// The first match starting in [from, to - what.size()], or nothing.
std::optional<qsizetype> FindForward(const TTextBuffer& buffer, const QString& what, qsizetype from,
                                     qsizetype to, TFindOptions options);
// The last match lying within [to, from), or nothing.
std::optional<qsizetype> FindBackward(const TTextBuffer& buffer, const QString& what,
                                      qsizetype from, qsizetype to, TFindOptions options);

struct TReplaceAllResult {
    qsizetype Count = 0;
    qsizetype End = 0; // just after the last replacement, where the caret goes
};
// Replaces every match from `from` on, each search starting after the previous match, as one
// edit and one undo step. Nothing happens (Count 0) when there is no match or the buffer is
// read-only.
TReplaceAllResult ReplaceAll(TTextBuffer& buffer, qsizetype from, const QString& what,
                             const QString& with, TFindOptions options, TSelection before);

// One replacement of a replace-all: [Pos, Pos + Length) becomes [WithStart, WithStart +
// WithLength) of the replacement text.
struct TReplaceSpan {
    qsizetype Pos = 0, Length = 0;
    qsizetype WithStart = 0, WithLength = 0;
};
// Replaces the spans (in order, not overlapping) as one edit and one undo step, building the new
// text straight from the chunks.
TReplaceAllResult ReplaceSpans(TTextBuffer& buffer, const std::vector<TReplaceSpan>& spans,
                               const QString& with, TSelection before);
