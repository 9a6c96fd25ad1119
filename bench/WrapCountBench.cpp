// Recounting the display lines of the 100 MB UTF-8 file of bench_editor after a change of the
// wrap width: TWrapMap::SetGeometry with the new width, then CountAll(), which is the whole of
// what the view's idle slices do between them. Against the same count done per paragraph, as
// TWrapMap::Breaks does for one paragraph (its text copied out, its advances filled in, broken),
// which also checks that both give the same number of display lines. Wall time and the thread's
// CPU time, medians; the CPU time is the steadier figure when other work shares the machine.
//
//   bench_wrapcount [DIR] [RUNS]   the file in DIR (default /tmp/qjs-editor-bench, generated
//                                  there when missing); RUNS recounts per width (default 7)

#include "bench/BenchTiming.h"
#include "bench/HtmlText.h"
#include "editor/TextFile.h"
#include "editor/WrapMap.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>

namespace {

constexpr double Overflow = 16; // one full-width character may hang past the wrap column

qsizetype PerParagraph(const TTextBuffer& buffer, const TAdvanceTable& advances, double width) {
    const TPreparedBreakRules rules(Level1Rules());
    std::vector<float> scratch;
    std::vector<qsizetype> breaks;
    qsizetype lines = 0;
    for (qsizetype p = 0; p < buffer.LineCount(); ++p) {
        const QString text = buffer.LineText(p);
        advances.Fill(text, scratch);
        BreakLines(text, scratch.data(), width, Overflow, advances.TabWidth(), rules, breaks);
        lines += qsizetype(breaks.size()) + 1;
    }
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString dir = args.size() > 1 ? args[1] : QStringLiteral("/tmp/qjs-editor-bench");
    const int runs = args.size() > 2 ? std::max(1, args[2].toInt()) : 7;
    const QString path = Utf8HtmlFile(dir);

    TTextBuffer buffer;
    LoadTextFile(path, buffer);
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(16);
    const TAdvanceTable advances(font);
    TWrapMap map(buffer);
    std::printf("%s: %.1f MB, %lld paragraphs, %lld characters; %s %d px, overflow %g px, "
                "level 1 rules; medians of %d (per paragraph: of 3)\n",
                qPrintable(QFileInfo(path).fileName()), QFileInfo(path).size() / 1e6,
                static_cast<long long>(buffer.LineCount()), static_cast<long long>(buffer.Length()),
                qPrintable(font.family()), font.pixelSize(), Overflow, runs);
    std::printf("load average at the start: %s\n", LoadAverage().constData());
    std::printf("%-6s %10s %12s %12s %18s %18s\n", "width", "lines", "count wall s", "count cpu s",
                "per-paragraph wall", "per-paragraph cpu");
    for (double width : {980.0, 600.0, 300.0}) {
        auto recount = [&] {
            map.SetGeometry(&advances, width, Overflow);
            map.CountAll();
        };
        recount(); // the first count measures the characters the advance table has not seen
        // Another width first, so that setting this one again recounts.
        const TTimes count = Median(
            runs, [&] { map.SetGeometry(&advances, 0, 0); }, recount);
        qsizetype reference = 0;
        const TTimes slow = Median(
            3, [] {}, [&] { reference = PerParagraph(buffer, advances, width); });
        std::printf("%-6g %10lld %12.3f %12.3f %18.3f %18.3f\n", width,
                    static_cast<long long>(map.DisplayLineCount()), count.Wall, count.Cpu,
                    slow.Wall, slow.Cpu);
        if (reference != map.DisplayLineCount()) {
            std::printf("MISMATCH: %lld display lines counted per paragraph\n",
                        static_cast<long long>(reference));
            return 1;
        }
        std::fflush(stdout);
    }
    std::printf("load average at the end: %s\n", LoadAverage().constData());
    return 0;
}
