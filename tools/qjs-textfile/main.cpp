// qjs-textfile: what the editor's file layer makes of a file, from the command line.
//   qjs-textfile detect FILE       prints "encoding=NAME eol=CRLF|LF|CR|MIXED|NONE"
//   qjs-textfile roundtrip IN OUT  loads IN and saves it to OUT as the editor does

#include "editor/TextFile.h"
#include "platform/Error.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

static int Usage() {
    std::fputs("usage: qjs-textfile detect FILE | roundtrip IN OUT\n", stderr);
    return 2;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 3 && args[1] == u"detect") {
            TTextBuffer buffer;
            TFileFormat format = LoadTextFile(args[2], buffer);
            std::printf("encoding=%s eol=%s\n", qPrintable(EncodingName(format.Encoding)),
                        qPrintable(LineEndKindName(format.LineEnds)));
            return 0;
        }
        if (args.size() == 4 && args[1] == u"roundtrip") {
            TTextBuffer buffer;
            TFileFormat format = LoadTextFile(args[2], buffer);
            SaveTextFile(args[3], buffer, format);
            return 0;
        }
    } catch (const EQuorvelError& e) {
        std::fprintf(stderr, "%s\n", e.Message().toUtf8().constData());
        return 1;
    }
    return Usage();
}
