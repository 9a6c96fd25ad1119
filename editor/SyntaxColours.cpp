#include "editor/SyntaxColours.h"

#include <QElapsedTimer>
#include <QTextCharFormat>
#include <algorithm>

namespace {
constexpr int IdleSliceMs = 8;
} // namespace

TSyntaxPalette DefaultSyntaxPalette() {
    TSyntaxPalette palette;
    palette[skTag] = QColor(0x1a, 0x4f, 0x9c);
    palette[skAttribute] = QColor(0x7a, 0x3e, 0x9d);
    palette[skValue] = QColor(0xa3, 0x40, 0x00);
    palette[skEntity] = QColor(0xa0, 0x10, 0x6a);
    palette[skComment] = QColor(0x2e, 0x7d, 0x32);
    palette[skDoctype] = QColor(0x6e, 0x6e, 0x6e);
    palette[skKeyword] = QColor(0x1a, 0x4f, 0x9c);
    palette[skString] = QColor(0xa3, 0x40, 0x00);
    palette[skRegExp] = QColor(0xa0, 0x10, 0x6a);
    palette[skNumber] = QColor(0x00, 0x6d, 0x77);
    palette[skSelector] = QColor(0x7a, 0x3e, 0x9d);
    palette[skProperty] = QColor(0x1a, 0x4f, 0x9c);
    palette[skCssValue] = QColor(0xa3, 0x40, 0x00);
    palette[skAtRule] = QColor(0xa0, 0x10, 0x6a);
    return palette;
}

QList<QTextLayout::FormatRange> SyntaxFormats(const std::vector<TSyntaxRun>& runs, qsizetype from,
                                              qsizetype to, const TSyntaxPalette& palette) {
    QList<QTextLayout::FormatRange> formats;
    const auto first = std::upper_bound(runs.begin(), runs.end(), from, [](qsizetype pos, auto& r) {
        return pos < r.Start + r.Length;
    });
    for (auto it = first; it != runs.end() && it->Start < to; ++it) {
        const qsizetype a = std::max<qsizetype>(it->Start, from);
        const qsizetype b = std::min<qsizetype>(it->Start + it->Length, to);
        if (a >= b || !palette[it->Kind].isValid())
            continue;
        QTextLayout::FormatRange range;
        range.start = int(a - from);
        range.length = int(b - a);
        range.format.setForeground(palette[it->Kind]);
        formats.append(range);
    }
    return formats;
}

TSyntaxColours::TSyntaxColours(const TTextBuffer& buffer, QObject* parent)
    : QObject(parent), FBuffer(buffer) {
    FIdle.setInterval(0);
    FIdle.setSingleShot(true);
    connect(&FIdle, &QTimer::timeout, this, &TSyntaxColours::IdleSlice);
    connect(&FBuffer, &TTextBuffer::Changed, this, &TSyntaxColours::OnChange);
    connect(&FBuffer, &TTextBuffer::Reset, this, &TSyntaxColours::Restart);
}

void TSyntaxColours::SetLanguage(TSyntaxLanguage language) {
    if (language == FLanguage)
        return;
    FLanguage = language;
    Restart();
}

void TSyntaxColours::Restart() {
    FEnds.clear();
    FLong.Paragraph = -1;
    FLastRuns.Paragraph = -1;
    FKnown = FResume = 0;
    FDirty = -1;
    FIdle.stop();
    if (FLanguage == slNone)
        return;
    FEnds.assign(size_t(FBuffer.LineCount()), InitialLexState(FLanguage));
    FIdle.start();
}

void TSyntaxColours::OnChange(const TTextChange& change) {
    FLastRuns.Paragraph = -1;
    if (FLanguage == slNone)
        return;
    const qsizetype first = change.FirstLine, oldLast = change.OldLastLine,
                    newLast = change.NewLastLine, delta = newLast - oldLast;
    // The edited paragraphs start from the hint their last one had.
    // Typing in a paragraph moves no state: the 4 MB of a large page's states stay in place.
    const TLexState hint = FEnds[size_t(oldLast)];
    const auto at = FEnds.begin() + first;
    if (delta < 0)
        FEnds.erase(at + (newLast - first + 1), at + (oldLast - first + 1));
    else if (delta > 0)
        FEnds.insert(at + (oldLast - first + 1), size_t(delta), hint);
    std::fill_n(FEnds.begin() + first, newLast - first + 1, hint);

    if (FLong.Paragraph > oldLast) {
        FLong.Paragraph += delta;
    } else if (FLong.Paragraph == first && first == oldLast && delta == 0) {
        // Pieces that start before the edit keep their start states.
        const qsizetype keep = (change.Pos - FBuffer.LineStart(first)) / Piece + 1;
        FLong.Pieces.resize(size_t(std::min<qsizetype>(keep, qsizetype(FLong.Pieces.size()))));
    } else if (FLong.Paragraph >= first) {
        FLong.Paragraph = -1;
    }

    if (FResume > oldLast) {
        FResume += delta;
        FDirty = std::max(FDirty > oldLast ? FDirty + delta : FDirty, newLast);
    } else {
        FResume = std::min(FResume, first);
    }
    FKnown = std::min(FKnown, first);
    FResume = std::max(FResume, FKnown);
    FIdle.start();
}

