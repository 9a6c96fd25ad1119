#include "editor/WrapMap.h"

#include <QElapsedTimer>
#include <algorithm>

namespace {
// A paragraph is broken in windows of this many characters, so that a file that is one single
// 100 MB line never becomes one 200 MB string.
constexpr qsizetype Window = 1 << 20;
constexpr size_t CachedParagraphs = 256;
constexpr int IdleSliceMs = 8;
} // namespace

TWrapMap::TWrapMap(const TTextBuffer& buffer, QObject* parent) : QObject(parent), FBuffer(buffer) {
    FIdle.setInterval(0);
    FIdle.setSingleShot(true);
    connect(&FIdle, &QTimer::timeout, this, &TWrapMap::CountSlice);
    FNotify.setInterval(0);
    FNotify.setSingleShot(true);
    connect(&FNotify, &QTimer::timeout, this, &TWrapMap::CountsChanged);
    connect(&buffer, &TTextBuffer::Changed, this, &TWrapMap::OnChange);
    connect(&buffer, &TTextBuffer::Reset, this, &TWrapMap::Rebuild);
    Rebuild();
}

void TWrapMap::SetGeometry(const TAdvanceTable* advances, double wrapWidth, double overflowWidth) {
    if (advances == FAdvances && wrapWidth == FWrapWidth && overflowWidth == FOverflowWidth)
        return;
    FAdvances = advances;
    FWrapWidth = wrapWidth;
    FOverflowWidth = overflowWidth;
    Rebuild();
}

void TWrapMap::SetRules(const TBreakRules& rules) {
    FRules = rules;
    Rebuild();
}

void TWrapMap::Rebuild() {
    ForgetBreaks();
    const bool counting = FAdvances != nullptr;
    FCounts.assign(size_t(FBuffer.LineCount()), counting ? -1 : 1);
    FNextUncounted = counting ? 0 : qsizetype(FCounts.size());
    RebuildBlocks(0);
    if (counting)
        FIdle.start();
}

void TWrapMap::ForgetBreaks() {
    FBreakCache.clear();
    FBreakIndex.clear();
}

void TWrapMap::RebuildBlocks(qsizetype fromBlock) {
    qsizetype blocks = (qsizetype(FCounts.size()) + Block - 1) / Block;
    FBlockSums.resize(size_t(blocks));
    for (qsizetype b = fromBlock; b < blocks; ++b) {
        qsizetype sum = 0;
        qsizetype end = std::min(qsizetype(FCounts.size()), (b + 1) * Block);
        for (qsizetype p = b * Block; p < end; ++p)
            sum += std::abs(FCounts[size_t(p)]);
        FBlockSums[size_t(b)] = sum;
    }
    FTotal = 0;
    for (qsizetype s : FBlockSums)
        FTotal += s;
}

void TWrapMap::SetCount(qsizetype paragraph, int32_t count) {
    int32_t& slot = FCounts[size_t(paragraph)];
    qsizetype delta = count - std::abs(slot);
    slot = count;
    if (delta == 0)
        return;
    FBlockSums[size_t(paragraph / Block)] += delta;
    FTotal += delta;
    // One notice per turn of the event loop, however many paragraphs changed.
    if (!FNotify.isActive())
        FNotify.start();
}

int32_t TWrapMap::Count(qsizetype paragraph) {
    int32_t c = FCounts[size_t(paragraph)];
    if (c < 0) {
        c = int32_t(Breaks(paragraph).size() + 1);
        SetCount(paragraph, c);
    }
    return c;
}

