#include "editor/MatchHighlighter.h"

#include <QKeyEvent>
#include <QWidget>
#include <algorithm>

namespace {
// The text searched around the painted lines at a time: far more than a window shows, and
// quick to search again after an edit.
constexpr qsizetype SpanChars = 1 << 16;
constexpr qsizetype SpanBefore = 1 << 12;
// Plain text is counted a piece of paragraphs at a time between looks at the clock.
constexpr qsizetype CountChars = 1 << 16;
constexpr int SliceMs = 8;
// A slice that could not finish one step is given twice the time, up to this.
constexpr int MaxSliceMs = 256;
} // namespace

TMatchHighlighter::TMatchHighlighter(const TTextBuffer& buffer, QWidget* view)
    : QObject(view), FBuffer(buffer), FView(view) {
    FIdle.setSingleShot(true);
    FIdle.setInterval(0);
    connect(&FIdle, &QTimer::timeout, this, &TMatchHighlighter::CountSlice);
    connect(&buffer, &TTextBuffer::Changed, this, &TMatchHighlighter::Restart);
    connect(&buffer, &TTextBuffer::Reset, this, &TMatchHighlighter::Restart);
    view->installEventFilter(this);
}

TMatchHighlighter::~TMatchHighlighter() = default;

void TMatchHighlighter::SetPattern(const QString& what, TFindOptions options) {
    if (what == FWhat && options.MatchCase == FOptions.MatchCase &&
        options.WholeWord == FOptions.WholeWord && options.Regex == FOptions.Regex)
        return;
    FWhat = what;
    FOptions = options;
    FRegex.reset();
    if (options.Regex && !what.isEmpty())
        FRegex = std::make_unique<TRegexSearch>(what, options);
    Restart();
}

void TMatchHighlighter::Clear() {
    SetPattern(QString(), {});
}

void TMatchHighlighter::Restart() {
    FCacheTo = -1;
    FCache.clear();
    FCount = 0;
    FCountPos = 0;
    FSliceMs = SliceMs;
    FFailure.clear();
    FCounted = !Active();
    if (FRegex && !FRegex->IsValid()) {
        FFailure = FRegex->ErrorText();
        FCounted = true;
    }
    FIdle.stop();
    if (!FCounted)
        FIdle.start();
    Q_EMIT MatchesChanged();
    Q_EMIT CountChanged();
}

bool TMatchHighlighter::Scan(qsizetype from, qsizetype to, const QDeadlineTimer& deadline,
                             const std::function<void(qsizetype, qsizetype)>& onMatch,
                             qsizetype* reached) {
    if (FRegex) {
        const TRegexStatus status = FRegex->Scan(
            FBuffer, from, to, deadline,
            [&](const TRegexHit& hit) {
                onMatch(hit.Pos, hit.Length);
                return true;
            },
            reached);
        if (status == rsTooComplex)
            FFailure = TRegexSearch::StatusText(status);
        return status == rsDone;
    }
    // Plain text never holds a line end, so a piece that ends at a paragraph's end holds every
    // match that starts in it.
    while (from < to) {
        if (deadline.hasExpired())
            return false;
        const qsizetype end =
            std::min(to, FBuffer.LineEnd(FBuffer.LineOfPos(std::min(to, from + CountChars))));
        ForEachMatch(FBuffer, FWhat, from, end, FOptions, [&](qsizetype at) {
            onMatch(at, FWhat.size());
            return true;
        });
        from = end < FBuffer.Length() ? FBuffer.Snap(end + 1, true) : to;
        *reached = from;
    }
    return true;
}

std::vector<std::pair<qsizetype, qsizetype>> TMatchHighlighter::MatchesIn(qsizetype start,
                                                                          qsizetype end) {
    std::vector<std::pair<qsizetype, qsizetype>> out;
    if (!Active() || !FFailure.isEmpty())
        return out;
    if (start < FCacheFrom || end > FCacheTo) {
        // From the start of the line's paragraph (but not far back in a long one), so that the
        // matches are those a search from there finds.
        FCacheFrom = std::max(FBuffer.LineStart(FBuffer.LineOfPos(start)), start - SpanBefore);
        FCacheTo = std::min(FBuffer.Length(), std::max(end, start + SpanChars));
        FCache.clear();
        qsizetype reached = FCacheFrom;
        Scan(
            FCacheFrom, FCacheTo, QDeadlineTimer(50),
            [this](qsizetype at, qsizetype length) { FCache.emplace_back(at, length); }, &reached);
    }
    auto it = std::lower_bound(
        FCache.begin(), FCache.end(), std::make_pair(start, qsizetype(0)),
        [](const auto& a, const auto& b) { return a.first + a.second <= b.first; });
    for (; it != FCache.end() && it->first < end; ++it)
        if (it->second > 0)
            out.push_back(*it);
    return out;
}

// Counted from where the last slice stopped: after the last match counted or the last piece
// searched whole, whichever is further.
void TMatchHighlighter::CountSlice() {
    const qsizetype before = FCountPos;
    qsizetype reached = FCountPos;
    const bool done = Scan(
        FCountPos, FBuffer.Length(), QDeadlineTimer(FSliceMs),
        [this](qsizetype at, qsizetype length) {
            ++FCount;
            FCountPos = at + std::max<qsizetype>(1, length);
        },
        &reached);
    FCountPos = std::max(FCountPos, reached);
    if (done || !FFailure.isEmpty()) {
        FCounted = true;
    } else if (FCountPos == before) {
        if (FSliceMs >= MaxSliceMs) {
            FFailure = TRegexSearch::StatusText(rsTooSlow);
            FCounted = true;
        }
        FSliceMs = std::min(MaxSliceMs, FSliceMs * 2);
    }
    if (!FCounted)
        FIdle.start();
    Q_EMIT CountChanged();
}

bool TMatchHighlighter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && Active() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        Clear();
        Q_EMIT Cleared();
    }
    return QObject::eventFilter(watched, event);
}
