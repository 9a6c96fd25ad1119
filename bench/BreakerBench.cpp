// The line breaker alone: every paragraph of a generated text broken with its advances already
// looked up, at three wrap widths and both kinsoku levels, in characters per second. Against
// the toolkit's own line breaking of the same paragraphs (QTextLayout, which also shapes them)
// on a part of the text, in the same run. Two texts: the Japanese HTML of the editor benchmarks
// (short lines), and Japanese prose in long paragraphs full of prohibited characters, where
// nearly every display line ends by a kinsoku rule.
//
//   bench_breaker [MB] [RUNS]   MB of each text (default 32); RUNS per case (default 5)

#include "bench/BenchTiming.h"
#include "bench/HtmlText.h"
#include "editor/AdvanceTable.h"
#include "editor/LineBreaker.h"

#include <QGuiApplication>
#include <QTextLayout>
#include <cstdio>

namespace {

constexpr double Overflow = 16;
constexpr qsizetype ReferenceChars = 1 << 20; // QTextLayout is given the first 1 M characters

QString ProseText(qsizetype charsWanted) {
    const QString pieces[] = {
        QStringLiteral("吾輩は猫である。"),
        QStringLiteral("名前はまだ無い。"),
        QStringLiteral("「どこで生れたか」とんと見当がつかぬ。"),
        QStringLiteral(
            "何でも薄暗いじめじめした所で、ニャーニャー泣いていた事だけは記憶している。"),
        QStringLiteral("（JavaScript の document.write() を使う）"),
        QStringLiteral("ちょっと、"),
        QStringLiteral("ぁぃぅぇぉっゃゅょ――……"),
        QStringLiteral("『書生』という人間中で一番獰悪な種族であったそうだ。"),
        QStringLiteral("Latin words stay whole, "),
        QStringLiteral("\u3000")};
    QRandomGenerator random(11);
    QString text;
    while (text.size() < charsWanted) {
        const qsizetype length = 200 + random.bounded(1800);
        const qsizetype start = text.size();
        while (text.size() - start < length)
            text += pieces[random.bounded(int(std::size(pieces)))];
        text += QStringLiteral("\r\n");
    }
    return text;
}

struct TParagraphs {
    QString Text;
    std::vector<QStringView> Items;
    std::vector<float> Advances; // per UTF-16 unit of Text
    std::vector<qsizetype> Starts;
    qsizetype Chars = 0;
};

TParagraphs Split(QString text, const TAdvanceTable& table) {
    TParagraphs p;
    p.Text = std::move(text);
    table.Fill(p.Text, p.Advances);
    qsizetype start = 0;
    while (start < p.Text.size()) {
        qsizetype end = p.Text.indexOf(u'\r', start);
        if (end < 0)
            end = p.Text.size();
        p.Items.push_back(QStringView(p.Text).mid(start, end - start));
        p.Starts.push_back(start);
        p.Chars += end - start;
        start = end + 2;
    }
    return p;
}

qsizetype BreakAll(const TParagraphs& p, double width, const TPreparedBreakRules& rules,
                   double tabWidth, std::vector<qsizetype>& breaks) {
    qsizetype lines = 0;
    for (size_t i = 0; i < p.Items.size(); ++i) {
        BreakLines(p.Items[i], p.Advances.data() + p.Starts[i], width, Overflow, tabWidth, rules,
                   breaks);
        lines += qsizetype(breaks.size()) + 1;
    }
    return lines;
}

// QTextLayout over the paragraphs until limit characters are laid out; the characters done.
qsizetype LayoutAll(const TParagraphs& p, double width, const QFont& font, qsizetype limit) {
    qsizetype done = 0;
    for (size_t i = 0; i < p.Items.size() && done < limit; ++i) {
        QTextLayout layout(p.Items[i].toString(), font);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(width);
        layout.endLayout();
        done += p.Items[i].size();
    }
    return done;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype megabytes = args.size() > 1 ? std::max(1, args[1].toInt()) : 32;
    const int runs = args.size() > 2 ? std::max(1, args[2].toInt()) : 5;

    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(16);
    const TAdvanceTable table(font);
    const double tabWidth = table.TabWidth();
    const std::pair<const char*, TParagraphs> texts[] = {
        {"html", Split(HtmlText(megabytes << 20, false), table)},
        {"prose", Split(ProseText((megabytes << 20) / 3), table)},
    };
    std::printf("%s %d px, overflow %g px; medians of %d; QTextLayout on the first %lld "
                "characters, median of 3\n",
                qPrintable(font.family()), font.pixelSize(), Overflow, runs,
                static_cast<long long>(ReferenceChars));
    std::printf("load average at the start: %s\n", LoadAverage().constData());
    std::printf("%-6s %6s %5s %11s %9s %14s %14s %16s\n", "text", "width", "level", "characters",
                "lines", "breaker Mch/s", "(cpu Mch/s)", "QTextLayout Mch/s");
    std::vector<qsizetype> breaks;
    for (const auto& [name, p] : texts) {
        for (double width : {980.0, 600.0, 300.0}) {
            for (int level : {1, 2}) {
                const TPreparedBreakRules rules(level == 1 ? Level1Rules() : Level2Rules());
                qsizetype lines = 0;
                const TTimes t = Median(
                    runs, [] {}, [&] { lines = BreakAll(p, width, rules, tabWidth, breaks); });
                qsizetype laidOut = 0;
                const TTimes ref = Median(
                    3, [] {}, [&] { laidOut = LayoutAll(p, width, font, ReferenceChars); });
                std::printf("%-6s %6g %5d %11lld %9lld %14.0f %14.0f %16.1f\n", name, width, level,
                            static_cast<long long>(p.Chars), static_cast<long long>(lines),
                            double(p.Chars) / t.Wall / 1e6, double(p.Chars) / t.Cpu / 1e6,
                            double(laidOut) / ref.Wall / 1e6);
                std::fflush(stdout);
            }
        }
    }
    std::printf("load average at the end: %s\n", LoadAverage().constData());
    return 0;
}
