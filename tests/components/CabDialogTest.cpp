// The file dialogs with favourite folders: where each kind of favourite leads, its icon number,
// and the column itself: a click moves the file dialog and keeps the typed name usable.

#include "components/CabDialog.h"
#include "components/IniGT.h"
#include "components/SystemImages.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// Runs look inside the next modal dialog, which is closed afterwards if look left it open.
void InNextDialog(std::function<void(QWidget*)> look) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, look] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        QPointer<QWidget> guarded(modal);
        const auto close = qScopeGuard([&] {
            if (guarded && guarded->isVisible())
                static_cast<QDialog*>(guarded.data())->reject();
        });
        look(modal);
    });
    timer->start();
}

struct TShown {
    QFileDialog* Files;
    QListWidget* List;
    QLineEdit* Edit;
    QPushButton* Open;
};

TShown Parts(QWidget* window) {
    auto* files = window->findChild<QFileDialog*>();
    auto* box = files ? files->findChild<QDialogButtonBox*>() : nullptr;
    return {files, window->findChild<QListWidget*>(QStringLiteral("CabinetList")),
            files ? files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr,
            box ? box->button(QDialogButtonBox::Open) : nullptr};
}

void ClickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

} // namespace

class TCabDialogTest : public QObject {
    Q_OBJECT
    QTemporaryDir FFolder;
    QString FDesktop, FDocuments, FProgram;
    QWidget FOwner;

    QString Dir(const QString& name) {
        const QString path = FFolder.filePath(name);
        QDir().mkpath(path);
        return path;
    }

private Q_SLOTS:
    void initTestCase() {
        // The user's folders as the desktop names them, in a folder of the test's own.
        FDesktop = Dir(QStringLiteral("デスクトップ"));
        FDocuments = Dir(QStringLiteral("docs"));
        const QString config = Dir(QStringLiteral("config"));
        QFile dirs(config + QStringLiteral("/user-dirs.dirs"));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write(QStringLiteral("XDG_DESKTOP_DIR=\"%1\"\nXDG_DOCUMENTS_DIR=\"%2\"\n")
                       .arg(FDesktop, FDocuments)
                       .toUtf8());
        dirs.close();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
        const QString runtime = Dir(QStringLiteral("runtime"));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        FProgram = Dir(QStringLiteral("program"));
        SetProgramFilePath(FProgram + QStringLiteral("/quorveljs"));
    }

