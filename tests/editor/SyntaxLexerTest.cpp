// The lexer against hand-written colour maps: one letter a character, paragraphs split at '\n'
// and lexed in turn with the state carried between them.

#include "editor/SyntaxLexer.h"

#include <QTest>

namespace {

constexpr char KindLetters[] = ".TAVECDKSRNLPU@";
static_assert(sizeof(KindLetters) == skKindCount + 1);

// The colour map of the text: one letter a character, '\n' kept.
QString Paint(TSyntaxLanguage language, const QString& text) {
    TLexState state = InitialLexState(language);
    QString map;
    for (const QString& paragraph : text.split(u'\n')) {
        std::vector<TSyntaxRun> runs;
        state = LexParagraph(state, paragraph, &runs);
        QString line(paragraph.size(), u'.');
        int last = 0;
        for (const TSyntaxRun& run : runs) {
            if (run.Start < last || run.Length <= 0 || run.Start + run.Length > paragraph.size())
                return QStringLiteral("bad run at %1").arg(run.Start);
            last = run.Start + run.Length;
            for (int i = run.Start; i < last; ++i)
                line[i] = QLatin1Char(KindLetters[run.Kind]);
        }
        map += line + u'\n';
    }
    map.chop(1);
    return map;
}

} // namespace

class TSyntaxLexerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void Colours_data();
    void Colours();
    void EndStateIgnoresRuns();
    void Languages();
};

void TSyntaxLexerTest::Colours_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* name, TSyntaxLanguage language, const char16_t* text,
                  const char* expected) {
        QTest::newRow(name) << int(language) << QString::fromUtf16(text)
                            << QString::fromLatin1(expected);
    };
    // HTML
    row("tag and attributes", slHtml, u"<a href=\"x.html\" id=t>リンク</a>",
        "TT.AAAA.VVVVVVVV.AA.VT...TTTT");
    row("references", slHtml, u"a&amp;b&#12354;&#x3042;&bad c&;",
        ".EEEEE.EEEEEEEEEEEEEEEE........");
    row("comment across lines", slHtml, u"x<!-- a\n b -->y", ".CCCCCC\nCCCCCC.");
    row("doctype", slHtml, u"<!DOCTYPE html><p>", "DDDDDDDDDDDDDDDTTT");
    // JavaScript in a page
    row("script", slHtml, u"<script>var s = 'a';</script>", "TTTTTTTTKKK.....SSS.TTTTTTTTT");
    row("script ends inside a string", slHtml, u"<script>var s = '</script>';",
        "TTTTTTTTKKK.....STTTTTTTTT..");
    row("script ends inside a comment", slHtml, u"<script>/* </SCRIPT >*/",
        "TTTTTTTTCCCTTTTTTTT.T..");
    row("script of another type", slHtml, u"<script type=\"text/template\">var</script>",
        "TTTTTTT.AAAA.VVVVVVVVVVVVVVVT...TTTTTTTTT");
    row("module script", slHtml, u"<script type=module>var</script>",
        "TTTTTTT.AAAA.VVVVVVTKKKTTTTTTTTT");
    row("event handler", slHtml, u"<b onclick=\"if (a) f('x')\">if</b>",
        "TT.AAAAAAA.VKK.......SSS.VT..TTTT");
    row("event handler across lines", slHtml, u"<b onclick=\"f(\n'x')\">",
        "TT.AAAAAAA.V..\nSSS.VT");
    // JavaScript
    row("regexp after operator", slJavaScript, u"x = /a[/]b/g.test(s)", "....RRRRRRRR........");
    row("division", slJavaScript, u"a = b / c / d; f(x) / 2", "......................N");
    row("regexp after return", slJavaScript, u"return /x/;", "KKKKKK.RRR.");
    row("numbers", slJavaScript, u"1.5e-3 + 0x1F + .5 + 10n", "NNNNNN...NNNN...NN...NNN");
    row("line comment", slJavaScript, u"a // b 'c'\nvar", "..CCCCCCCC\nKKK");
    row("block comment across lines", slJavaScript, u"a /* b\nc */ d", "..CCCC\nCCCC..");
    row("template with expression", slJavaScript, u"`a${b + `c${d}`}e` / 2",
        "SS......SS....S.SS...N");
    row("template across lines", slJavaScript, u"`a\nb${ {x} }c`", "SS\nS........SS");
    row("string continued by backslash", slJavaScript, u"'a\\\nb' c\n'd\ne", "SSS\nSS..\nSS\n.");
    row("member named like a keyword", slJavaScript, u"a.new.if", "........");
    // CSS
    row("style", slHtml, u"<style>p.x, #y { color: #fff; margin: 0 1.5em !important }</style>",
        "TTTTTTTLLLL.LL...PPPPP..NNNN..PPPPPP..N.NNNNN.KKKKKKKKKK..TTTTTTTT");
    row("css at-rules", slCss, u"@media screen {\n a:hover { b: c }\n}\n@font-face { src: url(x) }",
        "@@@@@@.........\n.LLLLLLL...P..U..\n.\n@@@@@@@@@@...PPP..UUU.U...");
    row("css comment and string", slCss, u"a /* b\n{ */ { content: \"x\" }",
        "L.CCCC\nCCCC...PPPPPPP..SSS..");
}

void TSyntaxLexerTest::Colours() {
    QFETCH(int, language);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Paint(TSyntaxLanguage(language), text), expected);
}

// The background pass asks only for end states: they must not depend on the runs being kept.
void TSyntaxLexerTest::EndStateIgnoresRuns() {
    const QString page = QStringLiteral(
        "<p onclick='a(`${\n1}`)'>x<script>\nvar r = /x/; /* y\n*/ `a${\n{b}}`\n</script><style>"
        "\na { b: c }\n");
    TLexState withRuns = InitialLexState(slHtml), without = withRuns;
    for (const QString& paragraph : page.split(u'\n')) {
        std::vector<TSyntaxRun> runs;
        withRuns = LexParagraph(withRuns, paragraph, &runs);
        without = LexParagraph(without, paragraph, nullptr);
        QVERIFY(withRuns == without);
    }
}

void TSyntaxLexerTest::Languages() {
    const std::pair<const char*, TSyntaxLanguage> cases[] = {
        {"", slHtml},           {"a/b.HTML", slHtml},
        {"x.htm", slHtml},      {"m.mjs", slJavaScript},
        {"s.js", slJavaScript}, {"c.Css", slCss},
        {"a.txt", slNone},      {"dir.html/readme", slNone},
        {"noext", slNone}};
    for (const auto& [name, language] : cases)
        QCOMPARE(int(LanguageForFileName(QString::fromLatin1(name))), int(language));
}

QTEST_GUILESS_MAIN(TSyntaxLexerTest)
#include "SyntaxLexerTest.moc"
