// The kept colours against colouring the final text from scratch, after random edits that open
// and close comments, scripts and templates across paragraphs, with the background pass run to
// the end, part of the way or not at all between them.

#include "editor/SyntaxColours.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <iterator>

namespace {

// Adjacent runs of one kind as one: where a piece or a display line ends is not a colour.
std::vector<TSyntaxRun> Joined(const std::vector<TSyntaxRun>& runs) {
    std::vector<TSyntaxRun> joined;
    for (const TSyntaxRun& run : runs) {
        if (!joined.empty() && joined.back().Kind == run.Kind &&
            joined.back().Start + joined.back().Length == run.Start)
            joined.back().Length += run.Length;
        else
            joined.push_back(run);
    }
    return joined;
}

// Every paragraph's runs, lexed from the first paragraph on; a paragraph longer than a piece is
// lexed piece by piece, as the kept colours do.
std::vector<std::vector<TSyntaxRun>> FromScratch(TSyntaxLanguage language, const QString& text) {
    std::vector<std::vector<TSyntaxRun>> result;
    TLexState state = InitialLexState(language);
    for (const QString& paragraph : text.split(u'\n')) {
        std::vector<TSyntaxRun> runs, piece;
        for (qsizetype from = 0; from == 0 || from < paragraph.size();
             from += TSyntaxColours::Piece) {
            piece.clear();
            state = LexParagraph(state, QStringView(paragraph).mid(from, TSyntaxColours::Piece),
                                 &piece);
            for (TSyntaxRun run : piece) {
                run.Start += int32_t(from);
                runs.push_back(run);
            }
        }
        result.push_back(Joined(runs));
    }
    return result;
}

// The runs the kept colours give for a paragraph, asked for in two halves as display lines would.
std::vector<TSyntaxRun> Kept(TSyntaxColours& colours, const TTextBuffer& buffer, qsizetype p) {
    const qsizetype length = buffer.LineEnd(p) - buffer.LineStart(p), half = length / 2;
    std::vector<TSyntaxRun> runs, second;
    colours.Runs(p, 0, half, runs);
    colours.Runs(p, half, length, second);
    runs.insert(runs.end(), second.begin(), second.end());
    return Joined(runs);
}

} // namespace

class TSyntaxColoursTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void RandomEditsMatchColouringFromScratch();
    void BackgroundPassReportsChangedStates();
};

void TSyntaxColoursTest::RandomEditsMatchColouringFromScratch() {
    const QString pieces[] = {QStringLiteral("<!--"),     QStringLiteral("-->"),
                              QStringLiteral("<script>"), QStringLiteral("</script>"),
                              QStringLiteral("/*"),       QStringLiteral("*/"),
                              QStringLiteral("`a${"),     QStringLiteral("}`"),
                              QStringLiteral("'"),        QStringLiteral("<p class=\""),
                              QStringLiteral("\">"),      QStringLiteral("\n"),
                              QStringLiteral("\n"),       QStringLiteral("var x = 1;"),
                              QStringLiteral("日本語 "),  QStringLiteral("<style>a{b:c}"),
                              QStringLiteral(" / 2 /re/")};
    QRandomGenerator random(17);
    auto piece = [&] {
        return pieces[random.bounded(int(std::size(pieces)))];
    };
    QString text;
    while (text.size() < 3000)
        text += piece();
    // One paragraph long enough to be lexed in pieces.
    text += QStringLiteral("\n<script>") + QString(TSyntaxColours::Piece * 2, u'x') + u'\n';
    TTextBuffer buffer;
    buffer.SetText(text);
    TSyntaxColours colours(buffer);
    colours.SetLanguage(slHtml);
    for (int step = 0; step < 300; ++step) {
        const qsizetype pos = random.bounded(buffer.Length() + 1);
        if (random.bounded(4) == 0)
            buffer.Remove(buffer.Snap(pos, false), random.bounded(1, 40));
        else
            buffer.Insert(buffer.Snap(pos, false), piece());
        switch (random.bounded(4)) {
        case 0:
            colours.ColourAll();
            break;
        case 1:
            QCoreApplication::processEvents();
            break;
        default:
            break;
        }
        // Checking every paragraph lexes them all; every few steps only one is asked for, so
        // that the edits pile up over states the background has not reached.
        const auto expected = FromScratch(slHtml, buffer.Text());
        if (step % 5 != 4) {
            const qsizetype p = random.bounded(buffer.LineCount());
            QVERIFY2(Kept(colours, buffer, p) == expected[size_t(p)],
                     qPrintable(QStringLiteral("step %1 paragraph %2").arg(step).arg(p)));
            continue;
        }
        for (qsizetype p = buffer.LineCount() - 1; p >= 0; --p)
            QVERIFY2(Kept(colours, buffer, p) == expected[size_t(p)],
                     qPrintable(QStringLiteral("step %1 paragraph %2").arg(step).arg(p)));
    }
}

// Opening a comment at the top changes every later paragraph's start; the background pass says
// so, so that a window showing them repaints.
void TSyntaxColoursTest::BackgroundPassReportsChangedStates() {
    TTextBuffer buffer;
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("<p>段落 %1</p>\n").arg(i);
    buffer.SetText(text);
    TSyntaxColours colours(buffer);
    colours.SetLanguage(slHtml);
    colours.ColourAll();
    QSignalSpy spy(&colours, &TSyntaxColours::Recoloured);
    buffer.Insert(0, QStringLiteral("<!--"));
    QTRY_VERIFY(colours.Done());
    QVERIFY(!spy.isEmpty());
    QCOMPARE(spy.first().at(0).value<qsizetype>(), qsizetype(1));
    QCOMPARE(spy.last().at(1).value<qsizetype>(), buffer.LineCount() - 1);
    std::vector<TSyntaxRun> runs;
    colours.Runs(buffer.LineCount() - 2, 0, 4, runs);
    QCOMPARE(runs.size(), size_t(1));
    QCOMPARE(runs.front().Kind, skComment);
}

QTEST_GUILESS_MAIN(TSyntaxColoursTest)
#include "SyntaxColoursTest.moc"
