// Search in files without the window: matching with lines and columns, a folder of pages in
// the encodings the program reads, the files a search leaves out, and stopping it.

#include "editor/FileSearch.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray Encoded(const QString& text, TTextEncoding encoding) {
    QByteArray bytes = encoding == teUtf16LE ? QByteArray("\xFF\xFE") : QByteArray();
    EncodeString(text, encoding, {}, bytes);
    return bytes;
}

struct TRun {
    TFileSearchSummary Summary;
    QStringList Found; // "name(line,column)" in the order delivered
};

TRun Run(TFileSearchQuery query, const QString& folder) {
    query.Folder = folder;
    std::atomic<bool> cancel{false};
    TRun run;
    run.Summary = RunFileSearch(
        query, cancel,
        [&](TFileResult&& r) {
            for (const TFileMatch& m : r.Matches)
                run.Found << QStringLiteral("%1(%2,%3)")
                                 .arg(QDir(folder).relativeFilePath(r.Path))
                                 .arg(m.Line)
                                 .arg(m.Column);
        },
        [](int, int) {});
    return run;
}

QStringList Names(std::initializer_list<const char*> items) {
    QStringList names;
    for (const char* item : items)
        names << QString::fromUtf8(item);
    return names;
}

TFileSearchQuery Plain(const QString& text) {
    TFileSearchQuery query;
    query.Text = text;
    query.Patterns = QStringList{QStringLiteral("*")};
    query.Threads = 2;
    return query;
}

} // namespace

class TFileSearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void MatchesWithLinesAndColumns_data();
    void MatchesWithLinesAndColumns();
    void JapaneseWordInEveryEncoding();
    void BinaryAndLargeFilesAreSkipped();
    void CancelStopsBeforeTheNextFile();
    void StopsAfterTheMostMatches_data();
    void StopsAfterTheMostMatches();
    void FilesByPatternAndDepth_data();
    void FilesByPatternAndDepth();
    void BadPatternIsExplained_data();
    void BadPatternIsExplained();
};

void TFileSearchTest::MatchesWithLinesAndColumns_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QStringList>("expected"); // line:column:length
    QTest::newRow("CR LF, LF and CR each end a line")
        << QStringLiteral("あ\r\nい検索\nう\r検索") << QStringLiteral("検索") << false << false
        << false << Names({"2:2:2", "4:1:2"});
    QTest::newRow("empty lines in CR LF")
        << QStringLiteral("x\r\n\r\n検索") << QStringLiteral("検索") << false << false << false
        << Names({"3:1:2"});
    QTest::newRow("a pair of surrogates is one character")
        << QStringLiteral("\U0002000B\U0002000B検索") << QStringLiteral("検索") << false << false
        << false << Names({"1:3:2"});
    QTest::newRow("ignoring case") << QStringLiteral("Var VAR var") << QStringLiteral("var")
                                   << false << false << false << Names({"1:1:3", "1:5:3", "1:9:3"});
    QTest::newRow("matching case") << QStringLiteral("Var VAR var") << QStringLiteral("var")
                                   << false << true << false << Names({"1:9:3"});
    QTest::newRow("whole Latin words")
        << QStringLiteral("value val val_ x.val") << QStringLiteral("val") << false << false << true
        << Names({"1:7:3", "1:18:3"});
    QTest::newRow("whole kanji words") << QStringLiteral("漢字かな漢字表") << QStringLiteral("漢字")
                                       << false << false << true << Names({"1:1:2"});
    QTest::newRow("anchors at CR LF")
        << QStringLiteral("a1\r\nb2\r\na3") << QStringLiteral("^a\\d$") << true << false << false
        << Names({"1:1:2", "3:1:2"});
    QTest::newRow("expression ignoring case")
        << QStringLiteral("Foo\tfOO") << QStringLiteral("f.o") << true << false << false
        << Names({"1:1:3", "1:5:3"});
    QTest::newRow("expression, the whole word after a part")
        << QStringLiteral("xval val") << QStringLiteral("val") << true << false << true
        << Names({"1:6:3"});
    QTest::newRow("a stretch of a long line")
        << QString(600, u'x') + QStringLiteral("検索") + QString(600, u'y')
        << QStringLiteral("検索") << false << false << false << Names({"1:601:2"});
    QTest::newRow("empty matches") << QStringLiteral("a\nb") << QStringLiteral("^") << true << false
                                   << false << Names({"1:1:0", "2:1:0"});
}