void TWrapMap::BreakRange(qsizetype paragraph, qsizetype from, qsizetype window,
                          std::vector<qsizetype>& out, const std::function<bool(qsizetype)>& stop) {
    const qsizetype start = FBuffer.LineStart(paragraph);
    const qsizetype length = FBuffer.LineEnd(paragraph) - start;
    qsizetype at = from;
    while (at < length) {
        qsizetype n = std::min(window, length - at);
        QString text = FBuffer.Text(start + at, n);
        // Short paragraphs that fit need no breaker; a tab counts as a whole tab stop here.
        if (at == 0 && n == length && n < 4096) {
            double width = 0;
            for (QChar c : text)
                width += c == u'\t' ? FAdvances->TabWidth() : FAdvances->Advance(c.unicode());
            if (width <= FWrapWidth)
                return;
        }
        FAdvances->Fill(text, FScratch);
        std::vector<qsizetype> local = BreakLines(text, FScratch.data(), FWrapWidth, FOverflowWidth,
                                                  FAdvances->TabWidth(), FRules);
        for (qsizetype b : local) {
            out.push_back(at + b);
            if (stop && stop(at + b))
                return;
        }
        if (at + n >= length)
            return;
        if (local.empty()) {
            // No break in a whole window: cut it where it ends and go on.
            out.push_back(at + n);
            at += n;
        } else {
            // The last line of a window may be cut short by the window: break again from there.
            at += local.back();
        }
    }
}

// Without wrapping, a line of more than LongLine characters goes on in the next display line:
// a minified script or a file that is one 100 MB line stays quick to shape, paint and edit.
void TWrapMap::CutLongLine(qsizetype paragraph, std::vector<qsizetype>& out) {
    const qsizetype start = FBuffer.LineStart(paragraph);
    const qsizetype length = FBuffer.LineEnd(paragraph) - start;
    for (qsizetype cut = LongLine; cut < length; cut += LongLine) {
        if (QChar::isLowSurrogate(FBuffer.At(start + cut)))
            --cut;
        out.push_back(cut);
    }
}

const std::vector<qsizetype>& TWrapMap::Breaks(qsizetype paragraph) {
    auto found = FBreakIndex.find(paragraph);
    if (found != FBreakIndex.end()) {
        FBreakCache.splice(FBreakCache.begin(), FBreakCache, found->second);
        return found->second->second;
    }
    std::vector<qsizetype> breaks;
    if (FAdvances) {
        if (FWrapWidth > 0)
            BreakRange(paragraph, 0, Window, breaks, nullptr);
        else
            CutLongLine(paragraph, breaks);
        SetCount(paragraph, int32_t(breaks.size() + 1));
    }
    FBreakCache.emplace_front(paragraph, std::move(breaks));
    FBreakIndex[paragraph] = FBreakCache.begin();
    if (FBreakCache.size() > CachedParagraphs) {
        FBreakIndex.erase(FBreakCache.back().first);
        FBreakCache.pop_back();
    }
    return FBreakCache.front().second;
}

