// Program entry: one running program per user. A later start hands its files to the running one,
// which opens them and comes to the front; the later start ends without a window.

#include "app/Main.h"
#include "app/Application.h"
#include "platform/SingleInstance.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The files named on the command line as absolute paths ("Open with" in a file manager passes
// them, %F). The program has no options; "--" ends them for a file whose name starts with "-".
QStringList CommandLineFiles(const QStringList& arguments) {
    QStringList files;
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (options && argument == u"--") {
            options = false;
            continue;
        }
        if (options && argument.startsWith(u'-'))
            continue;
        files << QDir::cleanPath(QFileInfo(argument).absoluteFilePath());
    }
    return files;
}

} // namespace

int main(int argc, char** argv) {
    TQuorvelApplication app(argc, argv);
    const QStringList files = CommandLineFiles(QApplication::arguments());
    TSingleInstance instance(QStringLiteral("TMainForm"));
    if (!instance.Start(files))
        return 0;

    TMainForm frame;
    QObject::connect(&instance, &TSingleInstance::Requested, &frame,
                     &TMainForm::LaterStartRequested);
    frame.show();
    frame.OpenFiles(files);
    return QApplication::exec();
}
