// Search in files over a generated site against grep, in one run: 2 000 pages of about 100 KB
// (200 MB) in five encodings, searched for a Japanese word by RunFileSearch; grep -rnF searches
// the same pages converted to UTF-8 (it reads no other encoding). The pages stay in the page
// cache: both are run once untimed first, then the median of five runs is taken, alternating.

#include "BenchTiming.h"
#include "HtmlText.h"
#include "editor/FileSearch.h"
#include "platform/TextCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int FileCount = 2000;
constexpr qsizetype FileBytes = 89'000;
const QString Needle = QStringLiteral("検索語");

const TTextEncoding Encodings[] = {teUtf8, teCp932, teEucJp, teIso2022Jp, teUtf16LE};

QByteArray Encode(const QString& text, TTextEncoding encoding) {
    QByteArray bytes;
    if (encoding == teUtf16LE)
        bytes = QByteArray("\xFF\xFE");
    EncodeString(text, encoding, {}, bytes);
    return bytes;
}

// About FileBytes bytes of page i in its encoding: a stretch of the generated text that starts
// at a line of its own, with the needle on every 97th line.
QString PageText(const QStringList& lines, int i, TTextEncoding encoding) {
    QString text;
    qsizetype estimate = 0;
    const qsizetype perChar = encoding == teUtf16LE ? 2 : encoding == teUtf8 ? 2 : 1;
    for (qsizetype k = (qsizetype(i) * 7919) % lines.size(); estimate < FileBytes;
         k = (k + 1) % lines.size()) {
        QString line = lines[k];
        if (k % 97 == 0)
            line += QStringLiteral(" <b>") + Needle + QStringLiteral("</b>");
        text += line + QStringLiteral("\r\n");
        estimate += line.size() * perChar + 2;
    }
    return text;
}

struct TSite {
    QString Mixed, Utf8;
    qint64 MixedBytes = 0, Utf8Bytes = 0;
    qsizetype Needles = 0;
};

TSite MakeSite(const QString& root) {
    TSite site{root + QStringLiteral("/mixed"), root + QStringLiteral("/utf8")};
    QDir().mkpath(site.Mixed);
    QDir().mkpath(site.Utf8);
    const QStringList lines = HtmlText(4 << 20, false).split(QStringLiteral("\r\n"));
    for (int i = 0; i < FileCount; ++i) {
        const TTextEncoding encoding = Encodings[i % std::size(Encodings)];
        const QString text = PageText(lines, i, encoding);
        site.Needles += text.count(Needle);
        // Pages in sub-folders of 100, as a site keeps them.
        const QString name = QStringLiteral("/d%1/p%2-%3.html")
                                 .arg(i / 100, 2, 10, QLatin1Char('0'))
                                 .arg(i, 4, 10, QLatin1Char('0'))
                                 .arg(EncodingName(encoding).toLower());
        const QByteArray bytes = Encode(text, encoding), utf8 = text.toUtf8();
        for (const auto& [folder, data] :
             {std::pair(site.Mixed, bytes), std::pair(site.Utf8, utf8)}) {
            QDir().mkpath(QFileInfo(folder + name).path());
            QFile f(folder + name);
            if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
                qFatal("cannot write the sample pages");
        }
        site.MixedBytes += bytes.size();
        site.Utf8Bytes += utf8.size();
    }
    return site;
}

TFileSearchSummary Ours(const QString& folder, int threads, const QString& pattern) {
    TFileSearchQuery query;
    query.Text = Needle;
    query.Folder = folder;
    query.Patterns = QStringList{pattern};
    query.Threads = threads;
    std::atomic<bool> cancel{false};
    qsizetype lines = 0;
    return RunFileSearch(
        query, cancel, [&](TFileResult&& r) { lines += qsizetype(r.Matches.size()); },
        [](int, int) {});
}

qsizetype Grep(const QString& folder, const QStringList& extra = {}) {
    QProcess grep;
    grep.setStandardOutputFile(QProcess::nullDevice());
    grep.start(QStringLiteral("grep"),
               QStringList{QStringLiteral("-rnF")} + extra + QStringList{Needle, folder});
    grep.waitForFinished(-1);
    return grep.exitCode();
}

// grep's count of the needle, one per occurrence, to check that both found the same.
qsizetype GrepCount(const QString& folder) {
    QProcess grep;
    grep.start(QStringLiteral("grep"), QStringList{QStringLiteral("-rFo"), Needle, folder});
    grep.waitForFinished(-1);
    return grep.readAllStandardOutput().count('\n');
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("Search in files benchmark (MB = 10^6 bytes, files in the page cache)\n");
    std::printf("Load average at the start: %s\n", LoadAverage().constData());
    QTemporaryDir root(QDir::tempPath() + QStringLiteral("/qjs-filesearch-XXXXXX"));
    const TSite site = MakeSite(root.path());
    std::printf("%d pages, %.1f MB in UTF-8, CP932, EUC-JP, ISO-2022-JP and UTF-16LE "
                "(%.1f MB as UTF-8), %lld occurrences of the word\n\n",
                FileCount, site.MixedBytes / 1e6, site.Utf8Bytes / 1e6, (long long)site.Needles);

    const QString all = QStringLiteral("*.html");
    TFileSearchSummary summary = Ours(site.Mixed, 0, all);
    const qsizetype grepCount = GrepCount(site.Utf8);
    Grep(site.Utf8);
    // Our processor time is the process's (both threads); grep's is its own, a child's.
    std::vector<double> ours, oursCpu, grep;
    for (int run = 0; run < 5; ++run) {
        const double cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID);
        ours.push_back(Measure([&] { summary = Ours(site.Mixed, 0, all); }).Wall);
        oursCpu.push_back(Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu);
        grep.push_back(Measure([&] { Grep(site.Utf8); }).Wall);
    }
    for (auto* v : {&ours, &oursCpu, &grep})
        std::sort(v->begin(), v->end());
    const TTimes one = Median(
        3, [] {}, [&] { Ours(site.Mixed, 1, all); });
    std::printf("whole site            files  matches  median s  best s  processor s\n");
    std::printf("ours, all threads      %5d  %7lld  %8.3f  %6.3f  %11.3f\n", summary.Files,
                (long long)summary.Matches, ours[2], ours[0], oursCpu[2]);
    std::printf("ours, one thread       %5d  %7lld  %8.3f\n", summary.Files,
                (long long)summary.Matches, one.Wall);
    std::printf("grep -rnF (UTF-8 copy) %5d  %7lld  %8.3f  %6.3f\n\n", FileCount,
                (long long)grepCount, grep[2], grep[0]);

    std::printf("one encoding, one thread  files  median s   MB/s\n");
    for (TTextEncoding encoding : Encodings) {
        const QString pattern = QStringLiteral("*-%1.html").arg(EncodingName(encoding).toLower());
        TFileSearchSummary part;
        const TTimes t = Median(
            3, [] {}, [&] { part = Ours(site.Mixed, 1, pattern); });
        std::printf("%-24s  %5d  %8.3f  %5.0f\n", qPrintable(EncodingName(encoding)), part.Files,
                    t.Wall, site.MixedBytes / double(std::size(Encodings)) / 1e6 / t.Wall);
    }
    std::printf("\nLoad average at the end: %s\n", LoadAverage().constData());
    const bool same = summary.Matches == site.Needles && grepCount == site.Needles;
    std::printf("Target: the site in at most 1.5 s: %.3f s  %s; both found every occurrence: %s\n",
                ours[2], ours[2] <= 1.5 ? "pass" : "FAIL", same ? "yes" : "NO");
    return same ? 0 : 1;
}
