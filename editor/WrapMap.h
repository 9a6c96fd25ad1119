#pragma once
// Display lines of every paragraph for one wrap width. Counts live in a plain vector with sums
// per block of paragraphs, so that display line <-> paragraph lookups are O(blocks + block) and an
// edit that adds or removes paragraphs costs one pass over the block sums. Paragraphs are counted
// visible-first; the rest are counted in slices while the program is idle, and until then count
// as one line. Break positions are kept only for recently used paragraphs.

#include "editor/AdvanceTable.h"
#include "editor/LineBreaker.h"
#include "editor/TextBuffer.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <list>
#include <memory>
#include <unordered_map>

// A display line: the paragraph (buffer line) and the index of the line within it.
struct TDisplayLine {
    qsizetype Paragraph = 0;
    qsizetype Sub = 0;
    bool operator==(const TDisplayLine&) const = default;
};

class TWrapMap : public QObject {
    Q_OBJECT
public:
    TWrapMap(const TTextBuffer& buffer, QObject* parent = nullptr);

    // wrapWidth <= 0: no wrapping, one display line per paragraph.
    void SetGeometry(const TAdvanceTable* advances, double wrapWidth, double overflowWidth);
    void SetRules(const TBreakRules& rules);
    const TBreakRules& Rules() const { return FRules->Rules(); }
    double WrapWidth() const { return FWrapWidth; }

    qsizetype DisplayLineCount() const { return FTotal; }
    qsizetype FirstDisplayLine(qsizetype paragraph) const;
    TDisplayLine LineAt(qsizetype displayLine) const;
    qsizetype ToIndex(TDisplayLine line) const {
        return FirstDisplayLine(line.Paragraph) + line.Sub;
    }
    // Offsets in the paragraph where its 2nd, 3rd, ... display lines start.
    const std::vector<qsizetype>& Breaks(qsizetype paragraph);
    qsizetype SubLineCount(qsizetype paragraph) { return qsizetype(Breaks(paragraph).size()) + 1; }
    // Position range [start, end) of a display line, end before the paragraph's line break.
    std::pair<qsizetype, qsizetype> Range(TDisplayLine line);
    TDisplayLine LineOfPos(qsizetype pos);
    bool CountingDone() const { return FNextUncounted >= qsizetype(FCounts.size()); }
    // Counts every paragraph now, for callers that need exact display line numbers.
    void CountAll();

Q_SIGNALS:
    // Counts changed for paragraphs that were not yet counted: the scroll range moves.
    void CountsChanged();

private:
    static constexpr qsizetype Block = 1024;
    static constexpr qsizetype LongLine = 1000;
    void CutLongLine(qsizetype paragraph, std::vector<qsizetype>& out);
    void Rebuild();
    void OnChange(const TTextChange& change);
    bool RebreakInPlace(const TTextChange& change);
    // Appends the breaks of [from, end of paragraph) to out, in windows of `window` characters;
    // stops early when stop(offset) says the breaks from there on are known.
    void BreakRange(qsizetype paragraph, qsizetype from, qsizetype window,
                    std::vector<qsizetype>& out, const std::function<bool(qsizetype)>& stop);
    void SetCount(qsizetype paragraph, int32_t count);
    int32_t Count(qsizetype paragraph);
    void RebuildBlocks(qsizetype fromBlock);
    void CountSlice();
    void CountBatch(qsizetype from, qsizetype to);
    int32_t WrappedCount(QStringView text);
    void CountAlone(qsizetype paragraph);
    void ForgetBreaks();
    void ForgetBreaks(qsizetype paragraph);

    const TTextBuffer& FBuffer;
    const TAdvanceTable* FAdvances = nullptr;
    double FWrapWidth = 0;
    double FOverflowWidth = 0;
    std::unique_ptr<const TPreparedBreakRules> FRules; // prepared once, not per paragraph

    std::vector<int32_t> FCounts; // negative: not counted yet, counts as one
    std::vector<qsizetype> FBlockSums;
    qsizetype FTotal = 1;
    qsizetype FNextUncounted = 0;
    QTimer FIdle;
    QTimer FNotify;

    // Recently used break positions, most recent first.
    std::list<std::pair<qsizetype, std::vector<qsizetype>>> FBreakCache;
    std::unordered_map<qsizetype, decltype(FBreakCache)::iterator> FBreakIndex;
    std::vector<float> FScratch;
    std::vector<qsizetype> FScratchBreaks;
};
