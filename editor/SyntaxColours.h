#pragma once
// The lexer's state at every paragraph end of one buffer, kept as the text changes: the colours
// of any visible line are then one paragraph's lexing away.
//
// An edit makes its paragraphs' states unknown; the states after it are kept as hints. Lexing
// goes on from the first unknown paragraph and, past the edited ones, stops as soon as a state
// comes out equal to its hint: from there the hints are right again. Paragraphs that the screen
// needs are lexed at once when they are near the known ones; far ones are coloured from their
// hints until the background pass, in idle slices as the display-line count, reaches them.
// A paragraph longer than Piece characters is lexed in pieces of that size, with the state at
// each piece start kept for the one such paragraph last used, so a single 100 MB line costs a
// piece's lexing per visible row.

#include "editor/SyntaxLexer.h"
#include "editor/TextBuffer.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QTextLayout>
#include <QTimer>
#include <array>
#include <functional>
#include <vector>

using TSyntaxPalette = std::array<QColor, skKindCount>;

// A restrained scheme, readable on white in a Japanese font; plain text keeps the text colour.
TSyntaxPalette DefaultSyntaxPalette();

// The runs of [from, to) of a lexed text as layout formats of that range.
QList<QTextLayout::FormatRange> SyntaxFormats(const std::vector<TSyntaxRun>& runs, qsizetype from,
                                              qsizetype to, const TSyntaxPalette& palette);

class TSyntaxColours : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype Piece = 4096;

    explicit TSyntaxColours(const TTextBuffer& buffer, QObject* parent = nullptr);

    TSyntaxLanguage Language() const { return FLanguage; }
    // slNone turns colouring off; any other language lexes the text anew.
    void SetLanguage(TSyntaxLanguage language);

    // The state the paragraph starts in: exact when the paragraphs before it are lexed or near
    // enough to be lexed now, else its hint.
    TLexState StartState(qsizetype paragraph);
    // The runs of [from, to) of the paragraph (offsets in the paragraph), clipped to the range.
    void Runs(qsizetype paragraph, qsizetype from, qsizetype to, std::vector<TSyntaxRun>& out);
    bool Done() const { return FKnown >= qsizetype(FEnds.size()); }
    // Lexes the whole text now.
    void ColourAll();

Q_SIGNALS:
    // The start states of paragraphs [first, last] changed in the background.
    void Recoloured(qsizetype first, qsizetype last);

private:
    static constexpr qsizetype SyncChars = 256 * 1024;
    void Restart();
    void OnChange(const TTextChange& change);
    TLexState Start(qsizetype paragraph) const {
        return paragraph == 0 ? InitialLexState(FLanguage) : FEnds[size_t(paragraph - 1)];
    }
    // Lexes from the first unknown paragraph on until `target` paragraphs are known or more()
    // says stop; returns the paragraphs whose start state changed.
    std::pair<qsizetype, qsizetype> Advance(qsizetype target, const std::function<bool()>& more);
    // The state at the start of piece k of a long paragraph; nothing when more() stopped first.
    std::optional<TLexState> PieceStart(qsizetype paragraph, qsizetype k,
                                        const std::function<bool()>& more);
    const std::vector<TSyntaxRun>& LexedRuns(qsizetype paragraph, qsizetype piece, TLexState start);
    void IdleSlice();

    const TTextBuffer& FBuffer;
    TSyntaxLanguage FLanguage = slNone;
    std::vector<TLexState> FEnds; // exact below FKnown, hints above
    qsizetype FKnown = 0;
    // [FKnown, FResume) were lexed as one chain before the pending edits, which touched
    // paragraphs up to FDirty.
    qsizetype FResume = 0;
    qsizetype FDirty = -1;
    struct {
        qsizetype Paragraph = -1;
        TLexState Start;
        std::vector<TLexState> Pieces; // the state at each piece start, then at the end
    } FLong;
    struct {
        qsizetype Paragraph = -1, Piece = 0;
        TLexState Start;
        std::vector<TSyntaxRun> Runs;
    } FLastRuns;
    QTimer FIdle;
};