std::optional<TLexState> TSyntaxColours::PieceStart(qsizetype paragraph, qsizetype k,
                                                    const std::function<bool()>& more) {
    const TLexState start = Start(paragraph);
    if (FLong.Paragraph != paragraph || !(FLong.Start == start)) {
        FLong.Paragraph = paragraph;
        FLong.Start = start;
        FLong.Pieces.assign(1, start);
    }
    const qsizetype lineStart = FBuffer.LineStart(paragraph);
    const qsizetype length = FBuffer.LineEnd(paragraph) - lineStart;
    while (qsizetype(FLong.Pieces.size()) <= k) {
        if (!more())
            return std::nullopt;
        const qsizetype from = (qsizetype(FLong.Pieces.size()) - 1) * Piece;
        const QString text = FBuffer.Text(lineStart + from, std::min(Piece, length - from));
        FLong.Pieces.push_back(LexParagraph(FLong.Pieces.back(), text, nullptr));
    }
    return FLong.Pieces[size_t(k)];
}

std::pair<qsizetype, qsizetype> TSyntaxColours::Advance(qsizetype target,
                                                        const std::function<bool()>& more) {
    qsizetype changedFrom = -1, changedTo = -1;
    while (FKnown < target && more()) {
        const qsizetype p = FKnown;
        const qsizetype length = FBuffer.LineEnd(p) - FBuffer.LineStart(p);
        TLexState end;
        if (length > Piece) {
            const auto last = PieceStart(p, (length + Piece - 1) / Piece, more);
            if (!last)
                break;
            end = *last;
        } else {
            end = LexParagraph(Start(p), FBuffer.LineText(p), nullptr);
        }
        TLexState& stored = FEnds[size_t(p)];
        if (p > FDirty && p < FResume && end == stored) {
            FKnown = FResume; // the hints from here on are a chain that starts right
            FDirty = -1;
            continue;
        }
        if (!(end == stored)) {
            stored = end;
            if (p + 1 < qsizetype(FEnds.size())) {
                changedFrom = changedFrom < 0 ? p + 1 : changedFrom;
                changedTo = p + 1;
            }
        }
        FKnown = p + 1;
        FResume = std::max(FResume, FKnown);
    }
    return {changedFrom, changedTo};
}

TLexState TSyntaxColours::StartState(qsizetype paragraph) {
    if (FLanguage == slNone)
        return {};
    if (paragraph > FKnown && FBuffer.LineStart(paragraph) - FBuffer.LineStart(FKnown) <= SyncChars)
        Advance(paragraph, [] { return true; });
    return Start(paragraph);
}

const std::vector<TSyntaxRun>& TSyntaxColours::LexedRuns(qsizetype paragraph, qsizetype piece,
                                                         TLexState start) {
    if (FLastRuns.Paragraph != paragraph || FLastRuns.Piece != piece ||
        !(FLastRuns.Start == start)) {
        const qsizetype lineStart = FBuffer.LineStart(paragraph);
        const qsizetype length = FBuffer.LineEnd(paragraph) - lineStart;
        FLastRuns.Paragraph = paragraph;
        FLastRuns.Piece = piece;
        FLastRuns.Start = start;
        FLastRuns.Runs.clear();
        const qsizetype from = piece * Piece;
        const qsizetype count = length > Piece ? std::min(Piece, length - from) : length;
        LexParagraph(start, FBuffer.Text(lineStart + from, count), &FLastRuns.Runs);
    }
    return FLastRuns.Runs;
}

void TSyntaxColours::Runs(qsizetype paragraph, qsizetype from, qsizetype to,
                          std::vector<TSyntaxRun>& out) {
    out.clear();
    if (FLanguage == slNone)
        return;
    const TLexState start = StartState(paragraph);
    const qsizetype length = FBuffer.LineEnd(paragraph) - FBuffer.LineStart(paragraph);
    if (length <= Piece) {
        for (const TSyntaxRun& run : LexedRuns(paragraph, 0, start)) {
            const qsizetype a = std::max<qsizetype>(run.Start, from);
            const qsizetype b = std::min<qsizetype>(run.Start + run.Length, to);
            if (a < b)
                out.push_back({int32_t(a), int32_t(b - a), run.Kind});
        }
        return;
    }
    for (qsizetype k = from / Piece; k * Piece < to; ++k) {
        const TLexState pieceStart = *PieceStart(paragraph, k, [] { return true; });
        for (const TSyntaxRun& run : LexedRuns(paragraph, k, pieceStart)) {
            const qsizetype a = std::max<qsizetype>(run.Start + k * Piece, from);
            const qsizetype b = std::min<qsizetype>(run.Start + run.Length + k * Piece, to);
            if (a < b)
                out.push_back({int32_t(a), int32_t(b - a), run.Kind});
        }
    }
}

void TSyntaxColours::ColourAll() {
    Advance(qsizetype(FEnds.size()), [] { return true; });
}

void TSyntaxColours::IdleSlice() {
    QElapsedTimer timer;
    timer.start();
    const auto [first, last] =
        Advance(qsizetype(FEnds.size()), [&] { return timer.elapsed() < IdleSliceMs; });
    if (first >= 0)
        Q_EMIT Recoloured(first, last);
    if (!Done())
        FIdle.start();
}
