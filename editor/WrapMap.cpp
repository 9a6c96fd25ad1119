#include "editor/WrapMap.h"

#include <QElapsedTimer>
#include <algorithm>
#include <bit>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {
// A paragraph is broken in windows of this many characters, so that a file that is one single
// 100 MB line never becomes one 200 MB string.
constexpr qsizetype Window = 1 << 20;
constexpr size_t CachedParagraphs = 256;
constexpr int IdleSliceMs = 8;

// The first CR or LF in s[i, n), or n.
qsizetype FindLineEnd(const char16_t* s, qsizetype i, qsizetype n) {
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi16('\r'), lf = _mm_set1_epi16('\n');
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const int found =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, cr), _mm_cmpeq_epi16(v, lf)));
        if (found)
            return i + std::countr_zero(unsigned(found)) / 2;
    }
#endif
    for (; i < n; ++i)
        if (s[i] == u'\r' || s[i] == u'\n')
            return i;
    return n;
}
} // namespace

TWrapMap::TWrapMap(const TTextBuffer& buffer, QObject* parent)
    : QObject(parent), FBuffer(buffer),
      FRules(std::make_unique<const TPreparedBreakRules>(Level1Rules())) {
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
    FRules = std::make_unique<const TPreparedBreakRules>(rules);
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
    std::vector<qsizetype> local;
    qsizetype at = from;
    while (at < length) {
        qsizetype n = std::min(window, length - at);
        const QString text = FBuffer.Text(start + at, n);
        FAdvances->Fill(text, FScratch);
        BreakLines(text, FScratch.data(), FWrapWidth, FOverflowWidth, FAdvances->TabWidth(),
                   *FRules, local);
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

// The display lines of a paragraph of at most Window characters, with wrapping.
int32_t TWrapMap::WrappedCount(QStringView text) {
    const TPreparedBreakRules& rules = *FRules;
    std::vector<qsizetype>& breaks = FScratchBreaks;
    const double tab = FAdvances->TabWidth();
    if (!BreakLinesByUnit(text, FAdvances->Table(), FWrapWidth, FOverflowWidth, tab, rules,
                          breaks)) {
        // A character not measured yet: measure them all, then break.
        FAdvances->Fill(text, FScratch);
        BreakLines(text, FScratch.data(), FWrapWidth, FOverflowWidth, tab, rules, breaks);
    }
    return int32_t(breaks.size() + 1);
}

// Counts the paragraphs of [from, to) that are not counted yet, reading the text once in order.
// A paragraph inside one piece of the buffer is looked at where it is; only one that goes on in
// the next piece is copied.
void TWrapMap::CountBatch(qsizetype from, qsizetype to) {
    const bool wrapping = FWrapWidth > 0;
    qsizetype p = from;
    // Counts paragraph p, of `length` characters; `text` holds them unless it is too long to.
    auto finish = [&](QStringView text, qsizetype length) {
        if (FCounts[size_t(p)] < 0) {
            if (wrapping && length <= Window)
                SetCount(p, WrappedCount(text));
            else if (!wrapping && length <= LongLine)
                SetCount(p, 1);
            else
                CountAlone(p);
        }
        ++p;
    };
    QString carry;         // the start of a paragraph that goes on in the next piece
    qsizetype carried = 0; // its length, also when too long to be kept
    bool afterCr = false;  // the last piece ended with CR: an LF starting this one ends nothing
    auto scan = [&](const char16_t* s, qsizetype n) {
        qsizetype i = afterCr && n > 0 && s[0] == u'\n' ? 1 : 0;
        afterCr = afterCr && n == 0;
        while (i < n) {
            qsizetype e = FindLineEnd(s, i, n);
            const QStringView here(s + i, e - i);
            if (e == n || carried > 0) {
                carried += e - i;
                if (wrapping && carried <= Window)
                    carry.append(here);
                if (e == n)
                    return;
                finish(carry, carried);
                carry.clear();
                carried = 0;
            } else {
                finish(here, e - i);
            }
            if (s[e] == u'\r') {
                if (e + 1 == n)
                    afterCr = true;
                else if (s[e + 1] == u'\n')
                    ++e;
            }
            i = e + 1;
        }
    };
    std::vector<char16_t> widened;
    const qsizetype start = FBuffer.LineStart(from);
    const qsizetype end = to < FBuffer.LineCount() ? FBuffer.LineStart(to) : FBuffer.Length();
    FBuffer.ForEachPiece(
        start, end - start,
        [&](QLatin1StringView piece) {
            const auto* bytes = reinterpret_cast<const uint8_t*>(piece.data());
            widened.assign(bytes, bytes + piece.size());
            scan(widened.data(), piece.size());
        },
        [&](QStringView piece) { scan(piece.utf16(), piece.size()); });
    if (p < to)
        finish(carry, carried); // the last paragraph has no line end after it
}

// Counts a paragraph that is cut without wrapping or too long to hold in one string (counted in
// windows), without keeping breaks nobody looks at.
void TWrapMap::CountAlone(qsizetype paragraph) {
    Count(paragraph);
    ForgetBreaks(paragraph);
}

void TWrapMap::ForgetBreaks(qsizetype paragraph) {
    auto found = FBreakIndex.find(paragraph);
    if (found != FBreakIndex.end()) {
        FBreakCache.erase(found->second);
        FBreakIndex.erase(found);
    }
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

// Every paragraph before FNextUncounted is counted (an edit counts the paragraphs it makes at
// once), so once the background count is done this costs nothing: callers may ask per keystroke.
void TWrapMap::CountAll() {
    const qsizetype n = qsizetype(FCounts.size());
    if (FAdvances && FNextUncounted < n)
        CountBatch(FNextUncounted, n);
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
        for (qsizetype p = change.FirstLine; p <= change.NewLastLine; ++p)
            ForgetBreaks(p);
    }
    RebuildBlocks(change.FirstLine / Block);
    if (counting) {
        // The edited paragraphs are where the caret is: count them now.
        for (qsizetype p = change.FirstLine; p <= change.NewLastLine; ++p)
            Count(p);
        // The background count goes on after the paragraphs counted here.
        if (FNextUncounted > change.OldLastLine)
            FNextUncounted += newCount - oldCount;
        else if (FNextUncounted > change.FirstLine)
            FNextUncounted = change.NewLastLine + 1;
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
