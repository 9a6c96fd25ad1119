// The recent-files list read from a per-user store of any content: every menu entry names one
// file on one line and opens it, and a file opened in this run goes to the top of the list as
// it is, or the save fails and the store is left as it was.

#include "components/OpnFilHs.h"
#include "components/UserStore.h"
#include "platform/Error.h"
#include "platform/TextCodec.h"
#include "tests/fuzz/FuzzFiles.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>

namespace {

const QString ValueName = QStringLiteral("QuorveljsHis");

// The names the entries of a freshly loaded list open, in menu order.
QStringList LoadedNames() {
    QMenu menu;
    TOpenFileHistories histories;
    histories.SetSubFileItem(&menu);
    histories.LoadHistories(ValueName);
    QStringList names;
    histories.OnOpenFile = [&](QObject*, const QString& name) {
        names.append(name);
    };
    const QList<QAction*> items = menu.actions();
    for (QAction* item : items)
        item->trigger();
    Check(names.size() == items.size(), "a menu entry opens nothing");
    return names;
}

// The name a file opened in this run has: the input's last line, so that it may hold anything
// a file name can.
QString OpenedName(QByteArrayView bytes) {
    TStringSink text;
    DecodeText(bytes.sliced(bytes.lastIndexOf('\n') + 1), teUtf8, text);
    return text.Text.isEmpty() || text.Text.contains(u'\r') ? QStringLiteral("/fuzz/a.html")
                                                            : text.Text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(ScratchPath(QStringLiteral("config"))));
    static int argc = 1;
    static char name[] = "OpnFilHsFuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    Check(QDir().mkpath(QFileInfo(UserStorePath()).absolutePath()), "no folder for the store");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    const QString store = UserStorePath();
    QFile file(store);
    Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
              file.write(bytes.data(), bytes.size()) == bytes.size(),
          "the store cannot be written");
    file.close();

    const QStringList loaded = LoadedNames();
    for (const QString& name : loaded)
        Check(!name.isEmpty() && !name.contains(u'\r') && !name.contains(u'\n'),
              "an entry names no file or more than one line");

    const QString opened = OpenedName(bytes);
    TOpenFileHistories histories;
    histories.AddHistory(opened);
    // Moved to the top: its first entry in the stored list goes (a store written by hand may
    // hold it twice), and the list is cut to its length.
    QStringList expected = loaded;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (expected[i].compare(opened, Qt::CaseInsensitive) == 0) {
            expected.removeAt(i);
            break;
        }
    }
    expected.prepend(opened);
    expected = expected.mid(0, histories.MaxHistory());
    try {
        histories.SaveHistories(ValueName);
    } catch (const EQuorvelError&) {
        Check(ReadScratch(store) == bytes, "a failed save changed the store");
        return 0;
    }
    Check(LoadedNames() == expected, "a saved list reads back changed");
    return 0;
}
