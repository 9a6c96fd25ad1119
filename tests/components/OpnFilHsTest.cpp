// The recent-files list: its store, the merge and trim rules, and the menu entries it builds.

#include "components/OpnFilHs.h"
#include "components/UserStore.h"
#include "platform/Error.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString ValueName = QStringLiteral("QuorveljsHis");
const QString Key = QStringLiteral("\\Software\\OpnFilHs\\OFH");

QStringList Stored() {
    return ReadUserValue(Key, ValueName)
        .value_or(QStringLiteral("<none>"))
        .split(QStringLiteral("\r\n"));
}

// The value as the store holds it: each name followed by CR LF.
QString Lines(const QStringList& names) {
    QString value;
    for (const QString& name : names)
        value += name + QStringLiteral("\r\n");
    return value;
}

QStringList Names(const char* letters) {
    QStringList names;
    for (const char* c = letters; *c; ++c)
        names.append(QStringLiteral("/web/%1.html").arg(QChar::fromLatin1(*c)));
    return names;
}

// The File menu's tail as the frame has it, with one entry after "履歴" to show where the
// entries go.
struct TFileMenu {
    QMenu Menu;
    QAction* Open;
    QAction* History;
    QAction* After;
    TFileMenu() {
        Open = Menu.addAction(QStringLiteral("開く(&O)..."));
        Menu.addSeparator();
        Menu.addAction(QStringLiteral("終了(&X)"));
        Menu.addSeparator();
        History = Menu.addAction(QStringLiteral("履歴"));
        After = Menu.addAction(QStringLiteral("後"));
    }
    // The captions between "履歴" and the entry after it.
    QStringList Entries() const {
        QStringList captions;
        const QList<QAction*> items = Menu.actions();
        for (qsizetype i = items.indexOf(History) + 1; i < items.size() && items[i] != After; ++i)
            captions.append(items[i]->text());
        return captions;
    }
    QAction* Entry(int n) const { return Menu.actions()[Menu.actions().indexOf(History) + 1 + n]; }
};

QStringList Prefixed(const QStringList& names) {
    QStringList captions;
    for (int i = 0; i < names.size(); ++i)
        captions.append(MenuPrefix(i) + names[i]);
    return captions;
}

} // namespace

class TOpenFileHistoriesTest : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;

    void Store(const QStringList& names) { QVERIFY(WriteUserValue(Key, ValueName, Lines(names))); }

