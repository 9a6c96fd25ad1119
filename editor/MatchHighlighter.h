#pragma once
// Every match of a search shown in a text view: the matches of the visible text for painting,
// and the number of matches in the whole text, counted in idle slices so that typing never
// waits for it. Escape in the view ends the showing.

#include "editor/RegexSearch.h"
#include "editor/Search.h"

#include <QColor>
#include <QObject>
#include <QTimer>
#include <memory>
#include <utility>
#include <vector>

class QWidget;

class TMatchHighlighter : public QObject {
    Q_OBJECT
public:
    // Escape in the view ends the showing.
    TMatchHighlighter(const TTextBuffer& buffer, QWidget* view);
    ~TMatchHighlighter() override;

    // Shows every match of what; an empty text shows none. A regular expression that does not
    // compile shows none and is told by Failure().
    void SetPattern(const QString& what, TFindOptions options);
    void Clear();
    bool Active() const { return !FWhat.isEmpty(); }

    // The matches lying in [start, end), as (position, length), for one painted line.
    std::vector<std::pair<qsizetype, qsizetype>> MatchesIn(qsizetype start, qsizetype end);
    static QColor Colour() { return QColor(255, 236, 140); }

    // The matches counted so far, whether the count is complete, and why it stopped early (a
    // bad pattern, a runaway one); empty when it did not.
    qsizetype Count() const { return FCount; }
    bool Counted() const { return FCounted; }
    QString Failure() const { return FFailure; }

Q_SIGNALS:
    // The matches to paint changed: the view repaints.
    void MatchesChanged();
    void CountChanged();
    // Escape in the view ended the showing.
    void Cleared();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Restart();
    void CountSlice();
    // Calls onMatch(position, length) for the matches of [from, to) until the deadline; false
    // when the search stopped early (FFailure tells why, unless it was only the deadline).
    bool Scan(qsizetype from, qsizetype to, const QDeadlineTimer& deadline,
              const std::function<void(qsizetype, qsizetype)>& onMatch, qsizetype* reached);

    const TTextBuffer& FBuffer;
    QWidget* FView;
    QString FWhat;
    TFindOptions FOptions;
    std::unique_ptr<TRegexSearch> FRegex;
    // The matches of the text around the last painted lines.
    qsizetype FCacheFrom = 0, FCacheTo = -1;
    std::vector<std::pair<qsizetype, qsizetype>> FCache;
    QTimer FIdle;
    qsizetype FCountPos = 0;
    qsizetype FCount = 0;
    bool FCounted = false;
    int FSliceMs = 8;
    QString FFailure;
};
