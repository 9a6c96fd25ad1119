// The file drop receiver: which files a drop reports and in which order, folders expanded only
// when allowed, the question before a drop, and real drag events on a scrolling widget.

#include "components/Dropper.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <stdexcept>

class TDropperTest : public QObject {
    Q_OBJECT
    QTemporaryDir FFolder;

    QString Make(const QString& name) {
        const QString path = FFolder.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qWarning("cannot create %s", qPrintable(path));
        return path;
    }
    QString Path(const QString& name) const { return FFolder.filePath(name); }

private Q_SLOTS:
    void initTestCase() {
        for (const char* name : {"web/b.html", "web/a.html", "web/.htaccess", "web/img/z.png",
                                 "web/img/.x/y.png", "web/m/c.txt", "one.txt", "two.txt"})
            Make(QString::fromLatin1(name));
        QDir().mkpath(Path(QStringLiteral("web/empty")));
        // A link back up the tree.
        QFile::link(Path(QStringLiteral("web")), Path(QStringLiteral("web/m/up")));
    }

    void filesInDropOrderFoldersIgnored() {
        TFileDropper dropper;
        QStringList reported;
        dropper.OnDrop = [&](QObject* sender, const QString& file) {
            QCOMPARE(sender, &dropper);
            reported << file;
        };
        dropper.HandleDropFiles({Path(QStringLiteral("two.txt")), Path(QStringLiteral("web")),
                                 Path(QStringLiteral("one.txt")), Path(QStringLiteral("gone"))});
        QCOMPARE(reported,
                 QStringList({Path(QStringLiteral("two.txt")), Path(QStringLiteral("one.txt"))}));
    }

    void foldersExpandedWhenAllowed() {
        TFileDropper dropper;
        dropper.SetAllowDir(true);
        const QStringList web = {Path(QStringLiteral("web"))};
        // The files directly inside, by name; dot names and sub-folders passed over.
        QCOMPARE(dropper.Expand(web), QStringList({Path(QStringLiteral("web/a.html")),
                                                   Path(QStringLiteral("web/b.html"))}));
        dropper.SetSubFolders(true);
        // Sub-folders where they are met; a link back up is not walked again.
        QCOMPARE(dropper.Expand(web),
                 QStringList(
                     {Path(QStringLiteral("web/a.html")), Path(QStringLiteral("web/b.html")),
                      Path(QStringLiteral("web/img/z.png")), Path(QStringLiteral("web/m/c.txt"))}));
    }

    void questionBeforeTheFirstFile() {
        TFileDropper dropper;
        int asked = 0;
        bool answer = false;
        QStringList reported;
        dropper.OnDropQuery = [&] {
            ++asked;
            return answer;
        };
        dropper.OnDrop = [&](QObject*, const QString& file) {
            reported << file;
        };
        const QStringList both = {Path(QStringLiteral("one.txt")), Path(QStringLiteral("two.txt"))};
        dropper.HandleDropFiles(both);
        QCOMPARE(asked, 1);
        QVERIFY(reported.isEmpty());
        answer = true;
        dropper.HandleDropFiles(both);
        QCOMPARE(asked, 2);
        QCOMPARE(reported, both);
        // A drop of folders alone has no file to ask about.
        dropper.HandleDropFiles({Path(QStringLiteral("web"))});
        QCOMPARE(asked, 2);
    }

    void failureStopsTheRestOfTheDrop() {
        TFileDropper dropper;
        QStringList reported;
        dropper.OnDrop = [&](QObject*, const QString& file) {
            reported << file;
            throw std::runtime_error("unreadable");
        };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 dropper.HandleDropFiles({Path(QStringLiteral("one.txt")),
                                                          Path(QStringLiteral("two.txt"))}));
        QCOMPARE(reported, QStringList({Path(QStringLiteral("one.txt"))}));
    }

    void dragEventsOnAScrollingWidget() {
        QPlainTextEdit site;
        TFileDropper dropper;
        QStringList reported;
        dropper.OnDrop = [&](QObject*, const QString& file) {
            reported << file;
        };
        dropper.SetDropSite(&site);
        QCOMPARE(dropper.DropSite(), &site);
        QWidget* target = site.viewport();
        QVERIFY(target->acceptDrops());

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(Path(QStringLiteral("one.txt"))),
                       QUrl(QStringLiteral("https://example.invalid/x.html")),
                       QUrl::fromLocalFile(Path(QStringLiteral("two.txt")))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        QCOMPARE(reported,
                 QStringList({Path(QStringLiteral("one.txt")), Path(QStringLiteral("two.txt"))}));

        // Dropped text is the widget's own business.
        QMimeData text;
        text.setText(QStringLiteral("abc"));
        QDragEnterEvent textEnter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, {});
        QApplication::sendEvent(target, &textEnter);
        QDropEvent textDrop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, {});
        QApplication::sendEvent(target, &textDrop);
        QCOMPARE(site.toPlainText(), QStringLiteral("abc"));
        QCOMPARE(reported.size(), 2);
    }
};

QTEST_MAIN(TDropperTest)
#include "DropperTest.moc"
