#pragma once
// Finding and replacing in a text buffer, straight over its chunks: a 100 MB text is searched at
// the speed of QString's own search, without copying it, and replace-all is one edit.

#include "editor/TextBuffer.h"

#include <QString>
#include <optional>

struct TFindOptions {
    bool MatchCase = false;
    // A match is a whole word when the characters beside it are of another class than its own
    // first and last characters (another script, a blank, punctuation or nothing): "漢字" is a
    // whole word in "漢字かな", "val" is not one in "valid".
    bool WholeWord = false;
};

// Whether `what` matches the text at [pos, pos + what.size()) under the options.
bool MatchesAt(const TTextBuffer& buffer, qsizetype pos, const QString& what, TFindOptions options);
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
