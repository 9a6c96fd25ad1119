#include "editor/TextBuffer.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
constexpr size_t NeverSaved = std::numeric_limits<size_t>::max();

bool IsSeparator(char16_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0x3000;
}

bool FitsLatin1(const char16_t* s, qsizetype n) {
    char16_t all = 0;
    for (qsizetype i = 0; i < n; ++i)
        all |= s[i];
    return all < 0x100;
}
} // namespace

// ---------------------------------------------------------------------------------------------

struct TTextBuffer::TChunk {
    bool Wide = false;
    QByteArray Narrow; // Latin-1
    QString WideText;
    std::vector<uint16_t> Starts; // offsets just after each line break in this chunk

    qsizetype Size() const { return Wide ? WideText.size() : Narrow.size(); }
    char16_t At(qsizetype i) const {
        return Wide ? WideText.at(i).unicode() : char16_t(uint8_t(Narrow.at(i)));
    }
    void Widen() {
        if (Wide)
            return;
        WideText = QString::fromLatin1(Narrow);
        Narrow = QByteArray();
        Wide = true;
    }
    void Insert(qsizetype at, QStringView s) {
        if (!Wide && !FitsLatin1(reinterpret_cast<const char16_t*>(s.data()), s.size()))
            Widen();
        if (Wide)
            WideText.insert(at, s);
        else
            Narrow.insert(at, s.toLatin1());
    }
    void Remove(qsizetype at, qsizetype n) {
        if (Wide)
            WideText.remove(at, n);
        else
            Narrow.remove(at, n);
    }
    void AppendTo(QString& out, qsizetype from, qsizetype n) const {
        if (Wide)
            out.append(QStringView(WideText).mid(from, n));
        else
            out.append(QLatin1StringView(Narrow.constData() + from, n));
    }
    // Chunks never end between CR and LF, so each line end is seen whole here.
    void ScanLines(TLineEndCounts* counts = nullptr) {
        Starts.clear();
        qsizetype n = Size();
        auto scan = [&](auto* s) {
            for (qsizetype i = 0; i < n; ++i) {
                // Skip a word of characters at a time while none of them is below 14 (so none
                // can end a line): the classic "has a lane less than n" test on 64 bits.
                constexpr size_t unit = sizeof(*s);
                constexpr qsizetype lanes = qsizetype(8 / unit);
                constexpr uint64_t ones = unit == 1 ? 0x0101010101010101ull : 0x0001000100010001ull;
                constexpr uint64_t high = ones << (8 * unit - 1);
                while (i + lanes <= n) {
                    uint64_t word;
                    std::memcpy(&word, s + i, 8);
                    if ((word - ones * 14) & ~word & high)
                        break;
                    i += lanes;
                }
                if (i >= n)
                    break;
                auto c = s[i];
                if (c > '\r')
                    continue;
                if (c == '\n' || (c == '\r' && (i + 1 == n || s[i + 1] != '\n'))) {
                    Starts.push_back(uint16_t(i + 1));
                    if (counts)
                        ++(c == '\r'                   ? counts->Cr
                           : i > 0 && s[i - 1] == '\r' ? counts->CrLf
                                                       : counts->Lf);
                }
            }
        };
        if (Wide)
            scan(reinterpret_cast<const char16_t*>(WideText.constData()));
        else
            scan(reinterpret_cast<const uint8_t*>(Narrow.constData()));
    }
};

// Builds chunks from decoded pieces while a file loads.
class TTextBuffer::TLoader : public TTextSink {
public:
    explicit TLoader(std::vector<TChunk>& chunks) : FChunks(chunks) { FChunks.emplace_back(); }

