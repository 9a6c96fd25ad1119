#pragma once
// The partner of what the caret stands beside: a bracket ( ) [ ] { } of code (one in a string, a
// comment or an attribute value does not count when colours are on), a Japanese bracket
// 「」『』（）【】 anywhere, or, with the caret in an HTML tag's name, the matching opening or
// closing tag. Brackets and tags of the same kind between them nest. The search looks at most
// MaxPairDistance characters away, so that it costs a few milliseconds at worst after a
// keystroke.

#include "editor/SyntaxColours.h"
#include "editor/TextBuffer.h"

#include <optional>

constexpr qsizetype MaxPairDistance = 1024 * 1024;

struct TPairMatch {
    qsizetype Pos = 0, Length = 0;               // the bracket or tag name at the caret
    qsizetype PartnerPos = 0, PartnerLength = 0; // its partner's
    bool operator==(const TPairMatch&) const = default;
};

// The bracket just after the caret, else the one just before it, else the tag name the caret
// stands in, with its partner; nothing when there is none or no partner within reach.
std::optional<TPairMatch> FindPair(const TTextBuffer& buffer, TSyntaxColours& colours,
                                   qsizetype caret);
