// The folder picker and its shell controls: the ancestor chain with its indents, the sorted
// sub-folders, the two controls of a group following each other, opening entries, the folder
// label's shortening and the dialog's answer.

#include "components/ShCtrls.h"
#include "components/SelFolder.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QStringList Names(const TItemList& items) {
    QStringList names;
    for (const TItemInfo& item : items)
        names << item.DisplayName;
    return names;
}

QList<int> Indents(const TItemList& items) {
    QList<int> indents;
    for (const TItemInfo& item : items)
        indents << item.Indent;
    return indents;
}

int RowOf(const TShFolderListBox& list, const QString& name) {
    for (size_t i = 0; i < list.Items().size(); ++i)
        if (list.Items()[i].DisplayName == name)
            return int(i);
    return -1;
}

void DoubleClickRow(TShFolderListBox& list, int row) {
    const QPoint at = list.visualItemRect(list.item(row)).center();
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TShCtrlsTest : public QObject {
    Q_OBJECT
    QTemporaryDir FFolder;
    QString FRoot; // holds b, A, .hidden and c/deep, and a file

private Q_SLOTS:
    void initTestCase() {
        FRoot = FFolder.filePath(QStringLiteral("root"));
        for (const char* name : {"b", "A", ".hidden", "c/deep"})
            QVERIFY(QDir().mkpath(FRoot + u'/' + QString::fromLatin1(name)));
        QFile file(FRoot + QStringLiteral("/page.html"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QDir::setCurrent(FRoot);
    }

    void normalizedPaths_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/");
        QTest::newRow("trailing slash") << QStringLiteral("/a/b/") << QStringLiteral("/a/b");
        QTest::newRow("plain") << QStringLiteral("/a/b") << QStringLiteral("/a/b");
    }

    void normalizedPaths() {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(NormalizePath(path), expected);
    }

    void ancestorChains() {
        QCOMPARE(AncestorChain(QStringLiteral("/a/b/c")),
                 QStringList({QStringLiteral("/"), QStringLiteral("/a"), QStringLiteral("/a/b"),
                              QStringLiteral("/a/b/c")}));
        QCOMPARE(AncestorChain(QStringLiteral("/a/")),
                 QStringList({QStringLiteral("/"), QStringLiteral("/a")}));
        QCOMPARE(AncestorChain(QStringLiteral("/")), QStringList({QStringLiteral("/")}));
    }

    void nestedFolderFillsChainAndSortedChildren() {
        TShFolderListBox list;
        list.Fill(FRoot);
        const QStringList chain = AncestorChain(FRoot);
        const qsizetype n = chain.size();
        // The chain from the root down, indented by level, the folder itself drawn as current;
        // then the sub-folders by name (hidden ones too, files not), one level deeper.
        QStringList names = Names(list.Items());
        QCOMPARE(names.mid(n), QStringList({QStringLiteral(".hidden"), QStringLiteral("A"),
                                            QStringLiteral("b"), QStringLiteral("c")}));
        QCOMPARE(names.first(), QStringLiteral("/"));
        QCOMPARE(names[n - 1], QStringLiteral("root"));
        QList<int> expected;
        for (int i = 0; i < n; ++i)
            expected << i;
        expected << int(n) << int(n) << int(n) << int(n);
        QCOMPARE(Indents(list.Items()), expected);
        for (qsizetype i = 0; i < qsizetype(list.Items().size()); ++i)
            QCOMPARE(list.Items()[size_t(i)].DrawStyle, i == n - 1 ? dsSelected : dsTransparent);
        QCOMPARE(list.count(), int(list.Items().size()));
    }

    void rootFillsOneEntryThenItsFolders() {
        TShFolderListBox list;
        list.Fill(QStringLiteral("/"));
        QCOMPARE(list.Items()[0].Path, QStringLiteral("/"));
        QCOMPARE(list.Items()[0].Indent, 0);
        QCOMPARE(list.Items()[0].DrawStyle, dsSelected);
        QVERIFY(list.Items().size() > 1);
        for (size_t i = 1; i < list.Items().size(); ++i) {
            QCOMPARE(list.Items()[i].Indent, 1);
            QCOMPARE(QFileInfo(list.Items()[i].Path).absolutePath(), QStringLiteral("/"));
        }
    }

    void startsAtTheCurrentFolderAndSingleClickOnlyHighlights() {
        TShFolderListBox list;
        list.resize(300, 400);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCOMPARE(list.CurrentFolder(), FRoot);
        const int row = RowOf(list, QStringLiteral("b"));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualItemRect(list.item(row)).center());
        QCOMPARE(list.currentRow(), row);
        QCOMPARE(list.CurrentFolder(), FRoot);
        DoubleClickRow(list, row);
        QCOMPARE(list.CurrentFolder(), FRoot + QStringLiteral("/b"));
        // Enter opens the highlighted entry: here the parent in the chain.
        list.setCurrentRow(RowOf(list, QStringLiteral("root")) - 1);
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(list.CurrentFolder(), QFileInfo(FRoot).absolutePath());
    }

    void openingEntries() {
        TShFolderListBox list;
        int changes = 0;
        list.OnChange = [&] {
            ++changes;
        };
        // A file opens its folder; the same folder again changes nothing.
        list.OpenPath(FRoot + QStringLiteral("/c/"));
        QCOMPARE(list.CurrentFolder(), FRoot + QStringLiteral("/c"));
        QCOMPARE(changes, 1);
        list.OpenPath(FRoot + QStringLiteral("/page.html"));
        QCOMPARE(list.CurrentFolder(), FRoot);
        QCOMPARE(changes, 2);
        list.OpenPath(FRoot);
        QCOMPARE(changes, 2);
        const QStringList before = Names(list.Items());
        const QString missing = FRoot + QStringLiteral("/gone");
        try {
            list.OpenPath(missing + u'/');
            QFAIL("no error raised");
        } catch (const EFileAccessError& e) {
            QCOMPARE(e.Message(), missing + QStringLiteral("にはアクセスできません"));
        }
        QCOMPARE(Names(list.Items()), before);
        QCOMPARE(list.CurrentFolder(), FRoot);
    }

    void drivesOfPaths() {
        TItemList drives = {{QStringLiteral("/"), {}, {}, 0, dsTransparent},
                            {QStringLiteral("/home/u"), {}, {}, 0, dsTransparent},
                            {QStringLiteral("/media/u/stick"), {}, {}, 0, dsTransparent}};
        QCOMPARE(DriveOf(drives, QStringLiteral("/usr/lib")), 0);
        QCOMPARE(DriveOf(drives, QStringLiteral("/home/u")), 1);
        QCOMPARE(DriveOf(drives, QStringLiteral("/home/u/web")), 1);
        QCOMPARE(DriveOf(drives, QStringLiteral("/home/user2")), 0);
        QCOMPARE(DriveOf(drives, QStringLiteral("/media/u/stick/a")), 2);
        QCOMPARE(DriveOf(drives, QStringLiteral("relative")), -1);
        const TItemList real = Drives();
        QCOMPARE(real.front().Path, QStringLiteral("/"));
        QVERIFY(DriveOf(real, QDir::homePath()) >= 0);
    }

    void groupFollowsItsMembers() {
        TShDriveComboBox drives;
        TShFolderListBox list;
        TShFolderListBox outsider; // no group: hears nothing
        drives.SetGroupIndex(1);
        list.SetGroupIndex(1);
        int driveChanges = 0, listChanges = 0;
        drives.OnChange = [&] {
            ++driveChanges;
        };
        list.OnChange = [&] {
            ++listChanges;
        };
        const int rootDrive = DriveOf(drives.Items(), QStringLiteral("/"));
        const int startDrive = DriveOf(drives.Items(), FRoot);
        QCOMPARE(drives.currentIndex(), startDrive);

        // A folder opened in the list keeps the combo box on the drive that holds it.
        list.OpenPath(FRoot + QStringLiteral("/A"));
        QCOMPARE(list.CurrentFolder(), FRoot + QStringLiteral("/A"));
        QCOMPARE(drives.currentIndex(), startDrive);
        QCOMPARE(driveChanges, 0);
        QCOMPARE(listChanges, 1);
        QCOMPARE(outsider.CurrentFolder(), FRoot);

        // A drive chosen in the combo box fills the list with its root.
        drives.setCurrentIndex(rootDrive);
        drives.DriveChosen(rootDrive);
        QCOMPARE(list.CurrentFolder(), QStringLiteral("/"));
        QCOMPARE(list.Items()[0].Path, QStringLiteral("/"));
        QCOMPARE(drives.Drive(), QStringLiteral("/"));
        QCOMPARE(listChanges, 2);
        QCOMPARE(outsider.CurrentFolder(), FRoot);

        // Opening a folder on another drive moves the combo box there.
        if (startDrive != rootDrive) {
            list.OpenPath(FRoot);
            QCOMPARE(drives.currentIndex(), startDrive);
            QCOMPARE(driveChanges, 2);
        }
    }

    void shortenedFolderLabel_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("fits");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fits") << QStringLiteral("/home/u/web") << QStringLiteral("/home/u/web")
                              << QStringLiteral("/home/u/web");
        QTest::newRow("one folder gives way")
            << QStringLiteral("/home/u/web") << QStringLiteral("/.../u/web")
            << QStringLiteral("/.../u/web");
        QTest::newRow("all folders give way")
            << QStringLiteral("/home/u/web") << QStringLiteral("/.../web")
            << QStringLiteral("/.../web");
        QTest::newRow("name alone")
            << QStringLiteral("/home/u/web") << QStringLiteral("web") << QStringLiteral("web");
        // A name in the root that does not fit ends with the name (it never loops).
        QTest::newRow("name in the root")
            << QStringLiteral("/averyveryverylongname") << QStringLiteral("x")
            << QStringLiteral("averyveryverylongname");
    }

    void shortenedFolderLabel() {
        QFETCH(QString, path);
        QFETCH(QString, fits);
        QFETCH(QString, expected);
        const QFontMetrics metrics{QFont()};
        QCOMPARE(ShortenPath(path, metrics, metrics.horizontalAdvance(fits)), expected);
    }

    void labelFollowsTheList() {
        TShFolderListBox list;
        auto* label = new QLabel;
        list.resize(2000, 100);
        list.SetFolderLabel(label);
        QCOMPARE(label->text(), FRoot);
        list.OpenPath(FRoot + QStringLiteral("/b"));
        QCOMPARE(label->text(), FRoot + QStringLiteral("/b"));
        delete label;
        QVERIFY(!list.FolderLabel());
        list.OpenPath(FRoot);
    }

    void dialogAnswersTheCurrentFolder() {
        // はい after opening a folder: that folder. キャンセル: nothing.
        QTimer::singleShot(0, this, [this] {
            auto* form = qobject_cast<TSelFolderForm*>(QApplication::activeModalWidget());
            QVERIFY(form);
            const auto close = qScopeGuard([form] {
                if (form->isVisible())
                    form->reject();
            });
            QCOMPARE(form->windowTitle(), QStringLiteral("フォルダの選択"));
            QCOMPARE(form->BitBtn1->text(), QStringLiteral("はい(&Y)"));
            QCOMPARE(form->BitBtn2->text(), QStringLiteral("キャンセル"));
            TShFolderListBox& list = *form->ShFolderListBox1;
            QCOMPARE(list.CurrentFolder(), FRoot);
            DoubleClickRow(list, RowOf(list, QStringLiteral("c")));
            // A highlighted entry is not the answer.
            list.setCurrentRow(RowOf(list, QStringLiteral("deep")));
            form->BitBtn1->click();
        });
        QCOMPARE(TSelFolderForm::SelectFolder(nullptr), FRoot + QStringLiteral("/c"));
        QTimer::singleShot(0, this, [] {
            auto* form = qobject_cast<TSelFolderForm*>(QApplication::activeModalWidget());
            QVERIFY(form);
            form->BitBtn2->click();
        });
        QCOMPARE(TSelFolderForm::SelectFolder(nullptr), QString());
    }
};

QTEST_MAIN(TShCtrlsTest)
#include "ShCtrlsTest.moc"
