// What marks and markers add to painting a screen: the editor control in an 800 x 600 window with
// the editing window's font paints the same screen with everything off (the reference) and with
// all six marks, the caret marker and the word-wrap marker on, taking turns so that a change in
// the machine's load falls on both. Two texts: every character a mark (the worst case), and
// HTML with script indented by tabs and blanks.
//
//   bench_marks [PAINTS]    paints per case and round (default 200)

#include "editor/ExtMemo.h"
#include "platform/FontSubstitution.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>

namespace {

QString WorstText() {
    const QString marks[] = {QStringLiteral(" "), QStringLiteral("\u3000"), QStringLiteral("\t"),
                             QStringLiteral("\x01")};
    QRandomGenerator random(7);
    QString text;
    for (int line = 0; line < 200; ++line) {
        for (int i = 0; i < 60; ++i)
            text += marks[random.bounded(int(std::size(marks)))];
        text += line % 5 == 4 ? QStringLiteral("\n") : QStringLiteral("\r\n");
    }
    return text;
}

QString HtmlText() {
    const QString pieces[] = {QStringLiteral("<div class=\"item\">"),
                              QStringLiteral("document.write(\"こんにちは\");"),
                              QStringLiteral("var total = price * 1.08;"),
                              QStringLiteral("漢字とかなの混じった文章です。"),
                              QStringLiteral("function f(a, b) { return a + b; }"),
                              QStringLiteral("<p>日本語の段落、\u3000句読点。</p>")};
    QRandomGenerator random(5);
    QString text;
    for (int line = 0; line < 200; ++line) {
        text += QString(random.bounded(4), u'\t') + QString(random.bounded(3) * 2, u' ');
        for (int i = random.bounded(1, 4); i > 0; --i)
            text += pieces[random.bounded(int(std::size(pieces)))] + u' ';
        text += QStringLiteral("\r\n");
    }
    return text;
}

void SetMarks(TExtMemo& memo, bool on) {
    for (int kind = emCrLf; kind <= emEot; ++kind) {
        TEditMark& mark = memo.EditMarks().Mark(TEditMarkKind(kind));
        mark.SetEnabled(on);
        mark.SetReversed(kind == emDSp);
    }
    memo.CaretMarker().SetEnabled(on);
    memo.WordWrapMarker().SetEnabled(on);
}

// Milliseconds per paint, the median of `paints` paints.
double PaintMs(TExtMemo& memo, QImage& image, int paints) {
    std::vector<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < paints; ++i) {
        timer.start();
        memo.viewport()->render(&image);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + paints / 2, times.end());
    return times[size_t(paints / 2)];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    RegisterFontSubstitutions();
    const int paints = argc > 1 ? std::max(10, atoi(argv[1])) : 200;
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(16);

    std::printf("%-10s %10s %10s %10s %8s\n", "text", "off ms", "marks ms", "added ms", "marks");
    for (const auto& [name, text] : {std::pair{"all marks", WorstText()}, {"html", HtmlText()}}) {
        TExtMemo memo;
        memo.SetTextFont(font);
        memo.resize(800, 600);
        memo.show();
        memo.RecreateWnd();
        memo.EditArea().SetWidth(640);
        memo.EditArea().SetEnabled(true);
        memo.Buffer().SetText(text);
        memo.setFocus();
        QImage image(memo.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        // Count the marks on the screen once, to say how full it is.
        qsizetype shown = 0;
        const qsizetype last = memo.CharFromPos(memo.viewport()->rect().bottomRight());
        for (qsizetype pos = 0; pos <= last && pos < memo.TextLength(); ++pos) {
            const char16_t c = memo.Buffer().At(pos);
            shown += c < 0x20 || c == u' ' || c == 0x3000;
        }
        // Warm the layout cache and the glyph images, then alternate.
        SetMarks(memo, true);
        PaintMs(memo, image, 10);
        std::vector<double> off, on;
        for (int round = 0; round < 5; ++round) {
            SetMarks(memo, false);
            off.push_back(PaintMs(memo, image, paints));
            SetMarks(memo, true);
            on.push_back(PaintMs(memo, image, paints));
        }
        std::sort(off.begin(), off.end());
        std::sort(on.begin(), on.end());
        std::printf("%-10s %10.3f %10.3f %10.3f %8lld\n", name, off[2], on[2], on[2] - off[2],
                    static_cast<long long>(shown));
    }
    return 0;
}