// Counts the paragraphs of [from, to) that are not counted yet, reading the text once in order:
// a paragraph whose characters fit on one line (the usual case) is counted without being copied
// out or broken; only the others go through the breaker.
void TWrapMap::CountBatch(qsizetype from, qsizetype to) {
    const bool wrapping = FWrapWidth > 0;
    const double tab = FAdvances->TabWidth();
    const TPreparedBreakRules prepared(FRules);
    std::vector<qsizetype> breaks;
    qsizetype p = from;
    qsizetype paragraphStart = FBuffer.LineStart(from);
    double x = 0;
    bool over = false, afterCr = false;
    // The paragraph ending at `end` (its line end or the end of the text) is complete.
    auto finish = [&](qsizetype end) {
        const qsizetype length = end - paragraphStart;
        if (!wrapping)
            over = length > LongLine;
        if (FCounts[size_t(p)] < 0) {
            if (!over) {
                SetCount(p, 1);
            } else if (wrapping && length <= Window) {
                const QString text = FBuffer.Text(paragraphStart, length);
                FAdvances->Fill(text, FScratch);
                BreakLines(text, FScratch.data(), FWrapWidth, FOverflowWidth, tab, prepared,
                           breaks);
                SetCount(p, int32_t(breaks.size() + 1));
            } else {
                Count(p); // cut without wrapping, or too long to hold: counted in windows
                // Counting alone: no need to keep the breaks of paragraphs nobody looks at.
                auto found = FBreakIndex.find(p);
                if (found != FBreakIndex.end()) {
                    FBreakCache.erase(found->second);
                    FBreakIndex.erase(found);
                }
            }
        }
        ++p;
        x = 0, over = false;
        paragraphStart = end + 1;
    };
    // The hot loop: most characters only add their advance, until the line is known to wrap.
    qsizetype pieceStart = paragraphStart;
    auto scan = [&](const auto* s, qsizetype n) {
        // The state lives in locals here so that the compiler keeps it in registers.
        double lx = x;
        bool lover = over, lcr = afterCr;
        const double width = FWrapWidth;
        const TAdvanceTable& advances = *FAdvances;
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = char16_t(s[i]);
            if (c <= '\r') {
                if (lcr) {
                    lcr = false;
                    if (c == '\n') {
                        paragraphStart = pieceStart + i + 1; // the LF of CR LF
                        continue;
                    }
                }
                if (c == '\r' || c == '\n') {
                    lcr = c == '\r';
                    over = lover;
                    finish(pieceStart + i);
                    lx = 0, lover = false;
                    continue;
                }
            } else {
                lcr = false;
            }
            if (!lover && wrapping) {
                lx += c == '\t' ? tab : advances.Advance(c);
                lover = lx > width;
            }
        }
        x = lx, over = lover, afterCr = lcr;
        pieceStart += n;
    };
    const qsizetype start = paragraphStart;
    const qsizetype end = to < FBuffer.LineCount() ? FBuffer.LineStart(to) : FBuffer.Length();
    FBuffer.ForEachPiece(
        start, end - start,
        [&](QLatin1StringView piece) {
            scan(reinterpret_cast<const uint8_t*>(piece.data()), piece.size());
        },
        [&](QStringView piece) { scan(piece.utf16(), piece.size()); });
    if (p < to)
        finish(end); // the last paragraph has no line end after it
}

void TWrapMap::CountSlice() {
    QElapsedTimer clock;
    clock.start();
    const qsizetype n = qsizetype(FCounts.size());
    while (FNextUncounted < n && clock.elapsed() < IdleSliceMs) {
        const qsizetype to = std::min(n, FNextUncounted + 256);
        CountBatch(FNextUncounted, to);
        FNextUncounted = to;
    }
    if (FNextUncounted < n)
        FIdle.start();
}

void TWrapMap::CountAll() {
    const qsizetype n = qsizetype(FCounts.size());
    if (FAdvances && FNextUncounted < n)
        CountBatch(FNextUncounted, n);
    // Paragraphs before FNextUncounted that an edit left uncounted are counted one by one.
    for (qsizetype p = 0; FAdvances && p < n; ++p)
        if (FCounts[size_t(p)] < 0)
            Count(p);
    FNextUncounted = n;
    FIdle.stop();
}

// Typing in a long paragraph re-breaks from two lines before the edit until a break falls where
// an old one did, instead of breaking the whole paragraph again (a single 100 MB line took
// 200 ms a keystroke that way).
bool TWrapMap::RebreakInPlace(const TTextChange& change) {
    const qsizetype p = change.FirstLine;
    if (p != change.OldLastLine || p != change.NewLastLine || !FAdvances || FWrapWidth <= 0)
        return false;
    auto found = FBreakIndex.find(p);
    if (found == FBreakIndex.end() || found->second->second.size() < 64)
        return false;
    std::vector<qsizetype>& old = found->second->second;
    const qsizetype offset = change.Pos - FBuffer.LineStart(p);
    const qsizetype delta = change.Inserted - change.Removed;
    size_t line = size_t(std::upper_bound(old.begin(), old.end(), offset) - old.begin());
    size_t keep = line >= 2 ? line - 2 : 0;
    std::vector<qsizetype> fresh(old.begin(), old.begin() + qsizetype(keep));
    qsizetype from = keep == 0 ? 0 : old[keep - 1];
    std::vector<qsizetype>::const_iterator resync = old.end();
    BreakRange(p, from, 1 << 16, fresh, [&](qsizetype b) {
        if (b <= offset + change.Inserted)
            return false;
        auto it = std::lower_bound(old.cbegin(), old.cend(), b - delta);
        if (it == old.cend() || *it != b - delta || *it <= offset + change.Removed)
            return false;
        resync = it + 1;
        return true;
    });
    for (auto it = resync; it != old.cend(); ++it)
        fresh.push_back(*it + delta);
    old = std::move(fresh);
    SetCount(p, int32_t(old.size() + 1));
    return true;
}

