#pragma once
// Starting the programs the frame hands work to: the two browsers for a preview and the home
// pages (the desktop's default browser when none is configured), and the FTP program. Programs
// start with an argument list, never through a shell, so a path with blanks or Japanese
// characters arrives as one argument.

#include <QString>
#include <QStringList>

inline const QString FolderSection = QStringLiteral("Folder");
inline const QString NetscapeKey = QStringLiteral("Netscape");
inline const QString MSIeKey = QStringLiteral("MSIe");
inline const QString FTPKey = QStringLiteral("FTP");
inline const QString NetscapeProgramFile = QStringLiteral("netscape.exe");
inline const QString MSIeProgramFile = QStringLiteral("iexplore.exe");
// The publisher's page: the JavaScript reference in Japanese, where a web author looks things up.
inline const QString PublisherHomePage =
    QStringLiteral("https://developer.mozilla.org/ja/docs/Web/JavaScript");

struct TCommand {
    QString Program;
    QStringList Arguments;
    bool operator==(const TCommand&) const = default;
};

// A browser setting names the browser's program file itself (an executable file), or the folder
// that holds programFile, which is then appended with one separator.
TCommand BrowserCommand(const QString& setting, const QString& programFile,
                        const QString& argument);
// A whole command line split by the usual quoting rules; no program when it holds nothing.
TCommand CommandLine(const QString& line);
// Starts command without waiting for it; a program that cannot be started raises the error
// message naming it.
void StartCommand(const TCommand& command);
// The author's page: the program's own help page, written where a browser can open it.
QString AuthorHomePage();