private Q_SLOTS:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(FDir.filePath(QStringLiteral("config"))));
        const QString runtime = FDir.filePath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }

    void init() { QDir(FDir.filePath(QStringLiteral("config"))).removeRecursively(); }

    void menuPrefix_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first") << 0 << QStringLiteral("&0 ");
        QTest::newRow("tenth") << 9 << QStringLiteral("&9 ");
        QTest::newRow("eleventh") << 10 << QStringLiteral("&A ");
        QTest::newRow("twelfth") << 11 << QStringLiteral("&B ");
        QTest::newRow("thirty-sixth") << 35 << QStringLiteral("&Z ");
        QTest::newRow("thirty-seventh") << 36 << QString();
        QTest::newRow("far beyond") << 1000 << QString();
    }
    void menuPrefix() {
        QFETCH(int, n);
        QFETCH(QString, expected);
        QCOMPARE(MenuPrefix(n), expected);
    }

    void folderPart_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("file in a folder") << QStringLiteral("/web/a.htm") << QStringLiteral("/web");
        QTest::newRow("file in the root") << QStringLiteral("/a.htm") << QStringLiteral("/");
        QTest::newRow("no folder") << QStringLiteral("a.htm") << QString();
        QTest::newRow("double separator kept")
            << QStringLiteral("/web//a.htm") << QStringLiteral("/web//");
        QTest::newRow("Japanese names")
            << QStringLiteral("/ホーム/ページ/索引.html") << QStringLiteral("/ホーム/ページ");
    }
    void folderPart() {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(FolderPart(path), expected);
    }

    void emptyStoreLeavesTheMenuAlone() {
        TFileMenu menu;
        menu.History->setVisible(false);
        const QList<QAction*> before = menu.Menu.actions();
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        histories.LoadHistories(ValueName);
        QCOMPARE(menu.Menu.actions(), before);
        QVERIFY(!menu.History->isVisible());
    }

    void entriesFollowTheHistoryItem() {
        Store(Names("abc"));
        TFileMenu menu;
        menu.History->setVisible(false);
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        histories.LoadHistories(ValueName);
        QCOMPARE(menu.Entries(), Prefixed(Names("abc")));
        QVERIFY(menu.History->isVisible());
    }

    void prefixesPastTenEntries() {
        QStringList names;
        for (int i = 0; i < 40; ++i)
            names.append(QStringLiteral("/w/%1.txt").arg(i));
        Store(names);
        TFileMenu menu;
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        histories.LoadHistories(ValueName);
        const QStringList entries = menu.Entries();
        QCOMPARE(entries.size(), 40);
        QCOMPARE(entries[9], QStringLiteral("&9 /w/9.txt"));
        QCOMPARE(entries[10], QStringLiteral("&A /w/10.txt"));
        QCOMPARE(entries[35], QStringLiteral("&Z /w/35.txt"));
        QCOMPARE(entries[36], QStringLiteral("/w/36.txt"));
        QCOMPARE(entries[39], QStringLiteral("/w/39.txt"));
    }

    void storedLinesMayEndInCrOrLf() {
        QVERIFY(WriteUserValue(Key, ValueName, QStringLiteral("/a\r/b\n/c\r\n\r\n/d")));
        TFileMenu menu;
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        histories.LoadHistories(ValueName);
        QCOMPARE(menu.Entries(), Prefixed({QStringLiteral("/a"), QStringLiteral("/b"),
                                           QStringLiteral("/c"), QStringLiteral("/d")}));
    }

    // Rows: the stored list, the files opened in this run in order, MaxHistory, the list saved.
    void mergeAndTrim_data() {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<int>("maxHistory");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("new file on top") << Names("abc") << Names("d") << 10 << Names("dabc");
        QTest::newRow("stored file moves up") << Names("abc") << Names("cd") << 10 << Names("dcab");
        QTest::newRow("reopened in this run") << Names("abc") << Names("bab") << 10 << Names("bac");
        QTest::newRow("eleven files keep ten")
            << QStringList() << Names("abcdefghijk") << 10 << Names("kjihgfedcb");
        QTest::newRow("oldest stored goes")
            << Names("abcdefghij") << Names("z") << 10 << Names("zabcdefghi");
        QTest::newRow("smaller maximum") << Names("abc") << Names("d") << 2 << Names("da");
        QTest::newRow("letter case ignored")
            << QStringList{QStringLiteral("/Web/Index.HTML"), QStringLiteral("/web/b.html")}
            << QStringList{QStringLiteral("/web/index.html")} << 10
            << QStringList{QStringLiteral("/web/index.html"), QStringLiteral("/web/b.html")};
        QTest::newRow("letter case ignored within the run")
            << QStringList() << QStringList{QStringLiteral("/w/A.txt"), QStringLiteral("/w/a.txt")}
            << 10 << QStringList{QStringLiteral("/w/a.txt")};
    }
    void mergeAndTrim() {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, opened);
        QFETCH(int, maxHistory);
        QFETCH(QStringList, expected);
        if (!stored.isEmpty())
            Store(stored);
        TFileMenu menu;
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        histories.SetMaxHistory(maxHistory);
        histories.LoadHistories(ValueName);
        for (const QString& name : opened)
            histories.AddHistory(name);
        histories.SaveHistories(ValueName);
        QCOMPARE(ReadUserValue(Key, ValueName), Lines(expected));
    }

    void nothingSavedBeforeAFileIsOpened() {
        Store(Names("ab"));
        const QByteArray before = [] {
            QFile f(UserStorePath());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        TOpenFileHistories histories;
        histories.LoadHistories(ValueName);
        histories.SaveHistories(ValueName);
        QFile f(UserStorePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void refreshRebuildsTheEntries() {
        Store(Names("ab"));
        TFileMenu menu;
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        histories.LoadHistories(ValueName);
        histories.AddHistory(QStringLiteral("/web/c.html"));
        histories.RefreshHistories();
        QCOMPARE(menu.Entries(), Prefixed(Names("cab")));
        histories.AddHistory(QStringLiteral("/web/b.html"));
        histories.RefreshHistories();
        QCOMPARE(menu.Entries(), Prefixed(Names("bca")));
        QCOMPARE(ReadUserValue(Key, ValueName), Lines(Names("bca")));
    }

    void choosingAnEntryOpensItWithoutMovingIt() {
        Store(Names("abc"));
        TFileMenu menu;
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        QList<std::pair<QObject*, QString>> opened;
        histories.OnOpenFile = [&](QObject* sender, const QString& name) {
            opened.append({sender, name});
        };
        histories.LoadHistories(ValueName);
        QAction* third = menu.Entry(2);
        third->trigger();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0].first, third);
        QCOMPARE(opened[0].second, QStringLiteral("/web/c.html"));
        QCOMPARE(menu.Entries(), Prefixed(Names("abc")));
        QCOMPARE(ReadUserValue(Key, ValueName), Lines(Names("abc")));
    }

    void ampersandInANameIsShownAndOpenedAsItIs() {
        Store({QStringLiteral("/web/R&D.html")});
        TFileMenu menu;
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        QString opened;
        histories.OnOpenFile = [&](QObject*, const QString& name) {
            opened = name;
        };
        histories.LoadHistories(ValueName);
        QCOMPARE(menu.Entries(), QStringList{QStringLiteral("&0 /web/R&&D.html")});
        menu.Entry(0)->trigger();
        QCOMPARE(opened, QStringLiteral("/web/R&D.html"));
    }

    void twoRunsInARow() {
        {
            TFileMenu menu;
            TOpenFileHistories histories;
            histories.SetUpFileItem(menu.History);
            histories.LoadHistories(ValueName);
            histories.AddHistory(QStringLiteral("/web/a.html"));
            histories.RefreshHistories();
            histories.AddHistory(QStringLiteral("/web/b.html"));
            histories.RefreshHistories();
            histories.SaveHistories(ValueName);
        }
        TFileMenu menu;
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        histories.LoadHistories(ValueName);
        QCOMPARE(menu.Entries(), Prefixed(Names("ba")));
        histories.AddHistory(QStringLiteral("/web/c.html"));
        histories.RefreshHistories();
        QCOMPARE(menu.Entries(), Prefixed(Names("cba")));
        // The files of this run stand first in their order of last use.
        histories.AddHistory(QStringLiteral("/web/a.html"));
        histories.RefreshHistories();
        QCOMPARE(menu.Entries(), Prefixed(Names("acb")));
    }

    void storeFileKeepsItsLayout() {
        TOpenFileHistories histories;
        histories.AddHistory(QStringLiteral("/web/a \"b\".html"));
        histories.AddHistory(QStringLiteral("/web/c\\d.html"));
        histories.SaveHistories(ValueName);
        QFile f(UserStorePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[HKEY_CURRENT_USER\\Software\\OpnFilHs\\OFH]\r\n"
                                         "QuorveljsHis=\"/web/c\\\\d.html\\r\\n"
                                         "/web/a \\\"b\\\".html\\r\\n\"\r\n"));
        QCOMPARE(Stored(), (QStringList{QStringLiteral("/web/c\\d.html"),
                                        QStringLiteral("/web/a \"b\".html"), QString()}));
    }

    void subMenusAndFolderEntries() {
        Store({QStringLiteral("/w/a.html"), QStringLiteral("/W/b.html"),
               QStringLiteral("/x/c.html"), QStringLiteral("d.html"), QStringLiteral("/e.html")});
        QMenu files, folders;
        files.setEnabled(false);
        folders.setEnabled(false);
        TOpenFileHistories histories;
        histories.SetSubFileItem(&files);
        histories.SetSubFolderItem(&folders);
        QString directory;
        QObject* sender = nullptr;
        histories.OnOpenDialog = [&](QObject* s, const QString& d) {
            sender = s;
            directory = d;
        };
        histories.LoadHistories(ValueName);
        QVERIFY(files.isEnabled());
        QVERIFY(folders.isEnabled());
        QCOMPARE(files.actions().size(), 5);
        QCOMPARE(files.actions()[3]->text(), QStringLiteral("&3 d.html"));
        QStringList captions;
        for (QAction* a : folders.actions())
            captions.append(a->text());
        QCOMPARE(captions, (QStringList{QStringLiteral("&0 /w"), QStringLiteral("&1 /x"),
                                        QStringLiteral("&2 "), QStringLiteral("&3 /")}));
        folders.actions()[1]->trigger();
        QCOMPARE(directory, QStringLiteral("/x"));
        QCOMPARE(sender, folders.actions()[1]);
    }

    void folderEntriesAfterAnItem() {
        Store({QStringLiteral("/w/a.html"), QStringLiteral("/w/b.html"),
               QStringLiteral("/x/c.html")});
        TFileMenu menu;
        TOpenFileHistories histories;
        histories.SetUpFolderItem(menu.History);
        histories.LoadHistories(ValueName);
        QCOMPARE(menu.Entries(), (QStringList{QStringLiteral("&0 /w"), QStringLiteral("&1 /x")}));
    }

    void settingOneItemPropertyClearsItsPartner() {
        Store(Names("a"));
        TFileMenu menu;
        QMenu sub;
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        histories.SetSubFileItem(&sub);
        histories.LoadHistories(ValueName);
        QCOMPARE(menu.Entries(), QStringList());
        QCOMPARE(sub.actions().size(), 1);
    }

    // The frame loads the list at creation; when that step was cut short, opening files must
    // not fail, and the close saves them on top of the stored list.
    void refreshBeforeAnyLoadKeepsTheFilesForTheSave() {
        Store(Names("ab"));
        TFileMenu menu;
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        histories.AddHistory(QStringLiteral("/web/c.html"));
        histories.RefreshHistories();
        QCOMPARE(menu.Entries(), QStringList());
        QCOMPARE(ReadUserValue(Key, ValueName), Lines(Names("ab")));
        histories.SaveHistories(ValueName);
        QCOMPARE(ReadUserValue(Key, ValueName), Lines(Names("cab")));
    }

    void destroyedItemIsForgotten() {
        Store(Names("ab"));
        TOpenFileHistories histories;
        {
            TFileMenu menu;
            histories.SetUpFileItem(menu.History);
        }
        QCOMPARE(histories.UpFileItem(), nullptr);
        histories.LoadHistories(ValueName);
        histories.AddHistory(QStringLiteral("/web/c.html"));
        histories.RefreshHistories();
        QCOMPARE(ReadUserValue(Key, ValueName), Lines(Names("cab")));
    }

    void damagedStoreReadsEmpty_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe[\x81\n=\x00]", 9);
        QTest::newRow("section without the value")
            << QByteArray("[HKEY_CURRENT_USER\\Software\\OpnFilHs\\OFH]\r\nOther=\"/a\"\r\n");
        QTest::newRow("empty value")
            << QByteArray("[HKEY_CURRENT_USER\\Software\\OpnFilHs\\OFH]\r\nQuorveljsHis=\r\n");
    }
    void damagedStoreReadsEmpty() {
        QFETCH(QByteArray, content);
        QDir().mkpath(QFileInfo(UserStorePath()).absolutePath());
        QFile f(UserStorePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        TFileMenu menu;
        const QList<QAction*> before = menu.Menu.actions();
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        histories.LoadHistories(ValueName);
        QCOMPARE(menu.Menu.actions(), before);
    }

    void storeThatCannotBeWritten() {
        Store(Names("ab"));
        TFileMenu menu;
        TOpenFileHistories histories;
        histories.SetUpFileItem(menu.History);
        histories.LoadHistories(ValueName);
        // The store's file replaced by a folder: it can be neither read nor written.
        const QString path = UserStorePath();
        QFile::remove(path);
        QVERIFY(QDir().mkpath(path));
        histories.AddHistory(QStringLiteral("/web/c.html"));
        try {
            histories.RefreshHistories();
            QFAIL("no error raised");
        } catch (const EQuorvelError& e) {
            QCOMPARE(e.Message(), QStringLiteral("'QuorveljsHis' の設定に失敗しました"));
        }
        QVERIFY(QFileInfo(path).isDir());
        QDir(path).removeRecursively();
        // Once the store can be written again the files of this run are still there.
        histories.RefreshHistories();
        QCOMPARE(menu.Entries(), Prefixed(Names("c")));
    }
};

QTEST_MAIN(TOpenFileHistoriesTest)
#include "OpnFilHsTest.moc"
