#pragma once
// Line breaking for the layout: a pure function of one paragraph's characters, their advances,
// the wrap width and the break rules to the offsets where its display lines start. No widget,
// no font, no painting.
//
// It runs over every paragraph of a file to count display lines when a file opens or the width
// changes (a 100 MB text in a few hundred milliseconds), so it is linear in the paragraph, looks
// every character class up in a table and allocates nothing per character. The fitting pass
// only adds advances; the rules are consulted once per line, at the first character that does
// not fit, and stepping back from there never goes past the line's start.
//
// A break at b puts t[b] at the start of a display line. It is forbidden
//  - always: before a combining mark, a low surrogate, a zero-width joiner or a space, and after
//    a zero-width joiner (a cluster is never split, spaces hang past the edge);
//  - with WordWrap: before a Following character, after a Leading character, and between two
//    equal inseparable characters (— ― ‥ … 〳 〴 〵);
//  - with WordBreak: between two narrow characters (East Asian Width neither W nor F) when
//    neither is a space or a tab and the first is not a Delimiter, so a Latin word stays whole.
// A "space" is what the shaper attaches to the end of a line: white space other than the tab
// and the no-break spaces (U+00A0, U+2007, U+202F, which stay inside words).
//
// A line is filled while characters fit in wrapWidth; spaces never count as not fitting. At the
// first character f that does not fit:
//  - a tab hangs past the edge, or, with OverFlow, an OverFlowChars character that starts
//    inside the line and is at most overflowWidth wide hangs into the overflow area, provided
//    the break after it (and after the spaces that follow it, which hang too) is allowed;
//  - otherwise the line ends at the nearest allowed break at or before f;
//  - when the line has none, it ends at the column (before f), moved back to a cluster start,
//    or when the first cluster alone is too wide, after that cluster and its spaces.
// With all three flags off this is character wrap at the column.

#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// Columns of text as a Shift_JIS user counts them: 2 for a full-width character (East Asian
// Width W or F, or written in two bytes by CP932), 1 for any other.
qsizetype Cells(QStringView text);
qsizetype Cells(QLatin1StringView text);

// Which rules apply and with which character sets (plain data; the editor control's word-wrap
// options are converted into this elsewhere).
struct TBreakRules {
    bool WordWrap = true;  // kinsoku: line-start / line-end prohibitions, inseparables
    bool WordBreak = true; // Latin words kept whole
    bool OverFlow = true;  // hanging punctuation into the overflow area
    QString Following;     // may not start a line
    QString Leading;       // may not end a line
    QString OverFlowChars; // may hang past the wrap column
    QString Delimiters;    // end a Latin word

    bool operator==(const TBreakRules&) const = default;
};

// Level 1 is the usual Japanese rule set, level 2 the strict one (small kana, ー and the wave
// dashes may not start a line either); both with all three flags on.
const TBreakRules& Level1Rules();
const TBreakRules& Level2Rules();

// Character classes, one bit each, as the breaker looks them up.
enum TBreakClass : uint8_t {
    bcFollowing = 0x01,
    bcLeading = 0x02,
    bcOverFlow = 0x04,
    bcDelimiter = 0x08,
    bcWide = 0x10, // East Asian Width W or F
    bcMark = 0x20, // combining mark (Mn, Mc, Me)
    bcSpace = 0x40,
    bcInseparable = 0x80,
};

// A TBreakRules with its lookup table: 64 KiB for the BMP (a copy of a table of the fixed
// classes with the rule sets or'ed in), plus a short sorted list for set members beyond it.
// Building one costs a few microseconds; loops over many paragraphs build it once.
class TPreparedBreakRules {
public:
    explicit TPreparedBreakRules(const TBreakRules& rules);
    ~TPreparedBreakRules();
    TPreparedBreakRules(const TPreparedBreakRules&) = delete;
    TPreparedBreakRules& operator=(const TPreparedBreakRules&) = delete;

    const TBreakRules& Rules() const { return FRules; }
    // The classes of a code point under these rules.
    uint8_t Classes(char32_t c) const { return c < 0x10000 ? FBmp[c] : SupplementaryClasses(c); }
    // Whether a display line may start at b (0 < b < text.size()) under all rules.
    bool BreakAllowed(QStringView text, qsizetype b) const;
    // Whether b is allowed by the rules that always hold (no split cluster, no leading space).
    bool ClusterBoundary(QStringView text, qsizetype b) const;

private:
    uint8_t SupplementaryClasses(char32_t c) const;

    TBreakRules FRules;
    std::unique_ptr<uint8_t[]> FBmp;
    std::vector<std::pair<char32_t, uint8_t>> FSupplementary;
};

// Break positions for one paragraph (no line-end characters in it): the offsets (UTF-16 units)
// at which the 2nd, 3rd, ... display lines start; empty when the paragraph fits on one line.
// advances[i] is the advance of text[i] in pixels (0 for a low surrogate and for combining marks);
// a tab's advance is computed from tabWidth (next multiple of tabWidth from the line start) and
// its entry in advances is ignored. wrapWidth <= 0 means no wrapping (returns empty).
// This form keeps the last two rule sets it prepared per thread: the same rules (or a copy of
// them) cost a comparison of string pointers per call.
std::vector<qsizetype> BreakLines(QStringView text, const float* advances, double wrapWidth,
                                  double overflowWidth, double tabWidth, const TBreakRules& rules);
// The same into a vector the caller reuses (cleared first), for loops over many paragraphs.
void BreakLines(QStringView text, const float* advances, double wrapWidth, double overflowWidth,
                double tabWidth, const TPreparedBreakRules& rules, std::vector<qsizetype>& breaks);
// The same with the advances looked up per UTF-16 unit in a table of 65536 entries (the unit's
// advance, as above), which spares filling in an array first. False, with the breaks incomplete,
// when the table lacks (holds a negative entry for) a unit it needed.
bool BreakLinesByUnit(QStringView text, const float* unitAdvances, double wrapWidth,
                      double overflowWidth, double tabWidth, const TPreparedBreakRules& rules,
                      std::vector<qsizetype>& breaks);
