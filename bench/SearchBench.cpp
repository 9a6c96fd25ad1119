// Search and replace on the buffer against the same work on Qt's plain text engine, in one run:
// replace-all of 100 000 matches in a 10 MB text (the reference loops QTextDocument::find and
// QTextCursor::insertText inside one edit block), and a find over 100 MB that matches only at
// the very end (against QString::indexOf and QTextDocument::find); and the same replace-all with
// a regular expression against the plain-text replace-all, taking turns in the same run.

#include "editor/RegexSearch.h"
#include "editor/Search.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>

namespace {

double Ms(QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

template <typename F> double MedianMs(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        times.push_back(Ms(t));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// About `chars` characters of Japanese and Latin text with exactly `matches` occurrences of
// "needle" spread evenly (or one at the very end when `matches` is 0).
QString Text(qsizetype chars, int matches) {
    const QString filler = QStringLiteral("漢字とかなの文章、var value = 42;\r\n");
    QString text;
    text.reserve(chars + 16);
    const int pieces = std::max(1, matches);
    for (int i = 0; i < pieces; ++i) {
        const qsizetype stop = chars * (i + 1) / pieces;
        while (text.size() < stop)
            text += QStringView(filler).left(std::min(filler.size(), stop - text.size()));
        if (matches > 0)
            text += QStringLiteral("needle");
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::printf("Search and replace benchmark (medians)\n\n");

    // Replace-all: 100 000 matches in about 10 MB of UTF-8 (5 million characters).
    const QString tenMB = Text(6'000'000, 100'000);
    qsizetype ourCount = 0;
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        TTextBuffer buffer;
        buffer.SetText(tenMB);
        QElapsedTimer t;
        t.start();
        ourCount =
            ReplaceAll(buffer, 0, QStringLiteral("needle"), QStringLiteral("thread"), {}, {}).Count;
        runs.push_back(Ms(t));
    }
    std::sort(runs.begin(), runs.end());
    const double oursOnly = runs[runs.size() / 2];
    qsizetype refCount = 0;
    QTextDocument doc;
    const double reference = MedianMs(1, [&] {
        doc.setPlainText(tenMB);
        QTextCursor edit(&doc);
        edit.beginEditBlock();
        refCount = 0;
        for (QTextCursor c = doc.find(QStringLiteral("needle")); !c.isNull();
             c = doc.find(QStringLiteral("needle"), c)) {
            c.insertText(QStringLiteral("thread"));
            ++refCount;
        }
        edit.endEditBlock();
    });
    const double setPlain = MedianMs(1, [&] { doc.setPlainText(tenMB); });
    const double refOnly = reference - setPlain;
    std::printf("replace-all, %lld matches in %.1f MB of text\n", (long long)ourCount,
                tenMB.toUtf8().size() / 1e6);
    std::printf("  ours (ReplaceAll on the buffer)        %9.1f ms  %10.0f replacements/s\n",
                oursOnly, ourCount / (oursOnly / 1000));
    std::printf("  reference (find + insertText, 1 block) %9.1f ms  %10.0f replacements/s"
                "  (%lld matches)\n",
                refOnly, refCount / (refOnly / 1000), (long long)refCount);
    std::printf("  speed-up %.1fx  (targets: at least 20x and under 100 ms)\n\n",
                refOnly / oursOnly);

    // Regular-expression replace-all against plain replace-all, in turns, 7 runs each.
    {
        std::vector<double> plain, regex, refs;
        qsizetype plainCount = 0, regexCount = 0, refsCount = 0;
        const TRegexSearch literal(QStringLiteral("ne+dle"), {});
        const TRegexSearch captures(QStringLiteral("n(e+)d(le)"), {});
        auto time = [&](std::vector<double>& into, qsizetype& count, auto&& replace) {
            TTextBuffer buffer;
            buffer.SetText(tenMB);
            QElapsedTimer t;
            t.start();
            count = replace(buffer);
            into.push_back(Ms(t));
        };
        const QDeadlineTimer forever(QDeadlineTimer::Forever);
        for (int i = 0; i < 7; ++i) {
            time(plain, plainCount, [](TTextBuffer& b) {
                return ReplaceAll(b, 0, QStringLiteral("needle"), QStringLiteral("thread"), {}, {})
                    .Count;
            });
            time(regex, regexCount, [&](TTextBuffer& b) {
                TReplaceAllResult r;
                literal.ReplaceAll(b, 0, QStringLiteral("thread"), QStringLiteral("\r\n"), {},
                                   forever, r);
                return r.Count;
            });
            time(refs, refsCount, [&](TTextBuffer& b) {
                TReplaceAllResult r;
                captures.ReplaceAll(b, 0, QStringLiteral("thr$1a$2"), QStringLiteral("\r\n"), {},
                                    forever, r);
                return r.Count;
            });
        }
        for (auto* v : {&plain, &regex, &refs})
            std::sort(v->begin(), v->end());
        const double p = plain[3], r = regex[3], c = refs[3];
        std::printf("replace-all with a regular expression, same text, 7 runs in turns\n");
        std::printf("  plain text \"needle\"                    %9.1f ms  (%lld matches)\n", p,
                    (long long)plainCount);
        std::printf(
            "  regex \"ne+dle\" -> \"thread\"           %9.1f ms  (%lld matches)  %.2fx plain\n", r,
            (long long)regexCount, r / p);
        std::printf(
            "  regex \"n(e+)d(le)\" -> \"thr$1a$2\"     %9.1f ms  (%lld matches)  %.2fx plain\n", c,
            (long long)refsCount, c / p);
        std::printf("  (target: at most 4x the plain-text replace-all)\n\n");
    }

    // Find over 100 MB matching only at the end.
    const QString big = Text(60'000'000, 0) + QStringLiteral("needle");
    TTextBuffer buffer;
    buffer.SetText(big);
    qsizetype at = -1;
    const double find = MedianMs(5, [&] {
        at = FindForward(buffer, QStringLiteral("needle"), 0, buffer.Length(), {true, false})
                 .value_or(-1);
    });
    const double findNoCase =
        MedianMs(5, [&] { FindForward(buffer, QStringLiteral("needle"), 0, buffer.Length(), {}); });
    const double indexOf = MedianMs(5, [&] { (void)big.indexOf(QStringLiteral("needle")); });
    QTextDocument bigDoc;
    bigDoc.setPlainText(big);
    const double docFind = MedianMs(3, [&] {
        (void)bigDoc.find(QStringLiteral("needle"), 0, QTextDocument::FindCaseSensitively);
    });
    std::printf("find over %.1f MB matching only at the end (found at %lld of %lld)\n",
                big.toUtf8().size() / 1e6, (long long)at, (long long)big.size());
    std::printf("  ours, match case                %8.1f ms\n", find);
    std::printf("  ours, ignoring case             %8.1f ms\n", findNoCase);
    std::printf("  QString::indexOf                %8.1f ms\n", indexOf);
    std::printf("  QTextDocument::find             %8.1f ms\n", docFind);
    std::printf("  (target: under 100 ms)\n");
    return 0;
}