    void AppendLatin1(const char* data, qsizetype n) override {
        while (n > 0) {
            TChunk& c = Current();
            qsizetype take = std::min(n, TargetChunk - c.Size());
            if (c.Wide)
                c.WideText.append(QLatin1StringView(data, take));
            else
                c.Narrow.append(data, take);
            data += take, n -= take;
        }
    }
    void AppendUtf16(const char16_t* data, qsizetype n) override {
        while (n > 0) {
            TChunk& c = Current();
            qsizetype take = std::min(n, TargetChunk - c.Size());
            if (!c.Wide && !FitsLatin1(data, take))
                c.Widen();
            if (c.Wide)
                c.WideText.append(QStringView(data, take));
            else
                c.Narrow.append(QStringView(data, take).toLatin1());
            data += take, n -= take;
        }
    }

private:
    // The chunk to append to; a full one is closed first. A CR or a high surrogate at the end of
    // a full chunk moves on to the next so that no chunk boundary splits a pair.
    TChunk& Current() {
        TChunk& last = FChunks.back();
        if (last.Size() < TargetChunk)
            return last;
        char16_t tail = last.At(last.Size() - 1);
        TChunk next;
        if (tail == '\r' || QChar::isHighSurrogate(tail)) {
            last.Remove(last.Size() - 1, 1);
            next.Wide = QChar::isHighSurrogate(tail);
            if (next.Wide)
                next.WideText.append(QChar(tail));
            else
                next.Narrow.append(char(tail));
        }
        FChunks.push_back(std::move(next));
        return FChunks.back();
    }

    std::vector<TChunk>& FChunks;
};

// ---------------------------------------------------------------------------------------------

TTextBuffer::TTextBuffer(QObject* parent) : QObject(parent) {
    FChunks.emplace_back();
    Reindex(0);
}

TTextBuffer::~TTextBuffer() {
    delete FLoader;
}

size_t TTextBuffer::ChunkAt(qsizetype pos) const {
    auto it = std::upper_bound(FChunkPos.begin(), FChunkPos.end(), pos);
    size_t c = size_t(it - FChunkPos.begin()) - 1;
    // A position at the very end of the text belongs to the last chunk.
    while (c > 0 && FChunkPos[c] == FLength && FChunks[c].Size() == 0)
        --c;
    return c;
}

void TTextBuffer::Reindex(size_t from) {
    FChunkPos.resize(FChunks.size());
    FChunkLines.resize(FChunks.size());
    if (from == 0 && !FChunks.empty()) {
        FChunkPos[0] = 0;
        FChunkLines[0] = 0;
    }
    for (size_t i = std::max<size_t>(from, 1); i < FChunks.size(); ++i) {
        FChunkPos[i] = FChunkPos[i - 1] + FChunks[i - 1].Size();
        FChunkLines[i] = FChunkLines[i - 1] + qsizetype(FChunks[i - 1].Starts.size());
    }
    FLength = FChunkPos.back() + FChunks.back().Size();
    FBreaks = FChunkLines.back() + qsizetype(FChunks.back().Starts.size());
}

char16_t TTextBuffer::At(qsizetype pos) const {
    Q_ASSERT(pos >= 0 && pos < FLength);
    size_t c = ChunkAt(pos);
    return FChunks[c].At(pos - FChunkPos[c]);
}

QString TTextBuffer::Text(qsizetype pos, qsizetype length) const {
    QString out;
    pos = std::clamp<qsizetype>(pos, 0, FLength);
    length = std::clamp<qsizetype>(length, 0, FLength - pos);
    out.reserve(length);
    for (size_t c = ChunkAt(pos); length > 0 && c < FChunks.size(); ++c) {
        qsizetype from = pos - FChunkPos[c];
        qsizetype n = std::min(length, FChunks[c].Size() - from);
        FChunks[c].AppendTo(out, from, n);
        pos += n, length -= n;
    }
    return out;
}

void TTextBuffer::ForEachPiece(qsizetype pos, qsizetype length,
                               const std::function<void(QLatin1StringView)>& latin1,
                               const std::function<void(QStringView)>& utf16) const {
    pos = std::clamp<qsizetype>(pos, 0, FLength);
    length = std::clamp<qsizetype>(length, 0, FLength - pos);
    for (size_t c = ChunkAt(pos); length > 0 && c < FChunks.size(); ++c) {
        const TChunk& chunk = FChunks[c];
        qsizetype from = pos - FChunkPos[c];
        qsizetype n = std::min(length, chunk.Size() - from);
        if (chunk.Wide)
            utf16(QStringView(chunk.WideText).mid(from, n));
        else
            latin1(QLatin1StringView(chunk.Narrow.constData() + from, n));
        pos += n, length -= n;
    }
}