void TFileSearchTest::MatchesWithLinesAndColumns() {
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(bool, regex);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(QStringList, expected);
    TFileSearchQuery query = Plain(what);
    query.RegularExpression = regex;
    query.Options = {matchCase, wholeWord};
    const TTextMatcher matcher(query);
    QVERIFY(matcher.Valid());
    QStringList found;
    for (const TFileMatch& m : MatchText(text, matcher)) {
        found << QStringLiteral("%1:%2:%3").arg(m.Line).arg(m.Column).arg(m.Length);
        // What the line shows at the match is the match.
        QCOMPARE(m.Shown.mid(m.ShownStart, m.ShownLength),
                 text.mid(m.Pos, m.ShownLength).replace(u'\t', u' '));
        QVERIFY(m.Shown.size() <= 512);
    }
    QCOMPARE(found, expected);
}

// The same page in five encodings, each with other line ends: every file is found at the same
// lines and columns, in path order, and a page without the word is searched but not listed.
void TFileSearchTest::JapaneseWordInEveryEncoding() {
    QTemporaryDir dir;
    const QString page = QStringLiteral("<p>日本語の頁</p>\n  <b>検索</b> と検索\n終わり\n");
    const std::pair<const char*, TTextEncoding> files[] = {
        {"a-utf8.html", teUtf8},     {"b-sjis.html", teCp932},    {"c-euc.html", teEucJp},
        {"d-jis.html", teIso2022Jp}, {"e-utf16.html", teUtf16LE},
    };
    const QString ends[] = {QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r")};
    QStringList expected;
    int n = 0;
    for (const auto& file : files) {
        QString text = page;
        text.replace(u'\n', ends[n++ % 3]);
        Write(dir.filePath(QLatin1StringView(file.first)), Encoded(text, file.second));
        for (const char* place : {"(2,6)", "(2,14)"})
            expected << QLatin1StringView(file.first) + QLatin1StringView(place);
    }
    Write(dir.filePath(QStringLiteral("f-none.css")), Encoded(QStringLiteral("検査"), teCp932));
    const TRun run = Run(Plain(QStringLiteral("検索")), dir.path());
    QCOMPARE(run.Found, expected);
    QCOMPARE(run.Summary.Files, 6);
    QCOMPARE(run.Summary.FilesWithMatches, 5);
    QCOMPARE(run.Summary.Matches, 10);
}

// A NUL byte in the first 8 KB makes a file binary, unless it is UTF-16 with its BOM; a file
// over the size limit is not read. Both are counted.
void TFileSearchTest::BinaryAndLargeFilesAreSkipped() {
    QTemporaryDir dir;
    const QByteArray word = QStringLiteral("検索").toUtf8();
    Write(dir.filePath(QStringLiteral("binary.html")), QByteArray("GIF89a\0", 7) + word);
    Write(dir.filePath(QStringLiteral("late-nul.html")), QByteArray(9000, 'x') + '\0' + word);
    Write(dir.filePath(QStringLiteral("large.html")), QByteArray(10000, 'x') + word);
    Write(dir.filePath(QStringLiteral("utf16.html")),
          Encoded(QStringLiteral("abc検索"), teUtf16LE));
    TFileSearchQuery query = Plain(QStringLiteral("検索"));
    query.SizeLimit = 9500;
    const TRun run = Run(query, dir.path());
    QCOMPARE(run.Found, (Names({"late-nul.html(1,9002)", "utf16.html(1,4)"})));
    QCOMPARE(run.Summary.SkippedBinary, 1);
    QCOMPARE(run.Summary.SkippedLarge, 1);
    QCOMPARE(run.Summary.Files, 2);
}

void TFileSearchTest::CancelStopsBeforeTheNextFile() {
    QTemporaryDir dir;
    for (int i = 0; i < 20; ++i)
        Write(dir.filePath(QStringLiteral("p%1.html").arg(i, 2, 10, QLatin1Char('0'))),
              QStringLiteral("検索").toUtf8());
    TFileSearchQuery query = Plain(QStringLiteral("検索"));
    query.Folder = dir.path();
    query.Threads = 1;
    std::atomic<bool> cancel{false};
    int delivered = 0, progress = 0;
    const TFileSearchSummary summary = RunFileSearch(
        query, cancel, [&](TFileResult&&) { ++delivered; },
        [&](int, int) {
            ++progress;
            cancel = true;
        });
    QVERIFY(summary.Cancelled);
    QCOMPARE(summary.Files, 1);
    QCOMPARE(progress, 1);
    QCOMPARE(delivered, 1);
}

// The first matches in path order are kept, however the threads finished; a search with just
// as many matches as allowed is whole.
void TFileSearchTest::StopsAfterTheMostMatches_data() {
    QTest::addColumn<int>("most");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("truncated");
    QTest::newRow("within a file") << 2 << Names({"p0(1,1)", "p0(1,3)"}) << true;
    QTest::newRow("across files") << 4 << Names({"p0(1,1)", "p0(1,3)", "p0(1,5)", "p1(1,1)"})
                                  << true;
    QTest::newRow("just as many") << 9
                                  << Names({"p0(1,1)", "p0(1,3)", "p0(1,5)", "p1(1,1)", "p1(1,3)",
                                            "p1(1,5)", "p2(1,1)", "p2(1,3)", "p2(1,5)"})
                                  << false;
}

void TFileSearchTest::StopsAfterTheMostMatches() {
    QFETCH(int, most);
    QFETCH(QStringList, expected);
    QFETCH(bool, truncated);
    QTemporaryDir dir;
    for (int i = 0; i < 3; ++i)
        Write(dir.filePath(QStringLiteral("p%1").arg(i)), "a a a");
    TFileSearchQuery query = Plain(QStringLiteral("a"));
    query.MaxMatches = most;
    const TRun run = Run(query, dir.path());
    QCOMPARE(run.Found, expected);
    QCOMPARE(run.Summary.Matches, qsizetype(most));
    QCOMPARE(run.Summary.Truncated, truncated);
}

void TFileSearchTest::FilesByPatternAndDepth_data() {
    QTest::addColumn<QString>("patterns");
    QTest::addColumn<bool>("subFolders");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("the default, with sub-folders")
        << QStringLiteral("*.html;*.htm;*.js;*.css") << true
        << Names({"a.html", "b.HTM", "c.js", "sub/e.css", "sub/f.html"});
    QTest::newRow("without sub-folders")
        << QStringLiteral("*.html;*.htm;*.js;*.css") << false << Names({"a.html", "b.HTM", "c.js"});
    QTest::newRow("blanks and commas between")
        << QStringLiteral(" *.js, *.txt ") << true << Names({"c.js", "d.txt"});
}

void TFileSearchTest::FilesByPatternAndDepth() {
    QFETCH(QString, patterns);
    QFETCH(bool, subFolders);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    for (const char* name :
         {"a.html", "b.HTM", "c.js", "d.txt", "sub/e.css", "sub/f.html", ".hidden/g.html"})
        Write(dir.filePath(QLatin1StringView(name)), "x");
    TFileSearchQuery query;
    query.Folder = dir.path();
    query.Patterns = SplitPatterns(patterns);
    query.SubFolders = subFolders;
    QStringList found;
    for (const QString& path : ListFiles(query))
        found << QDir(dir.path()).relativeFilePath(path);
    QCOMPARE(found, expected);
}

void TFileSearchTest::BadPatternIsExplained_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("message");
    QTest::newRow("open group") << QStringLiteral("(検索")
                                << QStringLiteral("正規表現が正しくありません（4 文字目）: "
                                                  "閉じ括弧 ) がありません");
    QTest::newRow("nothing to repeat")
        << QStringLiteral("ab|*")
        << QStringLiteral("正規表現が正しくありません（4 文字目）: "
                          "繰り返しの記号の前に繰り返せるものがありません");
}

void TFileSearchTest::BadPatternIsExplained() {
    QFETCH(QString, pattern);
    QFETCH(QString, message);
    TFileSearchQuery query = Plain(pattern);
    query.RegularExpression = true;
    const TTextMatcher matcher(query);
    QVERIFY(!matcher.Valid());
    QCOMPARE(matcher.Error(), message);
}

QTEST_GUILESS_MAIN(TFileSearchTest)
#include "FileSearchTest.moc"
