// bench_textfile: how fast the file layer loads and saves large Japanese HTML files, how long one
// edit and its undo take in the middle of 100 MB, and how much memory a load costs; against Qt's
// own plain text engine (QString::fromUtf8 + QTextDocument::setPlainText) measured in the same run.
//
//   bench_textfile                      the whole run; tables on stdout
//   bench_textfile --quick              the same with 1 and 10 MB only
//   bench_textfile --memory KIND FILE   one memory case in a process of its own (KIND: buffer or
//                                       document); the whole run starts these itself

#include "editor/TextBuffer.h"
#include "editor/TextFile.h"
#include "platform/Error.h"
#include "platform/TextCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using TClock = std::chrono::steady_clock;

constexpr qsizetype MB = 1000 * 1000;
constexpr int EditRepetitions = 200;

template <class F> double Seconds(F&& f) {
    auto start = TClock::now();
    f();
    return std::chrono::duration<double>(TClock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Max(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

// Thrown rather than exiting, so that the temporary folder with its 220 MB of samples goes too.
[[noreturn]] void Fail(const QString& message) {
    throw EQuorvelError(message);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(OpenErrorMessage(path));
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        Fail(CreateErrorMessage(path));
}

// ---------------------------------------------------------------------------------------------
// Sample files: hand-written style Japanese HTML with script blocks, CR LF, lines of 20 to 120
// characters, from a fixed seed so that every run measures the same text.

constexpr const char16_t* Words[] = {
    u"ファイル", u"保存",
    u"読み込み", u"設定",
    u"画面",     u"表示",
    u"入力",     u"確認",
    u"送信",     u"ボタン",
    u"クリック", u"ページ",
    u"文字",     u"検索",
    u"置換",     u"変更",
    u"削除",     u"追加",
    u"項目",     u"一覧",
    u"説明",     u"利用者",
    u"会員",     u"登録",
    u"商品",     u"価格",
    u"注文",     u"お問い合わせ",
    u"メール",   u"住所",
    u"電話番号", u"日付",
    u"時刻",     u"東京",
    u"大阪",     u"株式会社",
    u"関数",     u"変数",
    u"配列",     u"要素",
    u"属性",     u"画像",
    u"リンク",   u"見出し",
    u"第１章",   u"概要",
    u"手順",     u"注意",
    u"結果",     u"エラー",
    u"窓",       u"メッセージ",
    u"①",        u"②",
    u"㈱",       u"～",
    u"≒",        u"ＪａｖａＳｃｒｉｐｔ",
    u"ＨＴＭＬ", u"（必須）",
    u"「送信」",
};
constexpr const char16_t* Particles[] = {
    u"を", u"に", u"は", u"が", u"の", u"で", u"と", u"から", u"まで", u"へ", u"も",
};
constexpr const char16_t* Endings[] = {
    u"します。", u"しました。", u"してください。", u"できます。", u"です。", u"されません。", u"、",
};

class TSampleText {
public:
    explicit TSampleText(uint32_t seed) : FRandom(seed) {}

    // Lines until the text in `encoding` holds at least `bytes` bytes.
    QString Make(qsizetype bytes, TTextEncoding encoding) {
        QString text = u"<html lang=\"ja\"><head><meta charset=\""_s +
                       (encoding == teCp932 ? u"Shift_JIS"_s : u"UTF-8"_s) + u"\"><title>"_s +
                       Japanese(12) + u"</title></head><body>\r\n"_s;
        qsizetype size = EncodedSize(text, encoding);
        while (size < bytes) {
            QString line = Line();
            line += u"\r\n"_s;
            size += EncodedSize(line, encoding);
            text += line;
        }
        return text;
    }

private:
    static qsizetype EncodedSize(QStringView s, TTextEncoding encoding) {
        qsizetype n = 0;
        for (QChar c : s)
            n += c.unicode() < 0x80 ? 1 : encoding == teCp932 ? 2 : c.unicode() < 0x800 ? 2 : 3;
        return n;
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(FRandom); }
    template <class T, size_t N> const T& Any(const T (&items)[N]) {
        return items[size_t(Pick(0, int(N) - 1))];
    }
    QString Number() { return QString::number(Pick(1, 999)); }

    QString Japanese(qsizetype n) {
        QString s;
        while (s.size() < n) {
            s += QStringView(Any(Words));
            s += QStringView(Pick(0, 3) ? Any(Particles) : Any(Endings));
        }
        s.truncate(std::max<qsizetype>(n, 1));
        return s;
    }

    QString Line() {
        const qsizetype target = Pick(20, 120);
        QString prefix, suffix;
        if (FScriptLines == 0 && Pick(0, 24) == 0) {
            FScriptLines = Pick(5, 30);
            return u"<script type=\"text/javascript\">"_s;
        }
        if (FScriptLines > 0 && --FScriptLines == 0) {
            prefix = u"</script><p>"_s, suffix = u"</p>"_s;
        } else if (FScriptLines > 0) {
            switch (Pick(0, 4)) {
            case 0:
                prefix = u"  // "_s;
                break;
            case 1:
                prefix = u"  var msg"_s + Number() + u" = \""_s, suffix = u"\";"_s;
                break;
            case 2:
                prefix = u"  if (form.elements["_s + Number() + u"].value == \"\") { alert(\""_s;
                suffix = u"\"); return false; }"_s;
                break;
            case 3:
                prefix =
                    u"  document.getElementById(\"item"_s + Number() + u"\").innerHTML = \"<b>"_s;
                suffix = u"</b>\";"_s;
                break;
            default:
                prefix = u"  function check"_s + Number() + u"(form) { return confirm(\""_s;
                suffix = u"\"); }"_s;
                break;
            }
        } else {
            switch (Pick(0, 5)) {
            case 0:
                prefix = u"<p>"_s, suffix = u"</p>"_s;
                break;
            case 1:
                prefix = u"  <li><a href=\"/manual/page"_s + Number() + u".html\">"_s;
                suffix = u"</a></li>"_s;
                break;
            case 2:
                prefix = u"<h2 id=\"sec"_s + Number() + u"\">"_s, suffix = u"</h2>"_s;
                break;
            case 3:
                prefix = u"<div class=\"note\">"_s, suffix = u"</div>"_s;
                break;
            case 4:
                prefix = u"    <td class=\"cell\">"_s, suffix = u"</td>"_s;
                break;
            default:
                prefix = u"<img src=\"images/fig"_s + Number() + u".png\" alt=\""_s;
                suffix = u"\" width=\"320\" height=\"240\">"_s;
                break;
            }
        }
        return prefix + Japanese(target - prefix.size() - suffix.size()) + suffix;
    }

    std::mt19937 FRandom;
    int FScriptLines = 0;
};

struct TSample {
    qsizetype SizeMB = 0;
    TTextEncoding Encoding = teUtf8;
    QString Path;
    qsizetype Bytes = 0;
    qsizetype Chars = 0;
    qsizetype Lines = 0;
    qsizetype Ascii = 0; // characters below U+0080
};

QString EncodingLabel(TTextEncoding encoding) {
    return encoding == teCp932 ? u"CP932"_s : u"UTF-8"_s;
}

TSample WriteSample(const QString& folder, qsizetype sizeMB, TTextEncoding encoding) {
    TSample sample;
    sample.SizeMB = sizeMB;
    sample.Encoding = encoding;
    sample.Path = QDir(folder).filePath(
        u"sample-%1mb-%2.html"_s.arg(sizeMB).arg(encoding == teCp932 ? u"cp932"_s : u"utf8"_s));
    QString text = TSampleText(uint32_t(sizeMB)).Make(sizeMB * MB, encoding);
    QByteArray bytes;
    if (encoding == teUtf8) {
        bytes = text.toUtf8();
    } else if (auto error = EncodeString(text, encoding, {}, bytes)) {
        Fail(u"U+%1 does not encode"_s.arg(uint(error->Char), 4, 16, QChar(u'0')));
    }
    WriteAll(sample.Path, bytes);
    sample.Bytes = bytes.size();
    sample.Chars = text.size();
    sample.Lines = text.count(u'\n') + 1;
    sample.Ascii =
        std::count_if(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    return sample;
}

// ---------------------------------------------------------------------------------------------
// Memory, read from /proc/self/status in kB

struct TMemory {
    long long Rss = 0, Hwm = 0, Anon = 0, File = 0;
};

TMemory ReadMemory() {
    TMemory m;
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        Fail(u"/proc/self/status cannot be read"_s);
    char line[256];
    auto field = [&](const char* name, long long& value) {
        size_t n = std::strlen(name);
        if (std::strncmp(line, name, n) == 0)
            value = std::strtoll(line + n, nullptr, 10);
    };
    while (std::fgets(line, sizeof line, f)) {
        field("VmRSS:", m.Rss);
        field("VmHWM:", m.Hwm);
        field("RssAnon:", m.Anon);
        field("RssFile:", m.File);
    }
    std::fclose(f);
    return m;
}

// Runs in a child process: the empty process first, then one load, then what stays. VmHWM has
// the true peak but not its parts; a thread samples the heap (RssAnon) and the mapped file pages
// (RssFile) every millisecond to tell them apart.
int MemoryCase(const QString& kind, const QString& path) {
    const TMemory empty = ReadMemory();
    std::atomic<long long> peakAnon = empty.Anon, peakFile = empty.File;
    // Stopped and joined when it goes out of scope, also when the load throws.
    std::jthread sampler([&](std::stop_token stop) {
        while (!stop.stop_requested()) {
            TMemory m = ReadMemory();
            peakAnon = std::max(peakAnon.load(), m.Anon);
            peakFile = std::max(peakFile.load(), m.File);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    TMemory loaded;
    qsizetype length = -1;
    if (kind == u"buffer") {
        TTextBuffer buffer;
        LoadTextFile(path, buffer);
        length = buffer.Length();
        loaded = ReadMemory();
    } else if (kind == u"document") {
        QString text = QString::fromUtf8(ReadAll(path));
        QTextDocument document;
        document.setPlainText(text);
        text = QString();
        length = document.characterCount();
        loaded = ReadMemory();
    }
    sampler.request_stop();
    sampler.join();
    if (length < 0)
        return 2;
    std::printf("memory %lld %lld %lld %lld %lld %lld\n", empty.Rss, loaded.Hwm, loaded.Rss,
                peakAnon.load() - empty.Anon, peakFile.load() - empty.File, (long long)length);
    return 0;
}

struct TMemoryFigures {
    double PeakMB = 0, SteadyMB = 0, PeakHeapMB = 0, PeakMappedMB = 0;
};

TMemoryFigures MeasureMemory(const QString& kind, const QString& path) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {u"--memory"_s, kind, path});
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0)
        Fail(u"memory case %1 failed"_s.arg(kind));
    const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split(' ');
    if (f.size() != 7 || f[0] != "memory")
        Fail(u"memory case %1 printed nothing usable"_s.arg(kind));
    auto mb = [&](int i) {
        return double(f[i].toLongLong()) * 1024 / MB;
    };
    return {mb(2) - mb(1), mb(3) - mb(1), mb(4), mb(5)};
}

// ---------------------------------------------------------------------------------------------
// The measurements

// Counts what the decoder delivers, so that the codec can be timed without the buffer.
class TCountSink : public TTextSink {
public:
    void AppendLatin1(const char*, qsizetype n) override { FLength += n; }
    void AppendUtf16(const char16_t*, qsizetype n) override { FLength += n; }
    qsizetype FLength = 0;
};

struct TLoadFigures {
    double Median = 0, Min = 0, Detect = 0, Decode = 0;
};

struct TLoadTimes {
    std::vector<double> Load, Detect, Decode;
    TLoadFigures Figures() const {
        return {Median(Load), *std::min_element(Load.begin(), Load.end()), Median(Detect),
                Median(Decode)};
    }
};

// One load through the file layer, then its codec steps alone on the bytes in memory, in the
// order LoadTextFile takes them: a UTF-8 file is found by decoding it; any other is found by
// detection after the UTF-8 attempt failed, then decoded.
void LoadOnce(const TSample& sample, TLoadTimes& times) {
    {
        auto buffer = std::make_unique<TTextBuffer>();
        TFileFormat format;
        times.Load.push_back(Seconds([&] { format = LoadTextFile(sample.Path, *buffer); }));
        if (format.Encoding != sample.Encoding || buffer->Length() != sample.Chars ||
            buffer->LineCount() != sample.Lines)
            Fail(u"%1 loaded as %2 with %3 characters, %4 lines; written: %5, %6"_s
                     .arg(sample.Path, EncodingName(format.Encoding))
                     .arg(buffer->Length())
                     .arg(buffer->LineCount())
                     .arg(sample.Chars)
                     .arg(sample.Lines));
    }
    const QByteArray bytes = ReadAll(sample.Path);
    TCountSink sink;
    std::optional<TDecodeResult> utf8;
    TTextEncoding encoding = teUtf8;
    times.Detect.push_back(Seconds([&] {
        if (auto known = DetectWithoutUtf8(bytes))
            encoding = *known;
        else if (TCountSink partial; !(utf8 = DecodeIfUtf8(bytes, partial)))
            encoding = DetectEncoding(bytes);
        else
            sink = partial;
    }));
    times.Decode.push_back(Seconds([&] {
        if (!utf8)
            DecodeText(bytes, encoding, sink);
    }));
    if (utf8) {
        times.Decode.back() = times.Detect.back();
        times.Detect.back() = 0;
    }
    if (sink.FLength != sample.Chars)
        Fail(u"the decoder delivered %1 characters, not %2"_s.arg(sink.FLength).arg(sample.Chars));
}

struct TReferenceFigures {
    double Read = 0, Decode = 0, SetText = 0, Total = 0, MinTotal = 0;
};

struct TReferenceTimes {
    std::vector<double> Read, Decode, SetText, Total;
    TReferenceFigures Figures() const {
        return {Median(Read), Median(Decode), Median(SetText), Median(Total),
                *std::min_element(Total.begin(), Total.end())};
    }
};

void ReferenceOnce(const TSample& sample, TReferenceTimes& times) {
    QByteArray bytes;
    QString text;
    auto document = std::make_unique<QTextDocument>();
    times.Read.push_back(Seconds([&] { bytes = ReadAll(sample.Path); }));
    times.Decode.push_back(Seconds([&] { text = QString::fromUtf8(bytes); }));
    times.SetText.push_back(Seconds([&] { document->setPlainText(text); }));
    times.Total.push_back(times.Read.back() + times.Decode.back() + times.SetText.back());
    if (document->blockCount() != sample.Lines)
        Fail(u"QTextDocument holds %1 blocks, not %2"_s.arg(document->blockCount())
                 .arg(sample.Lines));
}

struct TEditFigures {
    double InsertMedian = 0, InsertMax = 0, UndoMedian = 0, UndoMax = 0;
};

TEditFigures MeasureEdit(TTextBuffer& buffer) {
    const QString x = u"x"_s;
    const qsizetype length = buffer.Length();
    const qsizetype middle = length / 2;
    std::vector<double> insert, undo;
    for (int i = 0; i < EditRepetitions; ++i) {
        insert.push_back(Seconds([&] { buffer.Replace(middle, 0, x, ekCommand); }));
        if (buffer.Length() != length + 1)
            Fail(u"the insert did not change the length"_s);
        undo.push_back(Seconds([&] { buffer.Undo(); }));
        if (buffer.Length() != length || buffer.Modified())
            Fail(u"the undo did not restore the text"_s);
    }
    return {Median(insert), Max(insert), Median(undo), Max(undo)};
}

struct TSaveFigures {
    double Median = 0;
    bool Identical = false;
};

TSaveFigures MeasureSave(const TSample& sample, const TTextBuffer& buffer,
                         const TFileFormat& format, int runs) {
    const QString out = sample.Path + u".saved"_s;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QFile::remove(out);
        times.push_back(Seconds([&] { SaveTextFile(out, buffer, format); }));
    }
    bool identical = ReadAll(out) == ReadAll(sample.Path);
    QFile::remove(out);
    return {Median(times), identical};
}

// Other processes share the machine; its load average goes with the figures.
QString LoadAverage() {
    QFile file(u"/proc/loadavg"_s);
    if (!file.open(QIODevice::ReadOnly))
        return u"unknown"_s;
    return QString::fromLatin1(file.readAll().split(' ').mid(0, 3).join(' '));
}

QString Machine() {
    QString model;
    QFile cpu(u"/proc/cpuinfo"_s);
    if (cpu.open(QIODevice::ReadOnly))
        for (const QByteArray& line : cpu.readAll().split('\n'))
            if (line.startsWith("model name")) {
                model = QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
                break;
            }
    return u"%1 logical CPUs, %2"_s.arg(QThread::idealThreadCount()).arg(model);
}

double Ms(double s) {
    return s * 1000;
}
double Us(double s) {
    return s * 1e6;
}
double MBps(qsizetype bytes, double s) {
    return double(bytes) / MB / s;
}
const char* Verdict(bool pass) {
    return pass ? "pass" : "FAIL";
}

int Run(bool quick) {
    const std::vector<qsizetype> sizes =
        quick ? std::vector<qsizetype>{1, 10} : std::vector<qsizetype>{1, 10, 100};
    const qsizetype big = sizes.back();
    const TTextEncoding encodings[] = {teUtf8, teCp932};
    auto runsFor = [](qsizetype sizeMB) {
        return sizeMB >= 100 ? 5 : sizeMB >= 10 ? 7 : 11;
    };

    QTemporaryDir folder(QDir::tempPath() + u"/bench_textfile-XXXXXX"_s);
    if (!folder.isValid())
        Fail(u"no temporary folder"_s);

    std::printf(
        "Text buffer and file layer benchmark (MB = 10^6 bytes, files in the page cache)\n");
    std::printf("Machine: %s\n", qPrintable(Machine()));
    std::printf("Load average at the start: %s\n", qPrintable(LoadAverage()));
    std::printf("Generating sample files in %s ...\n", qPrintable(folder.path()));
    std::fflush(stdout);
    std::vector<TSample> samples;
    for (qsizetype size : sizes)
        for (TTextEncoding encoding : encodings)
            samples.push_back(WriteSample(folder.path(), size, encoding));
    auto sampleOf = [&](qsizetype size, TTextEncoding encoding) -> const TSample& {
        return *std::find_if(samples.begin(), samples.end(), [&](const TSample& s) {
            return s.SizeMB == size && s.Encoding == encoding;
        });
    };

    // Loads and the reference take turns, so that a change in the machine's load from other
    // processes falls on both alike.
    std::vector<TLoadFigures> loads;
    std::vector<TReferenceFigures> references;
    for (qsizetype size : sizes) {
        std::fprintf(stderr, "measuring the %lld MB files ...\n", (long long)size);
        TLoadTimes loadTimes[2];
        TReferenceTimes referenceTimes;
        for (int run = 0; run < runsFor(size); ++run) {
            for (int e = 0; e < 2; ++e)
                LoadOnce(sampleOf(size, encodings[e]), loadTimes[e]);
            ReferenceOnce(sampleOf(size, teUtf8), referenceTimes);
        }
        for (int e = 0; e < 2; ++e)
            loads.push_back(loadTimes[e].Figures());
        references.push_back(referenceTimes.Figures());
    }

    std::printf("\n1. Load: LoadTextFile into a new TTextBuffer (read, detect, decode, index "
                "lines)\n");
    std::printf("(detect, decode: the codec steps of the load alone, on the bytes in memory, into "
                "a sink that only counts;\n rest: the load's median less both, i.e. reading, "
                "chunking and the line index)\n");
    std::printf("%-12s %10s %10s %6s %8s %4s %9s %7s %5s %7s %7s %6s\n", "file", "bytes",
                "characters", "ASCII", "lines", "runs", "median ms", "min ms", "MB/s", "detect",
                "decode", "rest");
    for (size_t i = 0; i < samples.size(); ++i) {
        const TSample& s = samples[i];
        const TLoadFigures& l = loads[i];
        std::printf("%4lld MB %-5s %10lld %10lld %5.1f%% %8lld %4d %9.1f %7.1f %5.0f %7.1f %7.1f "
                    "%6.1f\n",
                    (long long)s.SizeMB, qPrintable(EncodingLabel(s.Encoding)), (long long)s.Bytes,
                    (long long)s.Chars, 100.0 * double(s.Ascii) / double(s.Chars),
                    (long long)s.Lines, runsFor(s.SizeMB), Ms(l.Median), Ms(l.Min),
                    MBps(s.Bytes, l.Median), Ms(l.Detect), Ms(l.Decode),
                    Ms(l.Median - l.Detect - l.Decode));
    }

    std::printf("\n2. Reference: read + QString::fromUtf8 + QTextDocument::setPlainText (UTF-8 "
                "files)\n");
    std::printf("%-12s %5s %9s %12s %16s %10s %13s\n", "file", "runs", "read ms", "fromUtf8 ms",
                "setPlainText ms", "total ms", "min total ms");
    for (size_t i = 0; i < sizes.size(); ++i) {
        const TReferenceFigures& r = references[i];
        std::printf("%4lld MB %-5s %5d %9.1f %12.1f %16.1f %10.1f %13.1f\n", (long long)sizes[i],
                    "UTF-8", runsFor(sizes[i]), Ms(r.Read), Ms(r.Decode), Ms(r.SetText),
                    Ms(r.Total), Ms(r.MinTotal));
    }

    std::printf("\n3. Load speed-up over the reference of the same size: median / median, and "
                "best run / best run\n");
    std::printf("%-8s %13s %13s %13s %13s\n", "size", "UTF-8 median", "UTF-8 best", "CP932 median",
                "CP932 best");
    double speedUpBig[2] = {0, 0}, bestSpeedUpBig[2] = {0, 0};
    for (size_t i = 0; i < sizes.size(); ++i) {
        for (int e = 0; e < 2; ++e) {
            speedUpBig[e] = references[i].Total / loads[i * 2 + size_t(e)].Median;
            bestSpeedUpBig[e] = references[i].MinTotal / loads[i * 2 + size_t(e)].Min;
        }
        std::printf("%4lld MB  %12.1fx %12.1fx %12.1fx %12.1fx\n", (long long)sizes[i],
                    speedUpBig[0], bestSpeedUpBig[0], speedUpBig[1], bestSpeedUpBig[1]);
    }

    // Edit, undo and save on the big texts, one encoding at a time
    std::printf("\n4. One-character insert (Replace(middle, 0, \"x\", ekCommand)) and Undo(), %d "
                "times, in the middle of the %lld MB text\n",
                EditRepetitions, (long long)big);
    std::printf("%-12s %17s %14s %15s %12s\n", "file", "insert median us", "insert max us",
                "undo median us", "undo max us");
    TEditFigures edits[2];
    TSaveFigures saves[2];
    for (int e = 0; e < 2; ++e) {
        const TSample& s = sampleOf(big, encodings[e]);
        TTextBuffer buffer;
        TFileFormat format = LoadTextFile(s.Path, buffer);
        edits[e] = MeasureEdit(buffer);
        std::printf("%4lld MB %-5s %17.1f %14.1f %15.1f %12.1f\n", (long long)big,
                    qPrintable(EncodingLabel(s.Encoding)), Us(edits[e].InsertMedian),
                    Us(edits[e].InsertMax), Us(edits[e].UndoMedian), Us(edits[e].UndoMax));
        std::fflush(stdout);
        saves[e] = MeasureSave(s, buffer, format, 3);
    }

    std::printf("\n5. Save: SaveTextFile of the unmodified %lld MB text (after the edits and their "
                "undo), median of 3\n",
                (long long)big);
    std::printf("%-12s %10s %8s %24s\n", "file", "median ms", "MB/s", "identical to the loaded");
    for (int e = 0; e < 2; ++e) {
        const TSample& s = sampleOf(big, encodings[e]);
        std::printf("%4lld MB %-5s %10.1f %8.0f %24s\n", (long long)big,
                    qPrintable(EncodingLabel(s.Encoding)), Ms(saves[e].Median),
                    MBps(s.Bytes, saves[e].Median), saves[e].Identical ? "yes" : "NO");
    }

    // Memory, each case in a fresh process
    std::printf("\n6. Memory above the empty process for one load of the %lld MB file (child "
                "process per case)\n",
                (long long)big);
    std::printf("(peak from VmHWM; its heap and mapped-file parts sampled every millisecond)\n");
    std::printf("%-28s %8s %8s %9s %8s %11s %10s %11s\n", "case", "file MB", "peak MB", "peak/file",
                "heap MB", "mapped MB", "steady MB", "steady/file");
    struct TCase {
        const char* Label;
        QString Kind;
        const TSample* Sample;
    };
    const TCase cases[] = {
        {"TTextBuffer, UTF-8", u"buffer"_s, &sampleOf(big, teUtf8)},
        {"TTextBuffer, CP932", u"buffer"_s, &sampleOf(big, teCp932)},
        {"QTextDocument, UTF-8 (ref.)", u"document"_s, &sampleOf(big, teUtf8)},
    };
    double peakRatio[2] = {0, 0}, heapRatio[2] = {0, 0};
    for (int c = 0; c < 3; ++c) {
        TMemoryFigures m = MeasureMemory(cases[c].Kind, cases[c].Sample->Path);
        double file = double(cases[c].Sample->Bytes) / MB;
        if (c < 2)
            peakRatio[c] = m.PeakMB / file, heapRatio[c] = m.PeakHeapMB / file;
        std::printf("%-28s %8.1f %8.1f %8.2fx %8.1f %11.1f %10.1f %10.2fx\n", cases[c].Label, file,
                    m.PeakMB, m.PeakMB / file, m.PeakHeapMB, m.PeakMappedMB, m.SteadyMB,
                    m.SteadyMB / file);
        std::fflush(stdout);
    }

    std::printf("\nLoad average at the end: %s\n", qPrintable(LoadAverage()));
    std::printf("\nTargets (%lld MB)\n", (long long)big);
    for (int e = 0; e < 2; ++e) {
        const char* label = e == 0 ? "UTF-8" : "CP932";
        std::printf("  load at least 8x faster than the reference, %s: %.1fx  %s  (best runs "
                    "%.1fx)\n",
                    label, speedUpBig[e], Verdict(speedUpBig[e] >= 8), bestSpeedUpBig[e]);
        std::printf("  peak memory at most 2x the file, %s:             %.2fx  %s  (heap alone "
                    "%.2fx)\n",
                    label, peakRatio[e], Verdict(peakRatio[e] <= 2), heapRatio[e]);
        std::printf("  middle insert median at most 1 ms, %s:          %.3f ms  %s\n", label,
                    Ms(edits[e].InsertMedian), Verdict(edits[e].InsertMedian <= 0.001));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 4 && args[1] == u"--memory")
            return MemoryCase(args[2], args[3]);
        if (args.size() == 1 || (args.size() == 2 && args[1] == u"--quick"))
            return Run(args.size() == 2);
    } catch (const EQuorvelError& e) {
        std::fprintf(stderr, "bench_textfile: %s\n", e.Message().toUtf8().constData());
        return 1;
    }
    std::fputs("usage: bench_textfile [--quick]\n", stderr);
    return 2;
}
