#include "FrameFixture.h"

#include "components/IniGT.h"

#include "app/Application.h"
#include "app/Childwin.h"
#include "app/Main.h"
#include "editor/ExtMemo.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTest>
#include <sys/stat.h>
#include <utime.h>

namespace {

void CloseDialog(QWidget* widget) {
    if (auto* dialog = qobject_cast<QDialog*>(widget))
        dialog->reject();
    else if (widget)
        widget->close();
}

// The program's file dialogs hold Qt's file dialog beside their favourites.
QFileDialog* FileDialogIn(QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    return dialog ? dialog : widget->findChild<QFileDialog*>();
}

QString Describe(QWidget* widget) {
    if (auto* box = qobject_cast<QMessageBox*>(widget))
        return box->windowTitle() + u'|' + box->text();
    return QString::fromLatin1(widget->metaObject()->className()) + u'|' + widget->windowTitle();
}

} // namespace

TDialogAnswers::TDialogAnswers() {
    FTimer.setInterval(10);
    connect(&FTimer, &QTimer::timeout, this, &TDialogAnswers::Poll);
    FTimer.start();
}

TDialogAnswers::~TDialogAnswers() = default;

void TDialogAnswers::Poll() {
    if (FLast && !FLast->isVisible())
        FLast = nullptr;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == FLast || !modal->isVisible())
        return;
    FLast = modal;
    if (FQueue.empty()) {
        Unexpected << Describe(modal);
        CloseDialog(modal);
        return;
    }
    TAnswer answer = std::move(FQueue.front());
    FQueue.pop_front();
    QPointer<QWidget> guarded(modal);
    const auto closeOnFailure = qScopeGuard([&] {
        if (QTest::currentTestFailed() && guarded && guarded->isVisible())
            CloseDialog(guarded);
    });
    answer(modal);
}

void TDialogAnswers::Press(const QString& buttonText, TAnswer look) {
    Add([this, buttonText, look](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        QVERIFY2(box, qPrintable(QStringLiteral("a message box, not ") + Describe(widget)));
        Seen << Describe(box);
        if (look)
            look(box);
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == buttonText) {
                button->click();
                return;
            }
        }
        QFAIL(qPrintable(QStringLiteral("no button ") + buttonText + QStringLiteral(" in ") +
                         Describe(box)));
    });
}

void TDialogAnswers::Choose(const QString& path) {
    Add([this, path](QWidget* widget) {
        QFileDialog* dialog = FileDialogIn(widget);
        QVERIFY2(dialog, qPrintable(QStringLiteral("a file dialog, not ") + Describe(widget)));
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        Proposed << (edit ? edit->text() : QString());
        ChooseIn(dialog, path);
    });
}

void TDialogAnswers::Cancel() {
    Add([this](QWidget* widget) {
        if (QFileDialog* dialog = FileDialogIn(widget)) {
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            Proposed << (edit ? edit->text() : QString());
        } else {
            Seen << Describe(widget);
        }
        CloseDialog(widget);
    });
}

void TDialogAnswers::Accept() {
    Add([](QWidget* widget) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        QVERIFY(dialog);
        dialog->accept();
    });
}

void ChooseIn(QFileDialog* dialog, const QString& path) {
    // selectFile goes to the folder and clears the selection of the list, which would otherwise
    // win over the typed name.
    dialog->selectFile(path);
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(QFileInfo(path).fileName());
    QCOMPARE(dialog->directory().absolutePath(), QFileInfo(path).absolutePath());
    static_cast<QDialog*>(dialog)->accept();
    // A name the dialog did not take leaves it open; nothing would answer it again.
    QVERIFY2(!dialog->isVisible(), qPrintable(path + QStringLiteral(" was not taken")));
}

QStringList ButtonTexts(QWidget* messageBox) {
    auto* buttons = messageBox->findChild<QDialogButtonBox*>();
    QList<QAbstractButton*> list = buttons ? buttons->buttons() : QList<QAbstractButton*>();
    std::sort(list.begin(), list.end(), [](QAbstractButton* a, QAbstractButton* b) {
        return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    QStringList texts;
    for (QAbstractButton* button : list)
        texts << button->text();
    return texts;
}

int RunFrameTests(int argc, char** argv, QObject* test) {
    QTemporaryDir folders;
    const QString config = folders.filePath(QStringLiteral("config"));
    const QString runtime = folders.filePath(QStringLiteral("runtime"));
    const QString state = folders.filePath(QStringLiteral("state"));
    QDir().mkpath(config);
    QDir().mkpath(runtime);
    qputenv("XDG_STATE_HOME", QFile::encodeName(state));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    // The settings file goes beside the program file; the tests' program lives here instead.
    const QString program = folders.filePath(QStringLiteral("program"));
    QDir().mkpath(program);
    SetProgramFilePath(program + QStringLiteral("/quorveljs"));
    TQuorvelApplication app(argc, argv);
    return QTest::qExec(test, argc, argv);
}

TFrameFixture::TFrameFixture() : FFrame(std::make_unique<TMainForm>()) {
    FFrame->resize(1000, 700);
    FFrame->show();
    if (!QTest::qWaitForWindowExposed(FFrame.get()))
        qWarning("frame not exposed");
    FFrame->activateWindow();
    if (!QTest::qWaitForWindowActive(FFrame.get()))
        qWarning("frame not active");
}

TFrameFixture::~TFrameFixture() {
    for (TMDIChild* child : FFrame->MDIChildren()) {
        child->RichEdit1->Buffer().SetModified(false);
        child->CloseApproved();
    }
    FFrame.reset();
}

TMDIChild* TFrameFixture::Active() const {
    return FFrame->ActiveMDIChild();
}

void TFrameFixture::Type(const QString& text) {
    TMDIChild* child = Active();
    QVERIFY(child);
    child->RichEdit1->setFocus();
    QTest::keyClicks(child->RichEdit1, text);
}

QString TFrameFixture::Path(const QString& name) const {
    return FFolder.filePath(name);
}

void ProcessDeletions() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void AgeFile(const QString& path) {
    struct utimbuf times {};
    times.actime = times.modtime = 1000000000; // 2001
    QVERIFY(::utime(QFile::encodeName(path).constData(), &times) == 0);
}

qint64 ModifiedNs(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}
