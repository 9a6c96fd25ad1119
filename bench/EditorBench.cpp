// The text control against QPlainTextEdit on large files: open to the first painted screen (wrap
// on and off), one keystroke to the next paint at the middle and at the end, jump to the end,
// memory above the empty program, and typing 200 characters in a row at the middle and at the
// end with the status bar's line and column read after each (the 99th percentile of a
// keystroke, typed right after opening, before the background count of display lines). Each case
// runs in a child process of its own so that one case's memory does not hide another's.
//
//   bench_editor [DIR]      generate the files in DIR (default /tmp/qjs-editor-bench) and run all
//   bench_editor case ENGINE FILE WRAP    one case (used by the parent)

#include "bench/HtmlText.h"
#include "editor/ExtMemo.h"
#include "editor/TextFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>

namespace {

long RssKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

double Ms(QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

void Generate(const QString& dir) {
    Utf8HtmlFile(dir);
    // Kana and kanji take two bytes in CP932 against three in UTF-8: 90 MiB of UTF-8 text make
    // about 80 MB of CP932.
    WriteOnce(dir + QStringLiteral("/cp932-80MB.html"), [] {
        QByteArray cp932;
        EncodeString(HtmlText(90 << 20, false), teCp932, {}, cp932);
        return cp932;
    });
    WriteOnce(dir + QStringLiteral("/oneline-100MB.txt"),
              [] { return HtmlText(100 << 20, true).toUtf8(); });
}

// One case in this process; prints "open keyMid keyEnd jumpEnd rssMB typeMid99 typeEnd99" (ms, ms,
// ms, ms, MB, ms, ms).
int RunCase(const QString& engine, const QString& path, bool wrap) {
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(16);
    // The empty editor is shown and painted first: opening and memory are measured from there,
    // as a user opens a file in a running program.
    TExtMemo* view = nullptr;
    QPlainTextEdit* plain = nullptr;
    QWidget* widget = nullptr;
    if (engine == u"ours") {
        widget = view = new TExtMemo;
        view->SetTextFont(font);
        view->SetWordWrap(wrap);
        view->RecreateWnd();
    } else {
        widget = plain = new QPlainTextEdit;
        plain->setFont(font);
        plain->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    }
    widget->resize(1000, 700);
    widget->show();
    QWidget* viewport = view ? view->viewport() : plain->viewport();
    // Painting into an image paints for certain; offscreen windows are not always exposed.
    QImage canvas(viewport->size(), QImage::Format_RGB32);
    auto paint = [&] {
        viewport->render(&canvas);
    };
    paint();
    const long base = RssKb();
    QElapsedTimer t;
    t.start();
    if (view) {
        TFileFormat format = LoadTextFile(path, view->Buffer());
        view->SetLineEnd(format.LineEnd);
    } else {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        QByteArray bytes = f.readAll();
        TTextBuffer decoded; // the reference gets the same decoding, then its own engine
        if (path.contains(u"cp932")) {
            DecodeText(bytes, teCp932, decoded.BeginLoad());
            decoded.EndLoad();
            plain->setPlainText(decoded.Text());
        } else {
            plain->setPlainText(QString::fromUtf8(bytes));
        }
    }
    paint();
    const double open = Ms(t);

    auto placeCaret = [&](qsizetype pos) {
        if (view) {
            view->SetSelection(pos, pos);
            view->EnsureCaretVisible();
        } else {
            QTextCursor c = plain->textCursor();
            c.setPosition(int(pos));
            plain->setTextCursor(c);
            plain->ensureCursorVisible();
        }
        paint();
    };
    auto keystroke = [&](qsizetype pos) {
        std::vector<double> times;
        for (int i = 0; i < 21; ++i) {
            placeCaret(pos);
            QElapsedTimer k;
            k.start();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            QApplication::sendEvent(widget, &press);
            paint();
            times.push_back(Ms(k));
            pos += 1; // after the character just typed
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    auto length = [&] {
        return view ? view->TextLength() : qsizetype(plain->document()->characterCount() - 1);
    };
    // What the frame's position panel reads after each keystroke.
    QString status;
    auto showPosition = [&] {
        if (view) {
            status = QStringLiteral("%1行 : %2桁/ %3行")
                         .arg(view->CaretParagraph() + 1)
                         .arg(view->CaretParagraphColumn())
                         .arg(view->Buffer().LineCount());
        } else {
            const QTextCursor c = plain->textCursor();
            status = QStringLiteral("%1行 : %2桁/ %3行")
                         .arg(c.blockNumber() + 1)
                         .arg(c.positionInBlock())
                         .arg(plain->document()->blockCount());
        }
    };
    auto typing = [&](qsizetype pos) {
        placeCaret(pos);
        std::vector<double> times;
        for (int i = 0; i < 200; ++i) {
            QElapsedTimer k;
            k.start();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QApplication::sendEvent(widget, &press);
            showPosition();
            paint();
            times.push_back(Ms(k));
        }
        std::sort(times.begin(), times.end());
        return times[times.size() * 99 / 100 - 1];
    };
    const double typeMid = typing(length() / 2);
    const double typeEnd = typing(length());
    const double keyMid = keystroke(length() / 2);
    const double keyEnd = keystroke(length());
    t.restart();
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(widget, &end);
    paint();
    const double jump = Ms(t);
    std::printf("%.1f %.2f %.2f %.2f %ld %.2f %.2f\n", open, keyMid, keyEnd, jump,
                (RssKb() - base) / 1024, typeMid, typeEnd);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == u"case")
        return RunCase(args[2], args[3], args[4] == u"wrap");
    const QString dir = args.size() > 1 ? args[1] : QStringLiteral("/tmp/qjs-editor-bench");
    Generate(dir);
    for (const char* file : {"utf8-100MB.html", "cp932-80MB.html", "oneline-100MB.txt"})
        std::printf("%s: %.1f MB\n", file,
                    QFileInfo(dir + u'/' + QString::fromLatin1(file)).size() / 1e6);
    std::printf("%-18s %-6s %-6s %10s %12s %12s %10s %10s %14s %14s\n", "file", "wrap", "engine",
                "open ms", "key mid ms", "key end ms", "jump ms", "RSS MB", "type mid p99",
                "type end p99");
    for (const char* file : {"utf8-100MB.html", "cp932-80MB.html", "oneline-100MB.txt"}) {
        for (const char* wrap : {"wrap", "nowrap"}) {
            for (const char* engine : {"ours", "plain"}) {
                QProcess child;
                child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
                child.start(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("case"), QString::fromLatin1(engine),
                             dir + u'/' + QString::fromLatin1(file), QString::fromLatin1(wrap)});
                // QPlainTextEdit may take minutes on the single line; give up after 3.
                bool done = child.waitForFinished(3 * 60 * 1000);
                QByteArray out = done ? child.readAllStandardOutput().trimmed() : "timeout";
                if (!done)
                    child.kill(), child.waitForFinished();
                QList<QByteArray> v = out.split(' ');
                if (v.size() == 7)
                    std::printf("%-18s %-6s %-6s %10s %12s %12s %10s %10s %14s %14s\n", file, wrap,
                                engine, v[0].constData(), v[1].constData(), v[2].constData(),
                                v[3].constData(), v[4].constData(), v[5].constData(),
                                v[6].constData());
                else
                    std::printf("%-18s %-6s %-6s %s\n", file, wrap, engine, out.constData());
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