std::vector<TTextPiece> TTextBuffer::Pieces() const {
    std::vector<TTextPiece> pieces;
    pieces.reserve(FChunks.size());
    for (const TChunk& chunk : FChunks)
        pieces.push_back({chunk.Wide, chunk.Narrow, chunk.WideText});
    return pieces;
}

qsizetype TTextBuffer::LineStart(qsizetype line) const {
    if (line <= 0)
        return 0;
    if (line > FBreaks)
        return FLength;
    auto it = std::upper_bound(FChunkLines.begin(), FChunkLines.end(), line - 1);
    size_t c = size_t(it - FChunkLines.begin()) - 1;
    return FChunkPos[c] + FChunks[c].Starts[size_t(line - 1 - FChunkLines[c])];
}

qsizetype TTextBuffer::LineEnd(qsizetype line) const {
    if (line >= FBreaks)
        return FLength;
    qsizetype next = LineStart(line + 1);
    qsizetype end = next - 1;
    if (end > 0 && At(end) == '\n' && At(end - 1) == '\r')
        --end;
    return end;
}

qsizetype TTextBuffer::LineOfPos(qsizetype pos) const {
    pos = std::clamp<qsizetype>(pos, 0, FLength);
    size_t c = ChunkAt(pos);
    const auto& starts = FChunks[c].Starts;
    auto offset = uint16_t(pos - FChunkPos[c]);
    return FChunkLines[c] +
           (std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin());
}

QString TTextBuffer::LineText(qsizetype line) const {
    qsizetype start = LineStart(line);
    return Text(start, LineEnd(line) - start);
}

qsizetype TTextBuffer::Snap(qsizetype pos, bool forward) const {
    pos = std::clamp<qsizetype>(pos, 0, FLength);
    if (pos == 0 || pos == FLength)
        return pos;
    char16_t before = At(pos - 1), after = At(pos);
    bool inside = (before == '\r' && after == '\n') ||
                  (QChar::isHighSurrogate(before) && QChar::isLowSurrogate(after));
    return inside ? (forward ? pos + 1 : pos - 1) : pos;
}

// ---------------------------------------------------------------------------------------------
// Loading

TTextSink& TTextBuffer::BeginLoad() {
    delete FLoader;
    FChunks.clear();
    FLoader = new TLoader(FChunks);
    return *FLoader;
}

void TTextBuffer::EndLoad() {
    delete FLoader;
    FLoader = nullptr;
    if (FChunks.empty())
        FChunks.emplace_back();
    FLoadedLineEnds = {};
    for (TChunk& c : FChunks)
        c.ScanLines(&FLoadedLineEnds);
    Reindex(0);
    FExceptions.clear();
    bool wasModified = Modified();
    ClearUndo();
    FSavedIndex = 0;
    FForcedModified = false;
    Q_EMIT Reset();
    NotifyModified(wasModified);
}

void TTextBuffer::SetText(const QString& text) {
    TTextSink& sink = BeginLoad();
    sink.AppendUtf16(reinterpret_cast<const char16_t*>(text.constData()), text.size());
    EndLoad();
}

// ---------------------------------------------------------------------------------------------
// The edit primitive

void TTextBuffer::RawRemove(qsizetype pos, qsizetype length) {
    if (length <= 0)
        return;
    size_t c = ChunkAt(pos);
    qsizetype from = pos - FChunkPos[c];
    while (length > 0) {
        TChunk& chunk = FChunks[c];
        qsizetype n = std::min(length, chunk.Size() - from);
        if (n == chunk.Size() && FChunks.size() > 1) {
            FChunks.erase(FChunks.begin() + qsizetype(c));
        } else {
            chunk.Remove(from, n);
            ++c;
        }
        length -= n;
        from = 0;
    }
}

