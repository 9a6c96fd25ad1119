// Syntax colours on the 100 MB UTF-8 page of the editor benchmarks, against the same window
// with colours off in the same run: open to the first painted screen, memory above the empty
// program once everything is coloured (peak and current), typing 200 characters at the top, the
// middle and the end (99th percentile of a keystroke to its paint, line numbers on), and the
// keystrokes of "<!--" and "/*" at the top, which change the colour of the whole file after
// them. In this process: the background pass over the whole file (thread CPU time), the
// colouring of a screenful of lines and the search for a bracket's missing partner.
//
//   bench_colours [DIR]        files in DIR (default /tmp/qjs-editor-bench)
//   bench_colours case on|off FILE

#include "bench/BenchTiming.h"
#include "bench/HtmlText.h"
#include "editor/ExtMemo.h"
#include "editor/PairMatch.h"
#include "editor/TextFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>

namespace {

long StatusKb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    return 0;
}

double Ms(QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

double Percentile99(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() * 99 / 100 - 1];
}

// Prints "open rssMB peakMB typeTop99 typeMid99 typeEnd99 commentMax".
int RunCase(bool colours, const QString& path) {
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(16);
    TExtMemo view;
    view.SetTextFont(font);
    view.RecreateWnd();
    view.SetLineNumbers(true);
    view.SetSyntaxLanguage(colours ? slHtml : slNone);
    view.resize(1000, 700);
    view.show();
    QImage canvas(view.viewport()->size(), QImage::Format_RGB32);
    auto paint = [&] {
        view.viewport()->render(&canvas);
    };
    paint();
    const long base = StatusKb("VmRSS:");
    QElapsedTimer t;
    t.start();
    view.SetLineEnd(LoadTextFile(path, view.Buffer()).LineEnd);
    paint();
    const double open = Ms(t);
    // Everything counted and coloured, as after a while in a running program.
    view.LineCount();
    while (!view.ColoursDone())
        QCoreApplication::processEvents();
    const long rss = StatusKb("VmRSS:") - base;

    auto typing = [&](qsizetype pos, const QString& keys, int count) {
        view.SetSelection(pos, pos);
        view.EnsureCaretVisible();
        paint();
        std::vector<double> times;
        for (int i = 0; i < count; ++i) {
            const QString key = keys.mid(i % keys.size(), 1);
            QElapsedTimer k;
            k.start();
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, key);
            QApplication::sendEvent(&view, &press);
            paint();
            times.push_back(Ms(k));
            // The background passes run between keystrokes, as in the program.
            QCoreApplication::processEvents();
        }
        return times;
    };
    const double top = Percentile99(typing(0, QStringLiteral("a"), 200));
    const double mid = Percentile99(typing(view.TextLength() / 2, QStringLiteral("a"), 200));
    const double end = Percentile99(typing(view.TextLength(), QStringLiteral("a"), 200));
    // Opening a comment at the top recolours everything after it; each keystroke of it, and of
    // the text typed into the comment after it, is timed.
    double comment = 0;
    for (const QString& opening : {QStringLiteral("<!--"), QStringLiteral("/*")}) {
        for (double ms : typing(0, opening + QStringLiteral("abc"), 7))
            comment = std::max(comment, ms);
        view.Undo();
    }
    std::printf("%.1f %ld %ld %.2f %.2f %.2f %.2f\n", open, rss / 1024,
                (StatusKb("VmHWM:") - base) / 1024, top, mid, end, comment);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == u"case")
        return RunCase(args[2] == u"on", args[3]);
    const QString dir = args.size() > 1 ? args[1] : QStringLiteral("/tmp/qjs-editor-bench");
    const QString path = Utf8HtmlFile(dir);
    std::printf("file %.1f MB, load average %s\n", QFileInfo(path).size() / 1e6,
                LoadAverage().constData());
    std::printf("%-8s %9s %8s %9s %12s %12s %12s %14s\n", "colours", "open ms", "RSS MB", "peak MB",
                "type top p99", "type mid p99", "type end p99", "<!-- /* max ms");
    // Five of each, alternating, so that the machine's load falls on both alike.
    std::vector<double> opens[2];
    for (int run = 0; run < 10; ++run) {
        const char* mode = run % 2 ? "on" : "off";
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("case"), QString::fromLatin1(mode), path});
        child.waitForFinished(-1);
        const QList<QByteArray> v = child.readAllStandardOutput().trimmed().split(' ');
        if (v.size() != 7) {
            std::printf("%-8s failed\n", mode);
            continue;
        }
        opens[run % 2].push_back(v[0].toDouble());
        std::printf("%-8s %9s %8s %9s %12s %12s %12s %14s\n", mode, v[0].constData(),
                    v[1].constData(), v[2].constData(), v[3].constData(), v[4].constData(),
                    v[5].constData(), v[6].constData());
        std::fflush(stdout);
    }
    for (auto& o : opens)
        std::sort(o.begin(), o.end());
    if (!opens[0].empty() && !opens[1].empty())
        std::printf("open, median: off %.1f ms, on %.1f ms, ratio %.2f\n",
                    opens[0][opens[0].size() / 2], opens[1][opens[1].size() / 2],
                    opens[1][opens[1].size() / 2] / opens[0][opens[0].size() / 2]);

    TTextBuffer buffer;
    LoadTextFile(path, buffer);
    TSyntaxColours colours(buffer);
    const TTimes pass = Measure([&] {
        colours.SetLanguage(slHtml);
        while (!colours.Done())
            QCoreApplication::processEvents();
    });
    std::printf("background pass over %lld paragraphs: %.2f s CPU, %.2f s wall\n",
                buffer.LineCount(), pass.Cpu, pass.Wall);
    // 60 lines of the page at a time, in the middle, each screen another.
    std::vector<TSyntaxRun> runs;
    qsizetype first = buffer.LineCount() / 2;
    const TTimes screen = Median(
        101, [&] { first += 60; },
        [&] {
            for (qsizetype p = first; p < first + 60; ++p)
                colours.Runs(p, 0, buffer.LineEnd(p) - buffer.LineStart(p), runs);
        });
    std::printf("screenful of 60 lines: %.3f ms (CPU %.3f ms), median of 101\n", screen.Wall * 1e3,
                screen.Cpu * 1e3);
    // A bracket without a partner: the search goes its whole 1 MB, lexing every paragraph it
    // passes, after each keystroke beside it.
    const qsizetype middle = buffer.LineStart(buffer.LineCount() / 2);
    buffer.Insert(middle, QStringLiteral("("));
    colours.ColourAll();
    const TTimes pair = Median(
        11, [] {}, [&] { FindPair(buffer, colours, middle); });
    std::printf("partner search over 1 MB without a partner: %.2f ms (CPU %.2f ms), median of 11\n",
                pair.Wall * 1e3, pair.Cpu * 1e3);
    return 0;
}