    void itemFolderPath_data() {
        QTest::addColumn<int>("root");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, TRootFolder root, const char16_t* folder,
                      const QString& expected) {
            QTest::newRow(name) << int(root) << QString::fromUtf16(folder) << expected;
        };
        const QString slash = QStringLiteral("/");
        row("current", rfCurrent, u"web", QStringLiteral("web"));
        // The initial folder is followed directly by the path, without a separator.
        row("initial dir", rfInitialDir, u"web", QStringLiteral("/srv/web"));
        row("application", rfApplication, u"", FProgram + slash);
        row("application, sub", rfApplication, u"a/b", FProgram + QStringLiteral("/a/b"));
        row("desktop itself", rfDesktop, u"", FDesktop);
        row("desktop, sub", rfDesktop, u"web", FDesktop + QStringLiteral("/web"));
        row("documents", rfMyDocument, u"a", FDocuments + QStringLiteral("/a"));
        row("computer", rfMyComputer, u"", slash);
        row("computer, sub", rfMyComputer, u"usr", QStringLiteral("/usr"));
        row("network without mounts", rfNetwork, u"share", QStringLiteral("/share"));
    }

    void itemFolderPath() {
        QFETCH(int, root);
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        TCabOpenDialog dialog(&FOwner);
        dialog.SetInitialDir(QStringLiteral("/srv/"));
        QCOMPARE(dialog.ItemFolderPath({QString(), folder, 0, TRootFolder(root)}), expected);
    }

    void networkFolderIsWhereSharesAreMounted() {
        const QString gvfs = Dir(QStringLiteral("runtime/gvfs"));
        TCabOpenDialog dialog(&FOwner);
        QCOMPARE(dialog.ItemFolderPath({QString(), QStringLiteral("s"), 0, rfNetwork}),
                 gvfs + QStringLiteral("/s"));
        QDir(gvfs).removeRecursively();
    }

    void itemImageIndex() {
        TCabOpenDialog dialog(&FOwner);
        // Stored numbers are used as they are.
        QCOMPARE(dialog.ItemImageIndex({QString(), FDocuments, 7, rfCurrent}), 7);
        QCOMPARE(dialog.ItemImageIndex({QString(), QString(), 0, rfDesktop}), DesktopIconIndex());
        QVERIFY(!SystemIcon(DesktopIconIndex()).isNull());
        // A folder gets the number of the open-folder icon, the same every time, and it is not
        // the "choose automatically" number.
        const int folder = dialog.ItemImageIndex({QString(), FDocuments, 0, rfCurrent});
        QVERIFY(folder != 0);
        QCOMPARE(dialog.ItemImageIndex({QString(), FDesktop, 0, rfCurrent}), folder);
        QVERIFY(!SystemIcon(folder).isNull());
        // With icons of its own the dialog never asks the desktop.
        dialog.SetImageList({QIcon()});
        QCOMPARE(dialog.ItemImageIndex({QString(), FDocuments, 0, rfCurrent}), 0);
    }

    void clickKeepsTheTypedName() {
        const QString start = Dir(QStringLiteral("start"));
        const QString target = Dir(QStringLiteral("target"));
        TCabOpenDialog dialog(&FOwner);
        dialog.SetFilter(QStringLiteral("html ファイル|*.htm*|すべてのファイル(*.*)|*.*"));
        dialog.SetDefaultExt(QStringLiteral("html"));
        dialog.SetInitialDir(start);
        dialog.SetItems(
            {{QStringLiteral("作業"), target, 0, rfCurrent}, {QString(), QString(), 0, rfDesktop}});
        bool looked = false;
        InNextDialog([&](QWidget* window) {
            const TShown shown = Parts(window);
            QVERIFY(shown.Files && shown.List && shown.Edit && shown.Open);
            QCOMPARE(shown.List->count(), 2);
            QCOMPARE(shown.List->item(0)->text(), QStringLiteral("作業"));
            QCOMPARE(shown.List->visualItemRect(shown.List->item(0)).height(),
                     shown.List->fontMetrics().height() + 32 + 18);
            QCOMPARE(QDir(shown.Files->directory()).absolutePath(), start);
            shown.Edit->setFocus();
            QTest::keyClicks(shown.Edit, QStringLiteral("page"));
            ClickRow(shown.List, 0);
            QCOMPARE(QDir(shown.Files->directory()).absolutePath(), target);
            QCOMPARE(shown.Edit->text(), QStringLiteral("page"));
            QVERIFY(shown.Open->isEnabled());
            // Without AutoFocusChange the focus stays in the column.
            QCOMPARE(window->focusWidget(), shown.List);
            // The arrow keys pick as a click does; Enter opens the typed name.
            QTest::keyClick(shown.List, Qt::Key_Down);
            QCOMPARE(QDir(shown.Files->directory()).absolutePath(), FDesktop);
            QTest::keyClick(shown.List, Qt::Key_Up);
            QCOMPARE(QDir(shown.Files->directory()).absolutePath(), target);
            QCOMPARE(shown.Edit->text(), QStringLiteral("page"));
            looked = true;
            QTest::keyClick(shown.List, Qt::Key_Return);
        });
        QVERIFY(dialog.Execute());
        QVERIFY(looked);
        // The typed name in the favourite's folder, with the default extension.
        QCOMPARE(dialog.FileName(), target + QStringLiteral("/page.html"));
        // Showing the dialog wrote the chosen icon numbers into the items.
        QCOMPARE(dialog.Items()[1].ImageIndex, DesktopIconIndex());
        QVERIFY(dialog.Items()[0].ImageIndex != 0);
    }

    void missingFolderIsReported() {
        const QString start = Dir(QStringLiteral("start"));
        const QString missing = FFolder.filePath(QStringLiteral("gone"));
        TCabSaveDialog dialog(&FOwner);
        dialog.SetFileName(start + QStringLiteral("/name.txt"));
        dialog.SetAutoFocusChange(true);
        dialog.SetItems({{QStringLiteral("消えた"), missing, 0, rfCurrent}});
        QString message;
        InNextDialog([&](QWidget* window) {
            const TShown shown = Parts(window);
            QVERIFY(shown.List && shown.Edit);
            QCOMPARE(shown.Edit->text(), QStringLiteral("name.txt"));
            InNextDialog([&](QWidget* box) {
                auto* messageBox = qobject_cast<QMessageBox*>(box);
                QVERIFY(messageBox);
                message = messageBox->windowTitle() + u'|' + messageBox->text();
            });
            ClickRow(shown.List, 0);
            QCOMPARE(QDir(shown.Files->directory()).absolutePath(), start);
            QCOMPARE(shown.Edit->text(), QStringLiteral("name.txt"));
            QCOMPARE(window->focusWidget(), shown.Edit);
        });
        QVERIFY(!dialog.Execute());
        QCOMPARE(message, QStringLiteral("警告|%1\nパスが存在しません。\nパスが正しいかどうか確認"
                                         "してください。")
                              .arg(missing));
        QCOMPARE(dialog.FileName(), start + QStringLiteral("/name.txt"));
    }
};

QTEST_MAIN(TCabDialogTest)
#include "CabDialogTest.moc"