void TTextBuffer::RawInsert(qsizetype pos, const QString& text) {
    if (text.isEmpty())
        return;
    Reindex(0);
    size_t c = ChunkAt(pos);
    TChunk& chunk = FChunks[c];
    qsizetype at = pos - FChunkPos[c];
    if (chunk.Size() + text.size() <= MaxChunk) {
        chunk.Insert(at, text);
        return;
    }
    // Too big for one chunk: the chunk's head, the new text and the chunk's tail go through the
    // loader, which cuts them into chunks of the target size without joining them first.
    std::vector<TChunk> pieces;
    {
        TLoader loader(pieces);
        auto append = [&](qsizetype from, qsizetype n) {
            if (chunk.Wide)
                loader.AppendUtf16(
                    reinterpret_cast<const char16_t*>(chunk.WideText.constData()) + from, n);
            else
                loader.AppendLatin1(chunk.Narrow.constData() + from, n);
        };
        append(0, at);
        loader.AppendUtf16(reinterpret_cast<const char16_t*>(text.constData()), text.size());
        append(at, chunk.Size() - at);
    }
    FChunks.erase(FChunks.begin() + qsizetype(c));
    FChunks.insert(FChunks.begin() + qsizetype(c), std::make_move_iterator(pieces.begin()),
                   std::make_move_iterator(pieces.end()));
}

// Keeps CR LF and surrogate pairs inside one chunk, and merges small neighbours.
void TTextBuffer::FixBoundary(size_t left) {
    if (left + 1 >= FChunks.size())
        return;
    TChunk& a = FChunks[left];
    TChunk& b = FChunks[left + 1];
    if (a.Size() + b.Size() <= TargetChunk / 2 || a.Size() == 0 || b.Size() == 0) {
        QString tail;
        b.AppendTo(tail, 0, b.Size());
        a.Insert(a.Size(), tail);
        FChunks.erase(FChunks.begin() + qsizetype(left) + 1);
        return;
    }
    char16_t last = a.At(a.Size() - 1), first = b.At(0);
    if ((last == '\r' && first == '\n') ||
        (QChar::isHighSurrogate(last) && QChar::isLowSurrogate(first))) {
        if (a.Size() < MaxChunk) {
            a.Insert(a.Size(), QStringView(&first, 1));
            b.Remove(0, 1);
        } else {
            b.Insert(0, QStringView(&last, 1));
            a.Remove(a.Size() - 1, 1);
        }
    }
}

void TTextBuffer::ApplyEdit(qsizetype pos, qsizetype removeLength, const QString& insert) {
    TTextChange change;
    change.Pos = pos;
    change.Removed = removeLength;
    change.Inserted = insert.size();
    change.FirstLine = LineOfPos(std::max<qsizetype>(pos - 1, 0));
    change.OldLastLine = LineOfPos(std::min(FLength, pos + removeLength + 1));

    size_t lo = ChunkAt(std::max<qsizetype>(pos - 1, 0));
    lo = lo > 0 ? lo - 1 : 0;
    RawRemove(pos, removeLength);
    // Counted after the removal: a large replacement removes chunks and inserts as many, and
    // every inserted chunk needs its line starts scanned.
    const size_t afterRemove = FChunks.size();
    RawInsert(pos, insert);
    // Chunks from lo on may have changed: keep pairs whole across their boundaries, merge small
    // neighbours, rescan their line starts.
    size_t grown = FChunks.size() > afterRemove ? FChunks.size() - afterRemove : 0;
    size_t hi = std::min(FChunks.size() - 1, lo + grown + 4);
    for (size_t i = hi; i-- > lo;)
        FixBoundary(i);
    hi = std::min(hi, FChunks.size() - 1);
    for (size_t i = lo; i <= hi; ++i)
        FChunks[i].ScanLines();
    Reindex(lo);

    ShiftExceptions(pos, removeLength, insert.size());
    change.NewLastLine = LineOfPos(std::min(FLength, pos + insert.size() + 1));
    Q_EMIT Changed(change);
}

void TTextBuffer::ShiftExceptions(qsizetype pos, qsizetype removed, qsizetype inserted) {
    if (FExceptions.empty())
        return;
    std::vector<TByteException> kept;
    kept.reserve(FExceptions.size());
    for (TByteException& e : FExceptions) {
        qsizetype end = e.Pos + e.Length;
        bool touched =
            removed > 0 ? (pos < end && pos + removed > e.Pos) : (pos > e.Pos && pos < end);
        if (touched)
            continue;
        if (e.Pos >= pos)
            e.Pos += inserted - removed;
        kept.push_back(std::move(e));
    }
    FExceptions = std::move(kept);
}