void TWrapMap::OnChange(const TTextChange& change) {
    if (RebreakInPlace(change))
        return;
    qsizetype oldCount = change.OldLastLine - change.FirstLine + 1;
    qsizetype newCount = change.NewLastLine - change.FirstLine + 1;
    auto first = FCounts.begin() + change.FirstLine;
    if (newCount > oldCount)
        FCounts.insert(first + oldCount, size_t(newCount - oldCount), -1);
    else if (newCount < oldCount)
        FCounts.erase(first + newCount, first + oldCount);
    const bool counting = FAdvances != nullptr;
    for (qsizetype p = change.FirstLine; p <= change.NewLastLine; ++p)
        FCounts[size_t(p)] = counting ? -1 : 1;
    if (newCount != oldCount) {
        ForgetBreaks();
    } else {
        for (qsizetype p = change.FirstLine; p <= change.NewLastLine; ++p) {
            auto found = FBreakIndex.find(p);
            if (found != FBreakIndex.end()) {
                FBreakCache.erase(found->second);
                FBreakIndex.erase(found);
            }
        }
    }
    RebuildBlocks(change.FirstLine / Block);
    if (counting) {
        // The edited paragraphs are where the caret is: count them now.
        for (qsizetype p = change.FirstLine; p <= change.NewLastLine; ++p)
            Count(p);
        if (FNextUncounted > change.FirstLine)
            FNextUncounted += newCount - oldCount;
    }
}

qsizetype TWrapMap::FirstDisplayLine(qsizetype paragraph) const {
    paragraph = std::clamp<qsizetype>(paragraph, 0, qsizetype(FCounts.size()));
    qsizetype block = paragraph / Block;
    qsizetype line = 0;
    for (qsizetype b = 0; b < block; ++b)
        line += FBlockSums[size_t(b)];
    for (qsizetype p = block * Block; p < paragraph; ++p)
        line += std::abs(FCounts[size_t(p)]);
    return line;
}

TDisplayLine TWrapMap::LineAt(qsizetype displayLine) const {
    displayLine = std::clamp<qsizetype>(displayLine, 0, FTotal - 1);
    qsizetype b = 0;
    while (b + 1 < qsizetype(FBlockSums.size()) && displayLine >= FBlockSums[size_t(b)]) {
        displayLine -= FBlockSums[size_t(b)];
        ++b;
    }
    qsizetype p = b * Block;
    qsizetype last = qsizetype(FCounts.size()) - 1;
    while (p < last && displayLine >= std::abs(FCounts[size_t(p)])) {
        displayLine -= std::abs(FCounts[size_t(p)]);
        ++p;
    }
    return {p, std::min<qsizetype>(displayLine, std::abs(FCounts[size_t(p)]) - 1)};
}

std::pair<qsizetype, qsizetype> TWrapMap::Range(TDisplayLine line) {
    const std::vector<qsizetype>& breaks = Breaks(line.Paragraph);
    qsizetype start = FBuffer.LineStart(line.Paragraph);
    qsizetype sub = std::clamp<qsizetype>(line.Sub, 0, qsizetype(breaks.size()));
    qsizetype from = sub == 0 ? start : start + breaks[size_t(sub - 1)];
    qsizetype to = sub < qsizetype(breaks.size()) ? start + breaks[size_t(sub)]
                                                  : FBuffer.LineEnd(line.Paragraph);
    return {from, to};
}

TDisplayLine TWrapMap::LineOfPos(qsizetype pos) {
    qsizetype paragraph = FBuffer.LineOfPos(pos);
    const std::vector<qsizetype>& breaks = Breaks(paragraph);
    qsizetype offset = pos - FBuffer.LineStart(paragraph);
    qsizetype sub = std::upper_bound(breaks.begin(), breaks.end(), offset) - breaks.begin();
    return {paragraph, sub};
}
