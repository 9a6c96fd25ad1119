// Pages of any content, as a user may open them: the lexer's runs stay inside their paragraph, in
// order and never plain, its end states do not depend on the runs being kept, and the kept
// colours of a buffer agree with lexing from scratch after an edit in the middle.

#include "editor/SyntaxColours.h"
#include "tests/fuzz/FuzzFiles.h"

#include <QCoreApplication>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The kept colours start their background pass on a timer, which wants an application.
    static int argc = 1;
    static char name[] = "SyntaxLexerFuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    const auto language = TSyntaxLanguage(1 + data[0] % 3);
    // Paragraphs as the buffer has them: CR LF, LF and CR end one.
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1)
            .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .replace(u'\r', u'\n');
    const QStringList paragraphs = text.split(u'\n');
    TLexState withRuns = InitialLexState(language), without = withRuns;
    std::vector<std::vector<TSyntaxRun>> scratch;
    for (const QString& paragraph : paragraphs) {
        std::vector<TSyntaxRun> runs;
        withRuns = LexParagraph(withRuns, paragraph, &runs);
        without = LexParagraph(without, paragraph, nullptr);
        Check(withRuns == without, "the end state depends on the runs being kept");
        int32_t last = 0;
        for (const TSyntaxRun& run : runs) {
            Check(run.Kind != skPlain && run.Kind < skKindCount, "a run of no colour");
            Check(run.Start >= last && run.Length > 0 && run.Start + run.Length <= paragraph.size(),
                  "a run out of order or outside its paragraph");
            last = run.Start + run.Length;
        }
        scratch.push_back(std::move(runs));
    }

    // The same text kept in a buffer, edited in the middle and back: the colours must be those
    // of lexing it from scratch (no paragraph here is longer than a piece).
    if (text.size() > TSyntaxColours::Piece)
        return 0;
    TTextBuffer buffer;
    buffer.SetText(text);
    TSyntaxColours colours(buffer);
    colours.SetLanguage(language);
    colours.ColourAll();
    const qsizetype middle = buffer.Snap(buffer.Length() / 2, false);
    buffer.Insert(middle, QStringLiteral("<!--/*`'"));
    buffer.Remove(middle, 8);
    std::vector<TSyntaxRun> runs;
    for (qsizetype p = 0; p < buffer.LineCount(); ++p) {
        colours.Runs(p, 0, buffer.LineEnd(p) - buffer.LineStart(p), runs);
        Check(runs == scratch[size_t(p)], "kept colours differ from colours lexed from scratch");
    }
    return 0;
}