bool TTextBuffer::Replace(qsizetype pos, qsizetype length, const QString& text, TEditKind kind,
                          TSelection before) {
    if (FReadOnly)
        return false;
    qsizetype start = Snap(pos, false);
    qsizetype end = length <= 0 ? start : Snap(std::min(pos + length, FLength), true);
    if (end == start && text.isEmpty())
        return true;
    bool wasModified = Modified();
    TEdit edit{start, Text(start, end - start), text};
    ApplyEdit(start, end - start, text);
    Record(std::move(edit), kind, before);
    NotifyModified(wasModified);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Undo

void TTextBuffer::Record(TEdit edit, TEditKind kind, TSelection before) {
    if (FStepIndex < FSteps.size()) {
        FSteps.resize(FStepIndex);
        if (FSavedIndex > FStepIndex && FSavedIndex != NeverSaved)
            FSavedIndex = NeverSaved;
    }
    TSelection after{edit.Pos + edit.Inserted.size(), edit.Pos + edit.Inserted.size()};
    if (before.Anchor < 0)
        before = {edit.Pos, edit.Pos + edit.Removed.size()};

    bool join = false;
    if (FGroupDepth > 0) {
        join = FGroupOpen;
        FGroupOpen = true;
    } else if (kind == ekTyping && FTypingOpen && !FSteps.empty() && FSteps.back().Typing) {
        const TEdit& last = FSteps.back().Edits.back();
        if (!edit.Inserted.isEmpty() && !last.Inserted.isEmpty()) {
            join = edit.Pos == last.Pos + last.Inserted.size() &&
                   !(IsSeparator(last.Inserted.back().unicode()) &&
                     !IsSeparator(edit.Inserted.front().unicode()));
        } else if (edit.Inserted.isEmpty() && last.Inserted.isEmpty()) {
            join = edit.Pos + edit.Removed.size() == last.Pos || edit.Pos == last.Pos;
        }
    }
    if (join) {
        FSteps.back().Edits.push_back(std::move(edit));
        FSteps.back().After = after;
    } else {
        TStep step;
        step.Edits.push_back(std::move(edit));
        step.Before = FGroupDepth > 0 && FGroupBefore.Anchor >= 0 ? FGroupBefore : before;
        step.After = after;
        step.Typing = kind == ekTyping && FGroupDepth == 0;
        FSteps.push_back(std::move(step));
        FStepIndex = FSteps.size();
    }
    FTypingOpen = kind == ekTyping && FGroupDepth == 0;
}

void TTextBuffer::BeginGroup(TSelection before) {
    if (FGroupDepth++ == 0) {
        FGroupOpen = false;
        FGroupBefore = before;
        FTypingOpen = false;
    }
}

void TTextBuffer::EndGroup() {
    if (FGroupDepth > 0 && --FGroupDepth == 0)
        FTypingOpen = false;
}

std::optional<TSelection> TTextBuffer::Undo() {
    if (!CanUndo())
        return std::nullopt;
    bool wasModified = Modified();
    const TStep& step = FSteps[--FStepIndex];
    for (auto it = step.Edits.rbegin(); it != step.Edits.rend(); ++it)
        ApplyEdit(it->Pos, it->Inserted.size(), it->Removed);
    FTypingOpen = false;
    NotifyModified(wasModified);
    return step.Before;
}

std::optional<TSelection> TTextBuffer::Redo() {
    if (!CanRedo())
        return std::nullopt;
    bool wasModified = Modified();
    const TStep& step = FSteps[FStepIndex++];
    for (const TEdit& e : step.Edits)
        ApplyEdit(e.Pos, e.Removed.size(), e.Inserted);
    FTypingOpen = false;
    NotifyModified(wasModified);
    return step.After;
}

void TTextBuffer::ClearUndo() {
    bool wasModified = Modified();
    FForcedModified = wasModified;
    FSteps.clear();
    FStepIndex = 0;
    FSavedIndex = 0;
    FTypingOpen = false;
}

void TTextBuffer::SetModified(bool modified) {
    bool wasModified = Modified();
    if (modified) {
        FForcedModified = true;
    } else {
        FForcedModified = false;
        FSavedIndex = FStepIndex;
        FTypingOpen = false;
    }
    NotifyModified(wasModified);
}

void TTextBuffer::NotifyModified(bool before) {
    if (Modified() != before)
        Q_EMIT ModifiedChanged(Modified());
}
