#pragma once
// The generated text the editor benchmarks open: Japanese HTML with script, lines of 20 to 120
// characters, always the same for the same size.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QString>
#include <iterator>

// A little over bytesWanted bytes of UTF-8, ending with a whole character; lines end with CR LF,
// or are joined by blanks into one line.
inline QString HtmlText(qsizetype bytesWanted, bool oneLine) {
    const QString pieces[] = {QStringLiteral("<div class=\"item\">"),
                              QStringLiteral("document.write(\"こんにちは\");"),
                              QStringLiteral("var total = price * 1.08;"),
                              QStringLiteral("漢字とかなの混じった文章です。"),
                              QStringLiteral("function f(a, b) { return a + b; }"),
                              QStringLiteral("<p>日本語の段落、句読点。</p>"),
                              QStringLiteral("alert('テスト');"),
                              QStringLiteral("  // コメント")};
    QRandomGenerator random(5);
    QString text;
    qsizetype bytes = 0;
    while (bytes < bytesWanted) {
        QString line;
        while (line.size() < 20 || (line.size() < 120 && random.bounded(3) != 0))
            line += pieces[random.bounded(int(std::size(pieces)))] + u' ';
        text += line.left(120);
        text += oneLine ? QStringLiteral(" ") : QStringLiteral("\r\n");
        bytes += line.left(120).toUtf8().size() + 2;
    }
    return text;
}

// Writes make()'s bytes to path unless a non-empty file is already there (generating takes
// seconds); returns the path.
template <typename F> QString WriteOnce(const QString& path, F&& make) {
    QFile f(path);
    if (f.exists() && f.size() > 0)
        return path;
    QDir().mkpath(QFileInfo(path).path());
    if (f.open(QIODevice::WriteOnly))
        f.write(make());
    return path;
}

// The 100 MB UTF-8 file of the editor benchmarks.
inline QString Utf8HtmlFile(const QString& dir) {
    return WriteOnce(dir + QStringLiteral("/utf8-100MB.html"),
                     [] { return HtmlText(100 << 20, false).toUtf8(); });
}
